#include "uFalhaTransitoria.h"

#include "uDaoBDE.h"

namespace {

struct TRegra
{
    const char* Texto;  // part of the message, compared without case
    TFalhaBanco Falha;
};

// The engines only hand us their message texts (SQLite's extended codes are off), so the rules
// match the fixed texts each engine gives for its codes. Lock texts stay with the data access
// objects, which wait between their attempts on exactly those.
const TRegra Regras[] = {
    // SQLite: CANTOPEN, IOERR, FULL, READONLY. An EFBIG (a file-size limit) comes as IOERR.
    {"unable to open database file", TFalhaBanco::Armazenamento},
    {"disk I/O error", TFalhaBanco::Armazenamento},
    {"database or disk is full", TFalhaBanco::Armazenamento},
    {"attempt to write a readonly database", TFalhaBanco::Armazenamento},
    // Our engine, when an ERP folder or its database file is not where the alias says.
    {"Não foi encontrada a pasta", TFalhaBanco::Armazenamento},
    {"Não foi encontrado o banco", TFalhaBanco::Armazenamento},
    // PostgreSQL: the server's own disk.
    {"No space left on device", TFalhaBanco::Armazenamento},
    {"could not extend file", TFalhaBanco::Armazenamento},
    // PostgreSQL: our backend's texts when the link is gone and cannot be reset, then libpq's
    // and the server's for a connection that broke or a server going down.
    {"Conexão com o servidor perdida", TFalhaBanco::Conexao},
    {"Não foi possível conectar ao servidor", TFalhaBanco::Conexao},
    {"A sessão do banco de dados não está aberta", TFalhaBanco::Conexao},
    {"server closed the connection unexpectedly", TFalhaBanco::Conexao},
    {"no connection to the server", TFalhaBanco::Conexao},
    {"could not send data to server", TFalhaBanco::Conexao},
    {"could not receive data from server", TFalhaBanco::Conexao},
    {"terminating connection due to", TFalhaBanco::Conexao},
    {"the database system is shutting down", TFalhaBanco::Conexao},
    {"the database system is starting up", TFalhaBanco::Conexao},
    {"the database system is in recovery mode", TFalhaBanco::Conexao},
};

}  // namespace

TFalhaBanco ClassificaFalhaBanco(const QString& mensagem)
{
    if (TDaoBDE::ErroDeTrava(mensagem))
        return TFalhaBanco::Trava;
    for (const TRegra& r : Regras)
        if (mensagem.contains(QString::fromUtf8(r.Texto), Qt::CaseInsensitive))
            return r.Falha;
    return TFalhaBanco::Definitiva;
}

bool FalhaTransitoria(const QString& mensagem)
{
    return ClassificaFalhaBanco(mensagem) != TFalhaBanco::Definitiva;
}

QString DescricaoFalhaBanco(TFalhaBanco falha)
{
    switch (falha) {
    case TFalhaBanco::Trava:
        return QStringLiteral("Banco de dados ocupado");
    case TFalhaBanco::Armazenamento:
        return QStringLiteral("Banco de dados inacessível ou sem espaço");
    case TFalhaBanco::Conexao:
        return QStringLiteral("Sem conexão com o servidor do banco de dados");
    case TFalhaBanco::Definitiva:
        break;
    }
    return QStringLiteral("Falha no banco de dados");
}
