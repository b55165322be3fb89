// libFuzzer target for the return file reader: whatever bytes Ruxo (or a broken disk) leaves in
// ONLINE must end in records or in one of our exceptions, never in a crash or a hang.
#include "uRuxo.h"
#include "uSys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho)
{
    static QTemporaryDir dir;
    static const bool pronto = QDir(dir.path()).mkpath(QStringLiteral("ONLINE"));
    if (!pronto)
        return 0;
    const QString arquivo = dir.path() + QStringLiteral("/ONLINE/00000001.S01");
    {
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(dados), qint64(tamanho));
    }
    // Each input starts from an empty store of cancelled items, so a run can be replayed alone.
    QFile::remove(dir.path() + QStringLiteral("/CANCELADOS/CANCELADOS.V"));
    Sys_.Codigo_do_Cliente = (tamanho > 0 && (dados[0] & 1)) ? QStringLiteral("0022") : QString();

    TRuxo ruxo(dir.path());
    try {
        ruxo.Retorno()->Ler(arquivo);
    } catch (const Exception&) {
    }
    return 0;
}
