#include "uUnidadeTeste.h"

#include "uBackendPostgres.h"
#include "uBancoUnidade.h"
#include "uErros.h"
#include "uIni.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include <libpq-fe.h>

namespace {

QString Variavel() { return qEnvironmentVariable("TESKVADO_TESTE_PG"); }

PGconn* Conecta(const QString& conexao)
{
    PGconn* pg = PQconnectdb(conexao.toUtf8().constData());
    if (PQstatus(pg) != CONNECTION_OK) {
        const QString msg = QString::fromUtf8(PQerrorMessage(pg)).trimmed();
        PQfinish(pg);
        throw EDatabaseError(QStringLiteral("Servidor de teste (TESKVADO_TESTE_PG) inacessível: %1").arg(msg));
    }
    return pg;
}

void Executa(PGconn* pg, const QString& sql)
{
    PGresult* r = PQexec(pg, sql.toUtf8().constData());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    const QString msg = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
    PQclear(r);
    if (!ok)
        throw EDatabaseError(QStringLiteral("Servidor de teste: %1 (%2)").arg(msg, sql));
}

// The settings of a libpq connection string, so that BANCO.INI says the same.
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

}  // namespace

bool TUnidadeTeste::EmPostgres()
{
    return !Variavel().trimmed().isEmpty();
}

TUnidadeTeste::TUnidadeTeste(const QString& raiz) : FRaiz(QDir::cleanPath(raiz))
{
    if (!EmPostgres())
        return;
    FConexao = Variavel().trimmed();
    // Unique across the test processes ctest runs at once and across their drives.
    static QAtomicInt contador;
    const QString nome = QStringLiteral("tv_%1_%2_%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(contador.fetchAndAddRelaxed(1))
                             .arg(QRandomGenerator::global()->generate() & 0xffffff, 6, 16, QChar(u'0'));
    PGconn* pg = Conecta(FConexao);
    try {
        Executa(pg, QStringLiteral("CREATE DATABASE \"%1\"").arg(nome));
    } catch (...) {
        PQfinish(pg);
        throw;
    }
    PQfinish(pg);
    FBanco = nome;

    QDir().mkpath(FRaiz + QStringLiteral("/Sistemas"));
    const QString ini = ArquivoBancoIni(FRaiz);
    QString host = Opcao(FConexao, "host");
    if (host.isEmpty())
        host = Opcao(FConexao, "hostaddr");
    GravarValorIni(ini, QStringLiteral("BANCO"), QStringLiteral("Driver"), QStringLiteral("PostgreSQL"));
    GravarValorIni(ini, QStringLiteral("BANCO"), QStringLiteral("Host"), host);
    GravarValorIni(ini, QStringLiteral("BANCO"), QStringLiteral("Porta"), Opcao(FConexao, "port"));
    GravarValorIni(ini, QStringLiteral("BANCO"), QStringLiteral("Banco"), nome);
    GravarValorIni(ini, QStringLiteral("BANCO"), QStringLiteral("Usuario"), Opcao(FConexao, "user"));
    GravarValorIni(ini, QStringLiteral("BANCO"), QStringLiteral("Senha"), Opcao(FConexao, "password"));
}

TUnidadeTeste::~TUnidadeTeste()
{
    if (FBanco.isEmpty())
        return;
    // FORCE: a session of the test may still hold a connection to it.
    PGconn* pg = PQconnectdb(FConexao.toUtf8().constData());
    if (PQstatus(pg) == CONNECTION_OK) {
        PGresult* r = PQexec(pg, QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(FBanco).toUtf8().constData());
        PQclear(r);
    }
    PQfinish(pg);
}

void TUnidadeTeste::Preparar(TSessao& sessao)
{
    if (!AbrirBancoDaUnidade(sessao, FRaiz, false))
        throw EDatabaseError(QStringLiteral("O banco da unidade de teste %1 não abriu").arg(FRaiz));
}

namespace {

QString ComCaminho(const QString& sql, const QString& esquema)
{
    if (esquema.isEmpty())
        return sql;
    return QStringLiteral("SET search_path TO \"%1\"; %2").arg(esquema, sql);
}

}  // namespace

void TUnidadeTeste::ExecutarNoServidor(const QString& sql, const QString& esquema) const
{
    if (FBanco.isEmpty())
        throw EDatabaseError(QStringLiteral("A unidade de teste %1 não está num servidor").arg(FRaiz));
    PGconn* pg = Conecta(FConexao + QStringLiteral(" dbname=%1").arg(FBanco));
    try {
        Executa(pg, ComCaminho(sql, esquema));
    } catch (...) {
        PQfinish(pg);
        throw;
    }
    PQfinish(pg);
}

QList<QVariantList> TUnidadeTeste::ConsultarNoServidor(const QString& sql, const QString& esquema) const
{
    if (FBanco.isEmpty())
        throw EDatabaseError(QStringLiteral("A unidade de teste %1 não está num servidor").arg(FRaiz));
    constexpr Oid OidBool = 16, OidInt8 = 20, OidInt2 = 21, OidInt4 = 23, OidFloat4 = 700, OidFloat8 = 701,
                  OidNumeric = 1700;
    PGconn* pg = Conecta(FConexao + QStringLiteral(" dbname=%1").arg(FBanco));
    PGresult* r = PQexec(pg, ComCaminho(sql, esquema).toUtf8().constData());
    if (PQresultStatus(r) != PGRES_TUPLES_OK && PQresultStatus(r) != PGRES_COMMAND_OK) {
        const QString msg = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        PQclear(r);
        PQfinish(pg);
        throw EDatabaseError(QStringLiteral("Servidor de teste: %1 (%2)").arg(msg, sql));
    }
    QList<QVariantList> linhas;
    for (int l = 0; l < PQntuples(r); ++l) {
        QVariantList linha;
        for (int c = 0; c < PQnfields(r); ++c) {
            if (PQgetisnull(r, l, c)) {
                linha << QVariant();
                continue;
            }
            const QByteArray v(PQgetvalue(r, l, c), PQgetlength(r, l, c));
            switch (PQftype(r, c)) {
            case OidBool: linha << QVariant(qint64(v == "t" ? 1 : 0)); break;
            case OidInt2:
            case OidInt4:
            case OidInt8: linha << QVariant(v.toLongLong()); break;
            case OidFloat4:
            case OidFloat8:
            case OidNumeric: linha << QVariant(v.toDouble()); break;
            default: linha << QVariant(QString::fromUtf8(v));
            }
        }
        linhas << linha;
    }
    PQclear(r);
    PQfinish(pg);
    return linhas;
}

QString TUnidadeTeste::TextoComoSQLite(const QVariant& valor)
{
    if (valor.typeId() != QMetaType::Double)
        return valor.toString();
    // "%!.15g": an integral REAL keeps a ".0".
    QString r = QString::asprintf("%.15g", valor.toDouble());
    if (!r.contains(u'.') && !r.contains(u'e') && !r.contains(u'n') && !r.contains(u'i'))
        r += QStringLiteral(".0");
    return r;
}
