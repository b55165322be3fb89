#include "uVigiaArquivos.h"

#include <QFileInfo>
#include <QSet>
#include <QThread>

TVigiaArquivos::TVigiaArquivos(int esperaMs)
    : FEspera([esperaMs] { QThread::msleep(unsigned(esperaMs)); })
{
}

TVigiaArquivos::TVisto TVigiaArquivos::Olha(const QString& caminho)
{
    QFileInfo info(caminho);
    if (!info.exists())
        return {};
    return {info.size(), info.lastModified()};
}

QStringList TVigiaArquivos::Prontos(const QString& pasta, const QStringList& nomes)
{
    QSet<QString> prontos;
    QStringList novos;
    QHash<QString, TVisto> agora;
    for (const QString& nome : nomes) {
        const TVisto v = Olha(pasta + nome);
        agora.insert(nome, v);
        const auto antes = FVistos.constFind(nome);
        if (antes == FVistos.constEnd())
            novos << nome;
        else if (antes.value() == v && v.Tamanho >= 0)
            prontos.insert(nome);
        // Otherwise it changed since the previous tick: still being written.
    }
    if (!novos.isEmpty()) {
        FEspera();
        for (const QString& nome : novos) {
            const TVisto v = Olha(pasta + nome);
            if (v == agora.value(nome) && v.Tamanho >= 0)
                prontos.insert(nome);
            agora.insert(nome, v);
        }
    }
    // Names that went (imported, or taken by another workstation) are forgotten.
    FVistos = std::move(agora);

    QStringList r;
    for (const QString& nome : nomes)
        if (prontos.contains(nome))
            r << nome;
    return r;
}
