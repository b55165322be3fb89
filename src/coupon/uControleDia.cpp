// The user's working-day number, kept with the coupon import that writes it into every document.

#include "uController.h"

#include "uErros.h"
#include "uSessao.h"

namespace {

QString NumeroSemTransacao(const QString& Chapa)
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
        throw EDatabaseError(QStringLiteral("Controle do dia do usuário %1 não gravado").arg(Chapa) +
                             (controle->daoCONTRDIA->UltimoErro().isEmpty()
                                  ? QString()
                                  : QStringLiteral(": ") + controle->daoCONTRDIA->UltimoErro()));
    return dia->Numero_Controle_Dia;
}

}  // namespace

QString TBaseControllerDe<ttbCAD_CONTRDIA>::NumeroControleDia(const QString& Chapa)
{
    // The look-up, the numbering and the insert in one transaction: the write lock taken at its
    // start keeps a second workstation from handing out the same number meanwhile, and the key on
    // the number refuses it should one still try. A caller already inside a transaction has it.
    TSessao& sessao = TSessao::Padrao();
    const bool propria = !sessao.InTransaction();
    if (propria) {
        for (int n = 0;; ++n) {
            TDaoBDE::EsperaTentativa(n);
            try {
                sessao.StartTransaction();
                break;
            } catch (const Exception&) {
                if (n == 4)
                    throw;
            }
        }
    }
    try {
        const QString numero = NumeroSemTransacao(Chapa);
        if (propria)
            sessao.Commit();
        return numero;
    } catch (...) {
        if (propria && sessao.InTransaction())
            sessao.Rollback();
        throw;
    }
}

