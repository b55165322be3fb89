#pragma once

#include "TDateTime.h"

#include <QDialog>

class QDateTimeEdit;
class QPushButton;

// The modal dialog in which the user confirms or changes a period's start and end. The values
// written before showing are kept unless the user confirms with OK.
class TfrmIntervaloData : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ResultadoOk = 1;
    static constexpr int ResultadoCancelar = 2;

    explicit TfrmIntervaloData(QWidget* AOwner = nullptr);

    TDateTime DataInicial() const { return FDataInicial; }
    TDateTime DataFinal() const { return FDataFinal; }
    void SetDataInicial(TDateTime valor);
    void SetDataFinal(TDateTime valor);

    QDateTimeEdit* edtDataInicial = nullptr;
    QDateTimeEdit* edtDataFinal = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancelar = nullptr;

public slots:
    void btnOkClick();
    void reject() override;

private:
    TDateTime FDataInicial;
    TDateTime FDataFinal;
};
