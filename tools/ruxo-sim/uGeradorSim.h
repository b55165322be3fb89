#pragma once

#include "Currency.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

#include <vector>

// What the stand-in writes, as lines, with no file handling: the coupon files it drops and the
// answers it gives to day-closing requests. Everything is a pure function of its inputs, so a
// batch can be written again exactly (the cancellation of a batch depends on that) and a
// benchmark can make files of any size without touching the disk.
namespace RuxoSim {

struct TProdutoSim
{
    QString codigo;
    QString barras;  // empty: the till reports the product code as the additional code
};

struct TLoteCupons
{
    int ecf = 1;
    int primeiroCoo = 1;
    int quantidade = 1;
    int itens = 3;
    QDate data;
    QTime hora;         // start of the first coupon
    QString cnpj;       // of the shop, in the 001 header
    std::vector<TProdutoSim> produtos;
    bool cancelado = false;
    int cooCancelamento = 0;  // number of the cancellation receipt, for a cancelled batch
};

struct TCupomGerado
{
    int coo = 0;
    Currency total;
    int itens = 0;
    int pagamentos = 0;  // 013 lines, the change line included
    bool troco = false;
    bool cpf = false;
};

struct TArquivoGerado
{
    QStringList linhas;
    QList<TCupomGerado> cupons;
};

// 001, then 011 / 012... / 013... per coupon, then 099 with the number of body lines.
// `agora` stamps the 001 header only.
TArquivoGerado GerarArquivoCupons(const TLoteCupons& lote, const QDateTime& agora);

// A CPF with valid check digits, from nine digits of `semente`.
QString CpfValido(quint64 semente);

struct TRespostaReducao
{
    bool pedidoValido = false;
    int ecf = 0;               // from the request's 101 line
    QDate dataInicial, dataFinal;
    int reducoes = 0;          // 017 lines written
    QString motivo;            // why the request was refused
    QStringList dados;         // answer data: 001, 017/018 per day, 099
    QStringList log;           // answer log, with its STATUS line
};

// Answer to a request file: one 017 per day of the period asked, with one 018 per rate, when
// the request carries the codes 117 and 118. The totals of a day depend only on the printer
// and the day, so asking for a period twice gives the same reductions. `statusOk` false writes
// the answer log with STATUS;ERRO while still delivering the data.
TRespostaReducao ResponderPedido(const QStringList& pedido, bool statusOk, int cro,
                                 const QDateTime& agora);

// Longest period answered; a request beyond it is refused rather than filling the disk.
constexpr int MaxDiasPedido = 1000;

}  // namespace RuxoSim
