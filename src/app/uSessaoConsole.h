#pragma once

#include "uCmdMonitorar.h"

#include <QString>

#include <cstdio>
#include <memory>

class TInicioPrograma;
class TNucleoTeskVado;
class TSaidaConsole;
class TVisaoMemoria;

// Writes a text to a console stream at once, in UTF-8.
void EscreveConsole(std::FILE* f, const QString& texto);

// The session a headless subcommand runs in, started exactly as the desktop starts: the desktop's
// INI, the log on standard output, the work before the program body, the window's creation and
// its first activation. The window's close runs when the object goes away.
class TSessaoConsole
{
public:
    explicit TSessaoConsole(const TOpcoesGerais& opcoes);
    ~TSessaoConsole();

    // False when start-up refused: the data drive (reason on standard error) or the activation.
    bool Iniciar();

    TNucleoTeskVado& Nucleo() { return *FNucleo; }
    TVisaoMemoria& Visao() { return *FVisao; }

private:
    TOpcoesGerais FOpcoes;
    std::unique_ptr<TSaidaConsole> FTela;
    std::unique_ptr<TVisaoMemoria> FVisao;
    std::unique_ptr<TInicioPrograma> FInicio;
    std::unique_ptr<TNucleoTeskVado> FNucleo;
};
