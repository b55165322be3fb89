#include "uCp1252.h"
#include "uRuxo.h"
#include "uSys.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Dados(const char* nome) { return QStringLiteral(TV_DADOS_RUXO "/") + QLatin1StringView(nome); }

class Retorno : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        QDir(FDir.path()).mkpath(QStringLiteral("ONLINE"));
        QDir(FDir.path()).mkpath(QStringLiteral("RETORNO"));
        Sys_.Codigo_do_Cliente.clear();
    }
    void TearDown() override { Sys_.Codigo_do_Cliente.clear(); }

    QString Caminho(const QString& relativo) const { return FDir.path() + u'/' + relativo; }

    QString Grava(const QString& nome, const QStringList& linhas)
    {
        const QString c = Caminho(QStringLiteral("ONLINE/") + nome);
        GravarArquivoCp1252(c, linhas);
        return c;
    }

    QStringList Cancelados() const
    {
        const QString c = Caminho(QStringLiteral("CANCELADOS/CANCELADOS.V"));
        return QFile::exists(c) ? LerArquivoCp1252(c) : QStringList();
    }

    QTemporaryDir FDir;
};

// A coupon header with only what the cancelled-items check looks at.
QString Cupom(int numero, bool cancelado)
{
    QString l = QStringLiteral("011") + QString(658, u' ');
    l.replace(3, 10, Ruxo::GravarN(numero * 10, 10));
    l.replace(17, 6, Ruxo::GravarN(numero, 6));
    if (cancelado)
        l[249] = u'C';
    return l;
}

QString Item(TRetorno& r, int cupom, int ordem, bool cancelado)
{
    TReg_012 i;
    i.PK_Cupom = cupom * 10;
    i.Numero_do_ECF = 1;
    i.Numero_do_Cupom = cupom;
    i.Codigo_Produto = QStringLiteral("P%1").arg(ordem);
    i.Descricao_do_produto = QStringLiteral("PRODUTO %1").arg(ordem);
    i.Unidade = QStringLiteral("UN");
    i.Quantidade = Currency(ordem);
    i.Preco_de_venda = *Currency::Parse(u"2.5");
    i.Aliquota = Currency(18);
    i.Cancelado = cancelado ? QStringLiteral("C") : QString();
    i.Ordem_do_item = ordem;
    return r.Gerar_Reg_012(i);
}

QStringList Ordens(const TReg_012Collection& c)
{
    QStringList r;
    for (const TReg_012& i : c)
        r << QStringLiteral("%1/%2").arg(i.Numero_do_Cupom).arg(i.Ordem_do_item);
    return r;
}

template <class T>
void ConfereCampos(const T& reg, const QJsonObject& esperado, const QString& onde)
{
    int legiveis = 0;
    for (const auto& c : T::Layout())
        legiveis += c.Codificacao != Ruxo::TCodificacao::S;
    EXPECT_EQ(esperado.size(), legiveis) << onde.toStdString();
    for (auto it = esperado.begin(); it != esperado.end(); ++it) {
        const auto* campo = Ruxo::CampoPorNome<T>(it.key());
        ASSERT_NE(campo, nullptr) << onde.toStdString() << " " << it.key().toStdString();
        const QVariant v = Ruxo::ValorDoCampo(reg, *campo);
        QString obtido;
        if (v.metaType() == QMetaType::fromType<Currency>())
            obtido = v.value<Currency>().ToString(4);
        else if (v.metaType() == QMetaType::fromType<TDateTime>())
            obtido = campo->Codificacao == Ruxo::TCodificacao::D8
                         ? v.value<TDateTime>().ToDate().toString(Qt::ISODate)
                         : v.value<TDateTime>().ToTime().toString(u"hh:mm:ss");
        else
            obtido = v.toString();
        const QString esp = it.value().isDouble() ? QString::number(it.value().toInt()) : it.value().toString();
        EXPECT_EQ(obtido, esp) << onde.toStdString() << " " << it.key().toStdString();
    }
}

void ConfereArquivo(const TRetorno& r, const QString& json)
{
    QFile f(json);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonArray registros = QJsonDocument::fromJson(f.readAll()).array();
    ASSERT_FALSE(registros.isEmpty());
    QMap<QString, int> vistos;
    for (const QJsonValue& v : registros) {
        const QString tipo = v[u"record"].toString();
        const QJsonObject campos = v[u"fields"].toObject();
        const int i = vistos[tipo]++;
        const QString onde = tipo + u'#' + QString::number(i);
        if (tipo == u"001")
            ConfereCampos(r.Reg_001, campos, onde);
        else if (tipo == u"011")
            ConfereCampos(r.Reg_011.Items(i), campos, onde);
        else if (tipo == u"012")
            ConfereCampos(r.Reg_012.Items(i), campos, onde);
        else if (tipo == u"013")
            ConfereCampos(r.Reg_013.Items(i), campos, onde);
        else if (tipo == u"017")
            ConfereCampos(r.Reg_017.Items(i), campos, onde);
        else if (tipo == u"018")
            ConfereCampos(r.Reg_018.Items(i), campos, onde);
        else if (tipo == u"099")
            ConfereCampos(r.Reg_099, campos, onde);
        else
            ADD_FAILURE() << "unexpected record " << tipo.toStdString();
    }
    EXPECT_EQ(vistos.value(QStringLiteral("011")), r.Reg_011.Count());
    EXPECT_EQ(vistos.value(QStringLiteral("012")), r.Reg_012.Count());
    EXPECT_EQ(vistos.value(QStringLiteral("013")), r.Reg_013.Count());
    EXPECT_EQ(vistos.value(QStringLiteral("017")), r.Reg_017.Count());
    EXPECT_EQ(vistos.value(QStringLiteral("018")), r.Reg_018.Count());
}

TEST_F(Retorno, ArquivosDoRuxoSaemCampoACampo)
{
    for (const char* nome : {"00004001.S01", "RT000001.S01"}) {
        TRuxo ruxo(FDir.path());
        ruxo.Retorno()->Ler(Dados(nome));
        SCOPED_TRACE(nome);
        ConfereArquivo(*ruxo.Retorno(), Dados(nome) + QStringLiteral(".json"));
    }
    // Direct looks at a few fields, so a layout pointing at the wrong member shows too.
    TRuxo ruxo(FDir.path());
    ruxo.Retorno()->Ler(Dados("00004001.S01"));
    const TReg_011& c = ruxo.Retorno()->Reg_011.Items(0);
    EXPECT_EQ(c.Numero_do_Cupom, 4001);
    EXPECT_EQ(c.Nome_cliente, QStringLiteral("TÊNIS NOME_CLIENTE"));
    EXPECT_EQ(c.Número_do_Docto_SG, QStringLiteral("FEIJÃO NÚMERO_D"));
    EXPECT_EQ(ruxo.Retorno()->Reg_012.Items(0).Quantidade, *Currency::Parse(u"13.694"));
    EXPECT_EQ(ruxo.Retorno()->Reg_001.Tipo_de_Arquivo(), QStringLiteral("RET"));
}

TEST_F(Retorno, NumeroDeSerieComDezenoveCaracteresParaOCliente0022)
{
    QString l017 = QStringLiteral("017") + QString(373, u' ');
    l017.replace(269, 20, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    const QString arq = Grava(QStringLiteral("RT000009.S01"), {l017});
    for (const auto& [cliente, serie] : {std::pair{"0021", "ABCDEFGHIJKLMNOPQRST"}, std::pair{"0022", "ABCDEFGHIJKLMNOPQRS"}}) {
        Sys_.Codigo_do_Cliente = QLatin1StringView(cliente);
        TRuxo ruxo(FDir.path());
        ruxo.Retorno()->Ler(arq);
        EXPECT_EQ(ruxo.Retorno()->Reg_017.Items(0).Numero_de_Serie_do_ECF, QLatin1StringView(serie)) << cliente;
    }
}

TEST_F(Retorno, DistribuiAsLinhasPorTipoEPulaOsOutros)
{
    TRuxo ruxo(FDir.path());
    TRetorno& r = *ruxo.Retorno();
    QString l013 = QStringLiteral("013") + QString(400, u' ');
    l013.replace(29, 13, QStringLiteral("0000000001500"));
    const QString arq = Grava(QStringLiteral("00000001.S01"),
                              {QStringLiteral("00112345678000195RET280220261533390042009"), Cupom(15, false),
                               Item(r, 15, 1, false), QStringLiteral("101 qualquer coisa"), QStringLiteral("117"),
                               Item(r, 15, 2, false), l013, QStringLiteral("0990000000004")});
    r.Ler(arq);
    EXPECT_EQ(r.Reg_001.CNPJ, QStringLiteral("12345678000195"));
    EXPECT_EQ(r.Reg_001.Data, TDateTime::Encode(2026, 2, 28));
    EXPECT_EQ(r.Reg_001.Especifico_para_o_PAF, 42);
    EXPECT_EQ(r.Reg_011.Count(), 1);
    EXPECT_EQ(Ordens(r.Reg_012), (QStringList{"15/1", "15/2"}));
    ASSERT_EQ(r.Reg_013.Count(), 1);
    EXPECT_EQ(r.Reg_013.Items(0).Valor, Currency(15));
    EXPECT_EQ(r.Reg_099.Registros, 4);
    EXPECT_EQ(r.Reg_017.Count() + r.Reg_018.Count(), 0);
}

TEST_F(Retorno, LinhaSemNumeroParaALeituraEGuardaOQueVeioAntes)
{
    for (const QString& ruim : {QString(), QStringLiteral("   "), QStringLiteral("X11abc"), QStringLiteral("1a1")}) {
        TRuxo ruxo(FDir.path());
        TRetorno& r = *ruxo.Retorno();
        const QString arq = Grava(QStringLiteral("00000002.S01"),
                                  {Cupom(20, false), Item(r, 20, 1, false), ruim, Item(r, 20, 2, false)});
        try {
            r.Ler(arq);
            ADD_FAILURE() << "no error for [" << ruim.toStdString() << "]";
        } catch (const EConvertError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("00000002.S01"))) << e.what();
            EXPECT_TRUE(e.Message().contains(QStringLiteral("linha 3"))) << e.what();
        }
        EXPECT_EQ(Ordens(r.Reg_012), QStringList{"20/1"});
    }
}

TEST_F(Retorno, ItemAntesDoCupomEArquivoAusente)
{
    TRuxo ruxo(FDir.path());
    TRetorno& r = *ruxo.Retorno();
    const QString arq = Grava(QStringLiteral("00000003.S01"), {QStringLiteral("0990000000001"), Item(r, 1, 1, false)});
    try {
        r.Ler(arq);
        ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("linha 2"))) << e.what();
    }
    EXPECT_EQ(r.Reg_099.Registros, 1);

    const QString ausente = Caminho(QStringLiteral("ONLINE/99999999.S01"));
    try {
        r.Ler(ausente);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("99999999.S01"))) << e.what();
    }
}

// The file is read in blocks of 64 KiB: every kind of line end, wherever it falls, ends one
// line, and a CR LF split by a block boundary is still one line end (an empty line between would
// stop the reading as a line without a record number).
TEST_F(Retorno, FinsDeLinhaEmQualquerPosicaoDoBloco)
{
    constexpr int bloco = 64 * 1024;
    const auto enchimento = [](int tamanho) { return QByteArray("101") + QByteArray(tamanho - 3, ' '); };
    TRuxo gerador(FDir.path());
    const QByteArray cupom = CodificaCp1252(Cupom(15, false));
    const QByteArray item1 = CodificaCp1252(Item(*gerador.Retorno(), 15, 1, false));
    const QByteArray item2 = CodificaCp1252(Item(*gerador.Retorno(), 15, 2, false));
    const struct
    {
        const char* caso;
        QByteArray bytes;
        QStringList itens;
    } casos[] = {
        {"CR LF, LF, CR, no end", cupom + "\r\n" + item1 + "\n" + item2 + "\r" + item1, {"15/1", "15/2", "15/1"}},
        {"CR LF across the boundary", enchimento(bloco - 1) + "\r\n" + cupom + "\r\n" + item1 + "\r\n", {"15/1"}},
        {"lone CR at the boundary", enchimento(bloco - 1) + "\r" + cupom + "\r" + item2 + "\r", {"15/2"}},
        {"a line across the boundary", enchimento(bloco - 300) + "\r\n" + cupom + "\r\n" + item1 + "\r\n" +
                                           enchimento(bloco) + "\n" + item2,
         {"15/1", "15/2"}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        const QString arq = Caminho(QStringLiteral("ONLINE/00000005.S01"));
        QFile f(arq);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        TRuxo ruxo(FDir.path());
        ASSERT_NO_THROW(ruxo.Retorno()->Ler(arq));
        ASSERT_EQ(ruxo.Retorno()->Reg_011.Count(), 1);
        EXPECT_EQ(ruxo.Retorno()->Reg_011.Items(0).Numero_do_Cupom, 15);
        EXPECT_EQ(Ordens(ruxo.Retorno()->Reg_012), c.itens);
    }
}

TEST_F(Retorno, BytesQueNaoSaoTextoSaoLidosComoCp1252)
{
    QByteArray bytes = CodificaCp1252(Cupom(5, false));
    bytes[100] = char(0x81);
    bytes[101] = char(0xE7);
    bytes[102] = '\0';
    bytes += "\r\n";
    const QString arq = Caminho(QStringLiteral("ONLINE/00000004.S01"));
    QFile f(arq);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    TRuxo ruxo(FDir.path());
    ruxo.Retorno()->Ler(arq);
    ASSERT_EQ(ruxo.Retorno()->Reg_011.Count(), 1);
    EXPECT_EQ(ruxo.Retorno()->Reg_011.Items(0).Nome_cliente.mid(3, 2), QString(QChar(0x81)) + QChar(0xE7));
}

// Coupon 15 arrives first with its item 3 cancelled, then whole and cancelled; coupon 16 brings a
// cancelled item of its own; coupon 17 arrives cancelled while the store holds another coupon.
TEST_F(Retorno, ItensCanceladosEntreArquivos)
{
    TRuxo gerador(FDir.path());
    TRetorno& g = *gerador.Retorno();
    const QString item15_3 = Item(g, 15, 3, true);
    {
        TRuxo ruxo(FDir.path());
        ruxo.Retorno()->Ler(Grava(QStringLiteral("a.S01"), {Cupom(15, false), Item(g, 15, 1, false), Item(g, 15, 2, false), item15_3}));
        EXPECT_EQ(Ordens(ruxo.Retorno()->Reg_012), (QStringList{"15/1", "15/2", "15/3"}));
        EXPECT_EQ(ruxo.Retorno()->Reg_012.Items(2).Cancelado, QStringLiteral("C"));
        EXPECT_EQ(Cancelados(), QStringList{item15_3});
    }
    {
        TRuxo ruxo(FDir.path());
        ruxo.Retorno()->Ler(Grava(QStringLiteral("b.S01"), {Cupom(15, true), Item(g, 15, 1, true), Item(g, 15, 2, true), item15_3}));
        EXPECT_EQ(Ordens(ruxo.Retorno()->Reg_012), (QStringList{"15/1", "15/2"}));
        EXPECT_FALSE(QFile::exists(Caminho(QStringLiteral("CANCELADOS/CANCELADOS.V"))));
    }
    {
        TRuxo c(FDir.path());
        c.Retorno()->Ler(Grava(QStringLiteral("c.S01"), {Cupom(15, false), item15_3}));
        ASSERT_EQ(Cancelados(), QStringList{item15_3});
        TRuxo d(FDir.path());
        d.Retorno()->Ler(Grava(QStringLiteral("d.S01"), {Cupom(16, false), Item(g, 16, 1, false), Item(g, 16, 2, true)}));
        EXPECT_EQ(Cancelados(), QStringList{Item(g, 16, 2, true)});
    }
    {
        TRuxo ruxo(FDir.path());
        ruxo.Retorno()->Ler(Grava(QStringLiteral("e.S01"), {Cupom(17, true), Item(g, 17, 1, true), Item(g, 17, 2, true)}));
        EXPECT_EQ(Ordens(ruxo.Retorno()->Reg_012), (QStringList{"17/1", "17/2"}));
        EXPECT_FALSE(QFile::exists(Caminho(QStringLiteral("CANCELADOS/CANCELADOS.V"))));
    }
}

TEST_F(Retorno, ItemIgualNaoEDescartadoSeDifereEmUmCampo)
{
    TRuxo gerador(FDir.path());
    TRetorno& g = *gerador.Retorno();
    const QString guardado = Item(g, 15, 3, true);
    QString outroPreco = guardado;
    outroPreco.replace(99, 13, QStringLiteral("0000000000251"));
    TRuxo a(FDir.path());
    a.Retorno()->Ler(Grava(QStringLiteral("a.S01"), {Cupom(15, false), guardado, Item(g, 15, 4, true)}));
    EXPECT_EQ(Cancelados().size(), 2);
    TRuxo b(FDir.path());
    b.Retorno()->Ler(Grava(QStringLiteral("b.S01"), {Cupom(15, true), outroPreco, guardado}));
    EXPECT_EQ(Ordens(b.Retorno()->Reg_012), QStringList{"15/3"});  // the one with the other price
    EXPECT_EQ(Cancelados(), QStringList{Item(g, 15, 4, true)});
}

// A batch holds several coupons: a cancelled coupon that is not the first of its file must still
// find the items cancelled for it earlier.
TEST_F(Retorno, CupomCanceladoQueNaoEOPrimeiroDoArquivo)
{
    TRuxo gerador(FDir.path());
    TRetorno& g = *gerador.Retorno();
    const QString item15_3 = Item(g, 15, 3, true);
    TRuxo a(FDir.path());
    a.Retorno()->Ler(Grava(QStringLiteral("a.S01"), {Cupom(15, false), Item(g, 15, 1, false), item15_3}));
    TRuxo b(FDir.path());
    b.Retorno()->Ler(Grava(QStringLiteral("b.S01"), {Cupom(20, false), Item(g, 20, 1, false), Cupom(15, true),
                                                     Item(g, 15, 1, true), item15_3}));
    EXPECT_EQ(Ordens(b.Retorno()->Reg_012), (QStringList{"20/1", "15/1"}));
    EXPECT_FALSE(QFile::exists(Caminho(QStringLiteral("CANCELADOS/CANCELADOS.V"))));
}

TEST_F(Retorno, CanceladoAnteriormenteSozinhoGravaNaHora)
{
    TRuxo ruxo(FDir.path());
    TRetorno& r = *ruxo.Retorno();
    EXPECT_THROW(r.Cancelado_Anteriormente(Item(r, 15, 1, true)), EListError);
    Ruxo::LerLinha(Cupom(15, false), r.Reg_011.Add());
    EXPECT_FALSE(r.Cancelado_Anteriormente(Item(r, 15, 1, true)));
    EXPECT_EQ(Cancelados(), QStringList{Item(r, 15, 1, true)});
    r.Reg_011.Items(0).Cancelado = QStringLiteral("C");
    EXPECT_TRUE(r.Cancelado_Anteriormente(Item(r, 15, 1, true)));
    EXPECT_FALSE(QFile::exists(r.ArquivoCancelados()));
}

TEST_F(Retorno, SolicitacaoGravaSeteLinhasComCrLf)
{
    TRuxo ruxo(FDir.path());
    TRetorno& r = *ruxo.Retorno();
    r.Reg_101.CNPJ = QStringLiteral("12.345.678/0001-95");
    r.Reg_101.Data_Inicial = TDateTime::Encode(2026, 3, 1);
    r.Reg_101.Horario_Inicial = TDateTime();
    r.Reg_101.Data_Final = TDateTime::Encode(2026, 3, 4, 10, 20, 30);
    r.Reg_101.Horario_Final = TDateTime::Encode(1899, 12, 30, 23, 59, 59, 999);
    r.Reg_101.Especifico_para_o_PAF = 1;
    QString arquivo;
    r.Solicitacao({3, 4, 5, 9, 10}, arquivo);
    EXPECT_EQ(arquivo, Caminho(QStringLiteral("RETORNO/RT000001.T")));
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("10112345678000195RET01032026000000040320262359590001009\r\n"
                                      "111\r\n112\r\n113\r\n117\r\n118\r\n"
                                      "0990000000005\r\n"));

    // Kinds without a code still count in the trailer.
    r.Solicitacao({0, 1, 20, 21}, arquivo);
    EXPECT_EQ(arquivo, Caminho(QStringLiteral("RETORNO/RT000002.T")));
    EXPECT_EQ(LerArquivoCp1252(arquivo).mid(1), (QStringList{"107", "134", "0990000000004"}));
}

TEST_F(Retorno, NomeDaSolicitacaoTomaOPrimeiroLivre)
{
    TRuxo ruxo(FDir.path());
    TRetorno& r = *ruxo.Retorno();
    QString nome;
    GravarArquivoCp1252(Caminho(QStringLiteral("RETORNO/RT000002.T")), {QStringLiteral("x")});
    r.Nome_Arquivo(nome);
    EXPECT_EQ(nome, Caminho(QStringLiteral("RETORNO/RT000001.T")));
    GravarArquivoCp1252(Caminho(QStringLiteral("RETORNO/RT000001.T")), {QStringLiteral("x")});
    r.Nome_Arquivo(nome);
    EXPECT_EQ(nome, Caminho(QStringLiteral("RETORNO/RT000003.T")));
}

TEST_F(Retorno, SolicitacaoSemPastaRetornoNaoGravaNada)
{
    QDir(Caminho(QStringLiteral("RETORNO"))).removeRecursively();
    TRuxo ruxo(FDir.path());
    QString arquivo = QStringLiteral("antes");
    try {
        ruxo.Retorno()->Solicitacao({3}, arquivo);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("RETORNO"))) << e.what();
    }
    EXPECT_EQ(arquivo, QStringLiteral("antes"));
    EXPECT_FALSE(QDir(Caminho(QStringLiteral("RETORNO"))).exists());
}

TEST_F(Retorno, LinhasGravadasVoltamPeloLeitor)
{
    TRuxo ruxo(FDir.path());
    TRetorno& r = *ruxo.Retorno();
    TReg_012 item;
    for (const auto& c : TReg_012::Layout()) {
        if (c.Codificacao == Ruxo::TCodificacao::S)
            continue;
        // every field gets a value that shows a shifted or mis-scaled field
        std::visit(
            [&](auto membro) {
                using V = std::remove_reference_t<decltype(item.*membro)>;
                if constexpr (std::is_same_v<V, QString>)
                    item.*membro = QString::fromUtf8(c.Nome).left(c.Largura);
                else if constexpr (std::is_same_v<V, int>)
                    item.*membro = c.Posicao % (c.Largura < 4 ? 100 : 10000);
                else if constexpr (std::is_same_v<V, Currency>)
                    item.*membro = Currency::FromRaw((c.Largura > 4 ? c.Posicao * 10000 : 0) + 1700);
            },
            c.Campo);
    }
    const QString linha = r.Gerar_Reg_012(item);
    ASSERT_EQ(linha.size(), 281);
    TReg_012 lido;
    Ruxo::LerLinha(linha, lido);
    EXPECT_TRUE(lido == item);

    r.Reg_101.CNPJ = QStringLiteral("12.345.678/0001-95");
    r.Reg_101.Data_Inicial = TDateTime::Encode(2026, 1, 31);
    r.Reg_101.Horario_Inicial = TDateTime::Encode(1899, 12, 30, 1, 2, 3);
    r.Reg_101.Data_Final = TDateTime::Encode(2026, 12, 1);
    r.Reg_101.Horario_Final = TDateTime::Encode(1899, 12, 30, 22, 33, 44);
    r.Reg_101.Especifico_para_o_PAF = 7;
    TReg_101 l101;
    Ruxo::LerLinha(r.Gerar_Reg_101(), l101);
    EXPECT_EQ(l101.CNPJ, QStringLiteral("12345678000195"));
    EXPECT_EQ(l101.Data_Inicial, r.Reg_101.Data_Inicial);
    EXPECT_EQ(l101.Horario_Inicial, r.Reg_101.Horario_Inicial);
    EXPECT_EQ(l101.Data_Final, r.Reg_101.Data_Final);
    EXPECT_EQ(l101.Horario_Final, r.Reg_101.Horario_Final);
    EXPECT_EQ(l101.Especifico_para_o_PAF, 7);

    r.Reg_099.Registros = 123456;
    TReg_099 l099;
    Ruxo::LerLinha(r.Gerar_Reg_099(), l099);
    EXPECT_EQ(r.Gerar_Reg_099(), QStringLiteral("0990000123456"));
    EXPECT_EQ(l099.Registros, 123456);
}

}  // namespace
