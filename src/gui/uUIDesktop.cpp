#include "uUIDesktop.h"

#include "uIntervaloData.h"
#include "uMensagensTesk.h"

#include <QApplication>
#include <QProgressBar>

TUIDesktop::~TUIDesktop()
{
    while (FOcupado > 0) {
        QApplication::restoreOverrideCursor();
        --FOcupado;
    }
}

bool TUIDesktop::Pergunta(const QString& texto)
{
    return TMensagens::MSG_Conf_Geral(texto, 0);
}

void TUIDesktop::Mensagem(TTipoMensagem tipo, const QString& texto)
{
    switch (tipo) {
    case TTipoMensagem::Atencao:
        TMensagens::MSG_Atencao(texto);
        break;
    case TTipoMensagem::Erro:
        TMensagens::MSG_Erro(texto);
        break;
    case TTipoMensagem::Informacao:
        TMensagens::MSG_Informacao(texto);
        break;
    case TTipoMensagem::Simples:
        TMensagens::MSG_DLG(texto, ::TTipoMensagem::MsSimples, BtOk, 0);
        break;
    }
}

bool TUIDesktop::PedeIntervalo(TDateTime& inicial, TDateTime& final)
{
    TfrmIntervaloData dlg(FJanela);
    dlg.SetDataInicial(inicial);
    dlg.SetDataFinal(final);
    // A question asked while the hourglass is up still needs the arrow to answer it.
    const bool ocupado = FOcupado > 0;
    if (ocupado)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int resultado = dlg.exec();
    if (ocupado)
        QApplication::restoreOverrideCursor();
    if (resultado != TfrmIntervaloData::ResultadoOk)
        return false;
    inicial = dlg.DataInicial();
    final = dlg.DataFinal();
    return true;
}

void TUIDesktop::ProgressoMaximo(int maximo)
{
    if (FBarra)
        FBarra->setMaximum(maximo);
}

void TUIDesktop::ProgressoPosicao(int posicao)
{
    if (FBarra)
        FBarra->setValue(posicao);
}

void TUIDesktop::ProgressoVisivel(bool visivel)
{
    if (FBarra)
        FBarra->setVisible(visivel);
}

void TUIDesktop::CursorOcupado(bool ocupado)
{
    // Nested busy spans stack; the arrow comes back when the outermost one ends.
    if (ocupado) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++FOcupado;
    } else if (FOcupado > 0) {
        QApplication::restoreOverrideCursor();
        --FOcupado;
    }
}

void TUIDesktop::ProcessarEventos()
{
    QCoreApplication::processEvents();
}
