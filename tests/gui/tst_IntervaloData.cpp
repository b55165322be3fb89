#include "AuxGui.h"
#include "uIntervaloData.h"

#include <QDateTimeEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class IntervaloData : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dlg.SetDataInicial(inicio);
        dlg.SetDataFinal(fim);
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    }
    void Tecla(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }

    const TDateTime inicio = TDateTime::Encode(2024, 3, 1, 0, 0, 0);
    const TDateTime fim = TDateTime::Encode(2024, 3, 15, 17, 30, 0);
    TfrmIntervaloData dlg;
};

}  // namespace

TEST_F(IntervaloData, AbreNoOkComOsValoresPropostos)
{
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Intervalo de Data"));
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnOk);
    EXPECT_EQ(TDateTime::FromDateTime(dlg.edtDataInicial->dateTime()), inicio);
    EXPECT_EQ(TDateTime::FromDateTime(dlg.edtDataFinal->dateTime()), fim);
}

TEST_F(IntervaloData, EnterAvancaEEscVoltaSemFechar)
{
    dlg.edtDataInicial->setFocus();
    Tecla(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), dlg.edtDataFinal);
    Tecla(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), dlg.edtDataInicial);
    Tecla(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnCancelar);
    Tecla(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnOk);
    // From the first control Esc wraps round to the last; the dialog never closes on it.
    Tecla(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), dlg.edtDataFinal);
    EXPECT_TRUE(dlg.isVisible());
    // Enter on the last edit goes round to OK without confirming anything.
    Tecla(Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), dlg.btnOk);
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(IntervaloData, EnterNoOkConfirmaOQueFoiEditado)
{
    const TDateTime outro = TDateTime::Encode(2024, 2, 20, 8, 0, 0);
    dlg.edtDataInicial->setDateTime(outro.ToDateTime());
    // Until confirmed, the property keeps what was written.
    EXPECT_EQ(dlg.DataInicial(), inicio);
    dlg.btnOk->setFocus();
    Tecla(Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), TfrmIntervaloData::ResultadoOk);
    EXPECT_EQ(dlg.DataInicial(), outro);
    EXPECT_EQ(dlg.DataFinal(), fim);
}

TEST_F(IntervaloData, CancelarMantemOsValoresEscritos)
{
    dlg.edtDataInicial->setDateTime(TDateTime::Encode(2023, 1, 1).ToDateTime());
    dlg.btnCancelar->setFocus();
    Tecla(Qt::Key_Return);
    EXPECT_EQ(dlg.result(), TfrmIntervaloData::ResultadoCancelar);
    EXPECT_EQ(dlg.DataInicial(), inicio);
    EXPECT_EQ(dlg.DataFinal(), fim);
}

TEST_F(IntervaloData, BotaoAgoraUsaORelogioDoPrograma)
{
    const QDateTime agora(QDate(2025, 6, 7), QTime(9, 10, 11));
    TDateTime::RelogioDeTeste([agora] { return agora; });
    dlg.findChild<QAbstractButton*>(QStringLiteral("edtDataFinalAgora"))->click();
    TDateTime::RelogioDeTeste({});
    EXPECT_EQ(dlg.edtDataFinal->dateTime(), agora);
    EXPECT_EQ(dlg.DataFinal(), fim);
}
