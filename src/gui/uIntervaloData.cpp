#include "uIntervaloData.h"

#include "uBibliotGui.h"

#include <QDateTimeEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

class TFaixaDecorativa : public QWidget
{
public:
    explicit TFaixaDecorativa(QWidget* pai) : QWidget(pai) { setFixedHeight(22); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(221, 233, 248));
        g.setColorAt(1, QColor(180, 204, 236));
        p.fillRect(rect(), g);
        p.setPen(QColor(140, 170, 210));
        p.drawLine(0, height() - 1, width(), height() - 1);
    }
};

QDateTimeEdit* CriaEdicao(QWidget* pai, const char* nome)
{
    auto* e = new QDateTimeEdit(pai);
    e->setObjectName(QString::fromLatin1(nome));
    e->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    // At 135 px the spin arrows or the calendar arrow would clip the seconds; the side button
    // and the keyboard are the ways to change it.
    e->setButtonSymbols(QAbstractSpinBox::NoButtons);
    e->setFixedWidth(135);
    return e;
}

// The edit's side button: today and now, from the program's clock.
QToolButton* CriaBotaoAgora(QWidget* pai, QDateTimeEdit* edicao)
{
    auto* b = new QToolButton(pai);
    b->setObjectName(edicao->objectName() + QStringLiteral("Agora"));
    b->setText(QStringLiteral("…"));
    b->setToolTip(QStringLiteral("Data e hora atuais"));
    // Part of the edit, not a stop of its own on the way between fields.
    b->setFocusPolicy(Qt::NoFocus);
    QObject::connect(b, &QToolButton::clicked, edicao, [edicao] { edicao->setDateTime(TDateTime::Now().ToDateTime()); });
    return b;
}

}  // namespace

TfrmIntervaloData::TfrmIntervaloData(QWidget* AOwner) : QDialog(AOwner)
{
    setObjectName(QStringLiteral("frmIntervaloData"));
    setWindowTitle(QStringLiteral("Intervalo de Data"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setModal(true);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    raiz->setSpacing(6);
    raiz->addWidget(new TFaixaDecorativa(this));

    auto* grade = new QGridLayout;
    grade->setContentsMargins(16, 4, 16, 0);
    grade->setHorizontalSpacing(4);
    edtDataInicial = CriaEdicao(this, "edtDataInicial");
    edtDataFinal = CriaEdicao(this, "edtDataFinal");
    auto* lblInicial = new QLabel(QStringLiteral("Data Inicial"), this);
    auto* lblFinal = new QLabel(QStringLiteral("Data Final"), this);
    lblInicial->setBuddy(edtDataInicial);
    lblFinal->setBuddy(edtDataFinal);
    grade->addWidget(lblInicial, 0, 0);
    grade->addWidget(lblFinal, 0, 3);
    grade->addWidget(edtDataInicial, 1, 0);
    grade->addWidget(CriaBotaoAgora(this, edtDataInicial), 1, 1);
    grade->setColumnStretch(2, 1);
    grade->addWidget(edtDataFinal, 1, 3);
    grade->addWidget(CriaBotaoAgora(this, edtDataFinal), 1, 4);
    raiz->addLayout(grade);
    raiz->addStretch();

    auto* regua = new QFrame(this);
    regua->setFrameShape(QFrame::HLine);
    regua->setFrameShadow(QFrame::Sunken);
    raiz->addWidget(regua);

    auto* linhaBotoes = new QHBoxLayout;
    linhaBotoes->setContentsMargins(16, 0, 16, 0);
    linhaBotoes->addStretch();
    btnOk = new QPushButton(QStringLiteral("&OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    for (QPushButton* b : {btnOk, btnCancelar}) {
        b->setFixedSize(75, 25);
        b->setAutoDefault(false);
        linhaBotoes->addWidget(b);
    }
    raiz->addLayout(linhaBotoes);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    raiz->addWidget(status);

    // OK comes first: the dialog opens on it, so Enter alone accepts the proposed period.
    setTabOrder(btnOk, btnCancelar);
    setTabOrder(btnCancelar, edtDataInicial);
    setTabOrder(edtDataInicial, edtDataFinal);
    btnOk->setFocus();

    connect(btnOk, &QPushButton::clicked, this, &TfrmIntervaloData::btnOkClick);
    connect(btnCancelar, &QPushButton::clicked, this, &TfrmIntervaloData::reject);
    new TPreviaTeclas(this);

    setFixedSize(323, 189);
    if (const QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

void TfrmIntervaloData::SetDataInicial(TDateTime valor)
{
    FDataInicial = valor;
    edtDataInicial->setDateTime(valor.ToDateTime());
}

void TfrmIntervaloData::SetDataFinal(TDateTime valor)
{
    FDataFinal = valor;
    edtDataFinal->setDateTime(valor.ToDateTime());
}

void TfrmIntervaloData::btnOkClick()
{
    FDataInicial = TDateTime::FromDateTime(edtDataInicial->dateTime());
    FDataFinal = TDateTime::FromDateTime(edtDataFinal->dateTime());
    done(ResultadoOk);
}

void TfrmIntervaloData::reject()
{
    done(ResultadoCancelar);
}
