// Coupon items: catalogue match, prices, taxes, CFOP, and the document's tax totals.

#include "uExecCMD.h"

#include "uChecaCST.h"
#include "uCupomDocumento.h"
#include "uPegaCFOP.h"
#include "uSys.h"

using namespace CupomTexto;
using namespace CupomCalculo;

namespace {

void CopiaCatalogo(const TEST_ITENS& c, TVEN_NOTAI& row)
{
    row.Codigo_do_Item = c.Codigo_do_Item;
    row.Tipo_do_Item = c.Tipo_do_Item;
    row.Descricao_do_Item = c.Descricao_do_Item;
    row.Unidade_Fiscal = c.Unidade_Fiscal;
    row.Tributacao_de_IPI = QStringLiteral("O");
    row.Aliquota_Reduzida_BCIPI = Currency();
    row.Aliquota_de_IPI = Currency();
    row.Tributacao_de_ICMS = c.Tributacao_de_ICMS;
    row.Aliquota_Reduzida_BCICMS = c.Aliquota_Reduzida_BCICMS;
    row.Aliquota_de_ICMS = c.Aliquota_de_ICMS;
    row.Tributacao_de_ISSQN = c.Tributacao_de_ISSQN;
    row.Aliquota_de_ISSQN = c.Aliquota_de_ISSQN;
    row.Tributacao_de_INSS = c.Tributacao_de_INSS;
    row.Aliquota_de_INSS = c.Aliquota_de_INSS;
    row.Tipo_Tributacao = c.Tipo_Tributacao;
    row.Edita_Descricao_do_Item = c.Edita_Descricao_do_Item;
    row.Comissao_do_Item = c.Comissao_do_Item;
    row.Peso_Liquido = c.Peso_Liquido;
    row.Peso_Embalagem = c.Peso_Embalagem;
    row.Volumes = c.Volumes;
    row.COFINS_Aliquota = c.COFINS_Aliquota;
    row.COFINS_CST = c.COFINS_CST;
    row.CSOSN = c.CSOSN;
    row.IPI_CST = c.IPI_CST;
    row.NCM = c.NCM;
    row.PIS_Aliquota = c.PIS_Aliquota;
    row.PIS_CST = c.PIS_CST;
}

// Only an amount of zero or less adds its own tax to a slot: for a positive total the document
// total is computed again from the slot's total.
void SomaValorSeNaoPositivo(TSlotAliquota* slot, Currency precoTotal, Currency valor)
{
    if (slot && !(precoTotal > Currency()))
        slot->Valor += valor;
}

const Currency Zero;

}  // namespace

void TExecCmd::Itens(const TReg_011& cupom, const TIndiceCupom& indice, TDocumentoCupom& doc)
{
    Q_UNUSED(cupom);
    const TRetorno& r = *FRuxo->Retorno();
    const bool primeiroCancelado = r.Reg_011.Items(0).Cancelado == u"C";
    for (int i : indice.Itens) {
        const TReg_012& item = r.Reg_012.Items(i);
        if (item.Cancelado == u"C" && !primeiroCancelado)
            continue;
        Item(item, doc);
    }
}

void TExecCmd::Item(const TReg_012& item, TDocumentoCupom& doc)
{
    const TVEN_NOTAC& cab = *doc.Cabecalho;
    TVEN_NOTAIDaoBDE& dao = *C().VEN_NOTAI->daoNOTAI;
    std::unique_ptr<TVEN_NOTAI> linha = dao.Busca(
        {QStringLiteral("Codigo da Empresa"), QStringLiteral("Numero do Documento"), QStringLiteral("Serie do Documento"),
         QStringLiteral("Item do Documento")},
        {Sys_.Codigo_da_Empresa, doc.Numero, doc.Serie, item.Ordem_do_item});
    if (!linha->Codigo_da_Empresa.isEmpty())
        return;

    TVEN_NOTAI& row = *linha;
    row.Codigo_da_Empresa = Sys_.Codigo_da_Empresa;
    row.Numero_do_Documento = doc.Numero;
    row.Serie_do_Documento = doc.Serie;
    row.Item_do_Documento = item.Ordem_do_item;
    row.Situacao_Item = item.Cancelado;
    row.Descricao_do_Item = item.Descricao_do_produto;
    row.Unidade_Fiscal = item.Unidade;

    TEST_ITENSDaoBDE& itens = *C().EST_ITENS->daoITENS;
    const QStringList porCodigo{QStringLiteral("Codigo do Item")};
    std::unique_ptr<TEST_ITENS> catalogo;
    if (!item.Codigo_adicional_informado.isEmpty()) {
        catalogo = itens.Busca({QStringLiteral("Codigo de Barras")}, {item.Codigo_adicional_informado});
        if (catalogo->Codigo_do_Item.isEmpty())
            catalogo = itens.Busca(porCodigo, {item.Codigo_adicional_informado});
        // The additional code must name this very product; a bar code of another item does not
        // stand for it.
        if (!catalogo->Codigo_do_Item.isEmpty() && catalogo->Codigo_do_Item != item.Codigo_Produto)
            catalogo = itens.Busca(porCodigo, {item.Codigo_Produto});
    }
    if (catalogo && !catalogo->Codigo_do_Item.isEmpty()) {
        CopiaCatalogo(*catalogo, row);
    } else {
        Erro(QStringLiteral("Codigo do Item/Codigo de Barras não cadastrado !"));
        Erro(QStringLiteral("Cupom Fiscal: X") + QString::number(item.Numero_do_ECF) + Sys_.Numero_do_CRO +
             QStringLiteral(" - ") + doc.Numero);
        Erro(QStringLiteral("Codigo: ") + item.Codigo_Produto);
        Erro(QStringLiteral("LanÇamento inválido!"));
        Espaco();
    }

    const Currency Q = item.Quantidade, P = item.Preco_de_venda, D = item.Valor_do_desconto, A = item.Valor_do_acrescimo;
    row.Quantidade = Q;
    row.Preco_Unitario = P + A;
    row.Valor_Desconto_Unitario = D;
    row.Preco_Unitario_Tabela = P;
    row.Preco_Total = PrecoTotal(Q, P, D, item.IAT);
    row.Taxa_Desconto_Total = doc.Percentual;
    row.Valor_Desconto_Total = DescontoItem(row.Preco_Total, doc.Percentual);
    Currency base = row.Preco_Total - row.Valor_Desconto_Total;
    const bool cancelado = row.Situacao_Item == u"C";

    if (item.Servico != u"S") {
        base = BaseReduzida(base, row.Aliquota_Reduzida_BCICMS);
        if (row.Aliquota_de_ICMS > Zero && base > Zero) {
            row.Valor_do_ICMS = Imposto(base, row.Aliquota_de_ICMS);
            row.ICMS_BC = base;
        }
        if (row.Tributacao_de_ICMS == u"D" && !cancelado)
            SomaValorSeNaoPositivo(doc.ICMS.Coloca(row.Aliquota_de_ICMS, row.Aliquota_Reduzida_BCICMS, row.Preco_Total),
                                   row.Preco_Total, row.Valor_do_ICMS);
    } else if (row.Tributacao_de_ISSQN == u"D" && !cancelado) {
        doc.Servico = true;
        if (row.Aliquota_de_ISSQN > Zero && row.Preco_Total > Zero) {
            row.Valor_do_ISSQN = Imposto(row.Preco_Total, row.Aliquota_de_ISSQN);
            row.ISSQN_BC = row.Preco_Total;
        }
        SomaValorSeNaoPositivo(doc.ISSQN.Coloca(row.Aliquota_de_ISSQN, Zero, row.Preco_Total), row.Preco_Total,
                               row.Valor_do_ISSQN);
    }

    if (row.PIS_Aliquota > Zero) {
        row.PIS_Valor = Imposto(base, row.PIS_Aliquota);
        row.PIS_BC = base;
    }
    if (!row.PIS_CST.isEmpty() && Checa_CST(2, cab.Tipo_Movimento_Estoque, row.PIS_CST) == u"C" && !cancelado)
        if (TSlotAliquota* s = doc.PIS.Coloca(row.PIS_Aliquota, Zero, row.Preco_Total))
            s->Valor += row.PIS_Valor;

    if (row.COFINS_Aliquota > Zero) {
        row.COFINS_Valor = Imposto(base, row.COFINS_Aliquota);
        row.COFINS_BC = base;
    }
    if (!row.COFINS_CST.isEmpty() && Checa_CST(3, cab.Tipo_Movimento_Estoque, row.COFINS_CST) == u"C" && !cancelado)
        if (TSlotAliquota* s = doc.COFINS.Coloca(row.COFINS_Aliquota, Zero, row.Preco_Total))
            s->Valor += row.COFINS_Valor;

    TPegaCFOP cfop(cab.Tipo_Movimento_Estoque, cab.CFO, row.Tipo_do_Item, row.Tributacao_de_ICMS, row.Tipo_Tributacao,
                   cab.Codigo_da_Empresa, Sys_.Atividade_da_Empresa);
    cfop.PegaCFOP();
    row.CFO = cfop.CFO_C();
    row.Tipo_Tributacao = cfop.CFOP_TPTRIB();

    row.Codigo_da_Tabela = cab.Codigo_da_Tabela;
    dao.Add(row);
}

void TExecCmd::TotaisImpostos(TDocumentoCupom& doc)
{
    TVEN_NOTAC& cab = *doc.Cabecalho;
    const TTotalImposto icms = TotalICMS(doc.ICMS, doc.Percentual);
    cab.Valor_BCICMS = icms.Base;
    cab.Valor_ICMS = icms.Valor;
    const TTotalImposto issqn = doc.Servico ? TotalISSQN(doc.ISSQN, doc.Percentual) : TTotalImposto{};
    cab.Valor_BCISSQN = issqn.Base;
    cab.Valor_ISSQN = issqn.Valor;
    cab.Valor_PIS = TotalPISCOFINS(doc.PIS, doc.Percentual);
    cab.Valor_COFINS = TotalPISCOFINS(doc.COFINS, doc.Percentual);
}
