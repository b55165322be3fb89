#include "uChecaCST.h"

#include "uLog.h"

#include <array>
#include <span>

namespace {

constexpr std::array ICMS {
    u"00-C -Tributação integralmente",
    u"10-C -Tributação c/ cobrança de ICMS por ST",
    u"20-C -Com redução da base de cálculo",
    u"30-N -Isenta ou não tributada e com cobrança do ICMS por ST",
    u"40-N -Isenta",
    u"41-N -Não tributada",
    u"50-N -Suspensão",
    u"51-C -Diferimento",
    u"60-N -Cobrado anteriormente por ST",
    u"70-C -Com redução da base de cálculo e com cobrança do ICMS por ST",
    u"90-C -Outras",
};

constexpr std::array IPIEntradas {
    u"00-C -Entrada c/ recuperação de crédito",
    u"01-C -Entrada tributada com alíquota zero",
    u"02-N -Entrada isenta",
    u"03-N -Entrada não tributada",
    u"04-N -Entrada imune",
    u"05-N -Entrada com suspensão",
    u"49-C -Outras entradas",
};

constexpr std::array IPISaidas {
    u"50-C -Saída tributada",
    u"51-C -Saída tributada com alíquota zero",
    u"52-N -Saída isenta",
    u"53-N -Saída não tributada",
    u"54-N -Saída imune",
    u"55-N -Saída com suspensão",
    u"99-C -Outras Saidas",
};

// "operaçäes" is spelt as the ERP itself shows it.
constexpr std::array PISCOFINSSaidas {
    u"01-C -Tributável-BC=Vr operação alíquota normal(Cumulativa/Não cumulativa)",
    u"02-C -Tributável-BC=Vr da operação(Alíquota diferenciada)",
    u"03-C -Tributável-BC=Qtde vendidaxalíquota por unidade de produto)",
    u"04-C -Tributável-Tributação monofásica - (Alíquota zero)",
    u"05-C -Tributável-por substituição tributária",
    u"06-C -Tributável-Alíquota zero",
    u"07-N -Isenta da contribuição",
    u"08-N -Sem incidência da contribuição",
    u"09-N -Com suspensão da contribuição",
    u"49-C -Outras operaçäes de saída",
    u"99-C -Outras operaçäes",
};

constexpr std::array PISCOFINSEntradas {
    u"50-C -Com direito crédito-Vinc. exclus. receita tributada MI",
    u"51-C -Com direito crédito-Vinc. exclus. receita não tributada MI",
    u"52-C -Com direito crédito-Vinc. exclus. receita EXP",
    u"53-C -Com direito crédito-Vinc. receita trib. e não trib. MI",
    u"54-C -Com direito crédito-Vinc. receita trib. MI e EXP",
    u"55-C -Com direito crédito-Vinc. receita não trib. MI E EXP",
    u"56-C -Com direito crédito-Vinc. receita trib. e não trib. MI e EXP",
    u"60-C -Créd. presumido-Aquis. vinc. exclus. a receita trib. MI",
    u"61-C -Créd. presumido-Aquis. vinc. exclus. a receita não trib. MI",
    u"62-C -Créd. presumido-Aquis. vinc. exclus. a receita EXP",
    u"63-C -Créd. presumido-Aquis. vinc. a receitas trib. e não trib. MI",
    u"64-C -Créd. presumido-Aquis. vinc. a receitas trib. MI e EXP",
    u"65-C -Créd. presumido-Aquis. vinc. a receitas não trib. MI e EXP",
    u"66-C -Créd. presumido-Aquis. vinc. a receitas trib. e não trib. MI e EXP",
    u"67-C -Créd. presumido-Outras operaçäes",
    u"70-C -Operação de aquisição sem direito a crédito",
    u"71-N -Operação de aquisição com isenção",
    u"72-N -Operação de aquisição com suspensão",
    u"73-C -Operação de aquisição a alíquota zero",
    u"74-N -Operação de aquisição sem incidência da contribuição",
    u"75-C -Operação de aquisição por substituição tributária",
    u"98-C -Outras operaçäes de entrada",
    u"99-C -Outras operaçäes",
};

constexpr std::array LetrasICMS {
    u"D -D -Debitado",
    u"N -N -Não tributado",
    u"I -N -Isenta",
    u"S -N -Substituta",
    u"R -N -Retida",
};

using TTabela = std::span<const char16_t* const>;

// At most two tables make up one work list.
struct TListaTrabalho
{
    std::array<TTabela, 2> Partes {};

    bool Vazia() const { return Partes[0].empty() && Partes[1].empty(); }
};

TListaTrabalho ListaTrabalho(int Tipo, const QString& Movimento)
{
    switch (Tipo) {
    case 0:
        return { { ICMS } };
    case 1:
        if (Movimento == u"E")
            return { { IPIEntradas } };
        if (Movimento == u"S")
            return { { IPISaidas } };
        return {};
    case 2:
        // PIS is asked for whatever the movement, so both halves are searched, exits first.
        return { { PISCOFINSSaidas, PISCOFINSEntradas } };
    case 3:
        if (Movimento == u"S")
            return { { PISCOFINSSaidas } };
        if (Movimento == u"E")
            return { { PISCOFINSEntradas } };
        return {};
    case 4:
        return { { LetrasICMS } };
    default:
        return {};
    }
}

}  // namespace

QStringList TabelaCST(int Tipo, const QString& Movimento)
{
    QStringList lista;
    for (TTabela parte : ListaTrabalho(Tipo, Movimento).Partes)
        for (const char16_t* entrada : parte)
            lista << QString::fromUtf16(entrada);
    return lista;
}

QString Checa_CST(int Tipo, const QString& Movimento, const QString& Codigo)
{
    const TListaTrabalho lista = ListaTrabalho(Tipo, Movimento);
    if (lista.Vazia()) {
        if (Log_)
            Log_->TextoErro(QStringLiteral("Checa_CST, parametro inválido, verificar !"));
        return {};
    }
    // An ICMS code starts with the goods' origin digit, which does not change the situation.
    const QStringView procurado = Tipo == 0 ? QStringView(Codigo).mid(1, 2) : QStringView(Codigo);
    const qsizetype tamanhoCodigo = Tipo == 4 ? 1 : 2;
    for (TTabela parte : lista.Partes) {
        for (const char16_t* texto : parte) {
            const QStringView entrada(texto);
            if (procurado != entrada.first(tamanhoCodigo))
                continue;
            if (Tipo == 4)
                return entrada.sliced(3, 1).toString();
            QStringView flag = entrada.sliced(3, 2);
            while (flag.endsWith(u' '))
                flag.chop(1);
            return flag.toString();
        }
    }
    return {};
}
