#include "uCp1252.h"
#include "uRuxo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Remessa : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        QDir(FDir.path()).mkpath(QStringLiteral("REMESSA"));
    }
    QString Caminho(const QString& relativo) const { return FDir.path() + u'/' + relativo; }

    void Cabecalho(TRemessa& r)
    {
        r.Reg_001.CNPJ = QStringLiteral("12.345.678/0001-95");
        r.Reg_001.Data = TDateTime::Encode(2026, 3, 9);
        r.Reg_001.Horario = TDateTime::Encode(1899, 12, 30, 10, 4, 34);
        r.Reg_001.Especifico_para_o_PAF = 0;
    }

    QTemporaryDir FDir;
};

TEST_F(Remessa, EstoqueComDoisItensDaQuatroLinhas)
{
    TRuxo ruxo(FDir.path());
    TRemessa& r = *ruxo.Remessa();
    Cabecalho(r);
    TReg_035& a = r.Reg_035.Add();
    a.Codigo_do_produto = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY");  // 25: keeps its first 20
    a.Quantidade_em_estoque = *Currency::Parse(u"1.5");
    a.Data = TDateTime::Encode(2026, 3, 9);
    a.Hora = TDateTime::Encode(1899, 12, 30, 10, 4, 34);
    TReg_035& b = r.Reg_035.Add();
    b.Codigo_do_produto = QStringLiteral("7891");
    b.Quantidade_em_estoque = *Currency::Parse(u"-2.25");
    b.Data = TDateTime::Encode(2026, 12, 31);
    b.Hora = TDateTime::Encode(1899, 12, 30, 23, 59, 59, 999);
    r.Reg_099.Registros = 2;
    r.Gerar(rm035);

    QFile f(Caminho(QStringLiteral("REMESSA/RM000001.R")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("00112345678000195REM090320261004340000009\r\n"
                                      "035ABCDEFGHIJKLMNOPQRST000000000150009032026100434\r\n"
                                      "0357891                00000000-225031122026235959\r\n"
                                      "0990000000002\r\n"));

    // A second Gerar writes the same body again into the next free name.
    r.Gerar(rm035);
    EXPECT_EQ(LerArquivoCp1252(Caminho(QStringLiteral("REMESSA/RM000002.R"))),
              LerArquivoCp1252(Caminho(QStringLiteral("REMESSA/RM000001.R"))));
}

// The first number no shipment holds, whatever else lies in the folder: names Ruxo took leave a
// gap that is used again, and look-alike names are not shipments.
TEST_F(Remessa, ProximoNomeLivreUsaOPrimeiroNumeroSemArquivo)
{
    for (const char* nome : {"RM000001.R", "RM000003.R", "rm000002.r", "RM00002.R", "RM000002.R.tmp", "RM+00002.R"}) {
        QFile f(Caminho(QStringLiteral("REMESSA/") + QString::fromLatin1(nome)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TRuxo ruxo(FDir.path());
    QString nome;
    ruxo.Remessa()->Nome_Arquivo(nome);
    EXPECT_EQ(nome, Caminho(QStringLiteral("REMESSA/RM000002.R")));
    QFile(nome).open(QIODevice::WriteOnly);
    ruxo.Remessa()->Nome_Arquivo(nome);
    EXPECT_EQ(nome, Caminho(QStringLiteral("REMESSA/RM000004.R")));
}

TEST_F(Remessa, LinhasGravadasVoltamPeloLeitor)
{
    TRuxo ruxo(FDir.path());
    TRemessa& r = *ruxo.Remessa();
    Cabecalho(r);
    r.Reg_001.Especifico_para_o_PAF = 12;
    TReg_020& p = r.Reg_020.Add();
    p.Data = TDateTime::Encode(2026, 7, 4);
    p.Codigo_do_produto = QStringLiteral("PÃO");
    p.Descricao_Produto = QStringLiteral("PÃO DE QUEIJO");
    p.Quantidade = *Currency::Parse(u"12.345");
    p.Valor_do_Produto = *Currency::Parse(u"9.99");
    p.Codigo_de_Posse = QStringLiteral("P");
    p.CNPJ = QStringLiteral("12.345.678/0001-95");
    p.Inscricao_Estadual = QStringLiteral("110.042.490.114");
    p.UF = QStringLiteral("SP");
    p.Unidade = QStringLiteral("KG");
    r.Reg_099.Registros = 1;
    r.Gerar(rm020);

    const QStringList linhas = LerArquivoCp1252(Caminho(QStringLiteral("REMESSA/RM000001.R")));
    ASSERT_EQ(linhas.size(), 3);
    EXPECT_EQ(linhas[1].size(), 131);
    TReg_001 cab;
    Ruxo::LerLinha(linhas[0], cab);
    EXPECT_EQ(cab.CNPJ, QStringLiteral("12345678000195"));
    EXPECT_EQ(cab.Data, r.Reg_001.Data);
    EXPECT_EQ(cab.Horario, r.Reg_001.Horario);
    EXPECT_EQ(cab.Especifico_para_o_PAF, 12);
    TReg_020 lido;
    Ruxo::LerLinha(linhas[1], lido);
    EXPECT_EQ(lido.Data, p.Data);
    EXPECT_EQ(lido.Codigo_do_produto, p.Codigo_do_produto);
    EXPECT_EQ(lido.Descricao_Produto, p.Descricao_Produto);
    EXPECT_EQ(lido.Quantidade, p.Quantidade);
    EXPECT_EQ(lido.Valor_do_Produto, p.Valor_do_Produto);
    EXPECT_EQ(lido.Codigo_de_Posse, p.Codigo_de_Posse);
    EXPECT_EQ(lido.CNPJ, QStringLiteral("12345678000195"));
    EXPECT_EQ(lido.Inscricao_Estadual, QStringLiteral("110042490114"));
    EXPECT_EQ(lido.UF, p.UF);
    EXPECT_EQ(lido.Unidade, p.Unidade);
    EXPECT_EQ(linhas[1].mid(98, 14), QStringLiteral("12345678000195"));  // as N(14), not X(14)

    TReg_035 e;
    e.Codigo_do_produto = QStringLiteral("X1");
    e.Quantidade_em_estoque = *Currency::Parse(u"1234.567");
    e.Data = TDateTime::Encode(2026, 1, 2);
    e.Hora = TDateTime::Encode(1899, 12, 30, 3, 4, 5);
    r.Reg_035.Add() = e;
    r.Gerar(rm035);
    TReg_035 e2;
    Ruxo::LerLinha(LerArquivoCp1252(Caminho(QStringLiteral("REMESSA/RM000002.R")))[1], e2);
    EXPECT_EQ(e2.Codigo_do_produto, e.Codigo_do_produto);
    EXPECT_EQ(e2.Quantidade_em_estoque, e.Quantidade_em_estoque);
    EXPECT_EQ(e2.Data, e.Data);
    EXPECT_EQ(e2.Hora, e.Hora);
}

TEST_F(Remessa, TiposSemCorpoDaoSoCabecalhoERodape)
{
    TRuxo ruxo(FDir.path());
    TRemessa& r = *ruxo.Remessa();
    Cabecalho(r);
    r.Reg_035.Add().Codigo_do_produto = QStringLiteral("NAO VAI");
    r.Reg_020.Add().Codigo_do_produto = QStringLiteral("NAO VAI");
    r.Reg_099.Registros = 0;
    r.Gerar(rm031);
    EXPECT_EQ(LerArquivoCp1252(Caminho(QStringLiteral("REMESSA/RM000001.R"))),
              (QStringList{"00112345678000195REM090320261004340000009", "0990000000000"}));
}

TEST_F(Remessa, NumeracaoESemPasta)
{
    GravarArquivoCp1252(Caminho(QStringLiteral("REMESSA/RM000001.R")), {QStringLiteral("x")});
    TRuxo ruxo(FDir.path());
    QString nome;
    ruxo.Remessa()->Nome_Arquivo(nome);
    EXPECT_EQ(nome, Caminho(QStringLiteral("REMESSA/RM000002.R")));

    QDir(Caminho(QStringLiteral("REMESSA"))).removeRecursively();
    try {
        ruxo.Remessa()->Gerar(rm035);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("REMESSA"))) << e.what();
    }
    EXPECT_FALSE(QDir(Caminho(QStringLiteral("REMESSA"))).exists());
}

TEST_F(Remessa, StatusDoLogDeResposta)
{
    struct Caso
    {
        const char* nome;
        QStringList linhas;
        bool ok;
    };
    const Caso casos[] = {
        {"message then OK with blanks", {"Exportação concluída", "STATUS; OK "}, true},
        {"ERRO", {"STATUS;ERRO"}, false},
        {"lower case", {"status;ok", "Status;OK"}, false},
        {"quoted fields", {"\"STATUS\";\"OK\""}, true},
        {"blank before STATUS", {" STATUS;OK"}, false},
        {"later lines do not reset", {"STATUS;OK", "STATUS;ERRO"}, true},
        {"blank line and STATUS alone are messages", {"", "STATUS", "STATUS;OK;mais"}, true},
        {"OK in a third field", {"STATUS;;OK"}, false},
    };
    TRuxo ruxo(FDir.path());
    for (const Caso& c : casos) {
        const QString log = Caminho(QStringLiteral("RT000001.L01"));
        GravarArquivoCp1252(log, c.linhas);
        bool ok = !c.ok;
        EXPECT_EQ(ruxo.Status(ok, log), c.linhas) << c.nome;
        EXPECT_EQ(ok, c.ok) << c.nome;
    }
    bool ok = true;
    EXPECT_TRUE(ruxo.Status(ok, Caminho(QStringLiteral("nao-existe.L01"))).isEmpty());
    EXPECT_FALSE(ok);

    const QStringList doRuxo = ruxo.Status(ok, QStringLiteral(TV_DADOS_RUXO "/RT000001.L01"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(doRuxo, (QStringList{"\"Exportação concluída\";\"6 registros\"", "STATUS; OK ", "fim"}));
}

TEST(CamposDoLog, AspasSaemEPontoEVirgulaDentroDelasFica)
{
    EXPECT_EQ(CamposDoLog(QStringLiteral("\"a;b\";c")), (QStringList{"a;b", "c"}));
    EXPECT_EQ(CamposDoLog(QStringLiteral("a;;")), (QStringList{"a", "", ""}));
    EXPECT_TRUE(CamposDoLog(QString()).isEmpty());
}

}  // namespace
