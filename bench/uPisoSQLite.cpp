#include "uPisoSQLite.h"

#include "uGravacaoComandos.h"

#include "uErros.h"
#include "uParams.h"
#include "uTradutorSQL.h"
#include "uValoresSQL.h"

#include <QDir>
#include <QElapsedTimer>

#include <sqlite3.h>

#include <cstring>

namespace Bench {

namespace {

QString Erro(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

void Exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(QStringLiteral("%1: %2").arg(QString::fromLatin1(sql), Erro(db)));
}

// A statement whose plan reads a whole table where the import looks up a few rows.
QStringList Varreduras(sqlite3* db, const QByteArray& sql)
{
    QStringList r;
    sqlite3_stmt* st = nullptr;
    const QByteArray plano = "EXPLAIN QUERY PLAN " + sql;
    if (sqlite3_prepare_v2(db, plano.constData(), int(plano.size()), &st, nullptr) != SQLITE_OK)
        return {QStringLiteral("(sem plano: %1)").arg(Erro(db))};
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString detalhe = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)));
        if (detalhe.startsWith(QLatin1StringView("SCAN ")) && !detalhe.contains(QLatin1StringView("CONSTANT ROW")))
            r << detalhe;
    }
    sqlite3_finalize(st);
    return r;
}

}  // namespace

TGravadorComandos::TGravadorComandos(const QString& arquivo) : FArquivo(arquivo)
{
    if (!FArquivo.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EInOutError(QStringLiteral("Não foi possível criar %1").arg(QDir::toNativeSeparators(arquivo)));
    FBuffer.reserve(1 << 20);
}

TGravadorComandos::~TGravadorComandos() { Fecha(); }

void TGravadorComandos::Observa(const TTraducao& t, const TParams& params)
{
    auto it = FPorTraducao.constFind(&t);
    quint32 id;
    if (it != FPorTraducao.cend()) {
        id = it.value();
    } else {
        // The session may translate a text again after it drops its cache; it is the same statement.
        auto porTexto = FPorTexto.constFind(t.Sql);
        if (porTexto != FPorTexto.cend()) {
            id = porTexto.value();
        } else {
            id = quint32(FDistintos.size());
            FDistintos.push_back({t.Sql, t.Consulta});
            FPorTexto.insert(t.Sql, id);
        }
        FPorTraducao.insert(&t, id);
    }
    ++FComandos;
    Poe(FBuffer, id);
    Poe(FBuffer, quint16(params.Count()));
    for (int i = 0; i < params.Count(); ++i) {
        const TParam& p = params[i];
        if (!p.Bound() || p.IsNull()) {
            FBuffer.append(vNulo);
            continue;
        }
        switch (p.DataType()) {
        case TFieldType::ftString:
        case TFieldType::ftMemo:
            if (p.AsString().isEmpty())
                FBuffer.append(vNulo);
            else
                PoeTexto(FBuffer, p.AsString().toUtf8());
            break;
        case TFieldType::ftSmallint:
        case TFieldType::ftInteger:
        case TFieldType::ftAutoInc:
        case TFieldType::ftBoolean:
            FBuffer.append(vInteiro);
            Poe(FBuffer, qint64(p.AsInteger()));
            break;
        case TFieldType::ftFloat:
        case TFieldType::ftCurrency:
        case TFieldType::ftBCD:
            FBuffer.append(vReal);
            Poe(FBuffer, p.AsFloat());
            break;
        case TFieldType::ftDate: PoeTexto(FBuffer, TextoData(p.AsDateTime())); break;
        case TFieldType::ftTime: PoeTexto(FBuffer, TextoHora(p.AsDateTime())); break;
        case TFieldType::ftDateTime: {
            // Every date column of the ERP schema is a DATE, which keeps the calendar day only;
            // a value compared with nothing the translator can name keeps its time.
            const bool coluna = size_t(i) < t.Alvos.size() && !t.Alvos[size_t(i)].Coluna.isEmpty();
            PoeTexto(FBuffer, coluna ? TextoData(p.AsDateTime()) : TextoDataHora(p.AsDateTime()));
            break;
        }
        default: FBuffer.append(vNulo); break;
        }
    }
    if (FBuffer.size() >= (1 << 20))
        Descarrega();
}

void TGravadorComandos::FimDeArquivo()
{
    Poe(FBuffer, MarcaArquivo);
}

void TGravadorComandos::Descarrega()
{
    if (!FBuffer.isEmpty() && FArquivo.write(FBuffer) != FBuffer.size())
        throw EInOutError(QStringLiteral("Erro ao gravar %1").arg(QDir::toNativeSeparators(FArquivo.fileName())));
    FBuffer.clear();
}

void TGravadorComandos::Fecha()
{
    if (!FArquivo.isOpen())
        return;
    Descarrega();
    FArquivo.close();
}

TResultadoPiso ReproduzirPiso(const QString& gravacao, const std::vector<TComandoDistinto>& distintos,
                              const std::vector<TBancoPiso>& bancos)
{
    QFile arquivo(gravacao);
    if (!arquivo.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Não foi possível ler %1").arg(QDir::toNativeSeparators(gravacao)));
    const qint64 tamanho = arquivo.size();
    const uchar* dados = tamanho > 0 ? arquivo.map(0, tamanho) : nullptr;
    if (tamanho > 0 && !dados)
        throw EInOutError(QStringLiteral("Não foi possível mapear %1").arg(QDir::toNativeSeparators(gravacao)));

    // Opened as the engine opens its connection (one thread, no connection mutex), so that the
    // ratio measures our layers and not a difference of locking.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        throw EDatabaseError(QStringLiteral("SQLite não abriu"));
    }
    std::vector<sqlite3_stmt*> comandos(distintos.size(), nullptr);
    struct TFecha
    {
        sqlite3* db;
        std::vector<sqlite3_stmt*>& comandos;
        ~TFecha()
        {
            for (sqlite3_stmt* s : comandos)
                sqlite3_finalize(s);
            if (!sqlite3_get_autocommit(db))
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
    } fecha{db, comandos};

    for (const TBancoPiso& b : bancos) {
        const QByteArray sql = "ATTACH DATABASE '" + b.Arquivo.toUtf8().replace('\'', "''") + "' AS \"" + b.Alias.toUtf8() + '"';
        Exec(db, sql.constData());
    }

    TResultadoPiso r;
    for (size_t i = 0; i < distintos.size(); ++i) {
        const QString texto = QString::fromUtf8(distintos[i].Sql).simplified();
        if (texto.endsWith(QLatin1StringView("where (1=2)"), Qt::CaseInsensitive)) {
            ++r.Estrutura;
            continue;
        }
        for (const QString& v : Varreduras(db, distintos[i].Sql))
            r.SemIndice << v + QStringLiteral("  <-  ") + texto;
    }

    QElapsedTimer relogio;
    relogio.start();
    for (size_t i = 0; i < distintos.size(); ++i) {
        const QByteArray& sql = distintos[i].Sql;
        if (sqlite3_prepare_v3(db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &comandos[i], nullptr) !=
            SQLITE_OK)
            throw EDatabaseError(QStringLiteral("%1: %2").arg(Erro(db), QString::fromUtf8(sql)));
    }

    TLeitor leitor(dados, tamanho);
    bool aberta = false;
    volatile qint64 soma = 0;  // the values read, so that reading them is not optimised away
    while (!leitor.Fim()) {
        const quint32 id = leitor.Le<quint32>();
        if (id == MarcaArquivo) {
            if (aberta)
                Exec(db, "COMMIT");
            aberta = false;
            ++r.Arquivos;
            continue;
        }
        if (id >= comandos.size())
            throw EInOutError(QStringLiteral("Gravação de comandos corrompida"));
        if (!aberta) {
            Exec(db, "BEGIN");
            aberta = true;
        }
        sqlite3_stmt* st = comandos[id];
        const int n = leitor.Le<quint16>();
        for (int p = 1; p <= n; ++p) {
            switch (leitor.Le<char>()) {
            case vNulo: sqlite3_bind_null(st, p); break;
            case vInteiro: sqlite3_bind_int64(st, p, leitor.Le<qint64>()); break;
            case vReal: sqlite3_bind_double(st, p, leitor.Le<double>()); break;
            case vTexto: {
                const quint32 t = leitor.Le<quint32>();
                sqlite3_bind_text(st, p, leitor.Bytes(t), int(t), SQLITE_STATIC);
                break;
            }
            default: throw EInOutError(QStringLiteral("Gravação de comandos corrompida"));
            }
        }
        int rc;
        const int colunas = sqlite3_column_count(st);
        const sqlite3_int64 antes = sqlite3_total_changes64(db);
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            ++r.LinhasLidas;
            for (int c = 0; c < colunas; ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER: soma = soma + sqlite3_column_int64(st, c); break;
                case SQLITE_FLOAT: soma = soma + qint64(sqlite3_column_double(st, c)); break;
                case SQLITE_TEXT: soma = soma + sqlite3_column_bytes(st, c); break;
                default: break;
                }
            }
        }
        if (rc != SQLITE_DONE)
            throw EDatabaseError(QStringLiteral("%1: %2").arg(Erro(db), QString::fromUtf8(distintos[id].Sql)));
        // sqlite3_changes after a statement that writes no rows (the import's CREATE TABLE IF
        // NOT EXISTS) still tells the rows of the last INSERT, UPDATE or DELETE before it.
        if (!sqlite3_stmt_readonly(st) && sqlite3_total_changes64(db) != antes)
            r.LinhasGravadas += sqlite3_changes(db);
        sqlite3_reset(st);
        ++r.Comandos;
    }
    if (aberta)
        Exec(db, "COMMIT");
    r.Segundos = relogio.nsecsElapsed() / 1e9;
    return r;
}

}  // namespace Bench
