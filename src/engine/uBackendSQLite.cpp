#include "uBackend.h"

#include "uErros.h"
#include "uValoresSQL.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <cctype>

// The embedded backend: one database file per ERP folder, "<folder>/<FOLDER>.db", every one
// ATTACHed to a single connection under its alias's name, so that one transaction can span
// several folders and a missing table reads "no such table: N_VENDAS.NOTAC".
//
// The main database is in memory and holds nothing: every table lives in an alias's file.

namespace {

class TDialetoSQLite : public TDialetoSQL
{
public:
    QString ReferenciaTabela(const QString& alias, const QString& tabela) const override
    {
        return Aspas(alias) + u'.' + Aspas(tabela);
    }
    QString Parametro(int numero) const override { return u'?' + QString::number(numero); }

    static QString Aspas(const QString& nome)
    {
        QString r = nome;
        r.replace(u'"', QStringLiteral("\"\""));
        return u'"' + r + u'"';
    }
};

QString Mensagem(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

// The text as UTF-8 into `destino`, whose storage is reused from one run to the next. The files
// keep their texts in UTF-8: binding UTF-16 made SQLite convert every text in a buffer of its own.
void EmUtf8(const QString& texto, QByteArray& destino)
{
    const qsizetype n = texto.size();
    const char16_t* c = reinterpret_cast<const char16_t*>(texto.constData());
    qsizetype i = 0;
    while (i < n && c[i] < 0x80)
        ++i;
    if (i < n) {
        destino = texto.toUtf8();
        return;
    }
    destino.resize(n);
    char* d = destino.data();
    for (qsizetype k = 0; k < n; ++k)
        d[k] = char(c[k]);
}

QString ComLinha(const QString& mensagem, const TTraducao& t, int offset)
{
    // Without a position ("incomplete input") the text ended too soon: its last line is the one.
    int linha = t.LinhaDoOffset(offset >= 0 ? offset : int(t.Sql.size()));
    if (linha <= 0)
        return mensagem;
    return QStringLiteral("%1 (linha %2: %3)").arg(mensagem).arg(linha).arg(t.Linha(linha));
}

class TComandoSQLite : public IComando
{
public:
    TComandoSQLite(sqlite3* db, sqlite3_stmt* stmt, std::shared_ptr<const TTraducao> traducao,
                   std::vector<TTipoDeclarado> alvos, std::vector<TTipoDeclarado> origens)
        : FDb(db), FStmt(stmt), FTraducao(std::move(traducao)), FAlvos(std::move(alvos)),
          FOrigens(std::move(origens))
    {
    }
    ~TComandoSQLite() override { sqlite3_finalize(FStmt); }

    int Executar(const TParams& params, TResultado* resultado) override
    {
        sqlite3_reset(FStmt);
        if (FTextos.size() < size_t(params.Count()))
            FTextos.resize(size_t(params.Count()));
        for (int i = 0; i < params.Count(); ++i)
            Liga(i, params[i]);
        int rc = sqlite3_step(FStmt);
        if (resultado) {
            resultado->Valores.clear();
            Campos(rc, resultado->Campos);
        }
        const int colunas = resultado ? int(resultado->Campos.size()) : 0;
        while (rc == SQLITE_ROW) {
            if (resultado) {
                for (int c = 0; c < colunas; ++c)
                    resultado->Valores.push_back(Valor(c));
            }
            rc = sqlite3_step(FStmt);
        }
        if (rc != SQLITE_DONE) {
            QString msg = Mensagem(FDb);
            sqlite3_reset(FStmt);
            throw EDatabaseError(msg);
        }
        int alteradas = sqlite3_stmt_readonly(FStmt) ? 0 : sqlite3_changes(FDb);
        // Reset at once: a statement left in step would keep its read lock on the files.
        sqlite3_reset(FStmt);
        return alteradas;
    }

private:
    void Liga(int i, const TParam& p)
    {
        const int n = i + 1;
        if (!p.Bound())
            throw EDatabaseError(QStringLiteral("Parâmetro sem valor: %1").arg(p.Name()));
        int rc = SQLITE_OK;
        if (p.IsNull()) {
            rc = sqlite3_bind_null(FStmt, n);
        } else {
            switch (p.DataType()) {
            case TFieldType::ftString:
            case TFieldType::ftMemo: {
                const QString& s = p.Texto();
                // An empty text is an empty field, as in the ERP's tables.
                if (s.isEmpty()) {
                    rc = sqlite3_bind_null(FStmt, n);
                } else {
                    // The parameter's own buffer, kept until it is bound again: SQLite reads it
                    // in place instead of copying it.
                    QByteArray& t = FTextos[size_t(i)];
                    EmUtf8(s, t);
                    rc = sqlite3_bind_text(FStmt, n, t.constData(), int(t.size()), SQLITE_STATIC);
                }
                break;
            }
            case TFieldType::ftSmallint:
            case TFieldType::ftInteger:
            case TFieldType::ftAutoInc:
            case TFieldType::ftBoolean:
                rc = sqlite3_bind_int64(FStmt, n, p.AsInteger());
                break;
            case TFieldType::ftFloat:
            case TFieldType::ftCurrency:
            case TFieldType::ftBCD:
                rc = sqlite3_bind_double(FStmt, n, p.AsFloat());
                break;
            case TFieldType::ftDate:
            case TFieldType::ftTime:
            case TFieldType::ftDateTime: {
                QByteArray& t = FTextos[size_t(i)];
                t = TextoTemporal(p.DataType(), p.AsDateTime(), FAlvos[size_t(i)].Tipo);
                rc = sqlite3_bind_text(FStmt, n, t.constData(), int(t.size()), SQLITE_STATIC);
                break;
            }
            default:
                throw EDatabaseError(
                    QStringLiteral("Tipo de parâmetro não suportado: %1 (%2)").arg(p.Name(), NomeTipoCampo(p.DataType())));
            }
        }
        if (rc != SQLITE_OK)
            throw EDatabaseError(Mensagem(FDb));
    }

    // The column decides the stored form: a DATE keeps the calendar day only, as Paradox did,
    // a TIME the time of day, a TIMESTAMP both. Where the column is unknown the value's own type
    // decides.
    static QByteArray TextoTemporal(TFieldType tipoParam, TDateTime v, TFieldType coluna)
    {
        switch (coluna) {
        case TFieldType::ftDate: return TextoData(v);
        case TFieldType::ftTime: return TextoHora(v);
        case TFieldType::ftDateTime: return TextoDataHora(v);
        default: break;
        }
        if (tipoParam == TFieldType::ftDate)
            return TextoData(v);
        if (tipoParam == TFieldType::ftTime)
            return TextoHora(v);
        return TextoDataHora(v);
    }

    void Campos(int rc, std::vector<TDefCampo>& campos)
    {
        const int n = sqlite3_column_count(FStmt);
        // The declared types change only when SQLite prepares the statement again (a table
        // altered under it); until then the fields worked out before still hold, and asking for
        // every column's type on every run took a mutex per column of every look-up.
        const int repreparos = sqlite3_stmt_status(FStmt, SQLITE_STMTSTATUS_REPREPARE, 0);
        const bool iguais = int(FDecl.size()) == n && !FInferidos && repreparos == FRepreparos;
        if (!iguais) {
            FRepreparos = repreparos;
            FDecl.assign(size_t(n), nullptr);
            FCampos.assign(size_t(n), {});
            FInferidos = false;
            for (int c = 0; c < n; ++c) {
                const char* d = sqlite3_column_decltype(FStmt, c);
                FDecl[size_t(c)] = d;
                TDefCampo& f = FCampos[size_t(c)];
                f.Nome = QString::fromUtf8(sqlite3_column_name(FStmt, c));
                TTipoDeclarado tipo;
                if (d)
                    tipo = TipoDeclarado(QString::fromUtf8(d));
                else if (c < int(FOrigens.size()))
                    tipo = FOrigens[size_t(c)];
                if (tipo.Tipo == TFieldType::ftUnknown && !d)
                    FInferidos = true;
                f.Tipo = tipo.Tipo;
                f.Tamanho = tipo.Tamanho;
            }
        }
        campos = FCampos;
        if (FInferidos && rc == SQLITE_ROW) {
            // An expression has no declared type: the first row's value tells what it is.
            for (int c = 0; c < n; ++c) {
                TDefCampo& f = campos[size_t(c)];
                if (f.Tipo != TFieldType::ftUnknown || FDecl[size_t(c)])
                    continue;
                switch (sqlite3_column_type(FStmt, c)) {
                case SQLITE_INTEGER: f.Tipo = TFieldType::ftInteger; break;
                case SQLITE_FLOAT: f.Tipo = TFieldType::ftFloat; break;
                case SQLITE_TEXT: f.Tipo = TFieldType::ftString; f.Tamanho = 255; break;
                case SQLITE_BLOB: f.Tipo = TFieldType::ftBlob; break;
                default: break;
                }
            }
        }
    }

    QVariant Valor(int c)
    {
        switch (sqlite3_column_type(FStmt, c)) {
        case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(FStmt, c)));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(FStmt, c));
        case SQLITE_TEXT: {
            const char* t = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, c));
            return QVariant(QString::fromUtf8(t, sqlite3_column_bytes(FStmt, c)));
        }
        case SQLITE_BLOB: {
            const char* b = static_cast<const char*>(sqlite3_column_blob(FStmt, c));
            return QVariant(QByteArray(b, sqlite3_column_bytes(FStmt, c)));
        }
        default: return {};
        }
    }

    sqlite3* FDb;
    sqlite3_stmt* FStmt;
    std::shared_ptr<const TTraducao> FTraducao;
    std::vector<TTipoDeclarado> FAlvos;    // per parameter: the column it goes to
    std::vector<TTipoDeclarado> FOrigens;  // per result column, for MAX/MIN
    std::vector<const char*> FDecl;
    int FRepreparos = -1;
    std::vector<TDefCampo> FCampos;
    bool FInferidos = false;
    std::vector<QByteArray> FTextos;  // the texts bound, per parameter
};

class TBackendSQLite : public IBackend
{
public:
    ~TBackendSQLite() override { Fechar(); }

    QString Nome() const override { return QStringLiteral("SQLite"); }
    const TDialetoSQL& Dialeto() const override { return FDialeto; }

    void Abrir(const std::vector<TAliasSessao>& aliases, int esperaMs) override
    {
        Fechar();
        FAliases = aliases;
        // A session and its statements are used from one thread only, so the connection goes
        // without its own mutex: with it, every bind, step and column read took and released
        // one, about a twentieth of the instructions of an import.
        int rc = sqlite3_open_v2(":memory:", &FDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
        if (rc != SQLITE_OK) {
            QString msg = FDb ? Mensagem(FDb) : QStringLiteral("sem memória");
            sqlite3_close_v2(FDb);
            FDb = nullptr;
            throw EDatabaseError(msg);
        }
        // Bounded: a lock held by another program ends as "database is locked", never a hang.
        sqlite3_busy_timeout(FDb, esperaMs);
        sqlite3_extended_result_codes(FDb, 0);
        AnexaExistentes();
    }

    void Fechar() override
    {
        if (!FDb)
            return;
        if (!sqlite3_get_autocommit(FDb))
            sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        // Statements still held by queries keep the handle alive until they are finalised.
        sqlite3_close_v2(FDb);
        FDb = nullptr;
        FAnexados.clear();
        FTipos.clear();
    }

    bool Ativo() const override { return FDb != nullptr; }

    void DefinirEspera(int esperaMs) override
    {
        if (FDb)
            sqlite3_busy_timeout(FDb, esperaMs);
    }

    void DefinirAliases(const std::vector<TAliasSessao>& aliases) override
    {
        QHash<QString, QString> antes;
        for (const auto& a : FAliases)
            antes.insert(a.Nome, a.Caminho);
        FAliases = aliases;
        FTipos.clear();
        if (!FDb)
            return;
        for (const auto& a : aliases) {
            if (FAnexados.contains(a.Nome) && antes.value(a.Nome) != a.Caminho)
                Desanexa(a.Nome);
        }
        for (const QString& nome : QSet<QString>(FAnexados)) {
            if (!Alias(nome))
                Desanexa(nome);
        }
    }

    std::unique_ptr<IComando> Preparar(const std::shared_ptr<const TTraducao>& t) override
    {
        Exige();
        for (const auto& ref : t->Tabelas)
            if (!ref.Alias.isEmpty())
                Anexa(ref.Alias, ref.Tabela, false);
        sqlite3_stmt* stmt = nullptr;
        const char* resto = nullptr;
        int rc = sqlite3_prepare_v3(FDb, t->Sql.constData(), int(t->Sql.size()), SQLITE_PREPARE_PERSISTENT,
                                    &stmt, &resto);
        if (rc != SQLITE_OK) {
            QString msg = ComLinha(Mensagem(FDb), *t, sqlite3_error_offset(FDb));
            sqlite3_finalize(stmt);
            throw EDatabaseError(msg);
        }
        if (!stmt)
            throw EDatabaseError(QStringLiteral("Comando SQL vazio"));
        for (; resto && *resto; ++resto) {
            if (!std::isspace(static_cast<unsigned char>(*resto)) && *resto != ';') {
                sqlite3_finalize(stmt);
                throw EDatabaseError(ComLinha(QStringLiteral("Mais de um comando no mesmo texto"), *t,
                                              int(resto - t->Sql.constData())));
            }
        }
        std::vector<TTipoDeclarado> alvos;
        alvos.reserve(t->Alvos.size());
        for (const auto& a : t->Alvos)
            alvos.push_back(TipoColuna(a));
        std::vector<TTipoDeclarado> origens;
        for (const auto& o : t->Origens) {
            if (int(origens.size()) <= o.Indice)
                origens.resize(size_t(o.Indice + 1));
            origens[size_t(o.Indice)] = TipoColuna(o.Coluna);
        }
        return std::make_unique<TComandoSQLite>(FDb, stmt, t, std::move(alvos), std::move(origens));
    }

    void IniciarTransacao() override
    {
        Exige();
        // ATTACH is refused inside a transaction, so every folder that has its file joins now.
        AnexaExistentes();
        // Every transaction of ours writes. Taking the write lock at the start makes two
        // workstations wait for each other there, under the lock wait, instead of both reading
        // and then finding at their first write that one of them must give up.
        Executa("BEGIN IMMEDIATE");
    }
    void Confirmar() override { Exige(); Executa("COMMIT"); }
    void Desfazer() override { Exige(); Executa("ROLLBACK"); }
    bool EmTransacao() const override { return FDb && !sqlite3_get_autocommit(FDb); }

    void CriarBanco(const QString& alias) override
    {
        Exige();
        const TAliasSessao* a = Alias(alias.toUpper());
        if (!a)
            throw EDatabaseError(QStringLiteral("Alias desconhecido: %1").arg(alias));
        if (!QDir().mkpath(a->Caminho))
            throw EDatabaseError(QStringLiteral("Não foi possível criar a pasta %1 do alias %2").arg(a->Caminho, a->Nome));
        Anexa(a->Nome, QString(), true);
    }

    bool ExisteTabela(const QString& alias, const QString& tabela) override
    {
        Exige();
        const QString nome = alias.toUpper();
        if (!FAnexados.contains(nome)) {
            const TAliasSessao* a = Alias(nome);
            if (!a || !QFileInfo::exists(Arquivo(*a)))
                return false;
            Anexa(nome, tabela, false);
        }
        sqlite3_stmt* st = nullptr;
        QByteArray sql = "SELECT 1 FROM " + TDialetoSQLite::Aspas(nome).toUtf8() +
                         ".sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE";
        if (sqlite3_prepare_v2(FDb, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            throw EDatabaseError(Mensagem(FDb));
        QByteArray t = tabela.toUtf8();
        sqlite3_bind_text(st, 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        return rc == SQLITE_ROW;
    }

    QString ArquivoDoAlias(const QString& alias) const override
    {
        const TAliasSessao* a = Alias(alias.toUpper());
        return a ? Arquivo(*a) : QString();
    }

private:
    void Exige() const
    {
        if (!FDb)
            throw EDatabaseError(QStringLiteral("A sessão do banco de dados não está aberta"));
    }

    const TAliasSessao* Alias(const QString& nome) const
    {
        for (const auto& a : FAliases)
            if (a.Nome == nome)
                return &a;
        return nullptr;
    }

    static QString Arquivo(const TAliasSessao& a)
    {
        QString pasta = QDir::cleanPath(QDir::fromNativeSeparators(a.Caminho));
        return pasta + u'/' + QFileInfo(pasta).fileName() + QStringLiteral(".db");
    }

    // A file another program holds locked right now is left for the first statement that needs
    // it, which then reports the lock.
    void AnexaExistentes()
    {
        for (const auto& a : FAliases)
            if (!FAnexados.contains(a.Nome) && QFileInfo::exists(Arquivo(a))) {
                try {
                    Anexa(a.Nome, QString(), false);
                } catch (const EDatabaseError&) {
                }
            }
    }

    void Anexa(const QString& nome, const QString& tabela, bool criar)
    {
        if (FAnexados.contains(nome))
            return;
        const QString sufixo = tabela.isEmpty() ? QString() : QStringLiteral(" (tabela %1)").arg(tabela);
        const TAliasSessao* a = Alias(nome);
        if (!a)
            throw EDatabaseError(QStringLiteral("Alias desconhecido: %1%2").arg(nome, sufixo));
        if (!QFileInfo(a->Caminho).isDir())
            throw EDatabaseError(
                QStringLiteral("Não foi encontrada a pasta %1 do alias %2%3").arg(a->Caminho, nome, sufixo));
        const QString arquivo = Arquivo(*a);
        if (!criar && !QFileInfo::exists(arquivo))
            throw EDatabaseError(
                QStringLiteral("Não foi encontrado o banco %1 do alias %2%3").arg(arquivo, nome, sufixo));
        if (!sqlite3_get_autocommit(FDb))
            throw EDatabaseError(
                QStringLiteral("O alias %1 não pode ser aberto durante uma transação%2").arg(nome, sufixo));
        sqlite3_stmt* st = nullptr;
        QByteArray sql = "ATTACH DATABASE ?1 AS " + TDialetoSQLite::Aspas(nome).toUtf8();
        if (sqlite3_prepare_v2(FDb, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            throw EDatabaseError(Mensagem(FDb));
        QByteArray caminho = QDir::toNativeSeparators(arquivo).toUtf8();
        sqlite3_bind_text(st, 1, caminho.constData(), int(caminho.size()), SQLITE_TRANSIENT);
        int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            throw EDatabaseError(QStringLiteral("%1: %2").arg(arquivo, Mensagem(FDb)));
        FAnexados.insert(nome);
    }

    void Desanexa(const QString& nome)
    {
        QByteArray sql = "DETACH DATABASE " + TDialetoSQLite::Aspas(nome).toUtf8();
        if (sqlite3_exec(FDb, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
            FAnexados.remove(nome);
    }

    void Executa(const char* sql)
    {
        if (sqlite3_exec(FDb, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw EDatabaseError(Mensagem(FDb));
    }

    TTipoDeclarado TipoColuna(const TColunaAlvo& c)
    {
        if (c.Coluna.isEmpty() || c.Tabela.isEmpty())
            return {};
        const QString chave = c.Alias + u'\x1f' + c.Tabela + u'\x1f' + c.Coluna;
        auto it = FTipos.constFind(chave);
        if (it != FTipos.cend())
            return it.value();
        const char* decl = nullptr;
        QByteArray esquema = c.Alias.toUtf8(), tabela = c.Tabela.toUtf8(), coluna = c.Coluna.toUtf8();
        TTipoDeclarado r;
        if (sqlite3_table_column_metadata(FDb, esquema.isEmpty() ? nullptr : esquema.constData(),
                                          tabela.constData(), coluna.constData(), &decl, nullptr, nullptr,
                                          nullptr, nullptr) == SQLITE_OK &&
            decl)
            r = TipoDeclarado(QString::fromUtf8(decl));
        // Only what was found is kept: a table created later must still be seen.
        if (r.Tipo != TFieldType::ftUnknown)
            FTipos.insert(chave, r);
        return r;
    }

    sqlite3* FDb = nullptr;
    std::vector<TAliasSessao> FAliases;
    QSet<QString> FAnexados;
    QHash<QString, TTipoDeclarado> FTipos;
    TDialetoSQLite FDialeto;
};

}  // namespace

std::unique_ptr<IBackend> CriarBackendSQLite()
{
    return std::make_unique<TBackendSQLite>();
}
