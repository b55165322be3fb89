#pragma once

#include "uBackend.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// The database session: the replacement of the old engine's default session. It holds the
// aliases (name -> folder), the configuration mode, the network control directory and the table
// passwords, opens the backend on first use, caches every statement it has prepared by its text,
// and writes the statement trace (TESKVADO_SQL=1) to standard error.

enum class TConfigMode { cfmVirtual, cfmPersistent, cfmSession };

// A statement text seen before: its translation and, once run, the backend's prepared form.
struct TComandoSessao
{
    std::shared_ptr<const TTraducao> Traducao;
    std::unique_ptr<IComando> Comando;
    quint64 Geracao = 0;
};

class TSessao
{
public:
    TSessao();
    explicit TSessao(std::unique_ptr<IBackend> backend);
    ~TSessao();
    TSessao(const TSessao&) = delete;
    TSessao& operator=(const TSessao&) = delete;

    // The process's session, the one queries use unless given another.
    static TSessao& Padrao();

    void SetBackend(std::unique_ptr<IBackend> backend);  // closes the session first
    IBackend& Backend() { return *FBackend; }

    // Aliases live only in this process whatever the mode: nothing here writes a configuration
    // file. The mode is kept so that the start-up reads as the ERP's own did.
    TConfigMode ConfigMode() const { return FConfigMode; }
    void SetConfigMode(TConfigMode modo) { FConfigMode = modo; }
    const QString& NetFileDir() const { return FNetFileDir; }
    void SetNetFileDir(const QString& pasta) { FNetFileDir = pasta; }

    // Alias names are not case-sensitive. Adding a name again replaces its folder.
    void AddStandardAlias(const QString& nome, const QString& caminho, const QString& driver);
    void DeleteAlias(const QString& nome);
    bool IsAlias(const QString& nome) const;
    QString AliasPath(const QString& nome) const;     // empty for an unknown alias
    QString AliasDriver(const QString& nome) const;
    QStringList AliasNames() const;                   // in the order defined
    const std::vector<TAliasSessao>& Aliases() const { return FAliases; }

    // Kept as given. The SQLite files have no protected tables, so they unlock nothing there; a
    // backend whose storage has protected tables reads them from here.
    void AddPassword(const QString& senha) { FSenhas << senha; }
    void RemoveAllPasswords() { FSenhas.clear(); }
    const QStringList& Passwords() const { return FSenhas; }

    void Open();
    void Close();  // rolls back a transaction still open
    bool Active() const { return FBackend->Ativo(); }
    // Releases the prepared statements nobody is using.
    void DropConnections();

    // One transaction over every alias of the session.
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return FBackend->EmTransacao(); }

    // How long a statement waits for a lock another program holds before it fails.
    int TempoEsperaMs() const { return FEsperaMs; }
    void SetTempoEsperaMs(int ms);

    // Read from TESKVADO_SQL when the session is created; tests may switch it.
    bool Rastreando() const { return FRastreio; }
    void SetRastreio(bool ligado) { FRastreio = ligado; }

    // The cached entry for a statement text under a query's alias; translates it the first time.
    std::shared_ptr<TComandoSessao> Comando(const QString& texto, const QString& alias);
    // Prepares the entry's statement when it has not been yet; opens the session if needed.
    IComando& Preparado(TComandoSessao& entrada);
    quint64 Geracao() const { return FGeracao; }
    void Rastreia(const TComandoSessao& entrada, const QString& alias, const TParams& params) const;

    // Sees every statement a query runs, translated, with the values bound to it, just before
    // the backend runs it. The benchmark records the import's statements with it to replay them
    // on the bare engine; nobody else needs it, and unset it costs one test per statement.
    using TObservador = std::function<void(const TTraducao& traducao, const TParams& params)>;
    void SetObservador(TObservador observador) { FObservador = std::move(observador); }
    const TObservador& Observador() const { return FObservador; }

    // Creates the alias's folder and its empty database (the schema tool uses it).
    void CriarBanco(const QString& alias);

private:
    void Invalida();

    std::unique_ptr<IBackend> FBackend;
    TConfigMode FConfigMode = TConfigMode::cfmPersistent;
    QString FNetFileDir;
    std::vector<TAliasSessao> FAliases;
    QStringList FSenhas;
    int FEsperaMs = 3000;
    bool FRastreio = false;
    quint64 FGeracao = 1;
    QHash<QString, std::shared_ptr<TComandoSessao>> FCache;
    TObservador FObservador;
};
