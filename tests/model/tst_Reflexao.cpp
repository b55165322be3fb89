#include "UModel.h"
#include "uErros.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QStringList>

#include <limits>

namespace {

std::unique_ptr<TClasseBase> NovaNotaC()
{
    RegistrarClasses();
    return CriarObjeto(QStringLiteral("TVEN_NOTAC"));
}

} // namespace

TEST(Reflexao, NovaNotaCTemTudoVazioOuZero)
{
    const auto obj = NovaNotaC();
    ASSERT_NE(dynamic_cast<TVEN_NOTAC*>(obj.get()), nullptr);
    const auto& props = ListaPropriedades(*obj);
    ASSERT_EQ(props.size(), 105u);
    int porTipo[4] = {};
    for (const TPropriedade& p : props) {
        SCOPED_TRACE(p.Nome().toStdString());
        const QVariant v = GetPropriedade(*obj, p.Nome());
        ++porTipo[int(p.Tipo())];
        switch (p.Tipo()) {
        case TTipoPropriedade::String:
            ASSERT_EQ(v.metaType(), QMetaType::fromType<QString>());
            EXPECT_TRUE(v.toString().isEmpty());
            break;
        case TTipoPropriedade::Currency:
            ASSERT_EQ(v.metaType(), QMetaType::fromType<Currency>());
            EXPECT_TRUE(v.value<Currency>().IsZero());
            break;
        case TTipoPropriedade::TDateTime:
            ASSERT_EQ(v.metaType(), QMetaType::fromType<TDateTime>());
            EXPECT_TRUE(v.value<TDateTime>().IsEmpty());
            break;
        case TTipoPropriedade::Integer:
            ASSERT_EQ(v.metaType(), QMetaType::fromType<int>());
            EXPECT_EQ(v.toInt(), 0);
            break;
        }
    }
    // All four kinds occur, so every branch above ran.
    EXPECT_EQ(porTipo[int(TTipoPropriedade::String)], 67);
    EXPECT_EQ(porTipo[int(TTipoPropriedade::Currency)], 31);
    EXPECT_EQ(porTipo[int(TTipoPropriedade::TDateTime)], 5);
    EXPECT_EQ(porTipo[int(TTipoPropriedade::Integer)], 2);
}

TEST(Reflexao, GravaELePorNomeConvertendoParaOTipoDaPropriedade)
{
    const struct {
        const char* Propriedade;
        QVariant Entrada;
        QVariant Esperado;
    } casos[] = {
        {"Codigo_da_Empresa", QStringLiteral("0022"), QStringLiteral("0022")},
        {"Codigo_da_Empresa", 22, QStringLiteral("22")},
        {"Codigo_da_Empresa", QVariant::fromValue(Currency::FromRaw(125000)), QStringLiteral("12.5")},
        {"Valor_Nota_Fiscal", QVariant::fromValue(Currency::FromRaw(123456)), QVariant::fromValue(Currency::FromRaw(123456))},
        {"Valor_Nota_Fiscal", 0.1, QVariant::fromValue(Currency::FromRaw(1000))},
        {"Valor_Nota_Fiscal", QStringLiteral("12,5"), QVariant::fromValue(Currency::FromRaw(125000))},
        {"Valor_Nota_Fiscal", qlonglong(-7), QVariant::fromValue(Currency::FromRaw(-70000))},
        {"Data_de_Emissao", QVariant::fromValue(TDateTime::Encode(2024, 3, 5)), QVariant::fromValue(TDateTime::Encode(2024, 3, 5))},
        {"Data_de_Emissao", QDate(2024, 3, 5), QVariant::fromValue(TDateTime::Encode(2024, 3, 5))},
        {"Data_de_Emissao", QStringLiteral("2024-03-05"), QVariant::fromValue(TDateTime::Encode(2024, 3, 5))},
        {"Data_de_Emissao", QStringLiteral("2024-03-05 14:30:00"), QVariant::fromValue(TDateTime::Encode(2024, 3, 5, 14, 30))},
        {"Data_de_Emissao", QStringLiteral("05/03/2024"), QVariant::fromValue(TDateTime::Encode(2024, 3, 5))},
        {"Data_de_Emissao", 45356.5, QVariant::fromValue(TDateTime(45356.5))},
        {"Numero_de_Parcelas", 3, 3},
        {"Numero_de_Parcelas", qlonglong(-12), -12},
        {"Numero_de_Parcelas", 4.0, 4},
        {"Numero_de_Parcelas", QStringLiteral(" 15 "), 15},
        {"Numero_de_Parcelas", QVariant::fromValue(Currency(6)), 6},
    };
    for (const auto& c : casos) {
        const auto obj = NovaNotaC();
        const QString nome = QString::fromLatin1(c.Propriedade);
        SCOPED_TRACE(nome.toStdString() + " <- " + c.Entrada.toString().toStdString());
        SetPropriedade(*obj, nome, c.Entrada);
        const QVariant lido = GetPropriedade(*obj, nome);
        EXPECT_EQ(lido.metaType(), c.Esperado.metaType());
        EXPECT_EQ(lido, c.Esperado);
    }

    // The by-name path writes the very members the struct shows to callers that know the class.
    auto obj = NovaNotaC();
    SetPropriedade(*obj, QStringLiteral("Numero_do_Documento"), QStringLiteral("000123"));
    SetPropriedade(*obj, QStringLiteral("Peso_Bruto"), QStringLiteral("1.2345"));
    auto& nota = static_cast<TVEN_NOTAC&>(*obj);
    EXPECT_EQ(nota.Numero_do_Documento, u"000123");
    EXPECT_EQ(nota.Peso_Bruto, Currency::FromRaw(12345));
}

TEST(Reflexao, ValorQueNaoConverteFalhaComONomeESemMexerNoObjeto)
{
    const struct {
        const char* Propriedade;
        QVariant Valor;
    } casos[] = {
        {"Valor_Nota_Fiscal", QStringLiteral("abc")},
        {"Valor_Nota_Fiscal", QString()},
        {"Valor_Nota_Fiscal", QDate(2024, 1, 1)},
        {"Valor_Nota_Fiscal", std::numeric_limits<double>::quiet_NaN()},
        {"Valor_Nota_Fiscal", 1e300},
        {"Numero_de_Parcelas", QStringLiteral("12x")},
        {"Numero_de_Parcelas", 2.5},
        {"Numero_de_Parcelas", qlonglong(1) << 40},
        {"Numero_de_Parcelas", QVariant::fromValue(Currency::FromRaw(15000))},
        {"Numero_de_Parcelas", true},
        {"Data_de_Emissao", QStringLiteral("31/02/2024")},
        {"Data_de_Emissao", QStringLiteral("ontem")},
        {"Codigo_da_Empresa", QStringList{"a", "b"}},
        {"Codigo_da_Empresa", QDate(2024, 1, 1)},
    };
    for (const auto& c : casos) {
        const QString nome = QString::fromLatin1(c.Propriedade);
        SCOPED_TRACE(nome.toStdString() + " <- " + c.Valor.toString().toStdString());
        auto obj = NovaNotaC();
        auto& nota = static_cast<TVEN_NOTAC&>(*obj);
        nota.Valor_Nota_Fiscal = Currency(9);
        nota.Numero_de_Parcelas = 9;
        nota.Data_de_Emissao = TDateTime(9);
        nota.Codigo_da_Empresa = QStringLiteral("9");
        try {
            SetPropriedade(*obj, nome, c.Valor);
            ADD_FAILURE() << "accepted";
        } catch (const EPropertyError& e) {
            EXPECT_TRUE(e.Message().contains(nome)) << e.Message().toStdString();
        }
        EXPECT_EQ(nota.Valor_Nota_Fiscal, Currency(9));
        EXPECT_EQ(nota.Numero_de_Parcelas, 9);
        EXPECT_EQ(nota.Data_de_Emissao, TDateTime(9));
        EXPECT_EQ(nota.Codigo_da_Empresa, u"9");
    }
}

TEST(Reflexao, NuloVoltaAoValorInicial)
{
    auto obj = NovaNotaC();
    auto& nota = static_cast<TVEN_NOTAC&>(*obj);
    nota.Codigo_da_Empresa = QStringLiteral("0001");
    nota.Valor_IPI = Currency(3);
    nota.Data_de_Saida = TDateTime(45000);
    nota.Numero_de_Volumes = 2;
    for (const char* nome : {"Codigo_da_Empresa", "Valor_IPI", "Data_de_Saida", "Numero_de_Volumes"})
        SetPropriedade(*obj, QString::fromLatin1(nome), QVariant());
    EXPECT_TRUE(nota.Codigo_da_Empresa.isEmpty());
    EXPECT_TRUE(nota.Valor_IPI.IsZero());
    EXPECT_TRUE(nota.Data_de_Saida.IsEmpty());
    EXPECT_EQ(nota.Numero_de_Volumes, 0);
}

TEST(Reflexao, PropriedadeDesconhecidaFalhaComONome)
{
    auto obj = NovaNotaC();
    // Names are exact: the persistence pairs them case-sensitively.
    for (const char* nome : {"Nao_Existe", "codigo_da_empresa", "Codigo da Empresa", ""}) {
        const QString n = QString::fromLatin1(nome);
        try {
            SetPropriedade(*obj, n, QStringLiteral("x"));
            ADD_FAILURE() << "set accepted " << nome;
        } catch (const EPropertyError& e) {
            EXPECT_TRUE(e.Message().contains(n)) << e.Message().toStdString();
        }
        EXPECT_THROW(GetPropriedade(*obj, n), EPropertyError) << nome;
    }
}

TEST(Reflexao, AcessoPorIndiceETipadoSemBuscaPorNome)
{
    auto obj = NovaNotaC();
    const TClasseModel& c = obj->Classe();
    const int i = c.IndicePropriedade(QStringLiteral("Valor_Mercadoria"));
    ASSERT_GE(i, 0);
    const TPropriedade& p = c.Propriedade(i);
    EXPECT_EQ(p.Indice(), i);
    p.Valor(*obj) = Currency::FromRaw(55);
    EXPECT_EQ(static_cast<TVEN_NOTAC&>(*obj).Valor_Mercadoria, Currency::FromRaw(55));
    p.Gravar(*obj, QStringLiteral("2"));
    EXPECT_EQ(p.Ler(*obj).value<Currency>(), Currency(2));

    EXPECT_THROW(p.Texto(*obj), EPropertyError);
    EXPECT_THROW(p.Inteiro(*obj), EPropertyError);
    EXPECT_THROW(c.Propriedade(-1), EListError);
    EXPECT_THROW(c.Propriedade(c.QtdPropriedades()), EListError);

    // A descriptor never reaches into an object of another class.
    auto item = CriarObjeto(QStringLiteral("TVEN_NOTAI"));
    EXPECT_THROW(p.Ler(*item), EPropertyError);
    EXPECT_THROW(p.Gravar(*item, 1), EPropertyError);
    EXPECT_THROW(p.Valor(*item), EPropertyError);
}

TEST(Reflexao, ObjetosSaoIndependentesECopiaveis)
{
    TCAD_CONTRDIA a;
    a.Numero_Controle_Dia = QStringLiteral("000001");
    a.Data = TDateTime::Encode(2024, 1, 2);
    TCAD_CONTRDIA b = a;
    SetPropriedade(b, QStringLiteral("Numero_Controle_Dia"), QStringLiteral("000002"));
    EXPECT_EQ(a.Numero_Controle_Dia, u"000001");
    EXPECT_EQ(GetPropriedade(b, QStringLiteral("Numero_Controle_Dia")).toString(), u"000002");
    EXPECT_EQ(GetPropriedade(b, QStringLiteral("Data")).value<TDateTime>(), TDateTime::Encode(2024, 1, 2));
    EXPECT_EQ(&b.Classe(), ClasseDaTabela(ttbCAD_CONTRDIA));
}
