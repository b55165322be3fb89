#include "uErros.h"
#include "uTradutorSQL.h"

#include <gtest/gtest.h>

namespace {

class TDialetoTeste : public TDialetoSQL
{
public:
    QString ReferenciaTabela(const QString& alias, const QString& tabela) const override
    {
        return QStringLiteral("<%1.%2>").arg(alias, tabela);
    }
    QString Parametro(int numero) const override { return QStringLiteral("$%1").arg(numero); }
};

TDialetoTeste Dialeto;

}  // namespace

TEST(Tradutor, ReescreveTabelasEParametrosRespeitandoAspas)
{
    struct Caso
    {
        const char* entrada;
        const char* saida;
        QStringList params;
    };
    const Caso casos[] = {
        {"select NOTAC.* from \":N_VENDAS:NOTAC\" where (1=2)", "select NOTAC.* from <N_VENDAS.NOTAC> where (1=2)", {}},
        {"where (NOTAC.\"Codigo da Empresa\" =:pCodigo_da_Empresa) and \n(NOTAC.\"Serie\" =:pSerie)",
         "where (NOTAC.\"Codigo da Empresa\" =$1) and \n(NOTAC.\"Serie\" =$2)",
         {"pCodigo_da_Empresa", "pSerie"}},
        // Inside quotes nothing is a parameter or a table.
        {"select 'a:b :x' from T where \"x:y\" = :p", "select 'a:b :x' from <N_CADASTRO.T> where \"x:y\" = $1", {"p"}},
        {"select 'it''s :no' from \":n_cadastro:EMPRESAS\"", "select 'it''s :no' from <N_CADASTRO.EMPRESAS>", {}},
        // A name used twice is one parameter; names ignore case as the old engine's did.
        {"update T set \"A\" =:a, \"B\" =:A", "update <N_CADASTRO.T> set \"A\" =$1, \"B\" =$1", {"a"}},
        // SQL takes bare names where a column is assigned.
        {"insert into \":N_VENDAS:NOTAC\" (\nNOTAC.\"Serie\", \nNOTAC.\"Valor\") \nvalues(\n:aSerie, \n:aValor) ",
         "insert into <N_VENDAS.NOTAC> (\n\"Serie\", \n\"Valor\") \nvalues(\n$1, \n$2) ", {"aSerie", "aValor"}},
        {"update \":N_VENDAS:NOTAC\" Set \nNOTAC.\"Serie\" =:aSerie, \nNOTAC.\"Valor\" =:aValor  \nwhere \n(NOTAC.\"Serie\" =:pSerie)",
         "update <N_VENDAS.NOTAC> Set \n\"Serie\" =$1, \n\"Valor\" =$2  \nwhere \n(NOTAC.\"Serie\" =$3)",
         {"aSerie", "aValor", "pSerie"}},
        {"select \"x\".\"y\" from \"Tab\" -- :c comment", "select \"x\".\"y\" from <N_CADASTRO.Tab> -- :c comment", {}},
    };
    for (const Caso& c : casos) {
        auto t = TraduzirSQL(QString::fromUtf8(c.entrada), QStringLiteral("N_CADASTRO"), Dialeto);
        EXPECT_EQ(QString::fromUtf8(t->Sql).toStdString(), c.saida) << c.entrada;
        EXPECT_EQ(t->Parametros, c.params) << c.entrada;
    }
}

TEST(Tradutor, DizAColunaDeCadaParametro)
{
    auto t = TraduzirSQL(QStringLiteral("insert into \":N_VENDAS:NOTAI\" (\nNOTAI.\"Codigo\", \nNOTAI.\"Data\") \n"
                                        "values(\n:aCodigo, \n:aData) "),
                         {}, Dialeto);
    ASSERT_EQ(t->Alvos.size(), 2u);
    EXPECT_EQ(t->Alvos[1].Alias, QStringLiteral("N_VENDAS"));
    EXPECT_EQ(t->Alvos[1].Tabela, QStringLiteral("NOTAI"));
    EXPECT_EQ(t->Alvos[1].Coluna, QStringLiteral("Data"));

    auto u = TraduzirSQL(QStringLiteral("update \":N_VENDAS:NOTAC\" Set \nNOTAC.\"Data Emissao\" =:aData_Emissao  \n"
                                        "where \n(:pX = NOTAC.\"Hora\")"),
                         {}, Dialeto);
    ASSERT_EQ(u->Alvos.size(), 2u);
    EXPECT_EQ(u->Alvos[0].Coluna, QStringLiteral("Data Emissao"));
    EXPECT_EQ(u->Alvos[1].Coluna, QStringLiteral("Hora"));

    auto m = TraduzirSQL(QStringLiteral("SELECT MAX(NOTAC.\"Data\") FROM \":N_VENDAS:NOTAC\" "), {}, Dialeto);
    ASSERT_EQ(m->Origens.size(), 1u);
    EXPECT_EQ(m->Origens[0].Coluna.Coluna, QStringLiteral("Data"));
    EXPECT_TRUE(m->Consulta);
}

TEST(Tradutor, TextoIlegivelCitaALinha)
{
    struct Caso
    {
        const char* texto;
        const char* linha;
    };
    const Caso casos[] = {
        {"select *\nfrom T where \"Nome = :p", "linha 2: from T where \"Nome = :p"},
        {"select 'aberto\nfrom T", "linha 1: select 'aberto"},
        {"select * from T\nwhere x = : ", "linha 2: where x = : "},
        {"select * from \":N_VENDAS\"", "linha 1: select * from \":N_VENDAS\""},
    };
    for (const Caso& c : casos) {
        try {
            TraduzirSQL(QString::fromUtf8(c.texto), {}, Dialeto);
            ADD_FAILURE() << "aceitou: " << c.texto;
        } catch (const EDatabaseError& e) {
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.linha))) << e.Message().toStdString();
        }
    }
}
