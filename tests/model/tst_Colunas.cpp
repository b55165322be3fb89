#include "UModel.h"
#include "uBibliot.h"
#include "uErros.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

struct TTabelaEmUso {
    TTabelas Tabela;
    const char* Classe;
    int Colunas;
};

// Column counts as the ERP's tables declare them. CAD_SYSTABLE lists only the four columns this
// program knows about.
const TTabelaEmUso EmUso[] = {
    {ttbCAD_CARTOES, "TCAD_CARTOES", 5},     {ttbCAD_CIDADES, "TCAD_CIDADES", 6},
    {ttbCAD_CONTRDIA, "TCAD_CONTRDIA", 7},   {ttbCAD_DESTINAT, "TCAD_DESTINAT", 68},
    {ttbCAD_EMPRESAS, "TCAD_EMPRESAS", 18},  {ttbCAD_REPRESEN, "TCAD_REPRESEN", 33},
    {ttbCAD_SYSTABLE, "TCAD_SYSTABLE", 4},   {ttbCAD_TPDOCTOS, "TCAD_TPDOCTOS", 11},
    {ttbCAD_TPPAGTO, "TCAD_TPPAGTO", 5},     {ttbCAD_USUARIOS, "TCAD_USUARIOS", 13},
    {ttbEST_ITENS, "TEST_ITENS", 83},        {ttbEST_SDESTQ, "TEST_SDESTQ", 13},
    {ttbVEN_CONDPGTO, "TVEN_CONDPGTO", 13},  {ttbVEN_DESTIN, "TVEN_DESTIN", 21},
    {ttbVEN_ECF_C, "TVEN_ECF_C", 35},        {ttbVEN_ECF_S, "TVEN_ECF_S", 7},
    {ttbVEN_ECF_T, "TVEN_ECF_T", 7},         {ttbVEN_NOTAC, "TVEN_NOTAC", 105},
    {ttbVEN_NOTAI, "TVEN_NOTAI", 86},        {ttbVEN_NOTAV, "TVEN_NOTAV", 26},
    {ttbVEN_RUXO_ECF, "TVEN_RUXO_ECF", 4},   {ttbVEN_RUXO_FP, "TVEN_RUXO_FP", 9},
    {ttbVEN_P_CUPOM, "TVEN_P_CUPOM", 56},    {ttbVEN_TBPRCAB, "TVEN_TBPRCAB", 9},
    {ttbVEN_TRANSPOR, "TVEN_TRANSPOR", 30},
};

} // namespace

TEST(Colunas, CadaTabelaEmUsoTemSuasColunasEAsOutrasNenhuma)
{
    RegistrarClasses();
    ASSERT_EQ(std::size(EmUso), 25u);
    QSet<int> emUso;
    for (const TTabelaEmUso& t : EmUso) {
        SCOPED_TRACE(t.Classe);
        const TClasseModel& c = EncontrarClasse(QString::fromLatin1(t.Classe));
        EXPECT_EQ(c.Tabela(), t.Tabela);
        EXPECT_TRUE(c.ColunasConhecidas());
        EXPECT_EQ(c.QtdPropriedades(), t.Colunas);
        emUso.insert(t.Tabela);
    }
    int vazias = 0;
    for (const TClasseModel* c : ListaClasses()) {
        if (emUso.contains(c->Tabela()))
            continue;
        ++vazias;
        EXPECT_FALSE(c->ColunasConhecidas()) << c->Nome().toStdString();
        EXPECT_EQ(c->QtdPropriedades(), 0) << c->Nome().toStdString();
        EXPECT_NE(c->Criar(), nullptr);
    }
    EXPECT_EQ(vazias, 590);
}

TEST(Colunas, NomeDaPropriedadeEhONomeDaColunaEmFormaDeIdentificador)
{
    for (const TTabelaEmUso& t : EmUso) {
        const TClasseModel& c = *ClasseDaTabela(t.Tabela);
        QSet<QString> nomes;
        for (const TPropriedade& p : c.Propriedades()) {
            SCOPED_TRACE((c.Nome() + u'.' + p.Coluna()).toStdString());
            EXPECT_EQ(p.Nome(), NomeCampoModel(p.Coluna()));
            EXPECT_EQ(p.Campo().Name(), p.Coluna());
            EXPECT_EQ(p.Campo().Titulo(), p.Coluna());
            EXPECT_FALSE(p.Campo().Chave());
            EXPECT_FALSE(nomes.contains(p.Nome()));
            nomes.insert(p.Nome());
        }
    }
}

TEST(Colunas, ContrDiaNaOrdemDeclarada)
{
    const TClasseModel& c = *ClasseDaTabela(ttbCAD_CONTRDIA);
    const QStringList esperado{"Numero_Controle_Dia", "Chapa", "Nome", "Data", "Hora",
                               "Situacao_Controle_Dia", "Observacao"};
    EXPECT_EQ(c.NomesPropriedades(), esperado);
    QStringList tipos;
    for (const TPropriedade& p : c.Propriedades())
        tipos << p.NomeTipo();
    EXPECT_EQ(tipos, (QStringList{"string", "string", "string", "TDateTime", "string", "string", "string"}));
}

TEST(Colunas, NomesDoErpNaoSaoNormalizados)
{
    const TClasseModel& ecf = *ClasseDaTabela(ttbVEN_ECF_C);
    const TPropriedade& issqn = ecf.PropriedadePorNome(QStringLiteral("ISSQN_Subs_Tributaria"));
    EXPECT_EQ(issqn.Coluna(), u"ISSQN Subs. Tributaria");
    EXPECT_EQ(issqn.Tipo(), TTipoPropriedade::Currency);

    // One table spells it with a small "d", the others with a capital: both are real column names.
    EXPECT_NE(ecf.BuscaPropriedade(QStringLiteral("Numero_Controle_dia")), nullptr);
    EXPECT_EQ(ecf.BuscaPropriedade(QStringLiteral("Numero_Controle_Dia")), nullptr);
    const TClasseModel& notac = *ClasseDaTabela(ttbVEN_NOTAC);
    EXPECT_NE(notac.BuscaPropriedade(QStringLiteral("Numero_Controle_Dia")), nullptr);
    EXPECT_EQ(notac.BuscaPropriedade(QStringLiteral("Numero_Controle_dia")), nullptr);

    const TClasseModel& cartoes = *ClasseDaTabela(ttbCAD_CARTOES);
    EXPECT_EQ(cartoes.Propriedade(4).Coluna(), u"Tx_Descto_Administradora");
    EXPECT_EQ(cartoes.Propriedade(4).NomeTipo(), u"Currency");
    EXPECT_EQ(cartoes.Propriedade(2).NomeTipo(), u"Integer");
}
