#include "uRemessaPendente.h"

#include "uCp1252.h"
#include "uErros.h"
#include "uLog.h"
#include "uRemessa.h"
#include "uRuxo.h"
#include "uRuxoLayout.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <deque>
#include <map>

namespace RemessaPendente {

namespace {

const QString Pendente = QStringLiteral(".pendente");
const QString Envio = QStringLiteral(".envio");
const QString Temporario = QStringLiteral("~tvpendente");

struct TItemMemoria
{
    QString Origem;
    QByteArray Conteudo;
};

// What one monitored directory has waiting in memory, and the cause last told, so that a cycle
// that meets the same cause again says nothing.
struct TFila
{
    std::deque<TItemMemoria> Memoria;
    QString UltimaCausa;
};

QString& PastaDefinida()
{
    static QString pasta;
    return pasta;
}

QString Normalizado(const QString& diretorio)
{
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(diretorio)).absoluteFilePath());
}

TFila& Fila(const QString& diretorio)
{
    static std::map<QString, TFila> filas;
    return filas[Normalizado(diretorio)];
}

QString Caminho(const QString& c) { return QDir::toNativeSeparators(c); }

void Erro(const QString& texto)
{
    if (Log_)
        Log_->TextoErro(texto);
}

void Atencao(const QString& texto)
{
    if (Log_)
        Log_->TextoAtencao(texto);
}

// Entry names: eight-digit sequence, token, coupon file: "00000003-<16 hex>-00004001.S01.pendente".
QString Token(const QString& entrada) { return entrada.section(u'-', 1, 1); }
QString Origem(const QString& entrada)
{
    QString resto = entrada.section(u'-', 2);
    for (const QString& sufixo : {Pendente, Envio})
        if (resto.endsWith(sufixo))
            resto.chop(sufixo.size());
    return resto;
}

QStringList Entradas(const QString& pasta, const QString& sufixo)
{
    return QDir(pasta).entryList({u'*' + sufixo}, QDir::Files | QDir::Hidden, QDir::Name);
}

QString PastaRemessa(const TRuxo& ruxo) { return ruxo.DirBase() + QStringLiteral("REMESSA"); }

QString ProximoNome(const TRuxo& ruxo)
{
    QString nome;
    ruxo.Remessa()->Nome_Arquivo(nome);
    return nome;
}

// The waiting entry goes into this program's folder; false when the folder cannot take it.
bool GuardaEmDisco(const QString& diretorio, const QString& origem, const QByteArray& conteudo, QString& causa)
{
    const QString pasta = PastaDoDiretorio(diretorio);
    if (!QDir().mkpath(pasta)) {
        causa = QStringLiteral("Não foi possível criar a pasta ") + Caminho(pasta);
        return false;
    }
    int ultimo = 0;
    for (const QString& sufixo : {Pendente, Envio})
        for (const QString& e : Entradas(pasta, sufixo))
            ultimo = qMax(ultimo, e.section(u'-', 0, 0).toInt());
    const QString token = QStringLiteral("%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QChar(u'0'));
    const QString nome = QStringLiteral("%1-%2-%3").arg(ultimo + 1, 8, 10, QChar(u'0')).arg(token, origem) + Pendente;
    try {
        // For a person looking into the folder: whose shipments these are.
        const QString dono = pasta + QStringLiteral("DIRETORIO.txt");
        if (!QFileInfo::exists(dono))
            GravarArquivoAtomico(dono, Caminho(diretorio).toUtf8());
        GravarArquivoAtomico(pasta + nome, conteudo);
    } catch (const std::exception& e) {
        causa = MensagemDe(e);
        return false;
    }
    return true;
}

void Guarda(const QString& diretorio, const QString& origem, const QByteArray& conteudo)
{
    TFila& fila = Fila(diretorio);
    QString causa;
    // Behind one that waits in memory, a new one on disk would be delivered first.
    if (fila.Memoria.empty() && GuardaEmDisco(diretorio, origem, conteudo, causa))
        return;
    if (!causa.isEmpty())
        Erro(QStringLiteral("Remessa de estoque do arquivo %1 guardada só na memória até ser entregue: %2").arg(origem, causa));
    fila.Memoria.push_back({origem, conteudo});
}

// Tells a delivery failure once per cause.
void Falhou(TFila& fila, const QString& diretorio, const QString& causa)
{
    if (causa == fila.UltimaCausa)
        return;
    fila.UltimaCausa = causa;
    Erro(QStringLiteral("Remessa de estoque pendente não entregue (%1 aguardando): %2")
             .arg(Aguardando(diretorio))
             .arg(causa));
}

void Entregue(const QString& origem, const QString& nome)
{
    Atencao(QStringLiteral("Remessa de estoque pendente do arquivo %1 entregue: %2").arg(origem, Caminho(nome)));
}

bool GravaTemporario(const QString& caminho, const QByteArray& conteudo, QString& causa)
{
    QFile f(caminho);
    bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(conteudo) == conteudo.size() && f.flush();
    if (ok)
        f.close();
    ok = ok && f.error() == QFileDevice::NoError;
    if (!ok) {
        causa = QStringLiteral("Não foi possível gravar o arquivo ") + Caminho(caminho) + QStringLiteral(": ") +
                f.errorString();
        f.close();
        QFile::remove(caminho);
    }
    return ok;
}

}  // namespace

void DefinirPasta(const QString& pasta) { PastaDefinida() = pasta; }

QString Pasta()
{
    QString pasta = PastaDefinida();
    if (pasta.isEmpty()) {
        // Beside the Logs folder, which is the program's own folder when it can be written.
        QString base = QFileInfo(TLog::PastaArquivoPadrao()).path();
        if (!QFileInfo(base).isWritable())
            base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        pasta = base + QStringLiteral("/RemessasPendentes");
    }
    if (!pasta.endsWith(u'/'))
        pasta += u'/';
    return pasta;
}

QString PastaDoDiretorio(const QString& diretorio)
{
    const QByteArray chave =
        QCryptographicHash::hash(Normalizado(diretorio).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return Pasta() + QString::fromLatin1(chave) + u'/';
}

int Aguardando(const QString& diretorio)
{
    const QString pasta = PastaDoDiretorio(diretorio);
    return int(Entradas(pasta, Pendente).size() + Entradas(pasta, Envio).size() + Fila(diretorio).Memoria.size());
}

void Enviar(TRemessa& remessa, const QString& diretorio, const QString& origem)
{
    TFila& fila = Fila(diretorio);
    if (Aguardando(diretorio) > 0) {
        Guarda(diretorio, origem, remessa.Conteudo(rm035));
        Atencao(QStringLiteral("Remessa de estoque do arquivo %1 aguarda as anteriores").arg(origem));
        Entregar(diretorio);
        return;
    }
    try {
        remessa.Gerar(rm035);
        return;
    } catch (const std::exception& e) {
        fila.UltimaCausa = MensagemDe(e);
    }
    Erro(QStringLiteral("Arquivo %1 importado, mas a remessa de estoque não foi gravada: %2; ela fica pendente e "
                        "vai para REMESSA quando a pasta aceitar")
             .arg(origem, fila.UltimaCausa));
    Guarda(diretorio, origem, remessa.Conteudo(rm035));
}

int Entregar(const QString& diretorio)
{
    TFila& fila = Fila(diretorio);
    const QString pasta = PastaDoDiretorio(diretorio);
    const TRuxo ruxo(diretorio);
    const QString remessa = PastaRemessa(ruxo);
    int entregues = 0;

    // A delivery a crash interrupted: the temporary file still there was not renamed yet.
    for (const QString& envio : Entradas(pasta, Envio)) {
        const QString temporario = remessa + u'/' + Temporario + Token(envio);
        if (QFileInfo::exists(temporario)) {
            const QString nome = ProximoNome(ruxo);
            if (!QFile::rename(temporario, nome)) {
                Falhou(fila, diretorio, QStringLiteral("Não foi possível mover ") + Caminho(temporario) +
                                            QStringLiteral(" para ") + Caminho(nome));
                return entregues;
            }
            Entregue(Origem(envio), nome);
            ++entregues;
        }
        QFile::remove(pasta + envio);
    }

    for (const QString& entrada : Entradas(pasta, Pendente)) {
        if (!QFileInfo(remessa).isDir()) {
            Falhou(fila, diretorio, QStringLiteral("Pasta não encontrada: %1").arg(Caminho(remessa)));
            return entregues;
        }
        QFile f(pasta + entrada);
        if (!f.open(QIODevice::ReadOnly)) {
            Falhou(fila, diretorio, QStringLiteral("Não foi possível ler ") + Caminho(pasta + entrada));
            return entregues;
        }
        const QByteArray conteudo = f.readAll();
        f.close();
        const QString temporario = remessa + u'/' + Temporario + Token(entrada);
        const QString envio = pasta + entrada.chopped(Pendente.size()) + Envio;
        QString causa;
        if (!GravaTemporario(temporario, conteudo, causa)) {
            Falhou(fila, diretorio, causa);
            return entregues;
        }
        if (!QFile::rename(pasta + entrada, envio)) {
            QFile::remove(temporario);
            Falhou(fila, diretorio, QStringLiteral("Não foi possível mover ") + Caminho(pasta + entrada));
            return entregues;
        }
        const QString nome = ProximoNome(ruxo);
        if (!QFile::rename(temporario, nome)) {
            // Back to waiting before the temporary file goes: a ".envio" without it means delivered.
            QFile::rename(envio, pasta + entrada);
            QFile::remove(temporario);
            Falhou(fila, diretorio, QStringLiteral("Não foi possível gravar ") + Caminho(nome));
            return entregues;
        }
        QFile::remove(envio);
        Entregue(Origem(entrada), nome);
        ++entregues;
    }

    while (!fila.Memoria.empty()) {
        const TItemMemoria& item = fila.Memoria.front();
        if (!QFileInfo(remessa).isDir()) {
            Falhou(fila, diretorio, QStringLiteral("Pasta não encontrada: %1").arg(Caminho(remessa)));
            return entregues;
        }
        const QString nome = ProximoNome(ruxo);
        try {
            GravarArquivoAtomico(nome, item.Conteudo);
        } catch (const std::exception& e) {
            Falhou(fila, diretorio, MensagemDe(e));
            return entregues;
        }
        Entregue(item.Origem, nome);
        fila.Memoria.pop_front();
        ++entregues;
    }
    fila.UltimaCausa.clear();
    return entregues;
}

}  // namespace RemessaPendente
