#pragma once

// A data drive in a temporary folder with the ERP schema of `erp criar` (no demo rows: the
// cases add the day-closing rows they need), the exchange folder RETORNO, a fixed clock on
// 20/03/2026 10:00, a log with a remembering screen and a console UI port that stays quiet.

#include "UModel.h"
#include "uDM_BDE.h"
#include "uEsquemaERP.h"
#include "uImportaReducaoZTeste.h"
#include "uLog.h"
#include "uReducaoZ.h"
#include "uRuxo.h"
#include "uSys.h"
#include "uTelaMemoria.h"
#include "uUIConsole.h"
#include "uUnidadeTeste.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

inline Currency C(const char* texto) { return *Currency::Parse(QString::fromLatin1(texto)); }
inline TDateTime Dia(int dia, int mes = 3) { return TDateTime::Encode(2026, mes, dia); }

class AmbienteReducao : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FPasta.isValid());
        Relogio(QDateTime(QDate(2026, 3, 20), QTime(10, 0)));
        RegistrarClasses();
        Log.RichEdit(&Tela);
        Log_ = &Log;
        UiConsole.Silencioso = true;
        DefinirUI(UIEmUso());
        Sys_ = TSys{};
        Sys_.Codigo_da_Empresa = QStringLiteral("0001");
        Sys_.CGC_da_Empresa = QStringLiteral("12.345.678/0001-95");
        Sys_.Nome_Fantasia_Empresa = QStringLiteral("LOJA DEMO");
        Sys_.Codigo_do_Usuario = QStringLiteral("0007");
        Sys_.Numero_Controle_Dia = QStringLiteral("000042");
        Sys_.Numero_do_ECF = QStringLiteral("01");

        Raiz = FPasta.path() + QStringLiteral("/drive");
        for (const char* p : {"VENDAS", "CADASTRO", "CTACOR", "CTAREC", "CTAPAG", "ESTOQUE", "ICMS_IPI", "CHEQREC",
                              "COMPRAS", "UTILITAR"})
            QDir().mkpath(Raiz + QStringLiteral("/Sistemas/") + QString::fromLatin1(p));
        FUnidade = std::make_unique<TUnidadeTeste>(Raiz);
        // The schema is made below: a fresh server database has none yet.
        FDM = std::make_unique<TDM_BDE>(QStringList{Raiz}, TSessao::Padrao(), false);
        ASSERT_FALSE(Sys_.Fechar);
        TSessao::Padrao().SetTempoEsperaMs(100);
        CriarEsquemaERP(TSessao::Padrao());

        Dir = FPasta.path() + QStringLiteral("/ruxo/");
        QDir().mkpath(Dir + QStringLiteral("RETORNO"));
    }

    void TearDown() override
    {
        FDM.reset();
        TSessao::Padrao().Close();
        FUnidade.reset();
        TDateTime::RelogioDeTeste({});
        DefinirPausaPassoReducaoZ(-1);
        Log_ = nullptr;
        DefinirUI(nullptr);
        Sys_ = TSys{};
    }

    virtual IUIPort* UIEmUso() { return &UiConsole; }

    static void Relogio(QDateTime agora)
    {
        TDateTime::RelogioDeTeste([agora] { return agora; });
    }

    // A reduction whose every field differs from the others, so a value in the wrong column shows.
    static TReg_017 Reducao(int pk, TDateTime data, int ecf = 1, int cro = 3)
    {
        TReg_017 z;
        z.PK_Cupom = pk;
        z.COO_Inicial = 100 + pk;
        z.COO_Final = 200 + pk;
        z.GT_Inicial = C("1000.11");
        z.GT_Final = C("2000.22");
        z.CRZ = 40 + pk;
        z.Total_Cancelados = C("3.33");
        z.Total_Acrescimo = C("4.44");
        z.Total_Descontos = C("5.55");
        z.Total_Isento = C("6.66");
        z.Total_nao_incidencia = C("7.77");
        z.Total_de_Substituicao = C("8.88");
        z.Data_Reducao = data;
        z.Numero_do_ECF = ecf;
        z.Total_Bruto = C("9999.99");
        z.COO_Reducao_Z = 300 + pk;
        z.Cancelado_ISS = C("1.01");
        z.Acrescimo_ISS = C("1.02");
        z.Desconto_ISS = C("1.03");
        z.Isento_ISS = C("1.04");
        z.Nao_incidente_ISS = C("1.05");
        z.Substituicao_tributaria_ISS = C("1.06");
        z.Numero_de_Serie_do_ECF = QStringLiteral("BE0910SERIE");
        z.Numero_do_CRO = cro;
        return z;
    }

    static TReg_018 Aliquota(int pk, const char* servico, const char* aliquota, const char* base, const char* valor,
                             int indice, int ecf = 1)
    {
        TReg_018 r;
        r.PK_Cupom = pk;
        r.Numero_do_ECF = ecf;
        r.Servico = QString::fromLatin1(servico);
        r.Aliquota = C(aliquota);
        r.Base_de_calculo = C(base);
        r.Valor_Imposto = C(valor);
        r.Indice_da_aliquota = indice;
        return r;
    }

    // What the database file holds, read past the engine; one "a|b|c" text per row.
    QStringList Bruto(const QString& sql) const
    {
        QStringList r;
        if (FUnidade->Postgres()) {
            try {
                for (const QVariantList& valores : FUnidade->ConsultarNoServidor(sql, QStringLiteral("N_VENDAS"))) {
                    QStringList linha;
                    for (const QVariant& v : valores)
                        linha << (v.isNull() ? QStringLiteral("<null>") : TUnidadeTeste::TextoComoSQLite(v));
                    r << linha.join(u'|');
                }
            } catch (const Exception& e) {
                ADD_FAILURE() << e.Message().toStdString();
            }
            return r;
        }
        const QString arquivo = Raiz + QStringLiteral("/Sistemas/VENDAS/VENDAS.db");
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(arquivo.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << "abrir " << arquivo.toStdString();
            sqlite3_close(db);
            return r;
        }
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db) << " em " << sql.toStdString();
            sqlite3_close(db);
            return r;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList linha;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* t = sqlite3_column_text(st, c);
                linha << (t ? QString::fromUtf8(reinterpret_cast<const char*>(t)) : QStringLiteral("<null>"));
            }
            r << linha.join(u'|');
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return r;
    }

    // A change made behind the engine's back, with its connection closed.
    void ExecutaBruto(const QString& sql) const
    {
        if (FUnidade->Postgres()) {
            EXPECT_NO_THROW(FUnidade->ExecutarNoServidor(sql, QStringLiteral("N_VENDAS")));
            return;
        }
        TSessao::Padrao().Close();
        const QString arquivo = Raiz + QStringLiteral("/Sistemas/VENDAS/VENDAS.db");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(arquivo.toUtf8().constData(), &db), SQLITE_OK);
        char* erro = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &erro);
        EXPECT_EQ(rc, SQLITE_OK) << (erro ? erro : "");
        sqlite3_free(erro);
        sqlite3_close(db);
    }

    // Makes the database refuse inserts into `tabela` (when `condicao` holds) with `mensagem`,
    // by a trigger of whichever backend the drive is on.
    void Recusa(const char* tabela, const char* condicao, const char* mensagem) const
    {
        const QString t = QString::fromLatin1(tabela), c = QString::fromLatin1(condicao),
                      m = QString::fromLatin1(mensagem);
        if (FUnidade->Postgres())
            ExecutaBruto(QStringLiteral("create function recusa() returns trigger language plpgsql as "
                                        "$$ begin raise exception '%1'; end $$; "
                                        "create trigger recusa before insert on \"%2\" for each row %3 "
                                        "execute function recusa()")
                             .arg(m, t, c.isEmpty() ? QString() : QStringLiteral("when (%1)").arg(c)));
        else
            ExecutaBruto(QStringLiteral("create trigger recusa before insert on \"%1\" %2 "
                                        "begin select raise(abort, '%3'); end")
                             .arg(t, c.isEmpty() ? QString() : QStringLiteral("when %1").arg(c), m));
    }

    void SemRecusa(const char* tabela) const
    {
        if (FUnidade->Postgres())
            ExecutaBruto(QStringLiteral("drop trigger recusa on \"%1\"; drop function recusa()")
                             .arg(QString::fromLatin1(tabela)));
        else
            ExecutaBruto(QStringLiteral("drop trigger recusa"));
    }

    int Contagem(const char* tabela) const
    {
        const QStringList r = Bruto(QStringLiteral("select count(*) from \"%1\"").arg(QString::fromLatin1(tabela)));
        return r.isEmpty() ? -1 : r.first().toInt();
    }

    // The log's lines as plain text, framing and padding removed.
    QStringList Linhas() const
    {
        QStringList r;
        for (QString l : Log.LtLog()) {
            l = l.trimmed();
            if (l.startsWith(u'|'))
                l.remove(0, 1);
            if (l.endsWith(u'|'))
                l.chop(1);
            r << l.trimmed();
        }
        return r;
    }

    // The colour of the screen line holding `texto`; 0xFFFFFFFF when none does.
    uint CorDaLinha(const QString& texto) const
    {
        for (const TTelaMemoria::TLinha& linha : Tela.Linhas) {
            for (const TTelaMemoria::TPeca& p : linha)
                if (p.Texto.contains(texto))
                    return p.Cor;
        }
        return 0xFFFFFFFF;
    }

    QStringList Retorno() const { return QDir(Dir + QStringLiteral("RETORNO")).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir FPasta;
    QString Raiz;
    QString Dir;
    std::unique_ptr<TUnidadeTeste> FUnidade;
    std::unique_ptr<TDM_BDE> FDM;
    TTelaMemoria Tela;
    TLog Log;
    TUIConsole UiConsole;
};
