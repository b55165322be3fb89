#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>

#include <compare>
#include <cstdint>
#include <optional>

class Exato;

// Money, quantities and rates: a signed count of ten-thousandths, as the ERP keeps them.
// Sums are exact; a product or quotient that must land back in four decimals is rounded half to
// even, the way the original fixed-point type stored it. Where a rule needs the product before
// any rounding (tax arithmetic), take it as an Exato with Vezes().
class Currency
{
public:
    static constexpr int64_t Escala = 10000;

    constexpr Currency() = default;
    constexpr Currency(int inteiro) : FValor(int64_t(inteiro) * Escala) {}

    static constexpr Currency FromRaw(int64_t decimosMilesimos)
    {
        Currency c;
        c.FValor = decimosMilesimos;
        return c;
    }
    static Currency FromInt64(int64_t inteiro) { return FromRaw(inteiro * Escala); }
    // Nearest four-decimal value, ties to even; a value out of range raises EConvertError.
    static Currency FromDouble(double valor);
    // Decimal text: optional sign, digits, one "." or "," as decimal separator, no thousands
    // separators, surrounding blanks allowed. Digits beyond the fourth decimal are rounded half
    // to even. No locale is consulted, so "1.5" reads the same everywhere.
    static std::optional<Currency> Parse(QStringView texto);

    constexpr int64_t Raw() const { return FValor; }
    double ToDouble() const { return double(FValor) / Escala; }
    constexpr bool IsZero() const { return FValor == 0; }

    // Shortest text that gives back the value: "12.34", "-0.5", "3".
    QString ToString(QChar separador = u'.') const;
    // Exactly `decimais` decimals (0..4), the value rounded half to even first.
    QString ToString(int decimais, QChar separador = u'.') const;

    // Rounded half to even / cut toward zero to n decimals (0..4).
    Currency Arredonda(int decimais) const;
    Currency Trunca(int decimais) const;

    Exato Vezes(Currency outro) const;

    constexpr Currency operator-() const { return FromRaw(-FValor); }
    constexpr Currency operator+(Currency o) const { return FromRaw(FValor + o.FValor); }
    constexpr Currency operator-(Currency o) const { return FromRaw(FValor - o.FValor); }
    Currency& operator+=(Currency o) { FValor += o.FValor; return *this; }
    Currency& operator-=(Currency o) { FValor -= o.FValor; return *this; }
    Currency operator*(Currency o) const;  // rounded half to even
    Currency operator/(Currency o) const;  // rounded half to even; EZeroDivide on zero
    Currency operator*(int64_t n) const { return FromRaw(FValor * n); }

    constexpr auto operator<=>(const Currency&) const = default;
    constexpr bool operator==(const Currency&) const = default;

private:
    int64_t FValor = 0;
};

// The wide intermediate of tax arithmetic: twelve decimals in 128 bits, so products of two
// four-decimal values and their division by 100 stay exact.
class Exato
{
public:
    static constexpr int Casas = 12;

    constexpr Exato() = default;
    Exato(Currency c);
    Exato(int inteiro);

    Exato operator+(const Exato& o) const;
    Exato operator-(const Exato& o) const;
    Exato operator-() const;
    // Rounded half to even at the twelfth decimal when not exact.
    Exato operator*(const Exato& o) const;
    Exato operator/(const Exato& o) const;  // EZeroDivide on zero

    Exato Trunca(int decimais) const;     // cut toward zero, 0..12 decimals
    Exato Arredonda(int decimais) const;  // half to even, 0..12 decimals
    // Stored in four decimals: rounded half to even.
    Currency ToCurrency() const;
    double ToDouble() const;
    QString ToString() const;  // shortest exact text

    std::strong_ordering operator<=>(const Exato& o) const;
    bool operator==(const Exato& o) const { return FValor == o.FValor; }
    bool IsZero() const { return FValor == 0; }

    static Exato FromRaw(__int128 v)
    {
        Exato e;
        e.FValor = v;
        return e;
    }
    __int128 Raw() const { return FValor; }

private:
    __int128 FValor = 0;
};

Q_DECLARE_METATYPE(Currency)
