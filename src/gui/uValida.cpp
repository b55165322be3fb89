#include "uValida.h"

#include "Currency.h"
#include "TDateTime.h"

#include <QDate>
#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

TValida::TValida(QObject* AOwner) : QObject(AOwner) {}

TValida::~TValida()
{
    for (const TMarca& m : FMarcas) {
        if (m.controle)
            m.controle->removeEventFilter(this);
        delete m.icone.data();
    }
}

bool TValida::CampoAusente(const QVariant& Campo)
{
    const int tipo = Campo.metaType().id();
    if (tipo == qMetaTypeId<Currency>())
        return Campo.value<Currency>() <= Currency();
    if (tipo == qMetaTypeId<TDateTime>())
        return Campo.value<TDateTime>().Valor() == 0;
    switch (tipo) {
    case QMetaType::QString:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return Campo.isNull() || Campo.toString().isEmpty();
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return Campo.toLongLong() <= 0;
    case QMetaType::QDate:
        return !Campo.toDate().isValid();
    case QMetaType::QDateTime:
        return !Campo.toDateTime().isValid();
    default:
        return false;
    }
}

void TValida::ValidaParametos(QWidget* Controle, const QString& Mensagem)
{
    if (!Controle)
        return;
    Marca(Controle, Mensagem);
    if (Controle->isEnabled() && Controle->isVisible() && Controle->focusPolicy() != Qt::NoFocus)
        Controle->setFocus(Qt::OtherFocusReason);
}

bool TValida::ValidaCampo(QWidget* Controle, const QVariant& Campo, const QString& Mensagem)
{
    if (!CampoAusente(Campo))
        return true;
    ValidaParametos(Controle, Mensagem);
    return false;
}

int TValida::Marcas() const
{
    int n = 0;
    for (const TMarca& m : FMarcas)
        n += m.icone ? 1 : 0;
    return n;
}

void TValida::Marca(QWidget* controle, const QString& mensagem)
{
    for (const TMarca& m : FMarcas) {
        if (m.controle == controle && m.icone) {
            m.icone->setToolTip(mensagem);
            return;
        }
    }
    // The icon lives beside the control, so it belongs to the control's parent; a top-level
    // control gets it inside itself, at its right edge.
    QWidget* pai = controle->parentWidget() ? controle->parentWidget() : controle;
    auto* icone = new QLabel(pai);
    icone->setObjectName(QStringLiteral("ErrorIndicator"));
    icone->setPixmap(QPixmap(QStringLiteral(":/imagens/ErroCampo.png")));
    icone->setFixedSize(14, 14);
    icone->setToolTip(mensagem);
    icone->setProperty("ControleMarcado", QVariant::fromValue(static_cast<QObject*>(controle)));
    TMarca m{controle, icone};
    FMarcas.append(m);
    controle->installEventFilter(this);
    Posiciona(m);
    icone->raise();
}

void TValida::Posiciona(const TMarca& m)
{
    if (!m.controle || !m.icone)
        return;
    const QWidget* c = m.controle;
    if (m.icone->parentWidget() == c) {
        m.icone->move(c->width() - m.icone->width() - 2, (c->height() - m.icone->height()) / 2);
        m.icone->show();
        return;
    }
    const QRect g = c->geometry();
    m.icone->move(g.right() + 3, g.top() + (g.height() - m.icone->height()) / 2);
    m.icone->setVisible(c->isVisibleTo(m.icone->parentWidget()));
}

bool TValida::eventFilter(QObject* alvo, QEvent* e)
{
    switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        for (const TMarca& m : FMarcas)
            if (m.controle == alvo)
                Posiciona(m);
        break;
    default:
        break;
    }
    return QObject::eventFilter(alvo, e);
}
