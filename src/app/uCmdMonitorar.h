#pragma once

#include <QString>
#include <QStringList>

// What every subcommand of teskvado-cli may be given before its name.
struct TOpcoesGerais
{
    QStringList Dados;  // the data drive, as the desktop's first argument
    QString Ini;        // empty: the desktop's own INI beside the programs
};

// `monitorar [--uma-vez]`: starts as the desktop does, then runs the monitoring cycle every
// interval until SIGINT/SIGTERM, or once with --uma-vez. Exit status: 0 done, 1 start-up refused
// (data drive, parameters, incomplete session) or a single cycle that failed, 2 usage.
int ComandoMonitorar(const QStringList& argumentos, const TOpcoesGerais& opcoes);
extern const char* const AjudaMonitorar;
