#pragma once

#include "TDateTime.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The benchmark's data drive and coupon files. The drive is the demo company scaled up to a shop
// that has been selling for a while, so that every look-up of the import runs against tables of
// a realistic size; the coupon files are written with the stand-in's own line writer.
namespace Bench {

struct TEscala
{
    int Itens = 1000;        // catalogue items, each with its stock rows
    int Clientes = 200;      // registered customers
    int Documentos = 50000;  // coupons imported before, with their items and instalments
};

// Every coupon of the benchmark comes from this printer; the documents already on the drive
// carry its numbers 1..Documentos, so the new coupons start after them.
constexpr int EcfBench = 1;

// Creates the schema and the demo company on the session's aliases (the drive must already be
// the session's), then the scaled rows, in one transaction.
void PovoarDrive(const TEscala& escala, TDateTime hoje);

// The codes the coupons refer to.
QString CodigoItem(int i);      // i in 0..Itens-1
QString BarrasItem(int i);
QString CodigoCliente(int i);   // i in 0..Clientes-1
bool ItemServico(int i, const TEscala& escala);  // the last tenth of the catalogue are services

// The lines of one coupon file: `quantidade` coupons numbered from `primeiroCoo`, dated `dia`,
// each with three items and one payment; one in four with an item discount, one in five with a
// header discount, one in forty cancelled, one in thirty with a cancelled item, one in ten items a
// service, half of the cash payments with a change line. The first coupon of a file is never a
// cancelled one.
QStringList LinhasCupons(int primeiroCoo, int quantidade, const QDate& dia, const TEscala& escala);

}  // namespace Bench
