#pragma once

#include "Currency.h"

#include <QString>

#include <array>

// The price and tax arithmetic of a converted coupon, apart from the database so that each rule
// can be checked on its own numbers. Products of two four-decimal values are formed exactly
// (Exato) and only then cut or rounded; "trunc2" below is TruncaDecimais(2, ...).

namespace CupomCalculo {

// Item total: Q x P - Q x D, cut to cents when the printer truncates ("T"), otherwise rounded
// half to even, which is what the printer prints in that mode.
Currency PrecoTotal(Currency Quantidade, Currency Preco, Currency Desconto, const QString& IAT);

// Discount of the document in percent, four decimals, half to even. A document whose products
// total is zero has no discount to spread, so it gets 0 instead of a division by zero.
Currency PercentualDesconto(Currency ValorDesconto, Currency ValorMercadoria);

// The item's share of the document discount: Preco_Total x percentage / 100, cut to five decimals
// and then kept in four (half to even), as the ERP stores it.
Currency DescontoItem(Currency PrecoTotal, Currency Percentual);

// Base - trunc2(Base x reduction / 100).
Currency BaseReduzida(Currency Base, Currency Reducao);

// trunc2(Base x rate / 100).
Currency Imposto(Currency Base, Currency Aliquota);

// One rate slot of a document's tax group. A slot whose rate is zero counts as empty.
struct TSlotAliquota
{
    Currency Aliquota;
    Currency Reducao;  // ICMS only
    Currency Total;
    Currency Valor;
};

// Ten slots per group; the eleventh distinct rate of a document finds no room and adds nothing
// to the totals (its own item row still carries its values).
class TGrupoAliquotas
{
public:
    static constexpr int Quantidade = 10;

    // Takes the first slot that is empty or holds the same rate (and reduction), puts the item's
    // total in it and returns the slot, or nullptr when all ten hold other rates.
    TSlotAliquota* Coloca(Currency Aliquota, Currency Reducao, Currency PrecoTotal);
    void Limpa() { FSlots = {}; }
    const std::array<TSlotAliquota, Quantidade>& Slots() const { return FSlots; }

private:
    std::array<TSlotAliquota, Quantidade> FSlots{};
};

struct TTotalImposto
{
    Currency Base;
    Currency Valor;
};

// Document totals from the slots; P is the document discount percentage. The running value total
// is cut (ICMS, ISSQN) or rounded (PIS, COFINS) after each slot: doing it once at the end gives
// other cents than the documents the ERP already holds.
TTotalImposto TotalICMS(const TGrupoAliquotas& grupo, Currency P);
TTotalImposto TotalISSQN(const TGrupoAliquotas& grupo, Currency P);
Currency TotalPISCOFINS(const TGrupoAliquotas& grupo, Currency P);

}  // namespace CupomCalculo
