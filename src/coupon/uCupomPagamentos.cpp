// Coupon payments: instalments with their form and card, then the document's payment terms and
// closing fields.

#include "uExecCMD.h"

#include "uBibliot.h"
#include "uCupomDocumento.h"
#include "uSys.h"

using namespace CupomTexto;

namespace {

QString Zeros2(int n) { return FormataTexto(QString::number(n), 2, u'N'); }

}  // namespace

void TExecCmd::Pagamentos(const TReg_011& cupom, const TIndiceCupom& indice, TDocumentoCupom& doc)
{
    const TRetorno& r = *FRuxo->Retorno();
    for (int i : indice.Pagamentos)
        Pagamento(cupom, r.Reg_013.Items(i), doc);
}

void TExecCmd::Pagamento(const TReg_011& cupom, const TReg_013& linha, TDocumentoCupom& doc)
{
    // The change has a line of its own; it is given back out of the cash paid after it.
    if (linha.Observacao.left(5) == u"Troco") {
        doc.Troco = linha.Valor;
        return;
    }
    ++doc.Sequencia;
    const QString sequencia = Zeros2(doc.Sequencia);

    TVEN_NOTAVDaoBDE& dao = *C().VEN_NOTAV->daoNOTAV;
    std::unique_ptr<TVEN_NOTAV> parcela = dao.Busca(
        {QStringLiteral("Codigo da Empresa"), QStringLiteral("Numero do Documento"), QStringLiteral("Serie do Documento"),
         QStringLiteral("Sequencia")},
        {Sys_.Codigo_da_Empresa, doc.Numero, doc.Serie, sequencia});
    if (!parcela->Codigo_da_Empresa.isEmpty())
        return;

    TVEN_NOTAV& row = *parcela;
    row.Codigo_da_Empresa = Sys_.Codigo_da_Empresa;
    row.Numero_do_Documento = doc.Numero;
    row.Serie_do_Documento = doc.Serie;
    row.Sequencia = sequencia;
    row.Data = linha.Data_de_Vencimento;
    row.Valor = linha.Forma_de_pagamento == 1 ? linha.Valor - doc.Troco : linha.Valor;
    row.Observacao = SemBrancosFinais(linha.Observacao);
    if (linha.Condicao_de_Pagamento == u"V")
        ++doc.AVista;
    else if (linha.Condicao_de_Pagamento == u"P")
        ++doc.APrazo;

    QString forma = QStringLiteral("OU");
    QString cartao;
    std::unique_ptr<TVEN_RUXO_FP> operacao =
        C().VEN_RUXO_FP->daoRUXO_FP->Busca({QStringLiteral("Codigo Operacao")}, {Zeros2(linha.Forma_de_pagamento)});
    if (!operacao->Codigo_Operacao.isEmpty()) {
        forma = operacao->Forma_de_Pagamento;
        if (operacao->Tipo == u"P")
            cartao = operacao->Descricao_Operacao;
    }
    std::unique_ptr<TCAD_TPPAGTO> tipo =
        C().CAD_TPPAGTO->daoTPPAGTO->Busca({QStringLiteral("Tipo do Pagamento")}, {forma});
    if (tipo->Tipo_do_Pagamento.isEmpty())
        forma.clear();
    row.Forma_de_Pagamento = forma;
    if (forma == u"CD")
        row.Data = cupom.Data;
    if (!cartao.isEmpty()) {
        std::unique_ptr<TCAD_CARTOES> nome =
            C().CAD_CARTOES->daoCARTOES->Busca({QStringLiteral("Nome do Cartao")}, {cartao});
        if (nome->Nome_do_Cartao.isEmpty())
            cartao.clear();
    }
    row.Nome_do_Cartao = cartao;
    doc.FormaPagamento = forma;
    dao.Add(row);
}

void TExecCmd::CondicoesPagamento(const TReg_011& cupom, TDocumentoCupom& doc)
{
    TVEN_NOTAC& cab = *doc.Cabecalho;
    if (doc.AVista >= 1)
        cab.Tipo_de_Pagamento = QStringLiteral("V");
    if (doc.APrazo >= 1)
        cab.Tipo_de_Pagamento = QStringLiteral("P");

    const QString condicao = Zeros2(cupom.Condicao_de_pagamento).left(2);
    TVEN_CONDPGTODaoBDE& dao = *C().VEN_CONDPGTO->daoCONDPGTO;
    // Condition 0 leaves the choice to the ERP's default conditions, immediate ("001") or
    // deferred ("002"), as the payment lines say.
    std::unique_ptr<TVEN_CONDPGTO> cond =
        condicao == u"00"
            ? dao.Busca({QStringLiteral("Codigo_Avanco")},
                        {cab.Tipo_de_Pagamento == u"V" ? QStringLiteral("001") : QStringLiteral("002")})
            : dao.Busca({QStringLiteral("Condicao de Pagamento")}, {condicao});
    cab.Condicao_de_Pagamento = cond->Condicao_de_Pagamento;
    cab.Descricao_CondPagto = cond->Descricao_CondPagto;
    cab.Numero_de_Parcelas = cond->Numero_de_Parcelas;
    cab.Tipo_de_Pagamento = cond->Tipo_de_Pagamento;
    cab.Composicao_de_Dias = cond->Composicao_de_Dias;

    QString forma = doc.FormaPagamento;
    std::unique_ptr<TCAD_TPPAGTO> tipo =
        C().CAD_TPPAGTO->daoTPPAGTO->Busca({QStringLiteral("Tipo do Pagamento")}, {forma});
    if (tipo->Tipo_do_Pagamento.isEmpty())
        forma.clear();
    cab.Forma_de_Pagamento = forma;
    if (forma == u"CD") {
        cab.Tipo_de_Pagamento = QStringLiteral("P");
        cab.Numero_de_Parcelas = 1;
        cab.Composicao_de_Dias = QStringLiteral("1");
    }

    const TDateTime agora = TDateTime::Now();
    cab.Codigo_Usuario = Sys_.Codigo_do_Usuario;
    cab.Data_Inclusao = agora.DatePart();
    cab.Hora_Inclusao = agora.ToTime().toString(QStringLiteral("hh:mm"));
    cab.Numero_Controle_Dia = Sys_.Numero_Controle_Dia;
    C().VEN_NOTAC->daoNOTAC->Add(cab);
}
