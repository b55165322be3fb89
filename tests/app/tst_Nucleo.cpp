// The session core against the in-memory window, on a temporary data drive holding the demo
// company: creation, activation and parameter loading, "Ativar", the monitoring cycle (with a
// recorder in place of the import task) and the day-closing check.
#include "uBibliot.h"
#include "uController.h"
#include "uErros.h"
#include "uEsquemaERP.h"
#include "uExecCMD.h"
#include "uLoteImportacao.h"
#include "uIni.h"
#include "uInicio.h"
#include "uLog.h"
#include "uMemTable.h"
#include "uNucleoTeskVado.h"
#include "uSessao.h"
#include "uSys.h"
#include "uTelaMemoria.h"
#include "uUIConsole.h"
#include "uVisaoMemoria.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QDate Hoje(2026, 3, 10);
using TLista = IVisaoTeskVado::TLista;
using TCampoTela = IVisaoTeskVado::TCampo;

struct TTarefaVista
{
    QString Arquivo, Empresa, CGC, Usuario, Nome, Diretorio;
    bool ComLista = false;
};

class Nucleo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FPasta.isValid());
        TDateTime::RelogioDeTeste([] { return QDateTime(Hoje, QTime(10, 0, 0)); });
        Sys_ = TSys{};
        Ui.Silencioso = true;
        DefinirUI(&Ui);
        Raiz = FPasta.path() + QStringLiteral("/drive");
        for (const char* p : {"VENDAS", "CADASTRO", "CTACOR", "CTAREC", "CTAPAG", "ESTOQUE", "ICMS_IPI", "CHEQREC",
                              "COMPRAS", "UTILITAR"})
            QDir().mkpath(Raiz + QStringLiteral("/Sistemas/") + QString::fromLatin1(p));
        Inicio = std::make_unique<TInicioPrograma>(QStringList{Raiz});
        ASSERT_FALSE(Sys_.Fechar);
        TSessao::Padrao().SetTempoEsperaMs(100);
        CriarDemoERP(TSessao::Padrao(), TDateTime::Now());

        Mon = FPasta.path() + QStringLiteral("/ruxo/");
        QDir().mkpath(Mon + QStringLiteral("ONLINE"));
        Ini = FPasta.path() + QStringLiteral("/teskvado.ini");
        DefinirArquivoIni(Ini);
        Grava("MONITORAR", Mon);
        Grava("INTERVALO", QStringLiteral("500"));
        Grava("AUTOMATICO", QStringLiteral("-1"));
        Grava("EMPRESA", QStringLiteral("0001"));
        Grava("USUARIO", QStringLiteral("0001"));
        Grava("ECF", QStringLiteral("01"));
    }

    void TearDown() override
    {
        if (N)
            N->FormClose(false);
        N.reset();
        Inicio.reset();
        DefinirArquivoIni(QString());
        DefinirUI(nullptr);
        TDateTime::RelogioDeTeste({});
        Sys_ = TSys{};
    }

    void Grava(const char* chave, const QString& valor)
    {
        GravarValorIni(Ini, QStringLiteral("PARAMETROS"), QString::fromLatin1(chave), valor);
    }

    // Creation and first activation, as the window's start does; the task is a recorder.
    void Inicia()
    {
        N = std::make_unique<TNucleoTeskVado>(Visao);
        N->DefinirExecutor([this](TLoteImportacao& lote) {
            for (const auto& tarefa : lote.Tarefas()) {
                if (lote.PedidoParada())
                    return;
                const TExecCmd& t = *tarefa;
                Tarefas.push_back({t.Nome_Arquivo(), t.Codigo_da_Empresa(), t.CGC_Empresa(), t.Codigo_do_Usuario(),
                                   t.Nome_do_Usuario(), t.Diretorio(), t.FCDS == N->cdsArquivos()});
                if (AoExecutar)
                    AoExecutar(*tarefa);
            }
        });
        ASSERT_TRUE(N->FormCreate());
        ASSERT_TRUE(N->FormActivate());
    }

    QString Log() const { return Log_ ? Log_->LtLog().join(u'\n') : QString(); }
    int ContaLog(const QString& texto) const
    {
        int n = 0;
        for (const QString& l : Log_->LtLog())
            n += l.contains(texto) ? 1 : 0;
        return n;
    }

    void Arquivo(const QString& nome)
    {
        QFile f(Mon + QStringLiteral("ONLINE/") + nome);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // The coupon files in the order the folder search gives them, which is the file system's.
    QStringList OrdemDaPasta() const
    {
        return QDir(Mon + QStringLiteral("ONLINE/"))
            .entryList({QStringLiteral("*.S*")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    }
    void Lista(const QString& nome)
    {
        TMemTable& l = *N->cdsArquivos();
        l.Append();
        l.FieldByName(QStringLiteral("INDICE")).SetAsInteger(l.RecordCount() + 1);
        l.FieldByName(QStringLiteral("NOME")).SetAsString(nome);
        l.FieldByName(QStringLiteral("PROCESSADO")).SetAsBoolean(true);
        l.Post();
    }
    QStringList Nomes() const
    {
        QStringList r;
        for (const TTarefaVista& t : Tarefas)
            r << t.Arquivo;
        return r;
    }

    void DiaDeFechamento(const QString& empresa, QDate dia, const QString& cro)
    {
        TVEN_ECF_C linha;
        linha.Codigo_da_Empresa = empresa;
        linha.Data = TDateTime::FromDate(dia);
        linha.Serie_do_Documento = QStringLiteral("X01") + cro;
        linha.Reinicio_Operacao = cro;
        TVEN_ECF_CController c;
        ASSERT_TRUE(c.daoECF_C->Inserir(linha));
    }
    void SemFechamentos()
    {
        TVEN_ECF_CController c;
        ASSERT_TRUE(c.daoECF_C->Excluir({}, {}));
    }

    QTemporaryDir FPasta;
    QString Raiz, Mon, Ini;
    TUIConsole Ui;
    TTelaMemoria Tela;
    TVisaoMemoria Visao{&Tela};
    std::unique_ptr<TInicioPrograma> Inicio;
    std::unique_ptr<TNucleoTeskVado> N;
    std::vector<TTarefaVista> Tarefas;
    std::function<void(TExecCmd&)> AoExecutar;
};

// --- Creation and activation ---------------------------------------------------------------

TEST_F(Nucleo, StartOnTheDemoCompanyFillsTheListsLoadsTheParametersAndStartsMonitoring)
{
    Inicia();
    EXPECT_EQ(Visao.Listas[int(TLista::Empresas)],
              QStringList{QStringLiteral("0001 - LOJA DEMO            - 12345678000195")});
    EXPECT_EQ(Visao.Listas[int(TLista::Usuarios)], QStringList{QStringLiteral("0001 - OPERADOR DEMO")});
    EXPECT_EQ(Visao.Listas[int(TLista::ECF)], QStringList{QStringLiteral("01 - BE091010100011223344")});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Visao.Selecao[i], 0) << "list " << i;
    EXPECT_EQ(Visao.Dir, Mon);
    EXPECT_EQ(N->IntervaloTimer(), 500);

    EXPECT_EQ(Sys_.Codigo_da_Empresa, QStringLiteral("0001"));
    EXPECT_EQ(Sys_.Nome_Fantasia_Empresa, QStringLiteral("LOJA DEMO"));
    EXPECT_EQ(Sys_.Codigo_do_Usuario, QStringLiteral("0001"));
    EXPECT_EQ(Sys_.Nome_Usuario, QStringLiteral("OPERADOR DEMO"));
    EXPECT_EQ(Sys_.Numero_do_ECF, QStringLiteral("01"));
    EXPECT_FALSE(Sys_.Numero_Controle_Dia.isEmpty());
    EXPECT_EQ(Sys_.CGC_da_Empresa, QStringLiteral("12345678000195"));
    EXPECT_EQ(Sys_.Codigo_da_Destinacao, QStringLiteral("001"));
    EXPECT_EQ(Sys_.Nome_Fantasia_Transport, QStringLiteral("PROPRIO"));

    EXPECT_TRUE(N->Controladores().Completo());
    EXPECT_TRUE(Visao.AtivarHabilitado && Visao.ImportaZHabilitado && Visao.FecharHabilitado);
    EXPECT_TRUE(Visao.Monitoramento.Ativo);
    EXPECT_EQ(Visao.Monitoramento.Titulo, QStringLiteral("Tesk - Vado (Monitorando)"));
    EXPECT_EQ(Visao.Monitoramento.TituloAcao, QStringLiteral("Desativar"));
    EXPECT_EQ(Visao.Monitoramento.IntervaloMs, 500);
    EXPECT_EQ(ContaLog(QStringLiteral("Aguarde carregando dados")), 1);
    EXPECT_EQ(ContaLog(QStringLiteral("Ok     : Dados carregados com sucesso")), 1);
    EXPECT_FALSE(Ui.FOcupado);
    EXPECT_FALSE(Ui.FVisivel);
}

TEST_F(Nucleo, CompanyNameIsCutOrPaddedToTwentySoTheTaxNumberStaysInItsColumn)
{
    EXPECT_EQ(TNucleoTeskVado::ItemEmpresa("0002", "NOME FANTASIA MUITO COMPRIDO", "1"),
              QStringLiteral("0002 - NOME FANTASIA MUITO  - 1"));
    EXPECT_EQ(TNucleoTeskVado::ItemEmpresa("0003", "CURTO", "2"), QStringLiteral("0003 - CURTO                - 2"));
    EXPECT_EQ(TNucleoTeskVado::ItemUsuario("0004", "ANA   "), QStringLiteral("0004 - ANA"));
}

TEST_F(Nucleo, MissingAutomaticReadsUncheckedAndCreationStillFillsTheLists)
{
    Grava("AUTOMATICO", QString());
    Inicia();
    EXPECT_FALSE(Visao.Automatico);
    EXPECT_EQ(Visao.Selecao[int(TLista::ECF)], 0);
    EXPECT_FALSE(Visao.Monitoramento.Ativo);
    EXPECT_EQ(Visao.Monitoramento.Titulo, QStringLiteral("Tesk - Vado (Não Monitorando)"));
    EXPECT_EQ(Visao.Monitoramento.TituloAcao, QStringLiteral("Ativar"));
    EXPECT_TRUE(Visao.AtivarHabilitado);
}

TEST(NucleoIni, BooleanOfTheCheckBox)
{
    const struct
    {
        const char* texto;
        bool marcado;
    } casos[] = {{"", false}, {"0", false}, {"-1", true}, {"1", true}, {"2.5", true},
                 {"True", true}, {"true", true}, {"FALSE", false}, {"False", false}};
    for (const auto& c : casos)
        EXPECT_EQ(TNucleoTeskVado::LerBooleano(QString::fromLatin1(c.texto)), c.marcado) << c.texto;
    EXPECT_THROW(TNucleoTeskVado::LerBooleano(QStringLiteral("sim")), EConvertError);
}

TEST(NucleoIni, SavedValueSelectsItsItem)
{
    const QStringList itens{QStringLiteral("0001 - LOJA A               - 1"),
                            QStringLiteral("0010 - LOJA B               - 2"), QStringLiteral("01 -")};
    const struct
    {
        const char* valor;
        int indice;
    } casos[] = {
        {"0010 - LOJA B               - 2", 1},  // the whole text a close wrote
        {"0010", 1},                             // only the code, written by hand
        {"0001", 0},
        {"001", -1},                             // a code is matched whole, not as a prefix
        {"0010 - LOJA VELHA           - 2", -1}, // a stale text picks nothing
        {"0099", -1},
        {"", -1},
        {"01", 2},                               // an item whose second half is empty
    };
    for (const auto& c : casos)
        EXPECT_EQ(TNucleoTeskVado::IndiceParaValor(itens, QString::fromLatin1(c.valor)), c.indice) << c.valor;
}

TEST_F(Nucleo, GarbageInAutomaticStopsCreationWithAnErrorLineAndTheLoadFails)
{
    Grava("AUTOMATICO", QStringLiteral("talvez"));
    N = std::make_unique<TNucleoTeskVado>(Visao);
    EXPECT_FALSE(N->FormCreate());
    EXPECT_EQ(ContaLog(QStringLiteral("Erro   : 'talvez'")), 1);
    EXPECT_TRUE(Visao.Listas[0].isEmpty());
    EXPECT_TRUE(N->FormActivate());
    EXPECT_EQ(ContaLog(QStringLiteral("Empresa não Cadastrada !")), 1);
    EXPECT_FALSE(Visao.AtivarHabilitado);
}

TEST_F(Nucleo, CloseWritesTheSixKeysInOrderAndTheyRestoreTheWindow)
{
    Inicia();
    Visao.Automatico = false;
    Visao.IntervaloMs = 750;
    N->FormClose();
    N.reset();
    QFile f(Ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString texto = QString::fromLatin1(f.readAll());
    QStringList chaves;
    for (const QString& l : texto.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        if (!l.startsWith(u'['))
            chaves << l.section(u'=', 0, 0);
    EXPECT_EQ(chaves, (QStringList{"MONITORAR", "INTERVALO", "AUTOMATICO", "EMPRESA", "USUARIO", "ECF"}))
        << "the test wrote its keys in this order first; a close rewrites them in place";
    EXPECT_EQ(LerIni("PARAMETROS", "EMPRESA", ""), QStringLiteral("0001 - LOJA DEMO            - 12345678000195"));
    EXPECT_EQ(LerIni("PARAMETROS", "AUTOMATICO", ""), QStringLiteral("0"));
    EXPECT_EQ(LerIni("PARAMETROS", "INTERVALO", ""), QStringLiteral("750"));

    TVisaoMemoria outra;
    TNucleoTeskVado segundo(outra);
    ASSERT_TRUE(segundo.FormCreate());
    EXPECT_EQ(outra.Dir, Mon);
    EXPECT_EQ(outra.IntervaloMs, 750);
    EXPECT_FALSE(outra.Automatico);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(outra.Selecao[i], 0);
    segundo.FormClose(false);
}

TEST_F(Nucleo, FreshIniGetsItsKeysInTheCloseOrder)
{
    QFile::remove(Ini);
    Inicia();
    N->FormClose();
    N.reset();
    QFile f(Ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList chaves;
    for (const QString& l : QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        if (!l.startsWith(u'['))
            chaves << l.section(u'=', 0, 0);
    EXPECT_EQ(chaves, (QStringList{"INTERVALO", "AUTOMATICO", "MONITORAR", "EMPRESA", "USUARIO", "ECF"}));
}

TEST_F(Nucleo, MissingDataDriveClosesTheWindowAtActivation)
{
    Sys_.Fechar = true;
    N = std::make_unique<TNucleoTeskVado>(Visao);
    N->FormCreate();
    EXPECT_FALSE(N->FormActivate());
    EXPECT_TRUE(Visao.Fechada);
    EXPECT_EQ(ContaLog(QStringLiteral("Aguarde carregando dados")), 0);
    EXPECT_FALSE(N->Controladores().Completo());
}

// --- Parameter loading -------------------------------------------------------------------------

TEST_F(Nucleo, ParameterLoadFailuresNameWhatIsMissingAndKeepAtivarOff)
{
    const struct
    {
        const char* caso;
        std::function<void()> estraga;
        const char* linha;
    } casos[] = {
        {"no coupon parameters",
         [] {
             TVEN_P_CUPOMController c;
             ASSERT_TRUE(c.daoP_CUPOM->Excluir({}, {}));
         },
         "Erro   : Parametros não Cadastrado para esta Empresa !"},
        {"destination unknown",
         [] {
             TVEN_DESTINController c;
             ASSERT_TRUE(c.daoDESTIN->Excluir({}, {}));
         },
         "Erro   : Codigo da destinação da P_Cupom está incorreto !"},
        {"company unknown",
         [] {
             TCAD_EMPRESASController c;
             ASSERT_TRUE(c.daoEMPRESAS->Excluir({}, {}));
         },
         "Erro   : Empresa não Cadastrada !"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        Inicia();
        c.estraga();
        ASSERT_TRUE(N->FormActivate());
        EXPECT_EQ(ContaLog(QString::fromUtf8(c.linha)), 1);
        EXPECT_EQ(ContaLog(QStringLiteral("Erro   : Parametros não carregados verificar !")), 1);
        EXPECT_FALSE(Visao.Monitoramento.Ativo);
        EXPECT_EQ(Visao.Monitoramento.Titulo, QStringLiteral("Tesk - Vado (Não Monitorando)"));
        EXPECT_FALSE(Visao.AtivarHabilitado);
        EXPECT_TRUE(Visao.FecharHabilitado);
        N->FormClose(false);
        N.reset();
        CriarDemoERP(TSessao::Padrao(), TDateTime::Now());  // puts the removed rows back
    }
}

TEST_F(Nucleo, UnknownCarrierLoadsAndKeepsTheCarrierFieldsOfBefore)
{
    Inicia();
    Sys_.Nome_Fantasia_Transport = QStringLiteral("DE OUTRA EMPRESA");
    Sys_.Placa_do_Veiculo = QStringLiteral("AAA0000");
    Sys_.Codigo_do_Cliente = QStringLiteral("999999");
    TVEN_TRANSPORController t;
    ASSERT_TRUE(t.daoTRANSPOR->Excluir({}, {}));
    EXPECT_TRUE(N->CarregarParametros());
    EXPECT_EQ(Sys_.Nome_Fantasia_Transport, QStringLiteral("DE OUTRA EMPRESA"));
    EXPECT_EQ(Sys_.Placa_do_Veiculo, QStringLiteral("AAA0000"));
    // The coupon parameters' client replaces the one of CAD_SYSTABLE taken at creation.
    EXPECT_EQ(Sys_.Codigo_do_Cliente, QStringLiteral("000001"));
}

// --- Ativar and the monitoring cycle ---------------------------------------------------------

TEST_F(Nucleo, AtivarTogglesAndTakesTheIntervalAndTheChosenItems)
{
    Grava("AUTOMATICO", QStringLiteral("0"));
    Inicia();
    Visao.IntervaloMs = 0;
    N->actAtivarExecute();
    EXPECT_TRUE(Visao.Monitoramento.Ativo);
    EXPECT_EQ(Visao.Monitoramento.TituloAcao, QStringLiteral("Desativar"));
    EXPECT_EQ(N->IntervaloTimer(), 500) << "an interval of 0 leaves the timer's";
    Visao.IntervaloMs = 2000;
    Visao.Selecao[int(TLista::ECF)] = -1;
    N->actAtivarExecute();
    EXPECT_FALSE(Visao.Monitoramento.Ativo);
    EXPECT_EQ(Visao.Monitoramento.Titulo, QStringLiteral("Tesk - Vado (Não Monitorando)"));
    EXPECT_EQ(N->IntervaloTimer(), 2000);
    EXPECT_TRUE(Sys_.Numero_do_ECF.isEmpty());
}

TEST_F(Nucleo, FolderWithoutCouponFilesDoesNothingAndWritesNothing)
{
    Inicia();
    Arquivo(QStringLiteral("00000001.A01"));
    const qsizetype linhas = Log_->LtLog().size();
    N->Timer1Timer();
    EXPECT_TRUE(Tarefas.empty());
    EXPECT_EQ(Log_->LtLog().size(), linhas);
    EXPECT_TRUE(Visao.Monitoramento.Ativo);
}

TEST_F(Nucleo, ThreeNewFilesRunThreeTasksInTheSearchOrderWithinOneTick)
{
    Inicia();
    for (const char* n : {"00000003.S01", "00000001.S01", "00000002.S01"})
        Arquivo(QString::fromLatin1(n));
    N->Timer1Timer();
    ASSERT_EQ(Tarefas.size(), 3u);
    EXPECT_EQ(Nomes(), OrdemDaPasta());
    for (const TTarefaVista& t : Tarefas) {
        EXPECT_EQ(t.Empresa, QStringLiteral("0001"));
        EXPECT_EQ(t.CGC, QStringLiteral("12345678000195"));
        EXPECT_EQ(t.Usuario, QStringLiteral("0001"));
        EXPECT_EQ(t.Nome, QStringLiteral("OPERADOR DEMO"));
        EXPECT_EQ(t.Diretorio, Mon);
        EXPECT_TRUE(t.ComLista);
    }
}

TEST_F(Nucleo, ListedFirstFileBlocksTheTickButAListedLaterFileDoesNot)
{
    Inicia();
    for (const char* n : {"00000001.S01", "00000002.S01", "00000003.S01"})
        Arquivo(QString::fromLatin1(n));
    const QStringList ordem = OrdemDaPasta();

    Lista(ordem.first());
    N->Timer1Timer();
    EXPECT_TRUE(Tarefas.empty()) << "the first file found is listed";

    N->cdsArquivos()->EmptyDataSet();
    Lista(ordem.last());
    N->Timer1Timer();
    EXPECT_EQ(Nomes(), ordem) << "later files are not looked up, the listed one gets its task too";
}

TEST_F(Nucleo, DirectoryWithoutTrailingSeparatorStillFindsItsFiles)
{
    Grava("MONITORAR", Mon.chopped(1));
    Inicia();
    Arquivo(QStringLiteral("00000001.S01"));
    N->Timer1Timer();
    ASSERT_EQ(Tarefas.size(), 1u);
    EXPECT_EQ(Tarefas[0].Diretorio, Mon) << "the task gets the directory with its separator";
}

TEST_F(Nucleo, MissingOnlineFolderIsSilentAndMonitoringStaysOn)
{
    Inicia();
    QDir(Mon + QStringLiteral("ONLINE")).removeRecursively();
    const qsizetype linhas = Log_->LtLog().size();
    N->Timer1Timer();
    EXPECT_TRUE(Visao.Monitoramento.Ativo);
    EXPECT_EQ(Log_->LtLog().size(), linhas);
}

// A folder the session already monitored drops out (a share or drive gone, a folder moved, a file
// where the folder was): one error line naming it however many ticks it stays away, the timer on,
// no markers, and the next tick after it is back imports again and says so.
TEST_F(Nucleo, VanishedFolderOfAMonitoredSessionKeepsTheTimerOnAndResumesWhenBack)
{
    const struct
    {
        const char* caso;
        const char* pasta;  // under the monitored directory; "" is the directory itself
        bool arquivoNoLugar;
    } casos[] = {
        {"monitored directory moved away", "", false},
        {"ONLINE moved away", "ONLINE", false},
        {"a plain file where ONLINE was", "ONLINE", true},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        Inicia();
        Arquivo(QStringLiteral("00000001.S01"));
        N->Timer1Timer();
        ASSERT_EQ(Nomes(), QStringList{QStringLiteral("00000001.S01")});
        QFile::remove(Mon + QStringLiteral("ONLINE/00000001.S01"));

        const QString alvo = QDir::cleanPath(Mon + QString::fromLatin1(c.pasta));
        const QString fora = FPasta.path() + QStringLiteral("/fora");
        ASSERT_TRUE(QDir().rename(alvo, fora));
        if (c.arquivoNoLugar) {
            QFile f(alvo);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        const QString linha = QStringLiteral("Erro   : Pasta inacessível: ") + QDir::toNativeSeparators(alvo + u'/');
        for (int tick = 0; tick < 3; ++tick)
            N->Timer1Timer();
        EXPECT_EQ(ContaLog(linha), 1) << Log().toStdString();
        EXPECT_TRUE(Visao.Monitoramento.Ativo);
        EXPECT_TRUE(Visao.Marcadores.isEmpty());
        EXPECT_FALSE(N->UltimoCicloFalhou());

        if (c.arquivoNoLugar) {
            ASSERT_TRUE(QFile::remove(alvo));
        }
        ASSERT_TRUE(QDir().rename(fora, alvo));
        Arquivo(QStringLiteral("00000002.S01"));
        N->Timer1Timer();
        EXPECT_EQ(Nomes(), (QStringList{"00000001.S01", "00000002.S01"}));
        EXPECT_EQ(ContaLog(QStringLiteral("Pasta acessível de novo: ") + QDir::toNativeSeparators(alvo + u'/')), 1);
        EXPECT_EQ(ContaLog(linha), 1);

        QFile::remove(Mon + QStringLiteral("ONLINE/00000002.S01"));
        Tarefas.clear();
        N->FormClose(false);
        N.reset();
    }
}

// The rule of a setting to correct still holds for a directory that no cycle found complete.
TEST_F(Nucleo, DirectoryMissingBeforeAnyCompleteCycleStillStopsMonitoring)
{
    Inicia();
    Arquivo(QStringLiteral("00000001.S01"));
    N->Timer1Timer();
    ASSERT_EQ(Tarefas.size(), 1u);
    // Another directory typed in, which does not exist: not the one that was monitored.
    Visao.Dir = FPasta.path() + QStringLiteral("/outra/");
    N->Timer1Timer();
    EXPECT_FALSE(Visao.Monitoramento.Ativo);
    ASSERT_EQ(Visao.Marcadores.size(), 1);
    EXPECT_EQ(Visao.Marcadores[0].first, TCampoTela::DirMonitorar);
    EXPECT_EQ(ContaLog(QStringLiteral("Pasta inacessível")), 0);
}

TEST_F(Nucleo, IncompleteSessionStopsMonitoringWithItsLinesAndMarkers)
{
    Inicia();
    Arquivo(QStringLiteral("00000001.S01"));
    Visao.Selecao[int(TLista::ECF)] = -1;
    N->actAtivarExecute();  // off, taking the empty ECF
    N->actAtivarExecute();  // on again
    ASSERT_TRUE(Visao.Monitoramento.Ativo);
    Visao.Pagina = IVisaoTeskVado::TPagina::ListaArquivos;
    N->Timer1Timer();
    EXPECT_TRUE(Tarefas.empty());
    EXPECT_FALSE(Visao.Monitoramento.Ativo);
    EXPECT_EQ(Visao.Monitoramento.TituloAcao, QStringLiteral("Ativar"));
    EXPECT_EQ(Visao.Pagina, IVisaoTeskVado::TPagina::Configuracoes);
    ASSERT_EQ(Visao.Marcadores.size(), 1);
    EXPECT_EQ(Visao.Marcadores[0].first, TCampoTela::ECF);
    EXPECT_EQ(Visao.Marcadores[0].second, QStringLiteral("Informe o número do ECF"));
    EXPECT_EQ(ContaLog(QStringLiteral("Erro   : Falta o numero do ECF em Sys_.")), 1);
    EXPECT_EQ(ContaLog(QStringLiteral("redução Z")), 0);
}

TEST_F(Nucleo, EmptySessionReportsEveryMissingItemInOrderAndTheDayClosing)
{
    SemFechamentos();
    N = std::make_unique<TNucleoTeskVado>(Visao);
    N->FormCreate();
    Sys_ = TSys{};
    Visao.Dir = FPasta.path() + QStringLiteral("/nao-existe/");
    N->Timer1Timer();
    const QList<QPair<TCampoTela, QString>> esperados{
        {TCampoTela::DirMonitorar, QStringLiteral("Diretório para monitoramento inexistente")},
        {TCampoTela::Empresas, QStringLiteral("Informe o código da Empresa")},
        {TCampoTela::Empresas, QStringLiteral("Informe o CGC da Empresa")},
        {TCampoTela::Usuarios, QStringLiteral("Informe o código do usuário")},
        {TCampoTela::Usuarios, QStringLiteral("Informe o nome do usuário")},
        {TCampoTela::ECF, QStringLiteral("Informe o número do ECF")}};
    EXPECT_EQ(Visao.Marcadores, esperados);
    EXPECT_EQ(Visao.Foco, TCampoTela::ECF);
    QStringList erros;
    for (const QString& l : Log_->LtLog())
        if (l.contains(QStringLiteral("Erro   : ")))
            erros << l.mid(l.indexOf(QStringLiteral("Erro   : ")) + 9).trimmed().chopped(1).trimmed();
    EXPECT_EQ(erros, (QStringList{"Diretório para monitoramento inexistente", "Falta o código da empresa em Sys_.",
                                  "Falta o CGC da Empresa em Sys_.", "Falta o código do usuário em Sys_.",
                                  "Falta o nome do usuário em Sys_.", "Falta o numero do ECF em Sys_.",
                                  "Ainda não foi feita a importação da redução Z !"}));

    // A second incomplete cycle replaces the markers rather than adding to them.
    const int conjuntos = Visao.ConjuntosMarcadores;
    N->Timer1Timer();
    EXPECT_EQ(Visao.ConjuntosMarcadores, conjuntos + 1);
    EXPECT_EQ(Visao.Marcadores.size(), 6);
}

TEST_F(Nucleo, TickDuringACycleIsSkippedAndAStopRequestEndsBeforeTheNextFile)
{
    Inicia();
    for (const char* n : {"00000001.S01", "00000002.S01", "00000003.S01"})
        Arquivo(QString::fromLatin1(n));
    int aninhados = 0;
    AoExecutar = [&](TExecCmd&) {
        EXPECT_TRUE(N->EmCiclo());
        const size_t antes = Tarefas.size();
        N->Timer1Timer();  // the log's screen trim or the warm-up let a tick in
        aninhados += int(Tarefas.size() - antes);
    };
    N->Timer1Timer();
    EXPECT_EQ(Tarefas.size(), 3u);
    EXPECT_EQ(aninhados, 0);
    EXPECT_FALSE(N->EmCiclo());

    Tarefas.clear();
    AoExecutar = {};
    N->DefinirPedidoParada([this] { return !Tarefas.empty(); });
    N->Timer1Timer();
    EXPECT_EQ(Tarefas.size(), 1u);
}

TEST_F(Nucleo, TaskExceptionEndsTheCycleAsAnErrorLineAndMonitoringStaysOn)
{
    Inicia();
    Arquivo(QStringLiteral("00000001.S01"));
    Arquivo(QStringLiteral("00000002.S01"));
    AoExecutar = [](TExecCmd&) { throw EInOutError(QStringLiteral("Erro ao apagar: X")); };
    N->Timer1Timer();
    EXPECT_EQ(Tarefas.size(), 1u);
    EXPECT_TRUE(N->UltimoCicloFalhou());
    EXPECT_EQ(ContaLog(QStringLiteral("Erro   : Erro ao apagar: X")), 1);
    EXPECT_TRUE(Visao.Monitoramento.Ativo);
    EXPECT_FALSE(N->EmCiclo());
}

TEST_F(Nucleo, ChosenFolderEmptiesTheFileList)
{
    Inicia();
    Lista(QStringLiteral("00000001.S01"));
    N->PastaEscolhida(QStringLiteral("/outra/pasta/"));
    EXPECT_TRUE(N->cdsArquivos()->IsEmpty());
    EXPECT_TRUE(N->cdsArquivos()->Active());
    EXPECT_EQ(Visao.Dir, QStringLiteral("/outra/pasta/"));
}

// --- Day-closing check ---------------------------------------------------------------------

TEST_F(Nucleo, DayClosingCheck)
{
    Inicia();
    const struct
    {
        const char* caso;
        const char* croAntes;
        const char* empresaDaLinha;  // nullptr: no row at all
        int diasAtras;
        const char* croDaLinha;
        bool resultado;
        const char* croDepois;
    } casos[] = {
        {"counter known: the table is not read", "07", nullptr, 0, "", true, "07"},
        {"today's row with 5", "", "0001", 0, "5", true, "05"},
        {"a longer counter keeps its first two digits", "", "0001", 0, "123", true, "12"},
        {"only yesterday's row", "", "0001", 1, "5", false, ""},
        {"another company's row of today", "", "0002", 0, "5", false, ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        SemFechamentos();
        if (c.empresaDaLinha)
            DiaDeFechamento(QString::fromLatin1(c.empresaDaLinha), Hoje.addDays(-c.diasAtras),
                            QString::fromLatin1(c.croDaLinha));
        Sys_.Numero_do_CRO = QString::fromLatin1(c.croAntes);
        EXPECT_EQ(N->VerificarReducaoZ(), c.resultado);
        EXPECT_EQ(Sys_.Numero_do_CRO, QString::fromLatin1(c.croDepois));
        EXPECT_EQ(N->Controladores().VEN_ECF_C, nullptr);
    }

    SemFechamentos();
    DiaDeFechamento("0001", Hoje, "x");
    Sys_.Numero_do_CRO.clear();
    EXPECT_THROW(N->VerificarReducaoZ(), EConvertError);
    EXPECT_EQ(N->Controladores().VEN_ECF_C, nullptr);
}

TEST_F(Nucleo, WithoutTodaysDayClosingTheCycleStopsAndImportsNothing)
{
    SemFechamentos();
    DiaDeFechamento("0001", Hoje.addDays(-1), "5");
    Inicia();
    Arquivo(QStringLiteral("00000001.S01"));
    N->Timer1Timer();
    EXPECT_TRUE(Tarefas.empty());
    EXPECT_FALSE(Visao.Monitoramento.Ativo);
    EXPECT_TRUE(Visao.Marcadores.isEmpty());
    EXPECT_EQ(ContaLog(QStringLiteral("Erro   : Ainda não foi feita a importação da redução Z !")), 1);

    // The import of yesterday's reduction fills the counter: the next cycle goes on without a row of today.
    Sys_.Numero_do_CRO = QStringLiteral("05");
    N->actAtivarExecute();
    N->Timer1Timer();
    EXPECT_EQ(Tarefas.size(), 1u);
}

}  // namespace
