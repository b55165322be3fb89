#include "BancoTeste.h"

#include "uController.h"
#include "uDaoBDE.h"
#include "uErros.h"

#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QCoreApplication>

namespace {

QVariant Texto(const char* t)
{
    return QVariant(QString::fromUtf8(t));
}

}  // namespace

class Dao : public BancoTeste
{
protected:
    void Empresas()
    {
        CriaTabela(ttbCAD_EMPRESAS);
        Sql("CADASTRO", "INSERT INTO \"EMPRESAS\" (\"Codigo da Empresa\", \"Nome Fantasia Empresa\", \"CGC Empresa\") "
                        "VALUES ('0001', 'ALFA', '111'), ('0002', 'BETA', '222')");
    }
};

TEST_F(Dao, InsertOfAnObjectIsTheSixteenLineStatementAndUpperCasesOnlyAToZ)
{
    CriaTabela(ttbCAD_CONTRDIA);
    TCAD_CONTRDIAController c;
    TCAD_CONTRDIA o;
    o.Numero_Controle_Dia = "000007";
    o.Chapa = "0001";
    o.Nome = QString::fromUtf8("ação");
    o.Data = TDateTime::Encode(2024, 5, 6, 13, 45);
    o.Hora = "13:45";
    o.Situacao_Controle_Dia = "l";
    ASSERT_TRUE(c.daoCONTRDIA->Inserir(o));

    const QStringList esperado = {
        R"(insert into ":N_CADASTRO:CONTRDIA" ()",
        R"(CONTRDIA."Numero_Controle_Dia", )",
        R"(CONTRDIA."Chapa", )",
        R"(CONTRDIA."Nome", )",
        R"(CONTRDIA."Data", )",
        R"(CONTRDIA."Hora", )",
        R"(CONTRDIA."Situacao_Controle_Dia", )",
        R"(CONTRDIA."Observacao") )",
        "values(",
        ":aNumero_Controle_Dia, ",
        ":aChapa, ",
        ":aNome, ",
        ":aData, ",
        ":aHora, ",
        ":aSituacao_Controle_Dia, ",
        ":aObservacao) ",
    };
    EXPECT_EQ(c.daoCONTRDIA->Query->SQL().Strings(), esperado);
    EXPECT_EQ(Valor("CADASTRO", "SELECT \"Nome\" FROM \"CONTRDIA\"").toString(), QString::fromUtf8("AçãO"));
    EXPECT_EQ(Valor("CADASTRO", "SELECT \"Situacao_Controle_Dia\" FROM \"CONTRDIA\"").toString(), "L");
    EXPECT_EQ(Valor("CADASTRO", "SELECT \"Data\" FROM \"CONTRDIA\"").toString(), "2024-05-06");
    EXPECT_TRUE(Valor("CADASTRO", "SELECT \"Observacao\" FROM \"CONTRDIA\"").isNull());  // empty text
    EXPECT_TRUE(LinhasLog().isEmpty());

    // Same statement again: the object is reusable and the second row lands too.
    o.Numero_Controle_Dia = "000008";
    ASSERT_TRUE(c.daoCONTRDIA->Inserir(o));
    EXPECT_EQ(Valor("CADASTRO", "SELECT COUNT(*) FROM \"CONTRDIA\"").toLongLong(), 2);
}

TEST_F(Dao, UpdateSetsEveryMappedColumnAndEndsTheLastWithTwoBlanks)
{
    CriaTabela(ttbCAD_CONTRDIA);
    Sql("CADASTRO", "INSERT INTO \"CONTRDIA\" (\"Numero_Controle_Dia\", \"Chapa\", \"Nome\", \"Observacao\") "
                    "VALUES ('000001', '0001', 'A', 'x'), ('000002', '0002', 'B', 'y')");
    TCAD_CONTRDIAController c;
    TCAD_CONTRDIA o;
    o.Numero_Controle_Dia = "000009";
    o.Chapa = "0002";
    o.Nome = "novo";
    ASSERT_TRUE(c.daoCONTRDIA->Atualizar(o, {"Chapa"}, {Texto("0002")}));
    const QStringList esperado = {
        R"(update ":N_CADASTRO:CONTRDIA" Set )",
        R"(CONTRDIA."Numero_Controle_Dia" =:aNumero_Controle_Dia, )",
        R"(CONTRDIA."Chapa" =:aChapa, )",
        R"(CONTRDIA."Nome" =:aNome, )",
        R"(CONTRDIA."Data" =:aData, )",
        R"(CONTRDIA."Hora" =:aHora, )",
        R"(CONTRDIA."Situacao_Controle_Dia" =:aSituacao_Controle_Dia, )",
        R"(CONTRDIA."Observacao" =:aObservacao  )",
        "where ",
        R"((CONTRDIA."Chapa" =:pChapa))",
    };
    EXPECT_EQ(c.daoCONTRDIA->Query->SQL().Strings(), esperado);
    EXPECT_EQ(Valor("CADASTRO", "SELECT \"Nome\" FROM \"CONTRDIA\" WHERE \"Chapa\"='0002'").toString(), "NOVO");
    EXPECT_EQ(Valor("CADASTRO", "SELECT \"Numero_Controle_Dia\" FROM \"CONTRDIA\" WHERE \"Chapa\"='0002'").toString(), "000009");
    EXPECT_TRUE(Valor("CADASTRO", "SELECT \"Observacao\" FROM \"CONTRDIA\" WHERE \"Chapa\"='0002'").isNull());
    EXPECT_EQ(Valor("CADASTRO", "SELECT \"Nome\" FROM \"CONTRDIA\" WHERE \"Chapa\"='0001'").toString(), "A");
}

TEST_F(Dao, SelectWritesOneConditionLinePerNameAndReadsTheFirstRow)
{
    Empresas();
    TCAD_EMPRESASController c;
    struct Caso
    {
        QStringList campos;
        QVariantList valores;
        QStringList linhas;
        QString codigo;
    };
    const QString cabeca = R"(select EMPRESAS.* from ":N_CADASTRO:EMPRESAS" )";
    const std::vector<Caso> casos = {
        {{}, {}, {cabeca}, "0001"},
        {{""}, {Texto("0002")}, {cabeca}, "0001"},  // an empty first name means no condition
        {{"Codigo da Empresa"}, {Texto("0002")},
         {cabeca, "where ", R"((EMPRESAS."Codigo da Empresa" =:pCodigo_da_Empresa))"}, "0002"},
        {{"Codigo da Empresa", "CGC Empresa"}, {Texto("0001"), Texto("999")},
         {cabeca, "where ", R"((EMPRESAS."Codigo da Empresa" =:pCodigo_da_Empresa) and )",
          R"((EMPRESAS."CGC Empresa" =:pCGC_Empresa))"},
         ""},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.campos.join(',').toStdString());
        std::unique_ptr<TClasseBase> obj = c.daoEMPRESAS->BuscaValor(caso.campos, caso.valores);
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(c.daoEMPRESAS->Query->SQL().Strings(), caso.linhas);
        const auto& empresa = static_cast<const TCAD_EMPRESAS&>(*obj);
        EXPECT_EQ(empresa.Codigo_da_Empresa, caso.codigo);
        EXPECT_FALSE(c.daoEMPRESAS->Query->Active());
    }
    auto beta = c.daoEMPRESAS->Busca({"Codigo da Empresa"}, {Texto("0002")});
    EXPECT_EQ(beta->Nome_Fantasia_Empresa, "BETA");
    EXPECT_EQ(beta->CGC_Empresa, "222");
}

TEST_F(Dao, DeleteWithAndWithoutConditions)
{
    Empresas();
    TCAD_EMPRESASController c;
    ASSERT_TRUE(c.daoEMPRESAS->Excluir({"Codigo da Empresa"}, {Texto("0001")}));
    EXPECT_EQ(c.daoEMPRESAS->Query->SQL().Strings(),
              (QStringList{R"(delete from ":N_CADASTRO:EMPRESAS" )", "where ",
                           R"((EMPRESAS."Codigo da Empresa" =:pCodigo_da_Empresa))"}));
    EXPECT_EQ(Valor("CADASTRO", "SELECT \"Codigo da Empresa\" FROM \"EMPRESAS\"").toString(), "0002");
    ASSERT_TRUE(c.daoEMPRESAS->Excluir({}, {}));
    EXPECT_EQ(c.daoEMPRESAS->Query->SQL().Strings(), QStringList{R"(delete from ":N_CADASTRO:EMPRESAS" )"});
    EXPECT_EQ(Valor("CADASTRO", "SELECT COUNT(*) FROM \"EMPRESAS\"").toLongLong(), 0);
}

TEST_F(Dao, StatementsFollowTheTableAfterItChanges)
{
    CriaTabela(ttbCAD_CONTRDIA);
    CriaTabela(ttbCAD_USUARIOS);
    Sql("CADASTRO", "INSERT INTO \"CONTRDIA\" (\"Chapa\") VALUES ('0001'), ('0002')");
    Sql("CADASTRO", "INSERT INTO \"USUARIOS\" (\"Chapa\") VALUES ('0001'), ('0002')");
    TCAD_CONTRDIAController c;
    auto& dao = *c.daoCONTRDIA;
    ASSERT_TRUE(dao.Excluir({"Chapa"}, {Texto("0001")}));
    dao.SetTabela(ttbCAD_USUARIOS);
    // The same operation and fields: the text written for CONTRDIA must not be the one run now.
    ASSERT_TRUE(dao.Excluir({"Chapa"}, {Texto("0002")}));
    EXPECT_EQ(dao.Query->SQL().Strings(), (QStringList{R"(delete from ":N_CADASTRO:USUARIOS" )", "where ",
                                                       R"((USUARIOS."Chapa" =:pChapa))"}));
    EXPECT_EQ(Valor("CADASTRO", "SELECT MIN(\"Chapa\") || '/' || COUNT(*) FROM \"CONTRDIA\"").toString(), "0002/1");
    EXPECT_EQ(Valor("CADASTRO", "SELECT MIN(\"Chapa\") || '/' || COUNT(*) FROM \"USUARIOS\"").toString(), "0001/1");
}

TEST_F(Dao, CurrencyColumnsReadAsCurrencyFromDoubleMakesThem)
{
    CriaTabela(ttbVEN_NOTAC);
    // Stored ten-thousandths, values with more places, beyond the short way's range, and tiny ones.
    const double valores[] = {0.1,     12.5,   1234.5678, -7.0001,          2.675,    0.00005,
                              0.00015, 12.34567, 99999999999.9999, 123456789012.3456, 1e-20, -0.0};
    QStringList linhas;
    for (int i = 0; i < int(std::size(valores)); ++i)
        linhas << QStringLiteral("('%1', %2)").arg(i).arg(QString::number(valores[i], 'g', 17));
    Sql("VENDAS", "INSERT INTO \"NOTAC\" (\"Numero do Documento\", \"Valor Mercadoria\") VALUES " + linhas.join(','));
    TVEN_NOTACController c;
    for (int i = 0; i < int(std::size(valores)); ++i) {
        SCOPED_TRACE(QString::number(valores[i], 'g', 17).toStdString());
        // As stored: a server keeps four places of its own, rounding the longer ones.
        const double guardado = Valor("VENDAS", QStringLiteral("SELECT \"Valor Mercadoria\" FROM \"NOTAC\" "
                                                               "WHERE \"Numero do Documento\"='%1'").arg(i)).toDouble();
        auto nota = c.daoNOTAC->Busca({"Numero do Documento"}, {QVariant(QString::number(i))});
        EXPECT_EQ(nota->Valor_Mercadoria.Raw(), Currency::FromDouble(guardado).Raw());
    }
    EXPECT_EQ(c.daoNOTAC->Busca({"Numero do Documento"}, {Texto("0")})->Valor_Mercadoria.Raw(), 1000);
    EXPECT_EQ(c.daoNOTAC->Busca({"Numero do Documento"}, {Texto("4")})->Valor_Mercadoria.Raw(), 26750);
}

TEST_F(Dao, AStagingFieldWhoseNameIsNoParameterNameRaisesInsteadOfBinding)
{
    CriaTabela(ttbCAD_CONTRDIA, {}, {{"Valor (R$)", "VARCHAR(10)"}});
    TCAD_CONTRDIAController c;
    auto& dao = *c.daoCONTRDIA;
    TCAD_CONTRDIA o;
    o.Numero_Controle_Dia = "000001";
    dao.Add(o);
    try {
        dao.Inserir();
        ADD_FAILURE() << "inserted";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains("aValor_(R$)")) << e.what();
    }
    EXPECT_EQ(Valor("CADASTRO", "SELECT COUNT(*) FROM \"CONTRDIA\"").toLongLong(), 0);
    EXPECT_EQ(LinhasLog().size(), 5);  // the statement as built still ran: five failed attempts
}

TEST_F(Dao, ConditionsShortOfValuesRunOnceFailingAndDeleteNothing)
{
    Empresas();
    TCAD_EMPRESASController c;
    // The same statement ran before with both values: the missing one must not be the old one.
    ASSERT_TRUE(c.daoEMPRESAS->Excluir({"Codigo da Empresa", "CGC Empresa"}, {Texto("0001"), Texto("111")}));
    Sql("CADASTRO", "INSERT INTO \"EMPRESAS\" (\"Codigo da Empresa\", \"CGC Empresa\") VALUES ('0001', '111')");
    EXPECT_THROW(c.daoEMPRESAS->Excluir({"Codigo da Empresa", "CGC Empresa"}, {Texto("0001")}), EListError);
    EXPECT_EQ(Valor("CADASTRO", "SELECT COUNT(*) FROM \"EMPRESAS\"").toLongLong(), 2);
    const QStringList log = LinhasLog();
    ASSERT_EQ(log.size(), 5);
    EXPECT_TRUE(log[4].startsWith("Erro   : Executar comando: Tentativa 4 ")) << log[4].toStdString();
}

TEST_F(Dao, GetMaxNextNumAndGeraId)
{
    CriaTabela(ttbCAD_CONTRDIA);
    TCAD_CONTRDIAController c;
    auto& dao = *c.daoCONTRDIA;
    EXPECT_EQ(dao.NextNum("Numero_Controle_Dia"), 1);
    EXPECT_EQ(dao.UltimoSqlAuxiliar(),
              QStringList{R"(SELECT MAX(CONTRDIA."Numero_Controle_Dia") FROM ":N_CADASTRO:CONTRDIA")"});
    EXPECT_EQ(dao.GeraId(), "000001");

    Sql("CADASTRO", "INSERT INTO \"CONTRDIA\" (\"Numero_Controle_Dia\", \"Chapa\") "
                    "VALUES ('000041', '0001'), ('000123', '0002'), ('000040', '0001')");
    dao.BuscaValor({"Chapa"}, {Texto("0002")});
    const QStringList antes = dao.Query->SQL().Strings();

    QVariant maior;
    dao.GetMax("Numero_Controle_Dia", {"Chapa"}, {Texto("0001")}, maior);
    EXPECT_EQ(maior.toString(), "000041");
    EXPECT_EQ(dao.UltimoSqlAuxiliar(),
              (QStringList{R"(SELECT MAX(CONTRDIA."Numero_Controle_Dia") FROM ":N_CADASTRO:CONTRDIA" )", "where ",
                           R"((CONTRDIA."Chapa" =:pChapa))"}));
    dao.GetMax("Numero_Controle_Dia", {"Chapa"}, {Texto("9999")}, maior);
    EXPECT_TRUE(maior.isNull());
    dao.GetMax("Numero_Controle_Dia", {}, {}, maior);
    EXPECT_EQ(maior.toString(), "000123");
    EXPECT_EQ(dao.NextNum("Numero_Controle_Dia"), 124);
    EXPECT_EQ(dao.Query->SQL().Strings(), antes);  // neither touches the object's own query

    QString numero;
    Sql("CADASTRO", "DELETE FROM \"CONTRDIA\" WHERE \"Numero_Controle_Dia\"='000123'");
    dao.GeraId(numero);
    EXPECT_EQ(numero, "000042");
}

TEST_F(Dao, GetMaxAndNextNumReraiseWithTheirOwnText)
{
    CriaTabela(ttbCAD_CONTRDIA);
    Sql("CADASTRO", "INSERT INTO \"CONTRDIA\" (\"Numero_Controle_Dia\", \"Chapa\") VALUES ('ABC', '0001')");
    TCAD_CONTRDIAController c;
    QVariant maior;
    try {
        c.daoCONTRDIA->GetMax("Coluna Que Falta", {}, {}, maior);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().startsWith("Falha na função GetMax \r\nMensagem original: ")) << e.what();
        EXPECT_GT(e.Message().size(), QString("Falha na função GetMax \r\nMensagem original: ").size());
    }
    try {
        c.daoCONTRDIA->NextNum("Numero_Controle_Dia");  // a text that is no number
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().startsWith("Falha gerar próximo ID\r\nMensagem original: ")) << e.what();
    }
    EXPECT_TRUE(LinhasLog().isEmpty());
}

TEST_F(Dao, ObjectBindingNullRules)
{
    CriaTabela(ttbVEN_NOTAC);
    CriaTabela(ttbVEN_NOTAI);
    TVEN_NOTACController notac;
    TVEN_NOTAIController notai;

    TVEN_NOTAC c;
    c.Codigo_da_Empresa = "0001";
    c.Numero_do_Documento = "000123";
    c.Peso_Bruto = 0;                                    // not in the null-when-zero list
    c.Valor_Nota_Fiscal = 0;                             // in it
    c.Valor_Mercadoria = Currency::FromRaw(125000);      // 12.5
    c.Numero_de_Parcelas = 0;
    c.Numero_de_Volumes = 3;
    c.Data_de_Emissao = TDateTime::Encode(2024, 1, 31);  // Data_de_Saida stays 0
    ASSERT_TRUE(notac.daoNOTAC->Inserir(c));

    TVEN_NOTAI i;
    i.Codigo_da_Empresa = "0001";
    i.Item_do_Documento = 1;
    i.Quantidade = 0;
    ASSERT_TRUE(notai.daoNOTAI->Inserir(i));

    struct Caso
    {
        const char* banco;
        const char* sql;
        QVariant esperado;  // null QVariant: stored as null
    };
    const std::vector<Caso> casos = {
        {"VENDAS", "SELECT \"Peso Bruto\" FROM \"NOTAC\"", 0.0},
        {"VENDAS", "SELECT \"Valor Nota Fiscal\" FROM \"NOTAC\"", QVariant()},
        {"VENDAS", "SELECT \"Valor Mercadoria\" FROM \"NOTAC\"", 12.5},
        {"VENDAS", "SELECT \"Numero de Parcelas\" FROM \"NOTAC\"", QVariant()},
        {"VENDAS", "SELECT \"Numero de Volumes\" FROM \"NOTAC\"", qint64(3)},
        {"VENDAS", "SELECT \"Data de Emissao\" FROM \"NOTAC\"", Texto("2024-01-31")},
        {"VENDAS", "SELECT \"Data de Saida\" FROM \"NOTAC\"", QVariant()},
        {"VENDAS", "SELECT \"Serie do Documento\" FROM \"NOTAC\"", QVariant()},
        {"VENDAS", "SELECT \"Quantidade\" FROM \"NOTAI\"", QVariant()},
        {"VENDAS", "SELECT \"Item do Documento\" FROM \"NOTAI\"", qint64(1)},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.sql);
        const QVariant v = Valor(caso.banco, caso.sql);
        if (caso.esperado.isNull())
            EXPECT_TRUE(v.isNull()) << v.toString().toStdString();
        else
            EXPECT_EQ(v, caso.esperado);
    }
}

TEST_F(Dao, StagingRecordsInsertInOrderWithTheirOwnNullRules)
{
    CriaTabela(ttbVEN_NOTAC);
    TVEN_NOTACController c;
    auto& dao = *c.daoNOTAC;
    TVEN_NOTAC doc;
    doc.Codigo_da_Empresa = "0001";
    doc.Numero_do_Documento = "000001";
    doc.Peso_Bruto = 0;  // a float 0 in the staging table is stored as null whatever its name
    dao.Add(doc);
    // A record whose float fields were never set: null, stored as 0 outside the list.
    dao.cdsTabela->Append();
    dao.cdsTabela->FieldByName("Codigo_da_Empresa").SetAsString("0001");
    dao.cdsTabela->FieldByName("Numero_do_Documento").SetAsString("000002");
    dao.cdsTabela->Post();

    for (dao.cdsTabela->First(); !dao.cdsTabela->Eof(); dao.cdsTabela->Next())
        ASSERT_TRUE(dao.Inserir());
    EXPECT_EQ(dao.cdsTabela->RecordCount(), 2);  // inserting does not empty the staging table
    // In the order of insertion: SQLite's rowid, the server's physical order of a table never updated.
    EXPECT_EQ(Valor("VENDAS", Postgres() ? "SELECT string_agg(\"Numero do Documento\", ',' ORDER BY ctid) FROM \"NOTAC\""
                                         : "SELECT group_concat(\"Numero do Documento\") FROM \"NOTAC\"")
                  .toString(),
              "000001,000002");
    EXPECT_TRUE(Valor("VENDAS", "SELECT \"Peso Bruto\" FROM \"NOTAC\" WHERE \"Numero do Documento\"='000001'").isNull());
    EXPECT_EQ(Valor("VENDAS", "SELECT \"Peso Bruto\" FROM \"NOTAC\" WHERE \"Numero do Documento\"='000002'"), QVariant(0.0));
    EXPECT_TRUE(Valor("VENDAS", "SELECT \"Valor Nota Fiscal\" FROM \"NOTAC\" WHERE \"Numero do Documento\"='000002'").isNull());
    EXPECT_EQ(dao.Query->SQL().Strings().first(), R"(insert into ":N_VENDAS:NOTAC" ()");
    EXPECT_TRUE(LinhasLog().isEmpty());
}

TEST_F(Dao, ConditionValueTypesWithoutABindingShowTheirMessageAndFail)
{
    Empresas();
    TCAD_EMPRESASController c;
    struct Caso
    {
        QVariant valor;
        const char* mensagem;
    };
    const std::vector<Caso> casos = {
        {QVariant(true), "Falta varBoolean no SetParams"},
        {QVariant(qlonglong(1)), "Falta varInt64 no SetParams"},
        {QVariant(qulonglong(1)), "Falta varUInt64 no SetParams"},
        {QVariant(uint(1)), "Falta varLongWord no SetParams"},
        {QVariant::fromValue(ushort(1)), "Falta varWord no SetParams"},
        {QVariant::fromValue(short(1)), "Falta varSmallint no SetParams"},
        {QVariant::fromValue(static_cast<signed char>(1)), "Falta varShortInt no SetParams"},
        {QVariant(1.0f), "Falta varSingle no SetParams"},
        {QVariant(), "Falta varEmpty no SetParams"},
        {QVariant::fromValue(nullptr), "Falta varNull no SetParams"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.mensagem);
        // The statement ran just before with a good value: a refused one must not reuse it.
        ASSERT_TRUE(c.daoEMPRESAS->Excluir({"Codigo da Empresa"}, {Texto("0002")}));
        Sql("CADASTRO", "INSERT INTO \"EMPRESAS\" (\"Codigo da Empresa\") VALUES ('0002')");
        Ui.Mensagens.clear();
        const int antes = int(LinhasLog().size());
        EXPECT_FALSE(c.daoEMPRESAS->Excluir({"Codigo da Empresa"}, {caso.valor}));
        EXPECT_EQ(Ui.Mensagens, QStringList{QStringLiteral("Mensagem: ") + caso.mensagem});
        EXPECT_EQ(LinhasLog().size(), antes + 5);
    }
    EXPECT_EQ(Valor("CADASTRO", "SELECT COUNT(*) FROM \"EMPRESAS\"").toLongLong(), 2);

    // A look-up fails at opening instead.
    Ui.Mensagens.clear();
    EXPECT_THROW(c.daoEMPRESAS->BuscaValor({"Codigo da Empresa"}, {QVariant(true)}), EDatabaseError);
    EXPECT_EQ(Ui.Mensagens.size(), 1);

    // Texts, empty or not, are texts; integers, floats and dates have their bindings.
    Ui.Mensagens.clear();
    EXPECT_TRUE(c.daoEMPRESAS->Excluir({"Codigo da Empresa"}, {QVariant(QString())}));
    EXPECT_TRUE(c.daoEMPRESAS->Excluir({"Codigo da Empresa"}, {QVariant(7)}));
    EXPECT_TRUE(c.daoEMPRESAS->Excluir({"Codigo da Empresa"}, {QVariant(7.5)}));
    EXPECT_TRUE(c.daoEMPRESAS->Excluir({"Codigo da Empresa"}, {QVariant::fromValue(Currency(7))}));
    EXPECT_TRUE(c.daoEMPRESAS->Excluir({"Codigo da Empresa"}, {QVariant::fromValue(TDateTime::Encode(2024, 1, 2))}));
    EXPECT_TRUE(Ui.Mensagens.isEmpty()) << Ui.Mensagens.join('\n').toStdString();
    EXPECT_EQ(Valor("CADASTRO", "SELECT COUNT(*) FROM \"EMPRESAS\"").toLongLong(), 2);
}

TEST_F(Dao, ExecutionAgainstATableLockedByAnotherProgramIsTriedFiveTimes)
{
    CriaTabela(ttbCAD_CONTRDIA);
    TCAD_CONTRDIAController c;
    QString pasta = qEnvironmentVariable("TV_BIN_DIR");
    if (pasta.isEmpty())
        pasta = QCoreApplication::applicationDirPath();
    QString trava = pasta + "/tv_trava_sqlite";
    QProcess outro;
    if (Postgres()) {
        // The same from another client of the server: a transaction that holds the table.
        trava = QStandardPaths::findExecutable("psql");
        ASSERT_FALSE(trava.isEmpty()) << "psql";
        outro.start(trava, {"-X", "-q", "-v", "ON_ERROR_STOP=1",
                            qEnvironmentVariable("TESKVADO_TESTE_PG") + " dbname=" + Unidade().Banco()});
        ASSERT_TRUE(outro.waitForStarted()) << trava.toStdString();
        outro.write("BEGIN;\nLOCK TABLE \"N_CADASTRO\".\"CONTRDIA\";\n\\echo travado\n");
    } else {
        outro.start(trava, {Arquivo("CADASTRO")});
    }
    ASSERT_TRUE(outro.waitForStarted()) << trava.toStdString();
    ASSERT_TRUE(outro.waitForReadyRead(5000));
    ASSERT_EQ(outro.readAll().trimmed(), "travado");

    TCAD_CONTRDIA o;
    o.Numero_Controle_Dia = "000001";
    EXPECT_FALSE(c.daoCONTRDIA->Inserir(o));
    outro.closeWriteChannel();
    outro.waitForFinished(5000);

    const QStringList log = LinhasLog();
    ASSERT_EQ(log.size(), 5) << log.join('\n').toStdString();
    QString mensagem;
    for (int n = 0; n < 5; ++n) {
        const QString prefixo = QStringLiteral("Erro   : Executar comando: Tentativa %1 ").arg(n);
        ASSERT_TRUE(log[n].startsWith(prefixo)) << log[n].toStdString();
        const QString resto = log[n].mid(prefixo.size());
        EXPECT_FALSE(resto.isEmpty());
        if (n == 0)
            mensagem = resto;
        EXPECT_EQ(resto, mensagem);  // the same statement, the same answer
    }
    EXPECT_TRUE(mensagem.contains("lock", Qt::CaseInsensitive)) << mensagem.toStdString();
    ASSERT_TRUE(c.daoCONTRDIA->Inserir(o));  // once the lock is gone it runs
}

TEST_F(Dao, ReadingManyRowsAppendsUnlessRecreated)
{
    Empresas();
    TCAD_EMPRESASController c;
    auto& dao = *c.daoEMPRESAS;
    QByteArray dados;
    dao.BuscaValores({}, {}, dados, true);
    ASSERT_EQ(dao.cdsTabela->RecordCount(), 2);
    dao.cdsTabela->First();
    EXPECT_EQ(dao.cdsTabela->FieldByName("Codigo_da_Empresa").AsString(), "0001");
    EXPECT_EQ(dao.cdsTabela->FieldByName("Nome_Fantasia_Empresa").AsString(), "ALFA");
    EXPECT_EQ(dao.cdsTabela->FieldByName("CGC_Empresa").AsString(), "111");
    EXPECT_FALSE(dao.Query->Active());

    dao.BuscaValores({}, {}, dados, false);
    EXPECT_EQ(dao.cdsTabela->RecordCount(), 4);
    dao.BuscaValores({"Codigo da Empresa"}, {Texto("0002")}, dados, false);
    EXPECT_EQ(dao.cdsTabela->RecordCount(), 5);
    TMemTable copia;
    copia.CarregaDados(dados);
    EXPECT_EQ(copia.RecordCount(), 5);

    dao.BuscaValores({}, {}, dados, true);
    EXPECT_EQ(dao.cdsTabela->RecordCount(), 2);
}

TEST_F(Dao, RecreatingTheStructureLeavesOutLookupColumns)
{
    CriaTabela(ttbCAD_EMPRESAS, {}, {{"Codigo_Lookup", "VARCHAR(10)"}, {"Ativa", "BOOLEAN"}});
    Sql("CADASTRO", "INSERT INTO \"EMPRESAS\" (\"Codigo da Empresa\", \"Codigo_Lookup\") VALUES ('0001', 'X')");
    TCAD_EMPRESASController c;
    auto& dao = *c.daoEMPRESAS;
    const int colunas = TCAD_EMPRESAS::Descritor().QtdPropriedades();
    // The structure reading keeps every understood column; a Boolean one is not understood.
    EXPECT_NE(dao.cdsTabela->FindField("Codigo_Lookup"), nullptr);
    EXPECT_EQ(dao.cdsTabela->FindField("Ativa"), nullptr);
    EXPECT_EQ(dao.LtEstruturaTabela().size(), colunas + 1);
    EXPECT_EQ(dao.LtEstruturaTabela().first(), "Codigo da Empresa=S(60)");

    QByteArray dados;
    dao.BuscaValores({}, {}, dados, true);
    EXPECT_EQ(dao.cdsTabela->FindField("Codigo_Lookup"), nullptr);
    EXPECT_EQ(dao.cdsTabela->FieldCount(), colunas);
    EXPECT_EQ(dao.cdsTabela->RecordCount(), 1);
    // The list grows: the columns are named twice, the first entry still wins.
    EXPECT_EQ(dao.LtEstruturaTabela().size(), 2 * colunas + 1);
    EXPECT_EQ(dao.LtEstruturaTabela().count("Codigo da Empresa=S(60)"), 2);
}

TEST_F(Dao, ADroppedColumnIsReportedInRedAndLeftOut)
{
    CriaTabela(ttbCAD_CONTRDIA, {"Observacao"});
    Sql("CADASTRO", "INSERT INTO \"CONTRDIA\" (\"Numero_Controle_Dia\", \"Chapa\") VALUES ('000001', '0001')");
    TCAD_CONTRDIAController c;
    TCAD_CONTRDIA o;
    o.Numero_Controle_Dia = "000002";
    o.Observacao = "perdida";
    ASSERT_TRUE(c.daoCONTRDIA->Inserir(o));
    EXPECT_EQ(c.daoCONTRDIA->Query->SQL().Count(), 14);
    EXPECT_EQ(c.daoCONTRDIA->Query->SQL()[6], R"(CONTRDIA."Situacao_Controle_Dia") )");

    const QString linha = QString::fromUtf8("Diferença na estrutura da tabela -> CONTRDIACampo -> Observacao");
    EXPECT_EQ(LinhasLog(), QStringList(3, linha));
    ASSERT_EQ(Tela.Linhas.size(), 3);
    EXPECT_EQ(Tela.Linhas[0][1].Texto.trimmed(), linha);
    EXPECT_EQ(Tela.Linhas[0][1].Cor, 0xFF0000u);

    ASSERT_TRUE(c.daoCONTRDIA->Atualizar(o, {"Chapa"}, {Texto("0001")}));
    EXPECT_EQ(LinhasLog().size(), 5);
    auto lido = c.daoCONTRDIA->Busca({"Numero_Controle_Dia"}, {Texto("000002")});
    EXPECT_EQ(lido->Numero_Controle_Dia, "000002");
    EXPECT_TRUE(lido->Observacao.isEmpty());
    EXPECT_EQ(LinhasLog().size(), 6);
}

TEST_F(Dao, AddOfAPropertyWithoutAStagingFieldNamesIt)
{
    CriaTabela(ttbCAD_CONTRDIA, {"Observacao"});
    TCAD_CONTRDIAController c;
    TCAD_CONTRDIA o;
    try {
        c.daoCONTRDIA->Add(o);
        ADD_FAILURE() << "no error";
    } catch (const EFieldNotFound& e) {
        EXPECT_TRUE(e.Message().contains("Observacao")) << e.what();
    }
    EXPECT_EQ(c.daoCONTRDIA->cdsTabela->State(), TMemTable::TEstado::Inserindo);
}

TEST_F(Dao, LookupOnATableWithoutModelClassIsClassNotFound)
{
    Sql("VENDAS", "CREATE TABLE \"GR_0012\" (\"Codigo\" VARCHAR(4))");
    TDaoBDE dao(tdVENDAS, ttbVEN_GR_0012);
    EXPECT_EQ(dao.LtEstruturaTabela(), QStringList{"Codigo=S(4)"});
    EXPECT_THROW(dao.BuscaValor({}, {}), EClassNotFound);
}

TEST_F(Dao, CopyingValuesByKeySurvivesKeysMissingInTheOtherTable)
{
    CriaTabela(ttbCAD_CONTRDIA);
    TCAD_CONTRDIAController c;
    auto& dao = *c.daoCONTRDIA;
    for (const char* chapa : {"0004", "0002", "0001", "0003"}) {
        TCAD_CONTRDIA o;
        o.Chapa = chapa;
        o.Nome = "sem nome";
        dao.Add(o);
    }
    TMemTable outra;
    AdicionaCampoTexto(outra, "Chapa", 4);
    AdicionaCampoTexto(outra, "Nome", 30);
    outra.CreateDataSet();
    for (auto [chapa, nome] : {std::pair{"0001", "UM"}, std::pair{"0003", "TRES"}, std::pair{"0004", "QUATRO"}}) {
        outra.Append();
        outra.FieldByName("Chapa").SetAsString(chapa);
        outra.FieldByName("Nome").SetAsString(nome);
        outra.Post();
    }
    TUIConsole progresso;
    dao.MontaLookup(outra, {"Chapa"}, &progresso, {"Nome"});
    QStringList nomes;
    for (dao.cdsTabela->First(); !dao.cdsTabela->Eof(); dao.cdsTabela->Next())
        nomes << dao.cdsTabela->FieldByName("Chapa").AsString() + '=' + dao.cdsTabela->FieldByName("Nome").AsString();
    // Insertion order again once the index is cleared.
    EXPECT_EQ(nomes, (QStringList{"0004=QUATRO", "0002=sem nome", "0001=UM", "0003=TRES"}));
    EXPECT_EQ(progresso.FMaximo, 4);
    EXPECT_TRUE(outra.IndexFieldNames().isEmpty());
    EXPECT_FALSE(dao.cdsTabela->ControlsDisabled());
}

class Controllers : public BancoTeste
{
};

TEST_F(Controllers, ANewControllerHandsOutItsTablesDaoWithAnEmptyStagingTable)
{
    CriaTabela(ttbCAD_EMPRESAS, {}, {{"Ativa", "BOOLEAN"}, {"Hora", "TIME"}});
    TCAD_EMPRESASController c;
    ASSERT_NE(c.daoEMPRESAS, nullptr);
    EXPECT_EQ(c.Dao(), c.daoEMPRESAS);
    EXPECT_EQ(c.daoEMPRESAS->Tabela(), ttbCAD_EMPRESAS);
    EXPECT_EQ(c.daoEMPRESAS->DataBase(), tdCADASTRO);
    EXPECT_EQ(c.daoEMPRESAS->Query->DatabaseName(), "N_CADASTRO");
    EXPECT_TRUE(c.daoEMPRESAS->cdsTabela->Active());
    EXPECT_TRUE(c.daoEMPRESAS->cdsTabela->IsEmpty());
    EXPECT_EQ(c.daoEMPRESAS->cdsTabela->NomesCampos(), TCAD_EMPRESAS::Descritor().NomesPropriedades());
}

TEST_F(Controllers, AControllerThatCannotBeBuiltLeavesNothing)
{
    try {
        TVEN_NOTACController c;
        ADD_FAILURE() << "built without its table";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains("NOTAC")) << e.what();
    }
}

TEST_F(Controllers, DestroyingAControllerFreesItsDao)
{
    CriaTabela(ttbCAD_EMPRESAS);
    auto c = std::make_unique<TCAD_EMPRESASController>();
    QPointer<TMemTable> staging = c->daoEMPRESAS->cdsTabela.get();
    ASSERT_FALSE(staging.isNull());
    c.reset();
    EXPECT_TRUE(staging.isNull());
}

TEST_F(Controllers, SharedSlotsFillInOrderAndEmptyAtRelease)
{
#define TV_CRIA(n, completo) CriaTabela(ttb##completo);
    TV_CONTROLADORES_COMPARTILHADOS(TV_CRIA)
#undef TV_CRIA
    TControladoresCompartilhados compartilhados;
    EXPECT_FALSE(compartilhados.Completo());
    QList<int> passos;
    compartilhados.CriaTodos([&](int passo) {
        passos << passo;
        EXPECT_NE(compartilhados.Slot(passo), nullptr);
    });
    EXPECT_EQ(passos, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    ASSERT_TRUE(compartilhados.Completo());
    EXPECT_EQ(compartilhados.VEN_NOTAC->daoNOTAC->Tabela(), ttbVEN_NOTAC);
    EXPECT_EQ(compartilhados.EST_SDESTQ->daoSDESTQ->Query->DatabaseName(), "N_ESTOQUE");

    TVEN_NOTACController* notac = compartilhados.VEN_NOTAC.get();
    compartilhados.CriaTodos();
    EXPECT_EQ(compartilhados.VEN_NOTAC.get(), notac);  // a filled slot is kept
    compartilhados.Libera();
    for (int passo = 0; passo < TControladoresCompartilhados::Quantidade; ++passo)
        EXPECT_EQ(compartilhados.Slot(passo), nullptr);
}

TEST_F(Controllers, AFailingStepLeavesItsSlotEmptyAndTheEarlierOnesFilled)
{
    CriaTabela(ttbCAD_DESTINAT);
    CriaTabela(ttbCAD_CIDADES);
    TControladoresCompartilhados compartilhados;
    EXPECT_THROW(compartilhados.CriaTodos(), EDatabaseError);  // CAD_CARTOES, step 2, is missing
    EXPECT_NE(compartilhados.Slot(0), nullptr);
    EXPECT_NE(compartilhados.Slot(1), nullptr);
    EXPECT_EQ(compartilhados.Slot(2), nullptr);
}
