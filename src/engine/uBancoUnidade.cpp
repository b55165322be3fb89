#include "uBancoUnidade.h"

#include "UModel.h"
#include "uErros.h"
#include "uEsquemaERP.h"
#include "uIni.h"
#include "uUIPort.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Secao = QStringLiteral("BANCO");

QString Chave(const QString& arquivo, const char* chave)
{
    return LerValorIni(arquivo, Secao, QString::fromLatin1(chave), QString());
}

void Erro(const QString& texto)
{
    UI().Mensagem(IUIPort::TTipoMensagem::Erro, texto);
}

}  // namespace

QString ArquivoBancoIni(const QString& raiz)
{
    return QDir::cleanPath(raiz + QStringLiteral("/Sistemas/BANCO.INI"));
}

TBancoUnidade LerBancoUnidade(const QString& raiz)
{
    TBancoUnidade r;
    const QString arquivo = ArquivoBancoIni(raiz);
    if (!QFileInfo(arquivo).isFile())
        return r;
    r.Arquivo = arquivo;
    const QString driver = Chave(arquivo, "Driver");
    if (driver.isEmpty() || driver.compare(u"SQLite", Qt::CaseInsensitive) == 0)
        return r;
    if (driver.compare(u"PostgreSQL", Qt::CaseInsensitive) != 0) {
        r.Driver = TBancoUnidade::TDriver::Desconhecido;
        r.Problema = QStringLiteral("Driver de banco de dados desconhecido em %1: %2").arg(QDir::toNativeSeparators(arquivo), driver);
        return r;
    }
    r.Driver = TBancoUnidade::TDriver::PostgreSQL;
    TConfigPostgres& c = r.Postgres;
    c.Host = Chave(arquivo, "Host");
    c.Banco = Chave(arquivo, "Banco");
    c.Usuario = Chave(arquivo, "Usuario");
    c.Senha = Chave(arquivo, "Senha");
    const QString porta = Chave(arquivo, "Porta");
    if (!porta.isEmpty()) {
        bool ok = false;
        c.Porta = porta.toInt(&ok);
        if (!ok || c.Porta <= 0 || c.Porta > 65535)
            r.Problema = QStringLiteral("Porta inválida do servidor PostgreSQL %1 em %2: %3")
                             .arg(c.Host, QDir::toNativeSeparators(arquivo), porta);
    }
    return r;
}

bool AbrirBancoDaUnidade(TSessao& sessao, const QString& raiz, bool exigeEsquemas)
{
    const TBancoUnidade banco = LerBancoUnidade(raiz);
    if (!banco.Problema.isEmpty()) {
        sessao.Close();
        Erro(banco.Problema);
        return false;
    }
    if (banco.Driver == TBancoUnidade::TDriver::SQLite) {
        if (sessao.Backend().Nome() != u"SQLite")
            sessao.SetBackend(CriarBackendSQLite());
        sessao.Open();
        return true;
    }
    // Always a new backend: a drive's settings may differ from the one the session had.
    sessao.SetBackend(CriarBackendPostgres(banco.Postgres));
    try {
        sessao.Open();
    } catch (const EDatabaseError& e) {
        Erro(e.Message());
        return false;
    }
    if (!exigeEsquemas)
        return true;
    RegistrarClasses();
    QStringList faltam;
    for (TTabelas t : TabelasDoEsquema()) {
        const QString alias = NomeAlias(DiretorioTabela(t));
        if (faltam.contains(alias) || !sessao.IsAlias(alias))
            continue;
        try {
            if (!sessao.Backend().ExisteBanco(alias))
                faltam << alias;
        } catch (const EDatabaseError& e) {
            sessao.Close();
            Erro(QStringLiteral("Servidor PostgreSQL %1: %2").arg(banco.Postgres.Descricao(), e.Message()));
            return false;
        }
    }
    if (!faltam.isEmpty()) {
        sessao.Close();
        Erro(QStringLiteral("O servidor PostgreSQL %1 não tem %2 %3 (as tabelas do ERP são criadas por teskvado-cli erp criar)")
                 .arg(banco.Postgres.Descricao(), faltam.size() == 1 ? QStringLiteral("o esquema") : QStringLiteral("os esquemas"),
                      faltam.join(QStringLiteral(", "))));
        return false;
    }
    return true;
}
