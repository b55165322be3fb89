#include "uImportaReducaoZ.h"
#include "uImportaReducaoZTeste.h"

#include "uBibliot.h"
#include "uController.h"
#include "uErros.h"
#include "uLog.h"
#include "uReducaoZ.h"
#include "uRuxo.h"
#include "uSys.h"
#include "uUIPort.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cmath>
#include <memory>

namespace {

constexpr int PausaPassoPadrao = 100;
constexpr int Tentativas = 9;
int g_pausaPasso = PausaPassoPadrao;
bool g_emAndamento = false;

// A second click on "Importar Redução" arrives while the wait lets window events run; it
// must not start a second request and a second wait inside the first.
class TGuardaReentrada
{
public:
    TGuardaReentrada() : FAtivo(!g_emAndamento) { g_emAndamento = true; }
    ~TGuardaReentrada()
    {
        if (FAtivo)
            g_emAndamento = false;
    }
    bool Ativo() const { return FAtivo; }

private:
    bool FAtivo;
};

// The progress bar and the busy cursor go back to normal however the wait or the import ends.
class TGuardaEspera
{
public:
    explicit TGuardaEspera(int maximo)
    {
        UI().CursorOcupado(true);
        UI().ProgressoPosicao(0);
        UI().ProgressoMaximo(maximo);
        UI().ProgressoVisivel(true);
    }
    ~TGuardaEspera() { Encerra(); }
    void Encerra()
    {
        if (FEncerrado)
            return;
        FEncerrado = true;
        UI().ProgressoVisivel(false);
        UI().CursorOcupado(false);
    }

private:
    bool FEncerrado = false;
};

int NumeroECF()
{
    bool ok = false;
    const int numero = Sys_.Numero_do_ECF.trimmed().toInt(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' não é um valor inteiro válido").arg(Sys_.Numero_do_ECF));
    return numero;
}

TDateTime ComoData(const QVariant& valor)
{
    if (!valor.isValid() || valor.isNull())
        return {};
    if (valor.metaType() == QMetaType::fromType<TDateTime>())
        return valor.value<TDateTime>();
    switch (valor.metaType().id()) {
    case QMetaType::QDate:
        return TDateTime::FromDate(valor.toDate());
    case QMetaType::QDateTime:
        return TDateTime::FromDateTime(valor.toDateTime());
    case QMetaType::QString: {
        const QString texto = valor.toString();
        if (texto.isEmpty())
            return {};
        QDate data = QDate::fromString(texto.left(10), Qt::ISODate);
        if (!data.isValid())
            data = QDate::fromString(texto.left(10), QStringLiteral("dd/MM/yyyy"));
        if (data.isValid())
            return TDateTime::FromDate(data);
        break;
    }
    default:
        break;
    }
    throw EConvertError(QStringLiteral("'%1' não é uma data válida").arg(valor.toString()));
}

void Apaga(const QString& arquivo)
{
    if (QFileInfo::exists(arquivo) && !QFile::remove(arquivo))
        throw EInOutError(QStringLiteral("Erro ao apagar: ") + QDir::toNativeSeparators(arquivo));
}

bool Importa(const QString& DirMonitorar)
{
    if (!UI().Pergunta(QStringLiteral("Importar redução Z ?")))
        return false;

    auto controller = std::make_unique<TVEN_ECF_CController>();
    TRuxo ruxo(DirMonitorar);
    TRetorno& retorno = *ruxo.Retorno();
    // Converted before anything is asked or written: a request without its printer's number
    // cannot be made, and the look-up binds the number as the column's type.
    const int ecf = NumeroECF();

    QVariant ultima;
    controller->daoECF_C->GetMax(QStringLiteral("Data"),
                                 {QStringLiteral("Codigo da Empresa"), QStringLiteral("Numero do ECF")},
                                 {Sys_.Codigo_da_Empresa, ecf}, ultima);
    const TDateTime agora = TDateTime::Now();
    TDateTime inicio = InicioPropostoReducaoZ(ultima, agora);
    TDateTime inicial = inicio;
    TDateTime fim = agora.DatePart() + TDateTime::FromTime(QTime(23, 59, 59, 999)).Valor();
    // Ruxo is asked for whole days, so a time picked in the dialog must not drop the first
    // day's reduction from the conversion.
    if (UI().PedeIntervalo(inicial, fim))
        inicio = inicial.DatePart();

    retorno.Reg_101.CNPJ = Sys_.CGC_da_Empresa;
    retorno.Reg_101.Data_Inicial = inicio;
    retorno.Reg_101.Horario_Inicial = TDateTime();
    retorno.Reg_101.Data_Final = agora;
    retorno.Reg_101.Horario_Final = TDateTime::FromTime(QTime(23, 59, 59, 999));
    retorno.Reg_101.Especifico_para_o_PAF = ecf;

    QString pedido;
    retorno.Solicitacao({3, 4, 5, 9, 10}, pedido);
    const QString logResposta = TrocaExtensao(pedido, QStringLiteral(".L") + Sys_.Numero_do_ECF);
    const QString dadosResposta = TrocaExtensao(pedido, QStringLiteral(".S") + Sys_.Numero_do_ECF);

    const int unidade = UnidadeEsperaReducaoZ(inicio, TDateTime::Now());
    const QString textoUnidade = QString::number(unidade / 1000);
    const int passos = unidade / 100;
    {
        TGuardaEspera espera(passos);
        for (int tentativa = 1; tentativa <= Tentativas; ++tentativa) {
            if (Log_)
                Log_->TextoAtencao(QStringLiteral("Aguardando resposta do INTEGRADOR tentativa ") +
                                   QString::number(tentativa) + QStringLiteral("/9 até ") + textoUnidade +
                                   QStringLiteral(" Segundos"));
            for (int passo = 0; passo <= passos; ++passo) {
                if (g_pausaPasso > 0)
                    QThread::msleep(ulong(g_pausaPasso));
                UI().ProgressoPosicao(passo);
                UI().ProcessarEventos();
            }
            if (QFileInfo::exists(logResposta))
                break;
        }
    }

    if (!QFileInfo::exists(logResposta)) {
        if (Log_) {
            Log_->Espaco();
            Log_->TextoErro(QStringLiteral("Arquivo de Log de retorno não gerado !"));
            Log_->TextoColorido({QStringLiteral("         Verificar se INTEGRADOR do RUXO esta em execução !")},
                                {CoresLog::Vermelho});
            Log_->TextoColorido(
                {QStringLiteral("         Caso não esteja em execução, carrega-lo e repetir esta operação !")},
                {CoresLog::Vermelho});
        }
        Apaga(pedido);
        return false;
    }

    bool ok = false;
    const QStringList linhas = ruxo.Status(ok, logResposta);
    if (Log_) {
        Log_->Espaco();
        for (const QString& linha : linhas)
            Log_->TextoColorido({linha}, {ok ? CoresLog::Verde : CoresLog::Vermelho});
        if (!ok)
            Log_->TextoErro(QStringLiteral("Verificar o arquivo LOG as ocorrências"));
    }

    // Even without the success line whatever Ruxo delivered is taken.
    retorno.Ler(dadosResposta);
    const bool convertido = ConverterReducaoZ(ruxo, inicio);
    if (convertido && Log_) {
        Log_->Espaco();
        Log_->TextoOK(QStringLiteral("Redução Z Importada"));
    }

    Apaga(dadosResposta);
    Apaga(logResposta);
    Apaga(pedido);
    return convertido;
}

}  // namespace

void DefinirPausaPassoReducaoZ(int ms) { g_pausaPasso = ms < 0 ? PausaPassoPadrao : ms; }

bool ImportacaoReducaoZEmAndamento() { return g_emAndamento; }

TDateTime InicioPropostoReducaoZ(const QVariant& UltimaData, TDateTime Agora)
{
    TDateTime inicio = ComoData(UltimaData);
    // No reduction imported yet reads as a date long past, so a first import also starts at
    // the month's first day instead of failing on the missing value.
    if (inicio.IsEmpty() || Agora - 30.0 > inicio) {
        const QDate hoje = Agora.ToDate();
        inicio = TDateTime::FromDate(QDate(hoje.year(), hoje.month(), 1));
    }
    return inicio.DatePart();
}

int UnidadeEsperaReducaoZ(TDateTime Inicio, TDateTime Agora)
{
    const double dias = std::trunc(Agora - Inicio);
    return dias <= 5 ? 10000 : 20000;
}

bool ImportarReducaoZ(const QString& DirMonitorar)
{
    TGuardaReentrada guarda;
    if (!guarda.Ativo())
        return false;
    try {
        return Importa(DirMonitorar);
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        if (Log_)
            Log_->TextoErro(e.Message());
    } catch (const std::exception& e) {
        if (Log_)
            Log_->TextoErro(QString::fromUtf8(e.what()));
    }
    return false;
}
