#include "ImprimeCupom.h"
#include "uCupomCalculo.h"

#include <gtest/gtest.h>

using namespace CupomCalculo;

namespace {

Currency C(const char* texto) { return *Currency::Parse(QString::fromLatin1(texto)); }

TEST(CupomCalculo, PrecoTotalCortaOuArredondaPeloIAT)
{
    struct Caso
    {
        const char *q, *p, *d, *iat, *esperado;
    } casos[] = {
        {"2", "10", "0.5", "T", "19"},
        {"1.237", "1", "0", "T", "1.23"},
        {"1.237", "1", "0", "A", "1.24"},
        {"1.235", "1", "0", "A", "1.24"},  // tie goes to the even cent
        {"1.245", "1", "0", "A", "1.24"},
        {"0.333", "2.99", "0", "T", "0.99"},  // 0.99567 cut, not rounded
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.q) + " x " + c.p + " " + c.iat);
        EXPECT_EQ(PrecoTotal(C(c.q), C(c.p), C(c.d), QString::fromLatin1(c.iat)), C(c.esperado));
    }
}

TEST(CupomCalculo, DescontoBaseEImpostosDoItem)
{
    const Currency total = PrecoTotal(C("2"), C("10"), C("0.5"), QStringLiteral("T"));
    const Currency percentual = PercentualDesconto(C("1.9"), C("19"));
    EXPECT_EQ(percentual, C("10"));
    const Currency desconto = DescontoItem(total, percentual);
    EXPECT_EQ(desconto, C("1.9"));
    EXPECT_EQ(total - desconto, C("17.1"));
    EXPECT_EQ(Imposto(total - desconto, C("18")), C("3.07"));  // 3.078 cut

    EXPECT_EQ(BaseReduzida(C("100"), C("41.67")), C("58.33"));
    EXPECT_EQ(BaseReduzida(C("10.01"), C("33.33")), C("6.68"));  // 3.336333 cut to 3.33
    EXPECT_EQ(Imposto(C("100"), C("5")), C("5"));
    // 0.12345141 is cut to 0.12345 and then kept at four half to even: 0.1234, where rounding
    // straight away would give 0.1235.
    EXPECT_EQ(DescontoItem(C("1.23"), C("10.0367")), C("0.1234"));
}

TEST(CupomCalculo, PercentualDoDocumento)
{
    EXPECT_EQ(PercentualDesconto(C("1"), C("3")), C("33.3333"));
    EXPECT_EQ(PercentualDesconto(C("2"), C("3")), C("66.6667"));
    // Nothing sold, nothing to discount: no division by zero.
    EXPECT_EQ(PercentualDesconto(C("5"), C("0")), C("0"));
    EXPECT_EQ(PercentualDesconto(C("0"), C("0")), C("0"));
}

TEST(CupomCalculo, SlotsPorAliquota)
{
    TGrupoAliquotas g;
    g.Coloca(C("18"), C("0"), C("10"));
    g.Coloca(C("12"), C("0"), C("5"));
    g.Coloca(C("18"), C("0"), C("7"));
    // Same rate with another reduction is another slot.
    g.Coloca(C("18"), C("41.67"), C("100"));
    EXPECT_EQ(g.Slots()[0].Total, C("17"));
    EXPECT_EQ(g.Slots()[1].Total, C("5"));
    EXPECT_EQ(g.Slots()[2].Reducao, C("41.67"));
    EXPECT_TRUE(g.Slots()[3].Aliquota.IsZero());

    TGrupoAliquotas cheio;
    for (int i = 1; i <= 10; ++i)
        ASSERT_NE(cheio.Coloca(Currency(i), Currency(), Currency(1)), nullptr);
    EXPECT_EQ(cheio.Coloca(Currency(11), Currency(), Currency(1)), nullptr);
    EXPECT_NE(cheio.Coloca(Currency(3), Currency(), Currency(1)), nullptr);
    EXPECT_EQ(cheio.Slots()[2].Total, C("2"));
}

TEST(CupomCalculo, TotaisDoDocumento)
{
    // Two goods at 18 % and one at 12 %, 10 % document discount.
    TGrupoAliquotas icms;
    icms.Coloca(C("18"), C("0"), C("19"));
    icms.Coloca(C("18"), C("0"), C("1.01"));
    icms.Coloca(C("12"), C("0"), C("33.33"));
    const TTotalImposto t = TotalICMS(icms, C("10"));
    // 20.01 - 2.00 = 18.01; 33.33 - 3.33 = 30.00.
    EXPECT_EQ(t.Base, C("48.01"));
    // trunc2(18.01 x 0.18 = 3.2418) = 3.24; trunc2(3.24 + 3.60) = 6.84.
    EXPECT_EQ(t.Valor, C("6.84"));

    TGrupoAliquotas reduzido;
    reduzido.Coloca(C("18"), C("41.67"), C("100"));
    const TTotalImposto r = TotalICMS(reduzido, C("0"));
    EXPECT_EQ(r.Base, C("58.33"));
    EXPECT_EQ(r.Valor, C("10.49"));  // 10.4994 cut

    TGrupoAliquotas iss;
    iss.Coloca(C("5"), C("0"), C("100"));
    const TTotalImposto s = TotalISSQN(iss, C("0"));
    EXPECT_EQ(s.Base, C("100"));
    EXPECT_EQ(s.Valor, C("5"));

    // PIS rounds the running total half to even after each slot: 1.005 -> 1.00, then
    // 1.00 + 0.004 -> 1.00; rounding once at the end would give 1.01.
    TGrupoAliquotas pis;
    pis.Coloca(C("0.5"), C("0"), C("201"));
    pis.Coloca(C("0.4"), C("0"), C("1"));
    EXPECT_EQ(TotalPISCOFINS(pis, C("0")), C("1"));

    // A slot without a rate (or without a positive total) adds its own item values.
    TGrupoAliquotas semAliquota;
    TSlotAliquota* slot = semAliquota.Coloca(C("0"), C("0"), C("0"));
    ASSERT_NE(slot, nullptr);
    slot->Valor = C("0.5");
    EXPECT_EQ(TotalPISCOFINS(semAliquota, C("0")), C("0.5"));
    EXPECT_EQ(TotalICMS(semAliquota, C("0")).Valor, C("0.5"));
}

}  // namespace
