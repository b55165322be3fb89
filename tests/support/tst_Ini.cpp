#include "ImprimeQt.h"
#include "uBibliot.h"
#include "uCp1252.h"
#include "uErros.h"
#include "uIni.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class IniTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        arquivo = QDir(dir.path()).filePath(QStringLiteral("teskvado.ini"));
    }
    void Escreve(const QByteArray& bytes)
    {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Conteudo()
    {
        QFile f(arquivo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString arquivo;
};

}  // namespace

TEST_F(IniTest, LeituraComPadroes)
{
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Empresa", "pad"), QStringLiteral("pad"));  // no file

    Escreve("; comentario\r\n[OUTRA]\r\nEmpresa=9999\r\n"
            "[parametros]\nEmpresa = 0022 \nUsuario=\"0175\"\nVazio=\nsemigual\nDiretorio=C:\\Ruxo\\a=b\n"
            "[PARAMETROS]\nEmpresa=segunda\n");
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "empresa", "pad"), QStringLiteral("0022"));  // first section wins
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Usuario", "pad"), QStringLiteral("0175"));
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Vazio", "pad"), QString());
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Diretorio", ""), QStringLiteral("C:\\Ruxo\\a=b"));
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "semigual", "pad"), QStringLiteral("pad"));
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Falta", "pad"), QStringLiteral("pad"));
    EXPECT_EQ(LerValorIni(arquivo, "NENHUMA", "Empresa", "pad"), QStringLiteral("pad"));

    // Not an INI at all, or a folder in its place: still the default.
    Escreve(QByteArray("\x00\xFF\x13garbage=\x01", 12));
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Empresa", "pad"), QStringLiteral("pad"));
    EXPECT_EQ(LerValorIni(dir.path(), "PARAMETROS", "Empresa", "pad"), QStringLiteral("pad"));
}

TEST_F(IniTest, GravacaoMantemAOrdemEAcrescentaNaSecao)
{
    GravarValorIni(arquivo, "PARAMETROS", "Empresa", "0022");  // creates the file
    EXPECT_EQ(Conteudo(), QByteArray("[PARAMETROS]\r\nEmpresa=0022\r\n"));

    Escreve("[PARAMETROS]\r\nEmpresa=0022\r\nUsuario=0175\r\n\r\n[OUTRA]\r\nX=1\r\n");
    GravarValorIni(arquivo, "parametros", "EMPRESA", "0030");
    GravarValorIni(arquivo, "PARAMETROS", "Intervalo", "10");
    GravarValorIni(arquivo, "NOVA", "Chave", "Ação");
    EXPECT_EQ(Conteudo(), QByteArray("[PARAMETROS]\r\nEMPRESA=0030\r\nUsuario=0175\r\nIntervalo=10\r\n\r\n"
                                     "[OUTRA]\r\nX=1\r\n[NOVA]\r\nChave=A\xE7\xE3o\r\n"));
    EXPECT_EQ(LerValorIni(arquivo, "NOVA", "Chave", ""), QStringLiteral("Ação"));

    // A line break in a value must not become a key of its own.
    GravarValorIni(arquivo, "PARAMETROS", "Usuario", "1\r\nEmpresa=9999");
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Empresa", ""), QStringLiteral("0030"));
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Usuario", ""), QStringLiteral("1 Empresa=9999"));
}

namespace {
void ConfereErroComCaminho(const QString& caminho)
{
    try {
        GravarValorIni(caminho, "PARAMETROS", "Empresa", "1");
        ADD_FAILURE() << "write to " << caminho.toStdString() << " did not fail";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains(caminho)) << e.what();
    }
}
}  // namespace

TEST_F(IniTest, GravacaoSobArquivoLevantaErroComOCaminho)
{
    Escreve("x");  // a plain file where the folder should be
    ConfereErroComCaminho(arquivo + QStringLiteral("/teskvado.ini"));
}

TEST_F(IniTest, GravacaoEmPastaSomenteLeituraLevantaErroComOCaminho)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const QString somenteLeitura = QDir(dir.path()).filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkdir(somenteLeitura));
    ASSERT_TRUE(QFile::setPermissions(somenteLeitura, QFile::ReadOwner | QFile::ExeOwner));
    ConfereErroComCaminho(somenteLeitura + QStringLiteral("/teskvado.ini"));
    QFile::setPermissions(somenteLeitura, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(IniTest, GravacaoNaoDestroiArquivoSomenteLeitura)
{
    Escreve("[PARAMETROS]\r\nEmpresa=0022\r\n");
    ASSERT_TRUE(QFile::setPermissions(arquivo, QFile::ReadOwner));
    EXPECT_THROW(GravarValorIni(arquivo, "PARAMETROS", "Empresa", "1"), EInOutError);
    EXPECT_EQ(Conteudo(), QByteArray("[PARAMETROS]\r\nEmpresa=0022\r\n"));
    // A folder where the file should be.
    EXPECT_THROW(GravarValorIni(dir.path(), "PARAMETROS", "Empresa", "1"), EInOutError);
}

TEST_F(IniTest, ArquivoDoProgramaEDesvio)
{
    DefinirArquivoIni(QString());
    EXPECT_EQ(ArquivoIni(), QCoreApplication::applicationFilePath() + QStringLiteral(".ini"));
    DefinirArquivoIni(arquivo);
    GravarIni("PARAMETROS", "Empresa", "0022");
    EXPECT_EQ(LerIni("PARAMETROS", "Empresa", "x"), QStringLiteral("0022"));
    EXPECT_EQ(LerValorIni(arquivo, "PARAMETROS", "Empresa", "x"), QStringLiteral("0022"));
    DefinirArquivoIni(QString());
}

// Where the INI of a program at a given path goes: beside it when its folder can be written,
// otherwise under the user's configuration folder.
TEST(ArquivoIniDoProgramaTest, AoLadoSoComPastaGravavel)
{
    QTemporaryDir raiz;
    ASSERT_TRUE(raiz.isValid());
    const QString config = raiz.filePath(QStringLiteral("config"));
    const QByteArray antes = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());

    const QString gravavel = raiz.filePath(QStringLiteral("portatil"));
    const QString somenteLeitura = raiz.filePath(QStringLiteral("instalado"));
    ASSERT_TRUE(QDir().mkpath(gravavel));
    ASSERT_TRUE(QDir().mkpath(somenteLeitura));
    ASSERT_TRUE(QFile::setPermissions(somenteLeitura, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                          | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    const struct {
        QString programa;
        QString esperado;
    } casos[] = {
        {gravavel + QStringLiteral("/teskvado"), gravavel + QStringLiteral("/teskvado.ini")},
        {gravavel + QStringLiteral("/teskvado.exe"), gravavel + QStringLiteral("/teskvado.ini")},
        {somenteLeitura + QStringLiteral("/teskvado"), config + QStringLiteral("/teskvado/teskvado.ini")},
        {somenteLeitura + QStringLiteral("/teskvado-cli"), config + QStringLiteral("/teskvado/teskvado-cli.ini")},
        {raiz.filePath(QStringLiteral("nao-existe/teskvado")), config + QStringLiteral("/teskvado/teskvado.ini")},
    };
    for (const auto& c : casos)
        EXPECT_EQ(ArquivoIniDoPrograma(c.programa), c.esperado) << qPrintable(c.programa);

    QFile::setPermissions(somenteLeitura, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (antes.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", antes);
}
