#pragma once

#include <QString>
#include <QStringList>

// Classifies a tax situation code by its flag: "C" (counts in the document's tax totals), "N"
// (does not), or "D" for the debited ICMS taxation letter. Empty when the code is not in the
// table of its kind; an invalid kind or movement also writes an error line to Log_.
//
// Tipo: 0 ICMS (Codigo carries its origin digit first, "060"), 1 IPI, 2 PIS, 3 COFINS,
// 4 the ERP's ICMS taxation letters. Movimento: "E" entry, "S" exit (IPI and COFINS depend on it).
QString Checa_CST(int Tipo, const QString& Movimento, const QString& Codigo);

// The work list Checa_CST searches for a kind and movement, in search order; empty when the
// combination is invalid. Each entry is "code-flag -description" as the user sees it.
QStringList TabelaCST(int Tipo, const QString& Movimento);
