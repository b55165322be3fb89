#include "uUIConsole.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char* NomeTipo(IUIPort::TTipoMensagem tipo)
{
    switch (tipo) {
    case IUIPort::TTipoMensagem::Atencao: return "Atenção";
    case IUIPort::TTipoMensagem::Erro: return "Erro";
    case IUIPort::TTipoMensagem::Informacao: return "Informação";
    case IUIPort::TTipoMensagem::Simples: break;
    }
    return "Mensagem";
}

TUIConsole& PortaPadrao()
{
    static TUIConsole porta;
    return porta;
}

IUIPort*& PortaAtual()
{
    static IUIPort* porta = nullptr;
    return porta;
}

}  // namespace

IUIPort& UI()
{
    IUIPort* p = PortaAtual();
    return p ? *p : PortaPadrao();
}

void DefinirUI(IUIPort* porta) { PortaAtual() = porta; }

bool TUIConsole::Pergunta(const QString& texto)
{
    Perguntas << texto;
    if (!Silencioso)
        std::fprintf(stderr, "%s %s\n", qPrintable(texto), RespostaPergunta ? "Sim" : "Não");
    return RespostaPergunta;
}

void TUIConsole::Mensagem(TTipoMensagem tipo, const QString& texto)
{
    QString linha = QString::fromUtf8(NomeTipo(tipo)) + QStringLiteral(": ") + texto;
    Mensagens << linha;
    if (!Silencioso)
        std::fprintf(stderr, "%s\n", qPrintable(linha));
}

bool TUIConsole::PedeIntervalo(TDateTime& inicial, TDateTime& /*final*/)
{
    if (CancelarIntervalo)
        return false;
    if (InicioEscolhido)
        inicial = *InicioEscolhido;
    return true;
}

void TUIConsole::ProcessarEventos()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
