#include "uPegaCFOP.h"

#include "uSys.h"

#include <array>
#include <span>

namespace {

// One row of a rewrite table. Some rows send a few customers elsewhere: when the parameter
// customer code is one of Clientes, the row gives ParaCliente instead of Para.
struct TLinha
{
    QStringView De;
    QStringView Para;
    std::array<QStringView, 3> Clientes {};
    QStringView ParaCliente {};

    QStringView Destino(const QString& cliente) const
    {
        for (QStringView c : Clientes)
            if (!c.isEmpty() && cliente == c)
                return ParaCliente;
        return Para;
    }
};

// A consumption item keeps the CFOPs its table lists (rewritten or not) and every other CFOP
// falls to the catch-all code of its side, chosen by the first digit.
struct TConsumo
{
    std::span<const TLinha> Linhas;
    QChar Digito;
    QStringView ComDigito;
    QStringView SemDigito;
};

// A group of rows that applies only to one item type and ICMS taxation; an empty item type is
// not looked at. Some groups are followed by the tax situation adjustment.
struct TCaso
{
    QStringView TipoItem;
    QStringView Tributacao;
    bool AjustaSituacao;
    std::span<const TLinha> Linhas;
};

// One row of a correction step; an empty condition is not looked at.
struct TCorrecao
{
    QStringView AtividadeContem;
    QStringView Cliente;
    QStringView Empresa;
    QStringView TipoItem;
    QStringView De;
    QStringView Para;
};

// The tax situation adjustment, for the one customer whose codes come in the other way round.
constexpr QStringView ClienteAjustaSituacao = u"0167";
struct TAjusteSituacao
{
    QStringView Tributacao;
    QStringView De;
    QStringView Para;
};
constexpr std::array AjustesSituacao {
    TAjusteSituacao { u"S", u"000", u"010" },
    TAjusteSituacao { u"D", u"010", u"000" },
};

// ---- exit ----

constexpr std::array ConsumoSaidaLinhas {
    TLinha { u"5949", u"5949" },
    TLinha { u"6949", u"6949" },
};
constexpr TConsumo ConsumoSaida { ConsumoSaidaLinhas, u'5', u"5949", u"6949" };

constexpr std::array SaidaA {
    TLinha { u"5101", u"5401" },
    TLinha { u"6101", u"6401" },
    TLinha { u"5102", u"5403", { u"0175" }, u"5405" },
    TLinha { u"6102", u"6403" },
};
constexpr std::array SaidaB {
    TLinha { u"5102", u"5101" },
    TLinha { u"6102", u"6101" },
};
constexpr std::array SaidaC {
    TLinha { u"5405", u"5101", { u"0229" }, u"5102" },
    TLinha { u"6405", u"6101" },
    TLinha { u"5403", u"5102" },
    TLinha { u"6403", u"6102" },
    TLinha { u"5101", u"5102", { u"0051" }, u"5101" },
    TLinha { u"6101", u"6102", { u"0051" }, u"6101" },
};
constexpr std::array SaidaD {
    TLinha { u"5102", u"5403", { u"0229", u"0286", u"0175" }, u"5405" },
    TLinha { u"6102", u"6403", { u"0229", u"0286" }, u"6405" },
};
constexpr std::array CasosSaida {
    TCaso { u"P", u"S", true, SaidaA },
    TCaso { u"P", u"D", true, SaidaB },
    TCaso { u"T", u"D", false, SaidaC },
    TCaso { u"T", u"S", false, SaidaD },
};

constexpr std::array TipoItemSaida {
    TCorrecao { {}, {}, {}, u"T", u"5101", u"5102" },
    TCorrecao { {}, {}, {}, u"T", u"6101", u"6102" },
    TCorrecao { {}, {}, {}, u"P", u"5102", u"5101" },
    TCorrecao { {}, {}, {}, u"P", u"6102", u"6101" },
};
constexpr std::array AtividadeSaida {
    TCorrecao { u"COMERCIO", {}, {}, u"P", u"5101", u"5102" },
    TCorrecao { u"COMERCIO", {}, {}, u"P", u"6101", u"6102" },
    TCorrecao { u"INDUSTRIA", {}, {}, u"P", u"5102", u"5101" },
    TCorrecao { u"INDUSTRIA", {}, {}, u"P", u"6102", u"6101" },
};
constexpr std::array ClienteSaida {
    TCorrecao { {}, u"0227", u"0002", u"P", u"5101", u"5102" },
    TCorrecao { {}, u"0227", u"0002", u"P", u"6101", u"6102" },
};

// ---- entry ----

constexpr std::array ConsumoEntradaLinhas {
    TLinha { u"2925", u"2125" },
    TLinha { u"2902", u"2124" },
    TLinha { u"1902", u"1124" },
    TLinha { u"1407", u"1933" },
    TLinha { u"1933", u"1933" },
    TLinha { u"2933", u"2933" },
    TLinha { u"1949", u"1949" },
    TLinha { u"2949", u"2949" },
    TLinha { u"1252", u"1252" },
    TLinha { u"1302", u"1302" },
    TLinha { u"1303", u"1303" },
    TLinha { u"1124", u"1124" },
    TLinha { u"1350", u"1350" },
    TLinha { u"1351", u"1351" },
    TLinha { u"1352", u"1352" },
    TLinha { u"1353", u"1353" },
    TLinha { u"2350", u"2350" },
    TLinha { u"2351", u"2351" },
    TLinha { u"2352", u"2352" },
    TLinha { u"2353", u"2353" },
};
constexpr TConsumo ConsumoEntrada { ConsumoEntradaLinhas, u'1', u"1949", u"2949" };

constexpr std::array EntradaA {
    TLinha { u"1101", u"1551" },
    TLinha { u"2101", u"2551" },
    TLinha { u"1102", u"1403" },
    TLinha { u"2102", u"2403" },
    TLinha { u"1933", u"1407" },
    TLinha { u"1201", u"1410" },
};
constexpr std::array EntradaB {
    TLinha { u"1551", u"1101" },
    TLinha { u"2551", u"2101" },
    TLinha { u"1403", u"1102" },
    TLinha { u"2403", u"2102" },
    TLinha { u"2125", u"2925" },
    TLinha { u"1124", u"1902" },
    TLinha { u"2124", u"2902" },
};
constexpr std::array EntradaC {
    TLinha { u"2125", u"2925" },
    TLinha { u"1124", u"1902" },
    TLinha { u"2124", u"2902" },
};
constexpr std::array CasosEntrada {
    TCaso { {}, u"S", true, EntradaA },
    TCaso { {}, u"D", true, EntradaB },
    TCaso { {}, u"O", false, EntradaC },
};

constexpr std::array AtividadeEntrada {
    TCorrecao { u"COMERCIO", {}, {}, u"P", u"1101", u"1102" },
    TCorrecao { u"COMERCIO", {}, {}, u"P", u"2101", u"2102" },
    TCorrecao { u"INDUSTRIA", {}, {}, u"P", u"1102", u"1101" },
    TCorrecao { u"INDUSTRIA", {}, {}, u"P", u"2102", u"2101" },
};
constexpr std::array ClienteEntrada {
    TCorrecao { {}, u"0227", u"0002", u"P", u"1101", u"1102" },
    TCorrecao { {}, u"0227", u"0002", u"P", u"2101", u"2102" },
};

bool Condicao(QStringView esperado, const QString& valor)
{
    return esperado.isEmpty() || valor == esperado;
}

// At most one row applies: rewriting on after a change would chain rows into each other.
bool Reescreve(std::span<const TLinha> linhas, QString& cfop, const QString& cliente)
{
    for (const TLinha& l : linhas) {
        if (cfop == l.De) {
            cfop = l.Destino(cliente).toString();
            return true;
        }
    }
    return false;
}

void AplicaConsumo(const TConsumo& consumo, QString& cfop, const QString& cliente)
{
    if (cfop.size() != 4 || Reescreve(consumo.Linhas, cfop, cliente))
        return;
    cfop = (cfop.front() == consumo.Digito ? consumo.ComDigito : consumo.SemDigito).toString();
}

// One item as the rule steps see it; each step rewrites the CFOP and the situation in place.
struct TContexto
{
    QString& Cfop;
    QString& Situacao;
    const QString& TipoItem;
    const QString& Tributacao;
    const QString& Empresa;
    const QString& Atividade;
    const QString& Cliente;

    void AjustaSituacao()
    {
        if (Cliente != ClienteAjustaSituacao)
            return;
        for (const TAjusteSituacao& a : AjustesSituacao)
            if (Tributacao == a.Tributacao && Situacao == a.De)
                Situacao = a.Para.toString();
    }

    // The first group whose item type and taxation match is the only one tried; its
    // adjustment runs even when none of its rows fits the CFOP.
    void AplicaCasos(std::span<const TCaso> casos)
    {
        if (Cfop.size() != 4)
            return;
        for (const TCaso& caso : casos) {
            if (!Condicao(caso.TipoItem, TipoItem) || Tributacao != caso.Tributacao)
                continue;
            Reescreve(caso.Linhas, Cfop, Cliente);
            if (caso.AjustaSituacao)
                AjustaSituacao();
            return;
        }
    }

    void AplicaCorrecao(std::span<const TCorrecao> linhas)
    {
        for (const TCorrecao& l : linhas) {
            if ((l.AtividadeContem.isEmpty() || Atividade.contains(l.AtividadeContem))
                && Condicao(l.Cliente, Cliente) && Condicao(l.Empresa, Empresa)
                && Condicao(l.TipoItem, TipoItem) && Cfop == l.De) {
                Cfop = l.Para.toString();
                return;
            }
        }
    }
};

constexpr QStringView TipoConsumo = u"C";

}  // namespace

TPegaCFOP::TPegaCFOP(const QString& aCheca_CFOP, const QString& aCFO_C, const QString& aCFOP_TPITEM,
                     const QString& aCFOP_TRIBICMS, const QString& aCFOP_TPTRIB,
                     const QString& aCFOP_EMPRESA, const QString& aCFOP_ATIVEMPRESA)
    : FCheca_CFOP(aCheca_CFOP)
    , FCFO_C(aCFO_C)
    , FCFOP_TPITEM(aCFOP_TPITEM)
    , FCFOP_TRIBICMS(aCFOP_TRIBICMS)
    , FCFOP_TPTRIB(aCFOP_TPTRIB)
    , FCFOP_EMPRESA(aCFOP_EMPRESA)
    , FCFOP_ATIVEMPRESA(aCFOP_ATIVEMPRESA)
{
}

void TPegaCFOP::PegaCFOP()
{
    if (FCheca_CFOP == u"E")
        CFOP_Entrada();
    else if (FCheca_CFOP == u"S")
        CFOP_Saida();
}

void TPegaCFOP::CFOP_Saida()
{
    TContexto c { FCFO_C, FCFOP_TPTRIB, FCFOP_TPITEM, FCFOP_TRIBICMS,
                  FCFOP_EMPRESA, FCFOP_ATIVEMPRESA, Sys_.Codigo_do_Cliente };
    if (FCFOP_TPITEM == TipoConsumo)
        AplicaConsumo(ConsumoSaida, FCFO_C, c.Cliente);
    else
        c.AplicaCasos(CasosSaida);
    c.AplicaCorrecao(TipoItemSaida);
    c.AplicaCorrecao(AtividadeSaida);
    c.AplicaCorrecao(ClienteSaida);
}

void TPegaCFOP::CFOP_Entrada()
{
    TContexto c { FCFO_C, FCFOP_TPTRIB, FCFOP_TPITEM, FCFOP_TRIBICMS,
                  FCFOP_EMPRESA, FCFOP_ATIVEMPRESA, Sys_.Codigo_do_Cliente };
    if (FCFOP_TPITEM == TipoConsumo)
        AplicaConsumo(ConsumoEntrada, FCFO_C, c.Cliente);
    else
        c.AplicaCasos(CasosEntrada);
    c.AplicaCorrecao(AtividadeEntrada);
    c.AplicaCorrecao(ClienteEntrada);
}
