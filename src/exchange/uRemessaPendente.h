#pragma once

#include <QByteArray>
#include <QString>

class TRemessa;

// Stock shipments that REMESSA could not take when their import was committed. The stock
// positions are in the ERP by then, so the shipment must not be lost: it waits in a folder of
// this program's own (beside its Logs), one folder per monitored directory, and goes to REMESSA
// at the next cycles, oldest first, each at most once. While one waits, every newer shipment of
// that directory waits behind it: Ruxo takes the positions as absolute, so an older shipment
// must never reach it after a newer one.
//
// Delivery crosses file systems, so it is made safe against a crash in the middle: the content
// is first written to REMESSA under a temporary name without a dot ("~tvpendente<token>", which
// Ruxo's "*.R" never picks up), then the waiting file is renamed to ".envio", then the
// temporary file gets its RM name, then the ".envio" goes. A ".envio" found later means: its
// temporary file still there, the rename is finished now; gone, it was delivered.
//
// When even this program's folder cannot be written (a full disk), the shipment waits in memory
// for the life of the process, and is delivered from there after those on disk.
//
// Nothing here throws: what fails is written to the log, once per cause and not at every cycle.
namespace RemessaPendente {

// The folder under which the waiting shipments of every monitored directory are kept; empty
// restores the default (beside the program's Logs folder).
void DefinirPasta(const QString& pasta);
QString Pasta();
// The folder of one monitored directory's waiting shipments.
QString PastaDoDiretorio(const QString& diretorio);

// The stock positions (rm035) of the import of `origem` go to Ruxo: at once when nothing of the
// directory waits and REMESSA takes them; otherwise they wait behind the others, with an error
// line naming the file and the cause.
void Enviar(TRemessa& remessa, const QString& diretorio, const QString& origem);
// Delivers the directory's waiting shipments in order, with a line for each; stops at the first
// that REMESSA does not take. Returns how many were delivered.
int Entregar(const QString& diretorio);
// How many shipments of the directory wait (on disk and in memory).
int Aguardando(const QString& diretorio);

}  // namespace RemessaPendente
