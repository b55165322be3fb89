#pragma once

#include "uUIPort.h"

#include <QPointer>

class QProgressBar;
class QWidget;

// The desktop's answer to the core: the program's own message dialogs and date-range dialog,
// the main window's progress bar, the hourglass cursor and the event loop.
class TUIDesktop : public IUIPort
{
public:
    ~TUIDesktop() override;

    bool Pergunta(const QString& texto) override;
    void Mensagem(TTipoMensagem tipo, const QString& texto) override;
    bool PedeIntervalo(TDateTime& inicial, TDateTime& final) override;

    void ProgressoMaximo(int maximo) override;
    void ProgressoPosicao(int posicao) override;
    void ProgressoVisivel(bool visivel) override;
    void CursorOcupado(bool ocupado) override;
    void ProcessarEventos() override;

    // The bar the core moves; until the main window hands one over, progress goes nowhere.
    void DefinirBarraProgresso(QProgressBar* barra) { FBarra = barra; }
    // Owner of the dialogs, so they centre on and block the right window.
    void DefinirJanela(QWidget* janela) { FJanela = janela; }

private:
    QPointer<QProgressBar> FBarra;
    QPointer<QWidget> FJanela;
    int FOcupado = 0;
};
