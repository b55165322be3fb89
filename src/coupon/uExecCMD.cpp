#include "uExecCMD.h"

#include "uBibliot.h"
#include "uCp1252.h"
#include "uCupomDocumento.h"
#include "uDiarioImportacao.h"
#include "uErros.h"
#include "uFalhaTransitoria.h"
#include "uMemTable.h"
#include "uRemessaPendente.h"
#include "uSessao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

using namespace CupomTexto;

namespace {

// Each of the three names removed when it is there; one that stays raises, naming the file.
void Apaga(const QString& caminho)
{
    if (QFileInfo::exists(caminho) && !QFile::remove(caminho))
        throw EInOutError(QStringLiteral("Erro ao apagar: ") + QDir::toNativeSeparators(caminho));
}

}  // namespace

// The write lock of the import is taken at the start of its transaction: the same five attempts
// with growing pauses as every statement of the data access objects, so that another workstation's
// import or a program holding the database a moment does not fail the file.
void TExecCmd::IniciaTransacao(TSessao& sessao)
{
    for (int n = 0;; ++n) {
        TDaoBDE::EsperaTentativa(n);
        try {
            sessao.StartTransaction();
            return;
        } catch (const Exception& e) {
            if (n == 4 || !TExecCmd::ErroDeTrava(e.Message()))
                throw;
            if (Log_)
                Log_->TextoErro(QStringLiteral("Executar comando: Tentativa ") + QString::number(n) + u' ' + e.Message());
        }
    }
}

QString TExecCmd::EmTransacao(TSessao& sessao, const std::function<bool()>& trabalho, bool& passageira)
{
    bool emTransacao = false;
    try {
        IniciaTransacao(sessao);
        emTransacao = true;
        if (trabalho())
            sessao.Commit();
        else
            sessao.Rollback();
        emTransacao = false;
        return {};
    } catch (const std::exception& e) {
        QString causa = MensagemDe(e);
        passageira = FalhaTransitoria(causa);
        if (emTransacao) {
            try {
                sessao.Rollback();
            } catch (const std::exception& r) {
                causa += QStringLiteral(" (desfazer falhou: ") + MensagemDe(r) + u')';
            }
        }
        return causa;
    } catch (...) {
        if (emTransacao)
            sessao.Rollback();
        throw;
    }
}

TExecCmd::TExecCmd(bool CreateSuspended)
{
    Q_UNUSED(CreateSuspended);
}

TExecCmd::~TExecCmd() = default;

QString TExecCmd::NomeCompanheiro(const QString& NomeArquivo, QChar Letra)
{
    const qsizetype ponto = NomeArquivo.lastIndexOf(u'.');
    const QString base = ponto < 0 ? NomeArquivo : NomeArquivo.left(ponto);
    return base + u'.' + Letra + NomeArquivo.mid(10, 2);
}

QString TExecCmd::PastaRejeitados(const QString& Diretorio)
{
    return Diretorio + QStringLiteral("ONLINE/REJEITADOS/");
}

QString TExecCmd::PastaOnline() const { return FDiretorio + QStringLiteral("ONLINE/"); }
QString TExecCmd::CaminhoArquivo() const { return PastaOnline() + FNome_Arquivo; }

bool TExecCmd::EsvaziarDados(TDaoBDE* Dao)
{
    if (!Dao || !Dao->cdsTabela)
        return false;
    Dao->cdsTabela->EmptyDataSet();
    return true;
}

void TExecCmd::MarcarExecutando()
{
    if (!FCDS)
        return;
    TMemTable& cds = *FCDS;
    if (cds.Locate(QStringLiteral("NOME"), FNome_Arquivo)) {
        TCampoMem& executando = cds.FieldByName(QStringLiteral("EXECUTANDO"));
        if (!executando.AsBoolean()) {
            cds.Edit();
            executando.SetAsBoolean(true);
            cds.Post();
        }
        return;
    }
    const int indice = cds.RecordCount() + 1;
    cds.Append();
    cds.FieldByName(QStringLiteral("INDICE")).SetAsInteger(indice);
    cds.FieldByName(QStringLiteral("NOME")).SetAsString(FNome_Arquivo);
    cds.FieldByName(QStringLiteral("EXECUTANDO")).SetAsBoolean(true);
    cds.FieldByName(QStringLiteral("PROCESSADO")).SetAsBoolean(false);
    cds.Post();
}

void TExecCmd::Inicia()
{
    FRuxo = std::make_unique<TRuxo>(FDiretorio);
    if (FControladores) {
        FControladoresUso = FControladores;
    } else {
        FControladoresProprios = std::make_unique<TControladoresCompartilhados>();
        FControladoresUso = FControladoresProprios.get();
    }
    FIndice.clear();
    FMovemEstoque.clear();
    FDiaLiberado = -1;
    FCupomAtual = 0;
    FApagar = false;
    FReservado.clear();
    FHash.clear();
    FCausa.clear();
    FTrava = false;
}

void TExecCmd::Encerra()
{
    if (FLiberaTrava)
        DiarioImportacao::Libera(PastaOnline());
    FRuxo.reset();
    FControladoresProprios.reset();
    FControladoresUso = nullptr;
}

TExecCmd::TReserva TExecCmd::Reservar(const TCancelados& antes)
{
    try {
        DiarioImportacao::Garantir(TSessao::Padrao());
        FReservado = DiarioImportacao::Reserva(PastaOnline(), FNome_Arquivo);
    } catch (const std::exception& e) {
        // Nothing moved: the file stays in ONLINE/ and the next tick tries again.
        Erro(QStringLiteral("Arquivo ") + FNome_Arquivo + QStringLiteral(" não importado: ") + MensagemDe(e));
        return TReserva::Fora;
    }
    if (FReservado.isEmpty()) {
        Simples(QStringLiteral("Arquivo ") + FNome_Arquivo + QStringLiteral(" já importado por outra estação"));
        return TReserva::Fora;
    }
    FAntes = antes;
    DiarioImportacao::GuardaCopiaCancelados(FReservado, FAntes.Existia, FAntes.Conteudo);
    try {
        FHash = DiarioImportacao::HashArquivo(FReservado);
        if (FHash.isEmpty())
            throw EInOutError(QStringLiteral("Não foi possível ler ") + QDir::toNativeSeparators(FReservado));
        FRuxo->Retorno()->Ler(FReservado);
    } catch (const std::exception& e) {
        FCausa = MensagemDe(e);
        return TReserva::Concluir;
    }
    MarcarExecutando();
    // Without any payment line there is nothing to convert and the file just goes.
    if (FRuxo->Retorno()->Reg_013.Count() == 0) {
        FApagar = true;
        return TReserva::Concluir;
    }
    return TReserva::Converter;
}

void TExecCmd::Converter()
{
    if (!ConverterCupons()) {
        FCausa = QStringLiteral("Cupons referente a este dia não serão importados!");
        return;
    }
    TReg_001& cab = FRuxo->Remessa()->Reg_001;
    const TDateTime agora = TDateTime::Now();
    cab.CNPJ = SoNumeros(FCGC_Empresa);
    cab.Data = agora;
    cab.Horario = agora;
    cab.Especifico_para_o_PAF = 0;
    AtualizaEstoque();
    DiarioImportacao::Registra(FNome_Arquivo, FHash);
}

// Only what the ERP now holds goes to Ruxo, so the shipment is written after the commit. The
// import is in the ERP by then, so the file goes as imported; a shipment that REMESSA cannot take
// waits and is delivered by a later cycle.
void TExecCmd::GravaRemessa()
{
    FApagar = true;
    TRemessa& remessa = *FRuxo->Remessa();
    remessa.Reg_099.Registros = remessa.Reg_035.Count();
    if (remessa.Reg_099.Registros > 0)
        RemessaPendente::Enviar(remessa, FDiretorio, FNome_Arquivo);
}

void TExecCmd::Execute()
{
    Inicia();
    TSessao& sessao = TSessao::Padrao();
    try {
        const TReserva reserva = Reservar(LeCancelados());
        if (reserva == TReserva::Fora) {
            Encerra();
            return;
        }
        if (reserva == TReserva::Converter) {
            const QString erro = EmTransacao(sessao, [this] {
                Converter();
                return FCausa.isNull();
            }, FTrava);
            if (!erro.isNull())
                FCausa = erro;
            if (FCausa.isNull())
                GravaRemessa();
        }
        if (!FCausa.isNull()) {
            if (FTrava)
                Devolve(FCausa);
            else
                Rejeita(FCausa);
        }
    } catch (...) {
        Limpeza();
        throw;
    }
    Limpeza();
}

void TExecCmd::AtualizaEstoque()
{
    TRetorno& retorno = *FRuxo->Retorno();
    TRemessa& remessa = *FRuxo->Remessa();
    TEST_SDESTQDaoBDE& dao = *C().EST_SDESTQ->daoSDESTQ;
    const bool primeiroCancelado = retorno.Reg_011.Count() > 0 && retorno.Reg_011.Items(0).Cancelado == u"C";
    const TDateTime agora = TDateTime::Now();
    const QString ano = agora.ToDate().toString(QStringLiteral("yyyy"));
    const QString mes = agora.ToDate().toString(QStringLiteral("MM"));
    const QStringList campos{QStringLiteral("Codigo da Empresa"), QStringLiteral("Codigo do Item"),
                             QStringLiteral("Ano Referencia"), QStringLiteral("Mes Referencia")};

    for (const TReg_012& item : retorno.Reg_012) {
        const bool cancelado = item.Cancelado == u"C";
        if (cancelado && !primeiroCancelado)
            continue;
        // A coupon re-sent by Ruxo finds its document already written and its stock already moved.
        if (!FMovemEstoque.contains(ChaveCupom(item.Numero_do_ECF, item.Numero_do_Cupom)))
            continue;
        FCupomAtual = item.Numero_do_Cupom;
        const QVariantList valores{FCodigo_da_Empresa, item.Codigo_Produto.trimmed(), ano, mes};
        std::unique_ptr<TEST_SDESTQ> saldo = dao.Busca(campos, valores);
        if (saldo->Codigo_da_Empresa.isEmpty())
            continue;
        saldo->Saldo_Atual = cancelado ? saldo->Saldo_Atual + item.Quantidade : saldo->Saldo_Atual - item.Quantidade;
        if (!dao.Atualizar(*saldo, campos, valores))
            throw EDatabaseError(QStringLiteral("Saldo de estoque do item %1 não atualizado").arg(item.Codigo_Produto.trimmed()) +
                                 CausaDao(dao));
        TReg_035& linha = remessa.Reg_035.Add();
        linha.Codigo_do_produto = item.Codigo_Produto;
        linha.Quantidade_em_estoque = saldo->Saldo_Atual;
        linha.Data = agora;
        linha.Hora = agora;
    }
    FCupomAtual = 0;
}

void TExecCmd::Limpeza()
{
    std::unique_ptr<TRuxo> ruxo = std::move(FRuxo);
    FControladoresProprios.reset();
    FControladoresUso = nullptr;

    // Whatever failed on the way, a claimed file that was not imported goes back where the next
    // cycle looks for it; should even that fail, the next start-up's recovery gives it back.
    if (!FApagar && !FReservado.isEmpty() && !QFileInfo::exists(CaminhoArquivo()) &&
        QFile::rename(FReservado, CaminhoArquivo())) {
        try {
            DiarioImportacao::ApagaCopiaCancelados(FReservado);
        } catch (const std::exception&) {
        }
        FReservado.clear();
    }

    // The claimed file goes last: while it is there, a restart after a crash here finds it and
    // finishes the rest.
    const QString arquivo = FReservado.isEmpty() ? CaminhoArquivo() : FReservado;
    if (FApagar) {
        for (int tentativa = 0; tentativa < 6 && QFileInfo::exists(arquivo); ++tentativa) {
            Apaga(PastaOnline() + NomeCompanheiro(FNome_Arquivo, u'A'));
            Apaga(PastaOnline() + NomeCompanheiro(FNome_Arquivo, u'L'));
            if (!FReservado.isEmpty())
                DiarioImportacao::ApagaCopiaCancelados(FReservado);
            Apaga(arquivo);
            // A file another program still holds open may linger a moment after its deletion.
            if (QFileInfo::exists(arquivo))
                QThread::msleep(300);
        }
    }

    // A file still claimed (its deletion failed) keeps the lock, so no recovery takes it while
    // this process lives.
    if (FLiberaTrava && (!QFileInfo::exists(arquivo) || arquivo == CaminhoArquivo()))
        DiarioImportacao::Libera(PastaOnline());

    if (FCDS && FCDS->Locate(QStringLiteral("NOME"), FNome_Arquivo)) {
        if (QFileInfo::exists(arquivo)) {
            FCDS->Edit();
            FCDS->FieldByName(QStringLiteral("PROCESSADO")).SetAsBoolean(true);
            FCDS->Post();
        } else {
            FCDS->Delete();
        }
    }
}

// --- Files that were not imported ----------------------------------------------------------

TExecCmd::TCancelados TExecCmd::LeCancelados() const
{
    QFile arquivo(FRuxo->Retorno()->ArquivoCancelados());
    TCancelados c;
    c.Existia = arquivo.exists();
    if (c.Existia) {
        if (!arquivo.open(QIODevice::ReadOnly))
            throw EInOutError(QStringLiteral("Não foi possível ler ") + QDir::toNativeSeparators(arquivo.fileName()));
        c.Conteudo = arquivo.readAll();
    }
    return c;
}

void TExecCmd::EscreveCancelados(const TCancelados& c) const
{
    const QString caminho = FRuxo->Retorno()->ArquivoCancelados();
    if (c.Existia)
        GravarArquivoAtomico(caminho, c.Conteudo);
    else
        Apaga(caminho);
}

// Reading the file consumed or added entries of the store of items cancelled one by one; a file
// that will be imported again later must find the store as it was, or its cancelled items would
// move stock twice or not at all.
void TExecCmd::RestauraCancelados() { EscreveCancelados(FAntes); }

void TExecCmd::Rejeita(const QString& causa)
{
    QString linha = QStringLiteral("Arquivo ") + FNome_Arquivo + QStringLiteral(" não importado");
    if (FCupomAtual != 0)
        linha += QStringLiteral(", cupom ") + QString::number(FCupomAtual);
    Erro(linha + QStringLiteral(": ") + causa);

    RestauraCancelados();

    const QString destino = PastaRejeitados(FDiretorio);
    if (!QDir().mkpath(destino))
        throw EInOutError(QStringLiteral("Não foi possível criar a pasta ") + QDir::toNativeSeparators(destino));
    const QStringList nomes{FNome_Arquivo, NomeCompanheiro(FNome_Arquivo, u'A'), NomeCompanheiro(FNome_Arquivo, u'L')};
    // One suffix for the three, so that a file and its companions stay recognisable together.
    QString sufixo;
    for (int n = 1;; ++n) {
        bool livre = true;
        for (const QString& nome : nomes)
            livre = livre && !QFileInfo::exists(destino + nome + sufixo);
        if (livre)
            break;
        sufixo = u'.' + QString::number(n);
    }
    for (const QString& nome : nomes) {
        const QString origem = nome == FNome_Arquivo && !FReservado.isEmpty() ? FReservado : PastaOnline() + nome;
        if (QFileInfo::exists(origem) && !QFile::rename(origem, destino + nome + sufixo))
            throw EInOutError(QStringLiteral("Erro ao mover para REJEITADOS: ") + QDir::toNativeSeparators(origem));
    }
    if (!FReservado.isEmpty())
        DiarioImportacao::ApagaCopiaCancelados(FReservado);
    FReservado.clear();
    Atencao(QStringLiteral("Arquivo movido para ") + QDir::toNativeSeparators(destino + FNome_Arquivo + sufixo));
}

void TExecCmd::Devolve(const QString& causa)
{
    Erro(QStringLiteral("Arquivo ") + FNome_Arquivo + QStringLiteral(" não importado: ") + causa);
    RestauraCancelados();
    const QString destino = CaminhoArquivo();
    if (!QFile::rename(FReservado, destino))
        throw EInOutError(QStringLiteral("Não foi possível devolver ") + QDir::toNativeSeparators(FReservado) +
                          QStringLiteral(" para ") + QDir::toNativeSeparators(destino));
    DiarioImportacao::ApagaCopiaCancelados(FReservado);
    FReservado.clear();
    // The list must not keep the name, or the cycle would take the file for one left behind
    // and never look at it again.
    if (FCDS && FCDS->Locate(QStringLiteral("NOME"), FNome_Arquivo))
        FCDS->Delete();
    Atencao(DescricaoFalhaBanco(ClassificaFalhaBanco(causa)) + QStringLiteral(": o arquivo ") + FNome_Arquivo +
            QStringLiteral(" fica para o próximo ciclo"));
}

void TExecCmd::Desfazer()
{
    std::unique_ptr<TRuxo> ruxo = std::move(FRuxo);
    FControladoresProprios.reset();
    FControladoresUso = nullptr;
    FApagar = false;
    if (FCDS && FCDS->Locate(QStringLiteral("NOME"), FNome_Arquivo))
        FCDS->Delete();
    if (FReservado.isEmpty())
        return;
    if (!QFile::rename(FReservado, CaminhoArquivo()))
        throw EInOutError(QStringLiteral("Não foi possível devolver ") + QDir::toNativeSeparators(FReservado) +
                          QStringLiteral(" para ") + QDir::toNativeSeparators(CaminhoArquivo()));
    DiarioImportacao::ApagaCopiaCancelados(FReservado);
    FReservado.clear();
}

int TExecCmd::Recuperar(const QString& Diretorio) { return DiarioImportacao::Recuperar(Diretorio); }

bool TExecCmd::ErroDeTrava(const QString& mensagem) { return TDaoBDE::ErroDeTrava(mensagem); }
