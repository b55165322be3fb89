#include "uPisoPostgres.h"

#include "uErros.h"
#include "uGravacaoComandos.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <libpq-fe.h>

#include <memory>

namespace Bench {

namespace {

struct TResultado
{
    PGresult* R;
    explicit TResultado(PGresult* r) : R(r) {}
    ~TResultado() { PQclear(R); }
    TResultado(const TResultado&) = delete;
    TResultado& operator=(const TResultado&) = delete;
    bool Ok() const
    {
        const ExecStatusType s = PQresultStatus(R);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
    }
};

void Exec(PGconn* pg, const char* sql)
{
    TResultado r(PQexec(pg, sql));
    if (!r.Ok())
        throw EDatabaseError(QStringLiteral("%1: %2").arg(QString::fromLatin1(sql), QString::fromUtf8(PQresultErrorMessage(r.R)).trimmed()));
}

}  // namespace

TResultadoPiso ReproduzirPisoPostgres(const QString& gravacao, const std::vector<TComandoDistinto>& distintos, PGconn* pg)
{
    const std::unique_ptr<PGconn, void (*)(PGconn*)> dono(pg, PQfinish);
    QFile arquivo(gravacao);
    if (!arquivo.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Não foi possível ler %1").arg(QDir::toNativeSeparators(gravacao)));
    const qint64 tamanho = arquivo.size();
    const uchar* dados = tamanho > 0 ? arquivo.map(0, tamanho) : nullptr;
    if (tamanho > 0 && !dados)
        throw EInOutError(QStringLiteral("Não foi possível mapear %1").arg(QDir::toNativeSeparators(gravacao)));

    // The session's own settings, so that dates travel in the same form.
    Exec(pg, "SET DateStyle = ISO, YMD");
    Exec(pg, "SET client_min_messages = warning");

    TResultadoPiso r;
    QElapsedTimer relogio;
    relogio.start();
    std::vector<QByteArray> nomes(distintos.size());
    for (size_t i = 0; i < distintos.size(); ++i) {
        nomes[i] = "piso_" + QByteArray::number(qulonglong(i));
        TResultado p(PQprepare(pg, nomes[i].constData(), distintos[i].Sql.constData(), 0, nullptr));
        if (!p.Ok())
            throw EDatabaseError(QStringLiteral("%1: %2").arg(QString::fromUtf8(PQresultErrorMessage(p.R)).trimmed(),
                                                             QString::fromUtf8(distintos[i].Sql)));
    }

    TLeitor leitor(dados, tamanho);
    bool aberta = false;
    std::vector<QByteArray> textos;
    std::vector<const char*> valores;
    std::vector<int> tamanhos;
    volatile qint64 soma = 0;  // the values read, so that reading them is not optimised away
    try {
        while (!leitor.Fim()) {
            const quint32 id = leitor.Le<quint32>();
            if (id == MarcaArquivo) {
                if (aberta)
                    Exec(pg, "COMMIT");
                aberta = false;
                ++r.Arquivos;
                continue;
            }
            if (id >= distintos.size())
                throw EInOutError(QStringLiteral("Gravação de comandos corrompida"));
            if (!aberta) {
                Exec(pg, "BEGIN");
                aberta = true;
            }
            const int n = leitor.Le<quint16>();
            textos.assign(size_t(n), QByteArray());
            valores.assign(size_t(n), nullptr);
            tamanhos.assign(size_t(n), 0);
            for (size_t p = 0; p < size_t(n); ++p) {
                switch (leitor.Le<char>()) {
                case vNulo: break;
                case vInteiro: textos[p] = QByteArray::number(leitor.Le<qint64>()); break;
                case vReal: textos[p] = QByteArray::number(leitor.Le<double>(), 'g', 17); break;
                case vTexto: {
                    const quint32 t = leitor.Le<quint32>();
                    textos[p] = QByteArray(leitor.Bytes(t), qsizetype(t));
                    break;
                }
                default: throw EInOutError(QStringLiteral("Gravação de comandos corrompida"));
                }
                if (!textos[p].isNull()) {
                    valores[p] = textos[p].constData();
                    tamanhos[p] = int(textos[p].size());
                }
            }
            TResultado e(PQexecPrepared(pg, nomes[id].constData(), n, valores.data(), tamanhos.data(), nullptr, 0));
            if (!e.Ok())
                throw EDatabaseError(QStringLiteral("%1: %2").arg(QString::fromUtf8(PQresultErrorMessage(e.R)).trimmed(),
                                                                 QString::fromUtf8(distintos[id].Sql)));
            if (PQresultStatus(e.R) == PGRES_TUPLES_OK) {
                const int linhas = PQntuples(e.R), colunas = PQnfields(e.R);
                r.LinhasLidas += linhas;
                for (int l = 0; l < linhas; ++l)
                    for (int c = 0; c < colunas; ++c)
                        soma = soma + PQgetlength(e.R, l, c);
            } else {
                r.LinhasGravadas += QByteArray(PQcmdTuples(e.R)).toLongLong();
            }
            ++r.Comandos;
        }
        if (aberta)
            Exec(pg, "COMMIT");
    } catch (...) {
        if (PQtransactionStatus(pg) != PQTRANS_IDLE)
            PQclear(PQexec(pg, "ROLLBACK"));
        throw;
    }
    r.Segundos = relogio.nsecsElapsed() / 1e9;
    return r;
}

}  // namespace Bench
