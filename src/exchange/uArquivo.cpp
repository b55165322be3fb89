#include "uArquivo.h"

#include "uErros.h"
#include "uRuxo.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

TArquivo::TArquivo(TRuxo* AOwner, const QString& tipoDeArquivo) : Reg_001(tipoDeArquivo), FOwner(AOwner) {}

void TArquivo::Nome_Arquivo(QString& Nome) { Q_UNUSED(Nome); }

QString TArquivo::Gerar_Reg_099() const { return Ruxo::GerarLinha(Reg_099); }

QString TArquivo::DirBase() const { return FOwner ? FOwner->DirBase() : QString(); }

// The folder is listed once: probing the names one by one from 1 made every shipment cost as many
// look-ups as there were shipments Ruxo had not yet taken, which grew without bound while it was
// offline.
QString TArquivo::ProximoNomeLivre(const QString& pasta, const QString& prefixo, const QString& extensao) const
{
    const QString base = DirBase() + pasta + u'/' + prefixo;
    constexpr int Digitos = 6;
    constexpr int Ultimo = 999999;
    QSet<int> usados;
    const QStringList nomes = QDir(DirBase() + pasta)
                                  .entryList({prefixo + u'*' + extensao}, QDir::Files | QDir::Hidden | QDir::CaseSensitive);
    for (const QString& nome : nomes) {
        if (nome.size() != prefixo.size() + Digitos + extensao.size())
            continue;
        const QString digitos = nome.mid(prefixo.size(), Digitos);
        bool ok = false;
        const int n = digitos.toInt(&ok);
        if (ok && n >= 1 && digitos == Ruxo::GravarN(n, Digitos))
            usados.insert(n);
    }
    int n = 1;
    while (n < Ultimo && usados.contains(n))
        ++n;
    return base + Ruxo::GravarN(n, Digitos) + extensao;
}

void TArquivo::ExigePasta(const QString& pasta) const
{
    const QString caminho = DirBase() + pasta;
    if (!QFileInfo(caminho).isDir())
        throw EInOutError(QStringLiteral("Pasta não encontrada: %1").arg(QDir::toNativeSeparators(caminho)));
}
