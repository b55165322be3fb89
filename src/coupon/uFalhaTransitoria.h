#pragma once

#include <QString>

// Why a database statement of an import failed, as far as the file is concerned. A file whose
// import failed for a reason of the file (a line that cannot be read, a value the ERP refuses)
// will fail again and goes to the rejected ones; a file whose import failed because the database
// could not be reached or written at that moment (another program holding the lock, a data drive
// that vanished or is full, a server that dropped the connection) is fine and waits in ONLINE/ for
// the next cycle.
enum class TFalhaBanco {
    Definitiva,     // the file's own fault, or one nobody recognised
    Trava,          // another program holds the database locked
    Armazenamento,  // the database files cannot be opened, read or written (drive gone, full, read-only)
    Conexao,        // the database server is unreachable or dropped the connection
};

TFalhaBanco ClassificaFalhaBanco(const QString& mensagem);
// Every kind but Definitiva: the file goes back to ONLINE/.
bool FalhaTransitoria(const QString& mensagem);
// The few words the log says before "o arquivo ... fica para o próximo ciclo".
QString DescricaoFalhaBanco(TFalhaBanco falha);
