// The importer as a process, stopped dead at chosen database steps and started again: whatever
// the moment, every coupon ends in the ERP once, the stock moves once, at most one shipment is
// written and the coupon file is gone.

#include "ArquivosTeste.h"

#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

namespace {

using namespace ArquivosTeste;

TEST(ExatamenteUmaVez, MortoEmTrintaPontosERecomecado)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString modelo = pasta.path() + QStringLiteral("/modelo");
    CriaUnidade(modelo);
    DepositaCupons(modelo, QStringLiteral("00004001.S01"), 50, 101);

    // A clean run, traced, tells how many statements the import makes and what it must end with.
    const QString ref = pasta.path() + QStringLiteral("/referencia");
    ASSERT_TRUE(CopiaPasta(modelo, ref));
    const TRodada limpa = Importador(ref, {{QStringLiteral("TESKVADO_SQL"), QStringLiteral("1")}});
    ASSERT_EQ(limpa.Saida, QProcess::NormalExit);
    ASSERT_EQ(limpa.Codigo, 0) << limpa.Log.toStdString();
    const int comandos = int(limpa.Erros.count("SQL ["));
    const TEstado esperado = Estado(ref);
    ASSERT_EQ(esperado.Documentos, 50);
    ASSERT_EQ(esperado.Itens, 100);
    ASSERT_EQ(esperado.Parcelas, 50);
    ASSERT_EQ(esperado.Remessas, 1);
    ASSERT_EQ(esperado.Diario, 1);
    // The steps the seam counts: every statement, and the commit's before and after.
    const int passos = comandos + 2;
    ASSERT_GT(passos, 200);

    QList<int> pontos;
    for (int i = 0; i < 30; ++i)
        pontos << 1 + int(qint64(i) * (passos - 1) / 29);
    for (int ponto : pontos) {
        SCOPED_TRACE(ponto);
        const QString run = pasta.path() + QStringLiteral("/p%1").arg(ponto);
        ASSERT_TRUE(CopiaPasta(modelo, run));
        const TRodada morta = Importador(run, {{QStringLiteral("TESKVADO_MATAR_APOS"), QString::number(ponto)}});
        ASSERT_EQ(morta.Saida, QProcess::CrashExit) << "not killed at step " << ponto;
        const TRodada volta = Importador(run);
        ASSERT_EQ(volta.Saida, QProcess::NormalExit);
        EXPECT_EQ(volta.Codigo, 0) << volta.Log.toStdString();

        const TEstado e = Estado(run);
        EXPECT_EQ(e.Documentos, esperado.Documentos);
        EXPECT_EQ(e.Itens, esperado.Itens);
        EXPECT_EQ(e.Parcelas, esperado.Parcelas);
        EXPECT_EQ(e.Saldos, esperado.Saldos);
        EXPECT_EQ(e.Diario, 1);
        // Killed after the commit, the shipment of that run is not written again.
        EXPECT_LE(e.Remessas, 1);
        if (ponto < passos) {
            EXPECT_EQ(e.Remessas, 1);
        }
        EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
        QDir().rmpath(run);
        QDir(run).removeRecursively();
    }
}

// A second program holding the ERP's write lock: for 2 s the import waits it out; for longer
// than the attempts the file stays in ONLINE/ (not among the rejected) and the next run imports it.
TEST(BancoTravado, DoisSegundosEDepoisAlemDasTentativas)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString raiz = pasta.path();
    CriaUnidade(raiz);
    const QString vendas = Drive(raiz) + QStringLiteral("/Sistemas/VENDAS/VENDAS.db");
    const auto trava = [&](int ms) {
        auto* p = new QProcess;
        p->start(QStringLiteral(TV_TRAVA), {vendas, QString::number(ms)});
        EXPECT_TRUE(p->waitForReadyRead(10000));
        EXPECT_EQ(p->readAllStandardOutput().trimmed(), QByteArray("travado"));
        return p;
    };
    const QStringList espera{QStringLiteral("--espera-ms"), QStringLiteral("100")};

    DepositaCupons(raiz, QStringLiteral("00004001.S01"), 5, 101);
    QProcess* dono = trava(2000);
    const TRodada curta = Importador(raiz, {}, espera);
    dono->waitForFinished(10000);
    delete dono;
    EXPECT_EQ(curta.Codigo, 0);
    EXPECT_TRUE(curta.Log.contains(QStringLiteral("Tentativa 0 "))) << curta.Log.toStdString();
    TEstado e = Estado(raiz);
    EXPECT_EQ(e.Documentos, 5);
    EXPECT_EQ(e.Diario, 1);
    EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();

    DepositaCupons(raiz, QStringLiteral("00004002.S01"), 5, 201);
    dono = trava(6000);
    const TRodada longa = Importador(raiz, {}, espera);
    EXPECT_EQ(longa.Codigo, 0);
    EXPECT_TRUE(longa.Log.contains(QStringLiteral("fica para o próximo ciclo"))) << longa.Log.toStdString();
    e = Estado(raiz);
    EXPECT_EQ(e.Documentos, 5);
    EXPECT_EQ(e.Sobras, (QStringList{"ONLINE/00004002.A01", "ONLINE/00004002.L01", "ONLINE/00004002.S01"}));
    dono->waitForFinished(10000);
    delete dono;

    const TRodada seguinte = Importador(raiz, {}, espera);
    EXPECT_EQ(seguinte.Codigo, 0) << seguinte.Log.toStdString();
    e = Estado(raiz);
    EXPECT_EQ(e.Documentos, 10);
    EXPECT_EQ(e.Itens, 20);
    EXPECT_EQ(e.Diario, 2);
    EXPECT_EQ(e.Remessas, 2);
    EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
}

// Two importers started together on one folder of ten files: every file imported by exactly one
// of them, the stock as one importer alone leaves it.
TEST(DuasEstacoes, ImportadoresDisputandoAPasta)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString raiz = pasta.path() + QStringLiteral("/disputa");
    CriaUnidade(raiz);
    for (int f = 0; f < 10; ++f)
        DepositaCupons(raiz, QStringLiteral("000040%1.S01").arg(f, 2, 10, QChar(u'0')), 5, 101 + 5 * f);
    const QString sozinho = pasta.path() + QStringLiteral("/sozinho");
    ASSERT_TRUE(CopiaPasta(raiz, sozinho));
    ASSERT_EQ(Importador(sozinho).Codigo, 0);
    const TEstado esperado = Estado(sozinho);
    ASSERT_EQ(esperado.Documentos, 50);

    QProcess* a = IniciaImportador(raiz);
    QProcess* b = IniciaImportador(raiz);
    const TRodada ra = Termina(a);
    const TRodada rb = Termina(b);
    EXPECT_EQ(ra.Codigo, 0) << ra.Log.toStdString();
    EXPECT_EQ(rb.Codigo, 0) << rb.Log.toStdString();

    const TEstado e = Estado(raiz);
    EXPECT_EQ(e.Documentos, 50);
    EXPECT_EQ(e.Itens, 100);
    EXPECT_EQ(e.Parcelas, 50);
    EXPECT_EQ(e.Saldos, esperado.Saldos);
    EXPECT_EQ(e.Diario, 10);
    EXPECT_EQ(e.Remessas, 10);
    EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
    // Both took part, or the race was not one.
    EXPECT_GT(ra.Log.count(QStringLiteral("Aguarde, Convertendo Cupom")), 0);
    EXPECT_GT(rb.Log.count(QStringLiteral("Aguarde, Convertendo Cupom")), 0);
}

// Two workstations opening the day of many users at once never get the same control number.
TEST(DuasEstacoes, NumeroDeControleDoDiaNuncaRepetido)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString raiz = pasta.path();
    CriaUnidade(raiz);
    const QStringList a{QStringLiteral("--controle-dia"), QStringLiteral("A"), QStringLiteral("20")};
    const QStringList b{QStringLiteral("--controle-dia"), QStringLiteral("B"), QStringLiteral("20")};
    QProcess* pa = IniciaImportador(raiz, {}, a);
    QProcess* pb = IniciaImportador(raiz, {}, b);
    const TRodada ra = Termina(pa);
    const TRodada rb = Termina(pb);
    ASSERT_EQ(ra.Codigo, 0) << ra.Log.toStdString();
    ASSERT_EQ(rb.Codigo, 0) << rb.Log.toStdString();

    QSet<QString> numeros;
    int linhas = 0;
    for (const QString& l : (ra.Log + rb.Log).split(u'\n', Qt::SkipEmptyParts)) {
        if (!l.contains(u'='))
            continue;
        ++linhas;
        numeros.insert(l.section(u'=', 1));
    }
    EXPECT_EQ(linhas, 40);
    EXPECT_EQ(numeros.size(), 40);
    EXPECT_EQ(Consulta(Drive(raiz) + QStringLiteral("/Sistemas/CADASTRO/CADASTRO.db"),
                       "select count(distinct \"Numero_Controle_Dia\") from CONTRDIA")
                  .toInt(),
              40);
}

}  // namespace
