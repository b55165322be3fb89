#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// Ruxo's files, the log file and the INI are Windows-1252 with CR LF, whatever the host uses.

// Every byte has a character, so decoding never fails. The five bytes Windows-1252 leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the same value, as
// Windows' own conversion does, so any file survives a read and a write unchanged.
QString DecodificaCp1252(QByteArrayView bytes);
// A character the code page cannot hold is written as "?" (one per character, also for
// characters outside the basic plane).
QByteArray CodificaCp1252(QStringView texto);

// Lines of a text ending in CR LF, lone CR or lone LF; a final line end adds no empty line.
QStringList DivideLinhas(const QString& texto);

// The whole file, decoded and split into lines; EInOutError naming the file when unreadable.
QStringList LerArquivoCp1252(const QString& caminho);
// Writes the lines, each followed by CR LF, to a temporary file in the same folder and then
// renames it over `caminho`, so a reader polling the folder never sees half a file.
// EInOutError naming the path when it cannot be written.
void GravarArquivoCp1252(const QString& caminho, const QStringList& linhas);
// The same for bytes already encoded.
void GravarArquivoAtomico(const QString& caminho, QByteArrayView conteudo);
