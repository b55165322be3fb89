#pragma once

#include "uExecCMD.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Several coupon files of one tick imported inside one transaction.
//
// Every durable commit of the ERP costs a few journal syncs per database file it touches, which
// for a file of a handful of coupons is most of its import: the catch-up after a day offline
// (thousands of small files) would take many times the import of the same coupons in one file.
// A batch claims and reads its files one after the other, converts them all inside one
// transaction, commits once, and only then writes each file's shipment and removes the files.
//
// Each file is still all-or-nothing, and the exactly-once design of uDiarioImportacao.h holds for
// the batch as it does for one file: each claimed file carries a copy of CANCELADOS.V as it was
// before the batch's first file was read (so a recovery that finds the batch uncommitted puts the
// store back to that, whichever file it restores last), and every file's journal entry is in the
// one transaction, so a crash leaves all of the batch committed or none of it.
//
// Should anything of a batch fail, the batch is rolled back, the store and the claimed files go
// back to how the tick found them, and each file is imported again alone, so that only the file
// at fault is rejected, with its own error line. When the failure was a locked database, the
// files are left for the next cycle instead, without waiting once more for each.
class TLoteImportacao
{
public:
    // What a batch may hold: the first file always; then up to this many files and bytes.
    static constexpr int MaximoArquivos = 50;
    static constexpr qint64 MaximoBytes = 2 * 1024 * 1024;

    // The values every task of the batch gets.
    struct TDados
    {
        QString Codigo_da_Empresa;
        QString CGC_Empresa;
        QString Codigo_do_Usuario;
        QString Nome_do_Usuario;
        QString Diretorio;  // the monitored directory, ending with the path separator
        TMemTable* FCDS = nullptr;
        TControladoresCompartilhados* FControladores = nullptr;
        // Asked before each file is claimed; a stop request leaves the rest of the files where
        // they are and commits those already read.
        std::function<bool()> Parar;
    };

    explicit TLoteImportacao(TDados dados);

    // Whether a file of this size still fits (a batch that holds nothing takes any file).
    bool Cabe(qint64 tamanho) const;
    TExecCmd& Adiciona(const QString& nome, qint64 tamanho);
    const std::vector<std::unique_ptr<TExecCmd>>& Tarefas() const { return FTarefas; }

    void Executar();
    bool PedidoParada() const { return FDados.Parar && FDados.Parar(); }

    // The files of a tick, in the given order, cut into batches each handed to `executor`.
    static void ImportarArquivos(const TDados& dados, const QStringList& nomes,
                                 const std::function<void(TLoteImportacao&)>& executor);

private:
    void ExecutarJuntos();
    void Concluir(const std::vector<TExecCmd*>& lidos);
    void LiberaReservas(const std::vector<TExecCmd*>& lidos) const;
    void Desfazer(const std::vector<TExecCmd*>& lidos, const TExecCmd::TCancelados& antes);

    TDados FDados;
    std::vector<std::unique_ptr<TExecCmd>> FTarefas;
    qint64 FBytes = 0;
};
