// The main window over the session core, offscreen: configuration file, actions and captions,
// the cycle's markers, the tray, the log box, the exception handler and the program's start.
#include <QProgressBar>  // before uUIDesktop.h, whose inline setter needs the whole type

#include "AuxGui.h"

#include "uAplicacao.h"
#include "uBibliot.h"
#include "uEsquemaERP.h"
#include "uErros.h"
#include "uInicio.h"
#include "uLog.h"
#include "uMemTable.h"
#include "uQuery.h"
#include "uSplash.h"
#include "uSys.h"
#include "uTeskVado.h"
#include "uUIDesktop.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QSpinBox>
#include <QCheckBox>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

void Executa(const QString& alias, const QString& sql)
{
    TQuery q;
    q.SetDatabaseName(alias);
    q.SQL().Add(sql);
    q.ExecSQL();
}

const QString Monitorando = QStringLiteral("Tesk - Vado (Monitorando)");
const QString Parado = QStringLiteral("Tesk - Vado (Não Monitorando)");

// A demo data drive (company 0001, user 0001, ECF 01, today's day-closing row), a fixed clock,
// the INI in the temporary folder and the desktop's UI port.
class JanelaTeste : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FPasta.isValid());
        TDateTime::RelogioDeTeste([] { return QDateTime(QDate(2026, 3, 20), QTime(10, 0)); });
        Sys_ = TSys{};
        DefinirUI(&Ui);
        Raiz = FPasta.path() + QStringLiteral("/drive");
        QDir().mkpath(Raiz + QStringLiteral("/Sistemas"));
        FInicio = std::make_unique<TInicioPrograma>(QStringList{Raiz});
        ASSERT_FALSE(Sys_.Fechar);
        CriarDemoERP(TSessao::Padrao(), TDateTime::Date());
        Monitorada = FPasta.path() + QStringLiteral("/ruxo/");
        QDir().mkpath(Monitorada + QStringLiteral("ONLINE"));
        Ini = FPasta.path() + QStringLiteral("/teskvado.ini");
        DefinirArquivoIni(Ini);
    }

    void TearDown() override
    {
        Janela.reset();
        FInicio.reset();
        DefinirArquivoIni(QString());
        DefinirUI(nullptr);
        TDateTime::RelogioDeTeste({});
        Sys_ = TSys{};
    }

    void EscreveIni(const QStringList& linhas)
    {
        QFile f(Ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write((QStringLiteral("[PARAMETROS]\r\n") + linhas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    }

    QStringList LinhasIni() const
    {
        QFile f(Ini);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    // The window as the program makes it: the UI port bound to its progress bar, the update
    // check replaced by a counter.
    TfrmTeskVado& Cria()
    {
        Janela = std::make_unique<TfrmTeskVado>();
        Ui.DefinirBarraProgresso(Janela->cxProgressBar1);
        Ui.DefinirJanela(Janela.get());
        Janela->VerificarAtualizacao = [this] { ++Verificacoes; };
        return *Janela;
    }

    bool NoLog(const QString& trecho) const
    {
        if (!Log_)
            return false;
        for (const QString& l : Log_->LtLog())
            if (l.contains(trecho))
                return true;
        return false;
    }

    QString Raiz;
    QString Monitorada;
    QString Ini;
    TUIDesktop Ui;
    std::unique_ptr<TfrmTeskVado> Janela;
    int Verificacoes = 0;

private:
    QTemporaryDir FPasta;
    std::unique_ptr<TInicioPrograma> FInicio;
};

TEST_F(JanelaTeste, ConfiguracaoVoltaIgualEGravaAsChavesNaOrdem)
{
    // First run: no file; the user fills the window and closes it.
    QString empresa, usuario, ecf;
    {
        TfrmTeskVado& w = Cria();
        EXPECT_TRUE(w.edtDirMonitorar->text().isEmpty());
        EXPECT_FALSE(w.ckbIniciarAutomatico->isChecked());
        EXPECT_EQ(w.lkbEmpresas->currentIndex(), -1);
        w.edtDirMonitorar->setText(Monitorada);
        w.edtIntervalo->setValue(2500);
        w.ckbIniciarAutomatico->setChecked(true);
        for (QComboBox* c : {w.lkbEmpresas, w.lkbUsuarios, w.lkbECF}) {
            ASSERT_EQ(c->count(), 1);
            c->setCurrentIndex(0);
        }
        empresa = w.lkbEmpresas->currentText();
        usuario = w.lkbUsuarios->currentText();
        ecf = w.lkbECF->currentText();
        EXPECT_TRUE(empresa.startsWith(QStringLiteral("0001 - LOJA DEMO            - ")));
        w.close();
    }
    EXPECT_EQ(LinhasIni(), (QStringList{QStringLiteral("[PARAMETROS]"), QStringLiteral("INTERVALO=2500"),
                                        QStringLiteral("AUTOMATICO=-1"), QStringLiteral("MONITORAR=") + Monitorada,
                                        QStringLiteral("EMPRESA=") + empresa, QStringLiteral("USUARIO=") + usuario,
                                        QStringLiteral("ECF=") + ecf}));

    // The next run shows exactly that; an unchecked box and an interval of 0 read back too.
    Janela.reset();
    {
        TfrmTeskVado& w = Cria();
        EXPECT_EQ(w.edtDirMonitorar->text(), Monitorada);
        EXPECT_EQ(w.edtIntervalo->value(), 2500);
        EXPECT_EQ(w.Timer1->interval(), 2500);
        EXPECT_FALSE(w.Timer1->isActive());
        EXPECT_TRUE(w.ckbIniciarAutomatico->isChecked());
        EXPECT_EQ(w.lkbEmpresas->currentText(), empresa);
        EXPECT_EQ(w.lkbUsuarios->currentText(), usuario);
        EXPECT_EQ(w.lkbECF->currentText(), ecf);
        w.ckbIniciarAutomatico->setChecked(false);
        w.edtIntervalo->setValue(0);
        w.close();
    }
    const QStringList linhas = LinhasIni();
    EXPECT_TRUE(linhas.contains(QStringLiteral("AUTOMATICO=0")));
    EXPECT_TRUE(linhas.contains(QStringLiteral("INTERVALO=0")));
    Janela.reset();
    // An interval of 0 leaves the timer at its own 1000 ms.
    TfrmTeskVado& w = Cria();
    EXPECT_FALSE(w.ckbIniciarAutomatico->isChecked());
    EXPECT_EQ(w.Timer1->interval(), 1000);
}

TEST_F(JanelaTeste, AcoesECaptionsDaCargaQueDaCertoEDaQueFalha)
{
    struct Caso
    {
        const char* nome;
        bool automatico;
        bool semParametrosCupom;
        bool ativarHabilitado;
        QString titulo;
        const char* acao;
    };
    const Caso casos[] = {
        {"automático e parâmetros", true, false, true, Monitorando, "Desativar"},
        {"sem automático", false, false, true, Parado, "Ativar"},
        {"parâmetros do cupom faltando", true, true, false, Parado, "Ativar"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        Janela.reset();
        Verificacoes = 0;
        Sys_ = TSys{};
        if (c.semParametrosCupom)
            Executa(QStringLiteral("N_VENDAS"), QStringLiteral("DELETE FROM \"P_CUPOM\""));
        EscreveIni({QStringLiteral("AUTOMATICO=") + (c.automatico ? QStringLiteral("-1") : QStringLiteral("0")),
                    QStringLiteral("INTERVALO=3000"), QStringLiteral("MONITORAR=") + Monitorada,
                    QStringLiteral("EMPRESA=0001"), QStringLiteral("USUARIO=0001"), QStringLiteral("ECF=01")});
        TfrmTeskVado& w = Cria();
        EXPECT_FALSE(w.actAtivar->isEnabled());
        EXPECT_FALSE(w.actImportaZ->isEnabled());
        EXPECT_FALSE(w.actFechar->isEnabled());
        EXPECT_EQ(w.windowTitle(), Parado);

        // Showing the window activates it, as the program's first showing does.
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::qWait(20);
        EXPECT_TRUE(NoLog(QStringLiteral("Ok     : Dados carregados com sucesso")));
        EXPECT_EQ(w.actAtivar->isEnabled(), c.ativarHabilitado);
        EXPECT_TRUE(w.actImportaZ->isEnabled());
        EXPECT_TRUE(w.actFechar->isEnabled());
        EXPECT_EQ(w.windowTitle(), c.titulo);
        EXPECT_EQ(w.TrayIcon1->toolTip(), c.titulo);
        EXPECT_EQ(w.actAtivar->text(), QString::fromUtf8(c.acao));
        EXPECT_EQ(w.Timer1->isActive(), c.titulo == Monitorando);
        EXPECT_EQ(w.Timer1->interval(), 3000);
        EXPECT_FALSE(w.cxProgressBar1->isVisible());
        EXPECT_EQ(w.cxProgressBar1->maximum(), 13);
        EXPECT_EQ(NoLog(QStringLiteral("Parametros não Cadastrado para esta Empresa !")), c.semParametrosCupom);
        EXPECT_EQ(NoLog(QStringLiteral("Parametros não carregados verificar !")), c.semParametrosCupom);
        EXPECT_EQ(Verificacoes, 1);

        if (c.ativarHabilitado) {
            // "Ativar"/"Desativar" flips all three places together.
            const bool antes = w.Timer1->isActive();
            w.actAtivar->trigger();
            EXPECT_EQ(w.Timer1->isActive(), !antes);
            EXPECT_EQ(w.windowTitle(), antes ? Parado : Monitorando);
            EXPECT_EQ(w.actAtivar->text(), antes ? QStringLiteral("Ativar") : QStringLiteral("Desativar"));
        }
        w.close();
    }
}

TEST_F(JanelaTeste, FocoQueVoltaDeOutraJanelaDoProgramaAtivaDeNovo)
{
    EscreveIni({QStringLiteral("AUTOMATICO=0"), QStringLiteral("EMPRESA=0001"), QStringLiteral("USUARIO=0001"),
                QStringLiteral("ECF=01")});
    TfrmTeskVado& w = Cria();
    const auto ativacoes = [] {
        return Log_ ? int(Log_->LtLog().filter(QStringLiteral("Aguarde carregando dados")).size()) : -1;
    };
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ativacoes() == 1; })) << ativacoes();

    QDialog dialogo(&w);
    dialogo.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialogo));
    EXPECT_EQ(ativacoes(), 1);
    dialogo.close();
    // A window manager gives the focus back to the dialog's parent; the offscreen platform
    // does not, so the test does it.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ativacoes() == 2; })) << ativacoes();
    EXPECT_EQ(Verificacoes, 2);
}

TEST_F(JanelaTeste, CicloComSessaoIncompletaMarcaEDesliga)
{
    // The folder is gone and no ECF was ever chosen.
    EscreveIni({QStringLiteral("AUTOMATICO=-1"), QStringLiteral("MONITORAR=") + Monitorada + QStringLiteral("sumiu/"),
                QStringLiteral("EMPRESA=0001"), QStringLiteral("USUARIO=0001")});
    TfrmTeskVado& w = Cria();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.lkbECF->currentIndex(), -1);
    ASSERT_TRUE(w.Timer1->isActive());
    w.cxPageControl1->setCurrentWidget(w.cxTabSheet2);
    w.edtIntervalo->setFocus();

    w.Timer1Timer();
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_EQ(w.windowTitle(), Parado);
    EXPECT_EQ(w.actAtivar->text(), QStringLiteral("Ativar"));
    EXPECT_EQ(w.cxPageControl1->currentWidget(), w.cxTabSheet1);
    EXPECT_EQ(w.Marcas(), 2);
    EXPECT_EQ(w.focusWidget(), w.lkbECF);
    EXPECT_TRUE(NoLog(QStringLiteral("Erro   : Diretório para monitoramento inexistente")));
    EXPECT_TRUE(NoLog(QStringLiteral("Erro   : Falta o numero do ECF em Sys_.")));
    EXPECT_FALSE(NoLog(QStringLiteral("Falta o código da empresa")));
    // The marker icons sit beside their controls with the message as tool tip.
    const QList<QLabel*> icones = w.cxTabSheet1->findChildren<QLabel*>();
    QStringList dicas;
    for (QLabel* l : icones)
        if (!l->toolTip().isEmpty() && l->isVisible())
            dicas << l->toolTip();
    dicas.sort();
    EXPECT_EQ(dicas, (QStringList{QStringLiteral("Diretório para monitoramento inexistente"),
                                  QStringLiteral("Informe o número do ECF")}));

    // The next incomplete cycle replaces the markers instead of piling them up.
    w.Timer1Timer();
    EXPECT_EQ(w.Marcas(), 2);
}

TEST_F(JanelaTeste, SelecaoSalvaQueNaoExisteMaisFicaVaziaEOCicloAponta)
{
    EscreveIni({QStringLiteral("AUTOMATICO=0"), QStringLiteral("MONITORAR=") + Monitorada,
                QStringLiteral("EMPRESA=0009 - LOJA QUE FECHOU       - 99999999000199"),
                QStringLiteral("USUARIO=0001 - OPERADOR DEMO"), QStringLiteral("ECF=01")});
    TfrmTeskVado& w = Cria();
    EXPECT_EQ(w.lkbEmpresas->count(), 1);
    EXPECT_EQ(w.lkbEmpresas->currentIndex(), -1);
    EXPECT_TRUE(w.lkbEmpresas->currentText().isEmpty());
    EXPECT_EQ(w.lkbUsuarios->currentIndex(), 0);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(NoLog(QStringLiteral("Erro   : Empresa não Cadastrada !")));
    EXPECT_FALSE(w.actAtivar->isEnabled());

    w.Timer1Timer();
    EXPECT_TRUE(NoLog(QStringLiteral("Erro   : Falta o código da empresa em Sys_.")));
    EXPECT_TRUE(NoLog(QStringLiteral("Erro   : Falta o CGC da Empresa em Sys_.")));
    // Both company lines, one icon on the combo box carrying the last message.
    EXPECT_EQ(w.Marcas(), 1);
    EXPECT_EQ(w.focusWidget(), w.lkbEmpresas);
    bool dica = false;
    for (QLabel* l : w.cxTabSheet1->findChildren<QLabel*>())
        dica = dica || l->toolTip() == QStringLiteral("Informe o CGC da Empresa");
    EXPECT_TRUE(dica);
}

TEST_F(JanelaTeste, MinimizarVaiParaABandejaEAbrirVolta)
{
    EscreveIni({QStringLiteral("AUTOMATICO=0"), QStringLiteral("EMPRESA=0001"), QStringLiteral("USUARIO=0001"),
                QStringLiteral("ECF=01")});
    TfrmTeskVado& w = Cria();
    w.BandejaDisponivel = [] { return true; };
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_FALSE(w.TrayIcon1->isVisible());

    w.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }));
    EXPECT_TRUE(w.NaBandeja());
    EXPECT_TRUE(w.TrayIcon1->isVisible());

    emit w.TrayIcon1->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    EXPECT_FALSE(w.TrayIcon1->isVisible());

    // Through the tray menu as well.
    w.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }));
    w.mnAbrir->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.TrayIcon1->isVisible());

    // With no notification area to come back from, minimising only minimises.
    w.BandejaDisponivel = [] { return false; };
    w.setWindowState(Qt::WindowMinimized);
    QTest::qWait(20);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.TrayIcon1->isVisible());
}

TEST_F(JanelaTeste, PastaEscolhidaEsvaziaAListaETerminaComSeparador)
{
    EscreveIni({QStringLiteral("AUTOMATICO=0")});
    TfrmTeskVado& w = Cria();
    TMemTable* lista = w.Nucleo().cdsArquivos();
    ASSERT_NE(lista, nullptr);
    lista->Append();
    lista->FieldByName(QStringLiteral("INDICE")).SetAsInteger(1);
    lista->FieldByName(QStringLiteral("NOME")).SetAsString(QStringLiteral("00012345.S07"));
    lista->FieldByName(QStringLiteral("EXECUTANDO")).SetAsBoolean(true);
    lista->FieldByName(QStringLiteral("PROCESSADO")).SetAsBoolean(false);
    lista->Post();
    QAbstractItemModel* grade = w.gdArquivos->model();
    ASSERT_EQ(grade->rowCount(), 1);
    EXPECT_EQ(grade->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Seq."));
    EXPECT_EQ(grade->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Processado"));
    EXPECT_EQ(grade->data(grade->index(0, 1)).toString(), QStringLiteral("00012345.S07"));
    EXPECT_EQ(grade->data(grade->index(0, 2), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_EQ(grade->data(grade->index(0, 3), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    EXPECT_FALSE(grade->flags(grade->index(0, 1)) & Qt::ItemIsEditable);

    QStringList pedidos;
    w.Seletor = [&](const QString& titulo, const QString& mensagem, const QString&) -> std::optional<QString> {
        pedidos << titulo << mensagem;
        return std::nullopt;
    };
    w.btnDirMonitora->click();
    EXPECT_EQ(pedidos, (QStringList{QStringLiteral("Selecione a Pasta"), QStringLiteral("Teste")}));
    EXPECT_EQ(grade->rowCount(), 1);  // cancelled: nothing changes

    w.Seletor = [&](const QString&, const QString&, const QString&) -> std::optional<QString> {
        return Monitorada;
    };
    w.btnDirMonitora->click();
    EXPECT_EQ(grade->rowCount(), 0);
    EXPECT_EQ(w.edtDirMonitorar->text(), Monitorada);
    EXPECT_TRUE(w.edtDirMonitorar->text().endsWith(u'/'));
}

// --- Log box, exception handler, splash: no data drive needed --------------------------------

TEST(TelaRichEdit, CoresCorteDaTelaFimDoTextoELimpar)
{
    QTextEdit edit;
    TTelaRichEdit tela;
    tela.Edit(&edit);
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_EQ(edit.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(edit.font().pointSize(), 11);
    TLog log;
    log.RichEdit(&tela);

    log.TextoErro(QStringLiteral("falhou"));
    ASSERT_EQ(tela.QuantidadeLinhas(), 1);
    EXPECT_EQ(edit.document()->firstBlock().text(), log.LtLog().at(0));
    QColor corErro;
    for (auto it = edit.document()->firstBlock().begin(); !it.atEnd(); ++it)
        if (it.fragment().text().contains(QStringLiteral("Erro   : falhou")))
            corErro = it.fragment().charFormat().foreground().color();
    EXPECT_EQ(corErro, QColor(255, 0, 0));

    // The user clicks into the box: the next line still goes to the end.
    QTextCursor inicio(edit.document());
    inicio.movePosition(QTextCursor::Start);
    edit.setTextCursor(inicio);
    log.TextoSimples(QStringLiteral("segunda"));
    EXPECT_EQ(edit.document()->blockCount(), 2);
    EXPECT_EQ(edit.document()->lastBlock().text(), log.LtLog().at(1));
    EXPECT_EQ(edit.textCursor().position(), QTextCursor(edit.document()->lastBlock()).position() +
                                                edit.document()->lastBlock().length() - 1);

    for (int i = 0; i < 150; ++i)
        log.TextoSimples(QStringLiteral("linha %1").arg(i));
    // The screen keeps its last lines (one over the trim's limit, the line just written); the
    // plain copy keeps all.
    EXPECT_EQ(tela.QuantidadeLinhas(), TLog::MaximoLinhasTela + 1);
    EXPECT_EQ(edit.document()->blockCount(), tela.QuantidadeLinhas());
    EXPECT_EQ(edit.document()->lastBlock().text(), log.LtLog().last());
    EXPECT_EQ(edit.document()->firstBlock().text(), log.LtLog().at(log.LtLog().size() - tela.QuantidadeLinhas()));
    EXPECT_EQ(log.LtLog().size(), 152);

    log.Clear();
    EXPECT_EQ(tela.QuantidadeLinhas(), 0);
    EXPECT_TRUE(edit.document()->isEmpty());
    log.Espaco();
    EXPECT_EQ(edit.document()->blockCount(), tela.QuantidadeLinhas());
}

TEST(Aplicacao, ExcecaoDeUmEventoVaiParaOLogEOProgramaSegue)
{
    TLog log;
    Log_ = &log;
    EXPECT_FALSE(EntregaProtegida([]() -> bool { throw EDatabaseError(QStringLiteral("tabela travada")); }));
    EXPECT_FALSE(EntregaProtegida([]() -> bool { throw std::runtime_error("sem memoria"); }));
    EXPECT_FALSE(EntregaProtegida([]() -> bool { throw 42; }));
    EXPECT_TRUE(EntregaProtegida([] { return true; }));
    ASSERT_EQ(log.LtLog().size(), 3);
    EXPECT_TRUE(log.LtLog().at(0).startsWith(QStringLiteral("|Erro   : tabela travada")));
    EXPECT_TRUE(log.LtLog().at(1).startsWith(QStringLiteral("|Erro   : sem memoria")));
    Log_ = nullptr;
    // No log yet (or any more): swallowed.
    EXPECT_FALSE(EntregaProtegida([]() -> bool { throw EInOutError(QStringLiteral("x")); }));
}

TEST(Splash, TituloImagemEVersao)
{
    QTemporaryDir dir;
    const QString logo = dir.path() + QStringLiteral("/Logo.png");
    QImage figura(10, 10, QImage::Format_RGB32);
    figura.fill(Qt::blue);
    ASSERT_TRUE(figura.save(logo));

    TfrmSplash splash;
    EXPECT_EQ(splash.size(), QSize(494, 273));
    splash.SetTitulo(QStringLiteral("Tesk - Vado Integrador Ruxo"));
    EXPECT_EQ(splash.lbTitulo->text(), QStringLiteral("Tesk - Vado Integrador Ruxo"));
    splash.SetImagem(dir.path() + QStringLiteral("/NaoExiste.png"));
    EXPECT_TRUE(splash.cxImage1->pixmap().isNull());
    splash.SetImagem(logo);
    EXPECT_FALSE(splash.cxImage1->pixmap().isNull());
    EXPECT_TRUE(splash.cxlbVersao->text().contains(VersaoPrograma()));
}

// --- The program itself ------------------------------------------------------------------------

QString Programa()
{
    return QStringLiteral(TV_BIN_DIR "/teskvado");
}

TEST(Programa, VersaoESemAreaDeTrabalho)
{
    QProcess p;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        ambiente.remove(QString::fromLatin1(v));
    p.setProcessEnvironment(ambiente);

    p.start(Programa(), {QStringLiteral("--version")});
    ASSERT_TRUE(p.waitForFinished(10000)) << qPrintable(Programa() + u' ' + p.errorString());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    const QString versao = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    EXPECT_EQ(versao, VersaoPrograma());
    EXPECT_EQ(versao.split(u'.').size(), 4);

    p.start(Programa(), {});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("teskvado-cli monitorar")));
}

}  // namespace
