// teskvado [--ini ARQUIVO] [RAIZ-OU-LETRA]: the desktop integrator.
#include <QProgressBar>  // before uUIDesktop.h, whose inline setter needs the whole type

#include "uAplicacao.h"
#include "uBibliot.h"
#include "uErros.h"
#include "uInicio.h"
#include "uMensagensTesk.h"
#include "uSplash.h"
#include "uTeskVado.h"
#include "uUIDesktop.h"

#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char* const Ajuda =
    "Uso: teskvado [--ini ARQUIVO] [RAIZ-OU-LETRA]\n"
    "\n"
    "  RAIZ-OU-LETRA  unidade de dados: uma pasta absoluta, ou uma letra resolvida pela pasta de\n"
    "                 mapeamento ($TESKVADO_UNIDADES, padrão /etc/teskvado/unidades); sem ela, V\n"
    "  --ini ARQUIVO  configuração a usar em vez de teskvado.ini ao lado do programa\n"
    "  --help         mostra esta ajuda\n"
    "  --version      mostra a versão do programa\n"
    "\n"
    "Sem área de trabalho gráfica use teskvado-cli monitorar.\n";

void Escreve(std::FILE* f, const QString& texto)
{
    const QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fflush(f);
}

}  // namespace

int main(int argc, char** argv)
{
    // Answered before anything graphical starts, so they work on a server too.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            Escreve(stdout, VersaoPrograma() + u'\n');
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Escreve(stdout, QString::fromUtf8(Ajuda));
            return 0;
        }
    }
    if (!TemAreaDeTrabalho()) {
        Escreve(stderr, QString::fromUtf8(MensagemSemAreaDeTrabalho));
        return 1;
    }

    TAplicacaoTeskVado app(argc, argv);
    // The window hides in the tray and the splash closes by itself: neither is the program's
    // end. Closing the main window is.
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList dados;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--ini")) {
            if (i + 1 >= args.size()) {
                Escreve(stderr, QStringLiteral("--ini pede o caminho do arquivo\n"));
                return 2;
            }
            DefinirArquivoIni(args[++i]);
        } else {
            dados << args[i];
        }
    }

    TUIDesktop ui;
    DefinirUI(&ui);
    struct TDesfazUI
    {
        ~TDesfazUI() { DefinirUI(nullptr); }
    } desfazUI;

    std::unique_ptr<TInicioPrograma> inicio;
    try {
        inicio = std::make_unique<TInicioPrograma>(dados);
    } catch (const Exception& e) {
        TMensagens::MSG_Erro(e.Message());
        return 1;
    }

    int resultado = 0;
    {
        TfrmTeskVado janela;
        frmTeskVado = &janela;
        ui.DefinirJanela(&janela);
        ui.DefinirBarraProgresso(janela.cxProgressBar1);

        QPointer<TfrmSplash> splash = new TfrmSplash;
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->SetTitulo(TfrmTeskVado::TituloPrograma);
        splash->SetImagem(DiretorioAplicacao() + QStringLiteral("Imagens/Logo.png"));
        splash->show();
        QApplication::processEvents();
        // The splash stays its five seconds on a timer, so the window answers meanwhile.
        QTimer::singleShot(TfrmSplash::TempoMs, splash.data(), &QWidget::close);

        janela.show();
        // Shown after it, the window would cover the splash where no window manager keeps it on top.
        if (splash)
            splash->raise();
        resultado = app.exec();
        delete splash.data();
        ui.DefinirBarraProgresso(nullptr);
        ui.DefinirJanela(nullptr);
        frmTeskVado = nullptr;
    }
    return resultado;
}
