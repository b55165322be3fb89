#include "Currency.h"
#include "TDateTime.h"
#include "uValida.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>

namespace {

class Valida : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* l = new QVBoxLayout(&janela);
        for (QLineEdit** e : {&empresa, &usuario, &ecf}) {
            *e = new QLineEdit(&janela);
            l->addWidget(*e);
        }
        janela.show();
        janela.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&janela));
    }
    QList<QLabel*> Icones() { return janela.findChildren<QLabel*>(QStringLiteral("ErrorIndicator")); }

    QWidget janela;
    QLineEdit* empresa = nullptr;
    QLineEdit* usuario = nullptr;
    QLineEdit* ecf = nullptr;
};

}  // namespace

TEST_F(Valida, MarcasSeSomamEOFocoFicaNaUltima)
{
    auto v = std::make_unique<TValida>();
    v->ValidaParametos(empresa, QStringLiteral("Informe a empresa"));
    v->ValidaParametos(ecf, QStringLiteral("Informe o ECF"));
    const auto icones = Icones();
    ASSERT_EQ(icones.size(), 2);
    QStringList dicas{icones[0]->toolTip(), icones[1]->toolTip()};
    dicas.sort();
    EXPECT_EQ(dicas, (QStringList{"Informe a empresa", "Informe o ECF"}));
    EXPECT_EQ(QApplication::focusWidget(), ecf);
    for (QLabel* i : icones) {
        EXPECT_TRUE(i->isVisible());
        const QWidget* alvo = i->toolTip().contains("ECF") ? static_cast<QWidget*>(ecf) : empresa;
        // Beside the control, at its height.
        EXPECT_GT(i->x(), alvo->geometry().right());
        EXPECT_TRUE(alvo->geometry().contains(alvo->geometry().right(), i->geometry().center().y()));
    }

    // A control marked again keeps one icon with the newest message.
    v->ValidaParametos(empresa, QStringLiteral("Empresa inexistente"));
    EXPECT_EQ(Icones().size(), 2);

    v.reset();
    EXPECT_TRUE(Icones().isEmpty());
}

TEST_F(Valida, ControleDesabilitadoEMarcadoSemReceberFoco)
{
    usuario->setFocus();
    ecf->setEnabled(false);
    TValida v;
    v.ValidaParametos(ecf, QStringLiteral("Informe o ECF"));
    EXPECT_EQ(Icones().size(), 1);
    EXPECT_EQ(QApplication::focusWidget(), usuario);
}

TEST_F(Valida, ValidaCampoPeloTipoDoCampo)
{
    struct Caso
    {
        const char* nome;
        QVariant valor;
        bool valido;
    };
    const Caso casos[] = {
        {"inteiro -5", QVariant(-5), false},
        {"inteiro 0", QVariant(0), false},
        {"inteiro 7", QVariant(7), true},
        {"texto vazio", QVariant(QString()), false},
        {"texto", QVariant(QStringLiteral("001")), true},
        {"real nulo", QVariant(QMetaType::fromType<double>()), false},
        {"real 0", QVariant(0.0), true},  // floats count by their text, and "0" is a text
        {"moeda 0", QVariant::fromValue(Currency()), false},
        {"moeda 1,5", QVariant::fromValue(Currency::FromDouble(1.5)), true},
        {"data vazia", QVariant::fromValue(TDateTime()), false},
        {"data", QVariant::fromValue(TDateTime::Encode(2024, 1, 2)), true},
        {"lógico falso", QVariant(false), true},
    };
    for (const Caso& c : casos) {
        TValida v;
        EXPECT_EQ(v.ValidaCampo(empresa, c.valor, QStringLiteral("falta")), c.valido) << c.nome;
        EXPECT_EQ(Icones().size(), c.valido ? 0 : 1) << c.nome;
    }
}
