#include "uDriveBench.h"

#include "UModel.h"
#include "uDaoBDE.h"
#include "uErros.h"
#include "uEsquemaERP.h"
#include "uGeradorSim.h"
#include "uRuxoLinhas.h"
#include "uSessao.h"

#include <QRandomGenerator>

namespace Bench {

namespace {

Currency Centavos(qint64 c) { return Currency::FromRaw(c * 100); }

// The price of an item in cents; spread so that totals, taxes and discounts vary.
qint64 PrecoCentavos(int i) { return 150 + qint64(i) * 739 % 9850; }

void Insere(TDaoBDE& dao, const TClasseBase& obj)
{
    if (!dao.Inserir(obj))
        throw EDatabaseError(QStringLiteral("Linha de %1 não gravada no drive do benchmark").arg(NomeCompletoTabela(dao.Tabela())));
}

void Itens(const TEscala& e, TDateTime hoje)
{
    TDaoBDE itens(tdESTOQUE, ttbEST_ITENS);
    TDaoBDE saldos(tdESTOQUE, ttbEST_SDESTQ);
    const QDate dia = hoje.ToDate();
    for (int i = 0; i < e.Itens; ++i) {
        TEST_ITENS item;
        item.Codigo_do_Item = CodigoItem(i);
        item.Descricao_do_Item = QStringLiteral("PRODUTO DE TESTE %1").arg(i + 1);
        item.Unidade_Fiscal = QStringLiteral("UN");
        item.Unidade_Interna = QStringLiteral("UN");
        item.Fator_de_Conversao = Currency(1);
        item.Codigo_de_Barras = BarrasItem(i);
        item.NCM = QStringLiteral("61091000");
        item.Situacao = QStringLiteral("A");
        if (ItemServico(i, e)) {
            item.Tipo_do_Item = QStringLiteral("S");
            item.Tributacao_de_ICMS = QStringLiteral("N");
            item.Tributacao_de_ISSQN = QStringLiteral("D");
            item.Aliquota_de_ISSQN = Currency(5);
        } else {
            // Taxed in the document, by substitution, and exempt, in that proportion.
            static const char* const tributacao[] = {"D", "D", "D", "F", "I"};
            item.Tributacao_de_ICMS = QString::fromLatin1(tributacao[i % 5]);
            item.Aliquota_de_ICMS = item.Tributacao_de_ICMS == u"D" ? Currency(i % 2 ? 18 : 12) : Currency();
            if (i % 7 == 0)
                item.Aliquota_Reduzida_BCICMS = Currency(i % 3 ? 0 : 33);
        }
        Insere(itens, item);
        // The current month and the eleven before it, as a shop's stock table holds them.
        for (int m = 0; m < 12; ++m) {
            const QDate mes = dia.addMonths(-m);
            TEST_SDESTQ saldo;
            saldo.Codigo_da_Empresa = QStringLiteral("0001");
            saldo.Codigo_do_Item = item.Codigo_do_Item;
            saldo.Ano_Referencia = QString::number(mes.year());
            saldo.Mes_Referencia = QStringLiteral("%1").arg(mes.month(), 2, 10, QChar(u'0'));
            saldo.Saldo_Inicial = Currency(100000);
            saldo.Saldo_Atual = Currency(100000 - m);
            Insere(saldos, saldo);
        }
    }
}

void Clientes(const TEscala& e)
{
    TDaoBDE dao(tdCADASTRO, ttbCAD_DESTINAT);
    for (int i = 0; i < e.Clientes; ++i) {
        TCAD_DESTINAT c;
        c.Codigo = CodigoCliente(i);
        c.Tipo = QStringLiteral("C");
        c.Nome_Fantasia_EmitDest = QStringLiteral("CLIENTE %1").arg(i + 1);
        c.Razao_Social = QStringLiteral("CLIENTE DE TESTE %1").arg(i + 1);
        c.Endereco = QStringLiteral("RUA %1, %2").arg(i % 40 + 1).arg(i * 7 % 900 + 10);
        c.Bairro = QStringLiteral("CENTRO");
        c.Cidade = QStringLiteral("SAO PAULO");
        c.UF = QStringLiteral("SP");
        c.CGC = RuxoSim::CpfValido(quint64(123456789) + quint64(i) * 7919);
        c.Tipo_Pessoa = QStringLiteral("FISICA");
        c.Consumidor_Final = QStringLiteral("S");
        Insere(dao, c);
    }
}

void Documentos(const TEscala& e, TDateTime hoje)
{
    TDaoBDE notac(tdVENDAS, ttbVEN_NOTAC);
    TDaoBDE notai(tdVENDAS, ttbVEN_NOTAI);
    TDaoBDE notav(tdVENDAS, ttbVEN_NOTAV);
    const QString serie = QStringLiteral("X%1%2").arg(EcfBench).arg(QStringLiteral("01"));
    for (int d = 1; d <= e.Documentos; ++d) {
        // About 150 coupons a day, going back from yesterday.
        const TDateTime dia = TDateTime::FromDate(hoje.ToDate().addDays(-1 - (e.Documentos - d) / 150));
        TVEN_NOTAC c;
        c.Codigo_da_Empresa = QStringLiteral("0001");
        c.Numero_do_Documento = QStringLiteral("%1").arg(d, 6, 10, QChar(u'0'));
        c.Serie_do_Documento = serie;
        c.Nome_Fantasia_Empresa = QStringLiteral("LOJA DEMO");
        c.Data_de_Emissao = dia;
        c.Data_de_Saida = dia;
        c.Codigo = QStringLiteral("000001");
        c.Razao_Social = QStringLiteral("CONSUMIDOR FINAL");
        c.Sistema_Gerador = QStringLiteral("CF");
        Currency total;
        for (int i = 1; i <= 3; ++i) {
            const int p = (d * 3 + i) % e.Itens;
            TVEN_NOTAI item;
            item.Codigo_da_Empresa = c.Codigo_da_Empresa;
            item.Numero_do_Documento = c.Numero_do_Documento;
            item.Serie_do_Documento = serie;
            item.Item_do_Documento = i;
            item.Codigo_do_Item = CodigoItem(p);
            item.Descricao_do_Item = QStringLiteral("PRODUTO DE TESTE %1").arg(p + 1);
            item.Quantidade = Currency(1);
            item.Preco_Unitario = Centavos(PrecoCentavos(p));
            item.Preco_Total = item.Preco_Unitario;
            total += item.Preco_Total;
            Insere(notai, item);
        }
        c.Valor_Mercadoria = total;
        c.Valor_Nota_Fiscal = total;
        Insere(notac, c);
        TVEN_NOTAV v;
        v.Codigo_da_Empresa = c.Codigo_da_Empresa;
        v.Numero_do_Documento = c.Numero_do_Documento;
        v.Serie_do_Documento = serie;
        v.Sequencia = QStringLiteral("01");
        v.Data = dia;
        v.Valor = total;
        v.Forma_de_Pagamento = QStringLiteral("01");
        Insere(notav, v);
    }
}

}  // namespace

QString CodigoItem(int i) { return QStringLiteral("%1").arg(100001 + i, 6, 10, QChar(u'0')); }
QString BarrasItem(int i) { return QStringLiteral("789%1").arg(100001 + i, 10, 10, QChar(u'0')); }
QString CodigoCliente(int i) { return QStringLiteral("%1").arg(200001 + i, 6, 10, QChar(u'0')); }
bool ItemServico(int i, const TEscala& escala) { return i >= escala.Itens - escala.Itens / 10; }

void PovoarDrive(const TEscala& escala, TDateTime hoje)
{
    TSessao& sessao = TSessao::Padrao();
    CriarDemoERP(sessao, hoje);
    sessao.StartTransaction();
    try {
        Itens(escala, hoje);
        Clientes(escala);
        Documentos(escala, hoje);
        sessao.Commit();
    } catch (...) {
        sessao.Rollback();
        throw;
    }
}

QStringList LinhasCupons(int primeiroCoo, int quantidade, const QDate& dia, const TEscala& escala)
{
    using RuxoSim::TLinhaRuxo;
    QStringList linhas;
    linhas.reserve(quantidade * 6 + 2);
    TLinhaRuxo cab(u"001");
    cab.Texto(u"CNPJ", u"12345678000195").Texto(u"Tipo_de_Arquivo", u"RET");
    cab.Data(u"Data", dia).Hora(u"Horario", QTime(23, 0));
    cab.Inteiro(u"Especifico_para_o_PAF", EcfBench);
    linhas << cab.Linha();

    for (int k = 0; k < quantidade; ++k) {
        const int coo = primeiroCoo + k;
        QRandomGenerator rng(quint32(coo) * 2654435761u);
        const qint64 pk = qint64(EcfBench) * 1000000 + coo % 1000000;
        const bool cancelado = k > 0 && coo % 40 == 0;
        const QString c = cancelado ? QStringLiteral("C") : QString();
        const int itemCancelado = !cancelado && coo % 30 == 7 ? 2 : 0;

        QStringList itens;
        qint64 produtos = 0;
        for (int ordem = 1; ordem <= 3; ++ordem) {
            const int p = int(rng.bounded(escala.Itens));
            const bool servico = ItemServico(p, escala);
            const qint64 preco = PrecoCentavos(p);
            const int qtd = 1 + int(rng.bounded(3));
            const qint64 desconto = rng.bounded(4) == 0 ? preco * 5 / 100 : 0;
            const bool esteCancelado = cancelado || ordem == itemCancelado;
            if (!esteCancelado)
                produtos += qtd * (preco - desconto);
            TLinhaRuxo l(u"012");
            l.Inteiro(u"PK_Cupom", pk).Inteiro(u"Numero_do_ECF", EcfBench).Inteiro(u"Numero_do_Cupom", coo);
            l.Texto(u"Codigo_Produto", CodigoItem(p));
            l.Texto(u"Descricao_do_produto", QStringLiteral("PRODUTO DE TESTE %1").arg(p + 1));
            l.Texto(u"Unidade", u"UN");
            l.Valor(u"Quantidade", Currency(qtd)).Valor(u"Preco_de_venda", Centavos(preco));
            l.Valor(u"Valor_do_desconto", Centavos(desconto));
            l.Texto(u"Tributacao", servico ? u"S" : u"T").Valor(u"Aliquota", servico ? Currency(5) : Currency(18));
            l.Texto(u"Cancelado", esteCancelado ? u"C" : u"").Texto(u"Operador", u"CAIXA 01");
            l.Inteiro(u"Ordem_do_item", ordem).Texto(u"IAT", u"A");
            l.Inteiro(u"Indice_da_aliquota", servico ? 4 : 1).Texto(u"Servico", servico ? u"S" : u"N");
            l.Texto(u"Codigo_adicional_informado", BarrasItem(p));
            itens << l.Linha();
        }
        const qint64 descontoCab = coo % 5 == 3 ? produtos * 2 / 100 : 0;
        const qint64 total = produtos - descontoCab;

        TLinhaRuxo h(u"011");
        h.Inteiro(u"PK_Cupom", pk).Inteiro(u"Numero_do_ECF", EcfBench).Inteiro(u"Numero_do_Cupom", coo);
        h.Data(u"Data", dia);
        h.Valor(u"Valor_dos_Produtos", Centavos(produtos)).Valor(u"Valor_do_desconto", Centavos(descontoCab));
        h.Valor(u"Valor_do_Cupom", Centavos(total));
        const unsigned cliente = rng.bounded(8);
        if (cliente < 2) {
            h.Texto(u"Codigo_Cliente", CodigoCliente(int(rng.bounded(escala.Clientes))));
        } else if (cliente == 2) {
            // A buyer who gave a CPF at the till but has no registration.
            h.Texto(u"CNPJ_CPF", RuxoSim::CpfValido(rng.generate64())).Texto(u"Nome_cliente", u"COMPRADOR AVULSO");
            h.Texto(u"Endereco", u"RUA SEM NOME, 1").Texto(u"Bairro", u"CENTRO");
            h.Texto(u"Cidade", u"SAO PAULO").Texto(u"UF", u"SP");
        }
        h.Texto(u"Vendedor", u"0001").Texto(u"Operador", u"CAIXA 01").Texto(u"Cancelado", c);
        h.Texto(u"Tabela_de_Precos", u"001");
        const QTime hora = QTime(8, 0).addSecs(k % 50000);
        h.Hora(u"Horario_de_inicio", hora).Hora(u"Horario_de_termino", hora.addSecs(60));
        h.Inteiro(u"CCF", coo).Inteiro(u"Numero_de_pessoas", 1);
        if (cancelado)
            h.Texto(u"Operador_autorizou_Cancelamento", u"GERENTE").Inteiro(u"COO_de_cancelamento", coo + 1);
        linhas << h.Linha();
        linhas << itens;

        const bool cartao = rng.bounded(10) < 3;
        auto pagamento = [&](int parcela, int forma, qint64 valor, QStringView obs, QStringView condicao) {
            TLinhaRuxo l(u"013");
            l.Inteiro(u"PK_Cupom", pk).Inteiro(u"Parcela", parcela);
            l.Inteiro(u"Numero_do_ECF", EcfBench).Inteiro(u"Numero_do_Cupom", coo);
            l.Inteiro(u"Forma_de_pagamento", forma).Valor(u"Valor", Centavos(valor));
            l.Data(u"Data_de_Vencimento", cartao ? dia.addDays(30) : dia).Texto(u"Cancelado", c);
            l.Texto(u"Observacao", obs).Texto(u"Condicao_de_Pagamento", condicao);
            l.Inteiro(u"Numero_de_parcelas", 1);
            if (forma == 1 && obs.startsWith(u"Troco"))
                l.Texto(u"Tipo_do_Troco", u"D");
            linhas << l.Linha();
        };
        if (cartao) {
            pagamento(1, 2, total, u"CARTAO", u"P");
        } else {
            const qint64 pago = coo % 2 ? (total + 999) / 1000 * 1000 : total;
            // The change goes before the cash it comes out of, as the till writes it.
            if (pago > total)
                pagamento(1, 1, pago - total, u"Troco", u"V");
            pagamento(pago > total ? 2 : 1, 1, pago, u"DINHEIRO", u"V");
        }
    }

    TLinhaRuxo fim(u"099");
    fim.Inteiro(u"Registros", linhas.size() - 1);
    linhas << fim.Linha();
    return linhas;
}

}  // namespace Bench
