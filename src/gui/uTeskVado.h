#pragma once

#include "uBibliot.h"
#include "uLog.h"
#include "uNucleoTeskVado.h"
#include "uVisaoTeskVado.h"

#include <QMainWindow>
#include <QPointer>
#include <QTextEdit>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSpinBox;
class QStatusBar;
class QSystemTrayIcon;
class QTabWidget;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class TMemTableModel;
class TValida;

// The log's screen on the window: a read-only rich-text box that only ever grows at its end.
// The box counts its lines itself because an empty document still has one (empty) block, and
// the log must tell "nothing shown" from "one empty line".
class TTelaRichEdit : public ITelaLog
{
public:
    // The desktop colour the log uses for its plain lines.
    static constexpr uint Padrao = 0x3A6EA5;

    explicit TTelaRichEdit(QTextEdit* edit = nullptr) : FEdit(edit) {}
    // Binds the box and gives it the log's look: Courier New 11 pt, read-only, both scroll bars.
    void Edit(QTextEdit* edit);

    int QuantidadeLinhas() const override { return FLinhas; }
    void ApagaPrimeiraLinha() override;
    void NovaLinha() override;
    void Insere(const QString& texto, uint cor) override;
    uint CorPadrao() const override { return Padrao; }
    void Limpa() override;

private:
    void VaiParaOFim();

    QPointer<QTextEdit> FEdit;
    int FLinhas = 0;
};

// The main window: widgets over the session core. Every handler hands its event to the core,
// which decides; the window shows what the core tells it through the view interface.
class TfrmTeskVado : public QMainWindow, public IVisaoTeskVado
{
    Q_OBJECT

public:
    static constexpr int LarguraCliente = 600;
    static constexpr int AlturaCliente = 359;
    static const QString TituloPrograma;  // "Tesk - Vado Integrador Ruxo"

    // Creating the window runs FormCreate: the log, the configuration, the choice lists.
    explicit TfrmTeskVado(QWidget* parent = nullptr);
    ~TfrmTeskVado() override;

    TNucleoTeskVado& Nucleo() { return FNucleo; }

    // IVisaoTeskVado
    ITelaLog* TelaLog() override { return &FTela; }
    QString DirMonitorar() const override;
    void SetDirMonitorar(const QString& texto) override;
    int Intervalo() const override;
    void SetIntervalo(int ms) override;
    bool IniciarAutomatico() const override;
    void SetIniciarAutomatico(bool marcado) override;
    void PreencheLista(TLista lista, const QStringList& itens) override;
    int IndiceSelecionado(TLista lista) const override;
    void Seleciona(TLista lista, int indice) override;
    void MostraMonitoramento(const TMonitoramento& estado) override;
    void HabilitaAcoes(bool ativar, bool importaZ, bool fechar) override;
    void NovosMarcadores() override;
    void MarcaCampo(TCampo campo, const QString& mensagem) override;
    void LiberaMarcadores() override;
    void MostraPagina(TPagina pagina) override;
    void FecharJanela() override;

    QComboBox* Lista(TLista lista) const;
    QWidget* Controle(TCampo campo) const;
    int Marcas() const;
    bool NaBandeja() const { return FNaBandeja; }

    // Seams: the folder dialog, whether the desktop has a notification area, and the update
    // check that follows a successful activation.
    TSeletorPasta Seletor;
    std::function<bool()> BandejaDisponivel;
    std::function<void()> VerificarAtualizacao;

    QToolBar* BarMenu = nullptr;
    QAction* actAtivar = nullptr;
    QAction* actImportaZ = nullptr;
    QAction* actFechar = nullptr;
    QFrame* dxRibbon1 = nullptr;
    QLabel* cxImage1 = nullptr;
    QTabWidget* cxPageControl1 = nullptr;
    QWidget* cxTabSheet1 = nullptr;
    QWidget* cxTabSheet2 = nullptr;
    QLineEdit* edtDirMonitorar = nullptr;
    QToolButton* btnDirMonitora = nullptr;
    QSpinBox* edtIntervalo = nullptr;
    QCheckBox* ckbIniciarAutomatico = nullptr;
    QComboBox* lkbEmpresas = nullptr;
    QComboBox* lkbUsuarios = nullptr;
    QComboBox* lkbECF = nullptr;
    QTextEdit* rcLog = nullptr;
    QTableView* gdArquivos = nullptr;
    QStatusBar* dxRibbonStatusBar1 = nullptr;
    QLabel* lbVersao = nullptr;
    QProgressBar* cxProgressBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* mnAbrir = nullptr;
    QAction* Fechar1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* LimparLog1 = nullptr;

public slots:
    void FormActivate();
    void actAtivarExecute();
    void actImportaZExecute();
    void actFecharExecute();
    void btnDirMonitoraClick();
    void LimparLog1Click();
    void Timer1Timer();
    void ApplicationEvents1Minimize();
    void ApplicationEvents1Restore();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void MontaJanela();
    QWidget* MontaConfiguracoes();
    QWidget* MontaListaArquivos();
    void MontaBandeja();
    void LigaGrade();

    TTelaRichEdit FTela;
    TNucleoTeskVado FNucleo;
    std::unique_ptr<TValida> FValida;
    QPointer<TMemTableModel> FModelo;
    bool FAtivouAlgumaVez = false;
    bool FFocoEmJanelaDoPrograma = false;
    bool FFechado = false;
    bool FNaBandeja = false;
};

extern TfrmTeskVado* frmTeskVado;
