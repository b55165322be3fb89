#pragma once

#include <QString>
#include <QStringView>

// The engine's field types: the Paradox types the ERP's tables are declared with. A column's
// type is read back from the type name it was declared with, so the schema text is the one
// place that decides how a column reads and writes.
enum class TFieldType {
    ftUnknown,
    ftString,    // VARCHAR(n), CHAR(n)
    ftMemo,      // MEMO(n)
    ftSmallint,  // SMALLINT
    ftInteger,   // INTEGER
    ftFloat,     // FLOAT
    ftCurrency,  // CURRENCY
    ftDate,      // DATE: "YYYY-MM-DD"
    ftTime,      // TIME: "hh:mm:ss"
    ftDateTime,  // TIMESTAMP: "YYYY-MM-DD hh:mm:ss"
    ftBoolean,   // BOOLEAN
    ftAutoInc,   // AUTOINC
    ftBCD,       // BCD
    ftBlob,      // BLOB
    ftGraphic,   // GRAPHIC
};

struct TTipoDeclarado
{
    TFieldType Tipo = TFieldType::ftUnknown;
    int Tamanho = 0;  // text and memo sizes; 0 otherwise
};

// "VARCHAR(40)" -> ftString, 40. Case and blanks around the size do not matter; a name the engine
// does not know gives ftUnknown, and the column is then invisible to the data access objects.
TTipoDeclarado TipoDeclarado(QStringView declarado);

// "ftString", for traces and messages.
QString NomeTipoCampo(TFieldType tipo);
