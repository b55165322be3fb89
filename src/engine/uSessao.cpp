#include "uSessao.h"

#include "uErros.h"

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

// Beyond this many distinct texts the cache starts over: the data access objects write a small,
// fixed set of texts, so only a caller that builds values into its text gets here.
constexpr int MaxComandos = 2000;

// The crash tests' seam: with TESKVADO_MATAR_APOS=N the process dies at its N-th database step
// (a statement about to run, a commit about to be made, a commit just made) as abruptly as a
// power cut, so that the tests can stop an import anywhere and check what the restart makes of
// it. Without the variable this costs one comparison per statement.
void PontoDeFalha()
{
    static const qint64 limite = [] {
        bool ok = false;
        const qint64 n = qEnvironmentVariable("TESKVADO_MATAR_APOS").toLongLong(&ok);
        return ok && n > 0 ? n : qint64(0);
    }();
    if (limite == 0)
        return;
    static qint64 passos = 0;
    if (++passos < limite)
        return;
#ifdef Q_OS_UNIX
    std::raise(SIGKILL);
#endif
    std::_Exit(137);
}

}  // namespace

TSessao::TSessao() : TSessao(CriarBackendSQLite()) {}

TSessao::TSessao(std::unique_ptr<IBackend> backend) : FBackend(std::move(backend))
{
    FRastreio = qEnvironmentVariableIntValue("TESKVADO_SQL") != 0;
}

TSessao::~TSessao()
{
    FCache.clear();
    FBackend.reset();
}

TSessao& TSessao::Padrao()
{
    static TSessao sessao;
    return sessao;
}

void TSessao::SetBackend(std::unique_ptr<IBackend> backend)
{
    Close();
    FBackend = std::move(backend);
    Invalida();
}

void TSessao::AddStandardAlias(const QString& nome, const QString& caminho, const QString& driver)
{
    const QString n = nome.toUpper();
    bool achou = false;
    for (auto& a : FAliases)
        if (a.Nome == n) {
            a.Caminho = caminho;
            a.Driver = driver;
            achou = true;
        }
    if (!achou)
        FAliases.push_back({n, caminho, driver});
    Invalida();
    if (FBackend->Ativo())
        FBackend->DefinirAliases(FAliases);
}

void TSessao::DeleteAlias(const QString& nome)
{
    const QString n = nome.toUpper();
    std::erase_if(FAliases, [&](const TAliasSessao& a) { return a.Nome == n; });
    Invalida();
    if (FBackend->Ativo())
        FBackend->DefinirAliases(FAliases);
}

bool TSessao::IsAlias(const QString& nome) const
{
    const QString n = nome.toUpper();
    for (const auto& a : FAliases)
        if (a.Nome == n)
            return true;
    return false;
}

QString TSessao::AliasPath(const QString& nome) const
{
    const QString n = nome.toUpper();
    for (const auto& a : FAliases)
        if (a.Nome == n)
            return a.Caminho;
    return {};
}

QString TSessao::AliasDriver(const QString& nome) const
{
    const QString n = nome.toUpper();
    for (const auto& a : FAliases)
        if (a.Nome == n)
            return a.Driver;
    return {};
}

QStringList TSessao::AliasNames() const
{
    QStringList r;
    for (const auto& a : FAliases)
        r << a.Nome;
    return r;
}

void TSessao::Open()
{
    if (FBackend->Ativo())
        return;
    FBackend->Abrir(FAliases, FEsperaMs);
    Invalida();
}

void TSessao::Close()
{
    if (!FBackend->Ativo())
        return;
    Invalida();
    FBackend->Fechar();
}

void TSessao::DropConnections()
{
    Invalida();
}

void TSessao::StartTransaction()
{
    Open();
    if (FBackend->EmTransacao())
        throw EDatabaseError(QStringLiteral("Já existe uma transação em andamento"));
    FBackend->IniciarTransacao();
}

void TSessao::Commit()
{
    if (!FBackend->EmTransacao())
        throw EDatabaseError(QStringLiteral("Não há transação em andamento"));
    PontoDeFalha();
    FBackend->Confirmar();
    PontoDeFalha();
}

void TSessao::Rollback()
{
    if (!FBackend->EmTransacao())
        throw EDatabaseError(QStringLiteral("Não há transação em andamento"));
    FBackend->Desfazer();
}

void TSessao::SetTempoEsperaMs(int ms)
{
    FEsperaMs = ms;
    FBackend->DefinirEspera(ms);
}

void TSessao::CriarBanco(const QString& alias)
{
    Open();
    FBackend->CriarBanco(alias);
}

std::shared_ptr<TComandoSessao> TSessao::Comando(const QString& texto, const QString& alias)
{
    QString chave;
    chave.reserve(alias.size() + 1 + texto.size());
    chave += alias;
    chave += QChar(u'\0');
    chave += texto;
    auto it = FCache.constFind(chave);
    if (it != FCache.cend())
        return it.value();
    auto entrada = std::make_shared<TComandoSessao>();
    entrada->Traducao = TraduzirSQL(texto, alias, FBackend->Dialeto());
    entrada->Geracao = FGeracao;
    if (FCache.size() >= MaxComandos)
        FCache.clear();
    FCache.insert(chave, entrada);
    return entrada;
}

IComando& TSessao::Preparado(TComandoSessao& entrada)
{
    PontoDeFalha();
    Open();
    if (!entrada.Comando)
        entrada.Comando = FBackend->Preparar(entrada.Traducao);
    return *entrada.Comando;
}

void TSessao::Rastreia(const TComandoSessao& entrada, const QString& alias, const TParams& params) const
{
    QString texto = QStringLiteral("SQL [%1]\n%2\n").arg(alias, entrada.Traducao->TextoOriginal);
    for (const TParam& p : params)
        texto += QStringLiteral("  :%1 = %2\n").arg(p.Name(), p.Descricao());
    QByteArray b = texto.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}

void TSessao::Invalida()
{
    FCache.clear();
    ++FGeracao;
}
