#pragma once

#include "uLog.h"

#include <QList>
#include <QString>

// A screen that only remembers: every line as its coloured pieces. Tests read it back, and a
// front end without a screen of its own may use it as a scroll-back buffer.
class TTelaMemoria : public ITelaLog
{
public:
    struct TPeca
    {
        QString Texto;
        uint Cor;
        bool operator==(const TPeca&) const = default;
    };
    using TLinha = QList<TPeca>;

    static constexpr uint Padrao = 0x000000;

    int QuantidadeLinhas() const override { return int(Linhas.size()); }
    void ApagaPrimeiraLinha() override
    {
        if (!Linhas.isEmpty())
            Linhas.removeFirst();
    }
    void NovaLinha() override { Linhas.append(TLinha()); }
    void Insere(const QString& texto, uint cor) override
    {
        if (Linhas.isEmpty())
            Linhas.append(TLinha());
        Linhas.last().append({texto, cor});
    }
    uint CorPadrao() const override { return Padrao; }
    void Limpa() override { Linhas.clear(); }

    QString TextoDaLinha(qsizetype i) const
    {
        QString r;
        for (const TPeca& p : Linhas.at(i))
            r += p.Texto;
        return r;
    }

    QList<TLinha> Linhas;
};
