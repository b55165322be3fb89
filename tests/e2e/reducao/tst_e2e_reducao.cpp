// `teskvado-cli reducao` against `ruxo-sim responder` as two processes on a demo data drive:
// the request written, Ruxo's answer taken after the real first wait, the ERP's day-closing
// rows written and RETORNO left empty.

#include "uCp1252.h"
#include "uUnidadeTeste.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QString Programa(const char* nome) { return QStringLiteral(TV_BIN_DIR "/") + QString::fromLatin1(nome); }

struct TSaida
{
    int status = -1;
    QString saida;
    QString erros;
};

TSaida Espera(QProcess& p, int ms)
{
    const bool terminou = p.waitForFinished(ms);
    EXPECT_TRUE(terminou) << p.program().toStdString() << " " << p.arguments().join(u' ').toStdString();
    if (!terminou) {
        p.kill();
        p.waitForFinished(5000);
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TSaida Executa(const char* programa, const QStringList& args, int ms = 60000)
{
    QProcess p;
    p.start(Programa(programa), args);
    return Espera(p, ms);
}

class Reducao : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FPasta.isValid());
        Raiz = FPasta.path() + QStringLiteral("/drive");
        QDir().mkpath(Raiz);
        FUnidade = std::make_unique<TUnidadeTeste>(Raiz);
        const TSaida demo = Executa("teskvado-cli", {"--dados", Raiz, "erp", "demo"});
        ASSERT_EQ(demo.status, 0) << demo.erros.toStdString();
        Dir = FPasta.path() + QStringLiteral("/ruxo/");
        for (const char* p : {"ONLINE", "REMESSA", "RETORNO"})
            QDir().mkpath(Dir + QString::fromLatin1(p));
        Ini = FPasta.path() + QStringLiteral("/teskvado.ini");
        GravarArquivoCp1252(Ini, {"[PARAMETROS]", "MONITORAR=" + Dir, "INTERVALO=1000", "AUTOMATICO=0",
                                  "EMPRESA=0001", "USUARIO=0001", "ECF=01"});
    }

    // Runs the import and answers its request as Ruxo does, once it is in RETORNO.
    TSaida ImportaComResposta(const QStringList& extras)
    {
        QProcess cli;
        cli.start(Programa("teskvado-cli"), QStringList{"--dados", Raiz, "--ini", Ini, "reducao"} + extras);
        const QString pedido = Dir + QStringLiteral("RETORNO/RT000001.T");
        for (int i = 0; i < 300 && !QFileInfo::exists(pedido) && cli.state() != QProcess::NotRunning; ++i)
            QThread::msleep(100);
        EXPECT_TRUE(QFileInfo::exists(pedido));
        Pedido = QFileInfo::exists(pedido) ? LerArquivoCp1252(pedido) : QStringList();
        const TSaida ruxo = Executa("ruxo-sim", {"--dir", Dir, "responder", "--uma-vez", "--cro", "7"});
        EXPECT_EQ(ruxo.status, 0) << ruxo.erros.toStdString();
        return Espera(cli, 120000);
    }

    QStringList Bruto(const QString& sql) const
    {
        QStringList r;
        if (FUnidade->Postgres()) {
            try {
                for (const QVariantList& valores : FUnidade->ConsultarNoServidor(sql, QStringLiteral("N_VENDAS"))) {
                    QStringList linha;
                    for (const QVariant& v : valores)
                        linha << (v.isNull() ? QStringLiteral("<null>") : TUnidadeTeste::TextoComoSQLite(v));
                    r << linha.join(u'|');
                }
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
            return r;
        }
        const QString arquivo = Raiz + QStringLiteral("/Sistemas/VENDAS/VENDAS.db");
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(arquivo.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << "abrir " << arquivo.toStdString();
            sqlite3_close(db);
            return r;
        }
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db);
            sqlite3_close(db);
            return r;
        }
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
        return r;
    }

    QStringList Retorno() const { return QDir(Dir + QStringLiteral("RETORNO")).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir FPasta;
    std::unique_ptr<TUnidadeTeste> FUnidade;
    QString Raiz;
    QString Dir;
    QString Ini;
    QStringList Pedido;
};

// The demo's last day-closing is today, so the period is today alone: the short unit, and the
// answer, already there when the first attempt ends, is taken after that one attempt.
TEST_F(Reducao, InicioCalculadoUmaTentativaEDiaDeHojeAtualizado)
{
    const QDate hoje = QDate::currentDate();
    const TSaida r = ImportaComResposta({});

    EXPECT_EQ(r.status, 0) << r.saida.toStdString() << r.erros.toStdString();
    ASSERT_FALSE(Pedido.isEmpty());
    EXPECT_EQ(Pedido.first().mid(20, 14), hoje.toString(u"ddMMyyyy") + QStringLiteral("000000"));
    EXPECT_TRUE(r.saida.contains(QStringLiteral("tentativa 1/9 até 10 Segundos")));
    EXPECT_FALSE(r.saida.contains(QStringLiteral("tentativa 2/9")));
    EXPECT_TRUE(r.saida.contains(QStringLiteral("STATUS;OK")));
    EXPECT_TRUE(r.saida.contains(QStringLiteral("Ok     : Redução Z Importada com sucesso")));

    // The demo's row of today is updated in place, with the counter Ruxo reported.
    EXPECT_EQ(Bruto(QStringLiteral("select \"Data\", \"Serie do Documento\", \"Reinicio Operacao\" from \"ECF_C\" "
                                   "where \"Codigo da Empresa\" = '0001' and \"Numero do ECF\" = 1")),
              QStringList{hoje.toString(Qt::ISODate) + QStringLiteral("|X107|7")});
    const QStringList taxas = Bruto(QStringLiteral("select count(*) from \"ECF_T\" where \"Serie do Documento\" = 'X107'")) +
                              Bruto(QStringLiteral("select count(*) from \"ECF_S\" where \"Serie do Documento\" = 'X107'"));
    ASSERT_EQ(taxas.size(), 2);
    EXPECT_GT(taxas[0].toInt() + taxas[1].toInt(), 0);
    EXPECT_TRUE(Retorno().isEmpty()) << Retorno().join(u' ').toStdString();
}

TEST_F(Reducao, InicioDaLinhaDeComandoPedeDesdeEsseDia)
{
    const QDate inicio = QDate::currentDate().addDays(-3);
    const TSaida r = ImportaComResposta({"--inicio", inicio.toString(u"dd/MM/yyyy")});

    EXPECT_EQ(r.status, 0) << r.saida.toStdString() << r.erros.toStdString();
    ASSERT_FALSE(Pedido.isEmpty());
    EXPECT_EQ(Pedido.first().mid(20, 14), inicio.toString(u"ddMMyyyy") + QStringLiteral("000000"));
    // One reduction a day from the chosen start to today.
    EXPECT_EQ(Bruto(QStringLiteral("select count(*) from \"ECF_C\" where \"Numero do ECF\" = 1 and \"Data\" >= '%1'")
                        .arg(inicio.toString(Qt::ISODate))),
              QStringList{QStringLiteral("4")});
    EXPECT_TRUE(Retorno().isEmpty());
}

TEST_F(Reducao, DataInvalidaEUsoIncorreto)
{
    const TSaida r = Executa("teskvado-cli", {"--dados", Raiz, "--ini", Ini, "reducao", "--inicio", "31/02/2026"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Retorno().isEmpty());
}

}  // namespace
