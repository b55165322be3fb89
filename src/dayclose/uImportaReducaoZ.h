#pragma once

#include "TDateTime.h"

#include <QString>
#include <QVariant>

// "Importar Redução": asks Ruxo for the day-closing data of a period through a request file in
// DirMonitorar's RETORNO folder, waits for Ruxo's answer, shows its answer log and converts the
// reductions into the ERP. The window and the console both run it; it talks to the user only
// through the UI port and reports everything in the log, its own errors included.
//
// True only when the success line "Redução Z Importada" was written. A call made while another
// one is waiting for Ruxo (a second click during the wait) does nothing and gives false.
bool ImportarReducaoZ(const QString& DirMonitorar);

// Whether an import is under way, so a front end can show its action as busy.
bool ImportacaoReducaoZEmAndamento();

// The start proposed for the request: the day of the last imported reduction (UltimaData, the
// maximum "Data" of VEN_ECF_C; null when none was ever imported), or the first day of Agora's
// month when that lies more than 30 days back or there is none. Always at midnight.
TDateTime InicioPropostoReducaoZ(const QVariant& UltimaData, TDateTime Agora);

// Milliseconds of one waiting attempt: Ruxo needs longer for more days. 10000 up to five whole
// days between Inicio and Agora, 20000 from six on.
int UnidadeEsperaReducaoZ(TDateTime Inicio, TDateTime Agora);
