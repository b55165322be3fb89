// tv-bench-import: the coupon import's throughput on a data drive of realistic size, with the
// floor of the bare engine measured in the same run. See bench/README.md for the figures.

#include "UModel.h"
#include "uController.h"
#include "uCp1252.h"
#include "uDM_BDE.h"
#include "uDriveBench.h"
#include "uErros.h"
#include "uExecCMD.h"
#include "uLoteImportacao.h"
#include "uLog.h"
#include "uMemTable.h"
#include "uPisoPostgres.h"
#include "uPisoSQLite.h"
#include "uServidorBench.h"
#include "uQuery.h"
#include "uSys.h"
#include "uUIConsole.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define TV_CALLGRIND 1
#endif

#ifdef Q_OS_UNIX
#include <csignal>
#include <ftw.h>
#include <unistd.h>
#endif

namespace {

const char* const Uso =
    "Uso: tv-bench-import [--arquivos K] [--sem-piso] [--postgres] [--pasta DIR] N\n"
    "  Importa K arquivos (padrão 1) de N cupons cada (N de 1 a 1.000.000, K de 1 a 100.000,\n"
    "  no máximo 1.000.000 cupons ao todo) num drive temporário com 1.000 itens, 200 clientes e\n"
    "  50.000 documentos, e mede a mesma sequência de comandos no SQLite puro (o piso).\n"
    "  --sem-piso   não grava nem reproduz os comandos (só a importação)\n"
    "  --pasta DIR  onde criar a pasta temporária (padrão: a pasta temporária do sistema)\n"
    "  --postgres   o drive num servidor PostgreSQL (TESKVADO_TESTE_PG, ou PGHOST, PGPORT,\n"
    "               PGUSER, PGPASSWORD), num banco criado para a execução e apagado no fim;\n"
    "               o piso é a mesma sequência pelo libpq, no mesmo servidor\n";

void Escreve(FILE* f, const QString& texto)
{
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fflush(f);
}

struct TOpcoes
{
    int Cupons = 0;
    int Arquivos = 1;
    bool Piso = true;
    bool Postgres = false;
    QString Pasta;
};

bool Inteiro(const QString& texto, int minimo, int maximo, int& valor)
{
    bool ok = false;
    const qlonglong v = texto.toLongLong(&ok);
    if (!ok || v < minimo || v > maximo)
        return false;
    valor = int(v);
    return true;
}

bool LeOpcoes(const QStringList& args, TOpcoes& o)
{
    bool temN = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--arquivos" && i + 1 < args.size()) {
            if (!Inteiro(args[++i], 1, 100000, o.Arquivos))
                return false;
        } else if (a == u"--pasta" && i + 1 < args.size()) {
            o.Pasta = args[++i];
        } else if (a == u"--sem-piso") {
            o.Piso = false;
        } else if (a == u"--postgres") {
            o.Postgres = true;
        } else if (!temN && !a.startsWith(u'-')) {
            if (!Inteiro(a, 1, 1000000, o.Cupons))
                return false;
            temN = true;
        } else {
            return false;
        }
    }
    return temN && qint64(o.Cupons) * o.Arquivos <= 1000000;
}

// --- Leaving nothing behind when interrupted ----------------------------------------------------

#ifdef Q_OS_UNIX
char PastaTemporaria[4096];

int ApagaEntrada(const char* caminho, const struct stat*, int, struct FTW*)
{
    ::remove(caminho);
    return 0;
}

void AoSinal(int sinal)
{
    if (PastaTemporaria[0])
        nftw(PastaTemporaria, ApagaEntrada, 16, FTW_DEPTH | FTW_PHYS);
    _exit(128 + sinal);
}

void ProtegePasta(const QString& pasta)
{
    const QByteArray b = QFile::encodeName(pasta);
    if (size_t(b.size()) >= sizeof PastaTemporaria)
        return;
    std::memcpy(PastaTemporaria, b.constData(), size_t(b.size()) + 1);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        std::signal(s, AoSinal);
}
#else
void ProtegePasta(const QString&) {}
#endif

// --- Measures ---------------------------------------------------------------------------------

QString Carga()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(u' ', 0, 2);
}

// The resident peak since the last reset, from the kernel's own count; 0 where there is none.
double PicoMiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& linha : f.readAll().split('\n'))
        if (linha.startsWith("VmHWM:"))
            return linha.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void ZeraPico()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// --- The drive --------------------------------------------------------------------------------

void CopiaArvore(const QString& de, const QString& para)
{
    QDirIterator it(de, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString origem = it.next();
        const QString destino = para + origem.mid(de.size());
        QDir().mkpath(QFileInfo(destino).path());
        if (!QFile::copy(origem, destino))
            throw EInOutError(QStringLiteral("Não foi possível copiar %1 para %2").arg(origem, destino));
    }
}

const char* const PastasERP[] = {"VENDAS", "CADASTRO", "CTACOR", "CTAREC", "CTAPAG",
                                 "ESTOQUE", "ICMS_IPI", "CHEQREC", "COMPRAS", "UTILITAR"};

// `exigeEsquemas`: false for the drive about to get its schema (a server's empty database).
std::unique_ptr<TDM_BDE> AbreDrive(const QString& raiz, bool exigeEsquemas = true)
{
    for (const char* p : PastasERP)
        QDir().mkpath(raiz + QStringLiteral("/Sistemas/") + QString::fromLatin1(p));
    auto dm = std::make_unique<TDM_BDE>(QStringList{raiz}, TSessao::Padrao(), exigeEsquemas);
    if (Sys_.Fechar)
        throw EInOutError(QStringLiteral("Drive não aberto: %1").arg(raiz));
    return dm;
}

void Sessao()
{
    Sys_ = TSys{};
    Sys_.Codigo_da_Empresa = QStringLiteral("0001");
    Sys_.Nome_Fantasia_Empresa = QStringLiteral("LOJA DEMO");
    Sys_.Atividade_da_Empresa = QStringLiteral("C");
    Sys_.Codigo_do_Usuario = QStringLiteral("0001");
    Sys_.Codigo_do_Cliente = QStringLiteral("000001");
    Sys_.Codigo_do_Vendedor = QStringLiteral("0001");
    Sys_.Codigo_da_Destinacao = QStringLiteral("001");
    Sys_.CFO = QStringLiteral("5102");
    Sys_.Atualiza_Estoque = QStringLiteral("S");
    Sys_.Tipo_Movimento_Estoque = QStringLiteral("S");
    Sys_.Numero_Controle_Dia = QStringLiteral("000001");
    Sys_.Numero_do_CRO = QStringLiteral("01");
}

struct TContagem
{
    qint64 Notac = 0, Notai = 0, Notav = 0;
    double Saldo = 0;
    bool operator==(const TContagem&) const = default;
    QString Texto() const
    {
        return QStringLiteral("NOTAC %1, NOTAI %2, NOTAV %3, soma dos saldos %4")
            .arg(Notac).arg(Notai).arg(Notav).arg(Saldo, 0, 'f', 4);
    }
};

QVariant Valor(const char* alias, const QString& sql)
{
    TQuery q;
    q.SetDatabaseName(QString::fromLatin1(alias));
    q.SQL().Add(sql);
    q.Open();
    return q.Value(0);
}

TContagem Conta()
{
    TContagem c;
    c.Notac = Valor("N_VENDAS", QStringLiteral("select count(*) from \":N_VENDAS:NOTAC\"")).toLongLong();
    c.Notai = Valor("N_VENDAS", QStringLiteral("select count(*) from \":N_VENDAS:NOTAI\"")).toLongLong();
    c.Notav = Valor("N_VENDAS", QStringLiteral("select count(*) from \":N_VENDAS:NOTAV\"")).toLongLong();
    c.Saldo = Valor("N_ESTOQUE", QStringLiteral("select sum(SDESTQ.\"Saldo Atual\") from \":N_ESTOQUE:SDESTQ\"")).toDouble();
    return c;
}

// --- The import -------------------------------------------------------------------------------

struct TRodada
{
    double Segundos = 0;
    int Rejeitados = 0;
    int Restantes = 0;
};

QString NomeArquivo(int n) { return QStringLiteral("%1.S01").arg(n, 8, 10, QChar(u'0')); }

// The monitoring cycle's part of the work: the files in name order, in the cycle's batches, the
// session's shared controllers and the main window's file list kept across files.
TRodada Importa(const QString& ruxo, int arquivos, Bench::TGravadorComandos* gravador)
{
    TMemTable lista;
    auto def = [](const char* nome, TTipoCampoMem tipo, int tamanho = 0) {
        TDefCampoMem d;
        d.Nome = QString::fromLatin1(nome);
        d.Tipo = tipo;
        d.Tamanho = tamanho;
        return d;
    };
    lista.AdicionaDef(def("INDICE", TTipoCampoMem::Inteiro));
    lista.AdicionaDef(def("NOME", TTipoCampoMem::Texto, 40));
    lista.AdicionaDef(def("EXECUTANDO", TTipoCampoMem::Logico));
    lista.AdicionaDef(def("PROCESSADO", TTipoCampoMem::Logico));
    lista.CreateDataSet();
    TControladoresCompartilhados controladores;

    TLoteImportacao::TDados dados;
    dados.Codigo_da_Empresa = Sys_.Codigo_da_Empresa;
    dados.CGC_Empresa = QStringLiteral("12.345.678/0001-95");
    dados.Codigo_do_Usuario = Sys_.Codigo_do_Usuario;
    dados.Nome_do_Usuario = QStringLiteral("OPERADOR DEMO");
    dados.Diretorio = ruxo;
    dados.FCDS = &lista;
    dados.FControladores = &controladores;

    TRodada r;
    QElapsedTimer relogio;
    relogio.start();
    if (gravador) {
        // The floor replays one transaction per file, so the recording marks where each ends:
        // each file is imported alone.
        for (int n = 1; n <= arquivos; ++n) {
            TLoteImportacao lote(dados);
            lote.Adiciona(NomeArquivo(n), 0);
            lote.Executar();
            gravador->FimDeArquivo();
        }
    } else {
        QStringList nomes;
        for (int n = 1; n <= arquivos; ++n)
            nomes << NomeArquivo(n);
        TLoteImportacao::ImportarArquivos(dados, nomes, [](TLoteImportacao& lote) { lote.Executar(); });
    }
    r.Segundos = relogio.nsecsElapsed() / 1e9;
    controladores.Libera();
    r.Rejeitados = int(QDir(TExecCmd::PastaRejeitados(ruxo)).entryList(QDir::Files).size());
    r.Restantes = int(QDir(ruxo + QStringLiteral("ONLINE")).entryList(QDir::Files).size());
    return r;
}

void PreparaRuxo(const QString& ruxo, const QString& cupons)
{
    for (const char* p : {"ONLINE", "REMESSA"})
        QDir().mkpath(ruxo + QString::fromLatin1(p));
    CopiaArvore(cupons, ruxo + QStringLiteral("ONLINE"));
}

int Executa(const TOpcoes& o, const QString& tmp)
{
    const QDate hoje(2026, 3, 16);
    // A fixed "now", late on the coupons' day: every run imports the same rows, so the import,
    // the recording and the floor see the same statements.
    TDateTime::RelogioDeTeste([hoje] { return QDateTime(hoje, QTime(21, 30, 0)); });
    RegistrarClasses();
    TLog log;
    Log_ = &log;
    TUIConsole ui;
    ui.Silencioso = true;
    DefinirUI(&ui);
    Sessao();
    TSessao& sessao = TSessao::Padrao();
    const Bench::TEscala escala;
    const int total = o.Cupons * o.Arquivos;
    const QString cargaInicio = Carga();
    // On a server the drives' folders keep only BANCO.INI and the till's folders; copying a
    // drive is copying its folder and making its database from the original's as a template.
    std::unique_ptr<Bench::TServidorBench> servidor;
    if (o.Postgres)
        servidor = std::make_unique<Bench::TServidorBench>();
    auto copiaDrive = [&](const QString& de, const QString& para) {
        CopiaArvore(de, para);
        if (servidor)
            servidor->CopiarDrive(de, para);
    };
    auto apagaDrive = [&](const QString& raiz) {
        QDir(raiz).removeRecursively();
        if (servidor)
            servidor->Apagar(raiz);
    };

    Escreve(stdout, QStringLiteral("tv-bench-import: %1 arquivo(s) de %2 cupons = %3 cupons; carga no início %4\n")
                        .arg(o.Arquivos).arg(o.Cupons).arg(total).arg(cargaInicio));
    if (servidor)
        Escreve(stdout, QStringLiteral("servidor: %1; bancos %2_*\n").arg(servidor->Descricao(), servidor->Prefixo()));

    QElapsedTimer relogio;
    relogio.start();
    const QString base = tmp + QStringLiteral("/base");
    if (servidor)
        servidor->NovoDrive(base);
    {
        auto dm = AbreDrive(base, false);
        Bench::PovoarDrive(escala, TDateTime::Now());
        sessao.Close();
    }
    const double sDrive = relogio.nsecsElapsed() / 1e9;

    relogio.restart();
    const QString cupons = tmp + QStringLiteral("/cupons");
    QDir().mkpath(cupons);
    for (int a = 0; a < o.Arquivos; ++a) {
        const QString nome = NomeArquivo(a + 1);
        const int primeiro = escala.Documentos + 1 + a * o.Cupons;
        GravarArquivoCp1252(cupons + u'/' + nome, Bench::LinhasCupons(primeiro, o.Cupons, hoje, escala));
        GravarArquivoCp1252(cupons + u'/' + TExecCmd::NomeCompanheiro(nome, u'A'), {QStringLiteral("A")});
        GravarArquivoCp1252(cupons + u'/' + TExecCmd::NomeCompanheiro(nome, u'L'), {QStringLiteral("L")});
    }
    Escreve(stdout, QStringLiteral("drive: %1 itens, %2 clientes, %3 documentos em %4 s; arquivos de cupons em %5 s\n")
                        .arg(escala.Itens).arg(escala.Clientes).arg(escala.Documentos)
                        .arg(sDrive, 0, 'f', 1).arg(relogio.nsecsElapsed() / 1e9, 0, 'f', 1));

    // First the import recording what it runs, on a fresh copy of the drive. It also warms the
    // file cache, so that the timed run after it does not pay for the copies just made.
    std::unique_ptr<Bench::TGravadorComandos> gravador;
    TRodada gravada;
    TContagem contagemGravada;
    if (o.Piso) {
        const QString cap = tmp + QStringLiteral("/captura");
        copiaDrive(base, cap);
        PreparaRuxo(cap + QStringLiteral("/ruxo/"), cupons);
        gravador = std::make_unique<Bench::TGravadorComandos>(tmp + QStringLiteral("/comandos.bin"));
        {
            auto dm = AbreDrive(cap);
            sessao.SetObservador([g = gravador.get()](const TTraducao& t, const TParams& p) { g->Observa(t, p); });
            gravada = Importa(cap + QStringLiteral("/ruxo/"), o.Arquivos, gravador.get());
            sessao.SetObservador({});
            gravador->Fecha();
            contagemGravada = Conta();
            sessao.Close();
        }
        apagaDrive(cap);
    }

    // The import as the program runs it, with nothing watching.
    const QString imp = tmp + QStringLiteral("/importacao");
    copiaDrive(base, imp);
    PreparaRuxo(imp + QStringLiteral("/ruxo/"), cupons);
    TRodada rodada;
    double pico = 0;
    TContagem contagem;
    {
        auto dm = AbreDrive(imp);
        ZeraPico();
#ifdef TV_CALLGRIND
        // Under callgrind --instr-atstart=no only the timed import is profiled; elsewhere no-ops.
        CALLGRIND_START_INSTRUMENTATION;
#endif
        rodada = Importa(imp + QStringLiteral("/ruxo/"), o.Arquivos, nullptr);
#ifdef TV_CALLGRIND
        CALLGRIND_STOP_INSTRUMENTATION;
#endif
        pico = PicoMiB();
        contagem = Conta();
        sessao.Close();
    }
    apagaDrive(imp);
    const double cps = total / rodada.Segundos;
    Escreve(stdout, QStringLiteral("importação: %1 s, %2 cupons/s, pico de memória %3 MiB; %4\n")
                        .arg(rodada.Segundos, 0, 'f', 3).arg(cps, 0, 'f', 0).arg(pico, 0, 'f', 1).arg(contagem.Texto()));
    int falhas = 0;
    for (const TRodada& rr : {rodada, gravada}) {
        if (rr.Rejeitados > 0 || rr.Restantes > 0) {
            Escreve(stderr, QStringLiteral("ERRO: %1 arquivo(s) em REJEITADOS, %2 em ONLINE\n").arg(rr.Rejeitados).arg(rr.Restantes));
            for (const QString& l : log.LtLog())
                if (l.contains(QLatin1StringView("Erro")))
                    Escreve(stderr, l + u'\n');
            ++falhas;
        }
    }

    if (o.Piso && falhas == 0) {
        const QString piso = tmp + QStringLiteral("/piso");
        copiaDrive(base, piso);
        Bench::TResultadoPiso r;
        if (servidor) {
            r = Bench::ReproduzirPisoPostgres(tmp + QStringLiteral("/comandos.bin"), gravador->Distintos(), servidor->Conectar(piso));
        } else {
            std::vector<Bench::TBancoPiso> bancos;
            for (const char* p : PastasERP) {
                const QString arquivo = piso + QStringLiteral("/Sistemas/%1/%1.db").arg(QString::fromLatin1(p));
                if (QFileInfo::exists(arquivo))
                    bancos.push_back({QStringLiteral("N_") + QString::fromLatin1(p), arquivo});
            }
            r = Bench::ReproduzirPiso(tmp + QStringLiteral("/comandos.bin"), gravador->Distintos(), bancos);
        }
        TContagem contagemPiso;
        {
            auto dm = AbreDrive(piso);
            contagemPiso = Conta();
            sessao.Close();
        }

        Escreve(stdout, QStringLiteral("piso %1: %2 s; %3 comandos (%4 distintos), %5 linhas gravadas, %6 linhas lidas, %7 transações\n")
                            .arg(servidor ? QStringLiteral("libpq") : QStringLiteral("SQLite"))
                            .arg(r.Segundos, 0, 'f', 3).arg(r.Comandos).arg(gravador->Distintos().size())
                            .arg(r.LinhasGravadas).arg(r.LinhasLidas).arg(r.Arquivos));
        Escreve(stdout, QStringLiteral("razão importação/piso: %1; importação com gravação: %2 s\n")
                            .arg(rodada.Segundos / r.Segundos, 0, 'f', 2).arg(gravada.Segundos, 0, 'f', 3));
        if (!servidor)
            Escreve(stdout, QStringLiteral("consultas sem índice: %1 (fora %2 consultas de estrutura, que não leem linhas)\n")
                                .arg(r.SemIndice.size()).arg(r.Estrutura));
        for (const QString& s : r.SemIndice)
            Escreve(stdout, QStringLiteral("  ") + s + u'\n');
        if (!(contagem == contagemGravada) || !(contagem == contagemPiso)) {
            Escreve(stderr, QStringLiteral("ERRO: o piso não gravou o que a importação gravou\n  importação: %1\n  gravada:    %2\n  piso:       %3\n")
                                .arg(contagem.Texto(), contagemGravada.Texto(), contagemPiso.Texto()));
            ++falhas;
        }
        Escreve(stdout, QStringLiteral("RESULTADO banco=%12 arquivos=%1 cupons=%2 s=%3 cps=%4 mem_mib=%5 comandos=%6 linhas=%7 piso_s=%8 razao=%9 sem_indice=%10 carga=%11\n")
                            .arg(o.Arquivos).arg(total).arg(rodada.Segundos, 0, 'f', 3).arg(cps, 0, 'f', 0)
                            .arg(pico, 0, 'f', 1).arg(r.Comandos).arg(r.LinhasGravadas)
                            .arg(r.Segundos, 0, 'f', 3).arg(rodada.Segundos / r.Segundos, 0, 'f', 2)
                            .arg(servidor ? QStringLiteral("-") : QString::number(r.SemIndice.size()))
                            .arg(Carga(), servidor ? QStringLiteral("postgres") : QStringLiteral("sqlite")));
    } else if (falhas == 0) {
        Escreve(stdout, QStringLiteral("RESULTADO banco=%1 arquivos=%2 cupons=%3 s=%4 cps=%5 mem_mib=%6 carga=%7\n")
                            .arg(servidor ? QStringLiteral("postgres") : QStringLiteral("sqlite"))
                            .arg(o.Arquivos).arg(total).arg(rodada.Segundos, 0, 'f', 3).arg(cps, 0, 'f', 0)
                            .arg(pico, 0, 'f', 1).arg(Carga()));
    }

    DefinirUI(nullptr);
    Log_ = nullptr;
    TDateTime::RelogioDeTeste({});
    return falhas == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // The process that drops the server's databases of a run once the run is gone.
    if (argc == 2 && qstrcmp(argv[1], Bench::OpcaoGuarda) == 0)
        return Bench::GuardaPostgres();
    QCoreApplication app(argc, argv);
    TOpcoes o;
    if (!LeOpcoes(app.arguments().mid(1), o)) {
        Escreve(stderr, QString::fromUtf8(Uso));
        return 2;
    }
    const QString pasta = o.Pasta.isEmpty() ? QDir::tempPath() : o.Pasta;
    QTemporaryDir tmp(pasta + QStringLiteral("/tv-bench-XXXXXX"));
    if (!tmp.isValid()) {
        Escreve(stderr, QStringLiteral("Não foi possível criar uma pasta temporária em %1\n").arg(pasta));
        return 1;
    }
    ProtegePasta(tmp.path());
    try {
        return Executa(o, tmp.path());
    } catch (const Exception& e) {
        Escreve(stderr, QStringLiteral("ERRO: ") + e.Message() + u'\n');
    } catch (const std::exception& e) {
        Escreve(stderr, QStringLiteral("ERRO: ") + QString::fromLocal8Bit(e.what()) + u'\n');
    }
    return 1;
}
