#pragma once

#include "TDateTime.h"
#include "uTiposCampo.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

struct TTraducao;

// One named parameter of a statement. A value is bound with its data type; `SetNull` binds a null
// of a given type, which the engine stores as an empty field. A parameter never bound makes the
// statement fail when it runs, so a forgotten value cannot slip into the table as something else.
class TParam
{
public:
    explicit TParam(QString nome = {}) : FNome(std::move(nome)) {}

    const QString& Name() const { return FNome; }
    TFieldType DataType() const { return FTipo; }
    bool Bound() const { return FBound; }
    bool IsNull() const { return FNulo; }

    void SetAsString(const QString& valor) { Define(TFieldType::ftString); FTexto = valor; }
    void SetAsSmallInt(qint64 valor) { Define(TFieldType::ftSmallint); FInteiro = valor; }
    void SetAsInteger(qint64 valor) { Define(TFieldType::ftInteger); FInteiro = valor; }
    void SetAsFloat(double valor) { Define(TFieldType::ftFloat); FReal = valor; }
    void SetAsCurrency(double valor) { Define(TFieldType::ftCurrency); FReal = valor; }
    void SetAsBoolean(bool valor) { Define(TFieldType::ftBoolean); FInteiro = valor ? 1 : 0; }
    // A date keeps its calendar day; a date-and-time keeps its time too, unless the column it goes
    // to is a DATE. A value of 0 is "no date" and stores as null.
    void SetAsDate(TDateTime valor) { Define(TFieldType::ftDate); FReal = valor.Valor(); FNulo = valor.IsEmpty(); }
    void SetAsDateTime(TDateTime valor) { Define(TFieldType::ftDateTime); FReal = valor.Valor(); FNulo = valor.IsEmpty(); }
    void SetNull(TFieldType tipo) { FTipo = tipo; FNulo = true; FBound = true; }
    // Back to "no value": the statement refuses to run until it is bound again.
    void Unbind() { FBound = false; FNulo = true; FTipo = TFieldType::ftUnknown; }

    QString AsString() const;
    // The text of a parameter bound with SetAsString, without a copy.
    const QString& Texto() const { return FTexto; }
    qint64 AsInteger() const { return FInteiro; }
    double AsFloat() const { return FReal; }
    TDateTime AsDateTime() const { return TDateTime(FReal); }
    QVariant Value() const;  // null QVariant for a null

    // "'TEXTO' (ftString)", for the statement trace.
    QString Descricao() const;

private:
    void Define(TFieldType tipo) { FTipo = tipo; FNulo = false; FBound = true; }

    QString FNome;
    TFieldType FTipo = TFieldType::ftUnknown;
    bool FBound = false;
    bool FNulo = true;
    qint64 FInteiro = 0;
    double FReal = 0;
    QString FTexto;
};

// The parameters of a query's current text, in the order they first appear in it.
class TParams
{
public:
    int Count() const { return int(FItens.size()); }
    TParam& operator[](int i) { return FItens[size_t(i)]; }
    const TParam& operator[](int i) const { return FItens[size_t(i)]; }
    // -1 when the text has no such parameter; exact spelling first, then ignoring case.
    int IndexOf(const QString& nome) const;
    TParam* FindParam(const QString& nome);
    // EDatabaseError naming the parameter when the text has none of that name.
    TParam& ParamByName(const QString& nome);
    // The translation the parameters are those of. Positions looked up by name stay good while
    // it is the same one, which a caller can tell by keeping it.
    const std::shared_ptr<const TTraducao>& Traducao() const { return FTraducao; }

    auto begin() { return FItens.begin(); }
    auto end() { return FItens.end(); }
    auto begin() const { return FItens.begin(); }
    auto end() const { return FItens.end(); }

private:
    friend class TQuery;
    std::vector<TParam> FItens;
    std::shared_ptr<const TTraducao> FTraducao;
};
