#pragma once

#include "Currency.h"
#include "TDateTime.h"

#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure messages for the values the import writes.
inline void PrintTo(const Currency& c, std::ostream* os) { *os << c.ToString().toStdString(); }
inline void PrintTo(const TDateTime& d, std::ostream* os) { *os << d.ToString().toStdString(); }
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << l.join(u',').toStdString(); }
