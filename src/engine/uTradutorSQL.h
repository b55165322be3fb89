#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// Reads the local-SQL shape the data access objects write (":ALIAS:TABLE" references in double
// quotes, TABLE."Column" references, :name parameters) token by token and writes it again in a
// backend's own dialect. Quotes are respected: nothing inside '...' or "..." is ever taken for a
// parameter or a table. The result also says, where the shape makes it plain, which column each
// parameter is written to or compared with, because the stored form of a date depends on the
// column it goes to.

struct TColunaAlvo
{
    QString Alias;   // upper case; empty when the statement names no alias
    QString Tabela;
    QString Coluna;  // empty: the parameter goes to no column the translator can tell
};

// A result column computed from one column (MAX/MIN), which reports that column's type.
struct TOrigemResultado
{
    int Indice = 0;
    TColunaAlvo Coluna;
};

struct TTabelaReferida
{
    QString Alias;
    QString Tabela;
};

// A column of a CREATE TABLE with the type it was declared with, as written ("VARCHAR(20)").
struct TColunaDeclarada
{
    QString Alias;
    QString Tabela;
    QString Coluna;
    QString Declarado;
};

struct TTraducao
{
    QString TextoOriginal;
    QString AliasPadrao;
    QByteArray Sql;  // in the backend's dialect, UTF-8
    QStringList Parametros;  // distinct names, in order of first appearance
    std::vector<TColunaAlvo> Alvos;  // one per parameter
    std::vector<TOrigemResultado> Origens;
    std::vector<TTabelaReferida> Tabelas;
    bool Consulta = false;  // a SELECT: answers with rows
    std::vector<TColunaDeclarada> Declaradas;  // CREATE TABLE only

    // The position of a parameter by name; exact spelling first, then ignoring case as the old
    // engine did. -1 when the statement has no such parameter.
    int IndiceParametro(const QString& nome) const;

    // Line (1-based) of the original text a byte offset of `Sql` comes from; 0 when unknown.
    int LinhaDoOffset(int offsetBytes) const;
    QString Linha(int linha) const;  // that line of the original text

    QHash<QString, int> FExato;
    QHash<QString, int> FMaiusculo;
    std::vector<std::pair<int, int>> FMapa;  // (byte offset in Sql, original line)
};

class TDialetoSQL
{
public:
    virtual ~TDialetoSQL() = default;
    virtual QString ReferenciaTabela(const QString& alias, const QString& tabela) const = 0;
    virtual QString Parametro(int numero) const = 0;  // numero from 1

    // The hooks below let a server dialect differ where SQLite takes the texts as written; their
    // defaults change nothing.
    // A bare name that qualifies a column or a star (NOTAC in NOTAC."Data"). A server that folds
    // bare names to lower case would no longer find the table "NOTAC" by it.
    virtual QString Qualificador(const QString& nome) const { return nome; }
    // The type a CREATE TABLE column is declared with ("CURRENCY", "MEMO(240)") as this dialect
    // writes it; empty keeps the declared text.
    virtual QString TipoColuna(const QString& /*declarado*/) const { return {}; }
    // "CREATE INDEX alias.name ON table" is SQLite's way to say where the index goes; a dialect
    // that answers true gets "CREATE INDEX name ON <alias.table>" instead.
    virtual bool IndiceComTabelaQualificada() const { return false; }
};

// EDatabaseError quoting the line for a text it cannot read (an open quote, a ":" naming nothing).
std::shared_ptr<const TTraducao> TraduzirSQL(const QString& texto, const QString& aliasPadrao,
                                             const TDialetoSQL& dialeto);
