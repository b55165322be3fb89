#include "uGeradorSim.h"

#include "uCp1252.h"
#include "uRuxoLinhas.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>

namespace RuxoSim {

namespace {

// What the till knows of a product beyond its code. The importer takes description, unit and
// taxes from the ERP's catalogue, so these only have to be plausible; prices, units and the
// rounding flag do matter, because the totals of the coupon are built from them.
struct TItemCatalogo
{
    const char* descricao;
    const char* unidade;
    int64_t precoCentavos;
    char tributacao;  // T taxed, F tax substitution, I exempt
    int aliquotaCentesimos;
    int indiceAliquota;
    bool pesado;      // sold by weight: fractional quantity, total truncated
};

constexpr TItemCatalogo Catalogo[] = {
    {"ARROZ AGULHINHA TIPO 1 5KG", "UN", 2490, 'T', 700, 3, false},
    {"FEIJÃO CARIOCA 1KG", "UN", 849, 'T', 700, 3, false},
    {"CAFÉ TORRADO E MOÍDO 500G", "UN", 1790, 'T', 1800, 1, false},
    {"REFRIGERANTE COLA 2L", "UN", 999, 'F', 0, 0, false},
    {"QUEIJO MUÇARELA FATIADO", "KG", 3990, 'T', 1200, 2, true},
    {"PÃO FRANCÊS", "KG", 1490, 'I', 0, 0, true},
};
constexpr int TamanhoCatalogo = int(std::size(Catalogo));

struct TClienteSim
{
    const char* nome;
    const char* endereco;
    const char* bairro;
    const char* cidade;
    const char* uf;
};

constexpr TClienteSim Clientes[] = {
    {"JOSÉ DA SILVA", "RUA DAS FLORES, 120", "CENTRO", "SÃO PAULO", "SP"},
    {"MARIA APARECIDA SOUZA", "AV. BRASIL, 4500", "JARDIM AMÉRICA", "CAMPINAS", "SP"},
    {"JOÃO PEDRO OLIVEIRA", "RUA XV DE NOVEMBRO, 77", "VILA NOVA", "CURITIBA", "PR"},
};

enum TForma { fpDinheiro = 1, fpCredito = 3, fpDebito = 4 };

Currency Centavos(int64_t c) { return Currency::FromRaw(c * 100); }

QString Md5(const QString& linha)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(CodificaCp1252(linha), QCryptographicHash::Md5).toHex().toUpper());
}

// The MD5 field carries the digest of the line as it was before the field was filled.
QString ComMd5(TLinhaRuxo& l)
{
    l.Texto(u"MD5", Md5(l.Linha()));
    return l.Linha();
}

quint32 Semente(int ecf, int coo, const QDate& data)
{
    return quint32(ecf) * 1000003u ^ quint32(coo) * 2654435761u ^ quint32(data.toJulianDay());
}

int64_t ProximaNota(int64_t totalCentavos, QRandomGenerator& rng)
{
    static constexpr int64_t notas[] = {500, 1000, 2000, 5000, 10000, 20000};
    std::vector<int64_t> candidatos;
    for (int64_t n : notas) {
        int64_t pago = (totalCentavos + n - 1) / n * n;
        if (candidatos.empty() || candidatos.back() != pago)
            candidatos.push_back(pago);
        if (candidatos.size() == 3)
            break;
    }
    return candidatos[rng.bounded(int(candidatos.size()))];
}

struct TPagamento
{
    int forma;
    int64_t centavos;
    QDate vencimento;
    QString observacao;
    char condicao;
    int parcelas;
    bool troco;
};

}  // namespace

QString CpfValido(quint64 semente)
{
    int d[11];
    for (int i = 0; i < 9; ++i) {
        d[i] = int(semente % 10);
        semente /= 10;
    }
    if (std::all_of(d, d + 9, [&](int x) { return x == d[0]; }))
        d[8] = (d[0] + 1) % 10;  // repeated digits are refused by every CPF check
    for (int k = 9; k <= 10; ++k) {
        int soma = 0;
        for (int i = 0; i < k; ++i)
            soma += d[i] * (k + 1 - i);
        int r = soma * 10 % 11;
        d[k] = r == 10 ? 0 : r;
    }
    QString s;
    for (int x : d)
        s += QChar(u'0' + x);
    return s;
}

TArquivoGerado GerarArquivoCupons(const TLoteCupons& lote, const QDateTime& agora)
{
    TArquivoGerado arq;
    const QString cancelado = lote.cancelado ? QStringLiteral("C") : QString();
    const int nProdutos = int(lote.produtos.size());

    TLinhaRuxo cab(u"001");
    cab.Texto(u"CNPJ", lote.cnpj).Texto(u"Tipo_de_Arquivo", u"RET");
    cab.Data(u"Data", agora.date()).Hora(u"Horario", agora.time());
    cab.Inteiro(u"Especifico_para_o_PAF", lote.ecf);
    arq.linhas << cab.Linha();

    // Coupons follow each other every two and a half minutes; a batch asked late in the day is
    // moved back so that its last coupon still ends before midnight.
    const int passo = 150;
    int inicio = lote.hora.isValid() ? lote.hora.msecsSinceStartOfDay() / 1000 : 8 * 3600;
    inicio = std::max(0, std::min(inicio, 86399 - lote.quantidade * passo - 60));

    for (int k = 0; k < lote.quantidade; ++k) {
        const int coo = lote.primeiroCoo + k;
        QRandomGenerator rng(Semente(lote.ecf, coo, lote.data));
        const qint64 pk = qint64(lote.ecf) * 1000000 + coo % 1000000;
        TCupomGerado cupom;
        cupom.coo = coo;

        QStringList itens;
        int64_t produtosCentavos = 0;
        Exato icms;
        for (int i = 1; i <= lote.itens; ++i) {
            const int p = nProdutos ? (coo + i - 1) % nProdutos : 0;
            const TProdutoSim& produto = lote.produtos.at(size_t(p));
            const TItemCatalogo& cat = Catalogo[p % TamanhoCatalogo];

            Currency qtd = cat.pesado ? Currency::FromRaw((250 + int64_t(rng.bounded(1750))) * 10)
                                      : Currency(1 + int(rng.bounded(3)));
            Currency preco = Centavos(cat.precoCentavos);
            // One item in four carries a unit discount of 5 or 10 %.
            Currency desconto;
            if (rng.bounded(4) == 0)
                desconto = Centavos(cat.precoCentavos * (rng.bounded(2) ? 10 : 5) / 100);

            // The item total as the printer prints it, and as the importer recomputes it:
            // quantity × price − quantity × unit discount, truncated for weighed goods (IAT T),
            // rounded otherwise.
            Exato v = Exato(qtd) * Exato(preco) - Exato(qtd) * Exato(desconto);
            Currency total = (cat.pesado ? v.Trunca(2) : v.Arredonda(2)).ToCurrency();
            produtosCentavos += total.Raw() / 100;
            if (cat.tributacao == 'T')
                icms = icms + (Exato(total) * Exato(Centavos(cat.aliquotaCentesimos)) / Exato(100)).Trunca(2);

            TLinhaRuxo l(u"012");
            l.Inteiro(u"PK_Cupom", pk).Inteiro(u"Numero_do_ECF", lote.ecf).Inteiro(u"Numero_do_Cupom", coo);
            l.Texto(u"Codigo_Produto", produto.codigo);
            l.Texto(u"Descricao_do_produto", QString::fromUtf8(cat.descricao));
            l.Texto(u"Unidade", QString::fromLatin1(cat.unidade));
            l.Valor(u"Quantidade", qtd).Valor(u"Preco_de_venda", preco).Valor(u"Valor_do_desconto", desconto);
            l.Texto(u"Tributacao", QString(QChar(cat.tributacao)));
            l.Valor(u"Aliquota", Centavos(cat.aliquotaCentesimos));
            l.Texto(u"Cancelado", cancelado).Texto(u"Operador", u"CAIXA 01");
            l.Inteiro(u"Ordem_do_item", i).Texto(u"IAT", cat.pesado ? u"T" : u"A");
            l.Inteiro(u"Indice_da_aliquota", cat.indiceAliquota).Texto(u"Servico", u"N");
            l.Texto(u"Codigo_adicional_informado", produto.barras.isEmpty() ? produto.codigo : produto.barras);
            if (!desconto.IsZero())
                l.Texto(u"Operador_que_liberou_desconto", u"GERENTE");
            itens << ComMd5(l);
        }

        // Item discounts are already inside the item totals, and the importer spreads the
        // header discount over the items once more as a percentage; so the header carries
        // the net products total and no discount of its own, or every discount would count twice.
        const int64_t totalCentavos = produtosCentavos;
        cupom.total = Centavos(totalCentavos);
        cupom.itens = lote.itens;

        std::vector<TPagamento> pagamentos;
        const unsigned modo = rng.bounded(10);
        if (modo < 6) {
            int64_t pago = rng.bounded(4) == 0 ? totalCentavos : ProximaNota(totalCentavos, rng);
            // The change line goes before the cash line: the importer subtracts only a change
            // it has already met from the cash payment that follows it.
            if (pago > totalCentavos)
                pagamentos.push_back({fpDinheiro, pago - totalCentavos, lote.data,
                                      QStringLiteral("Troco"), 'V', 1, true});
            pagamentos.push_back({fpDinheiro, pago, lote.data, QStringLiteral("DINHEIRO"), 'V', 1, false});
        } else if (modo < 8) {
            pagamentos.push_back({fpDebito, totalCentavos, lote.data, QStringLiteral("CARTAO DEBITO"), 'V', 1, false});
        } else {
            const int n = 1 + int(rng.bounded(3));
            const int64_t parcela = totalCentavos / n;
            for (int j = 1; j <= n; ++j)
                pagamentos.push_back({fpCredito, j < n ? parcela : totalCentavos - parcela * (n - 1),
                                      lote.data.addDays(30 * j),
                                      QStringLiteral("CARTAO CREDITO %1/%2").arg(j).arg(n), 'P', n, false});
        }

        QStringList linhasPag;
        int parcela = 0;
        for (const TPagamento& pg : pagamentos) {
            TLinhaRuxo l(u"013");
            l.Inteiro(u"PK_Cupom", pk).Inteiro(u"Parcela", ++parcela);
            l.Inteiro(u"Numero_do_ECF", lote.ecf).Inteiro(u"Numero_do_Cupom", coo);
            l.Inteiro(u"Forma_de_pagamento", pg.forma).Valor(u"Valor", Centavos(pg.centavos));
            l.Data(u"Data_de_Vencimento", pg.vencimento).Texto(u"Cancelado", cancelado);
            l.Texto(u"Observacao", pg.observacao).Texto(u"Condicao_de_Pagamento", QString(QChar(pg.condicao)));
            l.Inteiro(u"Numero_de_parcelas", pg.parcelas);
            if (pg.forma != fpDinheiro) {
                l.Texto(u"Codigo_NSU", QString::number(100000000 + coo * 10 + parcela));
                l.Texto(u"Rede_autorizadora", u"REDE SIMULADA");
                l.Texto(u"Bandeira", u"BANDEIRA SIMULADA");
                l.Texto(u"Codigo_de_autorizacao", QStringLiteral("A%1").arg(coo, 6, 10, QChar(u'0')));
                l.Texto(u"Tipo_de_Transacao", pg.forma == fpCredito ? u"C" : u"D");
            }
            if (pg.troco)
                l.Texto(u"Tipo_do_Troco", u"D");
            linhasPag << ComMd5(l);
            cupom.troco = cupom.troco || pg.troco;
        }
        cupom.pagamentos = int(linhasPag.size());

        const QTime horaInicio = QTime::fromMSecsSinceStartOfDay((inicio + k * passo) * 1000);
        TLinhaRuxo c(u"011");
        c.Inteiro(u"PK_Cupom", pk).Inteiro(u"Numero_do_ECF", lote.ecf).Inteiro(u"Numero_do_Cupom", coo);
        c.Data(u"Data", lote.data);
        c.Valor(u"Valor_dos_Produtos", cupom.total).Valor(u"Valor_do_Cupom", cupom.total);
        // One coupon in three names its customer by CPF, as the law lets the buyer ask.
        if (rng.bounded(3) == 0) {
            const QString cpf = CpfValido(rng.generate64());
            const TClienteSim& cli = Clientes[rng.bounded(int(std::size(Clientes)))];
            c.Texto(u"CNPJ_CPF", cpf).Texto(u"CPF_Cliente", cpf);
            c.Texto(u"Nome_cliente", QString::fromUtf8(cli.nome));
            c.Texto(u"Endereco", QString::fromUtf8(cli.endereco));
            c.Texto(u"Bairro", QString::fromUtf8(cli.bairro));
            c.Texto(u"Cidade", QString::fromUtf8(cli.cidade)).Texto(u"UF", QString::fromLatin1(cli.uf));
            cupom.cpf = true;
        }
        c.Texto(u"Operador", u"CAIXA 01").Texto(u"Cancelado", cancelado);
        if (lote.cancelado) {
            c.Texto(u"Operador_autorizou_Cancelamento", u"GERENTE");
            c.Inteiro(u"COO_de_cancelamento", lote.cooCancelamento);
        }
        c.Hora(u"Horario_de_inicio", horaInicio).Hora(u"Horario_de_termino", horaInicio.addSecs(90));
        c.Inteiro(u"CCF", coo).Inteiro(u"Numero_de_pessoas", 1);
        c.Valor(u"Valor_de_ICMS", icms.ToCurrency());

        arq.linhas << ComMd5(c);
        arq.linhas << itens << linhasPag;
        arq.cupons << cupom;
    }

    TLinhaRuxo fim(u"099");
    fim.Inteiro(u"Registros", arq.linhas.size() - 1);
    arq.linhas << fim.Linha();
    return arq;
}

// ---------------------------------------------------------------------------------------------

namespace {

QString Pedaco(const QString& linha, int inicio, int largura)
{
    return linha.mid(inicio - 1, largura);
}

int LeN(const QString& texto)
{
    bool ok = false;
    int v = texto.trimmed().toInt(&ok);
    return ok ? v : 0;
}

QDate LeD8(const QString& texto)
{
    if (texto.size() != 8 || texto == u"00000000")
        return {};
    return QDate::fromString(texto, u"ddMMyyyy");
}

// Day counting starts here; earlier days are not answered, which keeps the counters positive.
const QDate Inicio(2000, 1, 1);

struct TDiaFiscal
{
    int64_t bruto, cancelados, descontos;
    int cupons;
};

TDiaFiscal Dia(int ecf, int crz)
{
    QRandomGenerator rng(quint32(ecf) * 7919u ^ quint32(crz) * 2246822519u);
    TDiaFiscal d;
    d.bruto = 150000 + rng.bounded(450000);
    d.cancelados = rng.bounded(4) == 0 ? 500 + rng.bounded(5000) : 0;
    d.descontos = rng.bounded(3000);
    d.cupons = 40 + int(rng.bounded(80));
    return d;
}

int Cyclic6(int64_t v)
{
    return int((v - 1) % 999999 + 1);
}

}  // namespace

TRespostaReducao ResponderPedido(const QStringList& pedido, bool statusOk, int cro, const QDateTime& agora)
{
    TRespostaReducao r;
    QString cab;
    bool pede017 = false, pede018 = false;
    for (const QString& l : pedido) {
        if (l.startsWith(u"101") && cab.isEmpty())
            cab = l;
        else if (l == u"117")
            pede017 = true;
        else if (l == u"118")
            pede018 = true;
    }

    QString cnpj;
    if (cab.isEmpty()) {
        r.motivo = QStringLiteral("Solicitação sem registro 101");
    } else {
        cnpj = Pedaco(cab, 4, 14).trimmed();
        r.dataInicial = LeD8(Pedaco(cab, 21, 8));
        r.dataFinal = LeD8(Pedaco(cab, 35, 8));
        r.ecf = LeN(Pedaco(cab, 49, 4));
        if (!r.dataInicial.isValid() || !r.dataFinal.isValid())
            r.motivo = QStringLiteral("Período da solicitação inválido");
        else if (r.dataInicial < Inicio)
            r.motivo = QStringLiteral("Data inicial anterior a %1").arg(Inicio.toString(u"dd/MM/yyyy"));
        else if (r.dataInicial.daysTo(r.dataFinal) >= MaxDiasPedido)
            r.motivo = QStringLiteral("Período maior que %1 dias").arg(MaxDiasPedido);
        else
            r.pedidoValido = true;
    }

    TLinhaRuxo l001(u"001");
    l001.Texto(u"CNPJ", cnpj).Texto(u"Tipo_de_Arquivo", u"RET");
    l001.Data(u"Data", agora.date()).Hora(u"Horario", agora.time());
    l001.Inteiro(u"Especifico_para_o_PAF", r.ecf);
    r.dados << l001.Linha();

    if (r.pedidoValido && (pede017 || pede018)) {
        // Grand total and coupon counter run on from the printer's first day, so consecutive
        // reductions chain: one day's final total is the next day's initial total.
        const int crzInicial = int(Inicio.daysTo(r.dataInicial)) + 1;
        const int crzFinal = int(Inicio.daysTo(r.dataFinal)) + 1;
        int64_t gt = 10000000;  // 100 000,00 when the printer was installed
        int64_t coo = 1;
        for (int crz = 1; crz <= crzFinal; ++crz) {
            const TDiaFiscal d = Dia(r.ecf, crz);
            if (crz >= crzInicial) {
                const QDate data = Inicio.addDays(crz - 1);
                const int64_t liquido = d.bruto - d.cancelados - d.descontos;
                const int64_t b18 = liquido * 45 / 100, b12 = liquido * 20 / 100, b07 = liquido * 15 / 100;
                const int64_t iss = liquido * 5 / 100;
                const int64_t isento = liquido * 6 / 100, st = liquido * 5 / 100;
                const int64_t naoIncide = liquido - b18 - b12 - b07 - iss - isento - st;
                const qint64 pk = crz;

                if (pede017) {
                    TLinhaRuxo z(u"017");
                    z.Inteiro(u"PK_Cupom", pk).Inteiro(u"COO_Inicial", Cyclic6(coo));
                    z.Inteiro(u"COO_Final", Cyclic6(coo + d.cupons - 1));
                    z.Valor(u"GT_Inicial", Centavos(gt)).Valor(u"GT_Final", Centavos(gt + d.bruto));
                    z.Inteiro(u"CRZ", Cyclic6(crz));
                    z.Valor(u"Total_Cancelados", Centavos(d.cancelados));
                    z.Valor(u"Total_Descontos", Centavos(d.descontos));
                    z.Valor(u"Total_Isento", Centavos(isento));
                    z.Valor(u"Total_nao_incidencia", Centavos(naoIncide));
                    z.Valor(u"Total_de_Substituicao", Centavos(st));
                    z.Data(u"Data_Reducao", data).Hora(u"Hora_Reducao", QTime(22, 30, 0));
                    z.Inteiro(u"Numero_do_ECF", r.ecf).Valor(u"Total_Bruto", Centavos(d.bruto));
                    z.Inteiro(u"COO_Reducao_Z", Cyclic6(coo + d.cupons));
                    z.Data(u"Data_Emissao_Reducao_Z", data).Texto(u"Manual_Automatico", u"A");
                    z.Texto(u"Numero_de_Serie_do_ECF", QStringLiteral("RXSIM%1BR%2")
                                                           .arg(r.ecf, 4, 10, QChar(u'0'))
                                                           .arg(r.ecf, 9, 10, QChar(u'0')));
                    z.Texto(u"Marca_do_ECF", u"SIMULADOR").Texto(u"Modelo_do_ECF", u"ECF-SIM 1.0");
                    z.Texto(u"MF_Adicional", u"N").Inteiro(u"Numero_do_CRO", cro);
                    r.dados << ComMd5(z);
                    ++r.reducoes;
                }
                if (pede018) {
                    struct { int aliquota; int64_t base; int indice; bool servico; } taxas[] = {
                        {1800, b18, 1, false}, {1200, b12, 2, false}, {700, b07, 3, false}, {500, iss, 4, true}};
                    for (const auto& t : taxas) {
                        TLinhaRuxo a(u"018");
                        a.Inteiro(u"PK_Cupom", pk).Valor(u"Aliquota", Centavos(t.aliquota));
                        a.Valor(u"Base_de_calculo", Centavos(t.base));
                        a.Valor(u"Valor_Imposto", Centavos(t.base * t.aliquota / 10000));
                        a.Inteiro(u"Numero_do_ECF", r.ecf).Inteiro(u"Indice_da_aliquota", t.indice);
                        a.Texto(u"Servico", t.servico ? u"S" : u"N");
                        r.dados << ComMd5(a);
                    }
                }
            }
            gt += d.bruto;
            coo += d.cupons + 1;  // the reduction itself takes a COO
        }
    }

    TLinhaRuxo fim(u"099");
    fim.Inteiro(u"Registros", r.dados.size() - 1);
    r.dados << fim.Linha();

    if (!r.pedidoValido) {
        r.log << QStringLiteral("\"Solicitação recusada\";\"%1\"").arg(r.motivo) << QStringLiteral("STATUS;ERRO");
    } else if (statusOk) {
        r.log << QStringLiteral("\"Exportação concluída\";\"%1 registros\"").arg(r.dados.size() - 2)
              << QStringLiteral("STATUS;OK");
    } else {
        r.log << QStringLiteral("\"Falha na exportação\";\"Erro de comunicação com o ECF\"")
              << QStringLiteral("STATUS;ERRO");
    }
    return r;
}

}  // namespace RuxoSim
