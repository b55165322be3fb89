// Runs ruxo-sim as a process and reads what it drops with positions written out here, apart from
// the program's own layout tables, so that a shifted field cannot be written and read back alike.

#include "uCp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <map>

namespace {

struct TExecucao
{
    int codigo = -1;
    QString saida, erros;
};

QString Programa()
{
    return QStringLiteral(TV_RUXO_SIM);
}

TExecucao Roda(const QStringList& args)
{
    QProcess p;
    p.start(Programa(), args);
    EXPECT_TRUE(p.waitForFinished(30000)) << args.join(' ').toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

QString F(const QString& linha, int inicio, int largura)
{
    return linha.mid(inicio - 1, largura);
}

qint64 N(const QString& linha, int inicio, int largura)
{
    return F(linha, inicio, largura).toLongLong();
}

// Lines of a file, after checking that every one of them, the last included, ends in CR LF.
QStringList Linhas(const QString& caminho)
{
    QFile f(caminho);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << caminho.toStdString();
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.endsWith("\r\n")) << caminho.toStdString();
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << caminho.toStdString();
    EXPECT_EQ(bytes.count("\r"), bytes.count("\r\n")) << caminho.toStdString();
    return DivideLinhas(DecodificaCp1252(bytes));
}

bool CpfValido(const QString& cpf)
{
    if (cpf.size() != 11)
        return false;
    for (int k = 9; k <= 10; ++k) {
        int soma = 0;
        for (int i = 0; i < k; ++i)
            soma += cpf[i].digitValue() * (k + 1 - i);
        int r = soma * 10 % 11 % 10;
        if (cpf[k].digitValue() != r)
            return false;
    }
    return true;
}

// Quantity × (price − unit discount) in cents, truncated for IAT "T", rounded half to even
// otherwise, as the integrator rebuilds the item total.
qint64 TotalItem(qint64 milesimos, qint64 preco, qint64 desconto, QChar iat)
{
    const qint64 v = milesimos * (preco - desconto);  // hundred-thousandths
    qint64 c = v / 1000, resto = v % 1000;
    if (iat != u'T' && (resto > 500 || (resto == 500 && c % 2 == 1)))
        ++c;
    return c;
}

struct TResumo
{
    int cupons = 0, trocos = 0, descontos = 0, cpfs = 0, parcelados = 0, pesados = 0;
    QList<int> coos;
};

// Checks one coupon file record by record and returns what it saw.
TResumo ConfereArquivoCupons(const QStringList& linhas, int ecf, const QString& data, const QString& cancelado)
{
    TResumo r;
    const std::map<QString, int> comprimento{{"001", 41}, {"011", 661}, {"012", 281}, {"013", 403}, {"099", 13}};
    EXPECT_GE(linhas.size(), 2);
    EXPECT_EQ(F(linhas.first(), 1, 3), "001");
    EXPECT_EQ(N(linhas.first(), 35, 4), ecf);
    EXPECT_EQ(F(linhas.last(), 1, 3), "099");
    EXPECT_EQ(N(linhas.last(), 4, 10), linhas.size() - 2);

    QString cupom;
    qint64 produtos = 0, pago = 0, troco = 0;
    int ordem = 0;
    auto fecha = [&] {
        if (cupom.isEmpty())
            return;
        EXPECT_EQ(N(cupom, 32, 13), produtos) << "produtos do COO " << N(cupom, 18, 6);
        EXPECT_EQ(N(cupom, 45, 13), 0);
        EXPECT_EQ(N(cupom, 71, 13), produtos);
        EXPECT_EQ(pago - troco, N(cupom, 71, 13)) << "pagamentos do COO " << N(cupom, 18, 6);
        EXPECT_GT(pago, 0);
    };
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        const QString& l = linhas[i];
        const QString tipo = F(l, 1, 3);
        if (!comprimento.count(tipo)) {
            ADD_FAILURE() << "linha " << i + 1 << ": registro " << tipo.toStdString();
            return r;
        }
        EXPECT_EQ(l.size(), comprimento.at(tipo)) << "linha " << i + 1;
        if (tipo == "011") {
            fecha();
            cupom = l;
            produtos = pago = troco = 0;
            ordem = 0;
            ++r.cupons;
            r.coos << int(N(l, 18, 6));
            EXPECT_EQ(N(l, 14, 4), ecf);
            EXPECT_EQ(F(l, 24, 8), data);
            EXPECT_EQ(F(l, 250, 1), cancelado);
            const QString doc = F(l, 84, 14).trimmed();
            if (!doc.isEmpty()) {
                ++r.cpfs;
                EXPECT_TRUE(CpfValido(doc)) << doc.toStdString();
                EXPECT_EQ(F(l, 627, 14).trimmed(), doc);
                EXPECT_FALSE(F(l, 98, 30).trimmed().isEmpty());
            }
        } else if (tipo == "012" || tipo == "013") {
            if (cupom.isEmpty()) {
                ADD_FAILURE() << "linha " << i + 1 << " antes de um cupom";
                return r;
            }
            EXPECT_EQ(F(l, 4, 10), F(cupom, 4, 10)) << "linha " << i + 1;
            if (tipo == "012") {
                EXPECT_EQ(F(l, 14, 4), F(cupom, 14, 4));
                EXPECT_EQ(F(l, 18, 6), F(cupom, 18, 6));
                EXPECT_EQ(N(l, 160, 4), ++ordem);
                EXPECT_EQ(pago, 0) << "item depois de pagamento, linha " << i + 1;
                EXPECT_EQ(F(l, 144, 1), cancelado);
                const qint64 desconto = N(l, 113, 13);
                r.descontos += desconto > 0;
                r.pesados += l[163] == u'T' && N(l, 87, 13) % 1000 != 0;
                EXPECT_GT(N(l, 87, 13), 0);
                produtos += TotalItem(N(l, 87, 13), N(l, 100, 13), desconto, l[163]);
            } else {
                EXPECT_EQ(F(l, 18, 4), F(cupom, 14, 4));
                EXPECT_EQ(F(l, 22, 6), F(cupom, 18, 6));
                EXPECT_EQ(F(l, 51, 1), cancelado);
                EXPECT_TRUE(F(l, 82, 1) == "V" || F(l, 82, 1) == "P") << "linha " << i + 1;
                EXPECT_GE(QDate::fromString(F(l, 43, 8), "ddMMyyyy"), QDate::fromString(data, "ddMMyyyy"));
                if (F(l, 52, 5) == "Troco") {
                    ++r.trocos;
                    troco += N(l, 30, 13);
                    // The integrator subtracts a change only from a cash line that comes after it.
                    const QString seguinte = linhas.value(i + 1);
                    EXPECT_EQ(F(seguinte, 1, 3), "013");
                    EXPECT_EQ(N(seguinte, 28, 2), 1) << "troco sem dinheiro depois, linha " << i + 1;
                } else {
                    pago += N(l, 30, 13);
                    r.parcelados += F(l, 82, 1) == "P";
                }
            }
        }
    }
    fecha();
    return r;
}

}  // namespace

TEST(RuxoSim, ArquivoDeCuponsFechaItensEPagamentos)
{
    QTemporaryDir dir;
    const TExecucao e = Roda({"--dir", dir.path(), "cupons", "--quantidade", "30", "--itens", "4",
                              "--data", "15/03/2026", "--ecf", "7", "--produtos", "A1,B2,C3,D4,E5,F6", "--barras", "111,222,333,444,555,666"});
    ASSERT_EQ(e.codigo, 0) << e.erros.toStdString();
    const QDir online(dir.filePath("ONLINE"));
    EXPECT_EQ(online.entryList(QDir::Files, QDir::Name),
              QStringList({"00000001.A07", "00000001.L07", "00000001.S07"}));

    const QStringList linhas = Linhas(online.filePath("00000001.S07"));
    const TResumo r = ConfereArquivoCupons(linhas, 7, "15032026", " ");
    EXPECT_EQ(r.cupons, 30);
    QList<int> esperados;
    for (int i = 1; i <= 30; ++i)
        esperados << i;
    EXPECT_EQ(r.coos, esperados);
    // Thirty coupons are enough to meet every kind of sale the stand-in makes.
    EXPECT_GT(r.trocos, 0);
    EXPECT_GT(r.descontos, 0);
    EXPECT_GT(r.cpfs, 0);
    EXPECT_GT(r.parcelados, 0);
    EXPECT_GT(r.pesados, 0);

    const std::map<QString, QString> barras{{"A1", "111"}, {"B2", "222"}, {"C3", "333"},
                                            {"D4", "444"}, {"E5", "555"}, {"F6", "666"}};
    for (const QString& l : linhas)
        if (l.startsWith("012")) {
            const QString codigo = F(l, 24, 20).trimmed();
            ASSERT_TRUE(barras.count(codigo)) << codigo.toStdString();
            EXPECT_EQ(F(l, 183, 20).trimmed(), barras.at(codigo));
        }
}

TEST(RuxoSim, ProximoArquivoContinuaNumeracaoECancelamentoReenviaOUltimo)
{
    QTemporaryDir dir;
    QDir online(dir.filePath("ONLINE"));
    ASSERT_EQ(Roda({"--dir", dir.path(), "cupons", "--quantidade", "2", "--data", "01/04/2026"}).codigo, 0);
    // The integrator took the first file away: the name may be used again, the numbers may not.
    for (const QString& n : online.entryList(QDir::Files))
        ASSERT_TRUE(online.remove(n));
    ASSERT_EQ(Roda({"--dir", dir.path(), "cupons", "--quantidade", "3", "--data", "02/04/2026"}).codigo, 0);
    const QStringList vendidos = Linhas(online.filePath("00000001.S01"));
    EXPECT_EQ(ConfereArquivoCupons(vendidos, 1, "02042026", " ").coos, QList<int>({3, 4, 5}));

    const TExecucao c = Roda({"--dir", dir.path(), "cupons", "--cancelado"});
    ASSERT_EQ(c.codigo, 0) << c.erros.toStdString();
    const QStringList cancelados = Linhas(online.filePath("00000002.S01"));
    EXPECT_EQ(ConfereArquivoCupons(cancelados, 1, "02042026", "C").coos, QList<int>({3, 4, 5}));
    ASSERT_EQ(cancelados.size(), vendidos.size());
    for (qsizetype i = 1; i + 1 < vendidos.size(); ++i) {
        const QString &v = vendidos[i], &x = cancelados[i];
        ASSERT_EQ(F(x, 1, 3), F(v, 1, 3)) << "linha " << i + 1;
        if (v.startsWith("011")) {
            EXPECT_EQ(F(x, 1, 249), F(v, 1, 249)) << "linha " << i + 1;
            EXPECT_EQ(N(x, 580, 6), 6);  // the cancellation receipt takes the next number
        } else if (v.startsWith("012")) {
            EXPECT_EQ(F(x, 1, 143), F(v, 1, 143)) << "linha " << i + 1;
            EXPECT_EQ(F(x, 145, 58), F(v, 145, 58)) << "linha " << i + 1;
        } else {
            EXPECT_EQ(F(x, 1, 50), F(v, 1, 50)) << "linha " << i + 1;
        }
    }
    const TExecucao d = Roda({"--dir", dir.path(), "cupons", "--cancelado"});
    EXPECT_EQ(d.codigo, 1);
    EXPECT_FALSE(online.exists("00000003.S01"));
    EXPECT_EQ(Roda({"--dir", dir.path(), "cupons", "--quantidade", "1", "--data", "02/04/2026"}).codigo, 0);
    EXPECT_EQ(ConfereArquivoCupons(Linhas(online.filePath("00000003.S01")), 1, "02042026", " ").coos, QList<int>({7}));
}

TEST(RuxoSim, ErrosDeUsoSaemComDois)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    const QList<QStringList> casos = {
        {},
        {"--dir", d},
        {"cupons"},
        {"--dir", d, "vender"},
        {"--dir", d, "cupons", "--quantidade", "0"},
        {"--dir", d, "cupons", "--itens", "x"},
        {"--dir", d, "cupons", "--data", "31/02/2026"},
        {"--dir", d, "cupons", "--ecf"},
        {"--dir", d, "cupons", "--produtos", "1,2", "--barras", "9"},
        {"--dir", d, "cupons", "--cancelado", "--itens", "2"},
        {"--dir", d, "cupons", "--status", "OK"},
        {"--dir", d, "responder", "--status", "ok"},
        {"--dir", d, "responder", "--quantidade", "2"},
        {"--dir", d, "demo", "--uma-vez"},
        {"--dir", d, "cupons", "--ecf", "1", "--ecf", "2"},
    };
    for (const QStringList& args : casos) {
        const TExecucao e = Roda(args);
        EXPECT_EQ(e.codigo, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(e.erros.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(QDir(d).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    const TExecucao ajuda = Roda({"--help"});
    EXPECT_EQ(ajuda.codigo, 0);
    EXPECT_TRUE(ajuda.saida.startsWith("Uso: ruxo-sim")) << ajuda.saida.toStdString();
    EXPECT_EQ(Roda({"--dir", d + "/nao-existe", "cupons"}).codigo, 1);
    EXPECT_EQ(Roda({"--dir", d, "cupons", "--cancelado"}).codigo, 1);  // nothing to cancel yet
}

namespace {

QString Pedido(const QString& inicio, const QString& fim, int ecf)
{
    return "101" + QString("12345678000195") + "RET" + inicio + "000000" + fim + "235959"
           + QString("%1").arg(ecf, 4, 10, QChar('0')) + "009";
}

bool StatusOk(const QStringList& log)
{
    for (const QString& l : log) {
        const QStringList c = l.split(';');
        if (c.size() >= 2 && c[0] == "STATUS" && c[1].trimmed() == "OK")
            return true;
    }
    return false;
}

}  // namespace

TEST(RuxoSim, RespondePedidoDeReducoesDoPeriodo)
{
    QTemporaryDir dir;
    const QDir ret(dir.filePath("RETORNO"));
    ASSERT_TRUE(ret.mkpath("."));
    GravarArquivoCp1252(ret.filePath("RT000001.T"),
                        {Pedido("27022026", "02032026", 3), "111", "112", "113", "117", "118", "0990000000005"});
    const TExecucao e = Roda({"--dir", dir.path(), "responder", "--uma-vez", "--cro", "12"});
    ASSERT_EQ(e.codigo, 0) << e.erros.toStdString();
    EXPECT_TRUE(StatusOk(Linhas(ret.filePath("RT000001.L03"))));

    const QStringList dados = Linhas(ret.filePath("RT000001.S03"));
    ASSERT_EQ(dados.size(), 2 + 4 * 5);
    EXPECT_EQ(F(dados.first(), 1, 17), "00112345678000195");
    EXPECT_EQ(N(dados.first(), 35, 4), 3);
    EXPECT_EQ(dados.last(), "099" + QString("%1").arg(4 * 5, 10, 10, QChar('0')));

    const QStringList dias{"27022026", "28022026", "01032026", "02032026"};
    QString anterior;
    for (int d = 0; d < 4; ++d) {
        const QString& z = dados[1 + d * 5];
        ASSERT_EQ(F(z, 1, 3), "017");
        EXPECT_EQ(z.size(), 376);
        EXPECT_EQ(F(z, 146, 8), dias[d]);
        EXPECT_EQ(N(z, 160, 4), 3);
        EXPECT_EQ(N(z, 331, 6), 12);
        EXPECT_EQ(N(z, 44, 18) - N(z, 26, 18), N(z, 164, 13)) << "GT final - inicial = bruto";
        EXPECT_LT(N(z, 14, 6), N(z, 20, 6));
        EXPECT_EQ(N(z, 177, 6), N(z, 20, 6) + 1);
        if (!anterior.isEmpty()) {
            EXPECT_EQ(N(z, 26, 18), N(anterior, 44, 18)) << "os totais de dias seguidos se encadeiam";
            EXPECT_EQ(N(z, 62, 6), N(anterior, 62, 6) + 1);
            EXPECT_EQ(N(z, 14, 6), N(anterior, 177, 6) + 1);
        }
        int servicos = 0;
        for (int t = 1; t <= 4; ++t) {
            const QString& a = dados[1 + d * 5 + t];
            ASSERT_EQ(F(a, 1, 3), "018");
            EXPECT_EQ(a.size(), 90);
            EXPECT_EQ(F(a, 4, 10), F(z, 4, 10));
            EXPECT_EQ(N(a, 44, 4), 3);
            EXPECT_EQ(N(a, 31, 13), N(a, 18, 13) * N(a, 14, 4) / 10000);
            servicos += F(a, 50, 1) == "S";
        }
        EXPECT_EQ(servicos, 1);
        anterior = z;
    }

    // An answered request is left alone; another one is answered with the status asked for,
    // and the same period gives the same reductions.
    GravarArquivoCp1252(ret.filePath("RT000002.T"),
                        {Pedido("01032026", "02032026", 3), "117", "118", "0990000000002"});
    ASSERT_EQ(Roda({"--dir", dir.path(), "responder", "--uma-vez", "--status", "ERRO", "--cro", "12"}).codigo, 0);
    EXPECT_EQ(Linhas(ret.filePath("RT000001.S03")), dados);
    const QStringList log2 = Linhas(ret.filePath("RT000002.L03"));
    EXPECT_FALSE(StatusOk(log2));
    EXPECT_TRUE(log2.contains("STATUS;ERRO"));
    const QStringList dados2 = Linhas(ret.filePath("RT000002.S03"));
    ASSERT_EQ(dados2.size(), 2 + 2 * 5);
    EXPECT_EQ(dados2.mid(1, 10), dados.mid(11, 10));
}

TEST(RuxoSim, RecusaPedidoSemPeriodoValido)
{
    QTemporaryDir dir;
    const QDir ret(dir.filePath("RETORNO"));
    ASSERT_TRUE(ret.mkpath("."));
    GravarArquivoCp1252(ret.filePath("RT000001.T"), {Pedido("31022026", "02032026", 1), "117", "0990000000001"});
    GravarArquivoCp1252(ret.filePath("RT000002.T"), {Pedido("01011990", "02032026", 1), "117", "0990000000001"});
    GravarArquivoCp1252(ret.filePath("RT000003.T"), {Pedido("01032026", "02032026", 1), "111", "0990000000001"});
    ASSERT_EQ(Roda({"--dir", dir.path(), "responder", "--uma-vez"}).codigo, 0);
    for (const char* n : {"RT000001", "RT000002"}) {
        const QStringList log = Linhas(ret.filePath(QString(n) + ".L01"));
        EXPECT_TRUE(log.contains("STATUS;ERRO")) << n;
        EXPECT_EQ(Linhas(ret.filePath(QString(n) + ".S01")).size(), 2) << n;
    }
    // A valid request that asks for no reduction gets header and trailer only.
    EXPECT_TRUE(StatusOk(Linhas(ret.filePath("RT000003.L01"))));
    EXPECT_EQ(Linhas(ret.filePath("RT000003.S01")).size(), 2);
}

TEST(RuxoSim, DemoGravaCuponsRespondeEParaComSigterm)
{
    QTemporaryDir dir;
    QProcess p;
    p.start(Programa(), {"--dir", dir.path(), "demo", "--intervalo", "1"});
    ASSERT_TRUE(p.waitForStarted(5000));
    const QDir online(dir.filePath("ONLINE")), ret(dir.filePath("RETORNO"));
    auto espera = [&](auto condicao) {
        for (int i = 0; i < 200 && !condicao(); ++i)
            QThread::msleep(100);
        return condicao();
    };
    EXPECT_TRUE(espera([&] { return online.entryList({"*.S01"}, QDir::Files).size() >= 2; }));
    ASSERT_TRUE(ret.exists());
    GravarArquivoCp1252(ret.filePath("RT000001.T"), {Pedido("01032026", "01032026", 1), "117", "118", "0990000000002"});
    EXPECT_TRUE(espera([&] { return ret.exists("RT000001.L01"); }));
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(Linhas(ret.filePath("RT000001.S01")).size(), 2 + 5);
}
