#pragma once

#include <QHash>
#include <QString>

#include <memory>

struct pg_conn;

// The benchmark's drives on a PostgreSQL server: each drive folder gets a database of its own,
// created for the run, named in its Sistemas/BANCO.INI and dropped at the end.
//
// The server is the one TESKVADO_TESTE_PG names (what scripts/postgres.sh exports), in libpq's
// form; without it, libpq's own PGHOST, PGPORT, PGUSER, PGPASSWORD (or the password file) and
// PGDATABASE for the connection that creates and drops the databases ("postgres" when unset).
//
// Dropping is left to a guard: a second process of this program that holds the list of
// databases and drops them when this process goes away, however it goes (normal end, an error,
// a signal, even a kill), since a signal handler cannot talk to a server.
namespace Bench {

class TServidorBench
{
public:
    // True when the environment names a server (TESKVADO_TESTE_PG, PGHOST, PGHOSTADDR, PGPORT
    // or PGSERVICE): what the ctest case skips itself on.
    static bool Configurado();

    // Connects and starts the guard; EDatabaseError when the server cannot be used.
    TServidorBench();
    // Stops the guard and waits for it: every database of the run has been dropped.
    ~TServidorBench();
    TServidorBench(const TServidorBench&) = delete;
    TServidorBench& operator=(const TServidorBench&) = delete;

    // "PostgreSQL 15.x em host:porta (fsync=off, synchronous_commit=off)": what the figures
    // were taken on.
    const QString& Descricao() const { return FDescricao; }
    // The common start of the run's database names, for finding leftovers.
    const QString& Prefixo() const { return FPrefixo; }

    // An empty database for the drive at `raiz` and the drive's BANCO.INI pointing at it.
    void NovoDrive(const QString& raiz);
    // The database of the drive at `de` (whose sessions are closed) copied as the template of
    // the one of `para`, whose BANCO.INI (copied with the folder) is pointed at the copy.
    void CopiarDrive(const QString& de, const QString& para);
    // Drops the database of the drive at `raiz` now.
    void Apagar(const QString& raiz);
    // A connection of its own to the database of the drive at `raiz`, as the engine would make
    // it; the caller finishes it. EDatabaseError when refused.
    pg_conn* Conectar(const QString& raiz) const;

private:
    QString NovoBanco(const QString& raiz);
    void Executa(const QString& sql);
    void GravaBancoIni(const QString& raiz, const QString& banco);

    pg_conn* FPg = nullptr;
    QString FConexao;
    QString FHost, FPorta, FUsuario, FSenha;
    QString FDescricao;
    QString FPrefixo;
    QHash<QString, QString> FBancos;  // drive folder -> database
    int FGuarda = -1;                  // the guard's standard input
    long long FPidGuarda = 0;
};

// The guard's own main: reads the connection string and then database names, one a line, from
// standard input, and drops them all at end of input. Signals that would end the benchmark are
// ignored, so that it outlives it.
int GuardaPostgres();
constexpr const char* OpcaoGuarda = "--guarda-postgres";

}  // namespace Bench
