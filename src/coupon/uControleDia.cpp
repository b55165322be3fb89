// The user's working-day number, kept with the coupon import that writes it into every document.

#include "uController.h"

#include "uErros.h"

QString TBaseControllerDe<ttbCAD_CONTRDIA>::NumeroControleDia(const QString& Chapa)
{
    auto controle = std::make_unique<TCAD_CONTRDIAController>();
    // One instant for the look-up and the new record, so that a call across midnight cannot look
    // for one day and write the other.
    const TDateTime agora = TDateTime::Now();
    const TDateTime hoje = agora.DatePart();
    std::unique_ptr<TCAD_CONTRDIA> dia =
        controle->daoCONTRDIA->Busca({QStringLiteral("Chapa"), QStringLiteral("Data")}, {Chapa, QVariant::fromValue(hoje)});
    if (!dia->Numero_Controle_Dia.isEmpty())
        return dia->Numero_Controle_Dia;

    auto usuarios = std::make_unique<TCAD_USUARIOSController>();
    dia->Numero_Controle_Dia = controle->daoCONTRDIA->GeraId();
    dia->Chapa = Chapa;
    dia->Nome = usuarios->daoUSUARIOS->Busca({QStringLiteral("Chapa")}, {Chapa})->Nome;
    dia->Data = hoje;
    dia->Hora = agora.ToTime().toString(QStringLiteral("hh:mm"));
    dia->Situacao_Controle_Dia = QStringLiteral("L");
    dia->Observacao = QStringLiteral("Criar: ") + Chapa + u' ' + agora.ToDate().toString(QStringLiteral("dd.MM.yyyy")) +
                      u' ' + agora.ToTime().toString(QStringLiteral("hh:mm:ss")) + QStringLiteral("  ;");
    // A number handed out without its record would be handed out again to the next caller.
    if (!controle->daoCONTRDIA->Inserir(*dia))
        throw EDatabaseError(QStringLiteral("Controle do dia do usuário %1 não gravado").arg(Chapa));
    return dia->Numero_Controle_Dia;
}
