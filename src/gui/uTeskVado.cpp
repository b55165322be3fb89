#include "uTeskVado.h"

#include "uBibliotGui.h"
#include "uImportaReducaoZ.h"
#include "uMemTable.h"
#include "uMemTableModel.h"
#include "uUpdate.h"
#include "uValida.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <climits>

TfrmTeskVado* frmTeskVado = nullptr;

const QString TfrmTeskVado::TituloPrograma = QStringLiteral("Tesk - Vado Integrador Ruxo");

namespace {

// The maker's update server; the descriptor and the installer sit in the same folder.
const QString PastaAtualizacao =
    QStringLiteral("https://atualizacao.teskvado.com.br/suporte/Pacotes%20de%20Atualizacao/TeskVado/");

// --- Log screen ------------------------------------------------------------------------------

}  // namespace

void TTelaRichEdit::Edit(QTextEdit* edit)
{
    FEdit = edit;
    FLinhas = 0;
    if (!edit)
        return;
    edit->clear();
    edit->setReadOnly(true);
    edit->setAcceptRichText(false);
    edit->setLineWrapMode(QTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fonte(QStringLiteral("Courier New"), 11);
    fonte.setStyleHint(QFont::Monospace);
    fonte.setFixedPitch(true);
    edit->setFont(fonte);
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, QColor(QRgb(Padrao)));
    // The selection stays visible while the box has no focus.
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    edit->setPalette(p);
}

void TTelaRichEdit::VaiParaOFim()
{
    // A click into the box moves its cursor; the next line must still go below the last one.
    QTextCursor fim(FEdit->document());
    fim.movePosition(QTextCursor::End);
    FEdit->setTextCursor(fim);
    FEdit->ensureCursorVisible();
    // The cursor sits at the end of a long framed line; the reader wants its start.
    FEdit->horizontalScrollBar()->setValue(0);
}

void TTelaRichEdit::NovaLinha()
{
    if (!FEdit)
        return;
    if (FLinhas == 0) {
        FLinhas = 1;  // the document's first, empty block is that line
        return;
    }
    QTextCursor c(FEdit->document());
    c.movePosition(QTextCursor::End);
    c.insertBlock();
    ++FLinhas;
    VaiParaOFim();
}

void TTelaRichEdit::Insere(const QString& texto, uint cor)
{
    if (!FEdit)
        return;
    if (FLinhas == 0)
        FLinhas = 1;
    QTextCursor c(FEdit->document());
    c.movePosition(QTextCursor::End);
    QTextCharFormat formato;
    formato.setForeground(QColor(QRgb(cor)));
    c.insertText(texto, formato);
    VaiParaOFim();
}

void TTelaRichEdit::ApagaPrimeiraLinha()
{
    if (!FEdit || FLinhas == 0)
        return;
    if (FLinhas == 1) {
        Limpa();
        return;
    }
    QTextCursor c(FEdit->document()->firstBlock());
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    --FLinhas;
    VaiParaOFim();
}

void TTelaRichEdit::Limpa()
{
    if (FEdit)
        FEdit->clear();
    FLinhas = 0;
}

namespace {

// --- File list grid --------------------------------------------------------------------------

// The grid's face over the plain table model: the captions, check boxes for the two flags and
// the row colours the grid always had.
class TGradeArquivos : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    static bool Logico(int coluna) { return coluna == 2 || coluna == 3; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char* const Titulos[] = {"Seq.", "Nome", "Executando", "Processado"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
            return QString::fromLatin1(Titulos[section]);
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        if (Logico(index.column())) {
            if (role == Qt::DisplayRole)
                return QVariant();
            if (role == Qt::CheckStateRole)
                return QIdentityProxyModel::data(index, Qt::EditRole).toBool() ? Qt::Checked : Qt::Unchecked;
        }
        if (role == Qt::BackgroundRole)
            return index.row() % 2 == 0 ? CorLinhaPar() : QColor(Qt::white);
        return QIdentityProxyModel::data(index, role);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    // The inactive caption's gradient colour of the Windows desktop.
    static QColor CorLinhaPar() { return QColor(215, 228, 242); }
};

// --- Drawn pictures --------------------------------------------------------------------------

QPixmap Faixa(int largura, int altura)
{
    QPixmap figura(largura, altura);
    QPainter p(&figura);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fundo(0, 0, largura, 0);
    fundo.setColorAt(0, QColor(22, 58, 120));
    fundo.setColorAt(0.6, QColor(46, 104, 178));
    fundo.setColorAt(1, QColor(120, 170, 225));
    p.fillRect(figura.rect(), fundo);
    // Three till receipts sliding towards the ERP's stack of sheets.
    for (int i = 0; i < 3; ++i) {
        const QRectF cupom(largura - 150 + i * 34, 6, 20, altura - 12);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 200 - i * 40));
        p.drawRect(cupom);
        p.setPen(QPen(QColor(46, 104, 178), 1));
        for (int y = 11; y < altura - 9; y += 4)
            p.drawLine(QPointF(cupom.left() + 3, y), QPointF(cupom.right() - 3, y));
    }
    QFont fonte(QStringLiteral("Times New Roman"));
    fonte.setPixelSize(altura - 11);
    fonte.setBold(true);
    fonte.setItalic(true);
    p.setFont(fonte);
    p.setPen(QColor(0, 0, 60, 120));
    p.drawText(QRect(13, 1, largura, altura), Qt::AlignVCenter | Qt::AlignLeft, TfrmTeskVado::TituloPrograma);
    p.setPen(Qt::white);
    p.drawText(QRect(12, 0, largura, altura), Qt::AlignVCenter | Qt::AlignLeft, TfrmTeskVado::TituloPrograma);
    return figura;
}

QIcon IconePrograma()
{
    QPixmap figura(32, 32);
    figura.fill(Qt::transparent);
    QPainter p(&figura);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(22, 58, 120), 1.5));
    p.setBrush(QColor(46, 104, 178));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 6, 11, 20));
    p.setPen(QPen(QColor(46, 104, 178), 1.2));
    for (int y = 10; y < 24; y += 3)
        p.drawLine(QPointF(8, y), QPointF(15, y));
    // The arrow into the ERP.
    QPainterPath seta;
    seta.moveTo(18, 13);
    seta.lineTo(23, 13);
    seta.lineTo(23, 9);
    seta.lineTo(29, 16);
    seta.lineTo(23, 23);
    seta.lineTo(23, 19);
    seta.lineTo(18, 19);
    seta.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 60));
    p.drawPath(seta);
    return QIcon(figura);
}

QIcon IconePasta()
{
    QPixmap figura(16, 16);
    figura.fill(Qt::transparent);
    QPainter p(&figura);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 90));
    QPainterPath pasta;
    pasta.moveTo(1.5, 3.5);
    pasta.lineTo(6, 3.5);
    pasta.lineTo(7.5, 5);
    pasta.lineTo(14.5, 5);
    pasta.lineTo(14.5, 13.5);
    pasta.lineTo(1.5, 13.5);
    pasta.closeSubpath();
    p.drawPath(pasta);
    p.setBrush(QColor(252, 225, 130));
    p.drawRect(QRectF(1.5, 7, 13, 6.5));
    return QIcon(figura);
}

QLabel* Obrigatorio(QWidget* pai)
{
    auto* l = new QLabel(QStringLiteral("*"), pai);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(p);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

}  // namespace

// --- Window ------------------------------------------------------------------------------------

TfrmTeskVado::TfrmTeskVado(QWidget* parent) : QMainWindow(parent), FNucleo(*this)
{
    Seletor = SeletorPastaDesktop(this);
    BandejaDisponivel = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    VerificarAtualizacao = [] {
        VerificaAtualizacao(PastaAtualizacao + QStringLiteral("update.ini"),
                            PastaAtualizacao + QStringLiteral("TeskImpNFeUpdate.exe"), TituloPrograma);
    };
    MontaJanela();
    FNucleo.FormCreate();
    LigaGrade();
}

TfrmTeskVado::~TfrmTeskVado()
{
    if (!FFechado)
        FNucleo.FormClose(false);
    if (frmTeskVado == this)
        frmTeskVado = nullptr;
}

void TfrmTeskVado::MontaJanela()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Tesk - Vado"));
    setWindowIcon(IconePrograma());
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);
    // The bar is not closable: no menu that would hide it.
    setContextMenuPolicy(Qt::NoContextMenu);

    actAtivar = new QAction(QStringLiteral("Ativar"), this);
    actImportaZ = new QAction(QStringLiteral("Importar Redução"), this);
    actFechar = new QAction(QStringLiteral("Fechar"), this);
    for (QAction* a : {actAtivar, actImportaZ, actFechar})
        a->setEnabled(false);
    connect(actAtivar, &QAction::triggered, this, &TfrmTeskVado::actAtivarExecute);
    connect(actImportaZ, &QAction::triggered, this, &TfrmTeskVado::actImportaZExecute);
    connect(actFechar, &QAction::triggered, this, &TfrmTeskVado::actFecharExecute);

    BarMenu = new QToolBar(QStringLiteral("BarMenu"), this);
    BarMenu->setMovable(false);
    BarMenu->setFloatable(false);
    BarMenu->setToolButtonStyle(Qt::ToolButtonTextOnly);
    BarMenu->toggleViewAction()->setVisible(false);
    BarMenu->addAction(actAtivar);
    BarMenu->addAction(actImportaZ);
    BarMenu->addSeparator();
    BarMenu->addAction(actFechar);
    addToolBar(Qt::TopToolBarArea, BarMenu);

    auto* centro = new QWidget(this);
    auto* coluna = new QVBoxLayout(centro);
    coluna->setContentsMargins(0, 0, 0, 0);
    coluna->setSpacing(0);

    dxRibbon1 = new QFrame(centro);
    dxRibbon1->setFixedHeight(24);
    dxRibbon1->setAutoFillBackground(true);
    {
        QLinearGradient azul(0, 0, 0, 24);
        azul.setColorAt(0, QColor(227, 239, 255));
        azul.setColorAt(1, QColor(175, 210, 250));
        QPalette p = dxRibbon1->palette();
        p.setBrush(QPalette::Window, QBrush(azul));
        dxRibbon1->setPalette(p);
    }
    coluna->addWidget(dxRibbon1);

    cxImage1 = new QLabel(centro);
    cxImage1->setFixedHeight(35);
    cxImage1->setScaledContents(true);
    cxImage1->setPixmap(Faixa(LarguraCliente, 35));
    cxImage1->setMinimumWidth(1);
    coluna->addWidget(cxImage1);

    coluna->addStretch(1);

    cxPageControl1 = new QTabWidget(centro);
    cxPageControl1->setFixedHeight(251);
    cxTabSheet1 = MontaConfiguracoes();
    cxTabSheet2 = MontaListaArquivos();
    cxPageControl1->addTab(cxTabSheet1, QStringLiteral("Configurações"));
    cxPageControl1->addTab(cxTabSheet2, QStringLiteral("Lista de Arquivos"));
    cxPageControl1->setCurrentWidget(cxTabSheet1);
    coluna->addWidget(cxPageControl1);
    setCentralWidget(centro);

    dxRibbonStatusBar1 = new QStatusBar(this);
    dxRibbonStatusBar1->setFixedHeight(23);
    dxRibbonStatusBar1->setSizeGripEnabled(false);
    lbVersao = new QLabel(dxRibbonStatusBar1);
    lbVersao->setFixedWidth(100);
    auto* painel1 = new QLabel(dxRibbonStatusBar1);
    painel1->setFixedWidth(150);
    cxProgressBar1 = new QProgressBar(dxRibbonStatusBar1);
    cxProgressBar1->setTextVisible(false);
    cxProgressBar1->setMaximumHeight(16);
    cxProgressBar1->setVisible(false);
    dxRibbonStatusBar1->addWidget(lbVersao);
    dxRibbonStatusBar1->addWidget(painel1);
    dxRibbonStatusBar1->addWidget(cxProgressBar1, 1);
    setStatusBar(dxRibbonStatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmTeskVado::Timer1Timer);

    MontaBandeja();

    FTela.Edit(rcLog);
    resize(LarguraCliente, AlturaCliente);
    if (const QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

QWidget* TfrmTeskVado::MontaConfiguracoes()
{
    auto* pagina = new QWidget;
    auto* coluna = new QVBoxLayout(pagina);
    coluna->setContentsMargins(4, 4, 4, 4);
    coluna->setSpacing(4);

    auto* grade = new QGridLayout;
    grade->setHorizontalSpacing(4);
    grade->setVerticalSpacing(3);
    // Columns: label, required mark, control, room for the validation marker; twice.
    const int marcador = 20;
    grade->setColumnMinimumWidth(3, marcador);
    grade->setColumnMinimumWidth(7, marcador);
    grade->setColumnStretch(2, 3);
    grade->setColumnStretch(6, 2);

    const auto rotulo = [pagina](const char* texto) { return new QLabel(QString::fromUtf8(texto), pagina); };

    edtDirMonitorar = new QLineEdit(pagina);
    btnDirMonitora = new QToolButton(pagina);
    btnDirMonitora->setIcon(IconePasta());
    btnDirMonitora->setToolTip(QStringLiteral("Selecione a Pasta"));
    connect(btnDirMonitora, &QToolButton::clicked, this, &TfrmTeskVado::btnDirMonitoraClick);
    auto* dir = new QHBoxLayout;
    dir->setSpacing(2);
    dir->addWidget(edtDirMonitorar, 1);
    dir->addWidget(btnDirMonitora);
    grade->addWidget(rotulo("Diretório da Pasta (Monitora)"), 0, 0);
    grade->addWidget(Obrigatorio(pagina), 0, 1);
    grade->addLayout(dir, 0, 2, 1, 5);

    lkbEmpresas = new QComboBox(pagina);
    lkbUsuarios = new QComboBox(pagina);
    lkbECF = new QComboBox(pagina);
    for (QComboBox* c : {lkbEmpresas, lkbUsuarios, lkbECF}) {
        c->setEditable(false);
        c->setMinimumContentsLength(8);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    edtIntervalo = new QSpinBox(pagina);
    edtIntervalo->setRange(0, INT_MAX);
    edtIntervalo->setSingleStep(1000);
    ckbIniciarAutomatico = new QCheckBox(QStringLiteral("Iniciar automático"), pagina);

    grade->addWidget(rotulo("Empresa"), 1, 0);
    grade->addWidget(Obrigatorio(pagina), 1, 1);
    grade->addWidget(lkbEmpresas, 1, 2, 1, 5);

    grade->addWidget(rotulo("Usuário"), 2, 0);
    grade->addWidget(Obrigatorio(pagina), 2, 1);
    grade->addWidget(lkbUsuarios, 2, 2);
    grade->addWidget(rotulo("ECF"), 2, 4);
    grade->addWidget(Obrigatorio(pagina), 2, 5);
    grade->addWidget(lkbECF, 2, 6);

    grade->addWidget(rotulo("Intervalo (milesegundos)"), 3, 0);
    grade->addWidget(edtIntervalo, 3, 2);
    grade->addWidget(ckbIniciarAutomatico, 3, 4, 1, 3);
    coluna->addLayout(grade);

    rcLog = new QTextEdit(pagina);
    rcLog->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu2 = new QMenu(this);
    LimparLog1 = PopupMenu2->addAction(QStringLiteral("Limpar Log"));
    connect(LimparLog1, &QAction::triggered, this, &TfrmTeskVado::LimparLog1Click);
    connect(rcLog, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu2->popup(rcLog->viewport()->mapToGlobal(p)); });
    coluna->addWidget(rcLog, 1);
    return pagina;
}

QWidget* TfrmTeskVado::MontaListaArquivos()
{
    auto* pagina = new QWidget;
    auto* coluna = new QVBoxLayout(pagina);
    coluna->setContentsMargins(2, 2, 2, 2);
    gdArquivos = new QTableView(pagina);
    gdArquivos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gdArquivos->setSelectionBehavior(QAbstractItemView::SelectRows);
    gdArquivos->setSelectionMode(QAbstractItemView::SingleSelection);
    gdArquivos->verticalHeader()->setVisible(false);
    gdArquivos->verticalHeader()->setDefaultSectionSize(20);
    coluna->addWidget(gdArquivos);
    return pagina;
}

void TfrmTeskVado::MontaBandeja()
{
    TrayIcon1 = new QSystemTrayIcon(windowIcon(), this);
    PopupMenu1 = new QMenu(this);
    mnAbrir = PopupMenu1->addAction(QStringLiteral("Abrir"));
    PopupMenu1->addSeparator();
    Fechar1 = PopupMenu1->addAction(QStringLiteral("Fechar"));
    TrayIcon1->setContextMenu(PopupMenu1);
    TrayIcon1->setToolTip(windowTitle());
    connect(mnAbrir, &QAction::triggered, this, &TfrmTeskVado::ApplicationEvents1Restore);
    connect(Fechar1, &QAction::triggered, this, &TfrmTeskVado::actFecharExecute);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason motivo) {
        if (motivo == QSystemTrayIcon::Trigger || motivo == QSystemTrayIcon::DoubleClick)
            ApplicationEvents1Restore();
    });
}

void TfrmTeskVado::LigaGrade()
{
    TMemTable* tabela = FNucleo.cdsArquivos();
    if (FModelo && FModelo->Tabela() == tabela)
        return;
    QAbstractItemModel* antigo = gdArquivos->model();
    auto* modelo = new TMemTableModel(tabela, this);
    auto* grade = new TGradeArquivos(this);
    grade->setSourceModel(modelo);
    gdArquivos->setModel(grade);
    if (antigo) {
        if (auto* proxy = qobject_cast<QIdentityProxyModel*>(antigo))
            delete proxy->sourceModel();
        delete antigo;
    }
    FModelo = modelo;
    static const int Larguras[] = {40, 200, 65, 65};
    for (int i = 0; i < 4; ++i)
        gdArquivos->setColumnWidth(i, Larguras[i]);
}

// --- View interface ------------------------------------------------------------------------------

QString TfrmTeskVado::DirMonitorar() const
{
    return edtDirMonitorar->text();
}

void TfrmTeskVado::SetDirMonitorar(const QString& texto)
{
    edtDirMonitorar->setText(texto);
}

int TfrmTeskVado::Intervalo() const
{
    // A value typed but not yet confirmed with Enter counts, as the user sees it.
    edtIntervalo->interpretText();
    return edtIntervalo->value();
}

void TfrmTeskVado::SetIntervalo(int ms)
{
    edtIntervalo->setValue(ms);
}

bool TfrmTeskVado::IniciarAutomatico() const
{
    return ckbIniciarAutomatico->isChecked();
}

void TfrmTeskVado::SetIniciarAutomatico(bool marcado)
{
    ckbIniciarAutomatico->setChecked(marcado);
}

QComboBox* TfrmTeskVado::Lista(TLista lista) const
{
    switch (lista) {
    case TLista::Empresas: return lkbEmpresas;
    case TLista::Usuarios: return lkbUsuarios;
    case TLista::ECF: return lkbECF;
    }
    return nullptr;
}

QWidget* TfrmTeskVado::Controle(TCampo campo) const
{
    switch (campo) {
    case TCampo::DirMonitorar: return edtDirMonitorar;
    case TCampo::Empresas: return lkbEmpresas;
    case TCampo::Usuarios: return lkbUsuarios;
    case TCampo::ECF: return lkbECF;
    }
    return nullptr;
}

void TfrmTeskVado::PreencheLista(TLista lista, const QStringList& itens)
{
    QComboBox* c = Lista(lista);
    c->clear();
    c->addItems(itens);
    c->setCurrentIndex(-1);
}

int TfrmTeskVado::IndiceSelecionado(TLista lista) const
{
    return Lista(lista)->currentIndex();
}

void TfrmTeskVado::Seleciona(TLista lista, int indice)
{
    QComboBox* c = Lista(lista);
    c->setCurrentIndex(indice >= 0 && indice < c->count() ? indice : -1);
}

void TfrmTeskVado::MostraMonitoramento(const TMonitoramento& estado)
{
    if (estado.IntervaloMs > 0 && Timer1->interval() != estado.IntervaloMs)
        Timer1->setInterval(estado.IntervaloMs);
    if (estado.Ativo && !Timer1->isActive())
        Timer1->start();
    else if (!estado.Ativo)
        Timer1->stop();
    setWindowTitle(estado.Titulo);
    TrayIcon1->setToolTip(estado.Titulo);
    actAtivar->setText(estado.TituloAcao);
}

void TfrmTeskVado::HabilitaAcoes(bool ativar, bool importaZ, bool fechar)
{
    actAtivar->setEnabled(ativar);
    actImportaZ->setEnabled(importaZ);
    actFechar->setEnabled(fechar);
}

void TfrmTeskVado::NovosMarcadores()
{
    FValida = std::make_unique<TValida>();
}

void TfrmTeskVado::MarcaCampo(TCampo campo, const QString& mensagem)
{
    if (!FValida)
        FValida = std::make_unique<TValida>();
    FValida->ValidaParametos(Controle(campo), mensagem);
}

void TfrmTeskVado::LiberaMarcadores()
{
    FValida.reset();
}

int TfrmTeskVado::Marcas() const
{
    return FValida ? FValida->Marcas() : 0;
}

void TfrmTeskVado::MostraPagina(TPagina pagina)
{
    cxPageControl1->setCurrentWidget(pagina == TPagina::Configuracoes ? cxTabSheet1 : cxTabSheet2);
}

void TfrmTeskVado::FecharJanela()
{
    // Called from inside the activation; the window closes once that handler has returned.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// --- Handlers ------------------------------------------------------------------------------------

void TfrmTeskVado::showEvent(QShowEvent* e)
{
    lbVersao->setText(VersaoPrograma());
    QMainWindow::showEvent(e);
    // The first showing is the first activation, whether or not the window manager hands the
    // window the focus (some never do for a program started from a terminal).
    if (!FAtivouAlgumaVez) {
        FAtivouAlgumaVez = true;
        QMetaObject::invokeMethod(this, &TfrmTeskVado::FormActivate, Qt::QueuedConnection);
    }
}

bool TfrmTeskVado::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::WindowDeactivate:
        // The new active window is already known here: one of ours (a dialog), or none when the
        // user went to another program.
        FFocoEmJanelaDoPrograma = QApplication::activeWindow() != nullptr && QApplication::activeWindow() != this;
        break;
    case QEvent::WindowActivate:
        // Only a return from another window of the program activates the window again (a dialog
        // closing, above all); coming back from another program does not, and the first
        // showing is handled when the window is shown.
        if (FFocoEmJanelaDoPrograma && FAtivouAlgumaVez) {
            FFocoEmJanelaDoPrograma = false;
            QMetaObject::invokeMethod(this, &TfrmTeskVado::FormActivate, Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return QMainWindow::event(e);
}

void TfrmTeskVado::FormActivate()
{
    if (FFechado)
        return;
    FAtivouAlgumaVez = true;
    if (FNucleo.FormActivate() && VerificarAtualizacao)
        VerificarAtualizacao();
}

void TfrmTeskVado::actAtivarExecute()
{
    FNucleo.actAtivarExecute();
}

void TfrmTeskVado::actImportaZExecute()
{
    ImportarReducaoZ(edtDirMonitorar->text());
}

void TfrmTeskVado::actFecharExecute()
{
    close();
}

void TfrmTeskVado::btnDirMonitoraClick()
{
    QString pasta;
    if (SelecionaPasta(pasta, QString(), QStringLiteral("Teste"), Seletor))
        FNucleo.PastaEscolhida(pasta);
}

void TfrmTeskVado::LimparLog1Click()
{
    FNucleo.LimparLog();
}

void TfrmTeskVado::Timer1Timer()
{
    FNucleo.Timer1Timer();
    LigaGrade();
}

void TfrmTeskVado::ApplicationEvents1Minimize()
{
    // Without a notification area a hidden window could never be brought back.
    if (!BandejaDisponivel || !BandejaDisponivel())
        return;
    FNaBandeja = true;
    TrayIcon1->show();
    // Hiding inside the state change itself leaves some window managers with a ghost entry.
    QTimer::singleShot(0, this, [this] {
        if (FNaBandeja)
            hide();
    });
}

void TfrmTeskVado::ApplicationEvents1Restore()
{
    FNaBandeja = false;
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    TrayIcon1->hide();
}

void TfrmTeskVado::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) && !FNaBandeja)
        ApplicationEvents1Minimize();
    QMainWindow::changeEvent(e);
}

void TfrmTeskVado::closeEvent(QCloseEvent* e)
{
    if (!FFechado) {
        FFechado = true;
        Timer1->stop();
        FNucleo.FormClose(true);
        TrayIcon1->hide();
    }
    e->accept();
    // The program ends with its main window, even while the splash is still up.
    if (frmTeskVado == this)
        QApplication::quit();
}
