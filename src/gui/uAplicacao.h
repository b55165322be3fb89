#pragma once

#include <QApplication>

#include <functional>

// Runs one delivery of an event; an exception that leaves it is written to the log as an error
// line (or dropped while there is no log) and the program goes on. False when it threw.
bool EntregaProtegida(const std::function<bool()>& entrega);

// The desktop application: no exception raised inside an event handler ends the program.
class TAplicacaoTeskVado : public QApplication
{
public:
    TAplicacaoTeskVado(int& argc, char** argv);

    bool notify(QObject* receptor, QEvent* evento) override;
};

// The command line's check before any window exists: without a display there is nothing to
// show, and the integrator has its headless program for that case.
bool TemAreaDeTrabalho();
extern const char* const MensagemSemAreaDeTrabalho;
