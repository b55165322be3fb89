#pragma once
// The fixture of the importer-as-a-process tests: a data drive with the demo company and Ruxo's
// folders under one root, coupon files written line by line, the importer's runs, and what the
// ERP and the folders hold afterwards, read straight from the database files.

#include "Currency.h"
#include "TDateTime.h"
#include "UModel.h"
#include "uCp1252.h"
#include "uDM_BDE.h"
#include "uEsquemaERP.h"
#include "uExecCMD.h"
#include "uRuxoLayout.h"
#include "uSessao.h"
#include "uSys.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace ArquivosTeste {

inline const QDate Hoje(2026, 3, 15);

inline Currency C(const char* texto) { return *Currency::Parse(QString::fromLatin1(texto)); }

inline QString Drive(const QString& raiz) { return raiz + QStringLiteral("/drive"); }
inline QString Ruxo(const QString& raiz) { return raiz + QStringLiteral("/ruxo/"); }

inline void CriaUnidade(const QString& raiz)
{
    TDateTime::RelogioDeTeste([] { return QDateTime(Hoje, QTime(10, 30, 0)); });
    RegistrarClasses();
    for (const char* p : {"VENDAS", "CADASTRO", "CTACOR", "CTAREC", "CTAPAG", "ESTOQUE", "ICMS_IPI", "CHEQREC",
                          "COMPRAS", "UTILITAR"})
        QDir().mkpath(Drive(raiz) + QStringLiteral("/Sistemas/") + QString::fromLatin1(p));
    for (const char* p : {"ONLINE", "REMESSA"})
        QDir().mkpath(Ruxo(raiz) + QString::fromLatin1(p));
    {
        TDM_BDE dm(QStringList{Drive(raiz)});
        CriarDemoERP(TSessao::Padrao(), TDateTime::Now());
        TSessao::Padrao().Close();
    }
    Sys_ = TSys{};
    TDateTime::RelogioDeTeste({});
}

// `quantos` coupons from number `primeiro` on, two demo items each and one payment, in Ruxo's
// order; every third coupon is paid in instalments.
inline QStringList LinhasCupons(int quantos, int primeiro)
{
    QStringList linhas;
    const char* const itens[] = {"000001", "000002", "000003"};
    for (int n = primeiro; n < primeiro + quantos; ++n) {
        TReg_011 c;
        c.Numero_do_ECF = 1;
        c.Numero_do_Cupom = n;
        c.Data = TDateTime::FromDate(Hoje);
        c.Valor_dos_Produtos = C("30");
        c.Valor_do_Cupom = C("30");
        c.Horario_de_inicio = TDateTime::Encode(2026, 3, 15, 9, 45);
        linhas << Ruxo::GerarLinha(c);
        for (int ordem = 1; ordem <= 2; ++ordem) {
            TReg_012 i;
            i.Numero_do_ECF = 1;
            i.Numero_do_Cupom = n;
            i.Ordem_do_item = ordem;
            i.Codigo_Produto = QString::fromLatin1(itens[(n + ordem) % 3]);
            i.Descricao_do_produto = QStringLiteral("PRODUTO ") + i.Codigo_Produto;
            i.Unidade = QStringLiteral("UN");
            i.Quantidade = Currency(ordem);
            i.Preco_de_venda = C("10");
            i.IAT = QStringLiteral("A");
            i.Codigo_adicional_informado = i.Codigo_Produto;
            linhas << Ruxo::GerarLinha(i);
        }
        TReg_013 p;
        p.Numero_do_ECF = 1;
        p.Numero_do_Cupom = n;
        p.Forma_de_pagamento = 1;
        p.Valor = C("30");
        p.Data_de_Vencimento = TDateTime::FromDate(Hoje.addDays(30));
        p.Condicao_de_Pagamento = QStringLiteral("V");
        linhas << Ruxo::GerarLinha(p);
    }
    return linhas;
}

inline void DepositaCupons(const QString& raiz, const QString& nome, int quantos, int primeiro)
{
    const QString online = Ruxo(raiz) + QStringLiteral("ONLINE/");
    GravarArquivoCp1252(online + nome, LinhasCupons(quantos, primeiro));
    GravarArquivoCp1252(online + TExecCmd::NomeCompanheiro(nome, u'A'), {QStringLiteral("a")});
    GravarArquivoCp1252(online + TExecCmd::NomeCompanheiro(nome, u'L'), {QStringLiteral("l")});
}

inline bool CopiaPasta(const QString& de, const QString& para)
{
    QDirIterator it(de, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    if (!QDir().mkpath(para))
        return false;
    while (it.hasNext()) {
        const QString origem = it.next();
        const QString destino = para + origem.mid(de.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(destino))
                return false;
        } else if (!QFile::copy(origem, destino)) {
            return false;
        }
    }
    return true;
}

struct TRodada
{
    QProcess::ExitStatus Saida = QProcess::CrashExit;
    int Codigo = -1;
    QString Log;     // the run's operation log
    QString Erros;   // standard error: the statement trace when asked for
};

inline QProcess* IniciaImportador(const QString& raiz, const QList<std::pair<QString, QString>>& ambiente = {},
                                  const QStringList& extras = {})
{
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TESKVADO_MATAR_APOS"));
    env.remove(QStringLiteral("TESKVADO_SQL"));
    for (const auto& [k, v] : ambiente)
        env.insert(k, v);
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(TV_IMPORTADOR),
             QStringList{Drive(raiz), Ruxo(raiz), Hoje.toString(Qt::ISODate)} + extras);
    return p;
}

inline TRodada Termina(QProcess* p)
{
    TRodada r;
    p->waitForFinished(60000);
    r.Saida = p->exitStatus();
    r.Codigo = p->exitCode();
    r.Log = QString::fromUtf8(p->readAllStandardOutput());
    r.Erros = QString::fromUtf8(p->readAllStandardError());
    delete p;
    return r;
}

inline TRodada Importador(const QString& raiz, const QList<std::pair<QString, QString>>& ambiente = {},
                          const QStringList& extras = {})
{
    return Termina(IniciaImportador(raiz, ambiente, extras));
}

inline QVariant Consulta(const QString& arquivo, const char* sql)
{
    sqlite3* db = nullptr;
    QVariant r;
    if (sqlite3_open_v2(arquivo.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK) {
            QStringList linhas;
            while (sqlite3_step(st) == SQLITE_ROW) {
                QStringList campos;
                for (int i = 0; i < sqlite3_column_count(st); ++i)
                    campos << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
                linhas << campos.join(u'=');
            }
            r = linhas.join(u' ');
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return r;
}

struct TEstado
{
    int Documentos = 0;
    int Itens = 0;
    int Parcelas = 0;
    int Diario = 0;
    int Remessas = 0;
    QString Saldos;        // item=balance, for every stock row
    QStringList Sobras;    // anything left in ONLINE/ and below it
};

inline TEstado Estado(const QString& raiz)
{
    const QString vendas = Drive(raiz) + QStringLiteral("/Sistemas/VENDAS/VENDAS.db");
    const QString estoque = Drive(raiz) + QStringLiteral("/Sistemas/ESTOQUE/ESTOQUE.db");
    TEstado e;
    e.Documentos = Consulta(vendas, "select count(*) from NOTAC").toInt();
    e.Itens = Consulta(vendas, "select count(*) from NOTAI").toInt();
    e.Parcelas = Consulta(vendas, "select count(*) from NOTAV").toInt();
    e.Diario = Consulta(vendas, "select count(*) from TESK_IMPORTADOS").toInt();
    e.Saldos = Consulta(estoque, "select \"Codigo do Item\", \"Saldo Atual\" from SDESTQ order by 1").toString();
    e.Remessas = int(QDir(Ruxo(raiz) + QStringLiteral("REMESSA")).entryList({QStringLiteral("RM*.R")}, QDir::Files).size());
    QDirIterator it(Ruxo(raiz) + QStringLiteral("ONLINE"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.endsWith(QStringLiteral(".trava")))
            e.Sobras << f.mid(Ruxo(raiz).size());
    }
    return e;
}

}  // namespace ArquivosTeste
