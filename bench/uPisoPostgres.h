#pragma once

#include "uPisoSQLite.h"

struct pg_conn;

namespace Bench {

// The floor on a server: the recording replayed through libpq on `pg`, a connection to a copy
// of the drive's database as it was before the import. Each distinct statement is prepared once
// (inside the floor's time), the values go as text, as the engine sends them, one transaction
// per coupon file, every value of every answered row read. No savepoints and nothing else per
// statement: one round trip each. SemIndice and Estrutura stay empty. The floor finishes `pg`.
TResultadoPiso ReproduzirPisoPostgres(const QString& gravacao, const std::vector<TComandoDistinto>& distintos, pg_conn* pg);

}  // namespace Bench
