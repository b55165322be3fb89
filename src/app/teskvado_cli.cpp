// The headless front end: prepares data drives and runs the integrator without a window.
#include "UModel.h"
#include "uBibliot.h"
#include "uCmdMonitorar.h"
#include "uCmdReducao.h"
#include "uDM_BDE.h"
#include "uErros.h"
#include "uEsquemaERP.h"
#include "uSys.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

const char* const AjudaInicio =
    "Uso: teskvado-cli [--dados RAIZ] [--ini ARQUIVO] <comando> [opções]\n"
    "\n"
    "  --dados RAIZ  unidade de dados: uma pasta absoluta, ou uma letra resolvida pela pasta de\n"
    "                mapeamento ($TESKVADO_UNIDADES, padrão /etc/teskvado/unidades); sem ela, V\n"
    "  --ini ARQUIVO arquivo de configuração (seção PARAMETROS); sem ele, o do programa de\n"
    "                janela: teskvado.ini ao lado dos programas\n"
    "  --help        mostra esta ajuda\n"
    "  --version     mostra a versão do programa\n"
    "\n"
    "Comandos:\n";

const char* const AjudaFim =
    "\n"
    "Com TESKVADO_SQL=1 cada comando SQL e seus parâmetros vão para a saída de erros.\n";

const char* const AjudaErp =
    "  erp criar     cria as pastas Sistemas/... e as tabelas do ERP (tabelas e linhas existentes ficam)\n"
    "  erp demo      cria as tabelas e acrescenta uma empresa de demonstração (0001)\n";

void Escreve(FILE* f, const QString& texto)
{
    QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fflush(f);
}

int ComandoErp(const QStringList& args, const TOpcoesGerais& opcoes)
{
    if (args.size() != 1 || (args[0] != "criar" && args[0] != "demo")) {
        Escreve(stderr, QStringLiteral("erp: use \"erp criar\" ou \"erp demo\"\n"));
        return 2;
    }
    try {
        RegistrarClasses();
        // A drive on a database server gets its schemas here, so they are not required yet.
        TDM_BDE dm(opcoes.Dados, TSessao::Padrao(), false);
        if (Sys_.Fechar)
            return 1;
        TSessao& sessao = TSessao::Padrao();
        if (args[0] == "criar")
            CriarEsquemaERP(sessao);
        else
            CriarDemoERP(sessao, TDateTime::Date());
        Escreve(stdout, QStringLiteral("%1: %2\n")
                            .arg(args[0] == "criar" ? QStringLiteral("Tabelas do ERP prontas em")
                                                    : QStringLiteral("Demonstração pronta em"),
                                 dm.Raiz()));
        RemoverClasses();
        return 0;
    } catch (const Exception& e) {
        Escreve(stderr, QStringLiteral("Erro: %1\n").arg(e.Message()));
        return 1;
    }
}

// One line per subcommand: a new one is a new entry, nothing else changes.
struct TSubcomando
{
    const char* Nome;
    const char* const* Ajuda;
    int (*Executar)(const QStringList& argumentos, const TOpcoesGerais& opcoes);
};

const TSubcomando Subcomandos[] = {
    {"erp", &AjudaErp, ComandoErp},
    {"monitorar", &AjudaMonitorar, ComandoMonitorar},
    {"reducao", &AjudaReducao, ComandoReducao},
};

QString Ajuda()
{
    QString texto = QString::fromUtf8(AjudaInicio);
    for (const TSubcomando& s : Subcomandos)
        texto += QString::fromUtf8(*s.Ajuda);
    return texto + QString::fromUtf8(AjudaFim);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains("--version")) {
        Escreve(stdout, VersaoPrograma() + u'\n');
        return 0;
    }
    if (args.isEmpty() || args.contains("--help") || args.contains("-h")) {
        Escreve(stdout, Ajuda());
        return args.isEmpty() ? 2 : 0;
    }
    TOpcoesGerais opcoes;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString opcao = args.takeFirst();
        if (opcao != "--dados" && opcao != "--ini") {
            Escreve(stderr, QStringLiteral("opção desconhecida: %1\n\n").arg(opcao) + Ajuda());
            return 2;
        }
        if (args.isEmpty()) {
            Escreve(stderr, opcao == "--dados" ? QStringLiteral("--dados pede a raiz da unidade de dados\n")
                                               : QStringLiteral("--ini pede o caminho do arquivo\n"));
            return 2;
        }
        if (opcao == "--dados")
            opcoes.Dados = QStringList{args.takeFirst()};
        else
            opcoes.Ini = args.takeFirst();
    }
    if (!args.isEmpty()) {
        const QString nome = args.takeFirst();
        for (const TSubcomando& s : Subcomandos)
            if (nome == QString::fromLatin1(s.Nome))
                return s.Executar(args, opcoes);
        Escreve(stderr, QStringLiteral("comando desconhecido: %1\n\n").arg(nome) + Ajuda());
        return 2;
    }
    Escreve(stderr, Ajuda());
    return 2;
}
