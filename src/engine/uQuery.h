#pragma once

// Our database engine's query object, in the shape the ERP code was written against.
//
//     TQuery q;                                 // on TSessao::Padrao()
//     q.SetDatabaseName("N_CADASTRO");          // the alias of the statement's tables
//     q.SQL().Clear();
//     q.SQL().Add("select EMPRESAS.* from \":N_CADASTRO:EMPRESAS\" ");
//     q.SQL().Add("where ");
//     q.SQL().Add("(EMPRESAS.\"Codigo da Empresa\" =:pCodigo_da_Empresa)");
//     q.ParamByName("pCodigo_da_Empresa").SetAsString("0001");
//     q.Open();                                 // fields and every row, in order
//     for (q.First(); !q.Eof(); q.Next())
//         QString nome = q.FieldByName("Nome Fantasia Empresa").AsString();
//     q.Close();
//
// `ExecSQL` runs insert, update and delete texts; `RowsAffected` tells how many rows changed.
// Parameters are bound with a type (text, small integer, integer, float, date, date-and-time) or
// as a typed null (`SetNull(ftString)`); a parameter left unbound makes the statement fail.
// Texts are translated once and prepared once per session: running the same text again, with
// other values, costs only the binding and the backend's own work. Index access (`Params()[i]`,
// `Params().IndexOf`, `FieldIndex`, `AsString(i)`) skips the name look-ups on hot paths.
//
// Transactions are the session's: TSessao::Padrao().StartTransaction() / Commit() / Rollback().
// Errors are EDatabaseError with the backend's message (a missing table names alias and table).

#include "uParams.h"
#include "uSessao.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

// The statement's lines. Every change is counted, so the query knows without comparing texts
// whether what it prepared is still what it holds.
class TLinhasSQL
{
public:
    void Clear() { FLinhas.clear(); ++FVersao; FLimpo = true; }
    void Add(const QString& linha) { FLinhas << linha; ++FVersao; }
    int Count() const { return int(FLinhas.size()); }
    const QString& operator[](int i) const { return FLinhas[i]; }
    void Set(int i, const QString& linha) { FLinhas[i] = linha; ++FVersao; }
    void Delete(int i) { FLinhas.removeAt(i); ++FVersao; }
    // Lines joined by line breaks, as the engine receives them.
    QString Text() const { return FLinhas.join(u'\n'); }
    void SetText(const QString& texto);
    const QStringList& Strings() const { return FLinhas; }
    quint64 Versao() const { return FVersao; }

private:
    friend class TQuery;
    QStringList FLinhas;
    quint64 FVersao = 0;
    bool FLimpo = true;
};

class TQuery;

// A statement text a caller loads again and again, such as a data access object's look-up by
// the same fields: its lines are joined once, and the session's entry for it (translation and
// prepared statement) is kept with it, so that loading it into a query costs neither joining the
// lines nor hashing the whole text to find that entry again.
class TTextoSQL
{
public:
    explicit TTextoSQL(QStringList linhas) : FLinhas(std::move(linhas)), FTexto(FLinhas.join(u'\n')) {}
    const QStringList& Linhas() const { return FLinhas; }
    const QString& Texto() const { return FTexto; }

private:
    friend class TQuery;
    QStringList FLinhas;
    QString FTexto;
    // The entry as found under FAlias in FSessao; looked up again when either differs or the
    // session started a new generation.
    std::shared_ptr<TComandoSessao> FEntrada;
    const TSessao* FSessao = nullptr;
    QString FAlias;
};

// A field of the current row.
class TCampo
{
public:
    TCampo(const TQuery* q, int indice) : FQuery(q), FIndice(indice) {}
    const QString& FieldName() const;
    TFieldType DataType() const;
    int Size() const;
    int Index() const { return FIndice; }
    bool IsNull() const;
    QVariant Value() const;
    QString AsString() const;
    int AsInteger() const;
    double AsFloat() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;

private:
    const TQuery* FQuery;
    int FIndice;
};

class TQuery
{
public:
    explicit TQuery(TSessao& sessao = TSessao::Padrao());
    ~TQuery();
    TQuery(const TQuery&) = delete;
    TQuery& operator=(const TQuery&) = delete;

    const QString& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const QString& alias);
    TSessao& Session() { return *FSessao; }

    TLinhasSQL& SQL() { return FLinhas; }
    const TLinhasSQL& SQL() const { return FLinhas; }
    // The same as clearing the lines and adding those of `texto`; until the lines change again
    // the query finds its statement through `texto` instead of by the text.
    void SetSQL(std::shared_ptr<TTextoSQL> texto);

    // The parameters of the current text. Changing the text keeps the values of the names it
    // still has, as the old engine did; clearing it forgets them all.
    TParams& Params();
    TParam& ParamByName(const QString& nome) { return Params().ParamByName(nome); }

    void Open();
    void ExecSQL();
    void Close();
    bool Active() const { return FAtivo; }
    int RowsAffected() const { return FAlteradas; }

    int FieldCount() const { return int(FResultado.Campos.size()); }
    const TDefCampo& FieldDef(int i) const { return FResultado.Campos[size_t(i)]; }
    const std::vector<TDefCampo>& FieldDefs() const { return FResultado.Campos; }
    int FieldIndex(const QString& nome) const;  // -1 when there is none; ignores case
    TCampo Fields(int i) const { return TCampo(this, i); }
    TCampo FieldByName(const QString& nome) const;  // EFieldNotFound naming the field
    TCampo* FindField(const QString&) = delete;  // use FieldIndex

    int RecordCount() const { return FResultado.Linhas(); }
    bool IsEmpty() const { return RecordCount() == 0; }
    bool Eof() const { return !FAtivo || FLinha >= RecordCount(); }
    bool Bof() const { return FLinha <= 0; }
    int RecNo() const { return FLinha + 1; }
    void First() { FLinha = 0; }
    void Next() { if (FLinha < RecordCount()) ++FLinha; }
    void Prior() { if (FLinha > 0) --FLinha; }
    void Last() { FLinha = RecordCount() > 0 ? RecordCount() - 1 : 0; }

    // The current row's value of field i as the backend stored it (null, qint64, double, QString
    // or QByteArray), for callers that copy many fields and convert the common cases themselves.
    const QVariant& ValorBruto(int i) const { return Bruto(i); }
    // The current row's value of field i, converted to the field's type.
    bool IsNull(int i) const { return Bruto(i).isNull(); }
    QVariant Value(int i) const;
    QString AsString(int i) const;
    int AsInteger(int i) const;
    double AsFloat(int i) const;
    TDateTime AsDateTime(int i) const;
    bool AsBoolean(int i) const;

    // The text handed to the engine and the one the backend ran, for messages and tests.
    QString Text() const { return FLinhas.Text(); }

private:
    const QVariant& Bruto(int i) const;
    TComandoSessao& Entrada();
    int Executa(TResultado* resultado);

    TSessao* FSessao;
    QString FDatabaseName;
    TLinhasSQL FLinhas;
    TParams FParams;
    std::shared_ptr<TTextoSQL> FTextoFixo;  // what SetSQL loaded, while the lines are still its own
    quint64 FVersaoFixo = 0;
    quint64 FVersaoParams = ~quint64(0);
    QString FAliasParams;
    std::shared_ptr<TComandoSessao> FEntrada;
    TResultado FResultado;
    int FLinha = 0;
    bool FAtivo = false;
    int FAlteradas = 0;
};
