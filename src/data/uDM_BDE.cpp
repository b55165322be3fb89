#include "uDM_BDE.h"

#include "uBancoUnidade.h"
#include "uErros.h"
#include "uSys.h"
#include "uUIPort.h"

#include <QDir>
#include <QFileInfo>

TDM_BDE* DM_BDE = nullptr;

namespace {

struct TAliasERP
{
    const char* Alias;
    const char* Pasta;
};

constexpr TAliasERP Aliases[] = {
    {"N_VENDAS", "VENDAS"},   {"N_CADASTRO", "CADASTRO"}, {"N_CTACOR", "CTACOR"},
    {"N_CTAREC", "CTAREC"},   {"N_CTAPAG", "CTAPAG"},     {"N_ESTOQUE", "ESTOQUE"},
    {"N_ICMS_IPI", "ICMS_IPI"}, {"N_CHEQREC", "CHEQREC"}, {"N_COMPRAS", "COMPRAS"},
    {"N_UTILITAR", "UTILITAR"},
};

bool Existe(const QString& pasta) { return QFileInfo(pasta).isDir(); }

QString ComSeparador(const QString& raiz)
{
    QString r = QDir::toNativeSeparators(raiz);
    if (!r.endsWith(QDir::separator()))
        r += QDir::separator();
    return r;
}

}  // namespace

TDM_BDE::TDM_BDE(QStringList argumentos, TSessao& sessao, bool exigeEsquemas)
    : FArgumentos(std::move(argumentos)), FSessao(sessao), FExigeEsquemas(exigeEsquemas)
{
    DM_BDE = this;
    DataModuleCreate();
}

TDM_BDE::~TDM_BDE()
{
    DataModuleDestroy();
    if (DM_BDE == this)
        DM_BDE = nullptr;
}

QString TDM_BDE::PastaUnidades()
{
    QString pasta = qEnvironmentVariable("TESKVADO_UNIDADES");
    return pasta.isEmpty() ? QStringLiteral("/etc/teskvado/unidades") : pasta;
}

QString TDM_BDE::RaizDaLetra(QChar letra)
{
#ifdef Q_OS_WIN
    return QString(letra.toUpper()) + QStringLiteral(":\\");
#else
    return QDir::cleanPath(PastaUnidades() + u'/' + letra.toUpper());
#endif
}

void TDM_BDE::DataModuleCreate()
{
    Sys_.Fechar = false;
    FRaiz.clear();
    try {
        FSessao.DropConnections();
        FSessao.Close();
        FSessao.SetConfigMode(TConfigMode::cfmSession);

        const QString argumento = FArgumentos.isEmpty() ? QString() : FArgumentos.first();
        QString raiz;
        if (!argumento.isEmpty()) {
#ifdef Q_OS_WIN
            const bool caminho = false;
#else
            const bool caminho = QDir::isAbsolutePath(argumento);
#endif
            raiz = caminho ? QDir::cleanPath(argumento) : RaizDaLetra(argumento[0]);
            if (!Existe(raiz)) {
                const QString nome = caminho ? argumento : QString(argumento[0]) + QStringLiteral(":\\");
                UI().Mensagem(IUIPort::TTipoMensagem::Erro,
                              QStringLiteral("Não foi encontrado o diretório ") + nome + QStringLiteral(" especificado no Atalho"));
                Sys_.Fechar = true;
                return;
            }
        } else {
            raiz = RaizDaLetra(u'V');
            if (!Existe(raiz)) {
                UI().Mensagem(IUIPort::TTipoMensagem::Erro, QStringLiteral("Não foi encontrado o diretório V:\\"));
                Sys_.Fechar = true;
                return;
            }
        }
        FRaiz = ComSeparador(raiz);
        FSessao.SetNetFileDir(FRaiz);
        for (const auto& a : Aliases)
            FSessao.AddStandardAlias(QString::fromLatin1(a.Alias),
                                     QDir::toNativeSeparators(QDir::cleanPath(raiz + QStringLiteral("/Sistemas/") +
                                                                              QString::fromLatin1(a.Pasta))),
                                     QStringLiteral("PARADOX"));
        if (!AbrirBancoDaUnidade(FSessao, raiz, FExigeEsquemas)) {
            Sys_.Fechar = true;
            return;
        }
        FSessao.AddPassword(QStringLiteral("m47qorebn"));
        FSessao.AddPassword(QStringLiteral("TrancaOp"));
    } catch (const Exception& e) {
        throw Exception(e.Message());
    } catch (const std::exception& e) {
        throw Exception(QString::fromUtf8(e.what()));
    }
}

void TDM_BDE::DataModuleDestroy()
{
    FSessao.DropConnections();
    if (FSessao.Active())
        FSessao.Close();
}
