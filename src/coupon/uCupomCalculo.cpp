#include "uCupomCalculo.h"

#include "uBibliot.h"

namespace CupomCalculo {

namespace {

const Exato Cem(100);

Exato Trunc2(const Exato& v) { return TruncaDecimais(2, v); }

}  // namespace

Currency PrecoTotal(Currency Quantidade, Currency Preco, Currency Desconto, const QString& IAT)
{
    const Exato v = Quantidade.Vezes(Preco) - Quantidade.Vezes(Desconto);
    return (IAT == u"T" ? Trunc2(v) : v.Arredonda(2)).ToCurrency();
}

Currency PercentualDesconto(Currency ValorDesconto, Currency ValorMercadoria)
{
    if (ValorMercadoria.IsZero())
        return Currency();
    return (ValorDesconto * int64_t(100)) / ValorMercadoria;
}

Currency DescontoItem(Currency PrecoTotal, Currency Percentual)
{
    return TruncaDecimais(5, PrecoTotal.Vezes(Percentual) / Cem).ToCurrency();
}

Currency BaseReduzida(Currency Base, Currency Reducao)
{
    return Base - Trunc2(Base.Vezes(Reducao) / Cem).ToCurrency();
}

Currency Imposto(Currency Base, Currency Aliquota)
{
    return Trunc2(Base.Vezes(Aliquota) / Cem).ToCurrency();
}

TSlotAliquota* TGrupoAliquotas::Coloca(Currency Aliquota, Currency Reducao, Currency PrecoTotal)
{
    for (TSlotAliquota& s : FSlots) {
        if (s.Aliquota.IsZero()) {
            s.Aliquota = Aliquota;
            s.Reducao = Reducao;
            s.Total = PrecoTotal;
            return &s;
        }
        if (s.Aliquota == Aliquota && s.Reducao == Reducao) {
            s.Total += PrecoTotal;
            return &s;
        }
    }
    return nullptr;
}

namespace {

// The slot's total less its share of the document discount.
Exato BaseDoSlot(const TSlotAliquota& s, Currency P)
{
    const Exato total(s.Total);
    return total - Trunc2(s.Total.Vezes(P) / Cem);
}

bool Conta(const TSlotAliquota& s) { return s.Aliquota > Currency() && s.Total > Currency(); }

}  // namespace

TTotalImposto TotalICMS(const TGrupoAliquotas& grupo, Currency P)
{
    Exato base, valor;
    for (const TSlotAliquota& s : grupo.Slots()) {
        if (Conta(s)) {
            const Exato fator = Exato(1) - Exato(s.Reducao) / Cem;
            const Exato b = Trunc2(BaseDoSlot(s, P) * fator);
            base = base + b;
            valor = Trunc2(valor + b * Exato(s.Aliquota) / Cem);
        } else {
            valor = valor + Exato(s.Valor);
        }
    }
    return {base.ToCurrency(), valor.ToCurrency()};
}

TTotalImposto TotalISSQN(const TGrupoAliquotas& grupo, Currency P)
{
    Exato base, valor;
    for (const TSlotAliquota& s : grupo.Slots()) {
        if (Conta(s)) {
            const Exato b = BaseDoSlot(s, P);
            base = base + b;
            valor = Trunc2(valor + b * Exato(s.Aliquota) / Cem);
        } else {
            valor = valor + Exato(s.Valor);
        }
    }
    return {base.ToCurrency(), valor.ToCurrency()};
}

Currency TotalPISCOFINS(const TGrupoAliquotas& grupo, Currency P)
{
    Exato valor;
    for (const TSlotAliquota& s : grupo.Slots()) {
        if (Conta(s))
            valor = (valor + BaseDoSlot(s, P) * Exato(s.Aliquota) / Cem).Arredonda(2);
        else
            valor = valor + Exato(s.Valor);
    }
    return valor.ToCurrency();
}

}  // namespace CupomCalculo
