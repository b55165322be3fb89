#include "ImprimeQt.h"
#include "uCp1252.h"
#include "uErros.h"
#include "uLog.h"
#include "uSaidaConsole.h"
#include "uTelaMemoria.h"
#include "uUIConsole.h"
#include "uUIPort.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Counts the chances the log gives pending events, to check the trim hands them over.
class TUIContador : public TUIConsole
{
public:
    void ProcessarEventos() override { ++Eventos; }
    int Eventos = 0;
};

class LogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ui.Silencioso = true;
        DefinirUI(&ui);
        log.RichEdit(&tela);
    }
    void TearDown() override { DefinirUI(nullptr); }

    TUIContador ui;
    TTelaMemoria tela;
    TLog log;
};

const QString Separador = QStringLiteral("+") + QString(79, u'-') + QStringLiteral("+");

}  // namespace

TEST_F(LogTest, TelaGuardaAsUltimas101LinhasEOTextoTodas)
{
    for (int i = 1; i <= 150; ++i)
        log.TextoSimples(QString::number(i));
    ASSERT_EQ(tela.QuantidadeLinhas(), 101);
    EXPECT_EQ(tela.TextoDaLinha(0), u'|' + QStringLiteral("50").leftJustified(79) + u'|');
    EXPECT_EQ(tela.TextoDaLinha(100), u'|' + QStringLiteral("150").leftJustified(79) + u'|');
    ASSERT_EQ(log.LtLog().size(), 150);
    EXPECT_EQ(log.LtLog().first(), u'|' + QStringLiteral("1").leftJustified(79) + u'|');
    EXPECT_EQ(ui.Eventos, 150);
}

TEST_F(LogTest, ColoridasTambemAparamATela)
{
    for (int i = 0; i < 120; ++i)
        log.TextoErro(QStringLiteral("x"));
    EXPECT_EQ(tela.QuantidadeLinhas(), 101);
    EXPECT_EQ(log.LtLog().size(), 120);
    // The report lines do not trim.
    for (int i = 0; i < 10; ++i)
        log.Linha();
    EXPECT_EQ(tela.QuantidadeLinhas(), 111);
}

TEST_F(LogTest, GeometriaDasLinhas)
{
    const QString de79(79, u'a');
    struct Caso
    {
        const char* nome;
        std::function<void(TLog&)> escreve;
        QStringList esperado;
    };
    const QList<Caso> casos = {
        {"simples", [](TLog& l) { l.TextoSimples(QStringLiteral("Iniciando")); },
         {QStringLiteral("|Iniciando") + QString(70, u' ') + u'|'}},
        {"simples de 79", [&](TLog& l) { l.TextoSimples(de79); }, {u'|' + de79 + u'|'}},
        {"simples de 85 nao corta", [](TLog& l) { l.TextoSimples(QString(85, u'b')); },
         {u'|' + QString(85, u'b') + u'|'}},
        {"ok", [](TLog& l) { l.TextoOK(QStringLiteral("Dados carregados")); },
         {QStringLiteral("|Ok     : Dados carregados com sucesso ") + QString(41, u' ') + u'|'}},
        {"erro", [](TLog& l) { l.TextoErro(QStringLiteral("Empresa não Cadastrada !")); },
         {QStringLiteral("|Erro   : Empresa não Cadastrada ! ") + QString(45, u' ') + u'|'}},
        {"atencao", [](TLog& l) { l.TextoAtencao(QStringLiteral("x")); },
         {QStringLiteral("|Atenção: x ") + QString(68, u' ') + u'|'}},
        // A coloured piece of 79 already reaches column 81 with its blank: no padding at all.
        {"colorido de 79", [&](TLog& l) { l.TextoColorido({de79}, {0x123456}); }, {u'|' + de79 + QStringLiteral(" |")}},
        {"colorido de 78", [](TLog& l) { l.TextoColorido({QString(78, u'c')}, {0x123456}); },
         {u'|' + QString(78, u'c') + QStringLiteral(" |")}},
        {"espaco", [](TLog& l) { l.Espaco(); }, {u'|' + QString(79, u' ') + u'|'}},
        {"linha", [](TLog& l) { l.Linha(); }, {Separador}},
        {"branco", [](TLog& l) { l.Branco(); }, {QString()}},
        {"centralizado", [](TLog& l) { l.TextoCentralizado(QStringLiteral("ab")); },
         {u'|' + QString(38, u' ') + QStringLiteral("ab") + QString(39, u' ') + u'|'}},
        {"sublinhado", [](TLog& l) { l.TextoSublinhado(QStringLiteral("Total")); },
         {QStringLiteral("|Total") + QString(74, u' ') + u'|', QStringLiteral("|-----") + QString(74, u' ') + u'|'}},
        {"rodape", [](TLog& l) { l.Rodape(7, TDateTime::Encode(1899, 12, 30, 0, 1, 5)); },
         {QStringLiteral("|Número de registros: 0007 - Tempo gasto: 00:01:05") + QString(30, u' ') + u'|', Separador,
          QString()}},
        {"numero de registros", [](TLog& l) { l.NumeroRegistros(12); }, {QStringLiteral("Número de registros: 12")}},
        {"tempo", [](TLog& l) { l.Tempo(TDateTime::Encode(2024, 3, 1, 13, 2, 3)); },
         {QStringLiteral("Tempo gasto: 13:02:03")}},
        {"erro cru", [](TLog& l) { l.Erro(QStringLiteral("  como veio")); }, {QStringLiteral("  como veio")}},
        {"cabecalho com aguarde", [](TLog& l) { l.Cabecalho(QStringLiteral("Importação"), true); },
         {QString(), Separador, u'|' + QString(34, u' ') + QStringLiteral("Importação") + QString(35, u' ') + u'|',
          u'|' + QString(15, u' ') + QStringLiteral("Aguarde essa operação pode levar alguns minutos !")
              + QString(15, u' ') + u'|',
          Separador}},
        {"corpo curto", [](TLog& l) { l.Corpo(QStringLiteral("0001 ITEM"), toInserido); },
         {QStringLiteral("|0001 ITEM") + QString(57, u' ') + QStringLiteral("|Inserido    |")}},
        // Cut at 69, padded to 66: a record of 68 pushes the status two columns right.
        {"corpo de 68", [](TLog& l) { l.Corpo(QString(68, u'r'), toNaoExite); },
         {u'|' + QString(68, u'r') + QStringLiteral("|Não Existe  |")}},
        {"corpo de 75", [](TLog& l) { l.Corpo(QString(75, u'r'), toErro); },
         {u'|' + QString(69, u'r') + QStringLiteral("|Erro        |")}},
    };
    for (const Caso& c : casos) {
        TLog l;
        c.escreve(l);
        EXPECT_EQ(l.LtLog(), c.esperado) << c.nome;
    }
}

TEST_F(LogTest, TelaRecebeAsCoresPorPeca)
{
    log.TextoColorido({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, {0x111111, 0x222222});
    ASSERT_EQ(tela.QuantidadeLinhas(), 1);
    const auto& pecas = tela.Linhas[0];
    ASSERT_EQ(pecas.size(), 5);
    EXPECT_EQ(pecas[0], (TTelaMemoria::TPeca{QStringLiteral("|"), TTelaMemoria::Padrao}));
    EXPECT_EQ(pecas[1], (TTelaMemoria::TPeca{QStringLiteral("A "), 0x111111u}));
    EXPECT_EQ(pecas[2], (TTelaMemoria::TPeca{QStringLiteral("B "), 0x222222u}));
    // A text without a colour of its own falls back to the default instead of reading past the list.
    EXPECT_EQ(pecas[3], (TTelaMemoria::TPeca{QStringLiteral("C "), TTelaMemoria::Padrao}));
    EXPECT_EQ(pecas[4].Cor, TTelaMemoria::Padrao);
    EXPECT_EQ(tela.TextoDaLinha(0), log.LtLog().last());

    log.TextoErro(QStringLiteral("falhou"));
    EXPECT_EQ(tela.Linhas[1][1], (TTelaMemoria::TPeca{QStringLiteral("Erro   : falhou "), 0xFF0000u}));
    log.TextoOK(QStringLiteral("feito"));
    EXPECT_EQ(tela.Linhas[2][1].Cor, 0x008000u);
    log.TextoAtencao(QStringLiteral("cuidado"));
    EXPECT_EQ(tela.Linhas[3][1].Cor, 0xFF8040u);
}

TEST_F(LogTest, OcorrenciasComTextoECor)
{
    struct Caso
    {
        TTipoOcorrencia tipo;
        const char* texto;
        uint cor;
    };
    const Caso casos[] = {
        {toNull, "", TTelaMemoria::Padrao}, {toInserido, "Inserido", 0x008000},
        {toNaoInserido, "Não Inserido", 0x800000}, {toExistente, "Existente", 0x800000},
        {toErro, "Erro", 0xFF0000}, {toCopiado, "Copiado", 0x008000},
        {toNaoCopiado, "Não Copiado", 0xFF0000}, {toNaoExite, "Não Existe", 0x800000},
    };
    for (const Caso& c : casos) {
        tela.Limpa();
        EXPECT_EQ(log.GetOcorrencia(c.tipo), QString::fromUtf8(c.texto));
        ASSERT_EQ(tela.QuantidadeLinhas(), 1);
        EXPECT_EQ(tela.Linhas[0][0], (TTelaMemoria::TPeca{QString::fromUtf8(c.texto).leftJustified(12), c.cor}));
        EXPECT_EQ(tela.Linhas[0][1], (TTelaMemoria::TPeca{QStringLiteral("|"), TTelaMemoria::Padrao}));
    }
    EXPECT_TRUE(log.LtLog().isEmpty());  // the status alone never reaches the plain copy

    log.Corpo(QStringLiteral("reg"), toExistente);
    ASSERT_EQ(tela.QuantidadeLinhas(), 2);
    EXPECT_EQ(tela.TextoDaLinha(1), log.LtLog().last());
    EXPECT_EQ(tela.Linhas[1][1].Cor, 0x800000u);
}

TEST_F(LogTest, ClearEsvaziaTelaETexto)
{
    log.TextoSimples(QStringLiteral("a"));
    log.TextoErro(QStringLiteral("b"));
    log.Clear();
    EXPECT_EQ(tela.QuantidadeLinhas(), 0);
    EXPECT_TRUE(log.LtLog().isEmpty());
}

TEST_F(LogTest, SemTelaOTextoContinua)
{
    TLog semTela;
    semTela.TextoSimples(QStringLiteral("a"));
    semTela.TextoColorido({QStringLiteral("b")}, {});
    semTela.Corpo(QStringLiteral("c"), toErro);
    EXPECT_EQ(semTela.LtLog().size(), 3);
}

TEST_F(LogTest, SalvarGravaCp1252ComCrLfNoNomeDaHora)
{
    TDateTime::RelogioDeTeste([] { return QDateTime(QDate(2024, 2, 5), QTime(9, 8, 7)); });
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    log.TextoSimples(QStringLiteral("Ação"));
    log.Branco();
    const QString caminho = log.Salvar(dir.path());
    TDateTime::RelogioDeTeste({});
    EXPECT_EQ(caminho, QDir(dir.path()).filePath(QStringLiteral("Logs/05022024090807.txt")));
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray esperado = "|A\xE7\xE3o" + QByteArray(75, ' ') + "|\r\n\r\n";
    EXPECT_EQ(f.readAll(), esperado);
}

TEST_F(LogTest, SalvarFalhaQuandoAPastaNaoPodeSerCriada)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // "Logs" taken by a plain file: the folder cannot be made.
    QFile bloqueio(QDir(dir.path()).filePath(QStringLiteral("Logs")));
    ASSERT_TRUE(bloqueio.open(QIODevice::WriteOnly));
    bloqueio.close();
    EXPECT_THROW(log.Salvar(dir.path()), EInOutError);
}

// Every line reaches the day's file as it is written; midnight starts the next file, and a
// folder that vanished (a drive unplugged) is made again by the next line.
TEST_F(LogTest, ArquivoDoDiaRecebeCadaLinha)
{
    QDateTime agora(QDate(2024, 2, 5), QTime(23, 59, 0));
    TDateTime::RelogioDeTeste([&agora] { return agora; });
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString logs = QDir(dir.path()).filePath(QStringLiteral("Logs"));
    log.SetPastaArquivo(logs);
    log.TextoErro(QStringLiteral("Ação"));
    const QString primeiro = QDir(logs).filePath(QStringLiteral("TeskVado-20240205.log"));
    EXPECT_EQ(log.ArquivoDoDia(TDateTime::Now()), primeiro);
    {
        QFile f(primeiro);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "|Erro   : A\xE7\xE3o" + QByteArray(66, ' ') + "|\r\n");
    }

    agora = QDateTime(QDate(2024, 2, 6), QTime(0, 0, 1));
    log.Branco();
    ASSERT_TRUE(QDir(logs).removeRecursively());
    log.TextoSimples(QStringLiteral("depois"));
    TDateTime::RelogioDeTeste({});
    QFile f(QDir(logs).filePath(QStringLiteral("TeskVado-20240206.log")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "|depois" + QByteArray(73, ' ') + "|\r\n");
    EXPECT_FALSE(QFile::exists(primeiro));
}

TEST_F(LogTest, TextoEmMemoriaGuardaAsUltimasCemMilLinhas)
{
    log.RichEdit(nullptr);
    for (int i = 0; i < TLog::MaximoLinhasMemoria + 5; ++i)
        log.Erro(QString::number(i));
    ASSERT_EQ(log.LtLog().size(), TLog::MaximoLinhasMemoria);
    EXPECT_EQ(log.LtLog().first(), QStringLiteral("5"));
    EXPECT_EQ(log.LtLog().last(), QString::number(TLog::MaximoLinhasMemoria + 4));
}

namespace {
QByteArray LeTudo(std::FILE* f)
{
    std::fflush(f);
    std::rewind(f);
    QByteArray r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        r.append(buf, qsizetype(n));
    return r;
}
}  // namespace

TEST_F(LogTest, SaidaConsoleSoColoreEmTerminal)
{
    std::FILE* arquivo = std::tmpfile();
    ASSERT_NE(arquivo, nullptr);
    {
        TSaidaConsole saida(arquivo);  // a file is no terminal
        EXPECT_FALSE(saida.Cores());
        TLog l;
        l.RichEdit(&saida);
        l.TextoErro(QStringLiteral("falhou"));
        l.Corpo(QStringLiteral("reg"), toInserido);
        l.Branco();
        for (int i = 0; i < 120; ++i)
            l.TextoSimples(QStringLiteral("x"));
        EXPECT_EQ(saida.QuantidadeLinhas(), 101);
        QByteArray esperado = l.LtLog().join(u'\n').toUtf8() + '\n';
        EXPECT_EQ(LeTudo(arquivo), esperado);
    }
    std::fclose(arquivo);

    arquivo = std::tmpfile();
    ASSERT_NE(arquivo, nullptr);
    {
        TSaidaConsole saida(arquivo, true);
        TLog l;
        l.RichEdit(&saida);
        l.TextoOK(QStringLiteral("feito"));
        QByteArray escrito = LeTudo(arquivo);
        EXPECT_TRUE(escrito.startsWith("|\x1b[38;2;0;128;0mOk     : feito com sucesso \x1b[0m ")) << escrito.constData();
        EXPECT_TRUE(escrito.endsWith("|\n"));
    }
    std::fclose(arquivo);
}
