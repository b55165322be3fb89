#include "uUpdate.h"

#include "uBibliot.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace {

QLabel* Rotulo(QWidget* pai, const char* nome, const QString& familia, int pixels, bool negrito, const QColor& cor)
{
    auto* l = new QLabel(pai);
    l->setObjectName(QString::fromLatin1(nome));
    // Version texts come from the server: shown as text, never as markup.
    l->setTextFormat(Qt::PlainText);
    QFont f(familia);
    f.setPixelSize(pixels);
    f.setBold(negrito);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, cor);
    l->setPalette(pal);
    return l;
}

QLabel* Figura(QWidget* pai, const char* nome, const QString& recurso)
{
    auto* l = new QLabel(pai);
    l->setObjectName(QString::fromLatin1(nome));
    l->setPixmap(QPixmap(recurso));
    return l;
}

}  // namespace

TfrmUpdate::TfrmUpdate(QWidget* AOwner) : QDialog(AOwner)
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QStringLiteral("Update"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setModal(true);
    QPalette fundo = palette();
    fundo.setColor(QPalette::Window, Qt::white);
    setPalette(fundo);
    setAutoFillBackground(true);

    const QColor marinho(0, 0, 128);
    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 8, 0, 0);
    raiz->setSpacing(4);

    auto* topo = new QHBoxLayout;
    topo->setContentsMargins(12, 0, 12, 0);
    topo->addWidget(Figura(this, "cxImage1", QStringLiteral(":/imagens/Pacote.png")));
    lbTitulo = Rotulo(this, "lbTitulo", QStringLiteral("Times New Roman"), 24, true, marinho);
    QFont ft = lbTitulo->font();
    ft.setItalic(true);
    lbTitulo->setFont(ft);
    lbTitulo->setAlignment(Qt::AlignCenter);
    lbTitulo->setFrameStyle(QFrame::Panel | QFrame::Raised);
    lbTitulo->setWordWrap(true);
    topo->addWidget(lbTitulo, 1);
    topo->addWidget(Figura(this, "cxImage2", QStringLiteral(":/imagens/Globo.png")));
    raiz->addLayout(topo);

    auto* faixa = Figura(this, "cxImage4", QStringLiteral(":/imagens/Faixa.png"));
    faixa->setAlignment(Qt::AlignCenter);
    raiz->addWidget(faixa);

    cxLabel3 = Rotulo(this, "cxLabel3", QStringLiteral("Tahoma"), 15, true, marinho);
    cxLabel3->setText(QStringLiteral("Uma nova versão está disponível."));
    cxLabel3->setAlignment(Qt::AlignCenter);
    raiz->addWidget(cxLabel3);

    for (QLabel** l : {&lbVerAtual, &lbNovaVersao}) {
        *l = Rotulo(this, l == &lbVerAtual ? "lbVerAtual" : "lbNovaVersao", QStringLiteral("Tahoma"), 12, true, marinho);
        (*l)->setAlignment(Qt::AlignCenter);
        (*l)->setFixedWidth(250);
        raiz->addWidget(*l, 0, Qt::AlignHCenter);
    }

    cxImage3 = new QToolButton(this);
    cxImage3->setObjectName(QStringLiteral("cxImage3"));
    cxImage3->setIcon(QIcon(QStringLiteral(":/imagens/Download.png")));
    cxImage3->setIconSize(QSize(137, 45));
    cxImage3->setFixedSize(141, 49);
    cxImage3->setAutoRaise(true);
    cxImage3->setCursor(Qt::PointingHandCursor);
    cxImage3->setToolTip(QStringLiteral("Download"));
    raiz->addWidget(cxImage3, 0, Qt::AlignHCenter);

    cxLabel5 = Rotulo(this, "cxLabel5", QStringLiteral("Tahoma"), 9, true, Qt::black);
    cxLabel5->setText(QStringLiteral(">> O programa dererá estar fechado quando executar o update."));
    cxLabel4 = Rotulo(this, "cxLabel4", QStringLiteral("Tahoma"), 9, true, Qt::black);
    cxLabel4->setText(QStringLiteral(">> Caso o downloado não inicie automaticamente após clicar, baixe pelo site"));
    for (QLabel* l : {cxLabel5, cxLabel4}) {
        l->setContentsMargins(12, 0, 12, 0);
        raiz->addWidget(l);
    }
    raiz->addStretch();

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    cxbtnCancel = new QPushButton(QStringLiteral("&Cancelar"), status);
    cxbtnCancel->setObjectName(QStringLiteral("cxbtnCancel"));
    cxbtnCancel->setToolTip(QStringLiteral("Cancelar"));
    status->addPermanentWidget(cxbtnCancel);
    raiz->addWidget(status);

    connect(cxImage3, &QToolButton::clicked, this, &TfrmUpdate::cxImage3Click);
    connect(cxbtnCancel, &QPushButton::clicked, this, &TfrmUpdate::cxbtnCancelClick);

    setFixedSize(505, 272);
    if (const QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

void TfrmUpdate::SetTitulo(const QString& valor)
{
    FTitulo = valor;
    lbTitulo->setText(valor);
}

void TfrmUpdate::SetVesaoAtual(const QString& valor)
{
    FVersaoAtual = valor;
    lbVerAtual->setText(QStringLiteral("Vesão Atual: ") + valor);
}

void TfrmUpdate::SetNovaVersao(const QString& valor)
{
    FNovaVersao = valor;
    lbNovaVersao->setText(QStringLiteral("Nova Versão: ") + valor);
}

void TfrmUpdate::cxImage3Click()
{
    QDesktopServices::openUrl(QUrl(FUrlUpdate));
    close();
}

void TfrmUpdate::cxbtnCancelClick()
{
    close();
}

bool ConectadoInternet()
{
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    const QNetworkInformation* info = QNetworkInformation::instance();
    if (!info)
        return true;
    switch (info->reachability()) {
    case QNetworkInformation::Reachability::Disconnected:
        return false;
    default:
        // Unknown, local or site reach may still get to the update server (a proxy, an
        // intranet mirror); the request decides.
        return true;
    }
}

TVerificaAtualizacao::TResultado TVerificaAtualizacao::Executa(const QString& UrlIni, const QString& UrlInstalador,
                                                                const QString& Titulo)
{
    if (JaVerificou)
        return TResultado::JaVerificado;
    JaVerificou = true;
    if (Conectado && !Conectado())
        return TResultado::SemConexao;

    QNetworkAccessManager rede;
    QNetworkRequest pedido{QUrl(UrlIni)};
    pedido.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    std::unique_ptr<QNetworkReply> resposta(rede.get(pedido));

    // Two bounds: reaching the server, then silence between pieces of the answer.
    QEventLoop espera;
    QTimer limite;
    limite.setSingleShot(true);
    bool estourou = false;
    QObject::connect(&limite, &QTimer::timeout, &espera, [&] {
        estourou = true;
        resposta->abort();
    });
    QObject::connect(resposta.get(), &QNetworkReply::requestSent, &limite, [&] { limite.start(TempoLeituraMs); });
    QObject::connect(resposta.get(), &QNetworkReply::readyRead, &limite, [&] { limite.start(TempoLeituraMs); });
    QObject::connect(resposta.get(), &QNetworkReply::finished, &espera, &QEventLoop::quit);
    limite.start(TempoConexaoMs);
    if (!resposta->isFinished())
        espera.exec(QEventLoop::ExcludeUserInputEvents);
    limite.stop();

    if (estourou || resposta->error() != QNetworkReply::NoError)
        return TResultado::Falhou;
    const QString novaVersao = QString::fromUtf8(resposta->readAll());
    const QString versaoAtual = VersaoAtual.isEmpty() ? VersaoPrograma() : VersaoAtual;

    // Textual on purpose: the server's text is compared as it comes, code unit by code unit.
    if (!(QString::compare(novaVersao, versaoAtual, Qt::CaseSensitive) > 0))
        return TResultado::EmDia;

    TfrmUpdate aviso;
    aviso.SetTitulo(Titulo);
    aviso.SetVesaoAtual(versaoAtual);
    aviso.SetNovaVersao(novaVersao);
    aviso.SetUrlUpdate(UrlInstalador);
    aviso.exec();
    return TResultado::NovaVersao;
}

void VerificaAtualizacao(const QString& UrlIni, const QString& UrlInstalador, const QString& Titulo)
{
    static TVerificaAtualizacao verificacao;
    try {
        verificacao.Executa(UrlIni, UrlInstalador, Titulo);
    } catch (...) {
        // A failing check stays silent; the program goes on.
    }
}
