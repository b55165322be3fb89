// Faults of the surroundings while monitoring runs: the monitored directory or the data drive
// gone for a while, REMESSA unable to take a shipment, a full disk. Nothing is lost, nothing
// lands among the rejected files, every coupon reaches the ERP once, and monitoring goes on by
// itself once the cause is gone. The cycle runs in this process with the real import; the full
// disk is a child importer whose files cannot grow.

#include "ArquivosTeste.h"

#include "uBibliot.h"
#include "uFalhaTransitoria.h"
#include "uIni.h"
#include "uInicio.h"
#include "uLog.h"
#include "uLoteImportacao.h"
#include "uNucleoTeskVado.h"
#include "uRemessaPendente.h"
#include "uRuxo.h"
#include "uTelaMemoria.h"
#include "uUIConsole.h"
#include "uVisaoMemoria.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <functional>
#include <memory>

namespace {

using namespace ArquivosTeste;

// Ruxo's side of the drive; the fixture's name for it clashes with the exchange's namespace here.
QString Mon(const QString& raiz) { return ArquivosTeste::Ruxo(raiz); }

QString Nativo(const QString& c) { return QDir::toNativeSeparators(c); }

QByteArray Le(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ArquivoNoLugar(const QString& caminho)
{
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

QStringList Ordenadas(QStringList l)
{
    l.sort();
    return l;
}

QStringList Remessas(const QString& raiz)
{
    return QDir(Mon(raiz) + QStringLiteral("REMESSA")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// The monitoring core on a demo drive under a temporary folder, as the headless program runs it.
class Falhas : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FPasta.isValid());
        Raiz = FPasta.path();
        TDateTime::RelogioDeTeste([] { return QDateTime(Hoje, QTime(10, 30, 0)); });
        Sys_ = TSys{};
        Ui.Silencioso = true;
        DefinirUI(&Ui);
        for (const char* p : {"VENDAS", "CADASTRO", "CTACOR", "CTAREC", "CTAPAG", "ESTOQUE", "ICMS_IPI", "CHEQREC",
                              "COMPRAS", "UTILITAR"})
            QDir().mkpath(Drive(Raiz) + QStringLiteral("/Sistemas/") + QString::fromLatin1(p));
        for (const char* p : {"ONLINE", "REMESSA"})
            QDir().mkpath(Mon(Raiz) + QString::fromLatin1(p));
        Inicio = std::make_unique<TInicioPrograma>(QStringList{Drive(Raiz)});
        ASSERT_FALSE(Sys_.Fechar);
        TSessao::Padrao().SetTempoEsperaMs(100);
        CriarDemoERP(TSessao::Padrao(), TDateTime::Now());
        RemessaPendente::DefinirPasta(Raiz + QStringLiteral("/pendentes"));

        Ini = Raiz + QStringLiteral("/teskvado.ini");
        DefinirArquivoIni(Ini);
        const QList<std::pair<const char*, QString>> chaves{
            {"MONITORAR", Mon(Raiz)}, {"INTERVALO", QStringLiteral("500")}, {"AUTOMATICO", QStringLiteral("-1")},
            {"EMPRESA", QStringLiteral("0001")}, {"USUARIO", QStringLiteral("0001")}, {"ECF", QStringLiteral("01")}};
        for (const auto& [chave, valor] : chaves)
            GravarValorIni(Ini, QStringLiteral("PARAMETROS"), QString::fromLatin1(chave), valor);

        N = std::make_unique<TNucleoTeskVado>(Visao);
        N->DefinirExecutor([this](TLoteImportacao& lote) {
            if (AntesDaTarefa)
                AntesDaTarefa();
            lote.Executar();
            if (DepoisDaTarefa)
                DepoisDaTarefa();
        });
        ASSERT_TRUE(N->FormCreate());
        ASSERT_TRUE(N->FormActivate());
        ASSERT_TRUE(N->Monitorando());
    }

    void TearDown() override
    {
        if (N)
            N->FormClose(false);
        N.reset();
        Inicio.reset();
        DefinirArquivoIni(QString());
        DefinirUI(nullptr);
        TDateTime::RelogioDeTeste({});
        Sys_ = TSys{};
        RemessaPendente::DefinirPasta(QString());
    }

    // Lines holding the text; a "*" in it stands for anything.
    int Linhas(const QString& texto) const
    {
        QString expressao = QRegularExpression::escape(texto);
        expressao.replace(QStringLiteral("\\*"), QStringLiteral(".*"));
        const QRegularExpression padrao(expressao);
        int n = 0;
        for (const QString& l : Log_->LtLog())
            n += padrao.match(l).hasMatch() ? 1 : 0;
        return n;
    }
    QString Log() const { return Log_->LtLog().join(u'\n'); }
    void Ciclos(int n)
    {
        for (int i = 0; i < n; ++i)
            N->Timer1Timer();
    }

    QTemporaryDir FPasta;
    QString Raiz, Ini;
    TUIConsole Ui;
    TTelaMemoria Tela;
    TVisaoMemoria Visao{&Tela};
    std::unique_ptr<TInicioPrograma> Inicio;
    std::unique_ptr<TNucleoTeskVado> N;
    std::function<void()> AntesDaTarefa, DepoisDaTarefa;
};

TEST_F(Falhas, DiretorioQueSomeEVoltaRetomaAImportacaoSemOUsuario)
{
    DepositaCupons(Raiz, QStringLiteral("00004001.S01"), 5, 101);
    N->Timer1Timer();
    ASSERT_EQ(Estado(Raiz).Documentos, 5);

    // Ruxo dropped the next file, then its share went away.
    DepositaCupons(Raiz, QStringLiteral("00004002.S01"), 5, 201);
    const QString ruxo = QDir::cleanPath(Mon(Raiz));
    ASSERT_TRUE(QDir().rename(ruxo, Raiz + QStringLiteral("/ruxo-fora")));
    Ciclos(4);
    EXPECT_TRUE(N->Monitorando());
    EXPECT_TRUE(Visao.Marcadores.isEmpty());
    EXPECT_EQ(Linhas(QStringLiteral("Erro   : Pasta inacessível: ") + Nativo(Mon(Raiz))), 1) << Log().toStdString();

    ASSERT_TRUE(QDir().rename(Raiz + QStringLiteral("/ruxo-fora"), ruxo));
    N->Timer1Timer();
    const TEstado e = Estado(Raiz);
    EXPECT_EQ(e.Documentos, 10);
    EXPECT_EQ(e.Diario, 2);
    EXPECT_EQ(e.Remessas, 2);
    EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
    EXPECT_EQ(Linhas(QStringLiteral("Pasta acessível de novo: ") + Nativo(Mon(Raiz))), 1);
}

// REMESSA replaced by a plain file while two imports are committed: both shipments wait, the
// second behind the first, with one error line for the cause; once REMESSA is back both are
// delivered in order, byte for byte what an importer with a working REMESSA writes, and never again.
TEST_F(Falhas, RemessaBloqueadaEntregueEmOrdemQuandoLiberada)
{
    const QString remessa = Mon(Raiz) + QStringLiteral("REMESSA");
    DepositaCupons(Raiz, QStringLiteral("00004001.S01"), 5, 101);
    DepositaCupons(Raiz, QStringLiteral("00004002.S01"), 5, 201);
    // The same two files through an importer whose REMESSA works: what Ruxo must receive.
    const QString ref = Raiz + QStringLiteral("/referencia");
    ASSERT_TRUE(CopiaPasta(Drive(Raiz), Drive(ref)));
    ASSERT_TRUE(CopiaPasta(Mon(Raiz), Mon(ref)));
    const TRodada limpa = Importador(ref);
    ASSERT_EQ(limpa.Codigo, 0) << limpa.Log.toStdString();
    ASSERT_EQ(Remessas(ref), (QStringList{"RM000001.R", "RM000002.R"}));
    QFile::remove(Mon(Raiz) + QStringLiteral("ONLINE/00004002.S01"));

    ASSERT_TRUE(QDir(remessa).removeRecursively());
    ArquivoNoLugar(remessa);
    N->Timer1Timer();
    EXPECT_EQ(Linhas(QStringLiteral("Erro   : Arquivo 00004001.S01 importado, mas a remessa de estoque não foi gravada: "
                                    "Pasta não encontrada: ") +
                     Nativo(remessa)),
              1)
        << Log().toStdString();
    EXPECT_EQ(RemessaPendente::Aguardando(Mon(Raiz)), 1);

    DepositaCupons(Raiz, QStringLiteral("00004002.S01"), 5, 201);
    Ciclos(3);
    TEstado e = Estado(Raiz);
    EXPECT_EQ(e.Documentos, 10);
    EXPECT_EQ(e.Diario, 2);
    EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
    EXPECT_EQ(RemessaPendente::Aguardando(Mon(Raiz)), 2);
    EXPECT_EQ(Linhas(QStringLiteral("Pasta não encontrada")), 1) << "one line for the cause, not one per cycle";

    ASSERT_TRUE(QFile::remove(remessa));
    ASSERT_TRUE(QDir().mkpath(remessa));
    N->Timer1Timer();
    ASSERT_EQ(Remessas(Raiz), (QStringList{"RM000001.R", "RM000002.R"}));
    for (const char* nome : {"RM000001.R", "RM000002.R"}) {
        SCOPED_TRACE(nome);
        const QString rm = QStringLiteral("REMESSA/") + QString::fromLatin1(nome);
        EXPECT_EQ(Le(Mon(Raiz) + rm), Le(Mon(ref) + rm));
    }
    EXPECT_EQ(RemessaPendente::Aguardando(Mon(Raiz)), 0);
    const QString log = Log();
    const qsizetype primeira = log.indexOf(QStringLiteral("pendente do arquivo 00004001.S01 entregue"));
    const qsizetype segunda = log.indexOf(QStringLiteral("pendente do arquivo 00004002.S01 entregue"));
    EXPECT_GE(primeira, 0) << log.toStdString();
    EXPECT_GT(segunda, primeira);

    Ciclos(2);
    EXPECT_EQ(Remessas(Raiz).size(), 2);
    EXPECT_EQ(Linhas(QStringLiteral("entregue: ")), 2);
}

// The data drive gone as an import starts, its mount point no longer a folder, so nothing can be
// made there either; or only the stock folder gone, whose database the session holds open, so
// the transaction fails at its first write there. Either way the file stays in ONLINE/ with an
// error line naming it and the cause, and the next cycle after the folder is back imports it once.
TEST_F(Falhas, PastaDeDadosQueSomeGuardaOArquivoParaOCicloSeguinte)
{
    const struct
    {
        const char* caso;
        QString pasta;
        const char* causa;
        bool naTransacao;  // else it fails before the file is even claimed
    } casos[] = {
        // SQLite cannot make the journal beside the file, so it takes the database as read-only;
        // the sales folder is not made again in its place, so the drive's return finds it whole.
        {"whole data drive", Drive(Raiz), "attempt to write a readonly database", true},
        {"stock folder", Drive(Raiz) + QStringLiteral("/Sistemas/ESTOQUE"), "attempt to write a readonly database", true},
    };
    int documentos = 0;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        bool tirar = true;
        AntesDaTarefa = [&] {
            if (tirar) {
                ASSERT_TRUE(QDir().rename(c.pasta, c.pasta + QStringLiteral("-fora")));
                ArquivoNoLugar(c.pasta);
            }
        };
        DepoisDaTarefa = [&] {
            if (tirar) {
                ASSERT_TRUE(QFile::remove(c.pasta));
                ASSERT_TRUE(QDir().rename(c.pasta + QStringLiteral("-fora"), c.pasta));
            }
        };
        const QString nome = QStringLiteral("0000400%1.S01").arg(documentos / 5 + 1);
        DepositaCupons(Raiz, nome, 5, 101 + documentos);
        Log_->Clear();
        N->Timer1Timer();
        TEstado e = Estado(Raiz);
        EXPECT_EQ(e.Documentos, documentos);
        EXPECT_EQ(e.Sobras.size(), 3) << e.Sobras.join(u' ').toStdString();
        for (const QString& s : e.Sobras)
            EXPECT_TRUE(s.startsWith(QStringLiteral("ONLINE/0000400"))) << s.toStdString();
        const QString linha = QStringLiteral("Erro   : Arquivo ") + nome + QStringLiteral(" não importado");
        EXPECT_EQ(Linhas(linha), 1) << Log().toStdString();
        EXPECT_EQ(Linhas(linha + QStringLiteral("*") + QString::fromUtf8(c.causa)), 1) << Log().toStdString();
        EXPECT_EQ(Linhas(QStringLiteral("fica para o próximo ciclo")), c.naTransacao ? 1 : 0);

        tirar = false;
        N->Timer1Timer();
        documentos += 5;
        e = Estado(Raiz);
        EXPECT_EQ(e.Documentos, documentos);
        EXPECT_EQ(e.Diario, documentos / 5);
        EXPECT_EQ(e.Remessas, documentos / 5);
        EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
    }
}

// A disk that fills up in the middle of a transaction (every file of the importer stops growing
// at 2 KiB, before the database's journal takes its first page): rolled back, the file back in
// ONLINE/ and not among the rejected, and the next run imports it once.
TEST(DiscoCheio, ImportacaoDevolveOArquivoEOProximoCicloImporta)
{
#if !defined(Q_OS_UNIX)
    GTEST_SKIP() << "the file-size limit is a POSIX facility";
#endif
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString raiz = pasta.path();
    CriaUnidade(raiz);
    DepositaCupons(raiz, QStringLiteral("00004001.S01"), 5, 101);
    const TRodada antes = Importador(raiz);
    ASSERT_EQ(antes.Codigo, 0) << antes.Log.toStdString();
    ASSERT_EQ(Estado(raiz).Documentos, 5);

    DepositaCupons(raiz, QStringLiteral("00004002.S01"), 20, 201);
    const TRodada cheio = Importador(raiz, {}, {QStringLiteral("--limite-arquivo"), QStringLiteral("2048")});
    ASSERT_EQ(cheio.Saida, QProcess::NormalExit);
    EXPECT_EQ(cheio.Codigo, 0) << cheio.Log.toStdString();
    EXPECT_TRUE(cheio.Log.contains(QStringLiteral("Arquivo 00004002.S01 não importado"))) << cheio.Log.toStdString();
    EXPECT_TRUE(cheio.Log.contains(QStringLiteral("Banco de dados inacessível ou sem espaço: o arquivo 00004002.S01 fica "
                                                  "para o próximo ciclo")))
        << cheio.Log.toStdString();
    TEstado e = Estado(raiz);
    EXPECT_EQ(e.Documentos, 5);
    EXPECT_EQ(e.Diario, 1);
    EXPECT_EQ(Ordenadas(e.Sobras), (QStringList{"ONLINE/00004002.A01", "ONLINE/00004002.L01", "ONLINE/00004002.S01"}));

    const TRodada depois = Importador(raiz);
    EXPECT_EQ(depois.Codigo, 0) << depois.Log.toStdString();
    e = Estado(raiz);
    EXPECT_EQ(e.Documentos, 25);
    EXPECT_EQ(e.Itens, 50);
    EXPECT_EQ(e.Diario, 2);
    EXPECT_EQ(e.Remessas, 2);
    EXPECT_TRUE(e.Sobras.isEmpty()) << e.Sobras.join(u' ').toStdString();
}

// A delivery that a crash cut short is finished, or known as done, and never made twice: the
// content first waits in REMESSA under a name Ruxo ignores, then the entry becomes ".envio".
TEST(RemessaPendente, EntregaInterrompidaNaoSeRepete)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString dir = pasta.path() + QStringLiteral("/ruxo/");
    RemessaPendente::DefinirPasta(pasta.path() + QStringLiteral("/pendentes"));
    const auto enfileira = [&](const char* origem, int saldo) {
        TRuxo ruxo(dir);
        TRemessa& r = *ruxo.Remessa();
        r.Reg_001.CNPJ = QStringLiteral("12345678000195");
        TReg_035& l = r.Reg_035.Add();
        l.Codigo_do_produto = QStringLiteral("000001");
        l.Quantidade_em_estoque = Currency(saldo);
        r.Reg_099.Registros = 1;
        RemessaPendente::Enviar(r, dir, QString::fromLatin1(origem));
        return r.Conteudo(rm035);
    };
    // No REMESSA at all: both wait.
    const QByteArray primeira = enfileira("00000001.S01", 90);
    const QByteArray segunda = enfileira("00000002.S01", 80);
    ASSERT_EQ(RemessaPendente::Aguardando(dir), 2);
    ASSERT_NE(primeira, segunda);
    const QString fila = RemessaPendente::PastaDoDiretorio(dir);
    const auto entradas = [&] { return QDir(fila).entryList({QStringLiteral("*.pendente")}, QDir::Files, QDir::Name); };
    ASSERT_EQ(entradas().size(), 2);
    const QString remessa = dir + QStringLiteral("REMESSA/");
    ASSERT_TRUE(QDir().mkpath(remessa));
    const auto envio = [&](const QString& e) { return fila + e.chopped(9) + QStringLiteral(".envio"); };
    const auto temporario = [&](const QString& e) { return remessa + QStringLiteral("~tvpendente") + e.section(u'-', 1, 1); };
    const auto rm = [&] { return QDir(remessa).entryList(QDir::Files, QDir::Name); };

    // Cut after its content reached REMESSA under the temporary name: finished now, then the next.
    const QString e1 = entradas()[0];
    ASSERT_TRUE(QFile::copy(fila + e1, temporario(e1)));
    ASSERT_TRUE(QFile::rename(fila + e1, envio(e1)));
    EXPECT_EQ(RemessaPendente::Entregar(dir), 2);
    ASSERT_EQ(rm(), (QStringList{"RM000001.R", "RM000002.R"}));
    EXPECT_EQ(Le(remessa + QStringLiteral("RM000001.R")), primeira);
    EXPECT_EQ(Le(remessa + QStringLiteral("RM000002.R")), segunda);
    EXPECT_EQ(RemessaPendente::Aguardando(dir), 0);

    // Cut after the temporary file got its RM name (which Ruxo may already have taken): done.
    ASSERT_TRUE(QDir(remessa).removeRecursively());
    enfileira("00000003.S01", 70);
    ASSERT_TRUE(QDir().mkpath(remessa));
    const QString e3 = entradas()[0];
    ASSERT_TRUE(QFile::rename(fila + e3, envio(e3)));
    EXPECT_EQ(RemessaPendente::Entregar(dir), 0);
    EXPECT_TRUE(rm().isEmpty());
    EXPECT_EQ(RemessaPendente::Aguardando(dir), 0);
    RemessaPendente::DefinirPasta(QString());
}

// This program's own folder cannot take a shipment (a plain file where it should be): it waits in
// memory, and goes after the older one that waits on disk once REMESSA is back.
TEST(RemessaPendente, SemPastaPropriaAguardaNaMemoriaAtrasDasDoDisco)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString dir = pasta.path() + QStringLiteral("/ruxo/");
    const QString propria = pasta.path() + QStringLiteral("/pendentes");
    const QString bloqueada = pasta.path() + QStringLiteral("/arquivo");
    ArquivoNoLugar(bloqueada);
    const auto envia = [&](const char* origem, int saldo) {
        TRuxo ruxo(dir);
        TRemessa& r = *ruxo.Remessa();
        TReg_035& l = r.Reg_035.Add();
        l.Codigo_do_produto = QStringLiteral("000001");
        l.Quantidade_em_estoque = Currency(saldo);
        r.Reg_099.Registros = 1;
        RemessaPendente::Enviar(r, dir, QString::fromLatin1(origem));
        return r.Conteudo(rm035);
    };
    RemessaPendente::DefinirPasta(propria);
    const QByteArray noDisco = envia("00000001.S01", 90);
    // The same folder out of reach for the second, as a full or failing disk would leave it.
    RemessaPendente::DefinirPasta(bloqueada + QStringLiteral("/pendentes"));
    const QByteArray naMemoria = envia("00000002.S01", 80);
    EXPECT_EQ(RemessaPendente::Aguardando(dir), 1);
    RemessaPendente::DefinirPasta(propria);
    EXPECT_EQ(RemessaPendente::Aguardando(dir), 2);

    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("REMESSA")));
    EXPECT_EQ(RemessaPendente::Entregar(dir), 2);
    EXPECT_EQ(Le(dir + QStringLiteral("REMESSA/RM000001.R")), noDisco);
    EXPECT_EQ(Le(dir + QStringLiteral("REMESSA/RM000002.R")), naMemoria);
    EXPECT_EQ(RemessaPendente::Aguardando(dir), 0);
    EXPECT_EQ(RemessaPendente::Entregar(dir), 0);
    RemessaPendente::DefinirPasta(QString());
}

TEST(FalhaBanco, ClassificacaoDasMensagens)
{
    const struct
    {
        const char* mensagem;
        TFalhaBanco falha;
    } casos[] = {
        {"database is locked", TFalhaBanco::Trava},
        {"Saldo de estoque do item 000001 não atualizado: disk I/O error", TFalhaBanco::Armazenamento},
        {"DATABASE OR DISK IS FULL", TFalhaBanco::Armazenamento},
        {"attempt to write a readonly database", TFalhaBanco::Armazenamento},
        {"/v/Sistemas/VENDAS/VENDAS.db: unable to open database file", TFalhaBanco::Armazenamento},
        {"could not extend file \"base/16384/2619\": No space left on device", TFalhaBanco::Armazenamento},
        {"Conexão com o servidor perdida: server closed the connection unexpectedly", TFalhaBanco::Conexao},
        {"terminating connection due to administrator command", TFalhaBanco::Conexao},
        {"recusado", TFalhaBanco::Definitiva},
        {"UNIQUE constraint failed: NOTAC.Numero", TFalhaBanco::Definitiva},
        {"no such table: NOTAC", TFalhaBanco::Definitiva},
        {"", TFalhaBanco::Definitiva},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(ClassificaFalhaBanco(QString::fromUtf8(c.mensagem)), c.falha) << c.mensagem;
        EXPECT_EQ(FalhaTransitoria(QString::fromUtf8(c.mensagem)), c.falha != TFalhaBanco::Definitiva) << c.mensagem;
    }
}

}  // namespace
