#pragma once

#include "uBackendPostgres.h"
#include "uSessao.h"

#include <QString>

// Which engine holds a data drive's ERP. A drive whose "<root>/Sistemas/BANCO.INI" has, in its
// section [BANCO], Driver=PostgreSQL keeps its tables on that server (keys Host, Porta, Banco,
// Usuario, Senha); any other drive keeps them in the SQLite files of its folders.
struct TBancoUnidade
{
    enum class TDriver { SQLite, PostgreSQL, Desconhecido };
    TDriver Driver = TDriver::SQLite;
    QString Arquivo;     // the BANCO.INI read, empty when the drive has none
    QString Problema;    // why the file cannot be used (unknown driver, bad port)
    TConfigPostgres Postgres;
};

QString ArquivoBancoIni(const QString& raiz);
TBancoUnidade LerBancoUnidade(const QString& raiz);

// The start-up of the drive's database: puts the drive's backend on the session (closing it
// first when the backend changes), opens it and, with `exigeEsquemas`, checks that the schema of
// every ERP table's alias is on the server. When the server cannot be used (unreachable, refused
// credentials, missing schema, unusable BANCO.INI) the user gets one error through the UI port
// naming the server and the cause, the session is closed and the answer is false: nothing has
// been written. SQLite drives open as before; their engine errors go to the caller.
bool AbrirBancoDaUnidade(TSessao& sessao, const QString& raiz, bool exigeEsquemas);
