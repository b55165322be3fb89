#pragma once

#include "uParams.h"
#include "uTiposCampo.h"
#include "uTradutorSQL.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

// What a database backend gives the session. The session owns the aliases, the statement cache
// and the trace; a backend only opens its storage, prepares a translated statement and runs it.
// SQLite is the embedded default; a shared-server backend plugs in here without touching the
// query object or the data access objects above it.

struct TDefCampo
{
    QString Nome;
    TFieldType Tipo = TFieldType::ftUnknown;
    int Tamanho = 0;
};

// A statement's answer, read whole: the fields, then the values row after row as the backend
// stores them (null, qint64, double, QString or QByteArray). The query converts a value to its
// field's type when it is read, so rows nobody looks at cost no conversion.
struct TResultado
{
    std::vector<TDefCampo> Campos;
    std::vector<QVariant> Valores;
    int Linhas() const { return Campos.empty() ? 0 : int(Valores.size() / Campos.size()); }
    void Limpa() { Campos.clear(); Valores.clear(); }
};

struct TAliasSessao
{
    QString Nome;     // upper case
    QString Caminho;  // the alias's folder
    QString Driver;
};

class IComando
{
public:
    virtual ~IComando() = default;
    // Binds `params` (in the translation's order), runs, and fills `resultado` when given.
    // Returns the number of rows changed. EDatabaseError with the backend's message on failure.
    virtual int Executar(const TParams& params, TResultado* resultado) = 0;
};

class IBackend
{
public:
    virtual ~IBackend() = default;
    virtual QString Nome() const = 0;
    virtual const TDialetoSQL& Dialeto() const = 0;

    virtual void Abrir(const std::vector<TAliasSessao>& aliases, int esperaMs) = 0;
    virtual void Fechar() = 0;
    virtual bool Ativo() const = 0;
    virtual void DefinirEspera(int esperaMs) = 0;
    // The session's aliases changed while open; statements prepared before are no longer used.
    virtual void DefinirAliases(const std::vector<TAliasSessao>& aliases) = 0;

    virtual std::unique_ptr<IComando> Preparar(const std::shared_ptr<const TTraducao>& traducao) = 0;

    virtual void IniciarTransacao() = 0;
    virtual void Confirmar() = 0;
    virtual void Desfazer() = 0;
    virtual bool EmTransacao() const = 0;

    // Makes the alias's folder and its empty database, so that tables can be created in it.
    virtual void CriarBanco(const QString& alias) = 0;
    virtual bool ExisteTabela(const QString& alias, const QString& tabela) = 0;
    // Where the alias's data lives (the database file for SQLite).
    virtual QString ArquivoDoAlias(const QString& alias) const = 0;
    // Whether the alias's database exists. Backends whose storage is checked only by the first
    // statement (a missing folder of SQLite files) answer true.
    virtual bool ExisteBanco(const QString& /*alias*/) { return true; }
};

std::unique_ptr<IBackend> CriarBackendSQLite();
