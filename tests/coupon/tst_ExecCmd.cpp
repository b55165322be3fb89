// The import of coupon files against a real data drive in a temporary folder: the schema and
// demo company of `erp criar` / `erp demo`, the rows each case adds, and Ruxo's folders.

#include "ImprimeCupom.h"
#include "uController.h"
#include "uCp1252.h"
#include "uCupomDocumento.h"
#include "uDM_BDE.h"
#include "uEsquemaERP.h"
#include "uExecCMD.h"
#include "uLoteImportacao.h"
#include "uLog.h"
#include "uMemTable.h"
#include "uQuery.h"
#include "uRuxoLayout.h"
#include "uSys.h"
#include "uUIConsole.h"
#include "uUnidadeTeste.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

Currency C(const char* texto) { return *Currency::Parse(QString::fromLatin1(texto)); }

const QDate Hoje(2026, 3, 15);

class Importacao : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FPasta.isValid());
        TDateTime::RelogioDeTeste([] { return QDateTime(Hoje, QTime(10, 30, 0)); });
        RegistrarClasses();
        Log_ = &Log;
        Ui.Silencioso = true;
        DefinirUI(&Ui);
        Sys_ = TSys{};
        Sys_.Codigo_da_Empresa = QStringLiteral("0001");
        Sys_.Nome_Fantasia_Empresa = QStringLiteral("LOJA DEMO");
        Sys_.Atividade_da_Empresa = QStringLiteral("C");
        Sys_.Codigo_do_Usuario = QStringLiteral("0001");
        Sys_.Codigo_do_Cliente = QStringLiteral("000001");
        Sys_.Codigo_do_Vendedor = QStringLiteral("0001");
        Sys_.Codigo_da_Destinacao = QStringLiteral("001");
        Sys_.CFO = QStringLiteral("5102");
        Sys_.Tipo_Movimento_Estoque = QStringLiteral("S");
        Sys_.Numero_Controle_Dia = QStringLiteral("000007");
        Sys_.Numero_do_CRO = QStringLiteral("01");

        const QString raiz = FPasta.path() + QStringLiteral("/drive");
        for (const char* p : {"VENDAS", "CADASTRO", "CTACOR", "CTAREC", "CTAPAG", "ESTOQUE", "ICMS_IPI", "CHEQREC",
                              "COMPRAS", "UTILITAR"})
            QDir().mkpath(raiz + QStringLiteral("/Sistemas/") + QString::fromLatin1(p));
        FUnidade = std::make_unique<TUnidadeTeste>(raiz);
        // The schema is made below: a fresh server database has none yet.
        FDM = std::make_unique<TDM_BDE>(QStringList{raiz}, TSessao::Padrao(), false);
        ASSERT_FALSE(Sys_.Fechar);
        TSessao::Padrao().SetTempoEsperaMs(100);
        CriarDemoERP(TSessao::Padrao(), TDateTime::Now());

        Dir = FPasta.path() + QStringLiteral("/ruxo/");
        for (const char* p : {"ONLINE", "REMESSA"})
            QDir().mkpath(Dir + QString::fromLatin1(p));

        AdicionaCampoInteiro(Lista, QStringLiteral("INDICE"));
        AdicionaCampoTexto(Lista, QStringLiteral("NOME"), 40);
        AdicionaCampoLogico(Lista, QStringLiteral("EXECUTANDO"));
        AdicionaCampoLogico(Lista, QStringLiteral("PROCESSADO"));
        Lista.CreateDataSet();

        // A goods item whose ICMS counts in the document ("D", 18 %), found by its bar code.
        TEST_ITENS item;
        item.Codigo_do_Item = QStringLiteral("000010");
        item.Descricao_do_Item = QStringLiteral("BERMUDA");
        item.Unidade_Fiscal = QStringLiteral("PC");
        item.Tributacao_de_ICMS = QStringLiteral("D");
        item.Aliquota_de_ICMS = Currency(18);
        item.Codigo_de_Barras = QStringLiteral("7890000000109");
        Grava(item);
        TEST_SDESTQ saldo;
        saldo.Codigo_da_Empresa = QStringLiteral("0001");
        saldo.Codigo_do_Item = QStringLiteral("000010");
        saldo.Ano_Referencia = QStringLiteral("2026");
        saldo.Mes_Referencia = QStringLiteral("03");
        saldo.Saldo_Atual = Currency(20);
        Grava(saldo);
    }

    void TearDown() override
    {
        Controladores.Libera();
        FDM.reset();
        TSessao::Padrao().Close();
        FUnidade.reset();
        TDateTime::RelogioDeTeste({});
        Log_ = nullptr;
        DefinirUI(nullptr);
        Sys_ = TSys{};
    }

    static void Grava(const TClasseBase& obj)
    {
        TDaoBDE dao(obj.Classe().Diretorio(), obj.Classe().Tabela());
        ASSERT_TRUE(dao.Inserir(obj));
    }

    static TReg_011 Cupom(int numero, const char* produtos, const char* desconto = "0")
    {
        TReg_011 c;
        c.Numero_do_ECF = 1;
        c.Numero_do_Cupom = numero;
        c.Data = TDateTime::FromDate(Hoje);
        c.Valor_dos_Produtos = C(produtos);
        c.Valor_do_desconto = C(desconto);
        c.Valor_do_Cupom = c.Valor_dos_Produtos - c.Valor_do_desconto;
        c.Horario_de_inicio = TDateTime::Encode(2026, 3, 15, 9, 45);
        return c;
    }

    static TReg_012 Item(int cupom, int ordem, const char* codigo, const char* q, const char* p)
    {
        TReg_012 i;
        i.Numero_do_ECF = 1;
        i.Numero_do_Cupom = cupom;
        i.Ordem_do_item = ordem;
        i.Codigo_Produto = QString::fromLatin1(codigo);
        i.Descricao_do_produto = QStringLiteral("PRODUTO ") + i.Codigo_Produto;
        i.Unidade = QStringLiteral("UN");
        i.Quantidade = C(q);
        i.Preco_de_venda = C(p);
        i.IAT = QStringLiteral("A");
        i.Codigo_adicional_informado = i.Codigo_Produto;
        return i;
    }

    static TReg_013 Pagto(int cupom, int forma, const char* valor, const char* condicao = "V", const char* obs = "")
    {
        TReg_013 p;
        p.Numero_do_ECF = 1;
        p.Numero_do_Cupom = cupom;
        p.Forma_de_pagamento = forma;
        p.Valor = C(valor);
        p.Data_de_Vencimento = TDateTime::FromDate(Hoje.addDays(30));
        p.Condicao_de_Pagamento = QString::fromLatin1(condicao);
        p.Observacao = QString::fromLatin1(obs);
        return p;
    }

    // The lines of a coupon file in Ruxo's order: each coupon, its items, its payments.
    struct TArquivoCupons
    {
        QStringList Linhas;
        TArquivoCupons& operator<<(const TReg_011& r) { Linhas << Ruxo::GerarLinha(r); return *this; }
        TArquivoCupons& operator<<(const TReg_012& r) { Linhas << Ruxo::GerarLinha(r); return *this; }
        TArquivoCupons& operator<<(const TReg_013& r) { Linhas << Ruxo::GerarLinha(r); return *this; }
    };

    void Deposita(const QString& nome, const QStringList& linhas, bool companheiros = true)
    {
        GravarArquivoCp1252(Dir + QStringLiteral("ONLINE/") + nome, linhas);
        if (companheiros) {
            GravarArquivoCp1252(Dir + QStringLiteral("ONLINE/") + TExecCmd::NomeCompanheiro(nome, u'A'), {QStringLiteral("a")});
            GravarArquivoCp1252(Dir + QStringLiteral("ONLINE/") + TExecCmd::NomeCompanheiro(nome, u'L'), {QStringLiteral("l")});
        }
    }

    void Importa(const QString& nome)
    {
        TExecCmd tarefa(true);
        tarefa.FCDS = &Lista;
        tarefa.FControladores = &Controladores;
        tarefa.SetCodigo_da_Empresa(QStringLiteral("0001"));
        tarefa.SetCGC_Empresa(QStringLiteral("12.345.678/0001-95"));
        tarefa.SetCodigo_do_Usuario(QStringLiteral("0001"));
        tarefa.SetNome_do_Usuario(QStringLiteral("OPERADOR DEMO"));
        tarefa.SetNome_Arquivo(nome);
        tarefa.SetDiretorio(Dir);
        tarefa.Execute();
    }

    // The files as the monitoring cycle hands on those of one tick: in batches.
    void ImportaLote(const QStringList& nomes)
    {
        TLoteImportacao::TDados dados;
        dados.Codigo_da_Empresa = QStringLiteral("0001");
        dados.CGC_Empresa = QStringLiteral("12.345.678/0001-95");
        dados.Codigo_do_Usuario = QStringLiteral("0001");
        dados.Nome_do_Usuario = QStringLiteral("OPERADOR DEMO");
        dados.Diretorio = Dir;
        dados.FCDS = &Lista;
        dados.FControladores = &Controladores;
        TLoteImportacao::ImportarArquivos(dados, nomes, [](TLoteImportacao& lote) { lote.Executar(); });
    }

    static QVariant Valor(const QString& alias, const QString& sql)
    {
        TQuery q;
        q.SetDatabaseName(alias);
        q.SQL().Add(sql);
        q.Open();
        return q.IsEmpty() ? QVariant() : q.Value(0);
    }
    static int Conta(const char* tabela)
    {
        return Valor(QStringLiteral("N_VENDAS"),
                     QStringLiteral("select count(*) from \":N_VENDAS:%1\"").arg(QString::fromLatin1(tabela)))
            .toInt();
    }
    static Currency Saldo(const char* item)
    {
        TEST_SDESTQController c;
        return c.daoSDESTQ
            ->Busca({"Codigo da Empresa", "Codigo do Item", "Ano Referencia", "Mes Referencia"},
                    {QStringLiteral("0001"), QString::fromLatin1(item), QStringLiteral("2026"), QStringLiteral("03")})
            ->Saldo_Atual;
    }
    static std::unique_ptr<TVEN_NOTAC> Documento(const char* numero)
    {
        TVEN_NOTACController c;
        return c.daoNOTAC->Busca({"Codigo da Empresa", "Numero do Documento", "Serie do Documento"},
                                 {QStringLiteral("0001"), QString::fromLatin1(numero), QStringLiteral("X101")});
    }
    static std::unique_ptr<TVEN_NOTAI> LinhaItem(const char* numero, int item)
    {
        TVEN_NOTAIController c;
        return c.daoNOTAI->Busca({"Codigo da Empresa", "Numero do Documento", "Serie do Documento", "Item do Documento"},
                                 {QStringLiteral("0001"), QString::fromLatin1(numero), QStringLiteral("X101"), item});
    }
    static std::unique_ptr<TVEN_NOTAV> Parcela(const char* numero, const char* sequencia)
    {
        TVEN_NOTAVController c;
        return c.daoNOTAV->Busca({"Codigo da Empresa", "Numero do Documento", "Serie do Documento", "Sequencia"},
                                 {QStringLiteral("0001"), QString::fromLatin1(numero), QStringLiteral("X101"),
                                  QString::fromLatin1(sequencia)});
    }

    QStringList Arquivos(const QString& pasta) const
    {
        return QDir(Dir + pasta).entryList(QDir::Files, QDir::Name);
    }

    // A statement the engine will refuse, put straight into the database file or onto the server.
    void Gatilho(const QString& banco, const QString& sql)
    {
        if (FUnidade->Postgres()) {
            FUnidade->ExecutarNoServidor(sql);
            return;
        }
        TSessao::Padrao().Close();
        const QString arquivo = FPasta.path() + QStringLiteral("/drive/Sistemas/%1/%1.db").arg(banco);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(arquivo.toUtf8().constData(), &db), SQLITE_OK);
        char* erro = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &erro);
        const std::string msg = erro ? erro : "";
        sqlite3_free(erro);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << msg;
    }

    bool LogTem(const QString& trecho) const
    {
        for (const QString& l : Log.LtLog())
            if (l.contains(trecho))
                return true;
        return false;
    }

    TLog Log;
    TUIConsole Ui;
    TMemTable Lista;
    TControladoresCompartilhados Controladores;
    QString Dir;

private:
    QTemporaryDir FPasta;
    std::unique_ptr<TUnidadeTeste> FUnidade;
    std::unique_ptr<TDM_BDE> FDM;
};

// Two coupons of the demo items: documents, stock, the shipment and the files gone.
TEST_F(Importacao, DoisCuponsPontaAPonta)
{
    TArquivoCupons f;
    f << Cupom(101, "30") << Item(101, 1, "000001", "2", "10") << Item(101, 2, "000002", "1", "10")
      << Pagto(101, 1, "30");
    f << Cupom(102, "30") << Item(102, 1, "000001", "3", "10") << Pagto(102, 2, "30", "P");
    Deposita(QStringLiteral("00004001.S01"), f.Linhas);

    Importa(QStringLiteral("00004001.S01"));

    EXPECT_EQ(Conta("NOTAC"), 2);
    EXPECT_EQ(Conta("NOTAI"), 3);
    EXPECT_EQ(Conta("NOTAV"), 2);
    EXPECT_EQ(Saldo("000001"), Currency(95));
    EXPECT_EQ(Saldo("000002"), Currency(49));
    EXPECT_EQ(Documento("000101")->Valor_Nota_Fiscal, Currency(30));
    EXPECT_EQ(LinhaItem("000102", 1)->Descricao_do_Item, QStringLiteral("CAMISETA BASICA"));

    EXPECT_TRUE(Arquivos(QStringLiteral("ONLINE")).isEmpty());
    EXPECT_EQ(Lista.RecordCount(), 0);
    ASSERT_EQ(Arquivos(QStringLiteral("REMESSA")), QStringList{QStringLiteral("RM000001.R")});
    QFile rm(Dir + QStringLiteral("REMESSA/RM000001.R"));
    ASSERT_TRUE(rm.open(QIODevice::ReadOnly));
    auto linha035 = [](const char* item, const char* quantidade) {
        return QByteArray("035") + QByteArray(item).leftJustified(20, ' ') + quantidade + "15032026103000\r\n";
    };
    EXPECT_EQ(rm.readAll(), QByteArray("00112345678000195REM150320261030000000009\r\n") +
                                linha035("000001", "0000000098000") + linha035("000002", "0000000049000") +
                                linha035("000001", "0000000095000") + "0990000000003\r\n");
    EXPECT_TRUE(LogTem(QStringLiteral("Aguarde, Convertendo Cupom")));
}

// The figures of one coupon as they reach the rows: prices, discount, ICMS, payments, header.
TEST_F(Importacao, ValoresDoCupom)
{
    TReg_011 cupom = Cupom(1234, "19", "1.9");
    cupom.Numero_do_DAV = 77;
    cupom.Obs_1 = QStringLiteral("ABC");
    cupom.Obs_2 = QStringLiteral("DEF");
    TReg_012 item = Item(1234, 1, "000010", "2", "10");
    item.Valor_do_desconto = C("0.5");
    item.IAT = QStringLiteral("T");
    item.Codigo_adicional_informado = QStringLiteral("7890000000109");
    TArquivoCupons f;
    f << cupom << item << Pagto(1234, 1, "7.5", "", "Troco") << Pagto(1234, 1, "50")
      << Pagto(1234, 2, "10", "P");
    Deposita(QStringLiteral("00001234.S01"), f.Linhas);

    Importa(QStringLiteral("00001234.S01"));

    std::unique_ptr<TVEN_NOTAI> i = LinhaItem("001234", 1);
    EXPECT_EQ(i->Codigo_do_Item, QStringLiteral("000010"));
    EXPECT_EQ(i->Descricao_do_Item, QStringLiteral("BERMUDA"));
    EXPECT_EQ(i->Preco_Total, Currency(19));
    EXPECT_EQ(i->Taxa_Desconto_Total, Currency(10));
    EXPECT_EQ(i->Valor_Desconto_Total, C("1.9"));
    EXPECT_EQ(i->ICMS_BC, C("17.1"));
    EXPECT_EQ(i->Valor_do_ICMS, C("3.07"));

    std::unique_ptr<TVEN_NOTAC> d = Documento("001234");
    EXPECT_EQ(d->Valor_BCICMS, C("17.1"));
    EXPECT_EQ(d->Valor_ICMS, C("3.07"));
    EXPECT_EQ(d->Valor_BCISSQN, Currency());
    EXPECT_EQ(d->Valor_Mercadoria_Liquido, C("17.1"));
    EXPECT_EQ(d->Numero_DAV_PreVenda, QStringLiteral("0000000000077"));
    EXPECT_EQ(d->Observacao_na_Nota_Fiscal, QStringLiteral("ABC   DEF"));
    EXPECT_EQ(d->Hora_de_Saida, QStringLiteral("09:45"));
    EXPECT_EQ(d->Codigo_do_Documento, QString());  // no document type named X101
    EXPECT_EQ(d->Razao_Social, QStringLiteral("CONSUMIDOR FINAL"));
    EXPECT_EQ(d->Codigo_do_Representante, QStringLiteral("0001"));
    EXPECT_EQ(d->Numero_Controle_Dia, QStringLiteral("000007"));
    EXPECT_EQ(d->Hora_Inclusao, QStringLiteral("10:30"));
    EXPECT_EQ(d->Forma_de_Pagamento, QStringLiteral("03"));

    // The change line before the cash line comes off the cash; it makes no row of its own.
    EXPECT_EQ(Conta("NOTAV"), 2);
    EXPECT_EQ(Parcela("001234", "01")->Valor, C("42.5"));
    std::unique_ptr<TVEN_NOTAV> cartao = Parcela("001234", "02");
    EXPECT_EQ(cartao->Forma_de_Pagamento, QStringLiteral("03"));
    EXPECT_EQ(cartao->Nome_do_Cartao, QString());  // "CARTAO" is not an ERP card name
    EXPECT_EQ(Saldo("000010"), Currency(18));
}

// Payment conditions, the "CD" form, the change after the cash line and a coupon with no
// payment row, one coupon each.
TEST_F(Importacao, CondicoesEFormas)
{
    auto condicao = [](const char* codigo, const char* avanco, const char* tipo) {
        TVEN_CONDPGTO c;
        c.Condicao_de_Pagamento = QString::fromLatin1(codigo);
        c.Codigo_Avanco = QString::fromLatin1(avanco);
        c.Tipo_de_Pagamento = QString::fromLatin1(tipo);
        c.Numero_de_Parcelas = 3;
        c.Composicao_de_Dias = QStringLiteral("30/60/90");
        Grava(c);
    };
    condicao("A1", "001", "V");
    condicao("A2", "002", "P");
    condicao("05", "", "P");
    condicao("12", "", "P");
    for (const char* forma : {"CD", "OU"}) {
        TCAD_TPPAGTO t;
        t.Tipo_do_Pagamento = QString::fromLatin1(forma);
        Grava(t);
    }
    TVEN_RUXO_FP op;
    op.Codigo_Operacao = QStringLiteral("09");
    op.Forma_de_Pagamento = QStringLiteral("CD");
    Grava(op);

    auto comCondicao = [](int numero, int condicao) {
        TReg_011 c = Cupom(numero, "50");
        c.Condicao_de_pagamento = condicao;
        return c;
    };
    TArquivoCupons f;
    f << comCondicao(11, 0) << Pagto(11, 1, "50", "V");
    f << comCondicao(12, 0) << Pagto(12, 1, "20", "V") << Pagto(12, 2, "30", "P");
    f << comCondicao(13, 0) << Pagto(13, 1, "50", "");
    f << comCondicao(14, 5) << Pagto(14, 1, "50");
    f << comCondicao(15, 123) << Pagto(15, 1, "50");
    f << comCondicao(16, 0) << Pagto(16, 1, "20", "V") << Pagto(16, 9, "30", "P");
    f << comCondicao(17, 0) << Pagto(17, 1, "50") << Pagto(17, 1, "7.5", "", "Troco");
    f << comCondicao(18, 0) << Pagto(18, 1, "7.5", "", "Troco");
    Deposita(QStringLiteral("00000011.S01"), f.Linhas);

    Importa(QStringLiteral("00000011.S01"));

    struct Caso
    {
        const char* documento;
        const char* condicao;
        const char* tipo;
    } casos[] = {
        {"000011", "A1", "V"}, {"000012", "A2", "P"}, {"000013", "A2", "P"},
        {"000014", "05", "P"}, {"000015", "12", "P"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.documento);
        std::unique_ptr<TVEN_NOTAC> d = Documento(c.documento);
        EXPECT_EQ(d->Condicao_de_Pagamento, QString::fromLatin1(c.condicao));
        EXPECT_EQ(d->Tipo_de_Pagamento, QString::fromLatin1(c.tipo));
        EXPECT_EQ(d->Numero_de_Parcelas, 3);
    }

    std::unique_ptr<TVEN_NOTAC> cd = Documento("000016");
    EXPECT_EQ(cd->Forma_de_Pagamento, QStringLiteral("CD"));
    EXPECT_EQ(cd->Tipo_de_Pagamento, QStringLiteral("P"));
    EXPECT_EQ(cd->Numero_de_Parcelas, 1);
    EXPECT_EQ(cd->Composicao_de_Dias, QStringLiteral("1"));
    EXPECT_EQ(Parcela("000016", "02")->Data, TDateTime::FromDate(Hoje));
    EXPECT_EQ(Parcela("000016", "01")->Data, TDateTime::FromDate(Hoje.addDays(30)));

    EXPECT_EQ(Parcela("000017", "01")->Valor, Currency(50));
    EXPECT_TRUE(Parcela("000018", "01")->Codigo_da_Empresa.isEmpty());
    EXPECT_EQ(Documento("000018")->Forma_de_Pagamento, QStringLiteral("OU"));
}

// A customer typed at the till over the default one, and a catalogue miss.
TEST_F(Importacao, ClienteDigitadoEItemForaDoCatalogo)
{
    TReg_011 cupom = Cupom(301, "10");
    cupom.Codigo_Cliente = QStringLiteral("999999");
    cupom.Nome_cliente = QStringLiteral("Maria Souza");
    cupom.CNPJ_CPF = QStringLiteral("12345678000195");
    cupom.Cidade = QStringLiteral("SAO PAULO");
    cupom.UF = QStringLiteral("SP");
    TArquivoCupons f;
    f << cupom << Item(301, 1, "777777", "1", "10") << Pagto(301, 1, "10");
    Deposita(QStringLiteral("00000301.S01"), f.Linhas);

    Importa(QStringLiteral("00000301.S01"));

    std::unique_ptr<TVEN_NOTAC> d = Documento("000301");
    EXPECT_EQ(d->Codigo, QStringLiteral("000001"));
    EXPECT_EQ(d->Razao_Social, QStringLiteral("MARIA SOUZA"));
    EXPECT_EQ(d->CGC, QStringLiteral("12.345.678/0001-95"));
    EXPECT_EQ(d->Tipo_Pessoa, QStringLiteral("JURIDICA"));
    EXPECT_EQ(d->Cidade, QStringLiteral("SAO PAULO"));

    std::unique_ptr<TVEN_NOTAI> i = LinhaItem("000301", 1);
    EXPECT_EQ(i->Codigo_do_Item, QString());
    EXPECT_EQ(i->Descricao_do_Item, QStringLiteral("PRODUTO 777777"));
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Codigo do Item/Codigo de Barras não cadastrado !")));
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Cupom Fiscal: X101 - 000301")));
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Codigo: 777777")));
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : LanÇamento inválido!")));
}

// A live coupon sent again, alone or beside a new one, writes no rows and moves no stock: its
// sale already took the stock out. Only the new coupon's item moves and is reported.
TEST_F(Importacao, CupomReenviado)
{
    TArquivoCupons f;
    f << Cupom(101, "20") << Item(101, 1, "000001", "2", "10") << Pagto(101, 1, "20");
    Deposita(QStringLiteral("00004001.S01"), f.Linhas);
    Importa(QStringLiteral("00004001.S01"));
    ASSERT_EQ(Saldo("000001"), Currency(98));

    Deposita(QStringLiteral("00004002.S01"), f.Linhas);
    Importa(QStringLiteral("00004002.S01"));
    EXPECT_EQ(Saldo("000001"), Currency(98));
    EXPECT_EQ(Arquivos(QStringLiteral("REMESSA")).size(), 1);

    TArquivoCupons misto = f;
    misto << Cupom(102, "10") << Item(102, 1, "000002", "1", "10") << Pagto(102, 1, "10");
    Deposita(QStringLiteral("00004003.S01"), misto.Linhas);
    Importa(QStringLiteral("00004003.S01"));

    EXPECT_EQ(Conta("NOTAC"), 2);
    EXPECT_EQ(Conta("NOTAI"), 2);
    EXPECT_EQ(Conta("NOTAV"), 2);
    EXPECT_EQ(Saldo("000001"), Currency(98));
    EXPECT_EQ(Saldo("000002"), Currency(49));
    ASSERT_EQ(Arquivos(QStringLiteral("REMESSA")).size(), 2);
    QFile rm(Dir + QStringLiteral("REMESSA/RM000002.R"));
    ASSERT_TRUE(rm.open(QIODevice::ReadOnly));
    const QByteArray conteudo = rm.readAll();
    EXPECT_TRUE(conteudo.contains("035000002 "));
    EXPECT_FALSE(conteudo.contains("035000001 "));
    EXPECT_TRUE(Arquivos(QStringLiteral("ONLINE")).isEmpty());
}

TEST_F(Importacao, CancelamentoDepoisDoCupom)
{
    TArquivoCupons vivo;
    vivo << Cupom(101, "20") << Item(101, 1, "000001", "2", "10") << Pagto(101, 1, "20");
    Deposita(QStringLiteral("00004001.S01"), vivo.Linhas);
    Importa(QStringLiteral("00004001.S01"));
    ASSERT_EQ(Saldo("000001"), Currency(98));

    TReg_011 cupom = Cupom(101, "20");
    cupom.Cancelado = QStringLiteral("C");
    TReg_012 item = Item(101, 1, "000001", "2", "10");
    item.Cancelado = QStringLiteral("C");
    TArquivoCupons cancelado;
    cancelado << cupom << item << Pagto(101, 1, "20");
    Deposita(QStringLiteral("00004002.S01"), cancelado.Linhas);
    Importa(QStringLiteral("00004002.S01"));

    EXPECT_EQ(Documento("000101")->Situacao, QStringLiteral("C"));
    EXPECT_EQ(LinhaItem("000101", 1)->Situacao_Item, QString());
    EXPECT_EQ(Conta("NOTAI"), 1);
    EXPECT_EQ(Saldo("000001"), Currency(100));

    // The cancellation sent again finds the document cancelled already: the stock came back once.
    Deposita(QStringLiteral("00004003.S01"), cancelado.Linhas);
    Importa(QStringLiteral("00004003.S01"));
    EXPECT_EQ(Saldo("000001"), Currency(100));
}

// The rows go out every few coupons, inside the file's one transaction. A failure after some of
// them went out still leaves nothing of the file; imported, a coupon met again further down the
// file finds the document its first appearance wrote, whether a flush fell between the two (101)
// or the repeat itself had to write it first (103).
TEST_F(Importacao, ArquivoGravadoEmPartes)
{
    struct TRestaura
    {
        int antes = CupomTexto::CuponsPorGravacao();
        ~TRestaura() { CupomTexto::CuponsPorGravacao() = antes; }
    } restaura;
    CupomTexto::CuponsPorGravacao() = 2;

    auto cancelado = [](int numero, const char* codigo, const char* q) {
        TArquivoCupons f;
        TReg_011 c = Cupom(numero, "10");
        c.Cancelado = QStringLiteral("C");
        TReg_012 i = Item(numero, 1, codigo, q, "10");
        i.Cancelado = QStringLiteral("C");
        // No payment line: those of a coupon number are gathered under its first appearance.
        f << c << i;
        return f.Linhas;
    };
    TArquivoCupons f;
    f << Cupom(101, "20") << Item(101, 1, "000001", "2", "10") << Pagto(101, 1, "20");
    f << Cupom(102, "10") << Item(102, 1, "000002", "1", "10") << Pagto(102, 1, "10");
    f << Cupom(103, "10") << Item(103, 1, "000002", "1", "10") << Pagto(103, 1, "10");
    f.Linhas << cancelado(103, "000002", "1") << cancelado(101, "000001", "2");
    f << Cupom(104, "10") << Item(104, 1, "000001", "1", "10") << Pagto(104, 1, "10");

    const bool pg = TUnidadeTeste::EmPostgres();
    Gatilho(QStringLiteral("VENDAS"),
            pg ? QStringLiteral("CREATE FUNCTION recusa() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION "
                                "'recusado'; END $$; CREATE TRIGGER recusa BEFORE INSERT ON \"N_VENDAS\".\"NOTAV\" "
                                "FOR EACH ROW WHEN (NEW.\"Numero do Documento\" = '000104') EXECUTE FUNCTION recusa()")
               : QStringLiteral("CREATE TRIGGER recusa BEFORE INSERT ON NOTAV WHEN NEW.\"Numero do Documento\" = "
                                "'000104' BEGIN SELECT RAISE(ABORT, 'recusado'); END"));
    Deposita(QStringLiteral("00004001.S01"), f.Linhas);
    EXPECT_NO_THROW(Importa(QStringLiteral("00004001.S01")));
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Arquivo 00004001.S01 não importado, cupom 104: ")));
    EXPECT_EQ(Conta("NOTAC"), 0);
    EXPECT_EQ(Conta("NOTAI"), 0);
    EXPECT_EQ(Conta("NOTAV"), 0);
    EXPECT_EQ(Saldo("000001"), Currency(100));
    EXPECT_TRUE(Arquivos(QStringLiteral("REMESSA")).isEmpty());
    Gatilho(QStringLiteral("VENDAS"), pg ? QStringLiteral("DROP TRIGGER recusa ON \"N_VENDAS\".\"NOTAV\"; DROP FUNCTION recusa()")
                                         : QStringLiteral("DROP TRIGGER recusa"));

    Deposita(QStringLiteral("00004002.S01"), f.Linhas);
    Importa(QStringLiteral("00004002.S01"));
    EXPECT_TRUE(Arquivos(QStringLiteral("ONLINE")).isEmpty());
    EXPECT_EQ(Conta("NOTAC"), 4);
    EXPECT_EQ(Conta("NOTAI"), 4);
    EXPECT_EQ(Conta("NOTAV"), 4);
    EXPECT_EQ(Documento("000101")->Situacao, QStringLiteral("C"));
    EXPECT_EQ(Documento("000102")->Situacao, QString());
    EXPECT_EQ(Documento("000103")->Situacao, QStringLiteral("C"));
    EXPECT_EQ(Documento("000104")->Valor_Nota_Fiscal, Currency(10));
    EXPECT_EQ(LinhaItem("000101", 1)->Situacao_Item, QString());
    EXPECT_EQ(Parcela("000104", "01")->Valor, Currency(10));
}

// Whatever fails in the middle of a file, nothing of the file stays in the ERP, Ruxo hears of
// no stock, and the file is kept for later.
TEST_F(Importacao, FalhaDesfazOArquivoInteiro)
{
    struct Caso
    {
        const char* nome;
        const char* banco;
        const char* gatilho;     // SQLite
        const char* gatilhoPg;   // the same refusal on the server
        const char* removePg;
    } casos[] = {
        {"instalment insert", "VENDAS",
         "CREATE TRIGGER recusa BEFORE INSERT ON NOTAV BEGIN SELECT RAISE(ABORT, 'recusado'); END",
         "CREATE FUNCTION recusa() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'recusado'; END $$; "
         "CREATE TRIGGER recusa BEFORE INSERT ON \"N_VENDAS\".\"NOTAV\" FOR EACH ROW EXECUTE FUNCTION recusa()",
         "DROP TRIGGER recusa ON \"N_VENDAS\".\"NOTAV\"; DROP FUNCTION recusa()"},
        {"stock of the second item", "ESTOQUE",
         "CREATE TRIGGER recusa BEFORE UPDATE ON SDESTQ WHEN NEW.\"Codigo do Item\" = '000002' "
         "BEGIN SELECT RAISE(ABORT, 'recusado'); END",
         "CREATE FUNCTION recusa() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'recusado'; END $$; "
         "CREATE TRIGGER recusa BEFORE UPDATE ON \"N_ESTOQUE\".\"SDESTQ\" FOR EACH ROW "
         "WHEN (NEW.\"Codigo do Item\" = '000002') EXECUTE FUNCTION recusa()",
         "DROP TRIGGER recusa ON \"N_ESTOQUE\".\"SDESTQ\"; DROP FUNCTION recusa()"},
    };
    const bool pg = TUnidadeTeste::EmPostgres();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        Gatilho(QString::fromLatin1(c.banco), QString::fromLatin1(pg ? c.gatilhoPg : c.gatilho));
        TArquivoCupons f;
        f << Cupom(101, "30") << Item(101, 1, "000001", "2", "10") << Item(101, 2, "000002", "1", "10")
          << Pagto(101, 1, "30");
        Deposita(QStringLiteral("00004001.S01"), f.Linhas);
        Log.Clear();

        EXPECT_NO_THROW(Importa(QStringLiteral("00004001.S01")));

        EXPECT_EQ(Conta("NOTAC"), 0);
        EXPECT_EQ(Conta("NOTAI"), 0);
        EXPECT_EQ(Conta("NOTAV"), 0);
        EXPECT_EQ(Saldo("000001"), Currency(100));
        EXPECT_EQ(Saldo("000002"), Currency(50));
        EXPECT_TRUE(Arquivos(QStringLiteral("REMESSA")).isEmpty());
        EXPECT_TRUE(Arquivos(QStringLiteral("ONLINE")).isEmpty());
        EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Arquivo 00004001.S01 não importado, cupom 101: ")));
        EXPECT_EQ(Lista.RecordCount(), 0);
        Gatilho(QString::fromLatin1(c.banco), pg ? QString::fromLatin1(c.removePg) : QStringLiteral("DROP TRIGGER recusa"));
    }
    // The second rejection of the same name did not overwrite the first.
    EXPECT_EQ(Arquivos(QStringLiteral("ONLINE/REJEITADOS")),
              (QStringList{"00004001.A01", "00004001.A01.1", "00004001.L01", "00004001.L01.1", "00004001.S01",
                           "00004001.S01.1"}));
}

// A day without its day-closing record: no row, the file kept, and the store of items cancelled
// one by one left as it was, so that importing the file later judges its items afresh.
TEST_F(Importacao, DiaSemReducaoZ)
{
    TReg_011 ontem = Cupom(101, "30");
    ontem.Data = TDateTime::FromDate(Hoje.addDays(-1));
    TReg_012 cancelado = Item(101, 2, "000002", "1", "10");
    cancelado.Cancelado = QStringLiteral("C");
    TArquivoCupons f;
    f << ontem << Item(101, 1, "000001", "2", "10") << cancelado << Pagto(101, 1, "20");
    f << Cupom(102, "10") << Item(102, 1, "000001", "1", "10") << Pagto(102, 1, "10");
    Deposita(QStringLiteral("00004001.S01"), f.Linhas);

    EXPECT_NO_THROW(Importa(QStringLiteral("00004001.S01")));

    EXPECT_EQ(Conta("NOTAC"), 0);
    EXPECT_EQ(Saldo("000001"), Currency(100));
    EXPECT_FALSE(QFile::exists(Dir + QStringLiteral("CANCELADOS/CANCELADOS.V")));
    EXPECT_EQ(Arquivos(QStringLiteral("ONLINE/REJEITADOS")).size(), 3);
    EXPECT_TRUE(LogTem(QStringLiteral("Atenção: Cupons referente a este dia não serão importados!")));
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Arquivo 00004001.S01 não importado, cupom 101: Cupons referente")));
}

TEST_F(Importacao, ArquivoIlegivel)
{
    TArquivoCupons f;
    f << Cupom(101, "30");
    f.Linhas << QStringLiteral("XYZ linha estranha");
    Deposita(QStringLiteral("00004001.S01"), f.Linhas, false);

    EXPECT_NO_THROW(Importa(QStringLiteral("00004001.S01")));

    EXPECT_EQ(Arquivos(QStringLiteral("ONLINE/REJEITADOS")), QStringList{QStringLiteral("00004001.S01")});
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Arquivo 00004001.S01 não importado: ")));
    EXPECT_EQ(Conta("NOTAC"), 0);
}

// A file without payment lines converts nothing and goes.
TEST_F(Importacao, SemPagamento)
{
    TArquivoCupons f;
    f << Cupom(101, "30") << Item(101, 1, "000001", "2", "10");
    Deposita(QStringLiteral("00004001.S01"), f.Linhas);
    Importa(QStringLiteral("00004001.S01"));
    EXPECT_EQ(Conta("NOTAC"), 0);
    EXPECT_EQ(Saldo("000001"), Currency(100));
    EXPECT_TRUE(Arquivos(QStringLiteral("ONLINE")).isEmpty());
    EXPECT_TRUE(Arquivos(QStringLiteral("REMESSA")).isEmpty());
}

// ONLINE cannot take the claim (a folder that cannot be written, a drive gone read-only): an
// error line naming the path, the file left where it was, and the next run imports it once the
// cause is gone.
TEST_F(Importacao, PastaQueNaoAceitaAReservaGuardaOArquivo)
{
    TArquivoCupons f;
    f << Cupom(101, "20") << Item(101, 1, "000001", "2", "10") << Pagto(101, 1, "20");
    Deposita(QStringLiteral("00004001.S01"), f.Linhas);
    // A plain file where the claim folder must go: the folder cannot be made, whoever runs.
    QFile bloqueio(Dir + QStringLiteral("ONLINE/IMPORTANDO"));
    ASSERT_TRUE(bloqueio.open(QIODevice::WriteOnly));
    bloqueio.close();

    EXPECT_NO_THROW(Importa(QStringLiteral("00004001.S01")));
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Arquivo 00004001.S01 não importado: Não foi possível criar a pasta ") +
                       QDir::toNativeSeparators(Dir + QStringLiteral("ONLINE/IMPORTANDO/"))));
    EXPECT_EQ(Conta("NOTAC"), 0);
    EXPECT_EQ(Arquivos(QStringLiteral("ONLINE")),
              (QStringList{"00004001.A01", "00004001.L01", "00004001.S01", "IMPORTANDO"}));

    ASSERT_TRUE(QFile::remove(Dir + QStringLiteral("ONLINE/IMPORTANDO")));
    Importa(QStringLiteral("00004001.S01"));
    EXPECT_EQ(Conta("NOTAC"), 1);
    EXPECT_EQ(Saldo("000001"), Currency(98));
    EXPECT_TRUE(Arquivos(QStringLiteral("ONLINE")).isEmpty());
}

// Three files of one tick in one batch: a later file cancels a coupon an earlier one wrote in
// the same transaction, and each file still gets its own shipment.
TEST_F(Importacao, LoteComCancelamentoDeCupomDoMesmoLote)
{
    TArquivoCupons vivo;
    vivo << Cupom(101, "20") << Item(101, 1, "000001", "2", "10") << Pagto(101, 1, "20");
    Deposita(QStringLiteral("00004001.S01"), vivo.Linhas);
    TReg_011 cupom = Cupom(101, "20");
    cupom.Cancelado = QStringLiteral("C");
    TReg_012 item = Item(101, 1, "000001", "2", "10");
    item.Cancelado = QStringLiteral("C");
    TArquivoCupons cancelado;
    cancelado << cupom << item << Pagto(101, 1, "20");
    Deposita(QStringLiteral("00004002.S01"), cancelado.Linhas);
    TArquivoCupons outro;
    outro << Cupom(102, "10") << Item(102, 1, "000002", "1", "10") << Pagto(102, 1, "10");
    Deposita(QStringLiteral("00004003.S01"), outro.Linhas);

    ImportaLote({"00004001.S01", "00004002.S01", "00004003.S01"});

    EXPECT_EQ(Documento("000101")->Situacao, QStringLiteral("C"));
    EXPECT_EQ(Conta("NOTAC"), 2);
    EXPECT_EQ(Saldo("000001"), Currency(100));
    EXPECT_EQ(Saldo("000002"), Currency(49));
    EXPECT_EQ(Arquivos(QStringLiteral("REMESSA")), (QStringList{"RM000001.R", "RM000002.R", "RM000003.R"}));
    EXPECT_TRUE(Arquivos(QStringLiteral("ONLINE")).isEmpty());
    EXPECT_EQ(Lista.RecordCount(), 0);
    EXPECT_FALSE(LogTem(QStringLiteral("Erro   :")));
}

// One file of a batch that cannot be imported: the batch is undone and its files imported one by
// one, so that the others go in once and only the faulty one is rejected, with its own line, and
// the store of cancelled items ends as the files imported one by one leave it.
TEST_F(Importacao, LoteComArquivoRecusadoImportaOsOutros)
{
    TReg_012 canceladoVivo = Item(101, 2, "000002", "1", "10");
    canceladoVivo.Cancelado = QStringLiteral("C");
    TArquivoCupons primeiro;
    primeiro << Cupom(101, "20") << Item(101, 1, "000001", "2", "10") << canceladoVivo << Pagto(101, 1, "20");
    Deposita(QStringLiteral("00004001.S01"), primeiro.Linhas);
    TArquivoCupons segundo;
    segundo << Cupom(102, "10") << Item(102, 1, "000002", "1", "10") << Pagto(102, 1, "10");
    Deposita(QStringLiteral("00004002.S01"), segundo.Linhas);
    TReg_011 ontem = Cupom(103, "10");
    ontem.Data = TDateTime::FromDate(Hoje.addDays(-1));
    TReg_012 canceladoOntem = Item(103, 2, "000001", "1", "10");
    canceladoOntem.Cancelado = QStringLiteral("C");
    TArquivoCupons terceiro;
    terceiro << ontem << Item(103, 1, "000002", "1", "10") << canceladoOntem << Pagto(103, 1, "10");
    Deposita(QStringLiteral("00004003.S01"), terceiro.Linhas);

    ImportaLote({"00004001.S01", "00004002.S01", "00004003.S01"});

    EXPECT_EQ(Conta("NOTAC"), 2);
    EXPECT_EQ(Saldo("000001"), Currency(98));
    EXPECT_EQ(Saldo("000002"), Currency(49));
    EXPECT_EQ(Arquivos(QStringLiteral("REMESSA")).size(), 2);
    EXPECT_EQ(Arquivos(QStringLiteral("ONLINE/REJEITADOS")),
              (QStringList{"00004003.A01", "00004003.L01", "00004003.S01"}));
    EXPECT_TRUE(LogTem(QStringLiteral("Erro   : Arquivo 00004003.S01 não importado, cupom 103: Cupons referente")));
    EXPECT_FALSE(LogTem(QStringLiteral("Arquivo 00004001.S01 não importado")));
    EXPECT_FALSE(LogTem(QStringLiteral("Arquivo 00004002.S01 não importado")));
    QFile store(Dir + QStringLiteral("CANCELADOS/CANCELADOS.V"));
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    const QByteArray guardado = store.readAll();
    EXPECT_TRUE(guardado.contains(Ruxo::GerarLinha(canceladoVivo).toLatin1()));
    EXPECT_FALSE(guardado.contains(Ruxo::GerarLinha(canceladoOntem).toLatin1()));
}

// A batch takes files while they fit, and always its first.
TEST(LoteImportacao, LimitesDoLote)
{
    TLoteImportacao lote({});
    EXPECT_TRUE(lote.Cabe(TLoteImportacao::MaximoBytes * 4)) << "an empty batch takes any file";
    lote.Adiciona(QStringLiteral("A.S01"), TLoteImportacao::MaximoBytes - 10);
    EXPECT_TRUE(lote.Cabe(10));
    EXPECT_FALSE(lote.Cabe(11));
    TLoteImportacao cheio({});
    for (int n = 0; n < TLoteImportacao::MaximoArquivos; ++n) {
        ASSERT_TRUE(cheio.Cabe(1));
        cheio.Adiciona(QStringLiteral("%1.S01").arg(n), 1);
    }
    EXPECT_FALSE(cheio.Cabe(1));
}

TEST(NomeCompanheiro, PosicoesOnzeEDoze)
{
    EXPECT_EQ(TExecCmd::NomeCompanheiro(QStringLiteral("00012345.S07"), u'A'), QStringLiteral("00012345.A07"));
    EXPECT_EQ(TExecCmd::NomeCompanheiro(QStringLiteral("00012345.S07"), u'L'), QStringLiteral("00012345.L07"));
    EXPECT_EQ(TExecCmd::NomeCompanheiro(QStringLiteral("ABC.S1"), u'A'), QStringLiteral("ABC.A"));
}

// --- Daily control number ------------------------------------------------------------------

class ControleDia : public Importacao
{
protected:
    static std::unique_ptr<TCAD_CONTRDIA> Registro(const char* numero)
    {
        TCAD_CONTRDIAController c;
        return c.daoCONTRDIA->Busca({"Numero_Controle_Dia"}, {QString::fromLatin1(numero)});
    }
};

TEST_F(ControleDia, PrimeiroDoDiaSegundoENovoDia)
{
    // Empty table: the first number is 000001.
    EXPECT_EQ(TCAD_CONTRDIAController::NumeroControleDia(QStringLiteral("0002")), QStringLiteral("000001"));

    TCAD_CONTRDIA antigo;
    antigo.Numero_Controle_Dia = QStringLiteral("000041");
    antigo.Chapa = QStringLiteral("0009");
    antigo.Data = TDateTime::FromDate(Hoje.addDays(-3));
    Grava(antigo);

    EXPECT_EQ(TCAD_CONTRDIAController::NumeroControleDia(QStringLiteral("0001")), QStringLiteral("000042"));
    std::unique_ptr<TCAD_CONTRDIA> r = Registro("000042");
    EXPECT_EQ(r->Chapa, QStringLiteral("0001"));
    EXPECT_EQ(r->Nome, QStringLiteral("OPERADOR DEMO"));
    EXPECT_EQ(r->Data, TDateTime::FromDate(Hoje));
    EXPECT_EQ(r->Hora, QStringLiteral("10:30"));
    EXPECT_EQ(r->Situacao_Controle_Dia, QStringLiteral("L"));
    EXPECT_EQ(r->Observacao, QStringLiteral("CRIAR: 0001 15.03.2026 10:30:00  ;"));

    // Same day again: the same number, nothing new.
    EXPECT_EQ(TCAD_CONTRDIAController::NumeroControleDia(QStringLiteral("0001")), QStringLiteral("000042"));
    EXPECT_TRUE(Registro("000043")->Numero_Controle_Dia.isEmpty());

    // The next day: a new record with the next number.
    TDateTime::RelogioDeTeste([] { return QDateTime(Hoje.addDays(1), QTime(8, 0, 0)); });
    EXPECT_EQ(TCAD_CONTRDIAController::NumeroControleDia(QStringLiteral("0001")), QStringLiteral("000043"));
}

}  // namespace
