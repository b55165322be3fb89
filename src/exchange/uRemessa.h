#pragma once

#include "uArquivo.h"

// The kinds of shipment, each named after the record type it carries.
enum TTpRemessa {
    rm001, rm002, rm003, rm004, rm005, rm006, rm009, rm020, rm022,
    rm024, rm031, rm033, rm035, rm036, rm037, rm038, rm099,
};

// A shipment file for Ruxo to pick up from REMESSA: header, body, trailer.
class TRemessa : public TArquivo
{
public:
    explicit TRemessa(TRuxo* AOwner);

    TReg_020Collection Reg_020;
    TReg_035Collection Reg_035;

    // Writes the records the caller filled; Reg_099.Registros goes out as the caller set it.
    // Only rm020 and rm035 have a body. EInOutError when REMESSA is missing or not writable.
    void Gerar(TTpRemessa TipoRemessa);
    // The bytes Gerar writes, without writing them.
    QByteArray Conteudo(TTpRemessa TipoRemessa) const;
    void Nome_Arquivo(QString& Nome) override;

private:
    QString Gerar_Reg_001() const;
    QString Gerar_Reg_020(const TReg_020& Item) const;
    QString Gerar_Reg_035(const TReg_035& Item) const;
};
