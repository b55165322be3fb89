#include "uLoteImportacao.h"

#include "uCupomDocumento.h"
#include "uDiarioImportacao.h"
#include "uErros.h"
#include "uFalhaTransitoria.h"
#include "uRuxo.h"
#include "uSessao.h"

#include <QFileInfo>

#include <algorithm>
#include <exception>

using namespace CupomTexto;

TLoteImportacao::TLoteImportacao(TDados dados) : FDados(std::move(dados)) {}

bool TLoteImportacao::Cabe(qint64 tamanho) const
{
    return FTarefas.empty() || (int(FTarefas.size()) < MaximoArquivos && FBytes + tamanho <= MaximoBytes);
}

TExecCmd& TLoteImportacao::Adiciona(const QString& nome, qint64 tamanho)
{
    auto tarefa = std::make_unique<TExecCmd>(true);
    tarefa->FCDS = FDados.FCDS;
    tarefa->FControladores = FDados.FControladores;
    tarefa->SetCodigo_da_Empresa(FDados.Codigo_da_Empresa);
    tarefa->SetCGC_Empresa(FDados.CGC_Empresa);
    tarefa->SetCodigo_do_Usuario(FDados.Codigo_do_Usuario);
    tarefa->SetNome_do_Usuario(FDados.Nome_do_Usuario);
    tarefa->SetNome_Arquivo(nome);
    tarefa->SetDiretorio(FDados.Diretorio);
    FTarefas.push_back(std::move(tarefa));
    FBytes += tamanho;
    return *FTarefas.back();
}

void TLoteImportacao::ImportarArquivos(const TDados& dados, const QStringList& nomes,
                                       const std::function<void(TLoteImportacao&)>& executor)
{
    const QString online = dados.Diretorio + QStringLiteral("ONLINE/");
    for (qsizetype i = 0; i < nomes.size();) {
        if (dados.Parar && dados.Parar())
            return;
        TLoteImportacao lote(dados);
        for (; i < nomes.size(); ++i) {
            const qint64 tamanho = QFileInfo(online + nomes[i]).size();
            if (!lote.Cabe(tamanho))
                break;
            lote.Adiciona(nomes[i], tamanho);
        }
        executor(lote);
    }
}

void TLoteImportacao::Executar()
{
    if (FTarefas.size() == 1) {
        if (!PedidoParada())
            FTarefas.front()->Execute();
        return;
    }
    if (!FTarefas.empty())
        ExecutarJuntos();
}

void TLoteImportacao::ExecutarJuntos()
{
    TSessao& sessao = TSessao::Padrao();
    std::vector<TExecCmd*> lidos;     // claimed and read, in order
    std::vector<TExecCmd*> converter; // those of them with coupons
    TExecCmd::TCancelados antes;
    QString causa;
    bool passageira = false;
    bool falhou = false;

    for (const auto& t : FTarefas)
        t->FLiberaTrava = false;
    std::vector<const TExecCmd*> fora;  // not claimed: nothing of them to finish or redo
    TExecCmd& primeira = *FTarefas.front();
    try {
        primeira.Inicia();
        antes = primeira.LeCancelados();
        for (const auto& t : FTarefas) {
            if (PedidoParada())
                break;
            if (t.get() != &primeira)
                t->Inicia();
            // Listed before the claim, so that whatever fails after it gives the file back.
            lidos.push_back(t.get());
            const TExecCmd::TReserva reserva = t->Reservar(antes);
            if (reserva == TExecCmd::TReserva::Fora) {
                lidos.pop_back();
                fora.push_back(t.get());
                t->Encerra();
                continue;
            }
            if (reserva == TExecCmd::TReserva::Converter)
                converter.push_back(t.get());
            // An unreadable file is rejected by its own import below, with its own line.
            if (!t->FCausa.isNull()) {
                falhou = true;
                break;
            }
        }
    } catch (const std::exception& e) {
        causa = MensagemDe(e);
        falhou = true;
    }

    if (!falhou && !converter.empty()) {
        try {
            const QString erro = TExecCmd::EmTransacao(sessao, [&converter, &falhou] {
                for (TExecCmd* t : converter) {
                    t->Converter();
                    if (!t->FCausa.isNull()) {
                        falhou = true;
                        return false;
                    }
                }
                return true;
            }, passageira);
            if (!erro.isNull()) {
                causa = erro;
                falhou = true;
            }
        } catch (...) {
            Desfazer(lidos, antes);
            throw;
        }
    }

    if (!falhou) {
        for (TExecCmd* t : converter)
            t->GravaRemessa();
        Concluir(lidos);
        return;
    }

    Desfazer(lidos, antes);
    if (passageira) {
        Erro(QStringLiteral("Arquivos %1 a %2 não importados: ")
                 .arg(lidos.front()->Nome_Arquivo(), lidos.back()->Nome_Arquivo()) +
             causa);
        Atencao(DescricaoFalhaBanco(ClassificaFalhaBanco(causa)) +
                QStringLiteral(": os %1 arquivos ficam para o próximo ciclo").arg(lidos.size()));
        return;
    }
    // Alone, each file is imported or rejected on its own, with the line that tells why.
    for (const auto& t : FTarefas) {
        if (PedidoParada())
            return;
        if (std::find(fora.begin(), fora.end(), t.get()) != fora.end())
            continue;
        t->FLiberaTrava = true;
        t->Execute();
    }
}

namespace {

// Runs `passo` for every file, even after one raised, so that no file is left half done while
// this process lives; returns the first failure (or `falha`, when one came before).
template <class TPasso>
std::exception_ptr ParaCadaArquivo(const std::vector<TExecCmd*>& lidos, TPasso passo, std::exception_ptr falha = {})
{
    for (TExecCmd* t : lidos) {
        try {
            passo(*t);
        } catch (...) {
            if (!falha)
                falha = std::current_exception();
        }
    }
    return falha;
}

}  // namespace

// The claim folder's lock goes once no file of the batch is still claimed; a file whose clean-up
// failed keeps it, so that no recovery of another process takes the file while this one lives.
void TLoteImportacao::LiberaReservas(const std::vector<TExecCmd*>& lidos) const
{
    for (const TExecCmd* t : lidos)
        if (!t->FReservado.isEmpty() && QFileInfo::exists(t->FReservado))
            return;
    DiarioImportacao::Libera(FDados.Diretorio + QStringLiteral("ONLINE/"));
}

void TLoteImportacao::Concluir(const std::vector<TExecCmd*>& lidos)
{
    const std::exception_ptr falha = ParaCadaArquivo(lidos, [](TExecCmd& t) { t.Limpeza(); });
    LiberaReservas(lidos);
    if (falha)
        std::rethrow_exception(falha);
}

void TLoteImportacao::Desfazer(const std::vector<TExecCmd*>& lidos, const TExecCmd::TCancelados& antes)
{
    std::exception_ptr falha;
    // The store first: Desfazer lets go of the task's Ruxo, through which the store is reached.
    try {
        if (!lidos.empty())
            lidos.front()->EscreveCancelados(antes);
    } catch (...) {
        falha = std::current_exception();
    }
    falha = ParaCadaArquivo(lidos, [](TExecCmd& t) { t.Desfazer(); }, falha);
    LiberaReservas(lidos);
    if (falha)
        std::rethrow_exception(falha);
}
