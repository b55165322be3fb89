#include "AuxGui.h"
#include "uBibliotGui.h"
#include "uIntervaloData.h"
#include "uMensagensTesk.h"
#include "uUIDesktop.h"

#include <QDateTimeEdit>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(TUIDesktop, PerguntasEMensagensUsamAsJanelasDoPrograma)
{
    TUIDesktop ui;
    QString texto, botoes;
    TQuandoModal sim([&](QWidget* w) {
        texto = w->findChild<QLabel*>(QStringLiteral("lbl_Texto_Mensagem"))->text();
        w->findChild<QPushButton*>(QStringLiteral("Sim"))->click();
    });
    EXPECT_TRUE(ui.Pergunta(QStringLiteral("Importar a redução Z?")));
    EXPECT_EQ(texto, QStringLiteral("Importar a redução Z?"));

    TTipoMensagem tipo{};
    TQuandoModal ok([&](QWidget* w) {
        tipo = static_cast<TMensagens*>(w)->CaracteristicasDaMensagem();
        for (auto* b : w->findChildren<QPushButton*>())
            botoes += b->objectName();
        w->findChild<QPushButton*>(QStringLiteral("Ok"))->click();
    });
    ui.Mensagem(IUIPort::TTipoMensagem::Erro, QStringLiteral("Drive V: não encontrado"));
    EXPECT_EQ(tipo, TTipoMensagem::MsErro);
    EXPECT_EQ(botoes, QStringLiteral("Ok"));
}

TEST(TUIDesktop, IntervaloDevolveSoOQueFoiConfirmado)
{
    TUIDesktop ui;
    const TDateTime inicio = TDateTime::Encode(2024, 5, 1), fim = TDateTime::Encode(2024, 5, 31, 23, 59, 0);
    const TDateTime escolhido = TDateTime::Encode(2024, 4, 20);
    TDateTime a = inicio, b = fim;
    TQuandoModal cancela([&](QWidget* w) {
        static_cast<TfrmIntervaloData*>(w)->edtDataInicial->setDateTime(escolhido.ToDateTime());
        static_cast<TfrmIntervaloData*>(w)->btnCancelar->click();
    });
    EXPECT_FALSE(ui.PedeIntervalo(a, b));
    EXPECT_EQ(a, inicio);

    TQuandoModal confirma([&](QWidget* w) {
        static_cast<TfrmIntervaloData*>(w)->edtDataInicial->setDateTime(escolhido.ToDateTime());
        static_cast<TfrmIntervaloData*>(w)->btnOk->click();
    });
    EXPECT_TRUE(ui.PedeIntervalo(a, b));
    EXPECT_EQ(a, escolhido);
    EXPECT_EQ(b, fim);
}

TEST(TUIDesktop, BarraDeProgressoECursor)
{
    TUIDesktop ui;
    ui.ProgressoMaximo(10);  // no bar yet: nothing to move, nothing breaks
    {
        QWidget janela;
        auto* barra = new QProgressBar(&janela);
        janela.show();
        ui.DefinirBarraProgresso(barra);
        ui.ProgressoMaximo(40);
        ui.ProgressoPosicao(12);
        EXPECT_EQ(barra->maximum(), 40);
        EXPECT_EQ(barra->value(), 12);
        ui.ProgressoVisivel(false);
        EXPECT_FALSE(barra->isVisible());
    }
    ui.ProgressoPosicao(3);  // the bar is gone with its window

    ui.CursorOcupado(true);
    ui.CursorOcupado(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.CursorOcupado(false);
    EXPECT_NE(QApplication::overrideCursor(), nullptr) << "the outer busy span is still running";
    ui.CursorOcupado(false);
    ui.CursorOcupado(false);  // one end too many restores nothing of anyone else's
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(SeletorPastaDesktop, PastaEscolhidaTerminaComSeparador)
{
    QTemporaryDir raiz;
    ASSERT_TRUE(QDir(raiz.path()).mkdir(QStringLiteral("Ruxo")));
    const QString alvo = QDir(raiz.path()).filePath(QStringLiteral("Ruxo"));

    QString titulo;
    TQuandoModal escolhe([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        titulo = dlg->windowTitle();
        dlg->setDirectory(alvo);
        dlg->selectFile(alvo);
        static_cast<QDialog*>(dlg)->accept();
    });
    QString pasta;
    EXPECT_TRUE(SelecionaPasta(pasta, raiz.path(), QStringLiteral("Diretório do Ruxo"), SeletorPastaDesktop()));
    EXPECT_EQ(titulo, QStringLiteral("Selecione a Pasta"));
    EXPECT_EQ(pasta, QDir::toNativeSeparators(alvo) + QDir::separator());

    TQuandoModal cancela([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(SelecionaPasta(pasta, raiz.path(), QString(), SeletorPastaDesktop()));
    EXPECT_EQ(pasta, QStringLiteral("False"));
}
