#pragma once

#include "Currency.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>

#include <vector>

// The stand-in's own writer of Ruxo's fixed-width lines. It is deliberately independent of the
// integrator's reader and writer: if both were built from one table, a wrong position would be
// written and read back the same way and no test between the two would notice.
namespace RuxoSim {

enum class TCodificacao {
    N,   // whole number, zero-filled on the left
    X,   // text, blank-filled on the right
    V,   // money, two implied decimals
    Q,   // quantity, three implied decimals
    R,   // rate in percent, two implied decimals
    D8,  // ddMMyyyy
    H6,  // hhmmss
    KX,  // tax number: digits only, then as X
    KN,  // tax number: digits only, then as N
    S,   // constant of the layout
};

struct TCampoLayout
{
    QString nome;
    int inicio;   // 1-based
    int largura;
    TCodificacao codificacao;
    QString fixo;  // the constant of an S field
};

struct TLayoutRegistro
{
    QString tipo;
    int comprimento;
    std::vector<TCampoLayout> campos;  // in line order, including the record type
};

// Layout of a record type ("001", "011", "012", "013", "017", "018", "020", "035", "099",
// "101"); EConvertError for any other.
const TLayoutRegistro& LayoutRuxo(QStringView tipo);

// One line under construction. Every field starts in its empty form (zeros for numbers, blanks
// for texts, zeros for dates and times); each setter writes its field at once, so building a line
// costs one buffer and no per-field allocations.
class TLinhaRuxo
{
public:
    explicit TLinhaRuxo(QStringView tipo);

    const TLayoutRegistro& Layout() const { return *FLayout; }

    // Each setter raises EConvertError for an unknown field or one whose encoding does not take
    // that kind of value (a text into a money field, say).
    TLinhaRuxo& Texto(QStringView campo, QStringView valor);   // X, KX, KN
    TLinhaRuxo& Inteiro(QStringView campo, qint64 valor);      // N
    TLinhaRuxo& Valor(QStringView campo, Currency valor);      // V, Q, R
    TLinhaRuxo& Data(QStringView campo, const QDate& valor);   // D8
    TLinhaRuxo& Hora(QStringView campo, const QTime& valor);   // H6

    const QString& Linha() const { return FLinha; }

private:
    const TCampoLayout& Campo(QStringView nome) const;
    void Coloca(const TCampoLayout& campo, QStringView texto);

    const TLayoutRegistro* FLayout;
    QString FLinha;
};

// The encodings on their own, for callers that format a field outside a line.
QString FormataN(qint64 valor, int largura);
QString FormataX(QStringView texto, int largura);
QString FormataDecimal(Currency valor, int casas, int largura);  // V and R: 2 casas, Q: 3

}  // namespace RuxoSim
