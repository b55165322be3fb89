#include "uDiarioImportacao.h"

#include "uCp1252.h"
#include "uErros.h"
#include "uEsquemaERP.h"
#include "uExecCMD.h"
#include "uLog.h"
#include "uQuery.h"
#include "uSessao.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <map>
#include <memory>

namespace DiarioImportacao {

namespace {

const QString Sufixo = QStringLiteral(".trava");

QString Caminho(const QString& c) { return QDir::toNativeSeparators(c); }

// The locks of this process's claim folders, one per monitored directory, held while an import
// runs: a live lock is what tells another process's recovery to keep its hands off the folder.
std::map<QString, std::unique_ptr<QLockFile>>& Travas()
{
    static std::map<QString, std::unique_ptr<QLockFile>> travas;
    return travas;
}

QString PastaPropria(const QString& pastaOnline)
{
    const QString reservas = PastaReservas(pastaOnline);
    const QString pasta = reservas + Estacao() + u'/';
    auto& travas = Travas();
    if (travas.find(pasta) == travas.end()) {
        if (!QDir().mkpath(pasta))
            throw EInOutError(QStringLiteral("Não foi possível criar a pasta ") + Caminho(pasta));
        auto trava = std::make_unique<QLockFile>(reservas + Estacao() + Sufixo);
        trava->setStaleLockTime(0);
        // Another process's recovery may hold it a moment while it removes our empty folder.
        if (!trava->tryLock(5000) || !QDir().mkpath(pasta))
            throw EInOutError(QStringLiteral("Não foi possível travar ") + Caminho(reservas + Estacao() + Sufixo));
        travas.emplace(pasta, std::move(trava));
    }
    return pasta;
}

void Remove(const QString& caminho)
{
    if (QFileInfo::exists(caminho) && !QFile::remove(caminho))
        throw EInOutError(QStringLiteral("Erro ao apagar: ") + Caminho(caminho));
}

void Linha(bool erro, const QString& texto)
{
    if (!Log_)
        return;
    if (erro)
        Log_->TextoErro(texto);
    else
        Log_->TextoAtencao(texto);
}

// One claimed file of a process that is gone.
void RecuperaArquivo(const QString& pastaOnline, const QString& reservado)
{
    const QString nome = QFileInfo(reservado).fileName();
    const QByteArray hash = HashArquivo(reservado);
    if (hash.isEmpty())
        throw EInOutError(QStringLiteral("Não foi possível ler ") + Caminho(reservado));

    if (Registrado(nome, hash)) {
        Remove(reservado);
        Remove(pastaOnline + TExecCmd::NomeCompanheiro(nome, u'A'));
        Remove(pastaOnline + TExecCmd::NomeCompanheiro(nome, u'L'));
        ApagaCopiaCancelados(reservado);
        Linha(false, QStringLiteral("Importação interrompida do arquivo %1 já gravada: limpeza concluída").arg(nome));
        return;
    }

    // The store of cancelled items goes back to what the interrupted reading found, so the file
    // reads the same when the next cycle imports it.
    const QString copia = CopiaCancelados(reservado);
    const QString cancelados = pastaOnline.left(pastaOnline.size() - QStringLiteral("ONLINE/").size()) +
                               QStringLiteral("CANCELADOS/CANCELADOS.V");
    if (QFileInfo::exists(copia)) {
        QFile c(copia);
        if (!c.open(QIODevice::ReadOnly))
            throw EInOutError(QStringLiteral("Não foi possível ler ") + Caminho(copia));
        GravarArquivoAtomico(cancelados, c.readAll());
    } else if (QFileInfo::exists(copia + QStringLiteral(".SEM"))) {
        Remove(cancelados);
    }

    QString destino = pastaOnline + nome;
    bool rejeitado = false;
    if (QFileInfo::exists(destino)) {
        // Ruxo wrote a new file of the same name meanwhile; neither may be lost.
        const QString rejeitados = TExecCmd::PastaRejeitados(pastaOnline.left(pastaOnline.size() - 7));
        QDir().mkpath(rejeitados);
        destino = rejeitados + nome;
        for (int n = 1; QFileInfo::exists(destino); ++n)
            destino = rejeitados + nome + u'.' + QString::number(n);
        rejeitado = true;
    }
    if (!QFile::rename(reservado, destino))
        throw EInOutError(QStringLiteral("Não foi possível devolver ") + Caminho(reservado) +
                          QStringLiteral(" para ") + Caminho(destino));
    ApagaCopiaCancelados(reservado);
    Linha(rejeitado, QStringLiteral("Importação interrompida do arquivo %1 desfeita: arquivo devolvido para %2")
                         .arg(nome, Caminho(destino)));
}

}  // namespace

QString Estacao()
{
    QString host = QSysInfo::machineHostName();
    for (QChar& c : host)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_')
            c = u'_';
    return (host.isEmpty() ? QStringLiteral("local") : host) + u'-' + QString::number(QCoreApplication::applicationPid());
}

QString PastaReservas(const QString& pastaOnline) { return pastaOnline + QStringLiteral("IMPORTANDO/"); }

QString Reserva(const QString& pastaOnline, const QString& nome)
{
    const QString origem = pastaOnline + nome;
    if (!QFileInfo::exists(origem))
        return {};
    const QString destino = PastaPropria(pastaOnline) + nome;
    if (QFileInfo::exists(destino))
        throw EInOutError(QStringLiteral("Arquivo já reservado: ") + Caminho(destino));
    if (QFile::rename(origem, destino))
        return destino;
    // The other importer's rename won between the look and ours.
    if (!QFileInfo::exists(origem))
        return {};
    throw EInOutError(QStringLiteral("Não foi possível mover ") + Caminho(origem) + QStringLiteral(" para ") +
                      Caminho(destino));
}

void Libera(const QString& pastaOnline)
{
    Travas().erase(PastaReservas(pastaOnline) + Estacao() + u'/');
}

QString CopiaCancelados(const QString& reservado) { return reservado + QStringLiteral(".CANCELADOS"); }

void GuardaCopiaCancelados(const QString& reservado, bool existia, const QByteArray& conteudo)
{
    const QString copia = CopiaCancelados(reservado);
    if (existia) {
        GravarArquivoAtomico(copia, conteudo);
    } else {
        GravarArquivoAtomico(copia + QStringLiteral(".SEM"), QByteArray());
    }
}

void ApagaCopiaCancelados(const QString& reservado)
{
    const QString copia = CopiaCancelados(reservado);
    Remove(copia);
    Remove(copia + QStringLiteral(".SEM"));
}

QByteArray Hash(const QByteArray& conteudo)
{
    return QCryptographicHash::hash(conteudo, QCryptographicHash::Sha256).toHex();
}

QByteArray HashArquivo(const QString& caminho)
{
    QFile f(caminho);
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !h.addData(&f))
        return {};
    return h.result().toHex();
}

// Once per state of the session: its generation moves whenever it is opened, closed or pointed at
// other folders, which is when the table may be missing; the import asks before every file.
void Garantir(TSessao& sessao)
{
    static const TSessao* garantida = nullptr;
    static quint64 geracao = 0;
    if (garantida == &sessao && geracao == sessao.Geracao())
        return;
    GarantirDiarioImportacao(sessao);
    garantida = &sessao;
    geracao = sessao.Geracao();
}

void Registra(const QString& nome, const QByteArray& hash)
{
    TQuery q;
    q.SetDatabaseName(QStringLiteral("N_VENDAS"));
    q.SQL().Add(QStringLiteral("insert into \":N_VENDAS:TESK_IMPORTADOS\" "
                               "(\"Nome do Arquivo\", \"Hash do Conteudo\", \"Estacao\", \"Data da Importacao\") "
                               "values (:pNome, :pHash, :pEstacao, :pData)"));
    q.ParamByName(QStringLiteral("pNome")).SetAsString(nome);
    q.ParamByName(QStringLiteral("pHash")).SetAsString(QString::fromLatin1(hash));
    q.ParamByName(QStringLiteral("pEstacao")).SetAsString(Estacao());
    q.ParamByName(QStringLiteral("pData")).SetAsDateTime(TDateTime::Now());
    q.ExecSQL();
}

bool Registrado(const QString& nome, const QByteArray& hash)
{
    TQuery q;
    q.SetDatabaseName(QStringLiteral("N_VENDAS"));
    q.SQL().Add(QStringLiteral("select count(*) from \":N_VENDAS:TESK_IMPORTADOS\" where "
                               "(TESK_IMPORTADOS.\"Nome do Arquivo\" = :pNome) and "
                               "(TESK_IMPORTADOS.\"Hash do Conteudo\" = :pHash)"));
    q.ParamByName(QStringLiteral("pNome")).SetAsString(nome);
    q.ParamByName(QStringLiteral("pHash")).SetAsString(QString::fromLatin1(hash));
    q.Open();
    const bool achou = !q.IsEmpty() && q.AsInteger(0) > 0;
    q.Close();
    return achou;
}

int Recuperar(const QString& diretorio)
{
    const QString pastaOnline = diretorio + QStringLiteral("ONLINE/");
    const QString reservas = PastaReservas(pastaOnline);
    if (!QFileInfo(reservas).isDir())
        return 0;
    Garantir(TSessao::Padrao());
    int tratados = 0;
    const QStringList pastas = QDir(reservas).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString& estacao : pastas) {
        const QString pasta = reservas + estacao + u'/';
        if (Travas().count(pasta))
            continue;  // our own, alive by definition
        QLockFile trava(reservas + estacao + Sufixo);
        trava.setStaleLockTime(0);
        if (!trava.tryLock(0))
            continue;  // its process is still importing
        const QStringList arquivos = QDir(pasta).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QString& nome : arquivos) {
            if (nome.endsWith(QStringLiteral(".CANCELADOS")) || nome.endsWith(QStringLiteral(".CANCELADOS.SEM")))
                continue;
            RecuperaArquivo(pastaOnline, pasta + nome);
            ++tratados;
        }
        // Leftovers: a copy whose file had already gone, a temporary file of an atomic write.
        for (const QString& nome : QDir(pasta).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(pasta + nome);
        QDir().rmdir(pasta);
        trava.unlock();
    }
    return tratados;
}

}  // namespace DiarioImportacao
