#include "uSplash.h"

#include "uBibliot.h"

#include <QFile>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace {

QLabel* Rotulo(QWidget* pai, const QString& texto, const QRect& onde, const QFont& fonte, const QColor& cor,
               Qt::Alignment alinhamento = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = new QLabel(texto, pai);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(onde);
    l->setFont(fonte);
    l->setAlignment(alinhamento);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, cor);
    l->setPalette(p);
    return l;
}

QLabel* Figura(QWidget* pai, const QRect& onde)
{
    auto* l = new QLabel(pai);
    l->setGeometry(onde);
    l->setScaledContents(true);
    return l;
}

void Carrega(QLabel* imagem, const QString& caminho)
{
    QPixmap figura;
    if (QFile::exists(caminho) && figura.load(caminho))
        imagem->setPixmap(figura);
}

}  // namespace

TfrmSplash::TfrmSplash(QWidget* AOwner)
    : QWidget(AOwner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
{
    // The splash must never take the focus: the main window's activation is what loads the
    // session, and a splash closing on top of it would count as focus coming back.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(Largura, Altura);

    QFont titulo(QStringLiteral("Times New Roman"));
    titulo.setPixelSize(29);
    titulo.setBold(true);
    titulo.setItalic(true);
    lbTitulo = Rotulo(this, QString(), QRect(8, 14, Largura - 16, 37), titulo, QColor(0, 0, 128), Qt::AlignCenter);
    // The raised look: a light edge below and to the right of the letters.
    auto* relevo = new QGraphicsDropShadowEffect(lbTitulo);
    relevo->setOffset(1.5, 1.5);
    relevo->setBlurRadius(0);
    relevo->setColor(QColor(255, 255, 255));
    lbTitulo->setGraphicsEffect(relevo);

    cxImage1 = Figura(this, QRect(16, 70, 143, 143));
    cxImage2 = Figura(this, QRect(Largura - 103 - 16, 74, 103, 64));

    QFont normal(QStringLiteral("Tahoma"));
    normal.setPixelSize(13);
    QFont negrito = normal;
    negrito.setBold(true);
    Rotulo(this, QStringLiteral("Integração de cupons fiscais com o ERP"), QRect(176, 150, 300, 18), negrito,
           QColor(0, 0, 128));
    Rotulo(this, QStringLiteral("Cupons, estoque e reduções Z"), QRect(176, 170, 300, 18), normal, QColor(0, 0, 128));

    auto* regua = new QFrame(this);
    regua->setFrameShape(QFrame::HLine);
    regua->setFrameShadow(QFrame::Sunken);
    regua->setGeometry(16, 224, Largura - 32, 4);

    cxImage3 = Figura(this, QRect(16, 236, 32, 26));
    Rotulo(this, QStringLiteral("Windows"), QRect(54, 236, 120, 26), negrito, QColor(0, 0, 128));
    cxlbVersao = Rotulo(this, QStringLiteral("Versão ") + VersaoPrograma(), QRect(Largura - 216, 236, 200, 26),
                        negrito, QColor(0, 0, 128), Qt::AlignRight | Qt::AlignVCenter);

    if (const QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

void TfrmSplash::SetTitulo(const QString& valor)
{
    FTitulo = valor;
    lbTitulo->setText(valor);
}

void TfrmSplash::SetImagem(const QString& valor)
{
    FImagem = valor;
    Carrega(cxImage1, valor);
}

void TfrmSplash::showEvent(QShowEvent* e)
{
    const QString pasta = DiretorioAplicacao() + QStringLiteral("Imagens/");
    Carrega(cxImage2, pasta + QStringLiteral("TESK_ Logo.png"));
    Carrega(cxImage3, pasta + QStringLiteral("Windows Flag.png"));
    QWidget::showEvent(e);
}

void TfrmSplash::paintEvent(QPaintEvent*)
{
    // The ribbon's blue, light at the top and deeper towards the foot.
    QPainter p(this);
    QLinearGradient fundo(0, 0, 0, height());
    fundo.setColorAt(0, QColor(227, 239, 255));
    fundo.setColorAt(0.55, QColor(199, 220, 246));
    fundo.setColorAt(1, QColor(164, 195, 235));
    p.fillRect(rect(), fundo);
    p.setPen(QColor(101, 147, 207));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
