#pragma once

// A data drive in a temporary folder for the data access tests: the ERP tables the case needs,
// created from the model's column lists (so a case can leave a column out or add one) straight in
// SQLite, or through the engine on a test server, the default session pointed at it, and a log
// and UI port that remember what they got.

#include "UModel.h"
#include "uErros.h"
#include "uLog.h"
#include "uSessao.h"
#include "uTelaMemoria.h"
#include "uQuery.h"
#include "uUIConsole.h"
#include "uUnidadeTeste.h"

#include <QDir>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

#include <gtest/gtest.h>
#include <sqlite3.h>

class BancoTeste : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FPasta.isValid());
        RegistrarClasses();
        FLog.RichEdit(&Tela);
        Log_ = &FLog;
        Ui.Silencioso = true;
        DefinirUI(&Ui);
        TSessao& s = TSessao::Padrao();
        s.Close();
        for (const char* pasta : {"CADASTRO", "VENDAS", "ESTOQUE"}) {
            const QString caminho = Pasta(QString::fromLatin1(pasta));
            QDir().mkpath(caminho);
            s.AddStandardAlias(QStringLiteral("N_") + QString::fromLatin1(pasta), caminho, QStringLiteral("PARADOX"));
        }
        // A lock held elsewhere has to fail the five attempts quickly here.
        s.SetTempoEsperaMs(100);
        FUnidade = std::make_unique<TUnidadeTeste>(FPasta.path());
        if (FUnidade->Postgres()) {
            FUnidade->Preparar(s);
            for (const char* pasta : {"CADASTRO", "VENDAS", "ESTOQUE"})
                s.CriarBanco(QStringLiteral("N_") + QString::fromLatin1(pasta));
        }
    }

    void TearDown() override
    {
        TSessao::Padrao().Close();
        FUnidade.reset();
        Log_ = nullptr;
        DefinirUI(nullptr);
    }

    QString Pasta(const QString& banco) const { return FPasta.path() + QStringLiteral("/Sistemas/") + banco; }
    QString Arquivo(const QString& banco) const { return Pasta(banco) + u'/' + banco + QStringLiteral(".db"); }

    static QString Banco(TTabelas tabela)
    {
        return NomeAlias(DiretorioTabela(tabela)).mid(2);
    }

    bool Postgres() const { return FUnidade->Postgres(); }
    const TUnidadeTeste& Unidade() const { return *FUnidade; }

    // Runs SQL on the table's database file (or its schema on the server) with a connection of
    // its own.
    void Sql(const QString& banco, const QString& sql)
    {
        if (Postgres()) {
            ASSERT_NO_THROW(FUnidade->ExecutarNoServidor(sql, QStringLiteral("N_") + banco)) << sql.toStdString();
            return;
        }
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Arquivo(banco).toUtf8().constData(), &db), SQLITE_OK);
        char* erro = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &erro);
        const QString msg = erro ? QString::fromUtf8(erro) : QString();
        sqlite3_free(erro);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << msg.toStdString() << "\n" << sql.toStdString();
    }

    // The first row's first value as SQLite stores it: null, qint64, double or QString.
    QVariant Valor(const QString& banco, const QString& sql)
    {
        if (Postgres()) {
            try {
                const QList<QVariantList> linhas = FUnidade->ConsultarNoServidor(sql, QStringLiteral("N_") + banco);
                return linhas.isEmpty() ? QVariant(QStringLiteral("<sem linha>")) : linhas.first().first();
            } catch (const Exception& e) {
                return QStringLiteral("<erro> ") + e.Message();
            }
        }
        sqlite3* db = nullptr;
        sqlite3_open(Arquivo(banco).toUtf8().constData(), &db);
        sqlite3_stmt* st = nullptr;
        QVariant v(QStringLiteral("<sem linha>"));
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW) {
            switch (sqlite3_column_type(st, 0)) {
            case SQLITE_NULL: v = QVariant(); break;
            case SQLITE_INTEGER: v = qint64(sqlite3_column_int64(st, 0)); break;
            case SQLITE_FLOAT: v = sqlite3_column_double(st, 0); break;
            default: v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            }
        } else if (st == nullptr) {
            v = QStringLiteral("<erro> ") + QString::fromUtf8(sqlite3_errmsg(db));
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return v;
    }

    // The table with its model's columns in order (minus `sem`, plus `extras` as name and
    // declared type), typed as the ERP declares them.
    void CriaTabela(TTabelas tabela, const QStringList& sem = {},
                    const QList<std::pair<QString, QString>>& extras = {})
    {
        const TClasseModel* classe = ClasseDaTabela(tabela);
        QStringList colunas;
        if (classe) {
            for (const TPropriedade& p : classe->Propriedades()) {
                if (sem.contains(p.Coluna()))
                    continue;
                QString tipo;
                switch (p.Tipo()) {
                case TTipoPropriedade::String: tipo = QStringLiteral("VARCHAR(60)"); break;
                case TTipoPropriedade::Currency: tipo = QStringLiteral("CURRENCY"); break;
                case TTipoPropriedade::TDateTime: tipo = QStringLiteral("DATE"); break;
                case TTipoPropriedade::Integer: tipo = QStringLiteral("INTEGER"); break;
                }
                colunas << u'"' + p.Coluna() + QStringLiteral("\" ") + tipo;
            }
        }
        for (const auto& [nome, tipo] : extras)
            colunas << u'"' + nome + QStringLiteral("\" ") + tipo;
        if (Postgres()) {
            // The server keeps the Paradox types only when the engine makes the table.
            TQuery q(TSessao::Padrao());
            q.SQL().SetText(QStringLiteral("CREATE TABLE \":N_%1:%2\" (%3)")
                                .arg(Banco(tabela), NomeTabela(tabela), colunas.join(u',')));
            ASSERT_NO_THROW(q.ExecSQL());
            return;
        }
        Sql(Banco(tabela), QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(NomeTabela(tabela), colunas.join(u',')));
    }

    // The log's lines as written, without the frame.
    QStringList LinhasLog() const
    {
        QStringList r;
        for (const QString& l : FLog.LtLog()) {
            QString t = l.mid(1);
            t.chop(1);
            r << t.trimmed();
        }
        return r;
    }

    TTelaMemoria Tela;
    TUIConsole Ui;

private:
    QTemporaryDir FPasta;
    std::unique_ptr<TUnidadeTeste> FUnidade;
    TLog FLog;
};
