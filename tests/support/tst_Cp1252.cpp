#include "ImprimeQt.h"
#include "uCp1252.h"
#include "uErros.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Cp1252, TodosOs256BytesIdaEVolta)
{
    QByteArray todos;
    for (int b = 0; b < 256; ++b)
        todos.append(char(b));
    const QString texto = DecodificaCp1252(todos);
    ASSERT_EQ(texto.size(), 256);
    EXPECT_EQ(CodificaCp1252(texto), todos);

    // Decoding is injective: no two bytes share a character.
    QSet<QChar> vistos(texto.begin(), texto.end());
    EXPECT_EQ(vistos.size(), 256);

    struct Caso
    {
        unsigned char byte;
        char16_t caractere;
    };
    const Caso casos[] = {
        {0x41, u'A'},     {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x8A, u'\u0160'}, {0x8D, u'\u008D'},
        {0x8F, u'\u008F'}, {0x90, u'\u0090'}, {0x93, u'\u201C'}, {0x96, u'\u2013'}, {0x9D, u'\u009D'},
        {0x9F, u'\u0178'}, {0xA0, u'\u00A0'}, {0xC7, u'Ç'},      {0xE3, u'ã'},      {0xFF, u'ÿ'},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(texto[c.byte], QChar(c.caractere)) << int(c.byte);
}

TEST(Cp1252, ForaDoCodigoViraInterrogacao)
{
    EXPECT_EQ(CodificaCp1252(u"Ação €"), QByteArray("A\xE7\xE3o \x80"));
    EXPECT_EQ(CodificaCp1252(u"\u0100\u4E2D"), QByteArray("??"));
    // A character outside the basic plane is one character, one "?".
    EXPECT_EQ(CodificaCp1252(QString::fromUtf8("a\xF0\x9F\x98\x80" "b")), QByteArray("a?b"));
    // A lone surrogate is not a character of the page either.
    EXPECT_EQ(CodificaCp1252(QString(QChar(0xD800))), QByteArray("?"));
}

TEST(Cp1252, DivideLinhas)
{
    struct Caso
    {
        const char* texto;
        QStringList linhas;
    };
    const QList<Caso> casos = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
        {"\r\n", {""}},
        {"", {}},
        {"sem fim", {"sem fim"}},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(DivideLinhas(QString::fromUtf8(c.texto)), c.linhas) << c.texto;
}

TEST(Cp1252, GravaELeArquivos)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString caminho = QDir(dir.path()).filePath(QStringLiteral("RM000001.R"));
    GravarArquivoCp1252(caminho, {QStringLiteral("035Ação"), QString(), QStringLiteral("fim")});
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("035A\xE7\xE3o\r\n\r\nfim\r\n"));
    f.close();
    EXPECT_EQ(LerArquivoCp1252(caminho), (QStringList{QStringLiteral("035Ação"), QString(), QStringLiteral("fim")}));

    // Replacing leaves the new content and no temporary file behind.
    GravarArquivoCp1252(caminho, {QStringLiteral("outro")});
    EXPECT_EQ(LerArquivoCp1252(caminho), QStringList{QStringLiteral("outro")});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("RM000001.R")});

    GravarArquivoCp1252(caminho, {});
    EXPECT_EQ(QFileInfo(caminho).size(), 0);
}

TEST(Cp1252, ErrosNomeiamOArquivo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ausente = QDir(dir.path()).filePath(QStringLiteral("nao/existe.txt"));
    try {
        LerArquivoCp1252(ausente);
        FAIL() << "read of a missing file did not fail";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains(ausente)) << e.what();
    }
    try {
        GravarArquivoCp1252(ausente, {QStringLiteral("x")});
        FAIL() << "write into a missing folder did not fail";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains(ausente)) << e.what();
    }
    // A folder in the way of the target: the write fails and nothing is left behind.
    const QString pasta = QDir(dir.path()).filePath(QStringLiteral("ocupado"));
    ASSERT_TRUE(QDir().mkpath(pasta + QStringLiteral("/dentro")));
    EXPECT_THROW(GravarArquivoCp1252(pasta, {QStringLiteral("x")}), EInOutError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}
