#include "uRemessa.h"

#include "uCp1252.h"

TRemessa::TRemessa(TRuxo* AOwner) : TArquivo(AOwner, QStringLiteral("REM")) {}

QString TRemessa::Gerar_Reg_001() const { return Ruxo::GerarLinha(Reg_001); }
QString TRemessa::Gerar_Reg_020(const TReg_020& Item) const { return Ruxo::GerarLinha(Item); }
QString TRemessa::Gerar_Reg_035(const TReg_035& Item) const { return Ruxo::GerarLinha(Item); }

QByteArray TRemessa::Conteudo(TTpRemessa TipoRemessa) const
{
    // Each line is encoded as soon as it is made: the stock shipment of a large coupon file has a
    // line per item sold, and keeping them all as texts first cost several times the file's size.
    QByteArray bytes;
    const auto poe = [&bytes](const QString& linha) {
        bytes += CodificaCp1252(linha);
        bytes += "\r\n";
    };
    poe(Gerar_Reg_001());
    if (TipoRemessa == rm020) {
        bytes.reserve((Reg_020.Count() + 2) * (TReg_020::Tamanho + 2));
        for (const TReg_020& item : Reg_020)
            poe(Gerar_Reg_020(item));
    } else if (TipoRemessa == rm035) {
        bytes.reserve((Reg_035.Count() + 2) * (TReg_035::Tamanho + 2));
        for (const TReg_035& item : Reg_035)
            poe(Gerar_Reg_035(item));
    }
    poe(Gerar_Reg_099());
    return bytes;
}

void TRemessa::Gerar(TTpRemessa TipoRemessa)
{
    const QByteArray bytes = Conteudo(TipoRemessa);
    ExigePasta(QStringLiteral("REMESSA"));
    QString nome;
    Nome_Arquivo(nome);
    GravarArquivoAtomico(nome, bytes);
}

void TRemessa::Nome_Arquivo(QString& Nome) { Nome = ProximoNomeLivre(QStringLiteral("REMESSA"), QStringLiteral("RM"), QStringLiteral(".R")); }
