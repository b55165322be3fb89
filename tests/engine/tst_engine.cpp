#include "uErros.h"
#include "uQuery.h"
#include "uSessao.h"
#include "uValoresSQL.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// The helper programs sit beside the test, in the build's bin folder.
QString PastaBin()
{
    QString pasta = qEnvironmentVariable("TV_BIN_DIR");
    return pasta.isEmpty() ? QCoreApplication::applicationDirPath() : pasta;
}

// A data drive with two folders and one table of every declared type, made through the engine.
class Motor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        for (const char* f : {"VENDAS", "CADASTRO"}) {
            QString pasta = Dir.path() + QStringLiteral("/Sistemas/") + QString::fromLatin1(f);
            S.AddStandardAlias(QStringLiteral("N_") + QString::fromLatin1(f), pasta, QStringLiteral("PARADOX"));
            S.CriarBanco(QStringLiteral("N_") + QString::fromLatin1(f));
        }
        Exec({"create table \":N_VENDAS:TIPOS\" (",
              "\"Texto\" VARCHAR(20), \"Letra\" CHAR(1), \"Memo\" MEMO(240), \"Pequeno\" SMALLINT,",
              "\"Inteiro\" INTEGER, \"Real\" FLOAT, \"Valor\" CURRENCY, \"Data\" DATE, \"Hora\" TIME,",
              "\"Momento\" TIMESTAMP, \"Sim\" BOOLEAN, \"Id\" AUTOINC, \"Bcd\" BCD(18,4), \"Bin\" BLOB,",
              "\"Foto\" GRAPHIC, \"Estranho\" XYZ)"});
        Exec({"create table \":N_CADASTRO:EMPRESAS\" (\"Codigo da Empresa\" VARCHAR(4) PRIMARY KEY,",
              "\"Nome Fantasia\" VARCHAR(30), \"Desde\" DATE)"});
    }

    void Exec(std::initializer_list<const char*> linhas)
    {
        TQuery q(S);
        for (const char* l : linhas)
            q.SQL().Add(QString::fromUtf8(l));
        q.ExecSQL();
    }

    // What the file really holds, read past the engine.
    QString Bruto(const QString& pasta, const QString& sql)
    {
        QString arquivo = Dir.path() + "/Sistemas/" + pasta + "/" + pasta + ".db";
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(arquivo.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        QStringList r;
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList linha;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* t = sqlite3_column_text(st, c);
                linha << (t ? QString::fromUtf8(reinterpret_cast<const char*>(t)) : QStringLiteral("<null>"));
            }
            r << linha.join(u'|');
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return r.join(u'\n');
    }

    QTemporaryDir Dir;
    TSessao S;
};

TEST_F(Motor, TiposDeCampoVemDoTipoDeclarado)
{
    TQuery q(S);
    q.SetDatabaseName("N_VENDAS");
    q.SQL().Add("select TIPOS.* from \":N_VENDAS:TIPOS\" where (1=2)");
    q.Open();
    struct Esperado
    {
        const char* nome;
        TFieldType tipo;
        int tamanho;
    };
    const Esperado esperados[] = {
        {"Texto", TFieldType::ftString, 20},  {"Letra", TFieldType::ftString, 1},
        {"Memo", TFieldType::ftMemo, 240},    {"Pequeno", TFieldType::ftSmallint, 0},
        {"Inteiro", TFieldType::ftInteger, 0}, {"Real", TFieldType::ftFloat, 0},
        {"Valor", TFieldType::ftCurrency, 0}, {"Data", TFieldType::ftDate, 0},
        {"Hora", TFieldType::ftTime, 0},      {"Momento", TFieldType::ftDateTime, 0},
        {"Sim", TFieldType::ftBoolean, 0},    {"Id", TFieldType::ftAutoInc, 0},
        {"Bcd", TFieldType::ftBCD, 18},       {"Bin", TFieldType::ftBlob, 0},
        {"Foto", TFieldType::ftGraphic, 0},   {"Estranho", TFieldType::ftUnknown, 0},
    };
    ASSERT_EQ(q.FieldCount(), int(std::size(esperados)));
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_TRUE(q.Eof());
    for (int i = 0; i < q.FieldCount(); ++i) {
        EXPECT_EQ(q.FieldDef(i).Nome.toStdString(), esperados[i].nome);
        EXPECT_EQ(q.FieldDef(i).Tipo, esperados[i].tipo) << esperados[i].nome;
        EXPECT_EQ(q.FieldDef(i).Tamanho, esperados[i].tamanho) << esperados[i].nome;
    }
}

TEST_F(Motor, FormasDosComandosDoAcessoADados)
{
    TQuery q(S);
    q.SetDatabaseName("N_CADASTRO");
    auto insere = [&](const QString& codigo, const QString& nome) {
        q.Close();
        q.SQL().Clear();
        q.SQL().Add("insert into \":N_CADASTRO:EMPRESAS\" (");
        q.SQL().Add("EMPRESAS.\"Codigo da Empresa\", ");
        q.SQL().Add("EMPRESAS.\"Nome Fantasia\", ");
        q.SQL().Add("EMPRESAS.\"Desde\") ");
        q.SQL().Add("values(");
        q.SQL().Add(":aCodigo_da_Empresa, ");
        q.SQL().Add(":aNome_Fantasia, ");
        q.SQL().Add(":aDesde) ");
        q.ParamByName("aCodigo_da_Empresa").SetAsString(codigo);
        q.ParamByName("aNome_Fantasia").SetAsString(nome);
        q.ParamByName("aDesde").SetAsDateTime(TDateTime::Encode(2024, 3, 5, 14, 30));
        q.ExecSQL();
        EXPECT_EQ(q.RowsAffected(), 1);
    };
    insere("0001", "LOJA UM");
    insere("0002", "LOJA DOIS");
    insere("0003", "LOJA DOIS");

    q.SQL().Clear();
    q.SQL().Add("select EMPRESAS.* from \":N_CADASTRO:EMPRESAS\" ");
    q.SQL().Add("where ");
    q.SQL().Add("(EMPRESAS.\"Nome Fantasia\" =:pNome_Fantasia) and ");
    q.SQL().Add("(EMPRESAS.\"Codigo da Empresa\" =:pCodigo_da_Empresa)");
    q.ParamByName("pNome_Fantasia").SetAsString("LOJA DOIS");
    q.ParamByName("pCodigo_da_Empresa").SetAsString("0003");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("Codigo da Empresa").AsString(), QStringLiteral("0003"));
    EXPECT_EQ(q.FieldByName("Desde").AsDateTime(), TDateTime::Encode(2024, 3, 5));
    q.Close();

    q.SQL().Clear();
    q.SQL().Add("update \":N_CADASTRO:EMPRESAS\" Set ");
    q.SQL().Add("EMPRESAS.\"Codigo da Empresa\" =:aCodigo_da_Empresa, ");
    q.SQL().Add("EMPRESAS.\"Nome Fantasia\" =:aNome_Fantasia  ");
    q.SQL().Add("where ");
    q.SQL().Add("(EMPRESAS.\"Codigo da Empresa\" =:pCodigo_da_Empresa)");
    q.ParamByName("aCodigo_da_Empresa").SetAsString("0002");
    q.ParamByName("aNome_Fantasia").SetAsString("SEGUNDA");
    q.ParamByName("pCodigo_da_Empresa").SetAsString("0002");
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);

    // The id generator's shape: no trailing blank, no condition.
    TQuery m(S);
    m.SetDatabaseName("N_CADASTRO");
    m.SQL().Add("SELECT MAX(EMPRESAS.\"Codigo da Empresa\") FROM \":N_CADASTRO:EMPRESAS\"");
    m.Open();
    ASSERT_EQ(m.FieldCount(), 1);
    EXPECT_EQ(m.FieldDef(0).Tipo, TFieldType::ftString);
    EXPECT_EQ(m.AsString(0), QStringLiteral("0003"));

    m.Close();
    m.SQL().Clear();
    m.SQL().Add("SELECT MAX(EMPRESAS.\"Desde\") FROM \":N_CADASTRO:EMPRESAS\" ");
    m.SQL().Add("where ");
    m.SQL().Add("(EMPRESAS.\"Nome Fantasia\" =:pNome_Fantasia)");
    m.ParamByName("pNome_Fantasia").SetAsString("NINGUEM");
    m.Open();
    EXPECT_EQ(m.FieldDef(0).Tipo, TFieldType::ftDate);
    EXPECT_TRUE(m.IsNull(0));

    q.SQL().Clear();
    q.SQL().Add("delete from \":N_CADASTRO:EMPRESAS\" ");
    q.SQL().Add("where ");
    q.SQL().Add("(EMPRESAS.\"Nome Fantasia\" =:pNome_Fantasia)");
    q.ParamByName("pNome_Fantasia").SetAsString("LOJA DOIS");
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);
    EXPECT_EQ(Bruto("CADASTRO", "select \"Codigo da Empresa\", \"Nome Fantasia\" from EMPRESAS order by 1"),
              QStringLiteral("0001|LOJA UM\n0002|SEGUNDA"));

    q.SQL().Clear();
    q.SQL().Add("delete from \":N_CADASTRO:EMPRESAS\" ");
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 2);
}

TEST_F(Motor, ValoresGravadosSeguemOContrato)
{
    TQuery q(S);
    q.SQL().Add("insert into \":N_VENDAS:TIPOS\" (TIPOS.\"Texto\", TIPOS.\"Pequeno\", TIPOS.\"Inteiro\", "
                "TIPOS.\"Real\", TIPOS.\"Valor\", TIPOS.\"Data\", TIPOS.\"Hora\", TIPOS.\"Momento\", TIPOS.\"Memo\") ");
    q.SQL().Add("values(:aTexto, :aPequeno, :aInteiro, :aReal, :aValor, :aData, :aHora, :aMomento, :aMemo) ");
    const TDateTime momento = TDateTime::Encode(2024, 12, 31, 23, 59, 58);
    q.ParamByName("aTexto").SetAsString(QStringLiteral("AçãO"));
    q.ParamByName("aPequeno").SetAsSmallInt(70000);  // the full number, whatever the type says
    q.ParamByName("aInteiro").SetAsInteger(-5);
    q.ParamByName("aReal").SetAsFloat(2.5);
    q.ParamByName("aValor").SetAsFloat(10);
    q.ParamByName("aData").SetAsDateTime(momento);
    q.ParamByName("aHora").SetAsDateTime(momento);
    q.ParamByName("aMomento").SetAsDateTime(momento);
    q.ParamByName("aMemo").SetAsString(QString());
    q.ExecSQL();
    EXPECT_EQ(Bruto("VENDAS",
                    "select \"Texto\", \"Pequeno\", typeof(\"Pequeno\"), \"Inteiro\", typeof(\"Real\"), "
                    "\"Data\", \"Hora\", \"Momento\", typeof(\"Memo\") from TIPOS"),
              QStringLiteral("AçãO|70000|integer|-5|real|2024-12-31|23:59:58|2024-12-31 23:59:58|null"));

    TQuery l(S);
    l.SQL().Add("select TIPOS.* from \":N_VENDAS:TIPOS\"");
    l.Open();
    ASSERT_EQ(l.RecordCount(), 1);
    EXPECT_EQ(l.FieldByName("Data").AsDateTime(), TDateTime::Encode(2024, 12, 31));
    EXPECT_EQ(l.FieldByName("Momento").Value().value<TDateTime>(), momento);
    EXPECT_EQ(l.FieldByName("Hora").AsDateTime().ToTime(), QTime(23, 59, 58));
    EXPECT_DOUBLE_EQ(l.FieldByName("Valor").AsFloat(), 10.0);
    EXPECT_TRUE(l.FieldByName("Memo").IsNull());
    EXPECT_FALSE(l.FieldByName("Memo").Value().isValid());
}

TEST_F(Motor, NulosTipadosEParametroSemValor)
{
    TQuery q(S);
    q.SQL().Add("insert into \":N_VENDAS:TIPOS\" (TIPOS.\"Texto\", TIPOS.\"Pequeno\", TIPOS.\"Real\", TIPOS.\"Data\") ");
    q.SQL().Add("values(:aTexto, :aPequeno, :aReal, :aData) ");
    q.ParamByName("aTexto").SetNull(TFieldType::ftString);
    q.ParamByName("aPequeno").SetNull(TFieldType::ftSmallint);
    q.ParamByName("aReal").SetNull(TFieldType::ftFloat);
    q.ParamByName("aData").SetNull(TFieldType::ftDateTime);
    EXPECT_EQ(q.ParamByName("aReal").DataType(), TFieldType::ftFloat);
    q.ExecSQL();
    EXPECT_EQ(Bruto("VENDAS", "select typeof(\"Texto\"), typeof(\"Pequeno\"), typeof(\"Real\"), typeof(\"Data\") from TIPOS"),
              QStringLiteral("null|null|null|null"));

    // Cleared and rewritten, the text forgets the old values: an unbound parameter must fail.
    q.SQL().Clear();
    q.SQL().Add("insert into \":N_VENDAS:TIPOS\" (TIPOS.\"Texto\", TIPOS.\"Pequeno\") values(:aTexto, :aPequeno)");
    q.ParamByName("aTexto").SetAsString("X");
    try {
        q.ExecSQL();
        FAIL() << "executou com parâmetro sem valor";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Parâmetro sem valor: aPequeno"));
    }
    EXPECT_THROW(q.ParamByName("naoExiste"), EDatabaseError);
    EXPECT_EQ(Bruto("VENDAS", "select count(*) from TIPOS"), QStringLiteral("1"));
}

TEST_F(Motor, ErrosNomeiamAliasETabela)
{
    struct Caso
    {
        QString sql;
        QStringList trechos;
    };
    S.AddStandardAlias("N_ESTOQUE", Dir.path() + "/Sistemas/ESTOQUE", "PARADOX");  // no folder
    QDir().mkpath(Dir.path() + "/Sistemas/CTACOR");
    S.AddStandardAlias("N_CTACOR", Dir.path() + "/Sistemas/CTACOR", "PARADOX");  // folder, no file
    const Caso casos[] = {
        {"select NOTAX.* from \":N_VENDAS:NOTAX\" where (1=2)", {"N_VENDAS", "NOTAX"}},
        {"select SDESTQ.* from \":N_ESTOQUE:SDESTQ\"", {"N_ESTOQUE", "SDESTQ", "ESTOQUE"}},
        {"select CONTA.* from \":N_CTACOR:CONTA\"", {"N_CTACOR", "CONTA", "CTACOR.db"}},
        {"select X.* from \":N_NADA:X\"", {"N_NADA", "X"}},
        {"select TIPOS.*\nfrom \":N_VENDAS:TIPOS\"\nwhere ((TIPOS.\"Texto\" = 1)", {"linha 3", "where ((TIPOS"}},
        {"insert into \":N_CADASTRO:EMPRESAS\" (EMPRESAS.\"Codigo da Empresa\") values('0001')", {}},
    };
    TQuery q(S);
    q.SQL().SetText(std::end(casos)[-1].sql);
    q.ExecSQL();  // the key is taken now: running it again must violate it
    for (const Caso& c : casos) {
        q.SQL().SetText(c.sql);
        try {
            q.ExecSQL();
            ADD_FAILURE() << "aceitou: " << c.sql.toStdString();
        } catch (const EDatabaseError& e) {
            for (const QString& t : c.trechos)
                EXPECT_TRUE(e.Message().contains(t)) << e.Message().toStdString() << " / " << t.toStdString();
            if (c.trechos.isEmpty()) {
                EXPECT_TRUE(e.Message().contains("UNIQUE")) << e.Message().toStdString();
            }
        }
    }
    EXPECT_FALSE(QDir(Dir.path() + "/Sistemas/ESTOQUE").exists());
    EXPECT_FALSE(QFileInfo::exists(Dir.path() + "/Sistemas/CTACOR/CTACOR.db"));
}

TEST_F(Motor, TransacaoAbrangeVariasPastas)
{
    auto insere = [&] {
        TQuery q(S);
        q.SQL().SetText("insert into \":N_CADASTRO:EMPRESAS\" (EMPRESAS.\"Codigo da Empresa\") values(:a)");
        q.ParamByName("a").SetAsString("0009");
        q.ExecSQL();
        q.SQL().SetText("insert into \":N_VENDAS:TIPOS\" (TIPOS.\"Texto\") values(:a)");
        q.ParamByName("a").SetAsString("T");
        q.ExecSQL();
    };
    auto contagem = [&] {
        return Bruto("CADASTRO", "select count(*) from EMPRESAS") + "/" + Bruto("VENDAS", "select count(*) from TIPOS");
    };
    S.StartTransaction();
    EXPECT_TRUE(S.InTransaction());
    insere();
    S.Rollback();
    EXPECT_FALSE(S.InTransaction());
    EXPECT_EQ(contagem(), QStringLiteral("0/0"));
    S.StartTransaction();
    insere();
    S.Commit();
    EXPECT_EQ(contagem(), QStringLiteral("1/1"));
    EXPECT_THROW(S.Commit(), EDatabaseError);
}

TEST_F(Motor, MesmoTextoReusaOComandoPreparado)
{
    const QString texto = "select EMPRESAS.* from \":N_CADASTRO:EMPRESAS\" where (EMPRESAS.\"Codigo da Empresa\" =:p)";
    TQuery a(S), b(S);
    a.SQL().SetText(texto);
    a.ParamByName("p").SetAsString("1");
    a.Open();
    IComando* preparado = S.Comando(texto, {})->Comando.get();
    ASSERT_NE(preparado, nullptr);
    b.SQL().SetText(texto);
    b.ParamByName("p").SetAsString("2");
    b.Open();
    a.Open();
    EXPECT_EQ(S.Comando(texto, {})->Comando.get(), preparado);
}

TEST_F(Motor, TextoGuardadoRodaComoSuasLinhasECedeALinhasMudadas)
{
    Exec({"insert into \":N_CADASTRO:EMPRESAS\" (EMPRESAS.\"Codigo da Empresa\", EMPRESAS.\"Nome Fantasia\") "
          "values('0001', 'ALFA')"});
    Exec({"insert into \":N_CADASTRO:EMPRESAS\" (EMPRESAS.\"Codigo da Empresa\", EMPRESAS.\"Nome Fantasia\") "
          "values('0002', 'BETA')"});
    auto texto = std::make_shared<TTextoSQL>(QStringList{"select EMPRESAS.* from \":N_CADASTRO:EMPRESAS\" ",
                                                          "where (EMPRESAS.\"Codigo da Empresa\" =:p)"});
    TQuery q(S);
    q.SetDatabaseName("N_CADASTRO");
    auto nome = [&](const char* codigo) {
        if (codigo)
            q.ParamByName("p").SetAsString(QString::fromLatin1(codigo));
        q.Open();
        const QString r = q.IsEmpty() ? QStringLiteral("-") : q.FieldByName("Nome Fantasia").AsString();
        q.Close();
        return r;
    };
    q.SetSQL(texto);
    EXPECT_EQ(q.SQL().Strings(), texto->Linhas());
    EXPECT_EQ(q.Text(), texto->Texto());
    EXPECT_EQ(nome("0001"), "ALFA");
    EXPECT_EQ(nome("0002"), "BETA");

    // A line changed after loading: the query runs what it holds now, the value kept by name.
    q.SQL().Set(1, "where (EMPRESAS.\"Codigo da Empresa\" <>:p)");
    EXPECT_EQ(nome(nullptr), "ALFA");

    // Loading it again is clearing the lines: the value bound to the other text is forgotten.
    q.SetSQL(texto);
    EXPECT_THROW(nome(nullptr), EDatabaseError);

    // Closed and opened again, the session starts new generations: the text is found and
    // prepared in the current one, not run on what was prepared before.
    S.Close();
    q.SetSQL(texto);
    EXPECT_EQ(nome("0001"), "ALFA");
    EXPECT_EQ(nome("0002"), "BETA");
    EXPECT_NE(S.Comando(texto->Texto(), "N_CADASTRO")->Comando, nullptr);
}

TEST_F(Motor, BancoTravadoPorOutroProgramaFalhaComEsperaLimitada)
{
    TQuery q(S);
    q.SQL().SetText("insert into \":N_VENDAS:TIPOS\" (TIPOS.\"Texto\") values(:a)");
    q.ParamByName("a").SetAsString("X");
    q.ExecSQL();  // prepared and attached before the lock

    QProcess trava;
    trava.start(PastaBin() + "/tv_trava_sqlite",
                {Dir.path() + "/Sistemas/VENDAS/VENDAS.db"});
    ASSERT_TRUE(trava.waitForReadyRead(10000)) << trava.errorString().toStdString();
    ASSERT_EQ(trava.readLine().trimmed(), QByteArray("travado"));

    S.SetTempoEsperaMs(300);
    QElapsedTimer relogio;
    relogio.start();
    try {
        q.ExecSQL();
        ADD_FAILURE() << "gravou com o banco travado";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains("locked")) << e.Message().toStdString();
    }
    // It did wait for the lock before giving up.
    EXPECT_GE(relogio.elapsed(), 250);

    trava.closeWriteChannel();
    ASSERT_TRUE(trava.waitForFinished(10000));
    q.ExecSQL();
    EXPECT_EQ(Bruto("VENDAS", "select count(*) from TIPOS"), QStringLiteral("2"));
}

TEST(ValoresSQL, LeituraDeDatas)
{
    EXPECT_EQ(LerDataHora(u"2024-02-29"), TDateTime::Encode(2024, 2, 29));
    EXPECT_EQ(LerDataHora(u"2024-02-29 08:07:06"), TDateTime::Encode(2024, 2, 29, 8, 7, 6));
    EXPECT_EQ(LerDataHora(u"2024-02-29T08:07:06.500"), TDateTime::Encode(2024, 2, 29, 8, 7, 6, 500));
    EXPECT_EQ(LerDataHora(u"08:00:00").Valor(), 8.0 / 24);
    EXPECT_TRUE(LerDataHora(u"2024-02-30").IsEmpty());
    EXPECT_TRUE(LerDataHora(u"lixo").IsEmpty());
}

}  // namespace
