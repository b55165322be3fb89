#pragma once

#include "TDateTime.h"

#include <QString>

class TRuxo;

// "X" + the printer's number + its restart counter as two digits: the series every row of one
// reduction carries, and the one the coupon documents of that printer carry too.
QString SerieReducaoZ(int NumeroECF, int NumeroCRO);

// A counter kept in two characters: zero-filled on the left, and a longer number keeps its
// first two digits, because that is all the ERP's column and the coupon series have room for.
QString DoisDigitos(int Numero);

// Writes the reductions read into Ruxo's Retorno (017 and their 018 lines) into VEN_ECF_C,
// VEN_ECF_T and VEN_ECF_S, updating the rows a previous import left. Reductions dated before
// DataInicial are skipped. False when the answer had no reduction at all.
//
// All the rows of one answer are written in one transaction: an error (raised to the caller)
// leaves the tables and Sys_.Numero_do_CRO as they were, never a day-closing written halfway.
bool ConverterReducaoZ(TRuxo& Ruxo, TDateTime DataInicial);
