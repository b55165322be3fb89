// The importer as a process, stopped dead at chosen database steps and started again: whatever
// the moment, every coupon ends in the ERP once, the stock moves once, at most one shipment is
// written and the coupon file is gone.

#include "ArquivosTeste.h"

#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

namespace {

using namespace ArquivosTeste;

// `arquivos` files of `cupons` coupons each, killed at `pontos` steps spread over the import.
void MortoERecomecado(int arquivos, int cupons, int pontos)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString modelo = pasta.path() + QStringLiteral("/modelo");
    CriaUnidade(modelo);
    for (int f = 0; f < arquivos; ++f)
        DepositaCupons(modelo, QStringLiteral("0000%1.S01").arg(4001 + f), cupons, 101 + f * cupons);

    // A clean run, traced, tells how many statements the import makes and what it must end with.
    const QString ref = pasta.path() + QStringLiteral("/referencia");
    ASSERT_TRUE(CopiaPasta(modelo, ref));
    const TRodada limpa = Importador(ref, {{QStringLiteral("TESKVADO_SQL"), QStringLiteral("1")}});
    ASSERT_EQ(limpa.Saida, QProcess::NormalExit);
    ASSERT_EQ(limpa.Codigo, 0) << limpa.Log.toStdString();
    const int comandos = int(limpa.Erros.count("SQL ["));
    const TEstado esperado = Estado(ref);
    ASSERT_EQ(esperado.Documentos, arquivos * cupons);
    ASSERT_EQ(esperado.Itens, 2 * arquivos * cupons);
    ASSERT_EQ(esperado.Parcelas, arquivos * cupons);
    ASSERT_EQ(esperado.Remessas, arquivos);
    ASSERT_EQ(esperado.Diario, arquivos);
    // The steps the seam counts: every statement, and the commit's before and after. The files
    // of one tick share one transaction, so there is one commit however many files there are.
    const int passos = comandos + 2;
    ASSERT_GT(passos, 200);

    QList<int> lista;
    for (int i = 0; i < pontos; ++i)
        lista << 1 + int(qint64(i) * (passos - 1) / (pontos - 1));
    for (int ponto : lista) {
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
        EXPECT_EQ(e.Diario, arquivos);
        // Killed after the commit, the shipments of that run are not written again.
        EXPECT_LE(e.Remessas, arquivos);
        if (ponto < passos) {
            EXPECT_EQ(e.Remessas, arquivos);
        }
        EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
        QDir(run).removeRecursively();
    }
}

TEST(ExatamenteUmaVez, MortoEmTrintaPontosERecomecado) { MortoERecomecado(1, 50, 30); }

// Four files of one tick are one batch: a crash anywhere leaves all four committed or none.
TEST(ExatamenteUmaVez, LoteDeQuatroArquivosMortoEmQuinzePontos) { MortoERecomecado(4, 12, 15); }

// A second program holding the ERP's write lock: for 2 s the import waits it out; for longer
// than the attempts the files stay in ONLINE/ (not among the rejected) and the next run imports them.
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

    // Alone and as a batch of two, the files wait for the next cycle.
    struct Caso
    {
        QStringList arquivos;
        const char* linha;
    } casos[] = {{{QStringLiteral("00004002.S01")}, "o arquivo 00004002.S01 fica para o próximo ciclo"},
                 {{QStringLiteral("00004003.S01"), QStringLiteral("00004004.S01")}, "os 2 arquivos ficam para o próximo ciclo"}};
    int documentos = 5;
    int cupom = 201;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.linha);
        QStringList sobras;
        for (const QString& nome : c.arquivos) {
            DepositaCupons(raiz, nome, 5, cupom);
            cupom += 5;
            for (QChar letra : {u'A', u'L', u'S'})
                sobras << QStringLiteral("ONLINE/") + TExecCmd::NomeCompanheiro(nome, letra);
        }
        sobras.sort();
        dono = trava(6000);
        const TRodada longa = Importador(raiz, {}, espera);
        EXPECT_EQ(longa.Codigo, 0);
        EXPECT_TRUE(longa.Log.contains(QString::fromUtf8(c.linha))) << longa.Log.toStdString();
        e = Estado(raiz);
        EXPECT_EQ(e.Documentos, documentos);
        e.Sobras.sort();
        EXPECT_EQ(e.Sobras, sobras);
        dono->waitForFinished(10000);
        delete dono;

        const TRodada seguinte = Importador(raiz, {}, espera);
        EXPECT_EQ(seguinte.Codigo, 0) << seguinte.Log.toStdString();
        documentos += 5 * int(c.arquivos.size());
        e = Estado(raiz);
        EXPECT_EQ(e.Documentos, documentos);
        EXPECT_EQ(e.Itens, 2 * documentos);
        EXPECT_EQ(e.Diario, documentos / 5);
        EXPECT_EQ(e.Remessas, documentos / 5);
        EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
    }
}

// Two importers started together on one folder of thirty files: every file imported by exactly one
// of them, the stock as one importer alone leaves it.
TEST(DuasEstacoes, ImportadoresDisputandoAPasta)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString raiz = pasta.path() + QStringLiteral("/disputa");
    CriaUnidade(raiz);
    for (int f = 0; f < 30; ++f)
        DepositaCupons(raiz, QStringLiteral("000040%1.S01").arg(f, 2, 10, QChar(u'0')), 5, 101 + 5 * f);
    const QString sozinho = pasta.path() + QStringLiteral("/sozinho");
    ASSERT_TRUE(CopiaPasta(raiz, sozinho));
    ASSERT_EQ(Importador(sozinho).Codigo, 0);
    const TEstado esperado = Estado(sozinho);
    ASSERT_EQ(esperado.Documentos, 150);

    // Both claim from the same moment on: a batch claims and reads its files one by one, fast
    // enough that an importer started a little later would find the folder empty.
    const QString sinal = pasta.path() + QStringLiteral("/comecem");
    QProcess* a = IniciaImportador(raiz, {}, {QStringLiteral("--sinal"), sinal});
    QProcess* b = IniciaImportador(raiz, {}, {QStringLiteral("--sinal"), sinal});
    for (QProcess* p : {a, b}) {
        p->setReadChannel(QProcess::StandardError);
        while (!p->readAllStandardError().contains("pronto"))
            ASSERT_TRUE(p->waitForReadyRead(30000));
    }
    QFile(sinal).open(QIODevice::WriteOnly);
    const TRodada ra = Termina(a);
    const TRodada rb = Termina(b);
    EXPECT_EQ(ra.Codigo, 0) << ra.Log.toStdString();
    EXPECT_EQ(rb.Codigo, 0) << rb.Log.toStdString();

    const TEstado e = Estado(raiz);
    EXPECT_EQ(e.Documentos, 150);
    EXPECT_EQ(e.Itens, 300);
    EXPECT_EQ(e.Parcelas, 150);
    EXPECT_EQ(e.Saldos, esperado.Saldos);
    EXPECT_EQ(e.Diario, 30);
    EXPECT_EQ(e.Remessas, 30);
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
