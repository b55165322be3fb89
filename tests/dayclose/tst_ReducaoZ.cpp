// The conversion of Ruxo's reductions into VEN_ECF_C, VEN_ECF_T and VEN_ECF_S, on a real data drive.

#include "AmbienteReducao.h"

#include "uErros.h"

namespace {

TEST(SerieReducaoZ, NumeroDoECFSemZerosECRODeDoisDigitos)
{
    struct Caso { int ecf; int cro; const char* serie; const char* cro2; };
    const Caso casos[] = {
        {1, 3, "X103", "03"},
        {12, 1, "X1201", "01"},
        {1, 123, "X112", "12"},  // a longer counter keeps its first two digits
        {7, 0, "X700", "00"},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(SerieReducaoZ(c.ecf, c.cro), QString::fromLatin1(c.serie)) << c.ecf << "/" << c.cro;
        EXPECT_EQ(DoisDigitos(c.cro), QString::fromLatin1(c.cro2)) << c.cro;
    }
}

class Conversao : public AmbienteReducao
{
protected:
    // A fresh integrator object per run, as each import makes one.
    bool Converte(const std::vector<TReg_017>& reducoes, const std::vector<TReg_018>& aliquotas, TDateTime inicio)
    {
        TRuxo ruxo(Dir);
        for (const TReg_017& z : reducoes)
            ruxo.Retorno()->Reg_017.Add() = z;
        for (const TReg_018& r : aliquotas)
            ruxo.Retorno()->Reg_018.Add() = r;
        return ConverterReducaoZ(ruxo, inicio);
    }

    QStringList Aliquotas(const char* tabela, const char* coluna) const
    {
        const QString c = QString::fromLatin1(coluna);
        return Bruto(QStringLiteral("select \"Codigo da Empresa\", \"Serie do Documento\", \"Data\", "
                                    "\"Indice Aliquota\", \"Aliquota de %1\", \"Base de Calculo %1\", "
                                    "\"Valor do %1\" from \"%2\" order by \"Data\", \"Aliquota de %1\"")
                         .arg(c, QString::fromLatin1(tabela)));
    }
};

const char* const ColunasC =
    "\"Codigo da Empresa\", \"Serie do Documento\", \"Data\", \"Nome Fantasia Empresa\", \"Numero Sequencia\", "
    "\"Numero Cupom Inicial\", \"Numero Cupom Final\", \"Numero Cupom Reducao\", \"Contador Reducao\", "
    "\"Totalizador Inicial\", \"Totalizador Final\", \"Cancelados\", \"Descontos\", \"Isento\", "
    "\"Nao Incidencia\", \"Substituicao Tributaria\", \"Acrescimos\", \"Acrescimos Financeiros\", \"Sangria\", "
    "\"Suprimentos\", \"ISSQN\", \"Numero do ECF\", \"Numero Serie Fabricacao\", \"ISSQN Cancelados\", "
    "\"ISSQN Descontos\", \"ISSQN Acrescimos\", \"ISSQN Isento\", \"ISSQN Nao Incidencia\", "
    "\"ISSQN Subs. Tributaria\", \"Data Emissao\", \"Reinicio Operacao\", \"Codigo_Usuario\", \"Data_Inclusao\", "
    "\"Hora_Inclusao\", \"Numero_Controle_dia\"";

TEST_F(Conversao, ReducaoNovaPreencheCadaColunaDeVEN_ECF_C)
{
    ASSERT_TRUE(Converte({Reducao(1, Dia(19), 1, 123)}, {}, Dia(1)));

    const QStringList linhas = Bruto(QStringLiteral("select %1 from \"ECF_C\"").arg(QString::fromLatin1(ColunasC)));
    ASSERT_EQ(linhas.size(), 1);
    const QStringList v = linhas.first().split(u'|');
    const QStringList esperado{
        "0001", "X112", "2026-03-19", "LOJA DEMO", "000000", "101", "201", "301", "41",
        "1000.11", "2000.22", "3.33", "5.55", "6.66", "7.77", "8.88", "4.44",
        "0.0", "0.0", "0.0", "0.0", "1", "BE0910SERIE",
        "1.01", "1.03", "1.02", "1.04", "1.05", "1.06",
        "<null>", "123", "0007", "2026-03-20", "10:00", "000042"};
    ASSERT_EQ(v.size(), esperado.size());
    const QStringList nomes = QString::fromLatin1(ColunasC).split(QStringLiteral(", "));
    for (qsizetype i = 0; i < v.size(); ++i)
        EXPECT_EQ(v[i], esperado[i]) << nomes[i].toStdString();
    // The day-closing check of the coupon import reads the counter from here.
    EXPECT_EQ(Sys_.Numero_do_CRO, QStringLiteral("12"));
    EXPECT_TRUE(Linhas().contains(QStringLiteral("Aguarde, Convertendo Reducao Z")));
}

TEST_F(Conversao, MesmaRespostaDuasVezesAtualizaAsMesmasLinhas)
{
    TReg_017 z = Reducao(1, Dia(19));
    const std::vector<TReg_018> aliquotas{Aliquota(1, "T", "18.00", "100.00", "18.00", 1),
                                          Aliquota(1, "S", "5.00", "40.00", "2.00", 2)};
    ASSERT_TRUE(Converte({z}, aliquotas, Dia(1)));
    ExecutaBruto(QStringLiteral("update \"ECF_C\" set \"Data Emissao\" = '2026-03-19'"));

    Relogio(QDateTime(QDate(2026, 3, 21), QTime(8, 15)));
    z.GT_Final = C("2500.00");
    ASSERT_TRUE(Converte({z}, aliquotas, Dia(1)));

    EXPECT_EQ(Contagem("ECF_C"), 1);
    EXPECT_EQ(Contagem("ECF_T"), 1);
    EXPECT_EQ(Contagem("ECF_S"), 1);
    EXPECT_EQ(Bruto(QStringLiteral("select \"Totalizador Final\", \"Data_Inclusao\", \"Hora_Inclusao\", "
                                   "\"Data Emissao\" from \"ECF_C\"")),
              QStringList{QStringLiteral("2500.0|2026-03-21|08:15|2026-03-19")});
}

TEST_F(Conversao, ReducoesAntesDaDataInicialFicamDeFora)
{
    ASSERT_TRUE(Converte({Reducao(1, Dia(3), 1, 4), Reducao(2, Dia(4), 1, 5)},
                         {Aliquota(1, "T", "18.00", "10.00", "1.80", 1), Aliquota(2, "T", "12.00", "20.00", "2.40", 2)},
                         Dia(4)));

    EXPECT_EQ(Bruto(QStringLiteral("select \"Data\", \"Serie do Documento\" from \"ECF_C\"")),
              QStringList{QStringLiteral("2026-03-04|X105")});
    EXPECT_EQ(Aliquotas("ECF_T", "ICMS"), QStringList{QStringLiteral("0001|X105|2026-03-04|02|12.0|20.0|2.4")});
    EXPECT_EQ(Sys_.Numero_do_CRO, QStringLiteral("05"));
}

TEST_F(Conversao, AliquotasVaoParaTOuSPeloServico)
{
    ASSERT_TRUE(Converte({Reducao(7, Dia(19))},
                         {
                             Aliquota(7, "T", "18.00", "100.00", "18.00", 1),
                             Aliquota(7, "S", "5.00", "40.00", "2.00", 2),
                             Aliquota(7, "S", "2.00", "50.00", "1.00", 3),
                             // The same rate again: it updates the row the first line inserted.
                             Aliquota(7, "T", "18.00", "150.00", "27.00", 4),
                             // Lines of no reduction in the answer: another reduction's key,
                             // and the same key from another printer.
                             Aliquota(99, "T", "7.00", "10.00", "0.70", 5),
                             Aliquota(7, "T", "12.00", "10.00", "1.20", 6, 2),
                         },
                         Dia(1)));

    EXPECT_EQ(Aliquotas("ECF_T", "ICMS"), QStringList{QStringLiteral("0001|X103|2026-03-19|04|18.0|150.0|27.0")});
    EXPECT_EQ(Aliquotas("ECF_S", "ISSQN"), (QStringList{QStringLiteral("0001|X103|2026-03-19|03|2.0|50.0|1.0"),
                                                        QStringLiteral("0001|X103|2026-03-19|02|5.0|40.0|2.0")}));
}

TEST_F(Conversao, RespostaSemReducaoNaoGravaNada)
{
    Sys_.Numero_do_CRO = QStringLiteral("05");
    EXPECT_FALSE(Converte({}, {Aliquota(1, "T", "18.00", "10.00", "1.80", 1)}, Dia(1)));

    EXPECT_TRUE(Linhas().contains(QStringLiteral("Erro   : Redução não importada arquivo sem movimentações")));
    EXPECT_EQ(Contagem("ECF_C"), 0);
    EXPECT_EQ(Contagem("ECF_T"), 0);
    EXPECT_EQ(Sys_.Numero_do_CRO, QStringLiteral("05"));
}

// A rate row the database refuses, in the second reduction of the answer: nothing of the
// answer stays, not even the first reduction that went through, and the counter is not moved.
TEST_F(Conversao, FalhaNoMeioDesfazARespostaInteira)
{
    Recusa("ECF_T", "new.\"Aliquota de ICMS\" = 7", "aliquota recusada");
    Sys_.Numero_do_CRO = QStringLiteral("05");

    EXPECT_THROW(Converte({Reducao(1, Dia(18), 1, 8), Reducao(2, Dia(19), 1, 9)},
                          {Aliquota(1, "T", "18.00", "10.00", "1.80", 1), Aliquota(2, "T", "7.00", "10.00", "0.70", 2)},
                          Dia(1)),
                 EDatabaseError);

    EXPECT_FALSE(TSessao::Padrao().InTransaction());
    EXPECT_EQ(Contagem("ECF_C"), 0);
    EXPECT_EQ(Contagem("ECF_T"), 0);
    EXPECT_EQ(Sys_.Numero_do_CRO, QStringLiteral("05"));
    EXPECT_TRUE(Linhas().filter(QStringLiteral("aliquota recusada")).size() > 0);

    // The same answer goes through once the database accepts it again.
    SemRecusa("ECF_T");
    EXPECT_TRUE(Converte({Reducao(1, Dia(18), 1, 8), Reducao(2, Dia(19), 1, 9)},
                         {Aliquota(1, "T", "18.00", "10.00", "1.80", 1), Aliquota(2, "T", "7.00", "10.00", "0.70", 2)},
                         Dia(1)));
    EXPECT_EQ(Contagem("ECF_C"), 2);
    EXPECT_EQ(Contagem("ECF_T"), 2);
    EXPECT_EQ(Sys_.Numero_do_CRO, QStringLiteral("09"));
}

}  // namespace
