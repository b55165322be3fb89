#pragma once

#include <QString>

// The annotation every model property carries: the column's name as the ERP spells it. Nothing
// reads it to build SQL (the real names come from the database); it documents the catalogue and
// lets tools show a column's title.
class TCampoModel
{
public:
    TCampoModel(QString aName, QString aTitulo, bool aChave)
        : FName(std::move(aName)), FTitulo(std::move(aTitulo)), FChave(aChave)
    {
    }

    const QString& Name() const { return FName; }
    void SetName(const QString& valor) { FName = valor; }
    const QString& Titulo() const { return FTitulo; }
    void SetTitulo(const QString& valor) { FTitulo = valor; }
    bool Chave() const { return FChave; }
    void SetChave(bool valor) { FChave = valor; }

private:
    QString FName;
    QString FTitulo;
    bool FChave;
};
