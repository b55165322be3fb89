#include "uDM_BDE.h"
#include "uSys.h"
#include "uUIConsole.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A mapping folder with the letters the case has, and the console port to read the dialog back.
class DM : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Unidades = Dir.path() + "/unidades";
        QDir().mkpath(Unidades);
        FAntes = qgetenv("TESKVADO_UNIDADES");
        qputenv("TESKVADO_UNIDADES", Unidades.toUtf8());
        Ui.Silencioso = true;
        DefinirUI(&Ui);
        Sys_ = TSys{};
    }
    void TearDown() override
    {
        DefinirUI(nullptr);
        if (FAntes.isNull())
            qunsetenv("TESKVADO_UNIDADES");
        else
            qputenv("TESKVADO_UNIDADES", FAntes);
    }
    QString Letra(const char* l)
    {
        QString p = Unidades + "/" + l;
        QDir().mkpath(p);
        return p;
    }

    QTemporaryDir Dir;
    QString Unidades;
    TUIConsole Ui;
    TSessao S;
    QByteArray FAntes;
};

TEST_F(DM, EscolhaDaUnidade)
{
    struct Caso
    {
        QStringList argumentos;
        QStringList letras;        // mapped before the start
        QString raiz;              // "" = refused; "@" = the temporary folder itself
        QString mensagem;
    };
    const Caso casos[] = {
        {{"X"}, {"V"}, "", "Erro: Não foi encontrado o diretório X:\\ especificado no Atalho"},
        {{"Dados"}, {"D", "V"}, "D", ""},
        {{"d"}, {"D"}, "D", ""},
        {{}, {"V"}, "V", ""},
        {{}, {}, "", "Erro: Não foi encontrado o diretório V:\\"},
        {{""}, {"V"}, "V", ""},
        {{"@"}, {}, "@", ""},
        {{"/nao/existe/mesmo"}, {"V"}, "", "Erro: Não foi encontrado o diretório /nao/existe/mesmo especificado no Atalho"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.argumentos.join(',').toStdString());
        QDir(Unidades).removeRecursively();
        QDir().mkpath(Unidades);
        for (const QString& l : c.letras)
            Letra(l.toUtf8().constData());
        Ui.Mensagens.clear();
        TSessao sessao;
        QStringList args = c.argumentos;
        if (args == QStringList{"@"})
            args = {Dir.path()};
        TDM_BDE dm(args, sessao);
        EXPECT_EQ(DM_BDE, &dm);
        if (c.raiz.isEmpty()) {
            EXPECT_TRUE(Sys_.Fechar);
            EXPECT_EQ(Ui.Mensagens, QStringList{c.mensagem});
            EXPECT_TRUE(sessao.AliasNames().isEmpty());
            EXPECT_FALSE(sessao.Active());
            continue;
        }
        EXPECT_FALSE(Sys_.Fechar);
        EXPECT_TRUE(Ui.Mensagens.isEmpty());
        const QString raiz = c.raiz == "@" ? Dir.path() : Unidades + "/" + c.raiz;
        EXPECT_EQ(sessao.NetFileDir(), raiz + "/");
        EXPECT_EQ(sessao.AliasPath("N_VENDAS"), raiz + "/Sistemas/VENDAS");
        EXPECT_EQ(sessao.AliasDriver("N_VENDAS"), QStringLiteral("PARADOX"));
        EXPECT_EQ(sessao.ConfigMode(), TConfigMode::cfmSession);
        EXPECT_TRUE(sessao.Active());
    }
    EXPECT_EQ(DM_BDE, nullptr);
}

TEST_F(DM, AliasesSenhasEFim)
{
    Letra("V");
    {
        TDM_BDE dm({}, S);
        EXPECT_EQ(S.AliasNames(), (QStringList{"N_VENDAS", "N_CADASTRO", "N_CTACOR", "N_CTAREC", "N_CTAPAG",
                                               "N_ESTOQUE", "N_ICMS_IPI", "N_CHEQREC", "N_COMPRAS", "N_UTILITAR"}));
        EXPECT_EQ(S.AliasPath("N_UTILITAR"), Unidades + "/V/Sistemas/UTILITAR");
        EXPECT_EQ(S.Passwords(), (QStringList{"m47qorebn", "TrancaOp"}));
        // The Sistemas folders are not checked at start-up: the first query reports them.
        EXPECT_FALSE(QDir(Unidades + "/V/Sistemas").exists());
        EXPECT_TRUE(S.Active());
    }
    EXPECT_FALSE(S.Active());
}

}  // namespace
