#include "uAplicacao.h"

#include "uLog.h"
#include "uNucleoTeskVado.h"

#include <exception>

const char* const MensagemSemAreaDeTrabalho =
    "teskvado: este programa precisa de uma área de trabalho gráfica, e nenhuma foi encontrada\n"
    "(DISPLAY, WAYLAND_DISPLAY e QT_QPA_PLATFORM vazias).\n"
    "Para importar os cupons sem janela use: teskvado-cli monitorar\n";

bool EntregaProtegida(const std::function<bool()>& entrega)
{
    try {
        return entrega();
    } catch (const std::exception& e) {
        TNucleoTeskVado::ApplicationEvents1Exception(e);
    } catch (...) {
        if (Log_)
            Log_->TextoErro(QStringLiteral("Erro desconhecido"));
    }
    return false;
}

TAplicacaoTeskVado::TAplicacaoTeskVado(int& argc, char** argv) : QApplication(argc, argv) {}

bool TAplicacaoTeskVado::notify(QObject* receptor, QEvent* evento)
{
    return EntregaProtegida([&] { return QApplication::notify(receptor, evento); });
}

bool TemAreaDeTrabalho()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    for (const char* variavel : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(variavel))
            return true;
    return false;
#endif
}
