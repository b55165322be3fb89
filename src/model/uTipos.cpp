#include "uTipos.h"

#include "uErros.h"

#include <array>
#include <string_view>

namespace {

struct TDadosDiretorio {
    const char* Alias;
    const char* Prefixo;
};

constexpr std::array<TDadosDiretorio, QtdDiretorios> Diretorios{{
    {"N_CADASTRO", "CAD_"},
    {"N_CARTAOP", "AOP_"},
    {"N_CHEQREC", "CHE_"},
    {"N_COBRANCA", "COB_"},
    {"N_COMPRAS", "COM_"},
    {"N_CONSIGNA", "SIG_"},
    {"N_CTACOR", "COR_"},
    {"N_CTAPAG", "PAG_"},
    {"N_CTAREC", "REC_"},
    {"N_CURTUME", "CUR_"},
    {"N_ESTOQUE", "EST_"},
    {"N_EXPORTA", "EXP_"},
    {"N_FACCAO", "FAC_"},
    {"N_FUNDICAO", "FUN_"},
    {"N_ICMS_IPI", "IPI_"},
    {"N_OS", "OSE_"},
    {"N_PRODUCAO", "PRO_"},
    {"N_VENDAS", "VEN_"},
}};

struct TDadosTabela {
    std::string_view Nome;
    TDiretorios Diretorio;
    bool TemClasse;
};

constexpr bool COLUNAS = true;
constexpr bool VAZIA = true;
constexpr bool SEM = false;

constexpr TDadosTabela Tabelas[] = {
#define TV_TABELA(diretorio, nome, tipo) {#nome, diretorio, tipo},
#include "uTabelas.inc"
#undef TV_TABELA
};
static_assert(std::size(Tabelas) == QtdTabelas);

const TDadosTabela& Dados(TTabelas tabela)
{
    // The enums are plain integers at the boundary (a DAO may hold an ordinal read from elsewhere),
    // so an ordinal past the end must fail loudly instead of reading beyond the table.
    if (unsigned(tabela) >= unsigned(QtdTabelas))
        throw EListError(QStringLiteral("Tabela fora do catálogo: %1").arg(int(tabela)));
    return Tabelas[tabela];
}

const TDadosDiretorio& Dados(TDiretorios diretorio)
{
    if (unsigned(diretorio) >= unsigned(QtdDiretorios))
        throw EListError(QStringLiteral("Diretório fora do catálogo: %1").arg(int(diretorio)));
    return Diretorios[diretorio];
}

} // namespace

QString NomeAlias(TDiretorios diretorio)
{
    return QString::fromLatin1(Dados(diretorio).Alias);
}

QString PrefixoTabela(TDiretorios diretorio)
{
    return QString::fromLatin1(Dados(diretorio).Prefixo);
}

QString NomeTabela(TTabelas tabela)
{
    const std::string_view nome = Dados(tabela).Nome;
    const auto sep = nome.find('_');
    const auto nua = sep == std::string_view::npos ? nome : nome.substr(sep + 1);
    return QString::fromLatin1(nua.data(), qsizetype(nua.size()));
}

QString NomeCompletoTabela(TTabelas tabela)
{
    const std::string_view nome = Dados(tabela).Nome;
    return QString::fromLatin1(nome.data(), qsizetype(nome.size()));
}

TDiretorios DiretorioTabela(TTabelas tabela)
{
    return Dados(tabela).Diretorio;
}

QString NomeClasseTabela(TTabelas tabela)
{
    return u'T' + NomeCompletoTabela(tabela);
}

bool TemClasseModel(TTabelas tabela)
{
    return Dados(tabela).TemClasse;
}
