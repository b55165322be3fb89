#include "uBibliotGui.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QChildEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QWidget>

namespace {

bool AceitaFocoTab(QWidget* w, QWidget* form)
{
    return w != form && form->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(form) &&
           (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

// Walks the tab chain from the focused control, wrapping round, as the form's Tab key would.
void MoveFoco(QWidget* form, QWidget* atual, bool adiante)
{
    QWidget* w = atual ? atual : form;
    for (int passos = 0; passos < 1000; ++passos) {
        w = adiante ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == atual)
            return;
        if (AceitaFocoTab(w, form)) {
            w->setFocus(adiante ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool ListaAberta(QWidget* w)
{
    for (QWidget* p = w; p; p = p->parentWidget())
        if (auto* combo = qobject_cast<QComboBox*>(p))
            return combo->view() && combo->view()->isVisible();
    return false;
}

}  // namespace

bool TeclaFormulario(QWidget* Form, QKeyEvent* Key)
{
    if (!Form || !Key)
        return false;
    const bool enter = Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter;
    const bool esc = Key->key() == Qt::Key_Escape;
    if (!enter && !esc)
        return false;

    QWidget* ativo = Form->focusWidget();
    if (ativo && ativo->focusProxy())
        ativo = ativo->focusProxy();
    if (ativo && ListaAberta(ativo))
        return false;
    if (enter) {
        if (auto* botao = qobject_cast<QAbstractButton*>(ativo)) {
            botao->click();
            return true;
        }
        MoveFoco(Form, ativo, true);
        return true;
    }
    MoveFoco(Form, ativo, false);
    return true;
}

TPreviaTeclas::TPreviaTeclas(QWidget* form) : QObject(form), FForm(form)
{
    Observa(form);
}

void TPreviaTeclas::Observa(QObject* o)
{
    o->installEventFilter(this);
    for (QObject* filho : o->children())
        if (filho->isWidgetType())
            Observa(filho);
}

bool TPreviaTeclas::eventFilter(QObject* alvo, QEvent* e)
{
    if (e->type() == QEvent::ChildAdded) {
        QObject* filho = static_cast<QChildEvent*>(e)->child();
        if (filho->isWidgetType())
            Observa(filho);
    } else if (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) {
        auto* tecla = static_cast<QKeyEvent*>(e);
        const int k = tecla->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Escape) {
            // Claim the key before the dialog's own Enter/Esc shortcuts can act on it.
            if (e->type() == QEvent::ShortcutOverride) {
                e->accept();
                return false;
            }
            if (TeclaFormulario(FForm, tecla))
                return true;
        }
    }
    return QObject::eventFilter(alvo, e);
}

TSeletorPasta SeletorPastaDesktop(QWidget* dono)
{
    return [dono](const QString& Titulo, const QString& Mensagem, const QString& Inicial) -> std::optional<QString> {
        QFileDialog dlg(dono, Titulo, Inicial);
        dlg.setFileMode(QFileDialog::Directory);
        dlg.setOption(QFileDialog::ShowDirsOnly);
        if (!Mensagem.isEmpty())
            dlg.setLabelText(QFileDialog::LookIn, Mensagem);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        QString pasta = QDir::toNativeSeparators(dlg.selectedFiles().constFirst());
        if (!pasta.endsWith(QDir::separator()))
            pasta += QDir::separator();
        return pasta;
    };
}
