#include "uServidorBench.h"

#include "uBancoUnidade.h"
#include "uErros.h"
#include "uIni.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <libpq-fe.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Bench {

namespace {

QString Opcao(const QString& conexao, const char* nome)
{
    char* erro = nullptr;
    PQconninfoOption* opcoes = PQconninfoParse(conexao.toUtf8().constData(), &erro);
    QString valor;
    if (opcoes) {
        for (PQconninfoOption* o = opcoes; o->keyword; ++o)
            if (qstrcmp(o->keyword, nome) == 0 && o->val)
                valor = QString::fromUtf8(o->val);
        PQconninfoFree(opcoes);
    }
    PQfreemem(erro);
    return valor;
}

// The connection that creates and drops the databases: TESKVADO_TESTE_PG as it is, or libpq's
// PG* variables; a maintenance database when neither names one.
QString Conexao()
{
    QString c = qEnvironmentVariable("TESKVADO_TESTE_PG").trimmed();
    if (Opcao(c, "dbname").isEmpty() && qEnvironmentVariable("PGDATABASE").isEmpty())
        c += QStringLiteral(" dbname=postgres");
    return c.trimmed();
}

QString Mensagem(PGconn* pg) { return QString::fromUtf8(PQerrorMessage(pg)).trimmed(); }

QString Um(PGconn* pg, const char* sql)
{
    PGresult* r = PQexec(pg, sql);
    QString v = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 ? QString::fromUtf8(PQgetvalue(r, 0, 0)) : QStringLiteral("?");
    PQclear(r);
    return v;
}

bool EscreveTudo(int fd, const QByteArray& b)
{
    qsizetype feito = 0;
    while (feito < b.size()) {
        const ssize_t n = ::write(fd, b.constData() + feito, size_t(b.size() - feito));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        feito += n;
    }
    return true;
}

}  // namespace

bool TServidorBench::Configurado()
{
    for (const char* v : {"TESKVADO_TESTE_PG", "PGHOST", "PGHOSTADDR", "PGPORT", "PGSERVICE"})
        if (!qEnvironmentVariable(v).trimmed().isEmpty())
            return true;
    return false;
}

TServidorBench::TServidorBench() : FConexao(Conexao())
{
    FPg = PQconnectdb(FConexao.toUtf8().constData());
    if (PQstatus(FPg) != CONNECTION_OK) {
        const QString msg = Mensagem(FPg);
        PQfinish(FPg);
        FPg = nullptr;
        throw EDatabaseError(QStringLiteral("Servidor PostgreSQL do benchmark inacessível: %1").arg(msg));
    }
    // What the connection ended up using, whichever of the string and the variables said it,
    // so that the drive's own connections reach the same server. The password is written only
    // when the string had one; otherwise libpq finds it again where it found it now.
    FHost = QString::fromUtf8(PQhost(FPg));
    FPorta = QString::fromUtf8(PQport(FPg));
    FUsuario = QString::fromUtf8(PQuser(FPg));
    FSenha = Opcao(FConexao, "password");
    FDescricao = QStringLiteral("PostgreSQL %1 em %2:%3 (fsync=%4, synchronous_commit=%5)")
                     .arg(Um(FPg, "SHOW server_version"), FHost, FPorta, Um(FPg, "SHOW fsync"),
                          Um(FPg, "SHOW synchronous_commit"));
    FPrefixo = QStringLiteral("tv_bench_%1_%2")
                   .arg(QCoreApplication::applicationPid())
                   .arg(QRandomGenerator::global()->generate() & 0xffffff, 6, 16, QChar(u'0'));

    // The guard: this program again, in its guard mode, reading from a pipe whose only writer
    // is this process. When this process ends in any way the kernel closes the pipe.
    const QByteArray exe = QFile::encodeName(QCoreApplication::applicationFilePath());
    int entrada[2], pronto[2];
    if (::pipe2(entrada, O_CLOEXEC) != 0 || ::pipe2(pronto, O_CLOEXEC) != 0) {
        PQfinish(FPg);
        throw EInOutError(QStringLiteral("Guarda do benchmark: pipe"));
    }
    // A guard that died must show as an error on the next write, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only what is safe between fork and exec. Ignored signals stay ignored across exec.
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
            std::signal(s, SIG_IGN);
        ::dup2(entrada[0], 0);
        ::dup2(pronto[1], 1);
        char* const argv[] = {const_cast<char*>(exe.constData()), const_cast<char*>(OpcaoGuarda), nullptr};
        ::execv(exe.constData(), argv);
        ::_exit(127);
    }
    ::close(entrada[0]);
    ::close(pronto[1]);
    if (pid < 0) {
        ::close(entrada[1]);
        ::close(pronto[0]);
        PQfinish(FPg);
        throw EInOutError(QStringLiteral("Guarda do benchmark: fork"));
    }
    FGuarda = entrada[1];
    FPidGuarda = pid;
    // The guard answers once it is connected itself: no database is made before someone can
    // drop it.
    char c = 0;
    const bool ok = EscreveTudo(FGuarda, FConexao.toUtf8() + '\n') && ::read(pronto[0], &c, 1) == 1 && c == '1';
    ::close(pronto[0]);
    if (!ok) {
        ::close(FGuarda);
        ::waitpid(pid, nullptr, 0);
        PQfinish(FPg);
        throw EDatabaseError(QStringLiteral("A guarda dos bancos do benchmark não se conectou ao servidor"));
    }
}

TServidorBench::~TServidorBench()
{
    PQfinish(FPg);
    if (FGuarda >= 0) {
        ::close(FGuarda);
        int estado = 0;
        while (::waitpid(pid_t(FPidGuarda), &estado, 0) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0)
            std::fprintf(stderr, "ERRO: a guarda não apagou todos os bancos %s_*\n", FPrefixo.toUtf8().constData());
    }
}

void TServidorBench::Executa(const QString& sql)
{
    if (PQstatus(FPg) != CONNECTION_OK)
        PQreset(FPg);
    PGresult* r = PQexec(FPg, sql.toUtf8().constData());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    const QString msg = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
    PQclear(r);
    if (!ok)
        throw EDatabaseError(QStringLiteral("Servidor do benchmark: %1 (%2)").arg(msg, sql));
}

QString TServidorBench::NovoBanco(const QString& raiz)
{
    const QString nome = FPrefixo + u'_' + QFileInfo(raiz).fileName().toLower();
    // Told to the guard before it exists: a run stopped between the two still gets it dropped.
    if (!EscreveTudo(FGuarda, nome.toUtf8() + '\n'))
        throw EInOutError(QStringLiteral("A guarda dos bancos do benchmark parou"));
    FBancos.insert(QDir::cleanPath(raiz), nome);
    return nome;
}

void TServidorBench::GravaBancoIni(const QString& raiz, const QString& banco)
{
    QDir().mkpath(raiz + QStringLiteral("/Sistemas"));
    const QString ini = ArquivoBancoIni(raiz);
    const QString secao = QStringLiteral("BANCO");
    GravarValorIni(ini, secao, QStringLiteral("Driver"), QStringLiteral("PostgreSQL"));
    GravarValorIni(ini, secao, QStringLiteral("Host"), FHost);
    GravarValorIni(ini, secao, QStringLiteral("Porta"), FPorta);
    GravarValorIni(ini, secao, QStringLiteral("Banco"), banco);
    GravarValorIni(ini, secao, QStringLiteral("Usuario"), FUsuario);
    GravarValorIni(ini, secao, QStringLiteral("Senha"), FSenha);
}

void TServidorBench::NovoDrive(const QString& raiz)
{
    const QString nome = NovoBanco(raiz);
    Executa(QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE template0 ENCODING 'UTF8'").arg(nome));
    GravaBancoIni(raiz, nome);
}

void TServidorBench::CopiarDrive(const QString& de, const QString& para)
{
    const QString origem = FBancos.value(QDir::cleanPath(de));
    if (origem.isEmpty())
        throw EDatabaseError(QStringLiteral("O drive %1 não tem banco no servidor do benchmark").arg(de));
    const QString nome = NovoBanco(para);
    // The server copies the files of the template: a closed session on it is the only
    // requirement, and the copy costs no statement of the import.
    Executa(QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE \"%2\"").arg(nome, origem));
    GravaBancoIni(para, nome);
}

void TServidorBench::Apagar(const QString& raiz)
{
    const QString nome = FBancos.take(QDir::cleanPath(raiz));
    if (!nome.isEmpty())
        Executa(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(nome));
}

PGconn* TServidorBench::Conectar(const QString& raiz) const
{
    const QString nome = FBancos.value(QDir::cleanPath(raiz));
    if (nome.isEmpty())
        throw EDatabaseError(QStringLiteral("O drive %1 não tem banco no servidor do benchmark").arg(raiz));
    const QByteArray host = FHost.toUtf8(), porta = FPorta.toUtf8(), banco = nome.toUtf8(), usuario = FUsuario.toUtf8(),
                     senha = FSenha.toUtf8();
    std::vector<const char*> chaves, valores;
    auto poe = [&](const char* chave, const QByteArray& valor) {
        if (!valor.isEmpty()) {
            chaves.push_back(chave);
            valores.push_back(valor.constData());
        }
    };
    poe("host", host);
    poe("port", porta);
    poe("dbname", banco);
    poe("user", usuario);
    poe("password", senha);
    poe("client_encoding", QByteArrayLiteral("UTF8"));
    chaves.push_back(nullptr);
    valores.push_back(nullptr);
    PGconn* pg = PQconnectdbParams(chaves.data(), valores.data(), 0);
    if (PQstatus(pg) != CONNECTION_OK) {
        const QString msg = Mensagem(pg);
        PQfinish(pg);
        throw EDatabaseError(QStringLiteral("Banco %1 do benchmark: %2").arg(nome, msg));
    }
    return pg;
}

int GuardaPostgres()
{
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(s, SIG_IGN);
    std::string conexao;
    if (!std::getline(std::cin, conexao))
        return 1;
    PGconn* pg = PQconnectdb(conexao.c_str());
    if (PQstatus(pg) != CONNECTION_OK) {
        std::fprintf(stderr, "ERRO: guarda do benchmark: %s\n", PQerrorMessage(pg));
        PQfinish(pg);
        return 1;
    }
    // "does not exist, skipping" for a copy the benchmark already dropped is no news.
    PQclear(PQexec(pg, "SET client_min_messages = warning"));
    if (::write(1, "1", 1) != 1) {
        PQfinish(pg);
        return 1;
    }
    ::close(1);
    std::vector<std::string> bancos;
    for (std::string nome; std::getline(std::cin, nome);)
        if (!nome.empty())
            bancos.push_back(nome);
    // The benchmark is gone: nothing else will drop them. The connection may have been idle for
    // a long time.
    if (PQstatus(pg) != CONNECTION_OK)
        PQreset(pg);
    int falhas = 0;
    for (auto it = bancos.rbegin(); it != bancos.rend(); ++it) {
        const std::string sql = "DROP DATABASE IF EXISTS \"" + *it + "\" WITH (FORCE)";
        PGresult* r = PQexec(pg, sql.c_str());
        if (PQresultStatus(r) != PGRES_COMMAND_OK) {
            // A lost connection shows only now; one more try on a fresh one.
            PQclear(r);
            PQreset(pg);
            r = PQexec(pg, sql.c_str());
        }
        if (PQresultStatus(r) != PGRES_COMMAND_OK) {
            std::fprintf(stderr, "ERRO: guarda do benchmark: %s: %s\n", it->c_str(), PQresultErrorMessage(r));
            ++falhas;
        }
        PQclear(r);
    }
    PQfinish(pg);
    return falhas == 0 ? 0 : 1;
}

}  // namespace Bench
