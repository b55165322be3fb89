#pragma once

#include "TDateTime.h"
#include "uTipoOcorrencia.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Colours are 0xRRGGBB.
namespace CoresLog {
constexpr uint Verde = 0x008000;
constexpr uint Marrom = 0x800000;
constexpr uint Vermelho = 0xFF0000;
constexpr uint Laranja = 0xFF8040;
}  // namespace CoresLog

// Where the log's coloured lines are shown: a rich-text box on the desktop, standard output
// headless, a recording sink in tests. The log writes one line at a time: it starts a line with
// NovaLinha, puts its pieces with Insere and ends it with LinhaConcluida.
class ITelaLog
{
public:
    virtual ~ITelaLog() = default;

    virtual int QuantidadeLinhas() const = 0;
    virtual void ApagaPrimeiraLinha() = 0;
    // Appends an empty line; later pieces go to its end.
    virtual void NovaLinha() = 0;
    // Adds a piece to the last line (starting one when the screen is empty).
    virtual void Insere(const QString& texto, uint cor) = 0;
    virtual uint CorPadrao() const = 0;
    virtual void Limpa() = 0;
    // The line is complete; a sink that prints line by line writes it now.
    virtual void LinhaConcluida() {}
};

// The operation log: fixed-width lines framed by "|", shown on the bound screen and kept as
// plain text in LtLog. The screen is cut back to its last lines before every plain or coloured
// line; LtLog is never cut, only Clear empties it.
class TLog
{
public:
    static constexpr int LarguraConteudo = 79;
    static constexpr int MaximoLinhasTela = 100;

    TLog() = default;
    TLog(const TLog&) = delete;
    TLog& operator=(const TLog&) = delete;

    // Binds the screen (not owned; nullptr unbinds). Without a screen only LtLog is written.
    void RichEdit(ITelaLog* tela) { FTela = tela; }
    ITelaLog* Tela() const { return FTela; }

    void TextoSimples(const QString& texto);
    void TextoErro(const QString& texto);     // "Erro   : " in red
    void TextoOK(const QString& texto);       // "Ok     : " ... " com sucesso" in green
    void TextoAtencao(const QString& texto);  // "Atenção: " in orange
    // One line whose pieces have their own colours; a piece without a colour of its own is in
    // the default colour.
    void TextoColorido(const QStringList& textos, const QList<uint>& cores);
    void TextoCentralizado(const QString& texto);
    void TextoSublinhado(const QString& texto);
    void Espaco();
    void Branco();
    void Linha();
    void Cabecalho(const QString& Texto, bool MsgAguarde);
    void Corpo(const QString& Registro, TTipoOcorrencia Ocorrencia);
    void Rodape(int NumeroRegistros, TDateTime Tempo);
    void NumeroRegistros(int numero);
    void Tempo(TDateTime tempo);
    void Erro(const QString& texto);
    // The status text; on screen also the status in its colour and the closing "|".
    QString GetOcorrencia(TTipoOcorrencia Ocorrencia);
    void Clear();
    // Writes LtLog to "Logs/ddmmyyyyhhmmss.txt" under the application folder (or under
    // `pasta`), Windows-1252 with CR LF, and returns the file's path. EInOutError on failure.
    QString Salvar();
    QString Salvar(const QString& pasta);

    // The plain-text copy, the newest MaximoLinhasMemoria lines: a tray program that runs for
    // months keeps its history in the daily files instead.
    const QStringList& LtLog() const { return FLtLog; }
    static constexpr int MaximoLinhasMemoria = 100000;

    // Every line is also appended, as it is written, to "TeskVado-AAAAMMDD.log" of the day in
    // this folder (Windows-1252, CR LF). Empty, as a new log starts, writes no file.
    void SetPastaArquivo(const QString& pasta);
    const QString& PastaArquivo() const { return FPastaArquivo; }
    // The program folder's Logs/, or the user's data folder's Logs/ when the program's folder
    // cannot be written (an installed program).
    static QString PastaArquivoPadrao();
    // The file the lines of that day go to; empty without a folder.
    QString ArquivoDoDia(TDateTime dia) const;

    static QString TextoOcorrencia(TTipoOcorrencia Ocorrencia);
    static uint CorOcorrencia(TTipoOcorrencia Ocorrencia, uint corPadrao);

private:
    void AparaTela();
    void LinhaSimples(const QString& linha);  // one default-colour line on screen and in LtLog
    void Guarda(const QString& linha);        // LtLog and the day's file

    ITelaLog* FTela = nullptr;
    QStringList FLtLog;
    QString FPastaArquivo;
    std::unique_ptr<QFile> FArquivo;
    QString FNomeArquivo;
};

// The program's one log; null before the main window creates it and after it closes.
extern TLog* Log_;
