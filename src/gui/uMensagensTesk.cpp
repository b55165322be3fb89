#include "uMensagensTesk.h"

#include "uErros.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

// The design size of the window (client area plus the border on each side); the size rules
// grow it from there.
constexpr int LarguraProjeto = 275 + 2 * TMensagens::LarguraBorda;
constexpr int AlturaProjeto = 129 + 2 * TMensagens::LarguraBorda;
constexpr int AlturaFaixa = 41;
constexpr int BordaInternaFundo = 4;
constexpr int LarguraAjuda = 30;

// Qt knows no desktop colour; this is the classic one the shops' workstations show.
const QColor CorDaAreaDeTrabalho(58, 110, 165);

struct TDefBotao
{
    TBotoesMensagem botao;
    const char* legenda;
    const char* nome;
    int resultado;
    const char* imagem;
};

const std::array<TDefBotao, 11> DefBotoes{{
    {BtSim, "&Sim", "Sim", TResultado::Sim, "BtSim"},
    {BtNao, "&Não", "Nao", TResultado::Nao, "BtNao"},
    {BtOk, "&Ok", "Ok", TResultado::Nenhum, "BtOk"},
    {BtCancelar, "&Cancelar", "Cancelar", TResultado::Cancelar, "BtCancelar"},
    {BtAborte, "&Abortar", "Abortar", TResultado::Abortar, "BtAborte"},
    {BtRepetir, "&Repetir", "Repetir", TResultado::Repetir, "BtRepetir"},
    {BtIgnorar, "&Ignorar", "Ignorar", TResultado::Ignorar, "BtIgnorar"},
    {BtTudo, "&Todos", "Todos", TResultado::Todos, "BtTudo"},
    {BtTudoNao, "T&udo Não", "Tudo_Nao", TResultado::TudoNao, "BtTudoNao"},
    {BtTudoSim, "Tu&do Sim", "Tudo_Sim", TResultado::TudoSim, "BtTudoSim"},
    {BtAjuda, "", "Ajuda", TResultado::Nenhum, "BtAjuda"},
}};

QPixmap CarregaImagem(const QString& nome)
{
    QPixmap img(QStringLiteral(":/imagens/%1.png").arg(nome));
    if (img.isNull())
        throw EInOutError(QStringLiteral("Recurso não encontrado: %1").arg(nome));
    return img;
}

int CanalNoPasso(int inicio, int fim, int passo)
{
    return static_cast<int>(std::nearbyint(inicio + passo * (fim - inicio) / 100.0));
}

// A horizontal run from the band colour to white in 100 flat steps, as the message band is drawn.
class TGradiente : public QWidget
{
public:
    explicit TGradiente(QWidget* pai) : QWidget(pai) {}
    void DefineCor(const QColor& cor)
    {
        FCor = cor;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        constexpr int passos = 100;
        for (int i = 0; i < passos; ++i) {
            const int x0 = width() * i / passos;
            const int x1 = width() * (i + 1) / passos;
            p.fillRect(x0, 0, x1 - x0, height(), CorNoPasso(FCor, Qt::white, i * 100 / (passos - 1)));
        }
    }

private:
    QColor FCor = Qt::white;
};

void Pinta(QWidget* w, const QColor& cor)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, cor);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

}  // namespace

QColor CorNoPasso(const QColor& inicio, const QColor& fim, int passo)
{
    // std::nearbyint under the default rounding mode rounds half to even.
    return QColor(CanalNoPasso(inicio.red(), fim.red(), passo), CanalNoPasso(inicio.green(), fim.green(), passo),
                  CanalNoPasso(inicio.blue(), fim.blue(), passo));
}

TMensagens::TMensagens(QWidget* AOwner) : QDialog(AOwner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TMensagens"));
    setModal(true);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    Pinta(this, Qt::white);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(LarguraBorda, LarguraBorda, LarguraBorda, LarguraBorda);
    raiz->setSpacing(0);

    FPnl_Fundo = new QWidget(this);
    FPnl_Fundo->setObjectName(QStringLiteral("Pnl_Fundo"));
    Pinta(FPnl_Fundo, Qt::white);
    raiz->addWidget(FPnl_Fundo);
    auto* fundo = new QVBoxLayout(FPnl_Fundo);
    fundo->setContentsMargins(BordaInternaFundo, BordaInternaFundo, BordaInternaFundo, BordaInternaFundo);
    fundo->setSpacing(0);

    auto* topo = new QWidget(FPnl_Fundo);
    topo->setObjectName(QStringLiteral("Pnl_Topo"));
    topo->setFixedHeight(AlturaFaixa);
    auto* camadaTopo = new QVBoxLayout(topo);
    camadaTopo->setContentsMargins(0, 0, 0, 0);
    auto* gradTopo = new TGradiente(topo);
    FGrad_Top = gradTopo;
    FGrad_Top->setObjectName(QStringLiteral("Grad_Top"));
    camadaTopo->addWidget(FGrad_Top);
    auto* camadaImagem = new QHBoxLayout(FGrad_Top);
    camadaImagem->setContentsMargins(0, 0, 0, 0);
    camadaImagem->addStretch();
    FImg_Mensagem = new QLabel(FGrad_Top);
    FImg_Mensagem->setObjectName(QStringLiteral("Img_Mensagem"));
    FImg_Mensagem->setFixedSize(43, 41);
    FImg_Mensagem->setAlignment(Qt::AlignCenter);
    camadaImagem->addWidget(FImg_Mensagem);
    fundo->addWidget(topo);

    auto regua = [this](const char* nome) {
        auto* r = new QWidget(FPnl_Fundo);
        r->setObjectName(QString::fromLatin1(nome));
        r->setFixedHeight(1);
        Pinta(r, Qt::black);
        return r;
    };
    FShape1 = regua("Shape1");
    fundo->addWidget(FShape1);

    FPnl_Central = new QWidget(FPnl_Fundo);
    FPnl_Central->setObjectName(QStringLiteral("Pnl_Central"));
    auto* central = new QVBoxLayout(FPnl_Central);
    central->setContentsMargins(0, 0, 0, 0);
    Flbl_Texto_Mensagem = new QLabel(FPnl_Central);
    Flbl_Texto_Mensagem->setObjectName(QStringLiteral("lbl_Texto_Mensagem"));
    // The text comes from wherever the caller got it (file names, server errors): never markup.
    Flbl_Texto_Mensagem->setTextFormat(Qt::PlainText);
    Flbl_Texto_Mensagem->setAlignment(Qt::AlignCenter);
    QFont fonteTexto(QStringLiteral("Courier New"));
    fonteTexto.setStyleHint(QFont::TypeWriter);
    fonteTexto.setBold(true);
    fonteTexto.setPixelSize(16);
    Flbl_Texto_Mensagem->setFont(fonteTexto);
    central->addWidget(Flbl_Texto_Mensagem, 0, Qt::AlignCenter);
    fundo->addWidget(FPnl_Central, 1);

    FShape2 = regua("Shape2");
    fundo->addWidget(FShape2);

    FPnl_Botao = new QWidget(FPnl_Fundo);
    FPnl_Botao->setObjectName(QStringLiteral("Pnl_Botao"));
    FPnl_Botao->setFixedHeight(AlturaFaixa);
    auto* camadaBotao = new QVBoxLayout(FPnl_Botao);
    camadaBotao->setContentsMargins(0, 0, 0, 0);
    auto* gradBotao = new TGradiente(FPnl_Botao);
    gradBotao->setObjectName(QStringLiteral("Grad_Botao"));
    camadaBotao->addWidget(gradBotao);
    fundo->addWidget(FPnl_Botao);

    resize(LarguraProjeto, AlturaProjeto);
}

std::unique_ptr<TMensagens> TMensagens::CreateMSG(QWidget* AOwner)
{
    return std::unique_ptr<TMensagens>(new TMensagens(AOwner));
}

void TMensagens::AplicaTipo(TTipoMensagem tipo)
{
    switch (tipo) {
    case TTipoMensagem::MsAtencao:
        FCorInicial = QColor(255, 128, 64);
        FImg_Mensagem->setPixmap(CarregaImagem(QStringLiteral("ATENCAO")));
        break;
    case TTipoMensagem::MsErro:
        FCorInicial = QColor(210, 0, 0);
        FImg_Mensagem->setPixmap(CarregaImagem(QStringLiteral("ERRO")));
        break;
    case TTipoMensagem::MsInformacao:
        FCorInicial = QColor(0, 128, 0);
        FImg_Mensagem->setPixmap(CarregaImagem(QStringLiteral("INFORMA")));
        break;
    case TTipoMensagem::MsConfirmacao:
        FCorInicial = CorDaAreaDeTrabalho;
        FImg_Mensagem->setPixmap(CarregaImagem(QStringLiteral("CONFIRMA")));
        break;
    case TTipoMensagem::MsSimples:
        FCorInicial = QApplication::palette().color(QPalette::Shadow);
        FImg_Mensagem->clear();
        break;
    }
    FCaracteristicasDaMensagem = tipo;

    const QSize texto = Flbl_Texto_Mensagem->sizeHint();
    const int altura = texto.height() > 30 ? texto.height() + AlturaProjeto - 27 : 145;
    const int largura = texto.width() > 261 ? texto.width() + LarguraProjeto - 251 : 297;
    setFixedSize(largura, altura);

    static_cast<TGradiente*>(FGrad_Top)->DefineCor(FCorInicial);
    static_cast<TGradiente*>(FPnl_Botao->findChild<QWidget*>(QStringLiteral("Grad_Botao")))->DefineCor(FCorInicial);
    Pinta(FPnl_Fundo, CorNoPasso(FCorInicial, Qt::white, 10));
    Pinta(FPnl_Central, CorNoPasso(FCorInicial, Qt::white, 80));
    Pinta(FShape1, FCorInicial);
    Pinta(FShape2, FCorInicial);
}

void TMensagens::CriaBotoes(TMsgBotoes botoes)
{
    int quantos = 0;
    for (const auto& d : DefBotoes)
        if (d.botao != BtAjuda && botoes.testFlag(d.botao))
            ++quantos;
    const int linha = quantos > 0 ? quantos * LarguraBotao + (quantos - 1) * EspacoBotoes : 0;
    // Measured on the window, not the laid-out panel: the size rules above have just changed it.
    const int larguraFundo = width() - 2 * LarguraBorda;
    int esquerda = (larguraFundo - 2 * LarguraBorda - linha) / 2;
    // Ajuda sits at the band's left edge; a wide row centred by the rule above would slide
    // under it and hide part of the first button.
    if (botoes.testFlag(BtAjuda))
        esquerda = std::max(esquerda, LarguraAjuda + EspacoBotoes);
    const int topo = (AlturaFaixa - AlturaBotao) / 2;

    TBotoesMensagem padrao = BtRepetir;
    if (botoes.testFlag(BtOk))
        padrao = BtOk;
    else if (botoes.testFlag(BtSim))
        padrao = BtSim;
    const TBotoesMensagem cancela = botoes.testFlag(BtCancelar) ? BtCancelar : BtNao;

    const QColor corBotao = CorNoPasso(FCorInicial, Qt::white, 80);
    const QString estilo = QStringLiteral(
                               "QPushButton{background-color:%1;border:1px solid %2;border-radius:3px;padding:0 4px}"
                               "QPushButton:default{border-width:2px}"
                               "QPushButton:focus{border-style:dotted}"
                               "QPushButton:pressed{background-color:%3}")
                               .arg(corBotao.name(), FCorInicial.darker(130).name(), corBotao.darker(115).name());

    QPushButton* primeiroPadrao = nullptr;
    FBotaoCancela = nullptr;
    FBotaoOk = nullptr;
    for (const auto& d : DefBotoes) {
        if (!botoes.testFlag(d.botao))
            continue;
        auto* b = new QPushButton(QString::fromUtf8(d.legenda), FPnl_Botao);
        b->setObjectName(QString::fromLatin1(d.nome));
        b->setIcon(QIcon(CarregaImagem(QString::fromLatin1(d.imagem))));
        b->setStyleSheet(estilo);
        b->setProperty("ModalResult", d.resultado);
        b->setGeometry(esquerda, topo, LarguraBotao, AlturaBotao);
        esquerda += LarguraBotao + EspacoBotoes;
        if (d.botao == padrao) {
            b->setDefault(true);
            primeiroPadrao = b;
        }
        if (d.botao == cancela)
            FBotaoCancela = b;

        if (d.botao == BtOk) {
            // The Ok answer is "none": the button closes the window itself, already on the
            // press, and a window closed that way answers Cancelar. Enter and Space, which the
            // old handlers ignored, close it too: a message the keyboard cannot dismiss is a trap.
            FBotaoOk = b;
            b->installEventFilter(this);
            connect(b, &QPushButton::clicked, this, [this] { done(TResultado::Cancelar); });
        } else if (d.botao == BtAjuda) {
            b->setText(QString());
            b->setGeometry(0, topo, LarguraAjuda, AlturaBotao);
            connect(b, &QPushButton::clicked, this, [this] {
                if (AbrirAjuda)
                    AbrirAjuda(FHelpContext);
            });
        } else {
            const int resultado = d.resultado;
            connect(b, &QPushButton::clicked, this, [this, resultado] { done(resultado); });
        }
    }
    if (primeiroPadrao)
        primeiroPadrao->setFocus();
}

void TMensagens::Prepara(const QString& texto, TTipoMensagem tipo, TMsgBotoes botoes, int ajuda)
{
    Flbl_Texto_Mensagem->setText(texto);
    AplicaTipo(tipo);
    FHelpContext = ajuda;
    CriaBotoes(botoes);
    if (const QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

bool TMensagens::eventFilter(QObject* alvo, QEvent* e)
{
    if (alvo == FBotaoOk) {
        if (e->type() == QEvent::MouseButtonPress) {
            done(TResultado::Cancelar);
            return true;
        }
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            done(TResultado::Cancelar);
            return true;
        }
    }
    return QDialog::eventFilter(alvo, e);
}

void TMensagens::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        if (FBotaoCancela)
            FBotaoCancela->click();
        else if (FBotaoOk)
            done(TResultado::Cancelar);
        // Without a cancel button Esc is not an answer: the window stays.
        return;
    }
    QDialog::keyPressEvent(e);
}

void TMensagens::reject()
{
    done(TResultado::Cancelar);
}

int TMensagens::MSG_DLG(const QString& Texto_Mensagem, TTipoMensagem Tipo_Mensagem, TMsgBotoes Botoes, int Ajuda)
{
    auto dlg = CreateMSG(nullptr);
    dlg->Prepara(Texto_Mensagem, Tipo_Mensagem, Botoes, Ajuda);
    // The frequency and length of the old beep are not portable; the system's own beep stands in.
    QApplication::beep();
    return dlg->exec();
}

void TMensagens::MSG_Atencao(const QString& Texto_Mensagem)
{
    MSG_DLG(Texto_Mensagem, TTipoMensagem::MsAtencao, BtOk, 0);
}

void TMensagens::MSG_Erro(const QString& Texto_Mensagem)
{
    MSG_DLG(Texto_Mensagem, TTipoMensagem::MsErro, BtOk, 0);
}

void TMensagens::MSG_Informacao(const QString& Texto_Mensagem)
{
    MSG_DLG(Texto_Mensagem, TTipoMensagem::MsInformacao, BtOk, 0);
}

bool TMensagens::MSG_Confirma()
{
    return MSG_DLG(QStringLiteral("Confirma ?"), TTipoMensagem::MsConfirmacao, BtSim | BtNao, 0) == TResultado::Sim;
}

bool TMensagens::MSG_Conf_Geral(const QString& Texto_Mensagem, int Ajuda)
{
    return MSG_DLG(Texto_Mensagem, TTipoMensagem::MsConfirmacao, BtSim | BtNao, Ajuda) == TResultado::Sim;
}
