#include "uCmdMonitorar.h"

#include "uBibliot.h"
#include "uErros.h"
#include "uInicio.h"
#include "uNucleoTeskVado.h"
#include "uParada.h"
#include "uSaidaConsole.h"
#include "uSys.h"
#include "uVisaoMemoria.h"

#include <cstdio>

const char* const AjudaMonitorar =
    "  monitorar [--uma-vez]\n"
    "                inicia como o programa de janela (INI, listas, parâmetros da empresa) e\n"
    "                importa os cupons da pasta ONLINE a cada INTERVALO milissegundos, até\n"
    "                SIGINT ou SIGTERM (o arquivo em andamento termina antes); --uma-vez faz\n"
    "                um só ciclo, na hora, e sai. No INI, EMPRESA, USUARIO e ECF podem trazer\n"
    "                só o código (0001, 01). Saída 1 quando o início é recusado ou a sessão\n"
    "                está incompleta, 2 para uso incorreto.\n";

namespace {

void Escreve(std::FILE* f, const QString& texto)
{
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fflush(f);
}

}  // namespace

int ComandoMonitorar(const QStringList& argumentos, const TOpcoesGerais& opcoes)
{
    bool umaVez = false;
    for (const QString& a : argumentos) {
        if (a == QStringLiteral("--uma-vez")) {
            umaVez = true;
        } else {
            Escreve(stderr, QStringLiteral("monitorar: opção desconhecida: %1\n").arg(a));
            return 2;
        }
    }
    // The desktop's file, so both programs share one configuration.
    DefinirArquivoIni(opcoes.Ini.isEmpty() ? DiretorioAplicacao() + QStringLiteral("teskvado.ini") : opcoes.Ini);

    TSaidaConsole tela(stdout);
    TVisaoMemoria visao(&tela);
    std::unique_ptr<TInicioPrograma> inicio;
    try {
        inicio = std::make_unique<TInicioPrograma>(opcoes.Dados);
    } catch (const Exception& e) {
        Escreve(stderr, QStringLiteral("Erro: %1\n").arg(e.Message()));
        return 1;
    }

    TNucleoTeskVado nucleo(visao);
    nucleo.FormCreate();
    const bool ativou = nucleo.FormActivate();
    const auto termina = [&](int status) {
        nucleo.FormClose(false);
        return status;
    };
    if (!ativou || !visao.AtivarHabilitado)
        return termina(1);
    // Asking for "monitorar" is the user's "Ativar" when the INI does not start by itself.
    if (!nucleo.Monitorando())
        nucleo.actAtivarExecute();

    InstalarParada();
    nucleo.DefinirPedidoParada(ParadaPedida);
    for (;;) {
        nucleo.Timer1Timer();
        if (!nucleo.Monitorando())
            return termina(1);
        if (umaVez)
            return termina(nucleo.UltimoCicloFalhou() ? 1 : 0);
        EsperarOuParar(nucleo.IntervaloTimer());
        if (ParadaPedida())
            return termina(0);
    }
}
