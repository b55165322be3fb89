#pragma once

#include "TDateTime.h"

#include <QString>

#include <memory>

// Everything the core needs from whoever sits in front of it: questions, blocking messages, the
// progress bar, the busy cursor and a chance for pending events to run. The desktop answers
// with its own dialogs; the console answers from its command line and prints.
class IUIPort
{
public:
    enum class TTipoMensagem { Atencao, Erro, Informacao, Simples };

    virtual ~IUIPort() = default;

    // Yes/no question; true means yes.
    virtual bool Pergunta(const QString& texto) = 0;
    // Blocking message of a kind; `Simples` is the plain message without icon.
    virtual void Mensagem(TTipoMensagem tipo, const QString& texto) = 0;
    // Start/end pair, proposed in and chosen out; false when the user cancelled.
    virtual bool PedeIntervalo(TDateTime& inicial, TDateTime& final) = 0;

    virtual void ProgressoMaximo(int maximo) = 0;
    virtual void ProgressoPosicao(int posicao) = 0;
    virtual void ProgressoVisivel(bool visivel) = 0;
    virtual void CursorOcupado(bool ocupado) = 0;
    virtual void ProcessarEventos() = 0;
};

// The port in use. Before any front end installs its own, the console port answers.
IUIPort& UI();
// Installs `porta` (not owned; it must outlive its use); nullptr goes back to the console port.
void DefinirUI(IUIPort* porta);
