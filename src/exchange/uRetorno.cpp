#include "uRetorno.h"

#include "uCp1252.h"
#include "uErros.h"
#include "uRuxo.h"
#include "uSys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QString CodigoSolicitacao(TTpSolicitacao tipo)
{
    static const char* const codigos[] = {"107", "108", "111", "112", "113", "114", "115", "116", "117", "118",
                                          "119", "122", "123", "125", "127", "128", "130", "131", "132", "134"};
    if (tipo < 1 || tipo > 20)
        return {};
    return QString::fromLatin1(codigos[tipo - 1]);
}

TRetorno::TRetorno(TRuxo* AOwner) : TArquivo(AOwner, QStringLiteral("RET")) {}

QString TRetorno::ArquivoCancelados() const { return DirBase() + QStringLiteral("CANCELADOS/CANCELADOS.V"); }

namespace {

// The record number in the first three characters of a line, as a whole number.
bool TipoDaLinha(QStringView linha, int& tipo)
{
    QStringView t = linha.left(3);
    while (!t.isEmpty() && t.front() == u' ')
        t = t.mid(1);
    bool negativo = false;
    if (!t.isEmpty() && (t.front() == u'-' || t.front() == u'+')) {
        negativo = t.front() == u'-';
        t = t.mid(1);
    }
    if (t.isEmpty())
        return false;
    tipo = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return false;
        tipo = tipo * 10 + (c.unicode() - u'0');
    }
    if (negativo)
        tipo = -tipo;
    return true;
}

// The lines of a file as LerArquivoCp1252 splits them (CR LF, lone CR or lone LF; a final line
// end adds no empty line), read a block at a time and decoded one line at a time. A coupon file
// of a busy day runs to hundreds of megabytes; read whole, its bytes, its text and its lines
// were in memory together, beside the records made of them.
class TLeitorLinhas
{
public:
    explicit TLeitorLinhas(const QString& caminho) : FArquivo(caminho), FCaminho(caminho)
    {
        if (!FArquivo.open(QIODevice::ReadOnly))
            throw Falha();
        FBloco.resize(TamanhoBloco);
    }

    // The next line, without its end; false after the last one.
    bool Proxima(QString& linha)
    {
        FLinha.clear();
        for (;;) {
            if (FPos == FTamanho && !Enche()) {
                if (FLinha.isEmpty())
                    return false;
                linha = DecodificaCp1252(FLinha);
                return true;
            }
            const char* d = FBloco.constData();
            if (FDepoisCR) {
                FDepoisCR = false;
                if (d[FPos] == '\n') {
                    ++FPos;
                    continue;
                }
            }
            qsizetype fim = FPos;
            while (fim < FTamanho && d[fim] != '\r' && d[fim] != '\n')
                ++fim;
            FLinha.append(d + FPos, fim - FPos);
            if (fim == FTamanho) {
                FPos = fim;
                continue;
            }
            FDepoisCR = d[fim] == '\r';
            FPos = fim + 1;
            linha = DecodificaCp1252(FLinha);
            return true;
        }
    }

    static constexpr qsizetype TamanhoBloco = 64 * 1024;

private:
    EInOutError Falha() const
    {
        return EInOutError(QStringLiteral("Não foi possível ler o arquivo ") + FCaminho + QStringLiteral(": ") +
                           FArquivo.errorString());
    }

    bool Enche()
    {
        const qint64 lidos = FArquivo.read(FBloco.data(), TamanhoBloco);
        if (lidos < 0 || FArquivo.error() != QFileDevice::NoError)
            throw Falha();
        FPos = 0;
        FTamanho = qsizetype(lidos);
        return FTamanho > 0;
    }

    QFile FArquivo;
    QString FCaminho;
    QByteArray FBloco;
    qsizetype FPos = 0;
    qsizetype FTamanho = 0;
    QByteArray FLinha;
    bool FDepoisCR = false;  // a CR ended the last line; an LF right after it belongs to that end
};

}  // namespace

void TRetorno::Ler(const QString& Arquivo)
{
    TLeitorLinhas leitor(Arquivo);
    const QString nome = QDir::toNativeSeparators(Arquivo);

    FEmLeitura = true;
    FCancelados = TCancelados();
    try {
        QString linha;
        for (qsizetype i = 0; leitor.Proxima(linha); ++i) {
            int tipo = 0;
            if (!TipoDaLinha(linha, tipo))
                throw EConvertError(QStringLiteral("'%1' não é um tipo de registro válido (arquivo %2, linha %3)")
                                        .arg(linha.left(3), nome)
                                        .arg(i + 1));
            switch (tipo) {
            case 1:
                Ler_Reg_001(linha);
                break;
            case 11:
                Ler_Reg_011(linha);
                break;
            case 12: {
                if (Reg_011.Count() == 0)
                    throw EListError(QStringLiteral("Item de cupom antes de qualquer cupom (arquivo %1, linha %2)")
                                         .arg(nome)
                                         .arg(i + 1));
                TReg_012 item;
                Ruxo::LerLinha(linha, item);
                if (!CanceladoAnteriormente(item))
                    Reg_012.Add() = std::move(item);
                break;
            }
            case 13:
                Ler_Reg_013(linha);
                break;
            case 17:
                Ler_Reg_017(linha);
                break;
            case 18:
                Ler_Reg_018(linha);
                break;
            case 99:
                Ler_Reg_099(linha);
                break;
            default:
                break;
            }
        }
    } catch (...) {
        FEmLeitura = false;
        // The items already judged must find the store as they left it, or a reread of the
        // same file would judge them again against a stale store.
        try {
            GravaCancelados();
        } catch (const Exception&) {
        }
        throw;
    }
    FEmLeitura = false;
    GravaCancelados();
}

void TRetorno::Ler_Reg_001(QStringView Linha) { Ruxo::LerLinha(Linha, Reg_001); }
void TRetorno::Ler_Reg_011(QStringView Linha) { Ruxo::LerLinha(Linha, Reg_011.Add()); }
void TRetorno::Ler_Reg_013(QStringView Linha) { Ruxo::LerLinha(Linha, Reg_013.Add()); }
void TRetorno::Ler_Reg_018(QStringView Linha) { Ruxo::LerLinha(Linha, Reg_018.Add()); }
void TRetorno::Ler_Reg_099(QStringView Linha) { Ruxo::LerLinha(Linha, Reg_099); }

void TRetorno::Ler_Reg_017(QStringView Linha)
{
    TReg_017& reg = Reg_017.Add();
    Ruxo::LerLinha(Linha, reg);
    // This customer's printers pad their serial number with one character Ruxo passes along.
    if (Sys_.Codigo_do_Cliente == u"0022")
        reg.Numero_de_Serie_do_ECF = Ruxo::LerX(Ruxo::Recorta(Linha, 270, 19));
}

QString TRetorno::Gerar_Reg_012(const TReg_012& aReg_012) const { return Ruxo::GerarLinha(aReg_012); }
QString TRetorno::Gerar_Reg_101() const { return Ruxo::GerarLinha(Reg_101); }

bool TRetorno::Cancelado_Anteriormente(const QString& Linha)
{
    if (Reg_011.Count() == 0)
        throw EListError(QStringLiteral("Item de cupom antes de qualquer cupom"));
    TReg_012 item;
    Ruxo::LerLinha(Linha, item);
    if (FEmLeitura)
        return CanceladoAnteriormente(item);
    // Called on its own, the store is read fresh and written back at once.
    FCancelados = TCancelados();
    const bool resultado = CanceladoAnteriormente(item);
    GravaCancelados();
    return resultado;
}

// No pause here: the 300 ms the old reader waited per item line bought nothing and made a
// 100-item file take 30 s on the main thread.
bool TRetorno::CanceladoAnteriormente(const TReg_012& item)
{
    CarregaCancelados();
    // An item belongs to the coupon header it follows. Judging every item of a batch by the
    // file's first coupon let a cancelled coupon that came second take its earlier cancelled
    // items a second time.
    const TReg_011& cupom = Reg_011.Items(Reg_011.Count() - 1);
    TCancelados& c = FCancelados;

    if (cupom.Cancelado != u"C") {
        if (item.Cancelado == u"C") {
            if (!c.Itens.empty() && c.Itens.front().Numero_do_Cupom != item.Numero_do_Cupom) {
                c.Linhas.clear();
                c.Itens.clear();
            }
            c.Linhas.append(Gerar_Reg_012(item));
            TReg_012& guardado = c.Itens.emplace_back();
            Ruxo::LerLinha(c.Linhas.back(), guardado);
            c.Existe = true;
            c.Alterado = true;
        }
        return false;
    }

    if (!c.Existe || c.Linhas.isEmpty())
        return false;

    if (c.Itens.front().Numero_do_Cupom != item.Numero_do_Cupom) {
        // The store held another coupon's items; that coupon will not come back cancelled now.
        c.Linhas.clear();
        c.Itens.clear();
        c.Existe = false;
        c.Alterado = true;
        return false;
    }

    bool achou = false;
    for (size_t i = c.Itens.size(); i-- > 0;) {
        if (c.Itens[i] == item) {
            c.Itens.erase(c.Itens.begin() + qsizetype(i));
            c.Linhas.removeAt(qsizetype(i));
            achou = true;
        }
    }
    if (achou) {
        c.Alterado = true;
        if (c.Linhas.isEmpty())
            c.Existe = false;
    }
    return achou;
}

void TRetorno::CarregaCancelados()
{
    TCancelados& c = FCancelados;
    if (c.Carregado)
        return;
    const QString pasta = DirBase() + QStringLiteral("CANCELADOS");
    if (!QDir().mkpath(pasta))
        throw EInOutError(QStringLiteral("Não foi possível criar a pasta %1").arg(QDir::toNativeSeparators(pasta)));
    const QString arquivo = ArquivoCancelados();
    c = TCancelados();
    c.Carregado = true;
    if (QFileInfo::exists(arquivo)) {
        c.Existe = true;
        c.Linhas = LerArquivoCp1252(arquivo);
        c.Itens.resize(size_t(c.Linhas.size()));
        for (qsizetype i = 0; i < c.Linhas.size(); ++i)
            Ruxo::LerLinha(c.Linhas[i], c.Itens[size_t(i)]);
    }
}

// The store is replaced whole through a temporary file, so a crash never leaves it half-written.
void TRetorno::GravaCancelados()
{
    TCancelados& c = FCancelados;
    if (!c.Alterado)
        return;
    const QString arquivo = ArquivoCancelados();
    if (c.Existe) {
        GravarArquivoCp1252(arquivo, c.Linhas);
    } else if (QFileInfo::exists(arquivo) && !QFile::remove(arquivo)) {
        throw EInOutError(QStringLiteral("Erro ao apagar: %1").arg(QDir::toNativeSeparators(arquivo)));
    }
    c.Alterado = false;
}

void TRetorno::Solicitacao(const QList<TTpSolicitacao>& Itens, QString& Arquivo)
{
    QStringList linhas;
    linhas.reserve(Itens.size() + 2);
    linhas.append(Gerar_Reg_101());
    for (TTpSolicitacao tipo : Itens) {
        const QString codigo = CodigoSolicitacao(tipo);
        if (!codigo.isEmpty())
            linhas.append(codigo);
    }
    Reg_099.Registros = int(Itens.size());
    linhas.append(Gerar_Reg_099());

    ExigePasta(QStringLiteral("RETORNO"));
    QString nome;
    Nome_Arquivo(nome);
    GravarArquivoCp1252(nome, linhas);
    Arquivo = nome;
}

void TRetorno::Nome_Arquivo(QString& Nome) { Nome = ProximoNomeLivre(QStringLiteral("RETORNO"), QStringLiteral("RT"), QStringLiteral(".T")); }
