#include "uRuxo.h"

#include "uCp1252.h"

#include <QDir>
#include <QFileInfo>

TRuxo::TRuxo(const QString& DirBase) : FDirBase(QDir::fromNativeSeparators(DirBase))
{
    if (!FDirBase.isEmpty() && !FDirBase.endsWith(u'/'))
        FDirBase += u'/';
    FRetorno = std::make_unique<TRetorno>(this);
    FRemessa = std::make_unique<TRemessa>(this);
}

TRuxo::~TRuxo() = default;

QStringList CamposDoLog(const QString& linha)
{
    QStringList campos;
    if (linha.isEmpty())
        return campos;
    QString campo;
    bool entreAspas = false;
    for (qsizetype i = 0; i < linha.size(); ++i) {
        const QChar c = linha[i];
        if (entreAspas) {
            if (c == u'"') {
                if (i + 1 < linha.size() && linha[i + 1] == u'"') {
                    campo += c;
                    ++i;
                } else {
                    entreAspas = false;
                }
            } else {
                campo += c;
            }
        } else if (c == u'"') {
            entreAspas = true;
        } else if (c == u';') {
            campos.append(campo);
            campo.clear();
        } else {
            campo += c;
        }
    }
    campos.append(campo);
    return campos;
}

QStringList TRuxo::Status(bool& Ok, const QString& Arquivo) const
{
    Ok = false;
    if (!QFileInfo::exists(Arquivo))
        return {};
    const QStringList linhas = LerArquivoCp1252(Arquivo);
    for (const QString& linha : linhas) {
        // A blank line, or a "STATUS" line without its second field, is just one more message
        // for the user: stopping there would cost a day-closing import over a harmless line in
        // Ruxo's log.
        const QStringList campos = CamposDoLog(linha);
        if (campos.size() >= 2 && campos[0] == u"STATUS" && campos[1].trimmed() == u"OK")
            Ok = true;
    }
    return linhas;
}
