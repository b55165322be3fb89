#include "uCp1252.h"

#include "uErros.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <array>
#include <filesystem>
#include <system_error>

namespace {

// 0x80..0x9F; the unassigned positions hold their own value.
constexpr std::array<char16_t, 32> Faixa80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ByteDe(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return char(cp);
    for (size_t i = 0; i < Faixa80.size(); ++i)
        if (Faixa80[i] == cp)
            return char(0x80 + i);
    return '?';
}

}  // namespace

QString DecodificaCp1252(QByteArrayView bytes)
{
    QString r;
    r.resize(bytes.size());
    QChar* d = r.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? QChar(Faixa80[b - 0x80]) : QChar(char16_t(b));
    }
    return r;
}

QByteArray CodificaCp1252(QStringView texto)
{
    QByteArray r;
    r.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        QChar c = texto[i];
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto[i + 1].isLowSurrogate()) {
            r.append('?');
            ++i;
            continue;
        }
        r.append(ByteDe(c.unicode()));
    }
    return r;
}

QStringList DivideLinhas(const QString& texto)
{
    QStringList linhas;
    qsizetype inicio = 0;
    const qsizetype n = texto.size();
    for (qsizetype i = 0; i < n; ++i) {
        QChar c = texto[i];
        if (c == u'\r' || c == u'\n') {
            linhas << texto.mid(inicio, i - inicio);
            if (c == u'\r' && i + 1 < n && texto[i + 1] == u'\n')
                ++i;
            inicio = i + 1;
        }
    }
    if (inicio < n)
        linhas << texto.mid(inicio);
    return linhas;
}

QStringList LerArquivoCp1252(const QString& caminho)
{
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Não foi possível ler o arquivo ") + caminho + QStringLiteral(": ")
                          + f.errorString());
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw EInOutError(QStringLiteral("Não foi possível ler o arquivo ") + caminho + QStringLiteral(": ")
                          + f.errorString());
    return DivideLinhas(DecodificaCp1252(bytes));
}

void GravarArquivoAtomico(const QString& caminho, QByteArrayView conteudo)
{
    auto falha = [&](const QString& motivo) {
        return EInOutError(QStringLiteral("Não foi possível gravar o arquivo ") + caminho + QStringLiteral(": ")
                           + motivo);
    };
    QFileInfo destino(caminho);
    QDir pasta = destino.absoluteDir();
    if (!pasta.exists())
        throw falha(QStringLiteral("a pasta não existe"));

    // The temporary name carries no dot, so no folder pattern such as "*.S*" or "*.R" of the
    // exchange ever picks up a file that is still being written.
    QFile temp;
    for (int tentativa = 0; tentativa < 16; ++tentativa) {
        QString nome = QStringLiteral("~tv%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QChar(u'0'));
        temp.setFileName(pasta.filePath(nome));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
    }
    if (!temp.isOpen())
        throw falha(temp.errorString());
    bool ok = temp.write(conteudo.data(), conteudo.size()) == conteudo.size() && temp.flush();
    QString erro = temp.errorString();
    temp.close();
    if (!ok) {
        temp.remove();
        throw falha(erro);
    }
    // std::filesystem::rename replaces an existing target in one step on both POSIX and Windows;
    // QFile::rename refuses to overwrite.
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(temp.fileName().toStdU16String()),
                            std::filesystem::path(destino.absoluteFilePath().toStdU16String()), ec);
    if (ec) {
        temp.remove();
        throw falha(QString::fromStdString(ec.message()));
    }
}

void GravarArquivoCp1252(const QString& caminho, const QStringList& linhas)
{
    QByteArray bytes;
    for (const QString& linha : linhas) {
        bytes += CodificaCp1252(linha);
        bytes += "\r\n";
    }
    GravarArquivoAtomico(caminho, bytes);
}
