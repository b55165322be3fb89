#include "uBibliot.h"

#include "uErros.h"
#include "uIni.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cmath>

#ifndef TV_VERSAO
#define TV_VERSAO "0.0.0.0"
#endif

namespace {

// Half to even of n / 2 for n >= 0.
int MetadeMeioPar(int n)
{
    int q = n / 2;
    if (n % 2 != 0 && q % 2 != 0)
        ++q;
    return q;
}

QString& CaminhoIniDefinido()
{
    static QString caminho;
    return caminho;
}

}  // namespace

QString FormataTexto(const QString& Texto, int Tamanho, QChar Tipo)
{
    const int tam = int(Texto.size());
    switch (Tipo.unicode()) {
    case u'S':
        return tam >= Tamanho ? Texto : Texto + QString(Tamanho - tam, u' ');
    case u'P':
        return tam >= Tamanho ? Texto : QString(Tamanho - tam, u' ') + Texto;
    case u'N':
        return tam >= Tamanho ? Texto : QString(Tamanho - tam, u'0') + Texto;
    case u'C': {
        if (tam >= Tamanho)
            return Texto;
        int esquerda = MetadeMeioPar(Tamanho - tam);
        int direita = esquerda;
        if (tam + 2 * esquerda < Tamanho)
            ++direita;
        else if (tam + 2 * esquerda > Tamanho)
            --direita;
        return QString(esquerda, u' ') + Texto + QString(direita, u' ');
    }
    case u'M': {
        auto valor = Currency::Parse(Texto);
        if (!valor)
            throw EConvertError(QStringLiteral("'%1' não é um valor válido").arg(Texto));
        // Raw is in ten-thousandths; hundredths half to even are the cents.
        int64_t centavos = valor->Arredonda(2).Raw() / 100;
        QString digitos = QString::number(centavos < 0 ? -centavos : centavos);
        if (digitos.size() < Tamanho)
            digitos.prepend(QString(Tamanho - digitos.size(), u'0'));
        return centavos < 0 ? u'-' + digitos : digitos;
    }
    default:
        return QString();
    }
}

double Iif(bool Condicao, double ValorTrue, double ValorFalse) { return Condicao ? ValorTrue : ValorFalse; }
Currency Iif(bool Condicao, Currency ValorTrue, Currency ValorFalse) { return Condicao ? ValorTrue : ValorFalse; }
QString Iif(bool Condicao, const QString& ValorTrue, const QString& ValorFalse)
{
    return Condicao ? ValorTrue : ValorFalse;
}

QString NomeCampoModel(const QString& NomeCampo)
{
    QString r;
    r.reserve(NomeCampo.size());
    for (QChar c : NomeCampo) {
        if (c == u' ' || c == u'/' || c == u'-')
            r += u'_';
        else if (c != u'.')
            r += c;
    }
    return r;
}

QString DiretorioDoArquivo(const QString& caminho)
{
    qsizetype barra = std::max(caminho.lastIndexOf(u'/'), caminho.lastIndexOf(u'\\'));
    return caminho.left(barra + 1);
}

QString TrocaExtensao(const QString& caminho, const QString& extensao)
{
    qsizetype barra = std::max(caminho.lastIndexOf(u'/'), caminho.lastIndexOf(u'\\'));
    qsizetype ponto = caminho.lastIndexOf(u'.');
    if (ponto > barra + 1)  // a leading dot names a hidden file, not an extension
        return caminho.left(ponto) + extensao;
    return caminho + extensao;
}

namespace {
QString CaminhoDoPrograma()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    // Before the application object exists (static set-up), the link in /proc still names us.
    QFileInfo proprio(QStringLiteral("/proc/self/exe"));
    return proprio.exists() ? proprio.canonicalFilePath() : QString();
}
}  // namespace

QString DiretorioAplicacao()
{
    QString dir = DiretorioDoArquivo(CaminhoDoPrograma());
    return dir.isEmpty() ? QStringLiteral("./") : dir;
}

QString SoNumeros(const QString& Texto)
{
    QString r;
    for (QChar c : Texto)
        if (c >= u'0' && c <= u'9')
            r += c;
    return r;
}

QString FormataCPFCNPJ(const QString& Texto)
{
    QString r = SoNumeros(Texto);
    // Positions are 1-based "before the n-th character", as the masks are usually written.
    auto insere = [&r](QChar marca, int antesDe) {
        if (antesDe - 1 < r.size())
            r.insert(antesDe - 1, marca);
    };
    if (r.size() > 13) {
        insere(u'-', 13);
        insere(u'/', 9);
        insere(u'.', 6);
        insere(u'.', 3);
    }
    if (r.size() <= 11) {
        insere(u'-', 10);
        insere(u'.', 7);
        insere(u'.', 4);
    }
    return r;
}

Currency TruncaDecimais(int Casas, Currency Valor)
{
    return Valor.Trunca(std::clamp(Casas, 0, 4));
}

Exato TruncaDecimais(int Casas, const Exato& Valor)
{
    return Valor.Trunca(std::clamp(Casas, 0, Exato::Casas));
}

double TruncaDecimais(int Casas, double Valor)
{
    if (!std::isfinite(Valor))
        return Valor;
    // Fixed notation, never an exponent, so the cut always falls on decimals.
    QString texto = QString::number(Valor, 'f', QLocale::FloatingPointShortest);
    qsizetype ponto = texto.indexOf(u'.');
    if (ponto < 0)
        return Valor;
    texto.truncate(ponto + 1 + std::max(Casas, 0));
    double r = texto.toDouble();
    return (r == 0 && std::signbit(Valor)) ? -0.0 : r;
}

QString VersaoPrograma()
{
    QStringList partes = QString::fromLatin1(TV_VERSAO).split(u'.');
    while (partes.size() < 4)
        partes << QStringLiteral("0");
    for (QString& p : partes)
        p = QString::number(p.toInt());
    return partes.mid(0, 4).join(u'.');
}

QString ArquivoIniDoPrograma(const QString& caminhoPrograma)
{
    const QString aoLado = TrocaExtensao(caminhoPrograma, QStringLiteral(".ini"));
    QFileInfo pasta(DiretorioDoArquivo(caminhoPrograma));
    const auto escrita = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (pasta.isDir() && pasta.isWritable() && (pasta.permissions() & escrita))
        return aoLado;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return aoLado;  // nowhere better: writing will fail and say where
    return config + QStringLiteral("/teskvado/") + QFileInfo(aoLado).fileName();
}

QString ArquivoIni()
{
    const QString& definido = CaminhoIniDefinido();
    if (!definido.isEmpty())
        return definido;
    return ArquivoIniDoPrograma(CaminhoDoPrograma());
}

void DefinirArquivoIni(const QString& caminho) { CaminhoIniDefinido() = caminho; }

QString LerIni(const QString& Secao, const QString& Chave, const QString& Padrao)
{
    return LerValorIni(ArquivoIni(), Secao, Chave, Padrao);
}

void GravarIni(const QString& Secao, const QString& Chave, const QString& Valor)
{
    const QString arquivo = ArquivoIni();
    // The first close of an installed program meets no teskvado folder in the user's
    // configuration yet. A failure here shows up as the write's own error, naming the file.
    if (CaminhoIniDefinido().isEmpty())
        QDir().mkpath(DiretorioDoArquivo(arquivo));
    GravarValorIni(arquivo, Secao, Chave, Valor);
}

bool SelecionaPasta(QString& Pasta, const QString& PastaInicial, const QString& Mensagem,
                    const TSeletorPasta& Seletor)
{
    Pasta = QStringLiteral("False");
    if (!Seletor)
        return false;
    std::optional<QString> escolhida = Seletor(QStringLiteral("Selecione a Pasta"), Mensagem, PastaInicial);
    if (!escolhida)
        return false;
    Pasta = *escolhida;
    return true;
}
