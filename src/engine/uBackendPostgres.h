#pragma once

#include "uBackend.h"

#include <QString>

#include <memory>

// Where the shared ERP server is. An empty password leaves it to libpq: PGPASSWORD, then the
// password file (~/.pgpass or PGPASSFILE). An empty host is libpq's default, the local socket.
struct TConfigPostgres
{
    QString Host;
    int Porta = 5432;
    QString Banco;
    QString Usuario;
    QString Senha;

    // "host:porta/banco", for messages: the user must see which server refused.
    QString Descricao() const;
};

// The shared-server backend: one database, one schema per alias ("N_VENDAS"."NOTAC"). Opening
// it connects; a refused connection is an EDatabaseError naming host, port and database and
// carrying the server's reason.
std::unique_ptr<IBackend> CriarBackendPostgres(const TConfigPostgres& config);
