#include "uChecaCST.h"
#include "uLog.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class ChecaCST : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FAnterior = Log_;
        Log_ = &FLog;
    }
    void TearDown() override { Log_ = FAnterior; }

    qsizetype LinhasDeErro() const
    {
        return FLog.LtLog().filter(QStringLiteral("Erro   : Checa_CST, parametro inv\u00e1lido, verificar !")).size();
    }

    TLog FLog;
    TLog* FAnterior = nullptr;
};

// Every entry of every table, as "code:flag" pairs; ICMS codes carry an origin digit.
struct Tabela
{
    int tipo;
    const char* movimento;
    const char* pares;
};

TEST_F(ChecaCST, CadaEntradaDeCadaTabela)
{
    const Tabela tabelas[] = {
        { 0, "S", "000:C 010:C 020:C 030:N 040:N 041:N 050:N 051:C 060:N 070:C 090:C" },
        { 1, "E", "00:C 01:C 02:N 03:N 04:N 05:N 49:C" },
        { 1, "S", "50:C 51:C 52:N 53:N 54:N 55:N 99:C" },
        { 3, "S", "01:C 02:C 03:C 04:C 05:C 06:C 07:N 08:N 09:N 49:C 99:C" },
        { 3, "E", "50:C 51:C 52:C 53:C 54:C 55:C 56:C 60:C 61:C 62:C 63:C 64:C 65:C 66:C 67:C "
                  "70:C 71:N 72:N 73:C 74:N 75:C 98:C 99:C" },
        { 4, "S", "D:D N:N I:N S:N R:N" },
    };
    for (const Tabela& t : tabelas) {
        for (const QString& par : QString::fromLatin1(t.pares).split(u' ')) {
            const QStringList partes = par.split(u':');
            SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(t.tipo).arg(QLatin1String(t.movimento), par).toStdString());
            EXPECT_EQ(Checa_CST(t.tipo, QString::fromLatin1(t.movimento), partes[0]), partes[1]);
            // PIS searches both PIS/COFINS tables whatever the movement.
            if (t.tipo == 3 && partes[0] != u"99") {
                EXPECT_EQ(Checa_CST(2, QStringLiteral("S"), partes[0]), partes[1]);
                EXPECT_EQ(Checa_CST(2, QStringLiteral("E"), partes[0]), partes[1]);
            }
        }
    }
    EXPECT_EQ(LinhasDeErro(), 0);
}

struct Consulta
{
    int tipo;
    const char* movimento;
    const char* codigo;
    const char* esperado;
};

TEST_F(ChecaCST, CodigosForaDaTabelaDoTipo)
{
    const Consulta consultas[] = {
        { 0, "E", "160", "N" },   // the origin digit is not looked at
        { 0, "", "290", "C" },    // nor is the movement
        { 0, "S", "00", "" },     // too short: its 2nd and 3rd characters are one "0"
        { 0, "S", "099", "" },
        { 0, "S", "", "" },
        { 1, "S", "49", "" },
        { 1, "E", "99", "" },
        { 1, "E", "50", "" },
        { 2, "", "73", "C" },
        { 2, "X", "07", "N" },
        { 2, "S", "00", "" },
        { 3, "S", "73", "" },
        { 3, "E", "01", "" },
        { 3, "S", "1", "" },
        { 4, "S", "DD", "" },
        { 4, "E", "d", "" },      // case-sensitive
        { 4, "", "", "" },
    };
    for (const Consulta& c : consultas) {
        SCOPED_TRACE(QStringLiteral("%1 '%2' '%3'").arg(c.tipo).arg(QLatin1String(c.movimento), QLatin1String(c.codigo)).toStdString());
        EXPECT_EQ(Checa_CST(c.tipo, QString::fromLatin1(c.movimento), QString::fromLatin1(c.codigo)).toStdString(),
                  c.esperado);
    }
    EXPECT_EQ(LinhasDeErro(), 0);
}

TEST_F(ChecaCST, ParametroInvalidoEscreveErro)
{
    const Consulta invalidas[] = {
        { 1, "", "49", "" }, { 1, "X", "49", "" }, { 3, "", "01", "" }, { 3, "e", "50", "" },
        { 5, "S", "01", "" }, { -1, "E", "01", "" },
    };
    qsizetype esperadas = 0;
    for (const Consulta& c : invalidas) {
        SCOPED_TRACE(QStringLiteral("%1 '%2'").arg(c.tipo).arg(QLatin1String(c.movimento)).toStdString());
        EXPECT_TRUE(Checa_CST(c.tipo, QString::fromLatin1(c.movimento), QString::fromLatin1(c.codigo)).isEmpty());
        EXPECT_EQ(LinhasDeErro(), ++esperadas);
    }
    EXPECT_EQ(FLog.LtLog().size(), esperadas);

    Log_ = nullptr;
    EXPECT_TRUE(Checa_CST(5, QStringLiteral("S"), QStringLiteral("01")).isEmpty());
}

TEST_F(ChecaCST, TextosDasTabelas)
{
    const struct
    {
        int tipo;
        const char* movimento;
        qsizetype tamanho;
    } listas[] = { { 0, "S", 11 }, { 1, "E", 7 }, { 1, "S", 7 }, { 2, "S", 34 },
                   { 3, "S", 11 }, { 3, "E", 23 }, { 4, "S", 5 } };
    const QRegularExpression formatoCodigo(QStringLiteral("^\\d\\d-[CN] -\\S"));
    const QRegularExpression formatoLetra(QStringLiteral("^[A-Z] -[DN] -\\S"));
    for (const auto& l : listas) {
        const QStringList tabela = TabelaCST(l.tipo, QString::fromLatin1(l.movimento));
        SCOPED_TRACE(l.tipo);
        EXPECT_EQ(tabela.size(), l.tamanho);
        for (const QString& entrada : tabela)
            EXPECT_TRUE((l.tipo == 4 ? formatoLetra : formatoCodigo).match(entrada).hasMatch())
                << entrada.toStdString();
    }
    EXPECT_TRUE(TabelaCST(3, QStringLiteral("X")).isEmpty());

    // The accented texts must survive the compiler's source character set.
    EXPECT_EQ(TabelaCST(4, {}).at(1), QStringLiteral("N -N -N\u00e3o tributado"));
    EXPECT_EQ(TabelaCST(3, QStringLiteral("S")).at(9),
              QStringLiteral("49-C -Outras opera\u00e7\u00e4es de sa\u00edda"));
    EXPECT_EQ(TabelaCST(3, QStringLiteral("E")).at(7),
              QStringLiteral("60-C -Cr\u00e9d. presumido-Aquis. vinc. exclus. a receita trib. MI"));
    EXPECT_EQ(TabelaCST(0, {}).at(0), QStringLiteral("00-C -Tributa\u00e7\u00e3o integralmente"));
}

}  // namespace
