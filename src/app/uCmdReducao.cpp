#include "uCmdReducao.h"

#include "uImportaReducaoZ.h"
#include "uSessaoConsole.h"
#include "uUIConsole.h"
#include "uVisaoMemoria.h"

#include <QDate>

const char* const AjudaReducao =
    "  reducao [--inicio DD/MM/AAAA]\n"
    "                inicia como o programa de janela e importa a redução Z uma vez: pede ao\n"
    "                Ruxo, pela pasta RETORNO, as reduções desde o dia da última importada (ou\n"
    "                desde o dia 1 do mês, quando ela tem mais de 30 dias), ou desde --inicio,\n"
    "                espera a resposta (até 9 vezes 10 ou 20 segundos) e grava no ERP. Saída 0\n"
    "                quando a redução foi importada, 1 quando não, 2 para uso incorreto.\n";

namespace {

// The console port installed for one command, and the previous one back afterwards.
class TPortaDoComando
{
public:
    explicit TPortaDoComando(IUIPort& porta) : FAnterior(&UI()) { DefinirUI(&porta); }
    ~TPortaDoComando() { DefinirUI(FAnterior); }

private:
    IUIPort* FAnterior;
};

}  // namespace

int ComandoReducao(const QStringList& argumentos, const TOpcoesGerais& opcoes)
{
    TUIConsole porta;
    porta.RespostaPergunta = true;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos[i];
        if (a == QStringLiteral("--inicio") && i + 1 < argumentos.size()) {
            const QDate data = QDate::fromString(argumentos[++i], QStringLiteral("dd/MM/yyyy"));
            if (!data.isValid()) {
                EscreveConsole(stderr, QStringLiteral("reducao: --inicio pede uma data DD/MM/AAAA: %1\n").arg(argumentos[i]));
                return 2;
            }
            porta.InicioEscolhido = TDateTime::FromDate(data);
        } else {
            EscreveConsole(stderr, QStringLiteral("reducao: opção desconhecida: %1\n").arg(a));
            return 2;
        }
    }
    TPortaDoComando usaPorta(porta);
    TSessaoConsole sessao(opcoes);
    if (!sessao.Iniciar())
        return 1;
    return ImportarReducaoZ(sessao.Visao().DirMonitorar()) ? 0 : 1;
}
