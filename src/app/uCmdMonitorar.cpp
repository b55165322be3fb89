#include "uCmdMonitorar.h"

#include "uNucleoTeskVado.h"
#include "uParada.h"
#include "uSessaoConsole.h"
#include "uVisaoMemoria.h"

const char* const AjudaMonitorar =
    "  monitorar [--uma-vez]\n"
    "                inicia como o programa de janela (INI, listas, parâmetros da empresa) e\n"
    "                importa os cupons da pasta ONLINE a cada INTERVALO milissegundos, até\n"
    "                SIGINT ou SIGTERM (o arquivo em andamento termina antes); --uma-vez faz\n"
    "                um só ciclo, na hora, e sai. No INI, EMPRESA, USUARIO e ECF podem trazer\n"
    "                só o código (0001, 01). Saída 1 quando o início é recusado ou a sessão\n"
    "                está incompleta, 2 para uso incorreto.\n";

int ComandoMonitorar(const QStringList& argumentos, const TOpcoesGerais& opcoes)
{
    bool umaVez = false;
    for (const QString& a : argumentos) {
        if (a == QStringLiteral("--uma-vez")) {
            umaVez = true;
        } else {
            EscreveConsole(stderr, QStringLiteral("monitorar: opção desconhecida: %1\n").arg(a));
            return 2;
        }
    }
    TSessaoConsole sessao(opcoes);
    if (!sessao.Iniciar() || !sessao.Visao().AtivarHabilitado)
        return 1;
    TNucleoTeskVado& nucleo = sessao.Nucleo();
    // Asking for "monitorar" is the user's "Ativar" when the INI does not start by itself.
    if (!nucleo.Monitorando())
        nucleo.actAtivarExecute();

    InstalarParada();
    nucleo.DefinirPedidoParada(ParadaPedida);
    for (;;) {
        nucleo.Timer1Timer();
        if (!nucleo.Monitorando())
            return 1;
        if (umaVez)
            return nucleo.UltimoCicloFalhou() ? 1 : 0;
        EsperarOuParar(nucleo.IntervaloTimer());
        if (ParadaPedida())
            return 0;
    }
}
