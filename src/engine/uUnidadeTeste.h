#pragma once

#include "uSessao.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The one place where tests choose their backend. A test builds its data drive in a folder of
// its own and makes a TUnidadeTeste for it before it creates the schema:
//
//     QTemporaryDir dir;
//     TUnidadeTeste unidade(dir.path());   // before the session opens
//     ... aliases on `sessao` (or a TDM_BDE on dir.path()) ...
//     unidade.Preparar(sessao);            // the backend the drive asks for
//     CriarEsquemaERP(sessao);
//
// With TESKVADO_TESTE_PG naming a server in libpq's form ("host=127.0.0.1 port=54329 user=...
// password=..."), the drive gets a fresh database of its own on that server and a
// Sistemas/BANCO.INI pointing at it, so the program's own start-up, teskvado-cli and any child
// process started on the drive use the server too. The database is dropped when the object goes
// away. Without the variable the drive is the usual SQLite one and nothing is written.
class TUnidadeTeste
{
public:
    explicit TUnidadeTeste(const QString& raiz);
    ~TUnidadeTeste();
    TUnidadeTeste(const TUnidadeTeste&) = delete;
    TUnidadeTeste& operator=(const TUnidadeTeste&) = delete;

    // True when the tests run against a PostgreSQL server; cases that only hold for the SQLite
    // files (a file lock between processes) skip themselves then.
    static bool EmPostgres();
    bool Postgres() const { return !FBanco.isEmpty(); }
    const QString& Raiz() const { return FRaiz; }
    const QString& Banco() const { return FBanco; }  // empty for SQLite

    // Installs the drive's backend on `sessao` (the aliases the test defined stay) and opens it.
    void Preparar(TSessao& sessao);

    // Runs `sql` (one or more statements) on the drive's own database through a connection of
    // its own, with `esquema` (an alias, "N_VENDAS") first on the search path when given: the way
    // a test plants a trigger the engine must trip over. PostgreSQL drives only.
    void ExecutarNoServidor(const QString& sql, const QString& esquema = {}) const;

    // The rows of the last statement of `sql` (none when it returns none), read past the engine
    // the same way, each value as
    // SQLite would hold it: null, qint64 (integers and booleans), double (floating and numeric
    // types) or QString (the rest, in the server's text form: dates "YYYY-MM-DD").
    QList<QVariantList> ConsultarNoServidor(const QString& sql, const QString& esquema = {}) const;

    // A value as sqlite3_column_text gives it ("5.0" for a REAL 5), so a test that reads either
    // backend past the engine compares the same texts.
    static QString TextoComoSQLite(const QVariant& valor);

private:
    QString FRaiz;
    QString FBanco;
    QString FConexao;
};
