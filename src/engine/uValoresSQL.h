#pragma once

#include "TDateTime.h"
#include "uTiposCampo.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

// The stored forms of dates and times: ISO text, so that the files read the same with any SQLite
// tool and compare in calendar order as plain text.
QByteArray TextoData(TDateTime valor);      // "YYYY-MM-DD"
QByteArray TextoHora(TDateTime valor);      // "hh:mm:ss"
QByteArray TextoDataHora(TDateTime valor);  // "YYYY-MM-DD hh:mm:ss"

// Reads "YYYY-MM-DD", "YYYY-MM-DD hh:mm:ss[.zzz]" (or with "T"), or "hh:mm:ss"; 0 for anything else.
TDateTime LerDataHora(QStringView texto);

// A stored value (null, qint64, double, QString, QByteArray) in the form its field's type reads:
// QString, int, double, TDateTime, bool or QByteArray; null stays a null QVariant.
QVariant ConverteValor(const QVariant& bruto, TFieldType tipo);
