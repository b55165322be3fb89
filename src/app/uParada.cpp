#include "uParada.h"

#include <atomic>
#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

// Lock-free, so writing it is safe inside a signal handler.
std::atomic<bool> GParada{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#ifdef _WIN32
BOOL WINAPI TratadorConsole(DWORD evento)
{
    switch (evento) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        GParada.store(true);
        return TRUE;
    default:
        return FALSE;
    }
}
#else
extern "C" void TratadorSinal(int)
{
    GParada.store(true);
}
#endif

}  // namespace

void InstalarParada()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(TratadorConsole, TRUE);
#else
    struct sigaction acao = {};
    acao.sa_handler = TratadorSinal;
    sigemptyset(&acao.sa_mask);
    sigaction(SIGINT, &acao, nullptr);
    sigaction(SIGTERM, &acao, nullptr);
#endif
}

bool ParadaPedida()
{
    return GParada.load();
}

void PedirParada()
{
    GParada.store(true);
}

void EsperarOuParar(int ms)
{
    using namespace std::chrono;
    const auto fim = steady_clock::now() + milliseconds(ms);
    while (!GParada.load()) {
        const auto agora = steady_clock::now();
        if (agora >= fim)
            return;
        std::this_thread::sleep_for(std::min<steady_clock::duration>(fim - agora, milliseconds(50)));
    }
}
