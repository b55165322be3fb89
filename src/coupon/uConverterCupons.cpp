// The frame of the conversion: the day check, the document header and its parties, and the
// final writing of the buffered rows.

#include "uExecCMD.h"

#include "uBibliot.h"
#include "uCupomDocumento.h"
#include "uErros.h"
#include "uMemTable.h"
#include "uSys.h"

#include <QSet>

using namespace CupomTexto;

namespace {

const QStringList& CamposDocumento()
{
    static const QStringList campos{QStringLiteral("Codigo da Empresa"), QStringLiteral("Numero do Documento"),
                                    QStringLiteral("Serie do Documento")};
    return campos;
}

// A controller slot that is empty, or whose DAO is gone, gets a new controller; otherwise its
// buffered rows are dropped so that nothing of an earlier run is inserted with this one.
template <class TController>
void Prepara(std::unique_ptr<TController>& slot, const std::function<bool(TDaoBDE*)>& esvaziar)
{
    if (!slot || !esvaziar(slot->Dao()))
        slot = std::make_unique<TController>();
}

}  // namespace

void TExecCmd::PreparaControladores()
{
    const auto esvaziar = [this](TDaoBDE* dao) { return EsvaziarDados(dao); };
    TControladoresCompartilhados& c = C();
    Prepara(c.CAD_DESTINAT, esvaziar);
    Prepara(c.CAD_CIDADES, esvaziar);
    Prepara(c.CAD_CARTOES, esvaziar);
    Prepara(c.CAD_REPRESEN, esvaziar);
    Prepara(c.CAD_TPPAGTO, esvaziar);
    Prepara(c.VEN_CONDPGTO, esvaziar);
    Prepara(c.VEN_NOTAC, esvaziar);
    Prepara(c.VEN_NOTAI, esvaziar);
    Prepara(c.VEN_NOTAV, esvaziar);
    Prepara(c.VEN_RUXO_FP, esvaziar);
    Prepara(c.VEN_TBPRCAB, esvaziar);
    Prepara(c.EST_ITENS, esvaziar);
    // Document types and stock balances are only looked up and updated, never buffered.
    c.CriaPasso(12);
    c.CriaPasso(13);
}

void TExecCmd::MontaIndice()
{
    FIndice.clear();
    const TRetorno& r = *FRuxo->Retorno();
    FIndice.reserve(r.Reg_011.Count());
    int i = 0;
    for (const TReg_012& item : r.Reg_012)
        FIndice[ChaveCupom(item.Numero_do_ECF, item.Numero_do_Cupom)].Itens.push_back(i++);
    i = 0;
    for (const TReg_013& pagamento : r.Reg_013)
        FIndice[ChaveCupom(pagamento.Numero_do_ECF, pagamento.Numero_do_Cupom)].Pagamentos.push_back(i++);
}

bool TExecCmd::ConverterCupons()
{
    Simples(QStringLiteral("Aguarde, Convertendo Cupom"));
    bool resultado = true;
    int recusado = 0;
    PreparaControladores();
    MontaIndice();
    // The buffered rows are written every so many coupons, still inside the file's one
    // transaction, so that a file of any size holds a bounded number of rows in memory. A coupon
    // met again before its rows went out (its cancellation further down the same file, or Ruxo
    // writing it twice) writes them first: its look-up must find its document, as it would in a
    // later file, wherever the flushes happen to fall.
    QSet<quint64> pendentes;
    for (const TReg_011& cupom : FRuxo->Retorno()->Reg_011) {
        const quint64 chave = ChaveCupom(cupom.Numero_do_ECF, cupom.Numero_do_Cupom);
        if (pendentes.size() >= CuponsPorGravacao() || pendentes.contains(chave)) {
            GravaBuffers();
            pendentes.clear();
        }
        FCupomAtual = cupom.Numero_do_Cupom;
        if (!DiaLiberado()) {
            if (resultado)
                recusado = cupom.Numero_do_Cupom;
            resultado = false;
            Atencao(QStringLiteral("Cupons referente a este dia não serão importados!"));
            continue;
        }
        ConverteCupom(cupom);
        pendentes.insert(chave);
    }
    GravaBuffers();
    FCupomAtual = recusado;
    return resultado;
}

// Every coupon is judged by the file's first coupon, so the answer is the same for all of them
// and the day-closing table is read once per file.
bool TExecCmd::DiaLiberado()
{
    if (FDiaLiberado >= 0)
        return FDiaLiberado == 1;
    const TReg_011& primeiro = FRuxo->Retorno()->Reg_011.Items(0);
    TControladoresCompartilhados& c = C();
    struct TLibera
    {
        std::unique_ptr<TVEN_ECF_CController>& slot;
        ~TLibera() { slot.reset(); }
    } libera{c.VEN_ECF_C};
    c.VEN_ECF_C = std::make_unique<TVEN_ECF_CController>();

    // The look-up is made also when the restart counter is still unknown: that is exactly when
    // the series needs it, and a day without its closing record must be refused either way.
    std::unique_ptr<TVEN_ECF_C> reducao = c.VEN_ECF_C->daoECF_C->Busca(
        {QStringLiteral("Numero do ECF"), QStringLiteral("Codigo da Empresa"), QStringLiteral("Data")},
        {primeiro.Numero_do_ECF, Sys_.Codigo_da_Empresa, QVariant::fromValue(primeiro.Data.DatePart())});
    if (reducao->Codigo_da_Empresa.isEmpty()) {
        FDiaLiberado = 0;
        return false;
    }
    if (primeiro.Data.ToDate() == TDateTime::Date().ToDate()) {
        bool ok = false;
        const int cro = reducao->Reinicio_Operacao.trimmed().toInt(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' não é um número inteiro válido (reinício de operação do ECF %2)")
                                    .arg(reducao->Reinicio_Operacao)
                                    .arg(primeiro.Numero_do_ECF));
        Sys_.Numero_do_CRO = FormataTexto(QString::number(cro), 2, u'N');
    }
    FDiaLiberado = 1;
    return true;
}

void TExecCmd::ConverteCupom(const TReg_011& cupom)
{
    TDocumentoCupom doc;
    doc.Numero = FormataTexto(QString::number(cupom.Numero_do_Cupom), 6, u'N').left(6);
    doc.Serie = u'X' + QString::number(cupom.Numero_do_ECF) + Sys_.Numero_do_CRO;

    TVEN_NOTACDaoBDE& dao = *C().VEN_NOTAC->daoNOTAC;
    doc.Cabecalho = dao.Busca(CamposDocumento(), {Sys_.Codigo_da_Empresa, doc.Numero, doc.Serie});
    TVEN_NOTAC& cab = *doc.Cabecalho;
    if (!cab.Codigo_da_Empresa.isEmpty()) {
        // A coupon seen before: only its cancellation is news; its items and payments stay.
        if (cupom.Cancelado == u"C" && cab.Situacao != u"C") {
            // Its sale took the stock out once; the cancellation gives it back once.
            FMovemEstoque.insert(ChaveCupom(cupom.Numero_do_ECF, cupom.Numero_do_Cupom));
            cab.Situacao = QStringLiteral("C");
            if (!dao.Atualizar(cab, CamposDocumento(),
                               {cab.Codigo_da_Empresa, cab.Numero_do_Documento, cab.Serie_do_Documento}))
                throw EDatabaseError(QStringLiteral("Cancelamento do documento %1 série %2 não gravado")
                                         .arg(cab.Numero_do_Documento, cab.Serie_do_Documento) +
                                     CausaDao(dao));
        }
        return;
    }

    FMovemEstoque.insert(ChaveCupom(cupom.Numero_do_ECF, cupom.Numero_do_Cupom));
    PreencheCabecalho(cupom, doc);
    Cliente(cupom, doc);
    Representante(cupom, doc);
    TabelaPreco(cupom, doc);
    static const TIndiceCupom vazio;
    const auto it = FIndice.constFind(ChaveCupom(cupom.Numero_do_ECF, cupom.Numero_do_Cupom));
    const TIndiceCupom& indice = it == FIndice.constEnd() ? vazio : it.value();
    Itens(cupom, indice, doc);
    Pagamentos(cupom, indice, doc);
    TotaisImpostos(doc);
    CondicoesPagamento(cupom, doc);
}

void TExecCmd::PreencheCabecalho(const TReg_011& cupom, TDocumentoCupom& doc)
{
    TVEN_NOTAC& cab = *doc.Cabecalho;
    cab.Codigo_da_Empresa = Sys_.Codigo_da_Empresa;
    cab.Nome_Fantasia_Empresa = Sys_.Nome_Fantasia_Empresa;
    cab.Numero_do_Documento = doc.Numero;

    std::unique_ptr<TCAD_TPDOCTOS> tipo =
        C().CAD_TPDOCTOS->daoTPDOCTOS->Busca({QStringLiteral("Codigo do Documento")}, {doc.Serie});
    if (!tipo->Codigo_do_Documento.isEmpty()) {
        cab.Codigo_do_Documento = tipo->Codigo_do_Documento;
        cab.Tipo_do_Documento = tipo->Tipo_do_Documento;
    }
    cab.Serie_do_Documento = doc.Serie;

    cab.Data_de_Emissao = cupom.Data;
    cab.Data_de_Saida = cupom.Data;
    cab.Hora_de_Saida = cupom.Horario_de_inicio.ToTime().toString(QStringLiteral("hh:mm"));

    cab.Codigo_da_Destinacao = Sys_.Codigo_da_Destinacao;
    cab.Descricao_da_Destinacao = Sys_.Descricao_da_Destinacao;
    cab.CFO = Sys_.CFO;
    cab.Atualiza_Estoque = Sys_.Atualiza_Estoque;
    cab.Tipo_Movimento_Estoque = Sys_.Tipo_Movimento_Estoque;
    cab.Codigo_da_Transportadora = Sys_.Codigo_da_Transportadora;
    cab.Nome_Fantasia_Transport = Sys_.Nome_Fantasia_Transport;
    cab.Placa_do_Veiculo = Sys_.Placa_do_Veiculo;
    cab.UF_Veiculo = Sys_.UF_Veiculo;
    cab.Frete_por_Conta = QStringLiteral("1");

    cab.Valor_do_Desconto = cupom.Valor_do_desconto;
    cab.Valor_Despesas_Acessorias = cupom.Valor_do_Acrescimo;
    cab.Valor_Mercadoria = cupom.Valor_dos_Produtos;
    cab.Valor_Desconto = cupom.Valor_do_desconto;
    cab.Valor_Mercadoria_Liquido = cupom.Valor_dos_Produtos - cupom.Valor_do_desconto;
    cab.Valor_Nota_Fiscal = cupom.Valor_do_Cupom;
    cab.Frete_Incluso_na_Nota = QStringLiteral(":");
    cab.Situacao = cupom.Cancelado;
    cab.Sistema_Gerador = QStringLiteral("CF");
    cab.Numero_da_Of = FormataTexto(QString::number(cupom.Numero_do_ECF), 6, u'N');
    cab.Observacao_na_Nota_Fiscal =
        SemBrancosFinais(SemBrancosFinais(cupom.Obs_1) + QStringLiteral("   ") + cupom.Obs_2);

    doc.Percentual = CupomCalculo::PercentualDesconto(cab.Valor_Desconto, cab.Valor_Mercadoria);

    if (cupom.Numero_do_DAV > 0)
        cab.Numero_DAV_PreVenda = FormataTexto(QString::number(cupom.Numero_do_DAV), 13, u'N');
    if (cupom.Numero_da_Prevenda > 0)
        cab.Numero_DAV_PreVenda = FormataTexto(QString::number(cupom.Numero_da_Prevenda), 13, u'N');
}

void TExecCmd::Cliente(const TReg_011& cupom, TDocumentoCupom& doc)
{
    TCAD_DESTINATDaoBDE& dao = *C().CAD_DESTINAT->daoDESTINAT;
    const QStringList campo{QStringLiteral("Codigo")};
    std::unique_ptr<TCAD_DESTINAT> cliente = dao.Busca(campo, {cupom.Codigo_Cliente});
    const bool cadastrado = !cliente->Codigo.isEmpty();
    if (!cadastrado)
        cliente = dao.Busca(campo, {Sys_.Codigo_do_Cliente});

    TVEN_NOTAC& cab = *doc.Cabecalho;
    cab.Codigo = cliente->Codigo;
    cab.Razao_Social = cliente->Razao_Social;
    cab.Tipo = cliente->Tipo;
    cab.Nome_Fantasia_EmitDest = cliente->Nome_Fantasia_EmitDest;
    cab.Tipo_Pessoa = cliente->Tipo_Pessoa;
    cab.Consumidor_Final = cliente->Consumidor_Final;
    cab.Cidade = cliente->Cidade;
    cab.UF = cliente->UF;
    cab.CGC = cliente->CGC;
    cab.IE = cliente->IE;
    cab.Endereco = cliente->Endereco;
    cab.CEP = cliente->CEP;
    cab.Bairro = cliente->Bairro;
    cab.Telefone = cliente->Telefone;

    // A customer typed at the till replaces the default customer's name and address.
    if (cadastrado || cupom.Nome_cliente.isEmpty())
        return;
    cab.Razao_Social = cupom.Nome_cliente;
    cab.Endereco = cupom.Endereco;
    cab.Bairro = cupom.Bairro;
    cab.Telefone = cupom.Telefone;
    cab.CGC = FormataCPFCNPJ(cupom.CNPJ_CPF);
    cab.Tipo_Pessoa = SoNumeros(cupom.CNPJ_CPF).size() >= 14 ? QStringLiteral("JURIDICA") : QStringLiteral("FISICA");
    std::unique_ptr<TCAD_CIDADES> cidade = C().CAD_CIDADES->daoCIDADES->Busca(
        {QStringLiteral("Cidade"), QStringLiteral("UF")}, {cupom.Cidade, cupom.UF});
    cab.Cidade = cidade->Cidade;
    cab.UF = cidade->UF;
}

void TExecCmd::Representante(const TReg_011& cupom, TDocumentoCupom& doc)
{
    TCAD_REPRESENDaoBDE& dao = *C().CAD_REPRESEN->daoREPRESEN;
    const QStringList campo{QStringLiteral("Codigo do Representante")};
    std::unique_ptr<TCAD_REPRESEN> rep = dao.Busca(campo, {cupom.Vendedor});
    if (rep->Codigo_do_Representante.isEmpty())
        rep = dao.Busca(campo, {Sys_.Codigo_do_Vendedor});
    doc.Cabecalho->Codigo_do_Representante = rep->Codigo_do_Representante;
    doc.Cabecalho->Nome_Fantasia_Represent = rep->Nome_Fantasia_Represent;
}

void TExecCmd::TabelaPreco(const TReg_011& cupom, TDocumentoCupom& doc)
{
    std::unique_ptr<TVEN_TBPRCAB> tabela =
        C().VEN_TBPRCAB->daoTBPRCAB->Busca({QStringLiteral("Codigo da Tabela")}, {cupom.Tabela_de_Precos});
    doc.Cabecalho->Codigo_da_Tabela = tabela->Codigo_da_Tabela;
}

int& CupomTexto::CuponsPorGravacao()
{
    // About 12 KiB of buffered rows per coupon of three items: a few MiB at a time.
    static int cupons = 500;
    return cupons;
}

// Headers first, then items, then instalments, each in the order they were buffered; the
// buffers are left empty for the coupons that follow.
void TExecCmd::GravaBuffers()
{
    TDaoBDE* daos[] = {C().VEN_NOTAC->daoNOTAC, C().VEN_NOTAI->daoNOTAI, C().VEN_NOTAV->daoNOTAV};
    for (TDaoBDE* dao : daos) {
        TMemTable& cds = *dao->cdsTabela;
        TCampoMem& numero = cds.FieldByName(QStringLiteral("Numero_do_Documento"));
        for (cds.First(); !cds.Eof(); cds.Next()) {
            FCupomAtual = numero.AsString().toInt();
            if (!dao->Inserir())
                throw EDatabaseError(QStringLiteral("%1 do documento %2 não gravado")
                                         .arg(NomeCompletoTabela(dao->Tabela()), numero.AsString()) +
                                     CausaDao(*dao));
        }
    }
    for (TDaoBDE* dao : daos)
        dao->cdsTabela->EmptyDataSet();
}
