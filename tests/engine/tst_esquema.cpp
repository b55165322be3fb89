#include "UModel.h"
#include "uBibliot.h"
#include "uErros.h"
#include "uEsquemaERP.h"
#include "uQuery.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Esquema : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        RegistrarClasses();
        for (TDiretorios d : {tdVENDAS, tdCADASTRO, tdESTOQUE})
            S.AddStandardAlias(NomeAlias(d), Dir.path() + "/Sistemas/" + NomeAlias(d).mid(2), "PARADOX");
        CriarEsquemaERP(S);
    }
    void TearDown() override { TDateTime::RelogioDeTeste({}); }

    int Conta(TTabelas t)
    {
        TQuery q(S);
        q.SQL().Add(QStringLiteral("select count(*) from \":%1:%2\"").arg(NomeAlias(DiretorioTabela(t)), NomeTabela(t)));
        q.Open();
        return q.AsInteger(0);
    }

    QTemporaryDir Dir;
    TSessao S;
};

TFieldType TipoEsperado(TTipoPropriedade t)
{
    switch (t) {
    case TTipoPropriedade::String: return TFieldType::ftString;
    case TTipoPropriedade::Currency: return TFieldType::ftFloat;
    case TTipoPropriedade::TDateTime: return TFieldType::ftDate;
    case TTipoPropriedade::Integer: return TFieldType::ftInteger;
    }
    return TFieldType::ftUnknown;
}

TEST_F(Esquema, ColunasETiposVemDosDescritores)
{
    const QList<TTabelas> tabelas = TabelasDoEsquema();
    EXPECT_EQ(tabelas.size(), 25);
    for (TTabelas t : tabelas) {
        const TClasseModel& classe = *ClasseDaTabela(t);
        const QString nome = NomeTabela(t);
        TQuery q(S);
        q.SQL().Add(QStringLiteral("select %1.* from \":%2:%1\" where (1=2)").arg(nome, NomeAlias(DiretorioTabela(t))));
        q.Open();
        ASSERT_EQ(q.FieldCount(), classe.QtdPropriedades()) << nome.toStdString();
        for (int i = 0; i < q.FieldCount(); ++i) {
            const TPropriedade& p = classe.Propriedade(i);
            EXPECT_EQ(q.FieldDef(i).Nome, p.Coluna()) << nome.toStdString();
            EXPECT_EQ(q.FieldDef(i).Tipo, TipoEsperado(p.Tipo())) << nome.toStdString() << " " << p.Coluna().toStdString();
            if (p.Tipo() == TTipoPropriedade::String) {
                EXPECT_GE(q.FieldDef(i).Tamanho, 60);
            }
        }
    }
}

// The data access object's statements, written here from the descriptor the way it writes them.
TEST_F(Esquema, ComandosDoAcessoADadosSobreOEsquema)
{
    const TClasseModel& classe = *ClasseDaTabela(ttbVEN_NOTAC);
    auto insere = [&](const QString& numero, const QString& serie, TDateTime emissao) {
        TQuery q(S);
        q.SetDatabaseName("N_VENDAS");
        q.SQL().Add("insert into \":N_VENDAS:NOTAC\" (");
        for (const TPropriedade& p : classe.Propriedades())
            q.SQL().Add("NOTAC.\"" + p.Coluna() + "\", ");
        auto ajusta = [&](QChar x) {
            QString l = q.SQL()[q.SQL().Count() - 1];
            l.remove(l.size() - 2, 1);
            l.insert(l.size() - 1, x);
            q.SQL().Set(q.SQL().Count() - 1, l);
        };
        ajusta(u')');
        q.SQL().Add("values(");
        for (const TPropriedade& p : classe.Propriedades())
            q.SQL().Add(":a" + NomeCampoModel(p.Coluna()) + ", ");
        ajusta(u')');
        for (const TPropriedade& p : classe.Propriedades()) {
            TParam& par = q.ParamByName("a" + NomeCampoModel(p.Coluna()));
            switch (p.Tipo()) {
            case TTipoPropriedade::String: par.SetNull(TFieldType::ftString); break;
            case TTipoPropriedade::Currency: par.SetAsFloat(0); break;
            case TTipoPropriedade::TDateTime: par.SetNull(TFieldType::ftDateTime); break;
            case TTipoPropriedade::Integer: par.SetNull(TFieldType::ftSmallint); break;
            }
        }
        q.ParamByName("aCodigo_da_Empresa").SetAsString("0001");
        q.ParamByName("aNumero_do_Documento").SetAsString(numero);
        q.ParamByName("aSerie_do_Documento").SetAsString(serie);
        q.ParamByName("aData_de_Emissao").SetAsDateTime(emissao);
        q.ExecSQL();
        EXPECT_EQ(q.RowsAffected(), 1);
        // The same text again with the same key: the primary key refuses it.
        EXPECT_THROW(q.ExecSQL(), EDatabaseError);
    };
    insere("000010", "X01001", TDateTime::Encode(2024, 5, 17, 15, 30));
    insere("000011", "X01001", TDateTime::Encode(2024, 5, 18, 9, 0));

    TQuery q(S);
    q.SetDatabaseName("N_VENDAS");
    q.SQL().Add("select NOTAC.* from \":N_VENDAS:NOTAC\" ");
    q.SQL().Add("where ");
    q.SQL().Add("(NOTAC.\"Codigo da Empresa\" =:pCodigo_da_Empresa) and ");
    q.SQL().Add("(NOTAC.\"Data de Emissao\" =:pData_de_Emissao)");
    q.ParamByName("pCodigo_da_Empresa").SetAsString("0001");
    q.ParamByName("pData_de_Emissao").SetAsDateTime(TDateTime::Encode(2024, 5, 17, 23, 59));  // the day matches
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("Numero do Documento").AsString(), QStringLiteral("000010"));
    EXPECT_EQ(q.FieldByName("Data de Emissao").AsDateTime(), TDateTime::Encode(2024, 5, 17));

    q.Close();
    q.SQL().Clear();
    q.SQL().Add("update \":N_VENDAS:NOTAC\" Set ");
    q.SQL().Add("NOTAC.\"Serie do Documento\" =:aSerie_do_Documento, ");
    q.SQL().Add("NOTAC.\"Peso Bruto\" =:aPeso_Bruto  ");
    q.SQL().Add("where ");
    q.SQL().Add("(NOTAC.\"Numero do Documento\" =:pNumero_do_Documento)");
    q.ParamByName("aSerie_do_Documento").SetAsString("X01002");
    q.ParamByName("aPeso_Bruto").SetAsFloat(0);
    q.ParamByName("pNumero_do_Documento").SetAsString("000011");
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);

    TQuery m(S);
    m.SetDatabaseName("N_VENDAS");
    m.SQL().Add("SELECT MAX(NOTAC.\"Numero do Documento\") FROM \":N_VENDAS:NOTAC\" ");
    m.SQL().Add("where ");
    m.SQL().Add("(NOTAC.\"Serie do Documento\" =:pSerie_do_Documento)");
    m.ParamByName("pSerie_do_Documento").SetAsString("X01001");
    m.Open();
    EXPECT_EQ(m.AsString(0), QStringLiteral("000010"));

    q.SQL().Clear();
    q.SQL().Add("delete from \":N_VENDAS:NOTAC\" ");
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 2);
}

TEST_F(Esquema, CriarDeNovoMantemAsLinhasEADemoECoerente)
{
    TDateTime::RelogioDeTeste([] { return QDateTime(QDate(2024, 5, 17), QTime(15, 30)); });
    CriarDemoERP(S, TDateTime::Date());
    const int empresas = Conta(ttbCAD_EMPRESAS), saldos = Conta(ttbEST_SDESTQ);
    EXPECT_EQ(empresas, 1);
    EXPECT_GE(saldos, 2);
    CriarEsquemaERP(S);
    CriarDemoERP(S, TDateTime::Date());
    EXPECT_EQ(Conta(ttbCAD_EMPRESAS), empresas);
    EXPECT_EQ(Conta(ttbEST_SDESTQ), saldos);

    // The look-ups the import makes find the demo's rows.
    TQuery q(S);
    q.SQL().Add("select SDESTQ.* from \":N_ESTOQUE:SDESTQ\" where (SDESTQ.\"Ano Referencia\" =:pAno) and "
                "(SDESTQ.\"Mes Referencia\" =:pMes)");
    q.ParamByName("pAno").SetAsString("2024");
    q.ParamByName("pMes").SetAsString("05");
    q.Open();
    EXPECT_EQ(q.RecordCount(), saldos);

    TQuery z(S);
    z.SQL().Add("select ECF_C.* from \":N_VENDAS:ECF_C\" where (ECF_C.\"Codigo da Empresa\" =:p1) and (ECF_C.\"Data\" =:p2)");
    z.ParamByName("p1").SetAsString("0001");
    z.ParamByName("p2").SetAsDateTime(TDateTime::Now());
    z.Open();
    EXPECT_EQ(z.RecordCount(), 1);

    TQuery d(S);
    d.SQL().Add("select count(*) from \":N_VENDAS:P_CUPOM\", \":N_VENDAS:DESTIN\" "
                "where P_CUPOM.\"Codigo_Destinacao\" = DESTIN.\"Codigo da Destinacao\" and P_CUPOM.\"Codigo_Empresa\" = '0001'");
    d.Open();
    EXPECT_EQ(d.AsInteger(0), 1);
}

QString Programa()
{
    QString pasta = qEnvironmentVariable("TV_BIN_DIR");
    return (pasta.isEmpty() ? QCoreApplication::applicationDirPath() : pasta) + "/teskvado-cli";
}

TEST(Cli, ErpCriarDuasVezesComRastreio)
{
    QTemporaryDir dir;
    auto roda = [&](QStringList args, bool rastreio, QByteArray* erros = nullptr) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TESKVADO_SQL", rastreio ? "1" : "0");
        p.setProcessEnvironment(env);
        p.start(Programa(), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        if (erros)
            *erros = p.readAllStandardError();
        return p.exitCode();
    };
    EXPECT_EQ(roda({"--dados", dir.path(), "erp", "demo"}, false), 0);
    QByteArray erros;
    EXPECT_EQ(roda({"--dados", dir.path(), "erp", "criar"}, true, &erros), 0);
    EXPECT_TRUE(erros.contains("SQL [")) << erros.left(300).toStdString();
    EXPECT_TRUE(erros.contains("CREATE TABLE IF NOT EXISTS \":N_VENDAS:NOTAC\"")) << erros.left(300).toStdString();
    EXPECT_EQ(roda({"--dados", dir.path(), "erp", "demo"}, true, &erros), 0);
    EXPECT_TRUE(erros.contains("  :p0 = '0001' (ftString)")) << erros.left(600).toStdString();

    TSessao s;
    s.AddStandardAlias("N_CADASTRO", dir.path() + "/Sistemas/CADASTRO", "PARADOX");
    TQuery q(s);
    q.SQL().Add("select count(*) from \":N_CADASTRO:EMPRESAS\"");
    q.Open();
    EXPECT_EQ(q.AsInteger(0), 1);

    // A data root that does not exist: the message, and nothing created.
    EXPECT_EQ(roda({"--dados", dir.path() + "/falta", "erp", "criar"}, false), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/falta"));
    EXPECT_EQ(roda({"--help"}, false), 0);
}

}  // namespace
