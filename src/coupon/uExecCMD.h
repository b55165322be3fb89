#pragma once

#include "uController.h"
#include "uRuxo.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TLoteImportacao;
class TMemTable;
class TSessao;
struct TDocumentoCupom;

// The import of one coupon file that Ruxo dropped into ONLINE: read it, turn its coupons into
// sales documents, take the sold quantities out of stock, tell Ruxo the new stock positions and
// remove the file. The monitoring cycle creates one task per file and runs them in batches on its
// own thread; nothing here starts a thread.
//
// A file is imported whole or not at all: its documents, items, instalments, cancellations and
// stock updates run in one transaction of the session, together with the file's journal entry
// (uDiarioImportacao.h tells how a claim, the journal and the start-up recovery make the import
// exactly-once across crashes and workstations). A file that could not be imported (its day has
// no day-closing yet, a line that cannot be read, a statement that failed) is rolled back and
// moved with its companions to ONLINE/REJEITADOS, with an error line naming the file, the coupon
// and the cause; a file that failed only because another program held the database locked goes
// back to ONLINE/ for the next cycle instead. Execute then returns normally, so the cycle goes on
// with its next file. Only a failure to clean up (a file that cannot be deleted or moved) leaves
// Execute as an exception.
//
// The monitoring cycle hands its files on in batches (uLoteImportacao.h), which run the same
// steps for several files inside one transaction; Execute is the batch of one file.
class TExecCmd
{
public:
    // The old task was a suspended thread; the flag is kept for the callers written that way.
    explicit TExecCmd(bool CreateSuspended = true);
    ~TExecCmd();
    TExecCmd(const TExecCmd&) = delete;
    TExecCmd& operator=(const TExecCmd&) = delete;

    const QString& Codigo_da_Empresa() const { return FCodigo_da_Empresa; }
    void SetCodigo_da_Empresa(const QString& v) { FCodigo_da_Empresa = v; }
    const QString& CGC_Empresa() const { return FCGC_Empresa; }
    void SetCGC_Empresa(const QString& v) { FCGC_Empresa = v; }
    const QString& Codigo_do_Usuario() const { return FCodigo_do_Usuario; }
    void SetCodigo_do_Usuario(const QString& v) { FCodigo_do_Usuario = v; }
    const QString& Nome_do_Usuario() const { return FNome_do_Usuario; }
    void SetNome_do_Usuario(const QString& v) { FNome_do_Usuario = v; }
    // Bare name of the coupon file, no folder.
    const QString& Nome_Arquivo() const { return FNome_Arquivo; }
    void SetNome_Arquivo(const QString& v) { FNome_Arquivo = v; }
    // The monitored directory, ending with the path separator; the file is Diretorio + "ONLINE/" + name.
    const QString& Diretorio() const { return FDiretorio; }
    void SetDiretorio(const QString& v) { FDiretorio = v; }
    // Alive only while Execute runs.
    TRuxo* Ruxo() const { return FRuxo.get(); }

    // The main window's file list (INDICE, NOME, EXECUTANDO, PROCESSADO); not owned, may be null.
    TMemTable* FCDS = nullptr;
    // The session's fourteen shared controllers; not owned. When null, the task builds its own
    // set for the run (a headless caller, a test).
    TControladoresCompartilhados* FControladores = nullptr;

    void Execute();

    // The companion names of a coupon file: ".A" / ".L" followed by its 11th and 12th characters.
    static QString NomeCompanheiro(const QString& NomeArquivo, QChar Letra);
    // Where a file that was not imported goes, under the monitored directory.
    static QString PastaRejeitados(const QString& Diretorio);
    // Finishes or undoes the imports that a process which is gone left claimed under the
    // monitored directory (ending with a separator); returns how many files it handled. The cycle
    // runs it before its first look at ONLINE/.
    static int Recuperar(const QString& Diretorio);
    // Whether an error message is that of a database another program holds locked.
    static bool ErroDeTrava(const QString& mensagem);

    // CANCELADOS.V as it is on disk now: whether it exists, and its bytes.
    struct TCancelados
    {
        bool Existia = false;
        QByteArray Conteudo;
    };

private:
    friend class TLoteImportacao;

    // What the claim and the reading left to do.
    enum class TReserva {
        Fora,       // not claimed (another importer took it, or the claim failed): nothing to finish
        Concluir,   // claimed and read, nothing to convert (or unreadable: Causa says why)
        Converter,  // claimed and read, its coupons go into the ERP inside a transaction
    };
    // The steps of an import; Execute and a batch run them in this order.
    void Inicia();
    TReserva Reservar(const TCancelados& antes);
    void Converter();             // inside the caller's transaction; a refused day sets FCausa
    void GravaRemessa();          // after the commit
    void Desfazer();              // after the batch's rollback: the file back into ONLINE/, untouched
    void Encerra();               // a task that claimed nothing lets go of what Inicia made
    TCancelados LeCancelados() const;
    static void IniciaTransacao(TSessao& sessao);
    // Runs `trabalho` in a transaction of the session, committed when it returns true and rolled
    // back when it returns false or raises. Returns the message of what it raised (null when
    // nothing did), and sets `passageira` when that was a passing failure (a lock, a drive, a
    // full disk); anything that is not a std::exception is rolled back and goes on up.
    static QString EmTransacao(TSessao& sessao, const std::function<bool()>& trabalho, bool& passageira);
    void EscreveCancelados(const TCancelados& c) const;

    struct TIndiceCupom
    {
        std::vector<int> Itens;      // positions in Reg_012, file order
        std::vector<int> Pagamentos; // positions in Reg_013, file order
    };

    void MarcarExecutando();
    bool EsvaziarDados(TDaoBDE* Dao);
    bool ConverterCupons();

    // Conversion steps, one file per concern: header and parties (uConverterCupons.cpp), items
    // and taxes (uCupomItens.cpp), payments and terms (uCupomPagamentos.cpp).
    void PreparaControladores();
    bool DiaLiberado();
    void ConverteCupom(const TReg_011& cupom);
    void PreencheCabecalho(const TReg_011& cupom, TDocumentoCupom& doc);
    void Cliente(const TReg_011& cupom, TDocumentoCupom& doc);
    void Representante(const TReg_011& cupom, TDocumentoCupom& doc);
    void TabelaPreco(const TReg_011& cupom, TDocumentoCupom& doc);
    void Itens(const TReg_011& cupom, const TIndiceCupom& indice, TDocumentoCupom& doc);
    void Item(const TReg_012& item, TDocumentoCupom& doc);
    void TotaisImpostos(TDocumentoCupom& doc);
    void Pagamentos(const TReg_011& cupom, const TIndiceCupom& indice, TDocumentoCupom& doc);
    void Pagamento(const TReg_011& cupom, const TReg_013& linha, TDocumentoCupom& doc);
    void CondicoesPagamento(const TReg_011& cupom, TDocumentoCupom& doc);
    void GravaBuffers();
    void MontaIndice();

    void AtualizaEstoque();
    void Limpeza();
    void Rejeita(const QString& causa);
    void Devolve(const QString& causa);
    void RestauraCancelados();

    QString CaminhoArquivo() const;
    QString PastaOnline() const;
    TControladoresCompartilhados& C() { return *FControladoresUso; }

    QString FCodigo_da_Empresa;
    QString FCGC_Empresa;
    QString FCodigo_do_Usuario;
    QString FNome_do_Usuario;
    QString FNome_Arquivo;
    QString FDiretorio;
    std::unique_ptr<TRuxo> FRuxo;

    std::unique_ptr<TControladoresCompartilhados> FControladoresProprios;
    TControladoresCompartilhados* FControladoresUso = nullptr;
    // Coupon key (printer, number) to its lines; built once per file.
    QHash<quint64, TIndiceCupom> FIndice;
    // The day check depends only on the file's first coupon, so it is made once per file.
    int FDiaLiberado = -1;  // -1 not checked yet, 0 refused, 1 accepted
    // For the error line of a failure: the coupon being converted, 0 outside the loop.
    int FCupomAtual = 0;
    // CANCELADOS.V as it was before this file was read, so that a rejected file leaves it so.
    TCancelados FAntes;
    // Why the file was not imported; null while nothing failed. FTrava: only because the database
    // was locked (or otherwise passing), so the file goes back for the next cycle.
    QString FCausa;
    bool FTrava = false;
    // A batch holds the claim folder's lock until its last file is done.
    bool FLiberaTrava = true;
    // Set once the file is imported (or had nothing to import); until then the clean-up keeps it,
    // so that no failure, wherever it happens, loses a file whose coupons are not in the ERP.
    bool FApagar = false;
    // Where the claim moved the file; empty until then.
    QString FReservado;
    QByteArray FHash;
    // Coupons whose items move stock in this run: those whose document this run writes, and
    // those whose existing live document this run cancels. A coupon seen before moves nothing.
    QSet<quint64> FMovemEstoque;
};
