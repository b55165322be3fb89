#include "ImprimeQt.h"
#include "uBibliot.h"
#include "uErros.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cmath>

#include <gtest/gtest.h>

TEST(FormataTexto, TodosOsModos)
{
    struct Caso
    {
        const char* texto;
        int tamanho;
        char16_t tipo;
        const char* esperado;
    };
    const Caso casos[] = {
        {"ab", 5, u'S', "ab   "},
        {"ab", 5, u'P', "   ab"},
        {"12", 4, u'N', "0012"},
        {"abcdef", 4, u'S', "abcdef"},  // never cut
        {"abcdef", 4, u'P', "abcdef"},
        {"123456", 4, u'N', "123456"},
        {"abcdef", 4, u'C', "abcdef"},
        {"x", 6, u'C', "  x   "},   // 5/2 = 2.5 -> 2
        {"x", 8, u'C', "    x   "}, // 7/2 = 3.5 -> 4
        {"ab", 5, u'C', "  ab "},   // 3/2 = 1.5 -> 2
        {"ab", 6, u'C', "  ab  "},
        {"", 3, u'C', "   "},
        {"ab", 2, u'S', "ab"},
        {"12.345", 8, u'M', "00001234"},  // 1234.5 cents: half to even
        {"12.355", 8, u'M', "00001236"},
        {"12,3", 2, u'M', "1230"},        // wider than asked: whole
        {"-1.5", 5, u'M', "-00150"},
        {"0", 3, u'M', "000"},
        {"ab", 5, u'X', ""},
        {"ab", 5, u's', ""},  // modes are upper case
    };
    for (const Caso& c : casos)
        EXPECT_EQ(FormataTexto(QString::fromUtf8(c.texto), c.tamanho, QChar(c.tipo)), QString::fromUtf8(c.esperado))
            << c.texto << " " << c.tamanho << " " << char(c.tipo);
}

TEST(FormataTexto, MoedaRecusaTextoQueNaoENumero)
{
    EXPECT_THROW(FormataTexto(QStringLiteral("1,2,3"), 4, u'M'), EConvertError);
    EXPECT_THROW(FormataTexto(QString(), 4, u'M'), EConvertError);
}

TEST(Bibliot, IifNomeCampoESoNumeros)
{
    EXPECT_EQ(Iif(true, QStringLiteral("S"), QStringLiteral("N")), QStringLiteral("S"));
    EXPECT_EQ(Iif(false, "S", "N"), QStringLiteral("N"));
    EXPECT_EQ(Iif(false, 1.5, 2), 2.0);
    EXPECT_EQ(Iif(true, Currency::FromRaw(15), Currency(0)), Currency::FromRaw(15));

    EXPECT_EQ(NomeCampoModel(QStringLiteral("Cod. Produto/Serv-Item")), QStringLiteral("Cod_Produto_Serv_Item"));
    EXPECT_EQ(NomeCampoModel(QStringLiteral("Numero")), QStringLiteral("Numero"));

    EXPECT_EQ(SoNumeros(QStringLiteral("a1.2-3/4 ٣x")), QStringLiteral("1234"));  // Arabic-Indic digits are not ours
    EXPECT_EQ(SoNumeros(QString()), QString());
}

TEST(Bibliot, FormataCPFCNPJ)
{
    struct Caso
    {
        const char* entrada;
        const char* esperado;
    };
    const Caso casos[] = {
        {"12.345.678/0001-90", "12.345.678/0001-90"},
        {"12345678000190", "12.345.678/0001-90"},
        {"123.456.789-01", "123.456.789-01"},
        {"12345678901", "123.456.789-01"},
        {"123456789012", "123456789012"},  // 12 and 13 digits: bare
        {"1234567890123", "1234567890123"},
        {"123456789012345", "12.345.678/9012-345"},
        {"1234567890", "123.456.789-0"},
        {"12345", "123.45"},  // short: no marks hanging past the digits
        {"", ""},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(FormataCPFCNPJ(QString::fromUtf8(c.entrada)), QString::fromUtf8(c.esperado)) << c.entrada;
}

TEST(Bibliot, TruncaDecimaisCortaSemArredondar)
{
    struct Caso
    {
        int casas;
        const char* valor;
        const char* esperado;
    };
    const Caso casos[] = {
        {2, "3.14159", "3.14"}, {2, "2.999", "2.99"}, {2, "-2.999", "-2.99"}, {0, "7.9", "7"},
        {3, "1.5", "1.5"},      {2, "0.0099", "0"},   {4, "1.2345", "1.2345"}, {9, "1.2345", "1.2345"},
        {-1, "1.25", "1"},
    };
    for (const Caso& c : casos) {
        Currency v = *Currency::Parse(QString::fromUtf8(c.valor));
        EXPECT_EQ(TruncaDecimais(c.casas, v).ToString(), QString::fromUtf8(c.esperado)) << c.valor;

        Exato e = Exato(v);
        EXPECT_EQ(TruncaDecimais(c.casas, e).ToString(), QString::fromUtf8(c.esperado)) << c.valor;

        double d = QString::fromUtf8(c.valor).toDouble();
        EXPECT_EQ(TruncaDecimais(c.casas, d), QString::fromUtf8(c.esperado).toDouble()) << c.valor;
    }
    // The double form works on the shortest text: no binary tail turns 2.999 into 2.98.
    EXPECT_EQ(TruncaDecimais(2, 2.999), 2.99);
    EXPECT_EQ(TruncaDecimais(2, 0.29), 0.29);
    EXPECT_EQ(TruncaDecimais(2, 1.15), 1.15);
    EXPECT_EQ(TruncaDecimais(6, 1.5e-5), 0.000015);  // no exponent form to cut through
    EXPECT_EQ(TruncaDecimais(4, 1.5e-5), 0.0);
    EXPECT_EQ(TruncaDecimais(2, 1e20), 1e20);
    EXPECT_TRUE(std::isnan(TruncaDecimais(2, std::nan(""))));

    // An exact intermediate with more than four decimals.
    Exato produto = Currency::FromRaw(12345).Vezes(Currency::FromRaw(6789));  // 1.2345 * 0.6789
    EXPECT_EQ(produto.ToString(), QStringLiteral("0.83810205"));
    EXPECT_EQ(TruncaDecimais(2, produto).ToString(), QStringLiteral("0.83"));
    EXPECT_EQ(TruncaDecimais(6, -produto).ToString(), QStringLiteral("-0.838102"));
}

TEST(Bibliot, CaminhosDoPrograma)
{
    EXPECT_EQ(DiretorioDoArquivo(QStringLiteral("C:\\App\\prog.exe")), QStringLiteral("C:\\App\\"));
    EXPECT_EQ(DiretorioDoArquivo(QStringLiteral("/opt/tv/bin/teskvado")), QStringLiteral("/opt/tv/bin/"));
    EXPECT_EQ(TrocaExtensao(QStringLiteral("C:\\App\\prog.exe"), QStringLiteral(".ini")), QStringLiteral("C:\\App\\prog.ini"));
    EXPECT_EQ(TrocaExtensao(QStringLiteral("/opt/tv.d/teskvado"), QStringLiteral(".ini")), QStringLiteral("/opt/tv.d/teskvado.ini"));
    EXPECT_EQ(TrocaExtensao(QStringLiteral("/a/prog.v2.exe"), QStringLiteral(".ini")), QStringLiteral("/a/prog.v2.ini"));

    const QString dir = DiretorioAplicacao();
    EXPECT_TRUE(dir.endsWith(u'/')) << dir.toStdString();
    EXPECT_EQ(dir, QCoreApplication::applicationDirPath() + u'/');
}

TEST(Bibliot, VersaoTemQuatroNumeros)
{
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(VersaoPrograma()).hasMatch())
        << VersaoPrograma().toStdString();
    EXPECT_EQ(VersaoPrograma(), QStringLiteral(TV_VERSAO));  // the project sets all four
}

TEST(Bibliot, SelecionaPasta)
{
    QString pasta = QStringLiteral("antes");
    QString titulo, mensagem, inicial;
    auto cancela = [&](const QString& t, const QString& m, const QString& i) -> std::optional<QString> {
        titulo = t;
        mensagem = m;
        inicial = i;
        return std::nullopt;
    };
    EXPECT_FALSE(SelecionaPasta(pasta, QStringLiteral("/ini"), QStringLiteral("Teste"), cancela));
    EXPECT_EQ(pasta, QStringLiteral("False"));
    EXPECT_EQ(titulo, QStringLiteral("Selecione a Pasta"));
    EXPECT_EQ(mensagem, QStringLiteral("Teste"));
    EXPECT_EQ(inicial, QStringLiteral("/ini"));

    auto escolhe = [](const QString&, const QString&, const QString&) -> std::optional<QString> {
        return QStringLiteral("/dados/ruxo");
    };
    EXPECT_TRUE(SelecionaPasta(pasta, QString(), QString(), escolhe));
    EXPECT_EQ(pasta, QStringLiteral("/dados/ruxo"));

    pasta = QStringLiteral("x");
    EXPECT_FALSE(SelecionaPasta(pasta, QString(), QString(), TSeletorPasta()));
    EXPECT_EQ(pasta, QStringLiteral("False"));
}
