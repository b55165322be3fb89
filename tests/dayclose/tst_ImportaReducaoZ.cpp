// "Importar Redução" as the window and the console run it: the proposed period, the request,
// the wait, the answer log, the conversion and the files left behind.

#include "AmbienteReducao.h"

#include "uController.h"
#include "uCp1252.h"
#include "uImportaReducaoZ.h"
#include "uRuxoLayout.h"

#include <QFile>

#include <functional>

namespace {

TEST(InicioPropostoReducaoZ, DiaDaUltimaReducaoOuPrimeiroDoMes)
{
    const TDateTime agora = TDateTime::Encode(2026, 3, 20, 10, 0);
    struct Caso { QVariant ultima; TDateTime inicio; int unidade; const char* nome; };
    const Caso casos[] = {
        {QVariant::fromValue(Dia(10)), Dia(10), 20000, "10 dias atras: 10 >= 6"},
        {QVariant::fromValue(Dia(19)), Dia(19), 10000, "ontem"},
        {QVariant::fromValue(Dia(15)), Dia(15), 10000, "5 dias e 10 horas: dias inteiros"},
        {QVariant::fromValue(Dia(14)), Dia(14), 20000, "6 dias e 10 horas"},
        {QVariant::fromValue(Dia(3, 2)), Dia(1), 20000, "45 dias atras: dia 1, 19 dias"},
        {QVariant::fromValue(Dia(18, 2)), Dia(1), 20000, "30 dias e 10 horas: mais de 30"},
        {QVariant::fromValue(Dia(19, 2)), Dia(19, 2), 20000, "29 dias e 10 horas"},
        {QVariant(), Dia(1), 20000, "nenhuma reducao importada"},
        {QVariant(QStringLiteral("2026-03-12")), Dia(12), 20000, "data em texto"},
    };
    for (const Caso& c : casos) {
        const TDateTime inicio = InicioPropostoReducaoZ(c.ultima, agora);
        EXPECT_EQ(inicio.ToString(), c.inicio.ToString()) << c.nome;
        EXPECT_EQ(UnidadeEsperaReducaoZ(inicio, agora), c.unidade) << c.nome;
    }
}

// Stands in for the window: answers like the console, and lets a case act while the wait lets
// events run, which is where Ruxo answers or the user clicks again.
class TUIRuxo : public TUIConsole
{
public:
    void ProgressoPosicao(int posicao) override
    {
        TUIConsole::ProgressoPosicao(posicao);
        ++Posicoes;
        if (FVisivel && AoEsperar)
            AoEsperar(Posicoes);
    }
    bool PedeIntervalo(TDateTime& inicial, TDateTime& final) override
    {
        Proposto = {inicial, final};
        ++Intervalos;
        return TUIConsole::PedeIntervalo(inicial, final);
    }

    std::function<void(int)> AoEsperar;  // with the number of the progress step
    std::pair<TDateTime, TDateTime> Proposto;
    int Posicoes = 0;
    int Intervalos = 0;
};

class Importacao : public AmbienteReducao
{
protected:
    void SetUp() override
    {
        Ui.Silencioso = true;
        AmbienteReducao::SetUp();
        // The real wait is the end-to-end test's; here every step is counted, not slept.
        DefinirPausaPassoReducaoZ(0);
    }
    IUIPort* UIEmUso() override { return &Ui; }

    void GravaDiaImportado(const char* empresa, int ecf, TDateTime data)
    {
        TVEN_ECF_CController c;
        TVEN_ECF_C linha;
        linha.Codigo_da_Empresa = QString::fromLatin1(empresa);
        linha.Numero_do_ECF = ecf;
        linha.Data = data;
        linha.Serie_do_Documento = QStringLiteral("X101");
        ASSERT_TRUE(c.daoECF_C->Inserir(linha));
    }

    QString Pasta() const { return Dir + QStringLiteral("RETORNO/"); }

    // Ruxo's answer to the request it finds, as it writes it: the data first, then the log.
    // The request is kept as it was read, for the case to look at.
    void Responde(const std::vector<TReg_017>& reducoes, const std::vector<TReg_018>& aliquotas,
                  const QStringList& log, bool comDados = true, const QString& linhaExtra = {})
    {
        const QStringList pedidos = QDir(Pasta()).entryList({QStringLiteral("RT*.T")}, QDir::Files);
        ASSERT_EQ(pedidos.size(), 1);
        NomePedido = pedidos.first();
        Pedido = LerArquivoCp1252(Pasta() + NomePedido);
        const QString base = Pasta() + NomePedido.left(8);
        if (comDados) {
            QStringList dados;
            for (const TReg_017& z : reducoes)
                dados << Ruxo::GerarLinha(z);
            if (!linhaExtra.isNull())
                dados << linhaExtra;
            for (const TReg_018& r : aliquotas)
                dados << Ruxo::GerarLinha(r);
            GravarArquivoCp1252(base + QStringLiteral(".S01"), dados);
        }
        GravarArquivoCp1252(base + QStringLiteral(".L01"), log);
    }

    // Answers at the given progress step of the wait.
    void RespondeNoPasso(int passo, std::vector<TReg_017> reducoes, std::vector<TReg_018> aliquotas,
                         QStringList log = {QStringLiteral("Exportação concluída"), QStringLiteral("STATUS;OK")},
                         bool comDados = true, QString linhaExtra = {})
    {
        Ui.AoEsperar = [=, this](int p) {
            if (p == passo)
                Responde(reducoes, aliquotas, log, comDados, linhaExtra);
        };
    }

    QStringList Atencoes() const { return Linhas().filter(QStringLiteral("Atenção: Aguardando resposta")); }

    TUIRuxo Ui;
    QString NomePedido;
    QStringList Pedido;
};

TEST_F(Importacao, RespostaConvertidaEArquivosApagados)
{
    GravaDiaImportado("0001", 1, Dia(10));
    // Neither another company's nor another printer's later day moves the start.
    GravaDiaImportado("0002", 1, Dia(19));
    GravaDiaImportado("0001", 2, Dia(19));
    RespondeNoPasso(50, {Reducao(1, Dia(10)), Reducao(2, Dia(19))},
                    {Aliquota(1, "T", "18.00", "10.00", "1.80", 1), Aliquota(2, "S", "5.00", "20.00", "1.00", 2)});

    EXPECT_TRUE(ImportarReducaoZ(Dir));

    EXPECT_EQ(Ui.Perguntas, QStringList{QStringLiteral("Importar redução Z ?")});
    EXPECT_EQ(Ui.Proposto.first.ToString(), QStringLiteral("10/03/2026"));
    EXPECT_EQ(Ui.Proposto.second.ToDateTime(), QDateTime(QDate(2026, 3, 20), QTime(23, 59, 59, 999)));
    EXPECT_EQ(NomePedido, QStringLiteral("RT000001.T"));
    EXPECT_EQ(Pedido, (QStringList{QStringLiteral("10112345678000195RET10032026000000200320262359590001009"),
                                   "111", "112", "113", "117", "118", "0990000000005"}));

    // Answered within the first attempt: one attention line, the 20-second unit for 10 days.
    EXPECT_EQ(Atencoes(), QStringList{QStringLiteral(
                              "Atenção: Aguardando resposta do INTEGRADOR tentativa 1/9 até 20 Segundos")});
    EXPECT_EQ(Ui.FMaximo, 200);
    EXPECT_EQ(Ui.Posicoes, 1 + 201);
    EXPECT_EQ(CorDaLinha(QStringLiteral("STATUS;OK")), CoresLog::Verde);
    EXPECT_EQ(CorDaLinha(QStringLiteral("Exportação concluída")), CoresLog::Verde);
    EXPECT_FALSE(Linhas().contains(QStringLiteral("Erro   : Verificar o arquivo LOG as ocorrências")));
    EXPECT_EQ(Linhas().last(), QStringLiteral("Ok     : Redução Z Importada com sucesso"));

    EXPECT_EQ(Bruto(QStringLiteral("select \"Codigo da Empresa\", \"Numero do ECF\", \"Data\", \"Serie do Documento\" "
                                   "from \"ECF_C\" order by \"Codigo da Empresa\", \"Numero do ECF\", \"Data\"")),
              (QStringList{"0001|1|2026-03-10|X103", "0001|1|2026-03-19|X103", "0001|2|2026-03-19|X101",
                           "0002|1|2026-03-19|X101"}));
    EXPECT_EQ(Contagem("ECF_T"), 1);
    EXPECT_EQ(Contagem("ECF_S"), 1);
    EXPECT_TRUE(Retorno().isEmpty()) << Retorno().join(u' ').toStdString();
    EXPECT_FALSE(Ui.FVisivel);
    EXPECT_FALSE(Ui.FOcupado);
    EXPECT_FALSE(ImportacaoReducaoZEmAndamento());
}

// The dialog's start wins, as a whole day: a time picked with it must not drop that day's reduction.
TEST_F(Importacao, InicioEscolhidoNoDialogo)
{
    GravaDiaImportado("0001", 1, Dia(19));
    Ui.InicioEscolhido = TDateTime::Encode(2026, 3, 17, 15, 30);
    RespondeNoPasso(10, {Reducao(1, Dia(17))}, {});

    EXPECT_TRUE(ImportarReducaoZ(Dir));

    ASSERT_FALSE(Pedido.isEmpty());
    EXPECT_EQ(Pedido.first(), QStringLiteral("10112345678000195RET17032026000000200320262359590001009"));
    EXPECT_EQ(Atencoes(), QStringList{QStringLiteral(
                              "Atenção: Aguardando resposta do INTEGRADOR tentativa 1/9 até 10 Segundos")});
    EXPECT_EQ(Ui.FMaximo, 100);
    EXPECT_EQ(Bruto(QStringLiteral("select \"Data\" from \"ECF_C\" order by \"Data\"")),
              (QStringList{"2026-03-17", "2026-03-19"}));
}

TEST_F(Importacao, RespostaNaTerceiraTentativaEncerraAEspera)
{
    GravaDiaImportado("0001", 1, Dia(19));
    // Step 1 is the bar's reset; each attempt then moves it 101 times.
    RespondeNoPasso(1 + 2 * 101 + 40, {Reducao(1, Dia(19))}, {});

    EXPECT_TRUE(ImportarReducaoZ(Dir));

    EXPECT_EQ(Atencoes().size(), 3);
    EXPECT_EQ(Ui.Posicoes, 1 + 3 * 101);
}

TEST_F(Importacao, SemRespostaNoveTentativasEPedidoApagado)
{
    // A first import ever: no day imported yet, so the month's first day, 19 days back.
    QStringList pedidoNaEspera;
    Ui.AoEsperar = [&](int p) {
        if (p == 2)
            pedidoNaEspera = Retorno();
    };

    EXPECT_FALSE(ImportarReducaoZ(Dir));

    EXPECT_EQ(Ui.Proposto.first.ToString(), QStringLiteral("01/03/2026"));
    EXPECT_EQ(pedidoNaEspera, QStringList{QStringLiteral("RT000001.T")});
    QStringList esperadas;
    for (int t = 1; t <= 9; ++t)
        esperadas << QStringLiteral("Atenção: Aguardando resposta do INTEGRADOR tentativa %1/9 até 20 Segundos").arg(t);
    EXPECT_EQ(Atencoes(), esperadas);
    EXPECT_EQ(Ui.Posicoes, 1 + 9 * 201);

    const QStringList& log = Log.LtLog();
    ASSERT_GE(log.size(), 4);
    EXPECT_EQ(log[log.size() - 4], u'|' + QString(TLog::LarguraConteudo, u' ') + u'|');
    EXPECT_TRUE(log[log.size() - 3].startsWith(QStringLiteral("|Erro   : Arquivo de Log de retorno não gerado !")));
    EXPECT_TRUE(log[log.size() - 2].startsWith(
        QStringLiteral("|         Verificar se INTEGRADOR do RUXO esta em execução ! ")));
    EXPECT_TRUE(log[log.size() - 1].startsWith(
        QStringLiteral("|         Caso não esteja em execução, carrega-lo e repetir esta operação ! ")));
    EXPECT_EQ(CorDaLinha(QStringLiteral("Verificar se INTEGRADOR")), CoresLog::Vermelho);
    EXPECT_EQ(CorDaLinha(QStringLiteral("Caso não esteja")), CoresLog::Vermelho);

    EXPECT_TRUE(Retorno().isEmpty());
    EXPECT_FALSE(Ui.FVisivel);
    EXPECT_FALSE(Ui.FOcupado);
}

TEST_F(Importacao, LogSemSucessoEmVermelhoEDadosConvertidos)
{
    GravaDiaImportado("0001", 1, Dia(19));
    RespondeNoPasso(5, {Reducao(1, Dia(19), 1, 6)}, {},
                    {QStringLiteral("\"Impressora\";\"sem papel\""), QStringLiteral("STATUS;ERRO")});

    EXPECT_TRUE(ImportarReducaoZ(Dir));

    EXPECT_EQ(CorDaLinha(QStringLiteral("\"Impressora\";\"sem papel\"")), CoresLog::Vermelho);
    EXPECT_EQ(CorDaLinha(QStringLiteral("STATUS;ERRO")), CoresLog::Vermelho);
    const QStringList l = Linhas();
    const qsizetype erro = l.indexOf(QStringLiteral("Erro   : Verificar o arquivo LOG as ocorrências"));
    ASSERT_GE(erro, 0);
    EXPECT_LT(l.indexOf(QStringLiteral("STATUS;ERRO")), erro);
    EXPECT_EQ(Bruto(QStringLiteral("select \"Serie do Documento\" from \"ECF_C\"")), QStringList{QStringLiteral("X106")});
    EXPECT_EQ(Sys_.Numero_do_CRO, QStringLiteral("06"));
    EXPECT_TRUE(Retorno().isEmpty());
}

// Whatever goes wrong once Ruxo has answered: the error in the log, no row of the answer, and
// the request and the answer left in RETORNO for someone to look at.
struct TRespostaRuim
{
    const char* nome;
    bool comDados;
    const char* linhaExtra;
    bool bancoRecusa;
    const char* erro;
    QStringList arquivos;
    friend void PrintTo(const TRespostaRuim& c, std::ostream* os) { *os << c.nome; }
};

class RespostaComProblema : public Importacao, public ::testing::WithParamInterface<TRespostaRuim>
{
};

TEST_P(RespostaComProblema, ErroNoLogNadaGravadoArquivosFicam)
{
    const TRespostaRuim& c = GetParam();
    if (c.bancoRecusa)
        Recusa("ECF_C", "", "reducao recusada");
    RespondeNoPasso(5, {Reducao(1, Dia(19))}, {Aliquota(1, "T", "18.00", "10.00", "1.80", 1)},
                    {QStringLiteral("STATUS;OK")}, c.comDados,
                    c.linhaExtra ? QString::fromLatin1(c.linhaExtra) : QString());

    EXPECT_FALSE(ImportarReducaoZ(Dir));

    const QStringList erros = Linhas().filter(QStringLiteral("Erro   : "));
    ASSERT_FALSE(erros.isEmpty());
    EXPECT_TRUE(erros.last().contains(QString::fromLatin1(c.erro))) << erros.last().toStdString();
    EXPECT_FALSE(Linhas().contains(QStringLiteral("Ok     : Redução Z Importada com sucesso")));
    EXPECT_EQ(Contagem("ECF_C"), 0);
    EXPECT_EQ(Contagem("ECF_T"), 0);
    EXPECT_EQ(Retorno(), c.arquivos);
    EXPECT_FALSE(Ui.FVisivel);
    EXPECT_FALSE(Ui.FOcupado);
    EXPECT_FALSE(ImportacaoReducaoZEmAndamento());
}

INSTANTIATE_TEST_SUITE_P(
    Casos, RespostaComProblema,
    ::testing::Values(
        TRespostaRuim{"SemArquivoDeDados", false, nullptr, false, "RT000001.S01", {"RT000001.L01", "RT000001.T"}},
        TRespostaRuim{"LinhaEmBranco", true, "", false, "RT000001.S01", {"RT000001.L01", "RT000001.S01", "RT000001.T"}},
        TRespostaRuim{"BancoRecusa", true, nullptr, true, "Falha ao gravar VEN_ECF_C",
                      {"RT000001.L01", "RT000001.S01", "RT000001.T"}}),
    [](const ::testing::TestParamInfo<TRespostaRuim>& i) { return std::string(i.param.nome); });

TEST_F(Importacao, NumeroDoECFNaoNumericoParaAntesDeGravar)
{
    Sys_.Numero_do_ECF = QStringLiteral("A1");

    EXPECT_FALSE(ImportarReducaoZ(Dir));

    EXPECT_EQ(Linhas().filter(QStringLiteral("Erro   : ")),
              QStringList{QStringLiteral("Erro   : 'A1' não é um valor inteiro válido")});
    EXPECT_EQ(Ui.Intervalos, 0);
    EXPECT_TRUE(Retorno().isEmpty());
}

TEST_F(Importacao, RespostaNaoALPerguntaNaoFazNada)
{
    Ui.RespostaPergunta = false;

    EXPECT_FALSE(ImportarReducaoZ(Dir));

    EXPECT_EQ(Ui.Perguntas.size(), 1);
    EXPECT_EQ(Ui.Intervalos, 0);
    EXPECT_TRUE(Log.LtLog().isEmpty());
    EXPECT_TRUE(Retorno().isEmpty());
}

// A second click on "Importar Redução" while the first waits for Ruxo is ignored: no second
// question, no second request, and the first import goes on to its end.
TEST_F(Importacao, SegundoCliqueDuranteAEsperaNaoEntra)
{
    GravaDiaImportado("0001", 1, Dia(19));
    bool segundo = true;
    bool emAndamento = false;
    QStringList naSegunda;
    Ui.AoEsperar = [&](int p) {
        if (p == 20) {
            emAndamento = ImportacaoReducaoZEmAndamento();
            segundo = ImportarReducaoZ(Dir);
            naSegunda = Retorno();
        } else if (p == 30) {
            Responde({Reducao(1, Dia(19))}, {}, {QStringLiteral("STATUS;OK")});
        }
    };

    EXPECT_TRUE(ImportarReducaoZ(Dir));

    EXPECT_TRUE(emAndamento);
    EXPECT_FALSE(segundo);
    EXPECT_EQ(naSegunda, QStringList{QStringLiteral("RT000001.T")});
    EXPECT_EQ(Ui.Perguntas.size(), 1);
    EXPECT_EQ(Ui.Intervalos, 1);
    EXPECT_EQ(Contagem("ECF_C"), 1);
    EXPECT_FALSE(ImportacaoReducaoZEmAndamento());
}

}  // namespace
