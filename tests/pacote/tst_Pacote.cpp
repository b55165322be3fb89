#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The installed programs are reached through relative links in /usr/bin; their pictures and
// INI must still be found from the real program folder, not from the link's.
TEST(LinkDoPrograma, PastaDoProgramaEIniSeguemOArquivoReal)
{
    QTemporaryDir raiz;
    ASSERT_TRUE(raiz.isValid());
    const QString pastaReal = raiz.filePath(QStringLiteral("usr/lib/teskvado"));
    const QString pastaLinks = raiz.filePath(QStringLiteral("usr/bin"));
    ASSERT_TRUE(QDir().mkpath(pastaReal));
    ASSERT_TRUE(QDir().mkpath(pastaLinks));
    const QString real = pastaReal + QStringLiteral("/teskvado");
    ASSERT_TRUE(QFile::copy(QStringLiteral(TV_MOSTRA_DIRETORIO), real));
    ASSERT_TRUE(QFile::link(QStringLiteral("../lib/teskvado/teskvado"), pastaLinks + QStringLiteral("/teskvado")));

    const struct {
        bool somenteLeitura;
        QString ini;
    } casos[] = {
        {false, pastaReal + QStringLiteral("/teskvado.ini")},
        {true, raiz.filePath(QStringLiteral("config/teskvado/teskvado.ini"))},
    };
    for (const auto& c : casos) {
        const auto rx = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                        | QFile::ReadOther | QFile::ExeOther;
        ASSERT_TRUE(QFile::setPermissions(pastaReal, c.somenteLeitura ? rx : rx | QFile::WriteOwner));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), raiz.filePath(QStringLiteral("config")));
        p.setProcessEnvironment(env);
        p.start(pastaLinks + QStringLiteral("/teskvado"), {});
        ASSERT_TRUE(p.waitForFinished(30000));
        ASSERT_EQ(p.exitCode(), 0);
        const QStringList linhas = QString::fromLocal8Bit(p.readAllStandardOutput()).split(u'\n');
        ASSERT_GE(linhas.size(), 2);
        EXPECT_EQ(linhas[0], pastaReal + u'/');
        EXPECT_EQ(linhas[1], c.ini) << (c.somenteLeitura ? "read-only program folder" : "writable program folder");
    }
    QFile::setPermissions(pastaReal, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
