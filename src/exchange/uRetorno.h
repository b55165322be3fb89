#pragma once

#include "uArquivo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// A request kind names, by its code, the records wanted in Ruxo's answer (1 = "107" ... 20 = "134").
using TTpSolicitacao = uint8_t;
QString CodigoSolicitacao(TTpSolicitacao tipo);  // empty for 0 and above 20

// Ruxo's files coming back to us, the requests we send it, and the store of items cancelled one by
// one, kept so that their coupon's later cancellation does not take them twice.
class TRetorno : public TArquivo
{
public:
    explicit TRetorno(TRuxo* AOwner);

    TReg_011Collection Reg_011;
    TReg_012Collection Reg_012;
    TReg_013Collection Reg_013;
    TReg_017Collection Reg_017;
    TReg_018Collection Reg_018;
    TReg_101 Reg_101;

    // EInOutError for a file that cannot be read; EConvertError naming the file and line for a
    // line that does not start with a record number; EListError for an item before any coupon.
    // What was read before the faulty line stays in the records.
    void Ler(const QString& Arquivo);
    void Solicitacao(const QList<TTpSolicitacao>& Itens, QString& Arquivo);
    bool Cancelado_Anteriormente(const QString& Linha);
    QString Gerar_Reg_012(const TReg_012& aReg_012) const;
    QString Gerar_Reg_101() const;
    void Nome_Arquivo(QString& Nome) override;

    QString ArquivoCancelados() const;

private:
    void Ler_Reg_001(QStringView Linha);
    void Ler_Reg_011(QStringView Linha);
    void Ler_Reg_013(QStringView Linha);
    void Ler_Reg_017(QStringView Linha);
    void Ler_Reg_018(QStringView Linha);
    void Ler_Reg_099(QStringView Linha);

    bool CanceladoAnteriormente(const TReg_012& item);
    void CarregaCancelados();
    void GravaCancelados();

    // CANCELADOS.V as we last read or changed it. A coupon file is read in one go and only this
    // program writes the store, so during Ler it is read once and written back once at the end,
    // instead of once per item line.
    struct TCancelados
    {
        bool Carregado = false;
        bool Existe = false;
        bool Alterado = false;
        QStringList Linhas;
        std::vector<TReg_012> Itens;  // Linhas as the reader sees them
    };
    TCancelados FCancelados;
    bool FEmLeitura = false;
};
