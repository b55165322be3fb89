#include "Currency.h"
#include "ImprimeQt.h"
#include "uErros.h"

#include <QVariant>

#include <gtest/gtest.h>

namespace {
Currency C(const char* texto) { return *Currency::Parse(QString::fromUtf8(texto)); }
}  // namespace

TEST(Currency, ParseEFormato)
{
    struct Caso
    {
        const char* texto;
        int64_t raw;
        bool valido;
    };
    const Caso casos[] = {
        {"1.5", 15000, true},        {"1,5", 15000, true},       {" -0.0001 ", -1, true},
        {"+3", 30000, true},         {"0.00005", 0, true},       {"0.00015", 2, true},  // ties to even
        {"0.00025", 2, true},        {"-0.00015", -2, true},     {"1e2", 1000000, true},
        {"1.2.3", 0, false},         {"", 0, false},             {"abc", 0, false},
        {"1 000", 0, false},         {"-", 0, false},            {"1,5.0", 0, false},
        {"99999999999999999999", 0, false},  // out of range
    };
    for (const Caso& c : casos) {
        auto v = Currency::Parse(QString::fromUtf8(c.texto));
        ASSERT_EQ(v.has_value(), c.valido) << c.texto;
        if (c.valido) {
            EXPECT_EQ(v->Raw(), c.raw) << c.texto;
        }
    }

    EXPECT_EQ(Currency::FromRaw(123400).ToString(), QStringLiteral("12.34"));
    EXPECT_EQ(Currency::FromRaw(-5000).ToString(), QStringLiteral("-0.5"));
    EXPECT_EQ(Currency(3).ToString(), QStringLiteral("3"));
    EXPECT_EQ(Currency::FromRaw(-1).ToString(), QStringLiteral("-0.0001"));
    EXPECT_EQ(Currency::FromRaw(123450).ToString(2), QStringLiteral("12.34"));
    EXPECT_EQ(Currency::FromRaw(123450).ToString(2, u','), QStringLiteral("12,34"));
    EXPECT_EQ(Currency::FromRaw(-49).ToString(2), QStringLiteral("0.00"));  // no "-0.00"
    EXPECT_EQ(Currency(7).ToString(4), QStringLiteral("7.0000"));

    EXPECT_EQ(Currency::FromDouble(0.1).Raw(), 1000);
    EXPECT_EQ(Currency::FromDouble(2.675).Raw(), 26750);
    EXPECT_THROW(Currency::FromDouble(1e300), EConvertError);
}

TEST(Currency, ArredondaETrunca)
{
    struct Caso
    {
        const char* valor;
        int casas;
        const char* arredondado;
        const char* truncado;
    };
    const Caso casos[] = {
        {"2.345", 2, "2.34", "2.34"},  {"2.355", 2, "2.36", "2.35"},  {"-2.345", 2, "-2.34", "-2.34"},
        {"-2.3551", 2, "-2.36", "-2.35"}, {"0.5", 0, "0", "0"},        {"1.5", 0, "2", "1"},
        {"-1.5", 0, "-2", "-1"},       {"1.2345", 4, "1.2345", "1.2345"}, {"9.9999", 3, "10", "9.999"},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(C(c.valor).Arredonda(c.casas), C(c.arredondado)) << c.valor;
        EXPECT_EQ(C(c.valor).Trunca(c.casas), C(c.truncado)) << c.valor;
    }
}

TEST(Currency, ProdutosEQuocientes)
{
    EXPECT_EQ(C("1.2345") * C("2"), C("2.469"));
    EXPECT_EQ(C("0.0001") * C("0.5"), C("0"));       // 0.00005 -> even
    EXPECT_EQ(C("0.0003") * C("0.5"), C("0.0002"));  // 0.00015 -> even
    EXPECT_EQ(C("10") / C("3"), C("3.3333"));
    EXPECT_EQ(C("-2") / C("3"), C("-0.6667"));
    EXPECT_THROW(C("1") / Currency(), EZeroDivide);
    // Large values stay exact through the 128-bit intermediate.
    EXPECT_EQ(C("900000000") * C("1000"), C("900000000000"));
    EXPECT_THROW(C("900000000000") * C("900000000000"), EConvertError);

    // Exato keeps the product before any rounding.
    Exato p = C("12.3456").Vezes(C("7.8901"));
    EXPECT_EQ(p.ToString(), QStringLiteral("97.40801856"));
    EXPECT_EQ(p.ToCurrency(), C("97.408"));
    EXPECT_EQ((p / Exato(100)).ToString(), QStringLiteral("0.9740801856"));
    EXPECT_EQ((Exato(1) / Exato(3)).ToString(), QStringLiteral("0.333333333333"));
    EXPECT_EQ((Exato(2) / Exato(3)).ToString(), QStringLiteral("0.666666666667"));
    EXPECT_EQ((Exato(-2) / Exato(3)).ToString(), QStringLiteral("-0.666666666667"));
    EXPECT_EQ((Exato(C("0.0001")) * Exato(C("0.0001"))).ToString(), QStringLiteral("0.00000001"));
    EXPECT_THROW(Exato(1) / Exato(), EZeroDivide);
    EXPECT_EQ(Exato(C("1.00005")).ToCurrency(), C("1"));
    EXPECT_EQ(Exato::FromRaw(Exato(C("1.0001")).Raw() + 50000000).ToCurrency(), C("1.0002"));  // 1.00015 -> even
    EXPECT_EQ(Exato(C("-1.23456")).Trunca(2).ToString(), QStringLiteral("-1.23"));
    EXPECT_EQ(Exato(C("-1.235")).Arredonda(2).ToString(), QStringLiteral("-1.24"));
}

TEST(Currency, AtravessaQVariant)
{
    QVariant v = QVariant::fromValue(C("1.25"));
    EXPECT_EQ(v.value<Currency>(), C("1.25"));
    EXPECT_EQ(QMetaType::fromName("Currency"), QMetaType::fromType<Currency>());
}
