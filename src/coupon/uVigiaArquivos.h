#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// Ruxo writes a coupon file in pieces; read in the middle, the file would be imported half and
// then deleted. A file counts as finished when its size and modification time are those of the
// previous look: a file already seen at the previous tick goes at once, a file seen for the first
// time is looked at again after a short pause in the same tick, so several finished files still
// go together in one tick; a file that changed since the previous look waits for the next tick.
class TVigiaArquivos
{
public:
    // The pause between the two looks at new files; tests replace it by what they need to happen.
    using TEspera = std::function<void()>;
    explicit TVigiaArquivos(int esperaMs = 300);
    void SetEspera(TEspera espera) { FEspera = std::move(espera); }

    // Of `nomes` in the folder `pasta` (ending with a separator), the finished ones, in order.
    QStringList Prontos(const QString& pasta, const QStringList& nomes);

private:
    struct TVisto
    {
        qint64 Tamanho = -1;
        QDateTime Modificado;
        bool operator==(const TVisto&) const = default;
    };
    static TVisto Olha(const QString& caminho);

    TEspera FEspera;
    QHash<QString, TVisto> FVistos;
};
