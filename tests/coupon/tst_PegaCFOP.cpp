#include "uPegaCFOP.h"
#include "uSys.h"

#include <gtest/gtest.h>

#include <span>

namespace {

struct Caso
{
    const char* nome;
    const char* movimento;
    const char* cfop;
    const char* tipoItem;
    const char* tributacao;
    const char* cliente;  // Sys_.Codigo_do_Cliente
    const char* cfopEsperado;
    // Defaults: tax situation "000" kept, company "0001", an activity no rule looks for.
    const char* situacao = "000";
    const char* situacaoEsperada = "000";
    const char* empresa = "0001";
    const char* atividade = "SERVICOS";
};

// The correction steps also look at the company and its activity.
struct CasoCorrecao
{
    const char* nome;
    const char* movimento;
    const char* cfop;
    const char* tipoItem;
    const char* tributacao;
    const char* cliente;
    const char* empresa;
    const char* atividade;
    const char* cfopEsperado;
};

class PegaCFOP : public ::testing::Test
{
protected:
    void TearDown() override { Sys_.Codigo_do_Cliente.clear(); }

    static void Confere(std::span<const CasoCorrecao> casos)
    {
        for (const CasoCorrecao& c : casos) {
            Caso caso { c.nome, c.movimento, c.cfop, c.tipoItem, c.tributacao, c.cliente, c.cfopEsperado };
            caso.empresa = c.empresa;
            caso.atividade = c.atividade;
            Confere({ &caso, 1 });
        }
    }

    static void Confere(std::span<const Caso> casos)
    {
        for (const Caso& c : casos) {
            SCOPED_TRACE(c.nome);
            Sys_.Codigo_do_Cliente = QString::fromLatin1(c.cliente);
            TPegaCFOP p(QString::fromLatin1(c.movimento), QString::fromLatin1(c.cfop),
                        QString::fromLatin1(c.tipoItem), QString::fromLatin1(c.tributacao),
                        QString::fromLatin1(c.situacao), QString::fromLatin1(c.empresa),
                        QString::fromLatin1(c.atividade));
            p.PegaCFOP();
            EXPECT_EQ(p.CFO_C().toStdString(), c.cfopEsperado);
            EXPECT_EQ(p.CFOP_TPTRIB().toStdString(), c.situacaoEsperada);
        }
    }
};

TEST_F(PegaCFOP, SaidaItemDeConsumo)
{
    const Caso casos[] = {
        { "5102 goes to the in-state catch-all", "S", "5102", "C", "D", "0001", "5949" },
        { "6108 goes to the out-of-state catch-all", "S", "6108", "C", "D", "0001", "6949" },
        { "5949 kept", "S", "5949", "C", "S", "0001", "5949" },
        { "6949 kept", "S", "6949", "C", "S", "0001", "6949" },
        { "not starting with 5 falls to 6949", "S", "1102", "C", "D", "0001", "6949" },
        { "three characters untouched", "S", "510", "C", "D", "0001", "510" },
        { "five characters untouched", "S", "51020", "C", "D", "0001", "51020" },
        { "no situation adjustment for consumption", "S", "5101", "C", "S", "0167", "5949" },
    };
    Confere(casos);
}

TEST_F(PegaCFOP, SaidaCasosPorTipoETributacao)
{
    const Caso casos[] = {
        { "A 5101", "S", "5101", "P", "S", "0001", "5401" },
        { "A 6101", "S", "6101", "P", "S", "0001", "6401" },
        { "A 5102", "S", "5102", "P", "S", "0001", "5403" },
        { "A 5102 customer 0175", "S", "5102", "P", "S", "0175", "5405" },
        { "A 6102", "S", "6102", "P", "S", "0001", "6403" },
        { "A 6102 customer 0175 has no exception", "S", "6102", "P", "S", "0175", "6403" },
        { "B 5102", "S", "5102", "P", "D", "0001", "5101" },
        { "B 6102", "S", "6102", "P", "D", "0001", "6101" },
        // Case C gives 5101/6101 to services, which the item type correction then makes 5102/6102.
        { "C 5405", "S", "5405", "T", "D", "0001", "5102" },
        { "C 5405 customer 0229", "S", "5405", "T", "D", "0229", "5102" },
        { "C 6405", "S", "6405", "T", "D", "0001", "6102" },
        { "C 5403", "S", "5403", "T", "D", "0001", "5102" },
        { "C 6403", "S", "6403", "T", "D", "0001", "6102" },
        { "C 5101", "S", "5101", "T", "D", "0001", "5102" },
        { "C 5101 customer 0051 left, then item type correction", "S", "5101", "T", "D", "0051", "5102" },
        { "C 6101", "S", "6101", "T", "D", "0001", "6102" },
        { "C 6101 customer 0051", "S", "6101", "T", "D", "0051", "6102" },
        { "D 5102", "S", "5102", "T", "S", "0001", "5403" },
        { "D 5102 customer 0229", "S", "5102", "T", "S", "0229", "5405" },
        { "D 5102 customer 0286", "S", "5102", "T", "S", "0286", "5405" },
        { "D 5102 customer 0175", "S", "5102", "T", "S", "0175", "5405" },
        { "D 6102", "S", "6102", "T", "S", "0001", "6403" },
        { "D 6102 customer 0229", "S", "6102", "T", "S", "0229", "6405" },
        { "D 6102 customer 0286", "S", "6102", "T", "S", "0286", "6405" },
        { "D 6102 customer 0175 has no exception", "S", "6102", "T", "S", "0175", "6403" },
        { "other item type untouched", "S", "5102", "X", "S", "0001", "5102" },
    };
    Confere(casos);
}

TEST_F(PegaCFOP, SaidaCorrecoes)
{
    const CasoCorrecao casos[] = {
        { "type T 5101", "S", "5101", "T", "N", "0001", "0001", "SERVICOS", "5102" },
        { "type T 6101", "S", "6101", "T", "N", "0001", "0001", "SERVICOS", "6102" },
        { "type P 5102", "S", "5102", "P", "N", "0001", "0001", "SERVICOS", "5101" },
        { "type P 6102", "S", "6102", "P", "N", "0001", "0001", "SERVICOS", "6101" },
        { "COMERCIO P 5101", "S", "5101", "P", "N", "0001", "0001", "COMERCIO", "5102" },
        { "COMERCIO P 6101", "S", "6101", "P", "N", "0001", "0001", "COMERCIO", "6102" },
        { "COMERCIO after the type correction", "S", "5102", "P", "N", "0001", "0001", "COMERCIO", "5102" },
        { "COMERCIO after case B", "S", "5102", "P", "D", "0001", "0001", "COMERCIO VAREJISTA", "5102" },
        { "INDUSTRIA P 5102", "S", "5102", "P", "N", "0001", "0001", "INDUSTRIA", "5101" },
        { "INDUSTRIA P 6102", "S", "6102", "P", "N", "0001", "0001", "INDUSTRIA", "6101" },
        { "both activities: first row only", "S", "5101", "P", "N", "0001", "0001", "INDUSTRIA E COMERCIO", "5102" },
        { "activity is case-sensitive", "S", "5101", "P", "N", "0001", "0001", "comercio", "5101" },
        { "customer 0227 company 0002 5101", "S", "5101", "P", "N", "0227", "0002", "SERVICOS", "5102" },
        { "customer 0227 company 0002 6101", "S", "6101", "P", "N", "0227", "0002", "SERVICOS", "6102" },
        { "customer 0227 after the type correction", "S", "6102", "P", "N", "0227", "0002", "SERVICOS", "6102" },
        { "customer 0227 other company", "S", "5101", "P", "N", "0227", "0003", "SERVICOS", "5101" },
        { "customer 0227 needs a product", "S", "5101", "X", "N", "0227", "0002", "SERVICOS", "5101" },
    };
    Confere(casos);
}

TEST_F(PegaCFOP, SaidaAjusteDaSituacaoTributaria)
{
    const Caso casos[] = {
        { "case A: 000 to 010", "S", "5101", "P", "S", "0167", "5401", "000", "010" },
        { "case B: 010 to 000", "S", "5102", "P", "D", "0167", "5101", "010", "000" },
        { "case A without a row that applies", "S", "5405", "P", "S", "0167", "5405", "000", "010" },
        { "case A with 010 stays", "S", "5101", "P", "S", "0167", "5401", "010", "010" },
        { "case B with 000 stays", "S", "5102", "P", "D", "0167", "5101", "000", "000" },
        { "other customer", "S", "5101", "P", "S", "0001", "5401", "000", "000" },
        { "case C has no adjustment", "S", "5403", "T", "D", "0167", "5102", "010", "010" },
        { "case D has no adjustment", "S", "5102", "T", "S", "0167", "5403", "000", "000" },
        { "a short CFOP holds no case", "S", "510", "P", "S", "0167", "510", "000", "000" },
    };
    Confere(casos);
}

TEST_F(PegaCFOP, EntradaItemDeConsumo)
{
    const Caso casos[] = {
        { "2925", "E", "2925", "C", "D", "0001", "2125" },
        { "2902", "E", "2902", "C", "D", "0001", "2124" },
        { "1902", "E", "1902", "C", "D", "0001", "1124" },
        { "1407", "E", "1407", "C", "D", "0001", "1933" },
        { "other 1xxx", "E", "1102", "C", "D", "0001", "1949" },
        { "other 2xxx", "E", "2102", "C", "D", "0001", "2949" },
        { "not starting with 1 falls to 2949", "E", "5102", "C", "D", "0001", "2949" },
        { "three characters untouched", "E", "190", "C", "D", "0001", "190" },
        { "no situation adjustment for consumption", "E", "1902", "C", "S", "0167", "1124" },
    };
    Confere(casos);

    for (const char* fica : { "1933", "2933", "1949", "2949", "1252", "1302", "1303", "1124",
                              "1350", "1351", "1352", "1353", "2350", "2351", "2352", "2353" }) {
        const Caso c { "kept", "E", fica, "C", "S", "0001", fica };
        Confere({ &c, 1 });
    }
}

TEST_F(PegaCFOP, EntradaCasosPorTributacao)
{
    const Caso casos[] = {
        { "A 1101", "E", "1101", "P", "S", "0001", "1551" },
        { "A 2101", "E", "2101", "T", "S", "0001", "2551" },
        { "A 1102", "E", "1102", "P", "S", "0001", "1403" },
        { "A 2102", "E", "2102", "X", "S", "0001", "2403" },
        { "A 1933", "E", "1933", "P", "S", "0001", "1407" },
        { "A 1201", "E", "1201", "T", "S", "0001", "1410" },
        { "B 1551", "E", "1551", "P", "D", "0001", "1101" },
        { "B 2551", "E", "2551", "T", "D", "0001", "2101" },
        { "B 1403", "E", "1403", "P", "D", "0001", "1102" },
        { "B 2403", "E", "2403", "X", "D", "0001", "2102" },
        { "B 2125", "E", "2125", "P", "D", "0001", "2925" },
        { "B 1124", "E", "1124", "T", "D", "0001", "1902" },
        { "B 2124", "E", "2124", "P", "D", "0001", "2902" },
        { "C 2125", "E", "2125", "P", "O", "0001", "2925" },
        { "C 1124", "E", "1124", "T", "O", "0001", "1902" },
        { "C 2124", "E", "2124", "X", "O", "0001", "2902" },
        { "C has no 1551", "E", "1551", "P", "O", "0001", "1551" },
        { "A: 000 to 010", "E", "1102", "P", "S", "0167", "1403", "000", "010" },
        { "B: 010 to 000", "E", "1403", "P", "D", "0167", "1102", "010", "000" },
    };
    Confere(casos);
}

TEST_F(PegaCFOP, EntradaCorrecoes)
{
    const CasoCorrecao casos[] = {
        { "COMERCIO P 1101", "E", "1101", "P", "N", "0001", "0001", "COMERCIO", "1102" },
        { "COMERCIO P 2101", "E", "2101", "P", "N", "0001", "0001", "COMERCIO", "2102" },
        { "INDUSTRIA P 1102", "E", "1102", "P", "N", "0001", "0001", "INDUSTRIA", "1101" },
        { "INDUSTRIA P 2102", "E", "2102", "P", "N", "0001", "0001", "INDUSTRIA", "2101" },
        { "both activities: first row only", "E", "1101", "P", "N", "0001", "0001", "INDUSTRIA E COMERCIO", "1102" },
        { "COMERCIO needs a product", "E", "1101", "T", "N", "0001", "0001", "COMERCIO", "1101" },
        { "COMERCIO after case B", "E", "1551", "P", "D", "0001", "0001", "COMERCIO", "1102" },
        { "customer 0227 company 0002 1101", "E", "1101", "P", "N", "0227", "0002", "SERVICOS", "1102" },
        { "customer 0227 company 0002 2101", "E", "2101", "P", "N", "0227", "0002", "SERVICOS", "2102" },
        { "customer 0227 other company", "E", "1101", "P", "N", "0227", "0003", "SERVICOS", "1101" },
        { "customer 0227 after case B", "E", "2551", "P", "D", "0227", "0002", "SERVICOS", "2102" },
    };
    Confere(casos);
}

TEST_F(PegaCFOP, OutraDirecaoNaoMudaNada)
{
    for (const char* direcao : { "", "s", "e", "X", "SS" }) {
        const Caso c { "direction", direcao, "5101", "P", "S", "0167", "5101", "000", "000" };
        SCOPED_TRACE(direcao);
        Confere({ &c, 1 });
    }
}

}  // namespace
