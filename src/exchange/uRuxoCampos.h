#pragma once

#include "Currency.h"
#include "TDateTime.h"

#include <QString>
#include <QStringView>

// The field encodings of Ruxo's fixed-width lines. Everything here is locale-independent: the
// shops' machines format with a decimal comma that the file format then throws away, so we write
// the digits of the value in hundredths or thousandths directly and never ask the host's locale.
namespace Ruxo {

// The characters of a field at 1-based `posicao`, as many of `largura` as the line holds.
QStringView Recorta(QStringView linha, int posicao, int largura);

// Readers: what does not convert gives 0, the empty date or midnight, never an error, because a
// single odd field must not cost the whole coupon file.
int LerN(QStringView campo);
QString LerX(QStringView campo);
Currency LerV(QStringView campo);  // hundredths
Currency LerQ(QStringView campo);  // thousandths
TDateTime LerD8(QStringView campo);
TDateTime LerH6(QStringView campo);

// Writers: the result always has exactly `largura` characters.
QString GravarN(const QString& digitos, int largura);
QString GravarN(qint64 valor, int largura);
QString GravarX(const QString& texto, int largura);
QString GravarV(Currency valor, int largura);
QString GravarQ(Currency valor, int largura);
QString GravarD8(TDateTime data);
QString GravarH6(TDateTime hora);

}  // namespace Ruxo

// The unit's conversion routines for the date and time texts of Ruxo's lines.
TDateTime ConverteDataRuxo(const QString& texto);  // "ddMMyyyy"; "00000000" gives the empty date
TDateTime ConverteHoraRuxo(const QString& texto);  // "hhmmss"; "000000" gives midnight
