#pragma once

#include <QColor>
#include <QDialog>
#include <QFlags>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;

enum class TTipoMensagem { MsAtencao, MsErro, MsInformacao, MsConfirmacao, MsSimples };

enum TBotoesMensagem {
    BtSim = 1 << 0,
    BtNao = 1 << 1,
    BtOk = 1 << 2,
    BtCancelar = 1 << 3,
    BtAborte = 1 << 4,
    BtRepetir = 1 << 5,
    BtIgnorar = 1 << 6,
    BtTudo = 1 << 7,
    BtTudoNao = 1 << 8,
    BtTudoSim = 1 << 9,
    BtAjuda = 1 << 10,
};
Q_DECLARE_FLAGS(TMsgBotoes, TBotoesMensagem)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgBotoes)

// The answers a message gives back, numbered as the ERP's other programs number them.
namespace TResultado {
constexpr int Nenhum = 0;
constexpr int Ok = 1;
constexpr int Cancelar = 2;
constexpr int Abortar = 3;
constexpr int Repetir = 4;
constexpr int Ignorar = 5;
constexpr int Sim = 6;
constexpr int Nao = 7;
constexpr int Todos = 8;
constexpr int TudoNao = 9;
constexpr int TudoSim = 10;
}  // namespace TResultado

// start + passo x (fim - start) / 100 per channel, rounded half to even.
QColor CorNoPasso(const QColor& inicio, const QColor& fim, int passo);

// The program's own modal message window: a coloured band with the kind's icon, the text in large
// bold type and a row of image buttons. Every operation builds one window, shows it and drops it.
class TMensagens : public QDialog
{
    Q_OBJECT

public:
    static std::unique_ptr<TMensagens> CreateMSG(QWidget* AOwner);

    static int MSG_DLG(const QString& Texto_Mensagem, TTipoMensagem Tipo_Mensagem, TMsgBotoes Botoes,
                       int Ajuda = 0);
    static void MSG_Atencao(const QString& Texto_Mensagem);
    static void MSG_Erro(const QString& Texto_Mensagem);
    static void MSG_Informacao(const QString& Texto_Mensagem);
    static bool MSG_Confirma();
    static bool MSG_Conf_Geral(const QString& Texto_Mensagem, int Ajuda = 0);

    // There is no help viewer in the program; whoever has one installs it here. The Ajuda button
    // calls it with the message's help context.
    static inline std::function<void(int)> AbrirAjuda;

    // Everything a showing does before it goes modal; kept apart so the layout can be inspected.
    void Prepara(const QString& texto, TTipoMensagem tipo, TMsgBotoes botoes, int ajuda);

    TTipoMensagem CaracteristicasDaMensagem() const { return FCaracteristicasDaMensagem; }
    QColor CorDaFaixa() const { return FCorInicial; }
    int HelpContext() const { return FHelpContext; }
    QWidget* PainelBotoes() const { return FPnl_Botao; }

    static constexpr int LarguraBorda = 6;
    static constexpr int LarguraBotao = 75;
    static constexpr int AlturaBotao = 25;
    static constexpr int EspacoBotoes = 4;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    // Closing the window by any other way than a button answers Cancelar.
    void reject() override;
    bool eventFilter(QObject* alvo, QEvent* e) override;

private:
    explicit TMensagens(QWidget* AOwner);
    void AplicaTipo(TTipoMensagem tipo);
    void CriaBotoes(TMsgBotoes botoes);

    TTipoMensagem FCaracteristicasDaMensagem = TTipoMensagem::MsSimples;
    int FHelpContext = 0;
    QColor FCorInicial;

    QWidget* FPnl_Fundo = nullptr;
    QWidget* FGrad_Top = nullptr;
    QLabel* FImg_Mensagem = nullptr;
    QWidget* FShape1 = nullptr;
    QWidget* FShape2 = nullptr;
    QWidget* FPnl_Central = nullptr;
    QLabel* Flbl_Texto_Mensagem = nullptr;
    QWidget* FPnl_Botao = nullptr;
    QPushButton* FBotaoCancela = nullptr;
    QPushButton* FBotaoOk = nullptr;
};
