#pragma once

#include "uCmdMonitorar.h"

#include <QStringList>

// `reducao [--inicio DD/MM/AAAA]`: starts as the desktop does, then runs "Importar Redução" once,
// answering its question with yes and its period with the proposed start, or with --inicio as
// if the user had typed it and pressed OK. The log goes to standard output.
// Exit status: 0 when the reductions were imported, 1 otherwise, 2 usage.
int ComandoReducao(const QStringList& argumentos, const TOpcoesGerais& opcoes);
extern const char* const AjudaReducao;
