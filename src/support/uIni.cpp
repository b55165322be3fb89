#include "uIni.h"

#include "uCp1252.h"
#include "uErros.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <optional>

namespace {

// Lines of the file; nullopt when it exists but cannot be read.
std::optional<QStringList> LinhasDoArquivo(const QString& arquivo)
{
    QFile f(arquivo);
    if (!f.exists())
        return QStringList();
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList linhas = DivideLinhas(DecodificaCp1252(f.readAll()));
    // A file saved by an editor as UTF-8 starts with the byte-order mark; it is not part of
    // the first section's name.
    static const QString Bom = DecodificaCp1252("\xEF\xBB\xBF");
    if (!linhas.isEmpty() && linhas[0].startsWith(Bom))
        linhas[0].remove(0, Bom.size());
    return linhas;
}

std::optional<QString> NomeSecao(const QString& linha)
{
    QString t = linha.trimmed();
    if (t.startsWith(u'[')) {
        qsizetype fim = t.indexOf(u']');
        if (fim > 0)
            return t.mid(1, fim - 1).trimmed();
    }
    return std::nullopt;
}

// Key of a "key=value" line; nullopt for comments and lines without "=".
std::optional<QString> NomeChave(const QString& linha)
{
    QString t = linha.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return std::nullopt;
    qsizetype igual = t.indexOf(u'=');
    if (igual < 0)
        return std::nullopt;
    return t.left(igual).trimmed();
}

bool Igual(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QString LerValorIni(const QString& arquivo, const QString& secao, const QString& chave,
                    const QString& padrao)
{
    bool naSecao = false;
    const QStringList linhas = LinhasDoArquivo(arquivo).value_or(QStringList());
    for (const QString& linha : linhas) {
        if (auto s = NomeSecao(linha)) {
            if (naSecao)
                break;  // the first section of that name is the one that counts
            naSecao = Igual(*s, secao);
            continue;
        }
        if (!naSecao)
            continue;
        auto k = NomeChave(linha);
        if (k && Igual(*k, chave)) {
            QString valor = linha.mid(linha.indexOf(u'=') + 1).trimmed();
            if (valor.size() >= 2 && (valor.front() == u'"' || valor.front() == u'\'')
                && valor.back() == valor.front())
                valor = valor.mid(1, valor.size() - 2);
            return valor;
        }
    }
    return padrao;
}

void GravarValorIni(const QString& arquivo, const QString& secao, const QString& chave,
                    const QString& valor)
{
    QString limpo = valor;
    limpo.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    limpo.replace(u'\r', u' ');
    limpo.replace(u'\n', u' ');
    const QString novaLinha = chave + u'=' + limpo;

    // Rewriting a file we could not read, or one marked read-only, would lose what it holds.
    std::optional<QStringList> lidas = LinhasDoArquivo(arquivo);
    QFileInfo info(arquivo);
    // The write bits are checked too, not only access: a file marked read-only stays so even
    // for an administrator, as the read-only attribute does on Windows.
    const auto escrita = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!lidas || (info.exists() && (!info.isWritable() || !(info.permissions() & escrita))))
        throw EInOutError(QStringLiteral("Não foi possível gravar o arquivo ") + arquivo);
    QStringList linhas = *lidas;
    qsizetype inicio = -1;        // line of the section header
    qsizetype ultimaChave = -1;   // last key line of that section
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        if (auto s = NomeSecao(linhas[i])) {
            if (inicio >= 0)
                break;
            if (Igual(*s, secao)) {
                inicio = i;
                ultimaChave = i;
            }
            continue;
        }
        if (inicio < 0)
            continue;
        auto k = NomeChave(linhas[i]);
        if (!k)
            continue;
        if (Igual(*k, chave)) {
            linhas[i] = novaLinha;
            GravarArquivoCp1252(arquivo, linhas);
            return;
        }
        ultimaChave = i;
    }
    if (inicio >= 0) {
        linhas.insert(ultimaChave + 1, novaLinha);
    } else {
        linhas << u'[' + secao + u']' << novaLinha;
    }
    GravarArquivoCp1252(arquivo, linhas);
}
