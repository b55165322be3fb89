#pragma once

#include <QByteArray>
#include <QString>

class TSessao;

// How a coupon file is imported exactly once, whatever moment the process dies in, and however
// many integrators watch the same folder.
//
// 1. Claim. Before it is read, the file is renamed from ONLINE/ into ONLINE/IMPORTANDO/<station>/,
//    the folder of this process (host name and process id), held by the lock file <station>.trava
//    beside it while an import runs. The cycle's "*.S*" search looks at ONLINE/ alone,
//    so neither this process's next tick nor another workstation meets the file again; the rename
//    is atomic, so of two importers racing for one file exactly one gets it.
// 2. Before the reading changes it, CANCELADOS.V is copied into the claim folder beside the file.
// 3. Journal. The file's name and the SHA-256 of its content go into TESK_IMPORTADOS inside the
//    transaction that writes the documents and moves the stock: the commit makes both true or
//    neither, and SQLite's own journal undoes a transaction the process did not finish.
// 4. After the commit: the shipment, then the claimed file, its companions and the copy go.
//
// Recovery runs before a cycle looks at ONLINE/ the first time, over every claim folder whose
// lock can be taken (its process is gone): a claimed file whose name and hash are in the journal
// was committed and only its clean-up is missing, so the clean-up is finished; its shipment is not
// written again (at most one per import; the next shipment carries the balances). A claimed file
// the journal does not know was not committed: CANCELADOS.V is put back from the copy and the file
// goes back to ONLINE/ for the next cycle.
namespace DiarioImportacao {

// This process on this host, as its claim folder is named.
QString Estacao();
// ONLINE/IMPORTANDO/ under the given ONLINE/ folder (which ends with a separator).
QString PastaReservas(const QString& pastaOnline);
// Moves ONLINE/<nome> into this process's claim folder and returns the new path; empty when the
// file is no longer there (another importer took it first). EInOutError naming the path when the
// folder cannot be made or the file cannot be moved.
QString Reserva(const QString& pastaOnline, const QString& nome);
// Lets go of the claim folder's lock once an import is over (its folder is empty again).
void Libera(const QString& pastaOnline);
// The copy of CANCELADOS.V kept beside a claimed file; a file with this name plus ".SEM" says
// there was no store yet.
QString CopiaCancelados(const QString& reservado);
void GuardaCopiaCancelados(const QString& reservado, bool existia, const QByteArray& conteudo);
void ApagaCopiaCancelados(const QString& reservado);

QByteArray Hash(const QByteArray& conteudo);
// The same of a file read in blocks, so that a large file is never held whole for it; empty when
// the file cannot be read.
QByteArray HashArquivo(const QString& caminho);

// The journal table, created when missing (start-up of a data drive made by an older version).
void Garantir(TSessao& sessao);
// Inside the caller's transaction.
void Registra(const QString& nome, const QByteArray& hash);
bool Registrado(const QString& nome, const QByteArray& hash);

// Finishes or undoes the claims of processes that are gone. Returns how many files it handled.
// `diretorio` is the monitored directory, ending with a separator.
int Recuperar(const QString& diretorio);

}  // namespace DiarioImportacao
