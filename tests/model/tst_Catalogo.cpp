#include "UModel.h"
#include "uErros.h"
#include "uTipos.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

struct TGrupo {
    TDiretorios Diretorio;
    const char* Alias;
    const char* Prefixo;
    int Tabelas;
    TTabelas Primeira;  // meaningless when Tabelas == 0
    TTabelas Ultima;
};

const TGrupo Grupos[] = {
    {tdCADASTRO, "N_CADASTRO", "CAD_", 55, ttbCAD_AREA, ttbCAD_USUARIOS},
    {tdCARTAOP, "N_CARTAOP", "AOP_", 1, ttbAOP_EMPREGAD, ttbAOP_EMPREGAD},
    {tdCHEQREC, "N_CHEQREC", "CHE_", 11, ttbCHE_BANCO, ttbCHE_P_CHEQ},
    {tdCOBRANCA, "N_COBRANCA", "COB_", 0, {}, {}},
    {tdCOMPRAS, "N_COMPRAS", "COM_", 6, ttbCOM_COMPRAD, ttbCOM_P_OC},
    {tdCONSIGNA, "N_CONSIGNA", "SIG_", 0, {}, {}},
    {tdCTACOR, "N_CTACOR", "COR_", 20, ttbCOR_CCUSTO, ttbCOR_TMP_PARC},
    {tdCTAPAG, "N_CTAPAG", "PAG_", 12, ttbPAG_ALTCONTC, ttbPAG_TOOLS},
    {tdCTAREC, "N_CTAREC", "REC_", 21, ttbREC_ALTBOLC, ttbREC_TPCART},
    {tdCURTUME, "N_CURTUME", "CUR_", 23, ttbCUR_ACABAM_C, ttbCUR_REMOLH_S},
    {tdESTOQUE, "N_ESTOQUE", "EST_", 63, ttbEST_APLIC, ttbEST_UNIDADES},
    {tdEXPORTA, "N_EXPORTA", "EXP_", 33, ttbEXP_ESC_NFS, ttbEXP_TMP_SCI},
    {tdFACCAO, "N_FACCAO", "FAC_", 18, ttbFAC_CFACC, ttbFAC_VALES},
    {tdFUNDICAO, "N_FUNDICAO", "FUN_", 17, ttbFUN_ETAPAS, ttbFUN_TPPERDAS},
    {tdICMS_IPI, "N_ICMS_IPI", "IPI_", 186, ttbIPI_APEPC, ttbIPI_TPIMPOST},
    {tdOS, "N_OS", "OSE_", 0, {}, {}},
    {tdPRODUCAO, "N_PRODUCAO", "PRO_", 3, ttbPRO_FORMULAC, ttbPRO_TOOLS},
    {tdVENDAS, "N_VENDAS", "VEN_", 157, ttbVEN_AA, ttbVEN_VEICULOS},
};

const TTabelas SemClasse[] = {ttbCOR_GR_0001A, ttbFUN_GR_0001, ttbFUN_GR_0001A, ttbFUN_GR_0004,
                              ttbVEN_GR_0004B, ttbVEN_GR_0012, ttbVEN_GR_0012A, ttbVEN_GR_0013,
                              ttbVEN_GR_0013A, ttbVEN_GR_0014, ttbVEN_STRUCT};

} // namespace

TEST(Catalogo, TemOsDezoitoBancosComSeusGruposContiguosNaOrdemDosPrefixos)
{
    ASSERT_EQ(std::size(Grupos), size_t(QtdDiretorios));
    EXPECT_EQ(QtdTabelas, 626);
    EXPECT_EQ(int(ttbVEN_VEICULOS), 625);

    int total = 0;
    for (const TGrupo& g : Grupos) {
        SCOPED_TRACE(g.Prefixo);
        EXPECT_EQ(NomeAlias(g.Diretorio), QString::fromLatin1(g.Alias));
        EXPECT_EQ(PrefixoTabela(g.Diretorio), QString::fromLatin1(g.Prefixo));

        int contagem = 0;
        int primeira = -1, ultima = -1;
        for (int t = 0; t < QtdTabelas; ++t) {
            if (DiretorioTabela(TTabelas(t)) != g.Diretorio)
                continue;
            ++contagem;
            if (primeira < 0)
                primeira = t;
            ultima = t;
        }
        EXPECT_EQ(contagem, g.Tabelas);
        total += contagem;
        if (g.Tabelas > 0) {
            EXPECT_EQ(primeira, int(g.Primeira));
            EXPECT_EQ(ultima, int(g.Ultima));
            // A group's tables sit together: the DAO ordinals depend on it.
            EXPECT_EQ(ultima - primeira + 1, contagem);
        }
    }
    EXPECT_EQ(total, QtdTabelas);

    // Groups follow the databases' order, so the ordinals only ever grow from one to the next.
    for (int t = 1; t < QtdTabelas; ++t)
        EXPECT_LE(DiretorioTabela(TTabelas(t - 1)), DiretorioTabela(TTabelas(t))) << t;
}

TEST(Catalogo, NomeCompletoEhPrefixoDoBancoMaisNomeNuEUnico)
{
    QSet<QString> vistos;
    for (int i = 0; i < QtdTabelas; ++i) {
        const auto t = TTabelas(i);
        const QString completo = NomeCompletoTabela(t);
        EXPECT_EQ(completo, PrefixoTabela(DiretorioTabela(t)) + NomeTabela(t)) << i;
        EXPECT_EQ(NomeClasseTabela(t), u'T' + completo);
        EXPECT_FALSE(vistos.contains(completo)) << completo.toStdString();
        vistos.insert(completo);
    }
}

TEST(Catalogo, NomeNuEhTudoDepoisDoPrimeiroSublinhado)
{
    const struct {
        TTabelas Tabela;
        const char* Nu;
    } casos[] = {
        {ttbCAD_EMPRESAS, "EMPRESAS"}, {ttbCAD_C_CLIEAV, "C_CLIEAV"}, {ttbVEN_RUXO_ECF, "RUXO_ECF"},
        {ttbEST_EXP_INV, "EXP_INV"},   {ttbEXP_EXP_PAD1, "EXP_PAD1"}, {ttbIPI_REG_60D, "REG_60D"},
        {ttbCAD_END_COB, "END_COB"},   {ttbVEN_ECF_C, "ECF_C"},       {ttbAOP_EMPREGAD, "EMPREGAD"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(NomeTabela(c.Tabela), QString::fromLatin1(c.Nu));

    EXPECT_EQ(DiretorioTabela(ttbCAD_EMPRESAS), tdCADASTRO);
    EXPECT_EQ(NomeAlias(DiretorioTabela(ttbCAD_EMPRESAS)), u"N_CADASTRO");
    EXPECT_EQ(NomeClasseTabela(ttbCAD_EMPRESAS), u"TCAD_EMPRESAS");
}

TEST(Catalogo, ExclusaoEExculsaoSaoDuasTabelasComClassesProprias)
{
    RegistrarClasses();
    EXPECT_EQ(int(ttbCAD_EXCULSAO), int(ttbCAD_EXCLUSAO) + 1);
    EXPECT_EQ(NomeTabela(ttbCAD_EXCLUSAO), u"EXCLUSAO");
    EXPECT_EQ(NomeTabela(ttbCAD_EXCULSAO), u"EXCULSAO");
    const TClasseModel& a = EncontrarClasse(QStringLiteral("TCAD_EXCLUSAO"));
    const TClasseModel& b = EncontrarClasse(QStringLiteral("TCAD_EXCULSAO"));
    EXPECT_NE(&a, &b);
    EXPECT_EQ(a.Tabela(), ttbCAD_EXCLUSAO);
    EXPECT_EQ(b.Tabela(), ttbCAD_EXCULSAO);
}

TEST(Catalogo, OnzeTabelasNaoTemClasse)
{
    RegistrarClasses();
    const QSet<int> sem = [] {
        QSet<int> s;
        for (TTabelas t : SemClasse)
            s.insert(t);
        return s;
    }();
    ASSERT_EQ(sem.size(), 11);
    for (int i = 0; i < QtdTabelas; ++i) {
        const auto t = TTabelas(i);
        const bool temClasse = !sem.contains(i);
        SCOPED_TRACE(NomeCompletoTabela(t).toStdString());
        EXPECT_EQ(TemClasseModel(t), temClasse);
        EXPECT_EQ(ClasseDaTabela(t) != nullptr, temClasse);
        EXPECT_EQ(BuscaClasse(NomeClasseTabela(t)) != nullptr, temClasse);
    }
    // The table itself still has its names: only the class is missing.
    EXPECT_EQ(NomeTabela(ttbVEN_STRUCT), u"STRUCT");
    EXPECT_THROW(EncontrarClasse(NomeClasseTabela(ttbVEN_STRUCT)), EClassNotFound);
}

TEST(Catalogo, OrdinalForaDoCatalogoFalha)
{
    EXPECT_THROW(NomeTabela(TTabelas(QtdTabelas)), EListError);
    EXPECT_THROW(NomeAlias(TDiretorios(QtdDiretorios)), EListError);
    EXPECT_EQ(ClasseDaTabela(TTabelas(QtdTabelas)), nullptr);
}

TEST(Registro, RegistraAs615ClassesNaOrdemDasTabelasERemoveTodas)
{
    RegistrarClasses();
    RegistrarClasses();  // a second start-up call must not duplicate anything
    const auto classes = ListaClasses();
    ASSERT_EQ(classes.size(), 615u);
    for (size_t i = 1; i < classes.size(); ++i)
        EXPECT_LT(classes[i - 1]->Tabela(), classes[i]->Tabela());
    for (const TClasseModel* c : classes) {
        EXPECT_EQ(c->Nome(), NomeClasseTabela(c->Tabela()));
        EXPECT_EQ(&EncontrarClasse(c->Nome()), c);
    }

    RemoverClasses();
    RemoverClasses();
    EXPECT_FALSE(ClassesRegistradas());
    EXPECT_TRUE(ListaClasses().empty());
    EXPECT_THROW(EncontrarClasse(QStringLiteral("TVEN_NOTAC")), EClassNotFound);
    // The descriptor outlives the registry: objects created before the end stay usable.
    EXPECT_NE(ClasseDaTabela(ttbVEN_NOTAC), nullptr);

    RegistrarClasses();
    EXPECT_EQ(ListaClasses().size(), 615u);
}

TEST(Registro, ClasseDesconhecidaDaErroComONome)
{
    RegistrarClasses();
    const QString nomes[] = {QStringLiteral("TVEN_NOTAX"), QStringLiteral("tven_notac"), QString(),
                             QStringLiteral("VEN_NOTAC")};
    for (const QString& nome : nomes) {
        try {
            CriarObjeto(nome);
            ADD_FAILURE() << "no error for " << nome.toStdString();
        } catch (const EClassNotFound& e) {
            EXPECT_TRUE(e.Message().contains(nome)) << e.Message().toStdString();
        }
    }
}
