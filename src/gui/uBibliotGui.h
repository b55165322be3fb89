#pragma once

#include "uBibliot.h"

#include <QObject>

class QKeyEvent;
class QWidget;

// Enter and Esc walk a form's fields: Enter clicks a focused button or moves to the next control,
// Esc moves to the previous one. An open combo box list keeps the key. Returns true when the
// key was used up (the caller drops the event).
bool TeclaFormulario(QWidget* Form, QKeyEvent* Key);

// Lets a form see the keys of all its controls before they do, and hands Enter and Esc to
// TeclaFormulario. Installed on the form, it follows controls added later as well.
class TPreviaTeclas : public QObject
{
public:
    explicit TPreviaTeclas(QWidget* form);

protected:
    bool eventFilter(QObject* alvo, QEvent* e) override;

private:
    void Observa(QObject* o);
    QWidget* FForm;
};

// The desktop's folder chooser for SelecionaPasta: the chosen folder in the platform's own
// form, ending with its separator.
TSeletorPasta SeletorPastaDesktop(QWidget* dono = nullptr);
