#include "uArquivo.h"

#include "uErros.h"
#include "uRuxo.h"

#include <QDir>
#include <QFileInfo>

TArquivo::TArquivo(TRuxo* AOwner, const QString& tipoDeArquivo) : Reg_001(tipoDeArquivo), FOwner(AOwner) {}

void TArquivo::Nome_Arquivo(QString& Nome) { Q_UNUSED(Nome); }

QString TArquivo::Gerar_Reg_099() const { return Ruxo::GerarLinha(Reg_099); }

QString TArquivo::DirBase() const { return FOwner ? FOwner->DirBase() : QString(); }

QString TArquivo::ProximoNomeLivre(const QString& pasta, const QString& prefixo, const QString& extensao) const
{
    const QString base = DirBase() + pasta + u'/' + prefixo;
    QString nome;
    for (int n = 1; n < 1000000; ++n) {
        nome = base + Ruxo::GravarN(n, 6) + extensao;
        if (!QFileInfo::exists(nome))
            break;
    }
    return nome;
}

void TArquivo::ExigePasta(const QString& pasta) const
{
    const QString caminho = DirBase() + pasta;
    if (!QFileInfo(caminho).isDir())
        throw EInOutError(QStringLiteral("Pasta não encontrada: %1").arg(QDir::toNativeSeparators(caminho)));
}
