#pragma once

#include "uTipoOcorrencia.h"

#include <QString>

#include <cstdint>

// The ERP's eighteen databases, one folder and one alias each. The order is fixed: ordinals are
// what a data access object keeps, names are what files and SQL see.
enum TDiretorios : uint8_t {
    tdCADASTRO,
    tdCARTAOP,
    tdCHEQREC,
    tdCOBRANCA,
    tdCOMPRAS,
    tdCONSIGNA,
    tdCTACOR,
    tdCTAPAG,
    tdCTAREC,
    tdCURTUME,
    tdESTOQUE,
    tdEXPORTA,
    tdFACCAO,
    tdFUNDICAO,
    tdICMS_IPI,
    tdOS,
    tdPRODUCAO,
    tdVENDAS,
};
inline constexpr int QtdDiretorios = 18;

// Every ERP table, "ttb" + the full table name (database prefix + bare name), in catalogue order.
enum TTabelas : uint16_t {
#define TV_TABELA(diretorio, nome, tipo) ttb##nome,
#include "uTabelas.inc"
#undef TV_TABELA
};
inline constexpr int QtdTabelas = 626;

// "N_CADASTRO" ... "N_VENDAS".
QString NomeAlias(TDiretorios diretorio);
// "CAD_" ... "VEN_": not always the first letters of the database ("AOP_", "SIG_", "OSE_").
QString PrefixoTabela(TDiretorios diretorio);

// The Paradox table's name inside its folder: everything after the first "_" of the full name,
// so "C_CLIEAV" for ttbCAD_C_CLIEAV.
QString NomeTabela(TTabelas tabela);
// Prefix + bare name: "CAD_EMPRESAS".
QString NomeCompletoTabela(TTabelas tabela);
TDiretorios DiretorioTabela(TTabelas tabela);
// "T" + full name, also for the tables that have no model class (the registry then refuses it).
QString NomeClasseTabela(TTabelas tabela);
// False for the few tables that have no model class.
bool TemClasseModel(TTabelas tabela);
