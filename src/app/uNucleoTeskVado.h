#pragma once

#include "uVigiaArquivos.h"
#include "uVisaoTeskVado.h"

#include <QSet>

#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>

class TControladoresCompartilhados;
class TExecCmd;
class TLoteImportacao;
class TLog;
class TMemTable;

// The main window's whole behaviour without a widget: creation, activation, "Ativar", the timer's
// monitoring cycle, the day-closing check and close. The desktop window forwards its events here
// and the headless program drives the same calls, so both start, load and monitor identically.
//
// The event handlers (FormCreate, FormActivate, actAtivarExecute, Timer1Timer) end like the
// window's handlers did: an exception that leaves their work is written to the log as an error
// line and the program goes on.
class TNucleoTeskVado
{
public:
    static constexpr const char* Mascara = "*.S*";

    explicit TNucleoTeskVado(IVisaoTeskVado& visao);
    ~TNucleoTeskVado();
    TNucleoTeskVado(const TNucleoTeskVado&) = delete;
    TNucleoTeskVado& operator=(const TNucleoTeskVado&) = delete;

    // Window creation: the log, the configuration, the choice lists, the file list, the timer
    // interval and the first session values. False when an error stopped it part-way.
    bool FormCreate();
    // Every activation of the window. True when it went through without an exception, which is
    // when the desktop goes on to its update check; false also when the window was told to close.
    bool FormActivate();
    // `gravarConfiguracao` false leaves the INI untouched (the headless program never edits it).
    void FormClose(bool gravarConfiguracao = true);

    void actAtivarExecute();
    // One cycle, unless a cycle is already running: the log's screen trim and the warm-up let
    // pending events run, and a tick arriving then must not start a second cycle inside the first.
    void Timer1Timer();
    // The folder chooser picked `pasta` (already ending with the separator).
    void PastaEscolhida(const QString& pasta);
    void LimparLog();

    // The application's handler of exceptions nobody caught: an error line when the log exists.
    static void ApplicationEvents1Exception(const std::exception& e);

    bool CarregarParametros();
    void MonitorarPasta(const QString& Diretorio, const QString& Mascara, TMemTable& Lista);
    bool VerificarReducaoZ();

    // State the window shows.
    bool Monitorando() const { return FEstado.Ativo; }
    int IntervaloTimer() const { return FEstado.IntervaloMs; }
    bool EmCiclo() const { return FEmCiclo; }
    // The last cycle ended in an exception (already written to the log).
    bool UltimoCicloFalhou() const { return FCicloFalhou; }
    TMemTable* cdsArquivos() const { return FArquivos.get(); }
    TControladoresCompartilhados& Controladores() { return *FControladores; }
    QStringList Itens(IVisaoTeskVado::TLista lista) const;
    // The selected item's whole text; empty when nothing is selected.
    QString TextoSelecionado(IVisaoTeskVado::TLista lista) const;

    // The job of each batch of files. By default it runs the batch (`Executar`); tests put a
    // recorder here.
    using TExecutor = std::function<void(TLoteImportacao&)>;
    void DefinirExecutor(TExecutor executor);
    // Asked before each file: true stops the cycle before its next file (the headless program's
    // SIGINT/SIGTERM). The files already read finish.
    void DefinirPedidoParada(std::function<bool()> parar) { FParar = std::move(parar); }

    // The INI value selects its item: the item with exactly that text, else, for a value that is
    // only a code, the item with that code, as a user's choice in the window would. -1 for none.
    static int IndiceParaValor(const QStringList& itens, const QString& valor);
    // The INI's check box value: a number other than 0 or "True" is checked, 0 or "False" is not,
    // missing or empty reads unchecked; anything else is EConvertError.
    static bool LerBooleano(const QString& texto);
    // The item texts of the choice lists, codes at fixed positions.
    static QString ItemEmpresa(const QString& codigo, const QString& nomeFantasia, const QString& cgc);
    static QString ItemUsuario(const QString& chapa, const QString& nome);
    static QString ItemECF(const QString& numero, const QString& serie);

private:
    void LerConfiguracao();
    void GravarConfiguracao();
    void PreencheListas();
    void CriaListaArquivos();
    void PrimeirosValoresSessao();
    void CortaSelecao(bool nomeFantasia);
    void DefineMonitoramento(bool ativo);
    void IntervaloDoEdit();
    void SessaoIncompleta(const QString& Diretorio, bool reducaoZ);
    // One error line when a monitored folder goes missing, one line when it is back.
    void PastaAusente(const QString& caminho);
    void PastaDeVolta();

    IVisaoTeskVado& FVisao;
    std::unique_ptr<TLog> FLog;
    std::unique_ptr<TMemTable> FArquivos;
    std::unique_ptr<TControladoresCompartilhados> FControladores;
    QStringList FItens[3];
    IVisaoTeskVado::TMonitoramento FEstado;
    TExecutor FExecutor;
    std::function<bool()> FParar;
    bool FEmCiclo = false;
    bool FCicloFalhou = false;
    bool FAtivando = false;
    // Creation stopped before the lists were read: close must not overwrite their keys with blanks.
    bool FListasCarregadas = false;
    // Files Ruxo is still writing wait for the next tick.
    TVigiaArquivos FVigia;
    // Monitored directories whose interrupted imports were already finished or undone.
    QSet<QString> FRecuperados;
    // The directory (with its separator) of the last cycle that found the session complete, and
    // whether its ONLINE/ was there at some cycle since.
    QString FDiretorioMonitorado;
    bool FOnlineVisto = false;
    // The folder last reported missing; empty while every folder is there.
    QString FPastaAusente;
};
