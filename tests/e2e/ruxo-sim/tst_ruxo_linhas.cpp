#include "uCp1252.h"
#include "uErros.h"
#include "uRuxoLinhas.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <gtest/gtest.h>

using namespace RuxoSim;

namespace {

// Rebuilds every line of one of Ruxo's sample files from the field values listed beside it.
// Each field of those samples differs from its neighbours, so a wrong start, width, fill or
// decimal scale in the layouts shows up as a differing line.
void ConfereAmostra(const QString& arquivo)
{
    const QString base = QStringLiteral(TV_DADOS_RUXO "/") + arquivo;
    const QStringList linhas = LerArquivoCp1252(base);
    QFile json(base + ".json");
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonArray registros = QJsonDocument::fromJson(json.readAll()).array();
    ASSERT_EQ(registros.size(), linhas.size());

    for (qsizetype i = 0; i < registros.size(); ++i) {
        const QJsonObject r = registros[i].toObject();
        TLinhaRuxo l(r["record"].toString());
        QSet<QString> faltam;
        for (const TCampoLayout& c : l.Layout().campos)
            if (c.codificacao != TCodificacao::S)
                faltam.insert(c.nome);
        if (l.Layout().tipo == u"001") {
            l.Texto(u"Tipo_de_Arquivo", u"RET");  // not among the values a reader gives
            faltam.remove(QStringLiteral("Tipo_de_Arquivo"));
        }
        const QJsonObject campos = r["fields"].toObject();
        for (auto it = campos.begin(); it != campos.end(); ++it) {
            const QString nome = it.key();
            const TCampoLayout* campo = nullptr;
            for (const TCampoLayout& c : l.Layout().campos)
                if (c.nome == nome)
                    campo = &c;
            ASSERT_NE(campo, nullptr) << "registro " << r["record"].toString().toStdString()
                                      << " sem o campo " << nome.toStdString();
            faltam.remove(nome);
            switch (campo->codificacao) {
            case TCodificacao::N: l.Inteiro(nome, it.value().toInteger()); break;
            case TCodificacao::V:
            case TCodificacao::Q:
            case TCodificacao::R: l.Valor(nome, Currency::Parse(it.value().toString()).value()); break;
            case TCodificacao::D8: l.Data(nome, QDate::fromString(it.value().toString(), u"yyyy-MM-dd")); break;
            case TCodificacao::H6: l.Hora(nome, QTime::fromString(it.value().toString(), u"HH:mm:ss")); break;
            default: l.Texto(nome, it.value().toString()); break;
            }
        }
        EXPECT_TRUE(faltam.isEmpty()) << "linha " << i + 1 << ": campos sem valor na amostra: "
                                      << QStringList(faltam.values()).join(u", ").toStdString();
        EXPECT_EQ(l.Linha(), linhas[i]) << "linha " << i + 1 << " (" << r["record"].toString().toStdString() << ")";
    }
}

}  // namespace

TEST(LinhasRuxo, ReproduzAsAmostrasDoRuxo)
{
    ConfereAmostra(QStringLiteral("00004001.S01"));
    ConfereAmostra(QStringLiteral("RT000001.S01"));
}

TEST(LinhasRuxo, CadaRegistroTemSeuComprimento)
{
    const std::pair<const char*, int> tipos[] = {{"001", 41}, {"011", 661}, {"012", 281}, {"013", 403},
                                                 {"017", 376}, {"018", 90}, {"020", 131}, {"035", 50},
                                                 {"099", 13}, {"101", 55}};
    for (auto [tipo, comprimento] : tipos) {
        TLinhaRuxo l(QString::fromLatin1(tipo));
        EXPECT_EQ(l.Linha().size(), comprimento) << tipo;
        EXPECT_TRUE(l.Linha().startsWith(QString::fromLatin1(tipo))) << tipo;
    }
    EXPECT_THROW(TLinhaRuxo(u"014"), EConvertError);
}

TEST(LinhasRuxo, CodificacoesNosLimites)
{
    struct Caso
    {
        const char* tipo;
        const char* campo;
        std::function<void(TLinhaRuxo&)> define;
        int inicio, largura;
        const char* esperado;
    };
    const Caso casos[] = {
        {"012", "Quantidade", [](TLinhaRuxo& l) { l.Valor(u"Quantidade", Currency::FromRaw(15000)); }, 87, 13, "0000000001500"},
        {"035", "Quantidade_em_estoque", [](TLinhaRuxo& l) { l.Valor(u"Quantidade_em_estoque", Currency::FromRaw(15000)); }, 24, 13, "0000000001500"},
        {"012", "Preco_de_venda", [](TLinhaRuxo& l) { l.Valor(u"Preco_de_venda", Currency::FromRaw(123400)); }, 100, 13, "0000000001234"},
        {"012", "Aliquota", [](TLinhaRuxo& l) { l.Valor(u"Aliquota", Currency(18)); }, 140, 4, "1800"},
        // The mask rounds half away from zero, also below zero, and keeps the sign inside the fill.
        {"013", "Valor", [](TLinhaRuxo& l) { l.Valor(u"Valor", Currency::FromRaw(50)); }, 30, 13, "0000000000001"},
        {"013", "Valor", [](TLinhaRuxo& l) { l.Valor(u"Valor", Currency::FromRaw(-123450)); }, 30, 13, "00000000-1235"},
        {"035", "Codigo_do_produto", [](TLinhaRuxo& l) { l.Texto(u"Codigo_do_produto", u"ABCDEFGHIJKLMNOPQRSTUVWXY"); }, 4, 20, "ABCDEFGHIJKLMNOPQRST"},
        {"012", "Numero_do_Cupom", [](TLinhaRuxo& l) { l.Inteiro(u"Numero_do_Cupom", 1234567); }, 18, 6, "123456"},
        {"020", "CNPJ", [](TLinhaRuxo& l) { l.Texto(u"CNPJ", u"12.345.678/0001-95"); }, 99, 14, "12345678000195"},
        {"020", "Inscricao_Estadual", [](TLinhaRuxo& l) { l.Texto(u"Inscricao_Estadual", u"110.042.490.114"); }, 113, 14, "110042490114  "},
        {"101", "CNPJ", [](TLinhaRuxo& l) { l.Texto(u"CNPJ", u"12.345.678/0001-95"); }, 4, 14, "12345678000195"},
        {"101", "Horario_Final", [](TLinhaRuxo& l) { l.Hora(u"Horario_Final", QTime(23, 59, 59, 999)); }, 43, 6, "235959"},
        {"035", "Data", [](TLinhaRuxo& l) { l.Data(u"Data", QDate(2026, 3, 9)); }, 37, 8, "09032026"},
    };
    for (const Caso& c : casos) {
        TLinhaRuxo l(QString::fromLatin1(c.tipo));
        c.define(l);
        EXPECT_EQ(l.Linha().mid(c.inicio - 1, c.largura), QString::fromLatin1(c.esperado)) << c.tipo << " " << c.campo;
        EXPECT_EQ(l.Linha().size(), l.Layout().comprimento) << c.tipo << " " << c.campo;
    }
}

TEST(LinhasRuxo, RecusaCampoDesconhecidoOuValorDeOutroTipo)
{
    TLinhaRuxo l(u"012");
    EXPECT_THROW(l.Texto(u"Quantidade", u"1,5"), EConvertError);
    EXPECT_THROW(l.Valor(u"Codigo_Produto", Currency(1)), EConvertError);
    EXPECT_THROW(l.Inteiro(u"Data", 1), EConvertError);
    EXPECT_THROW(l.Texto(u"Codigo_do_Produto", u"x"), EConvertError);  // 012 spells it Codigo_Produto
}
