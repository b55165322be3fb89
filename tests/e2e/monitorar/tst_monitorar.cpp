// teskvado-cli monitorar and ruxo-sim as processes on a drive made by "erp demo". The ERP is read
// back past the program's data layer: with SQLite's own API, or straight from the test server.
#include "uUnidadeTeste.h"

#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

#include <gtest/gtest.h>

namespace {

struct TExecucao
{
    int codigo = -1;
    QString saida, erros;
};

QString Programa(const char* nome)
{
    return QStringLiteral(TV_BIN_DIR) + u'/' + QString::fromLatin1(nome);
}

TExecucao Roda(const char* programa, const QStringList& args)
{
    QProcess p;
    p.start(Programa(programa), args);
    EXPECT_TRUE(p.waitForFinished(120000)) << programa << ' ' << args.join(' ').toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// One value of a query on one ERP database; "" for NULL or no row.
QString ValorSQLite(const QString& banco, const char* sql)
{
    sqlite3* db = nullptr;
    QString r;
    if (sqlite3_open_v2(banco.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
            if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
                r = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        } else {
            ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
        }
        sqlite3_finalize(st);
    } else {
        ADD_FAILURE() << "cannot open " << banco.toStdString();
    }
    sqlite3_close(db);
    return r;
}

class Monitorar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FPasta.isValid());
        Dados = FPasta.path() + QStringLiteral("/drive");
        Mon = FPasta.path() + QStringLiteral("/ruxo/");
        Ini = FPasta.path() + QStringLiteral("/teskvado.ini");
        QDir().mkpath(Dados);
        FUnidade = std::make_unique<TUnidadeTeste>(Dados);
        for (const char* p : {"ONLINE", "REMESSA", "RETORNO"})
            QDir().mkpath(Mon + QString::fromLatin1(p));
        const TExecucao demo = Roda("teskvado-cli", {"--dados", Dados, "erp", "demo"});
        ASSERT_EQ(demo.codigo, 0) << demo.erros.toStdString();
        EscreveIni({{"MONITORAR", Mon}, {"INTERVALO", "200"}, {"AUTOMATICO", "-1"},
                    {"EMPRESA", "0001"}, {"USUARIO", "0001"}, {"ECF", "01"}});
    }

    void EscreveIni(const QList<QPair<QString, QString>>& chaves)
    {
        QFile f(Ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[PARAMETROS]\r\n");
        for (const auto& [k, v] : chaves)
            f.write((k + u'=' + v + QStringLiteral("\r\n")).toUtf8());
    }
    QByteArray ConteudoIni() const
    {
        QFile f(Ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A coupon file of the demo's own products, so every item is found by its bar code.
    void Cupons(int quantidade, int itens)
    {
        const TExecucao r = Roda("ruxo-sim", {"--dir", Mon, "cupons", "--quantidade", QString::number(quantidade),
                                              "--itens", QString::number(itens), "--produtos",
                                              "000001,000002,000003", "--barras",
                                              "7891234567895,7891234567901,7891234567918"});
        ASSERT_EQ(r.codigo, 0) << r.erros.toStdString();
    }
    QStringList Online() const
    {
        return QDir(Mon + QStringLiteral("ONLINE")).entryList(QDir::Files);
    }
    QStringList Remessas() const
    {
        return QDir(Mon + QStringLiteral("REMESSA")).entryList({QStringLiteral("RM*.R")}, QDir::Files);
    }
    // One value of a query on one ERP database (its file; its schema on a server); "" for NULL or no row.
    QString Valor(const QString& banco, const char* sql) const
    {
        if (!FUnidade->Postgres())
            return ValorSQLite(banco, sql);
        try {
            const QList<QVariantList> linhas = FUnidade->ConsultarNoServidor(
                QString::fromUtf8(sql), QStringLiteral("N_") + QFileInfo(banco).completeBaseName());
            return linhas.isEmpty() || linhas.first().first().isNull()
                       ? QString()
                       : TUnidadeTeste::TextoComoSQLite(linhas.first().first());
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            return QString();
        }
    }

    QString Vendas() const { return Dados + QStringLiteral("/Sistemas/VENDAS/VENDAS.db"); }
    QString Estoque() const { return Dados + QStringLiteral("/Sistemas/ESTOQUE/ESTOQUE.db"); }
    double SaldoTotal() const
    {
        return Valor(Estoque(), "select sum(\"Saldo Atual\") from \"SDESTQ\" where \"Codigo da Empresa\" = '0001'").toDouble();
    }
    TExecucao UmaVez() { return Roda("teskvado-cli", {"--dados", Dados, "--ini", Ini, "monitorar", "--uma-vez"}); }

    QTemporaryDir FPasta;
    std::unique_ptr<TUnidadeTeste> FUnidade;
    QString Dados, Mon, Ini;
};

TEST_F(Monitorar, OneCycleImportsTheCouponFileMovesStockAnswersRuxoAndRemovesTheFiles)
{
    Cupons(2, 2);
    const QStringList antes = Online();
    ASSERT_EQ(antes.size(), 3) << antes.join(' ').toStdString();  // the file and its .A and .L
    const double saldoAntes = SaldoTotal();
    const QByteArray ini = ConteudoIni();

    const TExecucao r = UmaVez();
    EXPECT_EQ(r.codigo, 0) << r.saida.toStdString() << r.erros.toStdString();
    EXPECT_TRUE(r.saida.contains(QStringLiteral("Ok     : Dados carregados com sucesso"))) << r.saida.toStdString();
    EXPECT_FALSE(r.saida.contains(QStringLiteral("Erro   :"))) << r.saida.toStdString();

    EXPECT_TRUE(Online().isEmpty()) << Online().join(' ').toStdString();
    EXPECT_EQ(Remessas().size(), 1);
    EXPECT_EQ(Valor(Vendas(), "select count(*) from \"NOTAC\" where \"Codigo da Empresa\" = '0001'"), QStringLiteral("2"));
    EXPECT_EQ(Valor(Vendas(), "select count(*) from \"NOTAI\""), QStringLiteral("4"));
    const double vendido = Valor(Vendas(), "select sum(\"Quantidade\") from \"NOTAI\"").toDouble();
    EXPECT_GT(vendido, 0);
    EXPECT_DOUBLE_EQ(SaldoTotal(), saldoAntes - vendido);
    EXPECT_EQ(ConteudoIni(), ini) << "the headless run leaves the INI as it was";
}

TEST_F(Monitorar, RunsUntilSigtermPrintingAsItGoesAndImportsWhatArrivesMeanwhile)
{
    QProcess p;
    p.start(Programa("teskvado-cli"), {"--dados", Dados, "--ini", Ini, "monitorar"});
    ASSERT_TRUE(p.waitForStarted());
    QString saida;
    QElapsedTimer t;
    t.start();
    while (!saida.contains(QStringLiteral("Dados carregados")) && t.elapsed() < 60000 && p.state() == QProcess::Running)
        if (p.waitForReadyRead(500))
            saida += QString::fromUtf8(p.readAllStandardOutput());
    ASSERT_TRUE(saida.contains(QStringLiteral("Dados carregados"))) << "the log reaches stdout while the program runs";

    Cupons(1, 1);
    t.restart();
    while (!Online().isEmpty() && t.elapsed() < 60000 && p.state() == QProcess::Running)
        QThread::msleep(100);
    EXPECT_TRUE(Online().isEmpty());
    EXPECT_EQ(Valor(Vendas(), "select count(*) from \"NOTAC\""), QStringLiteral("1"));

    p.terminate();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
}

TEST_F(Monitorar, IncompleteSessionOrMissingDayClosingRefusesAndImportsNothing)
{
    const struct
    {
        const char* caso;
        const char* ecf;
        bool semFechamento;
        const char* linha;
    } casos[] = {
        {"ECF code unknown", "99", false, "Erro   : Falta o numero do ECF em Sys_."},
        {"no day-closing row of today", "01", true, "Erro   : Ainda não foi feita a importação da redução Z !"},
    };
    Cupons(1, 1);
    const QStringList arquivos = Online();
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        EscreveIni({{"MONITORAR", Mon}, {"INTERVALO", "200"}, {"AUTOMATICO", "-1"},
                    {"EMPRESA", "0001"}, {"USUARIO", "0001"}, {"ECF", QString::fromLatin1(c.ecf)}});
        if (c.semFechamento)
            Valor(Vendas(), "delete from \"ECF_C\"");
        const QByteArray ini = ConteudoIni();
        const TExecucao r = UmaVez();
        EXPECT_EQ(r.codigo, 1);
        EXPECT_TRUE(r.saida.contains(QString::fromUtf8(c.linha))) << r.saida.toStdString();
        EXPECT_EQ(Online(), arquivos);
        EXPECT_TRUE(Remessas().isEmpty());
        EXPECT_EQ(Valor(Vendas(), "select count(*) from \"NOTAC\""), QStringLiteral("0"));
        EXPECT_EQ(ConteudoIni(), ini);
    }
}

TEST_F(Monitorar, StartUpRefusalsAndUsage)
{
    const QList<QPair<QString, QString>> bom{
        {"MONITORAR", Mon}, {"AUTOMATICO", "-1"}, {"EMPRESA", "0001"}, {"USUARIO", "0001"}, {"ECF", "01"}};
    auto com = [&bom](const char* chave, const char* valor) {
        QList<QPair<QString, QString>> r = bom;
        for (auto& [k, v] : r)
            if (k == QLatin1String(chave))
                v = QString::fromLatin1(valor);
        return r;
    };
    const struct
    {
        const char* caso;
        QString dados;
        QList<QPair<QString, QString>> ini;  // empty: the INI cannot be read at all
        const char* texto;                   // in stdout or stderr
    } casos[] = {
        {"missing data drive", FPasta.path() + "/nao-existe", bom, "Não foi encontrado o diretório"},
        {"unknown company", Dados, com("EMPRESA", "0042"), "Erro   : Empresa não Cadastrada !"},
        {"unknown user", Dados, com("USUARIO", "0042"), "Erro   : Falta o código do usuário em Sys_."},
        {"monitored directory missing", Dados, com("MONITORAR", "/nao/existe/"),
         "Erro   : Diretório para monitoramento inexistente"},
        {"unreadable INI", Dados, {}, "Erro   : Empresa não Cadastrada !"},
    };
    Cupons(1, 1);
    const QStringList arquivos = Online();
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        QDir(Ini).removeRecursively();
        QFile::remove(Ini);
        if (c.ini.isEmpty())
            QDir().mkpath(Ini);  // a folder where the file should be: nothing can be read
        else
            EscreveIni(c.ini);
        const QByteArray ini = ConteudoIni();
        const TExecucao r = Roda("teskvado-cli", {"--dados", c.dados, "--ini", Ini, "monitorar", "--uma-vez"});
        EXPECT_EQ(r.codigo, 1);
        EXPECT_TRUE((r.saida + r.erros).contains(QString::fromUtf8(c.texto))) << (r.saida + r.erros).toStdString();
        EXPECT_EQ(ConteudoIni(), ini);
        EXPECT_EQ(Online(), arquivos);
    }
    EXPECT_EQ(Valor(Vendas(), "select count(*) from \"NOTAC\""), QStringLiteral("0"));
    EXPECT_EQ(Roda("teskvado-cli", {"--dados", Dados, "monitorar", "--depressa"}).codigo, 2);
    EXPECT_EQ(Roda("teskvado-cli", {"--dados", Dados, "--ini"}).codigo, 2);
    const TExecucao ajuda = Roda("teskvado-cli", {"--help"});
    EXPECT_EQ(ajuda.codigo, 0);
    EXPECT_TRUE(ajuda.saida.contains(QStringLiteral("monitorar [--uma-vez]")));
}

}  // namespace
