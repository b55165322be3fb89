#include "AuxGui.h"
#include "uMensagensTesk.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QList<QPushButton*> Botoes(TMensagens& m)
{
    return m.PainelBotoes()->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
}

QPushButton* Botao(QWidget* dlg, const char* nome)
{
    return dlg->findChild<QPushButton*>(QString::fromLatin1(nome));
}

}  // namespace

TEST(CorNoPasso, InterpolaParaOBrancoArredondandoMetadeParaPar)
{
    struct Caso
    {
        QColor inicio;
        int passo;
        QColor esperado;
    };
    const Caso casos[] = {
        {QColor(255, 128, 64), 0, QColor(255, 128, 64)},
        {QColor(255, 128, 64), 100, QColor(255, 255, 255)},
        {QColor(255, 128, 64), 80, QColor(255, 230, 217)},  // 229.6 and 216.8
        {QColor(210, 0, 0), 10, QColor(214, 26, 26)},       // 214.5 goes to the even 214; 25.5 to 26
        {QColor(0, 128, 0), 10, QColor(26, 141, 26)},       // 140.7
        {QColor(0, 128, 0), 50, QColor(128, 192, 128)},     // 127.5 goes to 128
    };
    for (const Caso& c : casos)
        EXPECT_EQ(CorNoPasso(c.inicio, Qt::white, c.passo), c.esperado) << c.inicio.name().toStdString() << " " << c.passo;
}

TEST(TMensagens, TresBotoesCentramUmaLinhaDe233Pixels)
{
    auto m = TMensagens::CreateMSG(nullptr);
    m->Prepara(QStringLiteral("Importar?"), TTipoMensagem::MsConfirmacao, BtSim | BtNao | BtCancelar, 0);
    EXPECT_EQ(m->size(), QSize(297, 145));

    const auto b = Botoes(*m);
    ASSERT_EQ(b.size(), 3);
    const QStringList nomes{b[0]->objectName(), b[1]->objectName(), b[2]->objectName()};
    EXPECT_EQ(nomes, (QStringList{"Sim", "Nao", "Cancelar"}));
    EXPECT_EQ(b[0]->text(), QStringLiteral("&Sim"));
    EXPECT_EQ(b[1]->text(), QStringLiteral("&Não"));
    // (297 - 2 x 6 - 2 x 6 - 233) / 2 = 20; then every 79 px.
    EXPECT_EQ(b[0]->geometry(), QRect(20, 8, 75, 25));
    EXPECT_EQ(b[1]->geometry(), QRect(99, 8, 75, 25));
    EXPECT_EQ(b[2]->geometry(), QRect(178, 8, 75, 25));
    EXPECT_EQ(b[2]->geometry().right() + 1 - b[0]->x(), 233);
    EXPECT_TRUE(b[0]->isDefault());
    EXPECT_FALSE(b[1]->isDefault());
}

TEST(TMensagens, EscRespondeOBotaoDeCancelar)
{
    struct Caso
    {
        TMsgBotoes botoes;
        int esperado;
    };
    const Caso casos[] = {
        {BtSim | BtNao | BtCancelar, TResultado::Cancelar},
        {BtSim | BtNao, TResultado::Nao},
        {BtOk, TResultado::Cancelar},
    };
    for (const Caso& c : casos) {
        TQuandoModal esc([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        EXPECT_EQ(TMensagens::MSG_DLG(QStringLiteral("?"), TTipoMensagem::MsConfirmacao, c.botoes, 0), c.esperado)
            << c.botoes.toInt();
        EXPECT_TRUE(esc.Viu());
    }
}

TEST(TMensagens, ConfirmaPerguntaEAceitaSimComEnter)
{
    QString texto;
    QString padrao;
    TQuandoModal enter([&](QWidget* w) {
        texto = w->findChild<QLabel*>(QStringLiteral("lbl_Texto_Mensagem"))->text();
        for (auto* b : w->findChildren<QPushButton*>())
            if (b->isDefault())
                padrao = b->objectName();
        QTest::keyClick(w, Qt::Key_Return);
    });
    EXPECT_TRUE(TMensagens::MSG_Confirma());
    EXPECT_EQ(texto, QStringLiteral("Confirma ?"));
    EXPECT_EQ(padrao, QStringLiteral("Sim"));

    TQuandoModal nao([](QWidget* w) { Botao(w, "Nao")->click(); });
    EXPECT_FALSE(TMensagens::MSG_Conf_Geral(QStringLiteral("Importar a redução?"), 0));
    TQuandoModal esc([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_FALSE(TMensagens::MSG_Confirma());
}

TEST(TMensagens, ErroTemSoOkQueFechaAoApertarOMouse)
{
    QStringList nomes;
    QString legenda;
    TQuandoModal clique([&](QWidget* w) {
        for (auto* b : w->findChildren<QPushButton*>())
            nomes << b->objectName();
        QPushButton* ok = Botao(w, "Ok");
        legenda = ok->text();
        // The press alone closes it: no release follows.
        QTest::mousePress(ok, Qt::LeftButton);
    });
    TMensagens::MSG_Erro(QStringLiteral("Drive não encontrado"));
    EXPECT_TRUE(clique.Viu());
    EXPECT_EQ(nomes, QStringList{"Ok"});
    EXPECT_EQ(legenda, QStringLiteral("&Ok"));

    TQuandoModal alt([](QWidget* w) { QTest::keyClick(w, Qt::Key_O, Qt::AltModifier); });
    EXPECT_EQ(TMensagens::MSG_DLG(QStringLiteral("x"), TTipoMensagem::MsAtencao, BtOk, 0), TResultado::Cancelar);
    EXPECT_TRUE(alt.Viu());
}

TEST(TMensagens, TextoLongoAlargaEAltaAJanela)
{
    const QString longo = QStringLiteral("Uma mensagem bem mais larga do que a janela mínima\nem duas linhas");
    auto m = TMensagens::CreateMSG(nullptr);
    m->Prepara(longo, TTipoMensagem::MsInformacao, BtOk, 0);
    const QSize rotulo = m->findChild<QLabel*>(QStringLiteral("lbl_Texto_Mensagem"))->sizeHint();
    ASSERT_GT(rotulo.width(), 261);
    ASSERT_GT(rotulo.height(), 30);
    EXPECT_EQ(m->width(), rotulo.width() + 287 - 251);
    EXPECT_EQ(m->height(), rotulo.height() + 141 - 27);
    EXPECT_GT(m->width(), 297);
    EXPECT_GT(m->height(), 145);

    // The single button follows the wider window: still centred by the same rule.
    const auto b = Botoes(*m);
    ASSERT_EQ(b.size(), 1);
    EXPECT_EQ(b[0]->x(), (m->width() - 12 - 12 - 75) / 2);
}

TEST(TMensagens, CadaTipoPintaAFaixaEOsPaineis)
{
    struct Caso
    {
        TTipoMensagem tipo;
        QColor faixa;
        bool icone;
    };
    const Caso casos[] = {
        {TTipoMensagem::MsAtencao, QColor(255, 128, 64), true},
        {TTipoMensagem::MsErro, QColor(210, 0, 0), true},
        {TTipoMensagem::MsInformacao, QColor(0, 128, 0), true},
        {TTipoMensagem::MsSimples, QApplication::palette().color(QPalette::Shadow), false},
    };
    for (const Caso& c : casos) {
        auto m = TMensagens::CreateMSG(nullptr);
        m->Prepara(QStringLiteral("x"), c.tipo, BtOk, 0);
        EXPECT_EQ(m->CorDaFaixa(), c.faixa);
        auto cor = [&](const char* nome) {
            return m->findChild<QWidget*>(QString::fromLatin1(nome))->palette().color(QPalette::Window);
        };
        EXPECT_EQ(cor("Pnl_Central"), CorNoPasso(c.faixa, Qt::white, 80));
        EXPECT_EQ(cor("Pnl_Fundo"), CorNoPasso(c.faixa, Qt::white, 10));
        EXPECT_EQ(cor("Shape1"), c.faixa);
        const QLabel* img = m->findChild<QLabel*>(QStringLiteral("Img_Mensagem"));
        EXPECT_EQ(!img->pixmap().isNull(), c.icone);
    }
}

TEST(TMensagens, AjudaFicaAEsquerdaEAbreOContexto)
{
    int contexto = -1;
    TMensagens::AbrirAjuda = [&](int c) { contexto = c; };
    auto m = TMensagens::CreateMSG(nullptr);
    m->Prepara(QStringLiteral("x"), TTipoMensagem::MsConfirmacao, BtSim | BtNao | BtAjuda, 42);
    QPushButton* ajuda = Botao(m.get(), "Ajuda");
    ASSERT_NE(ajuda, nullptr);
    EXPECT_EQ(ajuda->geometry(), QRect(0, 8, 30, 25));
    EXPECT_TRUE(ajuda->text().isEmpty());
    // Ajuda is not counted in the row: two buttons, 154 px.
    EXPECT_EQ(Botao(m.get(), "Sim")->x(), (297 - 24 - 154) / 2);
    ajuda->click();
    EXPECT_EQ(contexto, 42);
    EXPECT_EQ(m->result(), 0);

    // Three buttons centred would start at 20, under Ajuda: the row moves clear of it.
    auto tres = TMensagens::CreateMSG(nullptr);
    tres->Prepara(QStringLiteral("x"), TTipoMensagem::MsConfirmacao, BtSim | BtNao | BtCancelar | BtAjuda, 0);
    EXPECT_EQ(Botao(tres.get(), "Sim")->x(), 34);
    EXPECT_LT(Botao(tres.get(), "Cancelar")->geometry().right(), tres->width() - 2 * 6 - 2 * 4);
    TMensagens::AbrirAjuda = nullptr;
}

TEST(TMensagens, PadraoSemOkNemSimERepetir)
{
    auto m = TMensagens::CreateMSG(nullptr);
    m->Prepara(QStringLiteral("x"), TTipoMensagem::MsErro, BtAborte | BtRepetir | BtIgnorar, 0);
    EXPECT_TRUE(Botao(m.get(), "Repetir")->isDefault());
    EXPECT_FALSE(Botao(m.get(), "Abortar")->isDefault());
    // No Cancelar, no Não, no Ok: Esc is no answer and the window stays up.
    m->show();
    QTest::keyClick(m.get(), Qt::Key_Escape);
    EXPECT_TRUE(m->isVisible());
    Botao(m.get(), "Ignorar")->click();
    EXPECT_EQ(m->result(), TResultado::Ignorar);
}

TEST(TMensagens, TextoEMostradoComoTextoSimples)
{
    auto m = TMensagens::CreateMSG(nullptr);
    m->Prepara(QStringLiteral("<b>arquivo</b>"), TTipoMensagem::MsAtencao, BtOk, 0);
    const QLabel* l = m->findChild<QLabel*>(QStringLiteral("lbl_Texto_Mensagem"));
    EXPECT_EQ(l->textFormat(), Qt::PlainText);
    EXPECT_EQ(l->text(), QStringLiteral("<b>arquivo</b>"));
}
