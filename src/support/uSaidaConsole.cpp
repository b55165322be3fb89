#include "uSaidaConsole.h"

#ifdef _WIN32
#include <io.h>
#define TV_ISATTY _isatty
#define TV_FILENO _fileno
#else
#include <unistd.h>
#define TV_ISATTY isatty
#define TV_FILENO fileno
#endif

TSaidaConsole::TSaidaConsole(std::FILE* saida)
    : FSaida(saida), FCores(saida && TV_ISATTY(TV_FILENO(saida)))
{
}

TSaidaConsole::TSaidaConsole(std::FILE* saida, bool cores) : FSaida(saida), FCores(cores) {}

TSaidaConsole::~TSaidaConsole()
{
    if (FAberta)
        Escreve();
}

void TSaidaConsole::ApagaPrimeiraLinha()
{
    if (FLinhas > 0)
        --FLinhas;
}

void TSaidaConsole::NovaLinha()
{
    if (FAberta)
        Escreve();
    FAberta = true;
    ++FLinhas;
}

void TSaidaConsole::Insere(const QString& texto, uint cor)
{
    if (!FAberta) {
        FAberta = true;
        ++FLinhas;
    }
    if (FCores && cor != CorDoTerminal) {
        FPendente += QStringLiteral("\x1b[38;2;%1;%2;%3m").arg((cor >> 16) & 0xFF).arg((cor >> 8) & 0xFF).arg(cor & 0xFF);
        FPendente += texto;
        FPendente += QStringLiteral("\x1b[0m");
    } else {
        FPendente += texto;
    }
}

void TSaidaConsole::Limpa()
{
    FPendente.clear();
    FAberta = false;
    FLinhas = 0;
}

void TSaidaConsole::LinhaConcluida()
{
    if (FAberta)
        Escreve();
}

void TSaidaConsole::Escreve()
{
    if (FSaida) {
        QByteArray bytes = FPendente.toUtf8();
        bytes += '\n';
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), FSaida);
        std::fflush(FSaida);
    }
    FPendente.clear();
    FAberta = false;
}
