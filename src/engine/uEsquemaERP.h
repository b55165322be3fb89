#pragma once

#include "TDateTime.h"
#include "uSessao.h"
#include "uTipos.h"

#include <QList>
#include <QStringList>

// The ERP tables this program reads and writes, as our engine stores them. Column names and
// types come from the model's descriptors; only what a descriptor cannot tell (text sizes that
// matter, keys, the indexes of every look-up) is written here.

// The tables with known columns, in catalogue order.
QList<TTabelas> TabelasDoEsquema();

// CREATE TABLE and CREATE INDEX texts of one table, in the local-SQL shape the engine reads.
// Both are "IF NOT EXISTS": running them again leaves the table and its rows as they are.
QStringList DDLTabela(TTabelas tabela);

// The integrator's own journal of imported coupon files (name and content hash), written in the
// transaction of each import so that a restart knows which claimed files were committed.
QStringList DDLDiarioImportacao();
// Creates the journal table when the drive does not have it yet.
void GarantirDiarioImportacao(TSessao& sessao);

// Creates the folders, the databases and every table of the schema on the session's aliases,
// the import journal included.
void CriarEsquemaERP(TSessao& sessao);

// A small coherent company for the demo and the end-to-end tests: company 0001 with its coupon
// parameters, destination, carrier, user, ECF 01, items with barcodes and their stock rows for
// the month of `hoje`, payment operations, forms, conditions, cards, a price table and the
// day-closing row of `hoje`. Rows already there (by key) are left alone.
void CriarDemoERP(TSessao& sessao, TDateTime hoje);
