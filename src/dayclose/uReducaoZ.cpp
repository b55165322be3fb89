#include "uReducaoZ.h"

#include "uBibliot.h"
#include "uController.h"
#include "uErros.h"
#include "uLog.h"
#include "uRuxo.h"
#include "uSessao.h"
#include "uSys.h"

#include <QStringList>
#include <QVariantList>

#include <memory>

QString DoisDigitos(int Numero)
{
    return QString::number(Numero).rightJustified(2, u'0').left(2);
}

QString SerieReducaoZ(int NumeroECF, int NumeroCRO)
{
    return u'X' + QString::number(NumeroECF) + DoisDigitos(NumeroCRO);
}

namespace {

// The DAO has already logged each of its attempts; what is left to say is which row it was,
// and to stop, so that the transaction is undone instead of committed with a hole in it.
void Exige(bool gravou, const QString& tabela, const QString& serie, TDateTime data)
{
    if (!gravou)
        throw EDatabaseError(QStringLiteral("Falha ao gravar %1 da redução Z %2 de %3")
                                 .arg(tabela, serie, data.ToString()));
}

void GravaReducao(TVEN_ECF_CDaoBDE& dao, const TReg_017& Z, const QString& serie)
{
    const QStringList chaves{QStringLiteral("Numero do ECF"), QStringLiteral("Codigo da Empresa"),
                             QStringLiteral("Data")};
    const QVariantList valores{Z.Numero_do_ECF, Sys_.Codigo_da_Empresa, QVariant::fromValue(Z.Data_Reducao)};
    std::unique_ptr<TVEN_ECF_C> c = dao.Busca(chaves, valores);
    const bool existe = !c->Codigo_da_Empresa.isEmpty();

    c->Codigo_da_Empresa = Sys_.Codigo_da_Empresa;
    c->Serie_do_Documento = serie;
    c->Data = Z.Data_Reducao;
    c->Nome_Fantasia_Empresa = Sys_.Nome_Fantasia_Empresa;
    c->Numero_Sequencia = QStringLiteral("000000");
    c->Numero_Cupom_Inicial = QString::number(Z.COO_Inicial);
    c->Numero_Cupom_Final = QString::number(Z.COO_Final);
    c->Numero_Cupom_Reducao = QString::number(Z.COO_Reducao_Z);
    c->Contador_Reducao = QString::number(Z.CRZ);
    c->Totalizador_Inicial = Z.GT_Inicial;
    c->Totalizador_Final = Z.GT_Final;
    c->Cancelados = Z.Total_Cancelados;
    c->Descontos = Z.Total_Descontos;
    c->Isento = Z.Total_Isento;
    c->Nao_Incidencia = Z.Total_nao_incidencia;
    c->Substituicao_Tributaria = Z.Total_de_Substituicao;
    c->Acrescimos = Z.Total_Acrescimo;
    c->Acrescimos_Financeiros = Currency();
    c->Sangria = Currency();
    c->Suprimentos = Currency();
    c->ISSQN = Currency();
    c->Numero_do_ECF = Z.Numero_do_ECF;
    c->Numero_Serie_Fabricacao = Z.Numero_de_Serie_do_ECF;
    c->ISSQN_Cancelados = Z.Cancelado_ISS;
    c->ISSQN_Descontos = Z.Desconto_ISS;
    c->ISSQN_Acrescimos = Z.Acrescimo_ISS;
    c->ISSQN_Isento = Z.Isento_ISS;
    c->ISSQN_Nao_Incidencia = Z.Nao_incidente_ISS;
    c->ISSQN_Subs_Tributaria = Z.Substituicao_tributaria_ISS;
    // "Data Emissao" is left alone: an existing row keeps the date it was issued with.
    c->Reinicio_Operacao = QString::number(Z.Numero_do_CRO);
    c->Codigo_Usuario = Sys_.Codigo_do_Usuario;
    const TDateTime agora = TDateTime::Now();
    c->Data_Inclusao = agora.DatePart();
    c->Hora_Inclusao = agora.ToTime().toString(QStringLiteral("hh:mm"));
    c->Numero_Controle_dia = Sys_.Numero_Controle_Dia;

    const bool gravou = existe ? dao.Atualizar(*c, chaves, valores) : dao.Inserir(*c);
    Exige(gravou, QStringLiteral("VEN_ECF_C"), serie, Z.Data_Reducao);
}

// VEN_ECF_T and VEN_ECF_S differ only in the names of their rate columns.
template <class TModelo, class TDao>
void GravaAliquota(TDao& dao, const TReg_017& Z, const TReg_018& R, const QString& serie, const char* tabela,
                   const QString& colunaAliquota, QString TModelo::*indice, Currency TModelo::*aliquota,
                   Currency TModelo::*base, Currency TModelo::*valor)
{
    const QStringList chaves{QStringLiteral("Codigo da Empresa"), QStringLiteral("Serie do Documento"),
                             QStringLiteral("Data"), colunaAliquota};
    const QVariantList valores{Sys_.Codigo_da_Empresa, serie, QVariant::fromValue(Z.Data_Reducao),
                               QVariant::fromValue(R.Aliquota)};
    std::unique_ptr<TModelo> t = dao.Busca(chaves, valores);
    const bool existe = !t->Codigo_da_Empresa.isEmpty();

    t->Codigo_da_Empresa = Sys_.Codigo_da_Empresa;
    t->Serie_do_Documento = serie;
    t->Data = Z.Data_Reducao;
    (*t).*indice = FormataTexto(QString::number(R.Indice_da_aliquota), 2, u'N');
    (*t).*aliquota = R.Aliquota;
    (*t).*base = R.Base_de_calculo;
    (*t).*valor = R.Valor_Imposto;

    const bool gravou = existe ? dao.Atualizar(*t, chaves, valores) : dao.Inserir(*t);
    Exige(gravou, QString::fromLatin1(tabela), serie, Z.Data_Reducao);
}

}  // namespace

bool ConverterReducaoZ(TRuxo& Ruxo, TDateTime DataInicial)
{
    TRetorno& retorno = *Ruxo.Retorno();
    if (Log_) {
        Log_->Espaco();
        Log_->TextoSimples(QStringLiteral("Aguarde, Convertendo Reducao Z"));
    }
    auto controllerC = std::make_unique<TVEN_ECF_CController>();

    if (retorno.Reg_017.Count() == 0) {
        if (Log_) {
            Log_->Espaco();
            Log_->TextoErro(QStringLiteral("Redução não importada arquivo sem movimentações"));
        }
        return false;
    }

    // One controller per rate table for the whole answer: each would only read the same
    // structure again for every line.
    std::unique_ptr<TVEN_ECF_TController> controllerT;
    std::unique_ptr<TVEN_ECF_SController> controllerS;
    const QString croAnterior = Sys_.Numero_do_CRO;

    TSessao& sessao = TSessao::Padrao();
    sessao.StartTransaction();
    try {
        for (const TReg_017& Z : retorno.Reg_017) {
            if (Z.Data_Reducao < DataInicial)
                continue;
            const QString serie = SerieReducaoZ(Z.Numero_do_ECF, Z.Numero_do_CRO);
            Sys_.Numero_do_CRO = DoisDigitos(Z.Numero_do_CRO);
            GravaReducao(*controllerC->daoECF_C, Z, serie);

            for (const TReg_018& R : retorno.Reg_018) {
                if (R.Numero_do_ECF != Z.Numero_do_ECF || R.PK_Cupom != Z.PK_Cupom)
                    continue;
                if (R.Servico == u"S") {
                    if (!controllerS)
                        controllerS = std::make_unique<TVEN_ECF_SController>();
                    GravaAliquota(*controllerS->daoECF_S, Z, R, serie, "VEN_ECF_S",
                                  QStringLiteral("Aliquota de ISSQN"), &TVEN_ECF_S::Indice_Aliquota,
                                  &TVEN_ECF_S::Aliquota_de_ISSQN, &TVEN_ECF_S::Base_de_Calculo_ISSQN,
                                  &TVEN_ECF_S::Valor_do_ISSQN);
                } else {
                    if (!controllerT)
                        controllerT = std::make_unique<TVEN_ECF_TController>();
                    GravaAliquota(*controllerT->daoECF_T, Z, R, serie, "VEN_ECF_T",
                                  QStringLiteral("Aliquota de ICMS"), &TVEN_ECF_T::Indice_Aliquota,
                                  &TVEN_ECF_T::Aliquota_de_ICMS, &TVEN_ECF_T::Base_de_Calculo_ICMS,
                                  &TVEN_ECF_T::Valor_do_ICMS);
                }
            }
        }
        sessao.Commit();
    } catch (...) {
        // The counter must not name a reduction that is no longer in the ERP.
        Sys_.Numero_do_CRO = croAnterior;
        try {
            if (sessao.InTransaction())
                sessao.Rollback();
        } catch (...) {
            // The caller needs the error that stopped the conversion, not the rollback's.
        }
        throw;
    }
    return true;
}
