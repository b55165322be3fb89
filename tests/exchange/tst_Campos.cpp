#include "uRuxo.h"

#include <gtest/gtest.h>

using namespace Ruxo;

namespace {

Currency Cur(const char* t) { return *Currency::Parse(QString::fromLatin1(t)); }

struct CasoGravar
{
    const char* nome;
    QString obtido;
    const char* esperado;
};

TEST(RuxoCampos, GravaCadaCodificacao)
{
    const CasoGravar casos[] = {
        {"Q 1.5", GravarQ(Cur("1.5"), 13), "0000000001500"},
        {"V 12.34", GravarV(Cur("12.34"), 13), "0000000001234"},
        {"R 18%", GravarV(Cur("18"), 4), "1800"},
        {"V rounds half away from zero", GravarV(Cur("0.005"), 13), "0000000000001"},
        {"Q rounds the fourth decimal", GravarQ(Cur("1.0005"), 13), "0000000001001"},
        {"V negative keeps its sign after the zeros", GravarV(Cur("-12.34"), 13), "00000000-1234"},
        {"V too wide keeps its first digits", GravarV(Cur("123456789012.34"), 13), "1234567890123"},
        {"N fills with zeros", GravarN(42, 4), "0042"},
        {"N too wide keeps its leftmost digits", GravarN(1234567, 6), "123456"},
        {"X fills with blanks", GravarX(QStringLiteral("ab"), 5), "ab   "},
        {"X cut to its width", GravarX(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"), 20), "ABCDEFGHIJKLMNOPQRST"},
        {"D8", GravarD8(TDateTime::Encode(2026, 2, 8)), "08022026"},
        {"D8 empty date is day zero", GravarD8(TDateTime()), "30121899"},
        {"H6 drops the milliseconds", GravarH6(TDateTime::Encode(1899, 12, 30, 23, 59, 59, 999)), "235959"},
        {"H6 midnight", GravarH6(TDateTime()), "000000"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(c.obtido, QString::fromLatin1(c.esperado)) << c.nome;
}

TEST(RuxoCampos, LeValoresComCasasImplicitas)
{
    struct Caso
    {
        const char* texto;
        Currency v, q;
    };
    const Caso casos[] = {
        {"0000000001500", Cur("15"), Cur("1.5")},
        {"0000000001234", Cur("12.34"), Cur("1.234")},
        {"  00123  ", Cur("1.23"), Cur("0.123")},
        {"0000000000001", Cur("0.01"), Cur("0.001")},
        {"", Currency(), Currency()},
        {"             ", Currency(), Currency()},
        {"00000012A3400", Currency(), Currency()},
        {"-000000001234", Cur("-12.34"), Cur("-1.234")},
    };
    for (const auto& c : casos) {
        const QString t = QString::fromLatin1(c.texto);
        EXPECT_EQ(LerV(t), c.v) << c.texto;
        EXPECT_EQ(LerQ(t), c.q) << c.texto;
    }
    // beyond what four decimals in 64 bits hold: no value rather than a wrapped one
    EXPECT_EQ(LerV(u"999999999999999999"), Currency());
    EXPECT_EQ(LerV(u"000012345678901234"), Cur("123456789012.34"));  // a GT in an 18-wide field
}

TEST(RuxoCampos, LeInteirosETextos)
{
    EXPECT_EQ(LerN(u"0000004001"), 4001);
    EXPECT_EQ(LerN(u"    "), 0);
    EXPECT_EQ(LerN(u"12A4"), 0);
    EXPECT_EQ(LerN(u""), 0);
    EXPECT_EQ(LerN(u"12.4"), 0);
    EXPECT_EQ(LerN(u"9999999999999"), 0);  // a DAV number beyond 32 bits
    EXPECT_EQ(LerN(u"0002147483647"), 2147483647);
    EXPECT_EQ(LerX(u"  PAO   "), QStringLiteral("  PAO"));
}

TEST(RuxoCampos, LeDatasEHoras)
{
    struct Caso
    {
        const char* texto;
        TDateTime esperado;
    };
    const Caso datas[] = {
        {"28022026", TDateTime::Encode(2026, 2, 28)},
        {"29022024", TDateTime::Encode(2024, 2, 29)},
        {"00000000", TDateTime()},
        {"        ", TDateTime()},
        {"31022026", TDateTime()},
        {"29022026", TDateTime()},
        {"12132026", TDateTime()},
        {"2802", TDateTime()},
        {"28A22026", TDateTime()},
    };
    for (const auto& c : datas) {
        EXPECT_EQ(ConverteDataRuxo(QString::fromLatin1(c.texto)), c.esperado) << c.texto;
    }
    const Caso horas[] = {
        {"153339", TDateTime::Encode(1899, 12, 30, 15, 33, 39)},
        {"235959", TDateTime::Encode(1899, 12, 30, 23, 59, 59)},
        {"000000", TDateTime()},
        {"240000", TDateTime()},
        {"126000", TDateTime()},
        {"      ", TDateTime()},
        {"1533", TDateTime()},
    };
    for (const auto& c : horas) {
        EXPECT_EQ(ConverteHoraRuxo(QString::fromLatin1(c.texto)), c.esperado) << c.texto;
    }
}

template <class T>
void ConfereLayout(const char* tipo)
{
    int proxima = 1;
    for (const auto& c : T::Layout()) {
        EXPECT_EQ(c.Posicao, proxima) << tipo << " " << c.Nome;
        proxima = c.Posicao + c.Largura;
    }
    EXPECT_EQ(proxima - 1, T::Tamanho) << tipo;
    const QString linha = GerarLinha(T());
    EXPECT_EQ(linha.size(), T::Tamanho) << tipo;
    EXPECT_TRUE(linha.startsWith(QLatin1StringView(tipo))) << tipo;
}

TEST(RuxoCampos, LayoutsCobremALinhaSemBuracos)
{
    ConfereLayout<TReg_001>("001");
    ConfereLayout<TReg_011>("011");
    ConfereLayout<TReg_012>("012");
    ConfereLayout<TReg_013>("013");
    ConfereLayout<TReg_017>("017");
    ConfereLayout<TReg_018>("018");
    ConfereLayout<TReg_020>("020");
    ConfereLayout<TReg_035>("035");
    ConfereLayout<TReg_099>("099");
    ConfereLayout<TReg_101>("101");
}

TEST(RuxoCampos, LinhaCurtaLeAteOndeVai)
{
    // 300 characters of an 011 line: Obs_2 (291-315) gets 291-300, everything after is empty.
    QString linha = QStringLiteral("011") + QString(287, u' ');
    linha.replace(17, 6, QStringLiteral("004001"));
    linha += QStringLiteral("OBS2-PARTE");
    ASSERT_EQ(linha.size(), 300);
    TReg_011 reg;
    reg.Tabela_de_Precos = QStringLiteral("SUJO");
    reg.CCF = 7;
    LerLinha(linha, reg);
    EXPECT_EQ(reg.Numero_do_Cupom, 4001);
    EXPECT_EQ(reg.Obs_2, QStringLiteral("OBS2-PARTE"));
    EXPECT_EQ(reg.Tabela_de_Precos, QString());
    EXPECT_EQ(reg.CCF, 0);
    EXPECT_EQ(reg.Horario_de_inicio, TDateTime());
    EXPECT_EQ(reg.Valor_de_ISS, Currency());
    EXPECT_EQ(reg.Titulo_de_Capitalizacao, QString());
}

TEST(RuxoColecao, ItemsForaDosLimitesLevantaErroDeLista)
{
    TReg_012Collection c;
    EXPECT_THROW(c.Items(0), EListError);
    TReg_012& a = c.Add();
    a.Numero_do_Cupom = 1;
    c.Add().Numero_do_Cupom = 2;
    EXPECT_EQ(a.Tipo_do_registro(), QStringLiteral("012"));
    EXPECT_EQ(&c.Items(0), &a);
    EXPECT_EQ(c.Items(1).Numero_do_Cupom, 2);
    EXPECT_EQ(c.Count(), 2);
    EXPECT_THROW(c.Items(2), EListError);
    EXPECT_THROW(c.Items(-1), EListError);
}

}  // namespace
