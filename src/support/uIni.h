#pragma once

#include <QString>

// A private-profile INI reader/writer of our own. QSettings would reorder the keys and quote
// the values, and the file is also edited by hand at the shops, so it is kept as written.
// Sections and keys match without regard to case; the file is Windows-1252 with CR LF.

// The value of `chave` in `secao`, blanks around it trimmed and one pair of enclosing quotes
// removed. A missing, unreadable or non-INI file, or a missing key, gives `padrao`.
QString LerValorIni(const QString& arquivo, const QString& secao, const QString& chave,
                    const QString& padrao);

// Replaces the key's line in place, or appends the key at the end of its section, or appends
// the section at the end of the file; the file is created when missing. Line breaks in the
// value become blanks, so a value can never spill into new keys. EInOutError carrying the
// path when the file cannot be written.
void GravarValorIni(const QString& arquivo, const QString& secao, const QString& chave,
                    const QString& valor);
