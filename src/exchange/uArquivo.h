#pragma once

#include "uRuxoRegistros.h"

#include <QString>

class TRuxo;

// What every exchange file has: its owner's folders, a header and a trailer.
class TArquivo
{
public:
    explicit TArquivo(TRuxo* AOwner, const QString& tipoDeArquivo);
    virtual ~TArquivo() = default;
    TArquivo(const TArquivo&) = delete;
    TArquivo& operator=(const TArquivo&) = delete;

    TRuxo* AOwner() const { return FOwner; }

    TReg_001 Reg_001;
    TReg_099 Reg_099;

    // The name of the next file to write; the base class has none.
    virtual void Nome_Arquivo(QString& Nome);
    QString Gerar_Reg_099() const;

protected:
    QString DirBase() const;
    // The first "<pasta>/<prefixo>nnnnnn<extensao>" that does not exist; when all million are
    // taken, the last one, which the caller then overwrites.
    QString ProximoNomeLivre(const QString& pasta, const QString& prefixo, const QString& extensao) const;
    // Ruxo owns the exchange folders; we never create them, so a missing one means a wrong
    // monitored directory, and that must be said before anything is written.
    void ExigePasta(const QString& pasta) const;

private:
    TRuxo* FOwner;
};
