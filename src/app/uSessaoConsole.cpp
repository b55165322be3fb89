#include "uSessaoConsole.h"

#include "uBibliot.h"
#include "uErros.h"
#include "uInicio.h"
#include "uNucleoTeskVado.h"
#include "uSaidaConsole.h"
#include "uVisaoMemoria.h"

void EscreveConsole(std::FILE* f, const QString& texto)
{
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fflush(f);
}

TSessaoConsole::TSessaoConsole(const TOpcoesGerais& opcoes) : FOpcoes(opcoes)
{
    // The desktop's file, so both programs share one configuration.
    DefinirArquivoIni(FOpcoes.Ini.isEmpty() ? DiretorioAplicacao() + QStringLiteral("teskvado.ini") : FOpcoes.Ini);
    FTela = std::make_unique<TSaidaConsole>(stdout);
    FVisao = std::make_unique<TVisaoMemoria>(FTela.get());
}

TSessaoConsole::~TSessaoConsole()
{
    if (FNucleo)
        FNucleo->FormClose(false);
}

bool TSessaoConsole::Iniciar()
{
    try {
        FInicio = std::make_unique<TInicioPrograma>(FOpcoes.Dados);
    } catch (const Exception& e) {
        EscreveConsole(stderr, QStringLiteral("Erro: %1\n").arg(e.Message()));
        return false;
    }
    FNucleo = std::make_unique<TNucleoTeskVado>(*FVisao);
    FNucleo->FormCreate();
    return FNucleo->FormActivate();
}
