#pragma once

#include "Currency.h"

#include <QChar>
#include <QString>

#include <functional>
#include <optional>

// Small helpers shared by the whole program. None of them keeps state, except the INI path
// override that the headless front end and the tests set once.

// Pads `Texto` to `Tamanho` characters by `Tipo`: 'S' left-aligned, 'P' right-aligned,
// 'N' zero-filled, 'C' centred (left blanks (Tamanho - length) / 2 rounded half to even),
// 'M' money (the value times 100, rounded half to even, as an integer of at least `Tamanho`
// digits). A text already longer than `Tamanho` comes back whole; any other mode gives "".
// 'M' raises EConvertError on a text that is not a number.
QString FormataTexto(const QString& Texto, int Tamanho, QChar Tipo);

double Iif(bool Condicao, double ValorTrue, double ValorFalse);
Currency Iif(bool Condicao, Currency ValorTrue, Currency ValorFalse);
QString Iif(bool Condicao, const QString& ValorTrue, const QString& ValorFalse);
inline QString Iif(bool Condicao, const char* ValorTrue, const char* ValorFalse)
{
    return Condicao ? QString::fromUtf8(ValorTrue) : QString::fromUtf8(ValorFalse);
}

// Column name to property name: " ", "/" and "-" become "_", "." is dropped.
QString NomeCampoModel(const QString& NomeCampo);

// The folder of the program file, ending with the separator: "/" here (Qt's native form on
// every platform), so DiretorioAplicacao() + "Logs" is always a valid path.
QString DiretorioAplicacao();
// The folder part of a program path, separator kept: "C:\App\prog.exe" gives "C:\App\".
QString DiretorioDoArquivo(const QString& caminho);
// The path with its last extension replaced: ("C:\App\prog.exe", ".ini") gives "C:\App\prog.ini";
// a name without extension gets it appended.
QString TrocaExtensao(const QString& caminho, const QString& extensao);

QString SoNumeros(const QString& Texto);

// 14 digits or more: 99.999.999/9999-99; up to 11: 999.999.999-99; 12 or 13 digits stay bare.
// A mark goes only before an existing digit, so a short or empty number gets no dangling marks.
QString FormataCPFCNPJ(const QString& Texto);

// Cut toward zero to `Casas` decimals, never rounded. The double form cuts the shortest
// decimal text of the value, so 2.999 gives exactly 2.99 and not 2.98999...
Currency TruncaDecimais(int Casas, Currency Valor);
Exato TruncaDecimais(int Casas, const Exato& Valor);
double TruncaDecimais(int Casas, double Valor);

// The version set in CMake, always four numbers: "1.0.0.1".
QString VersaoPrograma();

// The program's own INI: ArquivoIniDoPrograma of the running program, unless DefinirArquivoIni
// chose another file (an empty path goes back to the default).
QString ArquivoIni();
// A portable copy (or the build tree) keeps its INI beside the program, with the program's base
// name and ".ini". An installed program cannot write its own folder, so its INI goes to the
// user's configuration folder instead: <config>/teskvado/<base name>.ini (~/.config on Linux,
// following XDG_CONFIG_HOME). A folder counts as writable only when access allows it and it
// carries a write bit, so a folder marked read-only stays so even for an administrator.
QString ArquivoIniDoPrograma(const QString& caminhoPrograma);
void DefinirArquivoIni(const QString& caminho);
QString LerIni(const QString& Secao, const QString& Chave, const QString& Padrao);
void GravarIni(const QString& Secao, const QString& Chave, const QString& Valor);

// The folder chooser's contract without its window. The chooser gets the title, the message
// and the initial folder and gives the chosen folder, or nullopt when the user cancelled.
using TSeletorPasta =
    std::function<std::optional<QString>(const QString& Titulo, const QString& Mensagem, const QString& Inicial)>;
// `Pasta` reads "False" unless a folder was chosen; the result says whether one was.
bool SelecionaPasta(QString& Pasta, const QString& PastaInicial, const QString& Mensagem,
                    const TSeletorPasta& Seletor);
