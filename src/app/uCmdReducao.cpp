#include "uCmdReducao.h"

#include "uBibliot.h"
#include "uErros.h"
#include "uImportaReducaoZ.h"
#include "uInicio.h"
#include "uNucleoTeskVado.h"
#include "uSaidaConsole.h"
#include "uUIConsole.h"
#include "uVisaoMemoria.h"

#include <QDate>

#include <cstdio>

const char* const AjudaReducao =
    "  reducao [--inicio DD/MM/AAAA]\n"
    "                inicia como o programa de janela e importa a redução Z uma vez: pede ao\n"
    "                Ruxo, pela pasta RETORNO, as reduções desde o dia da última importada (ou\n"
    "                desde o dia 1 do mês, quando ela tem mais de 30 dias), ou desde --inicio,\n"
    "                espera a resposta (até 9 vezes 10 ou 20 segundos) e grava no ERP. Saída 0\n"
    "                quando a redução foi importada, 1 quando não, 2 para uso incorreto.\n";

namespace {

void Escreve(std::FILE* f, const QString& texto)
{
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fflush(f);
}

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
                Escreve(stderr, QStringLiteral("reducao: --inicio pede uma data DD/MM/AAAA: %1\n").arg(argumentos[i]));
                return 2;
            }
            porta.InicioEscolhido = TDateTime::FromDate(data);
        } else {
            Escreve(stderr, QStringLiteral("reducao: opção desconhecida: %1\n").arg(a));
            return 2;
        }
    }
    DefinirArquivoIni(opcoes.Ini.isEmpty() ? DiretorioAplicacao() + QStringLiteral("teskvado.ini") : opcoes.Ini);

    TPortaDoComando usaPorta(porta);
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
    if (!nucleo.FormActivate()) {
        nucleo.FormClose(false);
        return 1;
    }
    const bool importou = ImportarReducaoZ(visao.DirMonitorar());
    nucleo.FormClose(false);
    return importou ? 0 : 1;
}
