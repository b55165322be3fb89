#pragma once

// The headless program's stop request: SIGINT or SIGTERM on POSIX, Ctrl+C, Ctrl+Break or the
// console closing on Windows. The handler only raises a flag; the monitoring loop reads it
// between files and between cycles, so a file being imported is always finished.
void InstalarParada();
bool ParadaPedida();
// Raises the flag as a signal would (tests, and callers that stop the loop themselves).
void PedirParada();
// Sleeps up to `ms` milliseconds, waking early when a stop is asked.
void EsperarOuParar(int ms);
