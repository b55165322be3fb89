// The headless front end. For now it prepares data drives: the ERP schema and a demo company.
#include "UModel.h"
#include "uBibliot.h"
#include "uDM_BDE.h"
#include "uErros.h"
#include "uEsquemaERP.h"
#include "uSys.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

const char* const Ajuda =
    "Uso: teskvado-cli [--dados RAIZ] erp criar|demo\n"
    "\n"
    "  --dados RAIZ  unidade de dados: uma pasta absoluta, ou uma letra resolvida pela pasta de\n"
    "                mapeamento ($TESKVADO_UNIDADES, padrão /etc/teskvado/unidades); sem ela, V\n"
    "  erp criar     cria as pastas Sistemas/... e as tabelas do ERP (tabelas e linhas existentes ficam)\n"
    "  erp demo      cria as tabelas e acrescenta uma empresa de demonstração (0001)\n"
    "  --help        mostra esta ajuda\n"
    "  --version     mostra a versão do programa\n"
    "\n"
    "Com TESKVADO_SQL=1 cada comando SQL e seus parâmetros vão para a saída de erros.\n";

void Escreve(FILE* f, const QString& texto)
{
    QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
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
        Escreve(stdout, QString::fromUtf8(Ajuda));
        return args.isEmpty() ? 2 : 0;
    }
    QStringList dados;
    if (args.first() == "--dados") {
        if (args.size() < 2) {
            Escreve(stderr, QStringLiteral("--dados pede a raiz da unidade de dados\n"));
            return 2;
        }
        dados << args[1];
        args = args.mid(2);
    }
    if (args.size() != 2 || args[0] != "erp" || (args[1] != "criar" && args[1] != "demo")) {
        Escreve(stderr, QString::fromUtf8(Ajuda));
        return 2;
    }
    try {
        RegistrarClasses();
        // A drive on a database server gets its schemas here, so they are not required yet.
        TDM_BDE dm(dados, TSessao::Padrao(), false);
        if (Sys_.Fechar)
            return 1;
        TSessao& sessao = TSessao::Padrao();
        if (args[1] == "criar")
            CriarEsquemaERP(sessao);
        else
            CriarDemoERP(sessao, TDateTime::Date());
        Escreve(stdout, QStringLiteral("%1: %2\n")
                            .arg(args[1] == "criar" ? QStringLiteral("Tabelas do ERP prontas em")
                                                    : QStringLiteral("Demonstração pronta em"),
                                 dm.Raiz()));
        RemoverClasses();
        return 0;
    } catch (const Exception& e) {
        Escreve(stderr, QStringLiteral("Erro: %1\n").arg(e.Message()));
        return 1;
    }
}
