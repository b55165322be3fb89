// A bare importer for the crash and race tests: the session of the demo company on a data drive,
// the start-up recovery, then every coupon file of ONLINE/ in the monitoring cycle's batches.
// Usage: importador_teste RAIZ DIRETORIO AAAA-MM-DD [--espera-ms N] [--controle-dia PREFIXO N]
//        [--sinal ARQUIVO] [--pendentes PASTA] [--limite-arquivo BYTES]
// The date is the clock of the run, so that a test never depends on the day it runs. With
// --controle-dia it imports nothing and asks instead for the day's control number of the users
// PREFIXO01 to PREFIXOnn, printing one "usuario=numero" line each. With --sinal it writes
// "pronto" to standard error once its session is open and waits for ARQUIVO to exist before it
// looks at ONLINE/, so that two importers of a race start their claims together. --pendentes is
// the folder of the shipments REMESSA refused; --limite-arquivo makes every file this process
// writes stop growing at that size, as a full disk would (the signal for it is ignored, so writes
// just fail).

#include "UModel.h"
#include "uController.h"
#include "uDM_BDE.h"
#include "uErros.h"
#include "uExecCMD.h"
#include "uLoteImportacao.h"
#include "uLog.h"
#include "uRemessaPendente.h"
#include "uSessao.h"
#include "uSys.h"
#include "uUIConsole.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/resource.h>
#endif

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const QString raiz = args[1];
    QString dir = args[2];
    if (!dir.endsWith(u'/'))
        dir += u'/';
    const QDate hoje = QDate::fromString(args[3], Qt::ISODate);
    int esperaMs = 3000;
    QString prefixo;
    QString sinal;
    int usuarios = 0;
    qint64 limite = 0;
    for (int i = 4; i + 1 < args.size(); ++i) {
        if (args[i] == QStringLiteral("--espera-ms"))
            esperaMs = args[i + 1].toInt();
        if (args[i] == QStringLiteral("--pendentes"))
            RemessaPendente::DefinirPasta(args[i + 1]);
        if (args[i] == QStringLiteral("--limite-arquivo"))
            limite = args[i + 1].toLongLong();
        if (args[i] == QStringLiteral("--sinal"))
            sinal = args[i + 1];
        if (args[i] == QStringLiteral("--controle-dia") && i + 2 < args.size()) {
            prefixo = args[i + 1];
            usuarios = args[i + 2].toInt();
        }
    }
    TDateTime::RelogioDeTeste([hoje] { return QDateTime(hoje, QTime(10, 30, 0)); });

    TLog log;
    Log_ = &log;
    TUIConsole ui;
    ui.Silencioso = true;
    DefinirUI(&ui);
    RegistrarClasses();
    Sys_.Codigo_da_Empresa = QStringLiteral("0001");
    Sys_.Nome_Fantasia_Empresa = QStringLiteral("LOJA DEMO");
    Sys_.Atividade_da_Empresa = QStringLiteral("C");
    Sys_.Codigo_do_Usuario = QStringLiteral("0001");
    Sys_.Codigo_do_Cliente = QStringLiteral("000001");
    Sys_.Codigo_do_Vendedor = QStringLiteral("0001");
    Sys_.Codigo_da_Destinacao = QStringLiteral("001");
    Sys_.CFO = QStringLiteral("5102");
    Sys_.Tipo_Movimento_Estoque = QStringLiteral("S");
    Sys_.Numero_Controle_Dia = QStringLiteral("000007");
    Sys_.Numero_do_CRO = QStringLiteral("01");

    int status = 0;
    try {
        TDM_BDE dm(QStringList{raiz});
        if (Sys_.Fechar)
            return 3;
        TSessao::Padrao().SetTempoEsperaMs(esperaMs);
        for (int u = 1; u <= usuarios; ++u) {
            const QString chapa = prefixo + QStringLiteral("%1").arg(u, 2, 10, QChar(u'0'));
            const QString numero = TCAD_CONTRDIAController::NumeroControleDia(chapa);
            const QByteArray b = (chapa + u'=' + numero + u'\n').toUtf8();
            std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
        }
        if (usuarios > 0) {
            TSessao::Padrao().Close();
            return 0;
        }
        TExecCmd::Recuperar(dir);
        RemessaPendente::Entregar(dir);
        if (limite > 0) {
#if defined(Q_OS_UNIX)
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit r{rlim_t(limite), rlim_t(limite)};
            if (setrlimit(RLIMIT_FSIZE, &r) != 0)
                return 4;
#else
            return 4;
#endif
        }
        if (!sinal.isEmpty()) {
            std::fputs("pronto\n", stderr);
            std::fflush(stderr);
            QElapsedTimer espera;
            espera.start();
            while (!QFileInfo::exists(sinal) && espera.elapsed() < 30000)
                QThread::msleep(1);
        }
        const QStringList arquivos = QDir(dir + QStringLiteral("ONLINE/")).entryList({QStringLiteral("*.S*")}, QDir::Files, QDir::Name);
        TLoteImportacao::TDados dados;
        dados.Codigo_da_Empresa = QStringLiteral("0001");
        dados.CGC_Empresa = QStringLiteral("12.345.678/0001-95");
        dados.Codigo_do_Usuario = QStringLiteral("0001");
        dados.Nome_do_Usuario = QStringLiteral("OPERADOR DEMO");
        dados.Diretorio = dir;
        TLoteImportacao::ImportarArquivos(dados, arquivos, [](TLoteImportacao& lote) { lote.Executar(); });
        TSessao::Padrao().Close();
    } catch (const Exception& e) {
        log.TextoErro(e.Message());
        status = 1;
    }
    for (const QString& l : log.LtLog()) {
        const QByteArray b = (l + u'\n').toUtf8();
        std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    }
    Log_ = nullptr;
    DefinirUI(nullptr);
    return status;
}
