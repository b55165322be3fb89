#include "uRemessa.h"

#include "uCp1252.h"

TRemessa::TRemessa(TRuxo* AOwner) : TArquivo(AOwner, QStringLiteral("REM")) {}

QString TRemessa::Gerar_Reg_001() const { return Ruxo::GerarLinha(Reg_001); }
QString TRemessa::Gerar_Reg_020(const TReg_020& Item) const { return Ruxo::GerarLinha(Item); }
QString TRemessa::Gerar_Reg_035(const TReg_035& Item) const { return Ruxo::GerarLinha(Item); }

void TRemessa::Gerar(TTpRemessa TipoRemessa)
{
    QStringList linhas;
    linhas.append(Gerar_Reg_001());
    if (TipoRemessa == rm020) {
        linhas.reserve(Reg_020.Count() + 2);
        for (const TReg_020& item : Reg_020)
            linhas.append(Gerar_Reg_020(item));
    } else if (TipoRemessa == rm035) {
        linhas.reserve(Reg_035.Count() + 2);
        for (const TReg_035& item : Reg_035)
            linhas.append(Gerar_Reg_035(item));
    }
    linhas.append(Gerar_Reg_099());

    ExigePasta(QStringLiteral("REMESSA"));
    QString nome;
    Nome_Arquivo(nome);
    GravarArquivoCp1252(nome, linhas);
}

void TRemessa::Nome_Arquivo(QString& Nome) { Nome = ProximoNomeLivre(QStringLiteral("REMESSA"), QStringLiteral("RM"), QStringLiteral(".R")); }
