#include "uDaoBDE.h"

#include "uBibliot.h"
#include "uErros.h"
#include "uLog.h"
#include "uUIPort.h"

#include <QThread>

#include <cmath>
#include <cstddef>

namespace {

const QString& Aspas()
{
    static const QString a = QStringLiteral("\"");
    return a;
}

void Aviso(const char* tipo)
{
    UI().Mensagem(IUIPort::TTipoMensagem::Simples,
                  QStringLiteral("Falta %1 no SetParams").arg(QLatin1StringView(tipo)));
}

// Beyond this many statement shapes a DAO starts its list over: the import uses a handful per
// table, so only a caller that keeps inventing condition lists gets here.
constexpr size_t MaxComandosDao = 64;

// A float column's value as the Currency Currency::FromDouble makes of it, without its way
// through a text for the values the ERP stores. When the double is the one nearest to a whole
// number r of ten-thousandths below 10^15, that number has at most 15 digits, so the 15-digit
// text FromDouble reads back is exactly r; only other values take that way.
Currency MoedaDoBanco(double valor)
{
    const double r = std::nearbyint(valor * double(Currency::Escala));
    if (std::fabs(r) < 1e15 && r / double(Currency::Escala) == valor)
        return Currency::FromRaw(int64_t(r));
    return Currency::FromDouble(valor);
}

// Whether b is a copy of a: the same characters in the same place, so equal without comparing.
bool MesmoTexto(const QString& a, const QString& b)
{
    return a.constData() == b.constData() && a.size() == b.size() && !a.isNull();
}

// Our values cross as QVariant; the names are those of the types the ERP code checked for.
const char* TipoSemLigacao(const QVariant& valor)
{
    if (!valor.isValid())
        return "varEmpty";
    switch (valor.metaType().id()) {
    case QMetaType::Nullptr: return "varNull";
    case QMetaType::Short: return "varSmallint";
    case QMetaType::Float: return "varSingle";
    case QMetaType::Bool: return "varBoolean";
    case QMetaType::SChar: return "varShortInt";
    case QMetaType::UShort: return "varWord";
    case QMetaType::UInt: return "varLongWord";
    case QMetaType::LongLong: return "varInt64";
    case QMetaType::ULongLong: return "varUInt64";
    case QMetaType::Long: return sizeof(long) == 8 ? "varInt64" : nullptr;
    case QMetaType::ULong: return sizeof(long) == 8 ? "varUInt64" : "varLongWord";
    default: return nullptr;
    }
}

}  // namespace

const QSet<QString>& ListaNuloQuandoZero()
{
    static const QSet<QString> lista = {
        "AALIQUOTA_DE_ICMS", "AALIQUOTA_DE_IPI", "AALIQUOTA_DE_ISSQN", "AALIQUOTA_REDUZIDA_BCICMS",
        "AALIQUOTA_REDUZIDA_BCIPI", "ABC_SUBSTITUICAO_DESTINAT", "ACODIGO_SERVICO", "ACOFINS_ALIQUOTA",
        "ACOFINS_BC", "ACOFINS_VALOR", "ACOMISSAO_DO_ITEM", "ACOMISSAO_DO_REPRESENTANTE",
        "ACUSTO_MEDIO_UNITARIO", "AFATOR_DE_CONVERSAO", "AICMS_BC", "AICMS_ST_ALIQUOTA", "AICMS_ST_BC",
        "AICMS_ST_VALOR", "AICMS_UF_DESTINO", "AICMS_UF_ORIGEM", "AINDICE_PRECO_DE_VENDA", "AIPI_BC",
        "AISSQN_BC", "AISSQN_MUNICIPIO", "AITEM_DA_OC", "AMVA", "APIS_ALIQUOTA", "APIS_BC", "APIS_VALOR",
        "APRECO_TOTAL", "APRECO_UNITARIO", "APRECO_UNITARIO_TABELA", "APRECO_VENDA", "AQUANTIDADE",
        "AQUANTIDADE_CONVERTIDA", "ASEQUENCIA_DO_LANCAMENTO", "ASOMA_ITENS_SUBSTITUICAO",
        "ATAXA_DESCONTO_UNITARIO", "AVALOR_ACRESCIMOS_DESCTOS", "AVALOR_ACRESCIMO_TOTAL", "AVALOR_BCICMS",
        "AVALOR_BCISSQN", "AVALOR_BCSUBSTITUICAO_ICMS", "AVALOR_DESCONTO", "AVALOR_DESCONTO_TOTAL",
        "AVALOR_DESCONTO_UNITARIO", "AVALOR_DESPESAS_ACESSORIAS", "AVALOR_DO_FRETE", "AVALOR_DO_ICMS",
        "AVALOR_DO_IPI", "AVALOR_DO_ISSQN", "AVALOR_DO_SEGURO", "AVALOR_FRETE_TOTAL", "AVALOR_ICMS",
        "AVALOR_ICMS_FRETE", "AVALOR_IPI", "AVALOR_ISSQN", "AVALOR_MERCADORIA", "AVALOR_MERCADORIA_LIQUIDO",
        "AVALOR_NOTA_FISCAL", "AVALOR_OUTDESP_TOTAL", "AVALOR_SEGURO_TOTAL", "AVALOR_SERVICO",
        "AVALOR_SUBSTITUICAO_ICMS", "AVR_SUBSTITUICAO_DESTINAT",
    };
    return lista;
}

QString MaiusculasAZ(const QString& texto)
{
    qsizetype i = 0;
    const qsizetype n = texto.size();
    const QChar* c = texto.constData();
    while (i < n && !(c[i].unicode() >= u'a' && c[i].unicode() <= u'z'))
        ++i;
    if (i == n)
        return texto;  // nothing to change: no copy
    QString r = texto;
    QChar* d = r.data();
    for (; i < n; ++i) {
        const char16_t u = d[i].unicode();
        if (u >= u'a' && u <= u'z')
            d[i] = QChar(char16_t(u - (u'a' - u'A')));
    }
    return r;
}

// --- Construction --------------------------------------------------------------------------

TDaoBDE::TDaoBDE(TDiretorios dataBase, TTabelas tabela) : FTabela(tabela), FDataBase(dataBase)
{
    Inicializa();
}

TDaoBDE::~TDaoBDE()
{
    Finaliza();
}

void TDaoBDE::Inicializa()
{
    FNomeTabela = NomeTabela(FTabela);
    FAlias = NomeAlias(FDataBase);
    Query = std::make_unique<TQuery>();
    Query->SetDatabaseName(FAlias);
    FLtEstruturaTabela.clear();
    CarregaEstrutura();
}

void TDaoBDE::Finaliza()
{
    if (Query) {
        Query->Close();
        Query.reset();
    }
    if (FQueryAuxiliar) {
        FQueryAuxiliar->Close();
        FQueryAuxiliar.reset();
    }
    if (cdsTabela) {
        cdsTabela->EmptyDataSet();
        cdsTabela->Close();
        cdsTabela.reset();
    }
    FLtEstruturaTabela.clear();
}

void TDaoBDE::SetTabela(TTabelas tabela)
{
    FTabela = tabela;
    FNomeTabela = NomeTabela(FTabela);
    ++FVersaoEstrutura;  // the plans carry the table's name in their lines
}

void TDaoBDE::SetDataBase(TDiretorios dataBase)
{
    FDataBase = dataBase;
    FAlias = NomeAlias(FDataBase);
    ++FVersaoEstrutura;
}

void TDaoBDE::ErroClasse(const TClasseModel& pedida) const
{
    throw EClassNotFound(QStringLiteral("A tabela %1 não é da classe %2").arg(FNomeTabela, pedida.Nome()));
}

QString TDaoBDE::Referencia() const
{
    return Aspas() + u':' + FAlias + u':' + FNomeTabela + Aspas();
}

QString TDaoBDE::Coluna(const QString& C) const
{
    return FNomeTabela + u'.' + Aspas() + C + Aspas();
}

void TDaoBDE::NovoTexto(TQuery& query) const
{
    query.Close();
    query.SQL().Clear();
}

// --- Structure -----------------------------------------------------------------------------

void TDaoBDE::AdicionaColuna(const QString& nome, TFieldType tipo, int tamanho)
{
    char codigo;
    switch (tipo) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
        codigo = 'S';
        FLtEstruturaTabela << nome + QStringLiteral("=S(") + QString::number(tamanho) + u')';
        break;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        codigo = 'I';
        FLtEstruturaTabela << nome + QStringLiteral("=I");
        break;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
        codigo = 'F';
        FLtEstruturaTabela << nome + QStringLiteral("=F");
        break;
    case TFieldType::ftDate:
        codigo = 'D';
        FLtEstruturaTabela << nome + QStringLiteral("=D");
        break;
    default:
        return;  // a type this object does not handle: the column is invisible to it
    }
    const QString nomeModel = NomeCampoModel(nome);
    FColunas.push_back(TColuna{nome, nomeModel, codigo, tamanho});
    if (!FIndiceColunas.contains(nomeModel))
        FIndiceColunas.insert(nomeModel, int(FColunas.size()) - 1);
    ++FVersaoEstrutura;
}

void TDaoBDE::DefineCampoStaging(TMemTable& tabela, const QString& nome, TFieldType tipo, int tamanho)
{
    const QString campo = NomeCampoModel(nome);
    switch (tipo) {
    case TFieldType::ftString:
    case TFieldType::ftMemo: AdicionaCampoTexto(tabela, campo, tamanho); break;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger: AdicionaCampoInteiro(tabela, campo); break;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency: AdicionaCampoReal(tabela, campo); break;
    case TFieldType::ftDate: AdicionaCampoData(tabela, campo); break;
    default: break;
    }
}

void TDaoBDE::CarregaEstrutura()
{
    NovoTexto(*Query);
    Query->SQL().Add(QStringLiteral("select ") + FNomeTabela + QStringLiteral(".* ") + QStringLiteral("from ") +
                     Referencia() + u' ' + QStringLiteral("where ") + QStringLiteral("(1=2)"));
    try {
        Query->Open();
        auto tabela = std::make_unique<TMemTable>();
        for (const TDefCampo& campo : Query->FieldDefs()) {
            AdicionaColuna(campo.Nome, campo.Tipo, campo.Tamanho);
            DefineCampoStaging(*tabela, campo.Nome, campo.Tipo, campo.Tamanho);
        }
        cdsTabela = std::move(tabela);
    } catch (...) {
        Query->Close();
        throw;
    }
    Query->Close();
}

void TDaoBDE::RecriaEstrutura()
{
    // The same table object is reshaped rather than replaced, so that a grid or a caller holding
    // it keeps a valid one.
    cdsTabela->Close();
    cdsTabela->FieldDefs().clear();
    for (const TDefCampo& campo : Query->FieldDefs()) {
        if (campo.Nome.toUpper().contains(QStringLiteral("LOOKUP")))
            continue;
        DefineCampoStaging(*cdsTabela, campo.Nome, campo.Tipo, campo.Tamanho);
        AdicionaColuna(campo.Nome, campo.Tipo, campo.Tamanho);
    }
    ++FVersaoEstrutura;
    RecriaDataSet();
}

void TDaoBDE::RecriaDataSet()
{
    try {
        cdsTabela->Close();
        cdsTabela->CreateDataSet();
    } catch (const std::exception&) {
        try {
            cdsTabela->EmptyDataSet();
            cdsTabela->Open();
        } catch (const std::exception&) {
            // A table that cannot even be opened stays closed; its next use says so.
        }
    }
}

int TDaoBDE::IndiceColuna(const QString& P) const
{
    return FIndiceColunas.value(P, -1);
}

void TDaoBDE::LogaDiferenca(const QString& P) const
{
    if (Log_)
        Log_->TextoColorido({QStringLiteral("Diferença na estrutura da tabela -> ") + FNomeTabela +
                             QStringLiteral("Campo -> ") + P},
                            {CoresLog::Vermelho});
}

QString TDaoBDE::BuscaCampo(const QString& P)
{
    const int i = IndiceColuna(P);
    if (i < 0) {
        LogaDiferenca(P);
        return QString();
    }
    return FColunas[size_t(i)].Nome;
}

void TDaoBDE::AjustaUltimaLinha(QStringList& linhas, QChar X)
{
    if (linhas.isEmpty())
        return;
    QString s = linhas.last();
    if (s.size() >= 2)
        s.remove(s.size() - 2, 1);
    s.insert(s.isEmpty() ? 0 : s.size() - 1, X);
    linhas.last() = s;
}

// --- Plans ---------------------------------------------------------------------------------

void TDaoBDE::MontaLinhas(TPlano& plano) const
{
    const QString R = Referencia();
    QStringList& ins = plano.LinhasInsert;
    ins.clear();
    ins << QStringLiteral("insert into ") + R + QStringLiteral(" (");
    for (const TValorPlano& v : plano.Valores)
        ins << Coluna(FColunas[size_t(v.Coluna)].Nome) + QStringLiteral(", ");
    AjustaUltimaLinha(ins, u')');
    ins << QStringLiteral("values(");
    for (const TValorPlano& v : plano.Valores)
        ins << u':' + v.Parametro + QStringLiteral(", ");
    AjustaUltimaLinha(ins, u')');
    plano.Insert = std::make_shared<TTextoSQL>(ins);
    plano.Traducao.reset();

    QStringList& set = plano.LinhasSet;
    set.clear();
    set << QStringLiteral("update ") + R + u' ' + QStringLiteral("Set ");
    for (const TValorPlano& v : plano.Valores)
        set << Coluna(FColunas[size_t(v.Coluna)].Nome) + QStringLiteral(" =:") + v.Parametro + QStringLiteral(", ");
    AjustaUltimaLinha(set, u' ');
}

namespace {

bool NuloQuandoZero(const QString& parametro)
{
    return ListaNuloQuandoZero().contains(parametro.toUpper());
}

}  // namespace

TDaoBDE::TPlano& TDaoBDE::PlanoObjeto(const TClasseModel& classe)
{
    TPlano* plano = nullptr;
    for (auto& p : FPlanos)
        if (p->Origem == &classe)
            plano = p.get();
    if (plano && plano->Versao == FVersaoEstrutura)
        return *plano;
    if (!plano) {
        FPlanos.push_back(std::make_unique<TPlano>());
        plano = FPlanos.back().get();
        plano->Origem = &classe;
    }
    plano->Valores.clear();
    plano->Faltantes.clear();
    for (const TPropriedade& p : classe.Propriedades()) {
        const int coluna = IndiceColuna(p.Nome());
        if (coluna < 0) {
            plano->Faltantes << p.Nome();
            continue;
        }
        TValorPlano v;
        v.Propriedade = p.Indice();
        v.Coluna = coluna;
        v.Parametro = u'a' + FColunas[size_t(coluna)].NomeModel;
        const QString tipo = p.NomeTipo().toUpper();
        v.Ligacao = tipo == u"STRING"      ? TLigacao::Texto
                    : tipo == u"TDATETIME" ? TLigacao::DataHora
                    : tipo == u"CURRENCY"  ? TLigacao::Real
                    : tipo == u"INTEGER"   ? TLigacao::Inteiro
                                           : TLigacao::Nenhuma;
        v.NuloQuandoZero = NuloQuandoZero(v.Parametro);
        plano->Valores.push_back(v);
    }
    MontaLinhas(*plano);
    plano->Versao = FVersaoEstrutura;
    plano->Geracao = ++FGeracaoPlanos;
    return *plano;
}

TDaoBDE::TPlano& TDaoBDE::PlanoStaging()
{
    const int versao = FVersaoEstrutura * 0x10000 + cdsTabela->VersaoCampos();
    if (FPlanoStaging && FPlanoStaging->Versao == versao)
        return *FPlanoStaging;
    FPlanoStaging = std::make_unique<TPlano>();
    TPlano& plano = *FPlanoStaging;
    plano.Origem = cdsTabela.get();
    for (int i = 0; i < cdsTabela->FieldCount(); ++i) {
        const TCampoMem& campo = cdsTabela->Fields(i);
        const int coluna = IndiceColuna(campo.Nome());
        if (coluna < 0) {
            plano.Faltantes << campo.Nome();
            continue;
        }
        TValorPlano v;
        v.Propriedade = i;
        v.Coluna = coluna;
        v.Parametro = u'a' + FColunas[size_t(coluna)].NomeModel;
        v.Ligacao = TLigacao::Nenhuma;  // the staging binding goes by the field's own type
        v.NuloQuandoZero = NuloQuandoZero(v.Parametro);
        plano.Valores.push_back(v);
    }
    MontaLinhas(plano);
    plano.Versao = versao;
    plano.Geracao = ++FGeracaoPlanos;
    return plano;
}

void TDaoBDE::CarregaInsert(const TPlano& plano)
{
    if (FGeracaoCarregada == plano.Geracao && FVersaoCarregada == Query->SQL().Versao()) {
        Query->Close();
        return;
    }
    Query->Close();
    Query->SetSQL(plano.Insert);
    FGeracaoCarregada = plano.Geracao;
    FVersaoCarregada = Query->SQL().Versao();
}

void TDaoBDE::ResolveParametros(TPlano& plano)
{
    // The positions depend only on the translation, the same for every run of a plan's text;
    // one the plan has not seen gets them looked up once. A name the translation does not have
    // (a column whose name is no identifier) raises naming it instead of binding out of range.
    TParams& params = Query->Params();
    if (plano.Traducao && plano.Traducao == params.Traducao())
        return;
    for (TValorPlano& v : plano.Valores) {
        v.IndiceParametro = params.IndexOf(v.Parametro);
        if (v.IndiceParametro < 0)
            params.ParamByName(v.Parametro);
    }
    plano.Traducao = params.Traducao();
}

// --- Binding -------------------------------------------------------------------------------

void TDaoBDE::LigaPropriedade(TParam& param, const TValorPlano& v, const TPropriedade& p, const TClasseBase& obj)
{
    switch (v.Ligacao) {
    case TLigacao::Texto: {
        const QString& s = p.Texto(obj);
        if (s.isEmpty())
            param.SetNull(TFieldType::ftString);
        else
            param.SetAsString(MaiusculasAZ(s));
        break;
    }
    case TLigacao::DataHora: {
        const TDateTime d = p.Data(obj);
        if (d.Valor() > 0)
            param.SetAsDateTime(d);
        else
            param.SetNull(TFieldType::ftDateTime);
        break;
    }
    case TLigacao::Real: {
        const Currency c = p.Valor(obj);
        if (!c.IsZero())
            param.SetAsFloat(c.ToDouble());
        else if (v.NuloQuandoZero)
            param.SetNull(TFieldType::ftFloat);
        else
            param.SetAsFloat(0);
        break;
    }
    case TLigacao::Inteiro: {
        const int i = p.Inteiro(obj);
        if (i != 0)
            param.SetAsSmallInt(i);
        else
            param.SetNull(TFieldType::ftSmallint);
        break;
    }
    case TLigacao::Nenhuma:
        param.Unbind();
        break;
    }
}

void TDaoBDE::LigaCampo(TParam& param, const TValorPlano& v, const TCampoMem& campo)
{
    const QVariant valor = campo.Valor();
    switch (campo.Tipo()) {
    case TTipoCampoMem::Texto: {
        if (valor.isNull()) {
            param.SetNull(TFieldType::ftString);
            break;
        }
        // A text field holds a QString: taken as it is, without a conversion to copy it.
        const QString s = valor.typeId() == QMetaType::QString ? *static_cast<const QString*>(valor.constData())
                                                               : valor.toString();
        if (s.isEmpty())
            param.SetNull(TFieldType::ftString);
        else
            param.SetAsString(MaiusculasAZ(s));
        break;
    }
    case TTipoCampoMem::Inteiro:
        if (valor.isNull() || valor.toInt() == 0)
            param.SetNull(TFieldType::ftSmallint);
        else
            param.SetAsSmallInt(valor.toInt());
        break;
    case TTipoCampoMem::Real:
        if (valor.isNull()) {
            if (v.NuloQuandoZero)
                param.SetNull(TFieldType::ftFloat);
            else
                param.SetAsFloat(0);
        } else {
            const double d = valor.typeId() == QMetaType::Double ? *static_cast<const double*>(valor.constData())
                                                                 : valor.toDouble();
            if (d == 0)
                param.SetNull(TFieldType::ftFloat);
            else
                param.SetAsFloat(d);
        }
        break;
    case TTipoCampoMem::Data: {
        const TDateTime d = valor.isNull() ? TDateTime() : valor.value<TDateTime>();
        if (d.Valor() <= 0)
            param.SetNull(TFieldType::ftDateTime);
        else
            param.SetAsDateTime(d);
        break;
    }
    default:
        param.Unbind();
        break;
    }
}

void TDaoBDE::LigaCondicao(TParam& param, const QVariant& valor)
{
    const QMetaType tipo = valor.metaType();
    if (tipo == QMetaType::fromType<Currency>()) {
        param.SetAsFloat(valor.value<Currency>().ToDouble());
        return;
    }
    if (tipo == QMetaType::fromType<TDateTime>()) {
        param.SetAsDate(valor.value<TDateTime>());
        return;
    }
    switch (valor.isValid() ? tipo.id() : QMetaType::UnknownType) {
    case QMetaType::Int:
        param.SetAsInteger(valor.toInt());
        return;
    case QMetaType::Long:
        if (sizeof(long) == 4) {
            param.SetAsInteger(valor.toInt());
            return;
        }
        break;
    case QMetaType::Double:
    case QMetaType::UChar:
        param.SetAsFloat(valor.toDouble());
        return;
    case QMetaType::QDate:
        param.SetAsDate(TDateTime::FromDate(valor.toDate()));
        return;
    case QMetaType::QDateTime:
        param.SetAsDate(TDateTime::FromDateTime(valor.toDateTime()));
        return;
    case QMetaType::QString:
        param.SetAsString(valor.toString());
        return;
    default:
        break;
    }
    if (const char* nome = TipoSemLigacao(valor))
        Aviso(nome);
    // Unbound, so that the statement fails when it runs instead of using an older value.
    param.Unbind();
}

void TDaoBDE::LinhasCondicao(QStringList& linhas, const QStringList& Campos, const QString& tabela,
                             QStringList* parametros)
{
    if (Campos.isEmpty() || Campos.first().isEmpty())
        return;
    linhas << QStringLiteral("where ");
    const qsizetype ultimo = Campos.size() - 1;
    for (qsizetype i = 0; i <= ultimo; ++i) {
        const QString& N = Campos[i];
        const QString nome = NomeCampoModel(N);
        linhas << u'(' + tabela + u'.' + Aspas() + N + Aspas() + QStringLiteral(" =:p") + nome +
                      (i < ultimo ? QStringLiteral(") and ") : QStringLiteral(")"));
        if (parametros)
            *parametros << u'p' + nome;
    }
}

void TDaoBDE::SetParams(TQuery& query, const QStringList& Campos, const QVariantList& Valores)
{
    QStringList linhas;
    QStringList nomes;
    LinhasCondicao(linhas, Campos, FNomeTabela, &nomes);
    if (linhas.isEmpty())
        return;
    for (const QString& linha : linhas)
        query.SQL().Add(linha);
    // Every condition line is written before a missing value is noticed: a statement that is
    // then run anyway fails on its unbound parameter instead of reaching every row.
    TParams& params = query.Params();
    for (qsizetype i = 0; i < nomes.size(); ++i) {
        TParam& param = params.ParamByName(nomes[i]);
        if (i >= Valores.size()) {
            param.Unbind();
            throw EListError(QStringLiteral("Condições com %1 campos e %2 valores").arg(Campos.size()).arg(Valores.size()));
        }
        LigaCondicao(param, Valores[i]);
    }
}

TDaoBDE::TComandoDao& TDaoBDE::Comando(TOperacao operacao, const QStringList& Campos, const QString& coluna,
                                       const TPlano* plano)
{
    const quint64 geracao = plano ? plano->Geracao : 0;
    TComandoDao* comando = nullptr;
    for (const auto& c : FComandos)
        if (c->Operacao == operacao && c->GeracaoPlano == geracao && c->Campos == Campos && c->Coluna == coluna) {
            if (c->Versao == FVersaoEstrutura)
                return *c;
            comando = c.get();
            break;
        }
    if (!comando) {
        if (FComandos.size() >= MaxComandosDao)
            FComandos.clear();
        FComandos.push_back(std::make_unique<TComandoDao>());
        comando = FComandos.back().get();
        comando->Operacao = operacao;
        comando->GeracaoPlano = geracao;
        comando->Campos = Campos;
        comando->Coluna = coluna;
    }
    QStringList linhas;
    switch (operacao) {
    case TOperacao::Busca:
        linhas << QStringLiteral("select ") + FNomeTabela + QStringLiteral(".* ") + QStringLiteral("from ") +
                      Referencia() + u' ';
        break;
    case TOperacao::Exclusao:
        linhas << QStringLiteral("delete from ") + Referencia() + u' ';
        break;
    case TOperacao::Maximo:
        linhas << QStringLiteral("SELECT MAX(") + Coluna(coluna) + QStringLiteral(") FROM ") + Referencia() + u' ';
        break;
    case TOperacao::Atualizacao:
        linhas = plano->LinhasSet;
        break;
    }
    comando->Parametros.clear();
    LinhasCondicao(linhas, Campos, FNomeTabela, &comando->Parametros);
    comando->Texto = std::make_shared<TTextoSQL>(linhas);
    comando->Indices.clear();
    comando->Traducao.reset();
    comando->Versao = FVersaoEstrutura;
    return *comando;
}

void TDaoBDE::CarregaComando(TQuery& query, const TComandoDao& comando) const
{
    query.Close();
    query.SetSQL(comando.Texto);
}

void TDaoBDE::LigaCondicoes(TQuery& query, TComandoDao& comando, const QVariantList& Valores)
{
    const QStringList& nomes = comando.Parametros;
    if (nomes.isEmpty())
        return;
    TParams& params = query.Params();
    if (!comando.Traducao || comando.Traducao != params.Traducao()) {
        comando.Indices.clear();
        for (const QString& nome : nomes)
            comando.Indices.push_back(params.IndexOf(nome));
        comando.Traducao = params.Traducao();
    }
    // Every condition line is written before a missing value is noticed: a statement that is
    // then run anyway fails on its unbound parameter instead of reaching every row.
    for (qsizetype i = 0; i < nomes.size(); ++i) {
        const int k = comando.Indices[size_t(i)];
        TParam& param = k < 0 ? params.ParamByName(nomes[i]) : params[k];
        if (i >= Valores.size()) {
            param.Unbind();
            throw EListError(
                QStringLiteral("Condições com %1 campos e %2 valores").arg(comando.Campos.size()).arg(Valores.size()));
        }
        LigaCondicao(param, Valores[i]);
    }
}

const TClasseModel& TDaoBDE::ClasseDaTabela()
{
    // Only a class found is kept: a table without one raises on every call, as before.
    if (!FClasse || FVersaoClasse != FVersaoEstrutura) {
        FClasse = &EncontrarClasse(u'T' + PrefixoTabela(FDataBase) + FNomeTabela);
        FVersaoClasse = FVersaoEstrutura;
    }
    return *FClasse;
}

// --- Statements ----------------------------------------------------------------------------

void TDaoBDE::EsperaTentativa(int n)
{
    if (n > 0)
        QThread::msleep(150u << (qMin(n, 4) - 1));  // 150, 300, 600, 1200 ms
}

bool TDaoBDE::ErroDeTrava(const QString& mensagem)
{
    // SQLite's texts for a busy database or table, and the server's for a lock it gave up on.
    static const char* const textos[] = {"database is locked", "database table is locked", "database schema is locked",
                                         "could not obtain lock", "lock timeout", "deadlock detected"};
    for (const char* t : textos)
        if (mensagem.contains(QLatin1StringView(t), Qt::CaseInsensitive))
            return true;
    return false;
}

bool TDaoBDE::ExecutaQuery()
{
    for (int n = 0; n < 5; ++n) {
        if (n > 0 && ErroDeTrava(FUltimoErro))
            EsperaTentativa(n);
        QString mensagem;
        try {
            Query->ExecSQL();
            FUltimoErro.clear();
            return true;
        } catch (const Exception& e) {
            mensagem = e.Message();
        } catch (const std::exception& e) {
            mensagem = QString::fromUtf8(e.what());
        }
        FUltimoErro = mensagem;
        if (Log_)
            Log_->TextoErro(QStringLiteral("Executar comando: Tentativa ") + QString::number(n) + u' ' + mensagem);
    }
    return false;
}

bool TDaoBDE::Inserir(const TClasseBase& Obj)
{
    try {
        TPlano& plano = PlanoObjeto(Obj.Classe());
        for (int passo = 0; passo < 2; ++passo)  // the column lines, then the value lines
            for (const QString& p : plano.Faltantes)
                LogaDiferenca(p);
        CarregaInsert(plano);
        for (const QString& p : plano.Faltantes)
            LogaDiferenca(p);
        ResolveParametros(plano);
        TParams& params = Query->Params();
        const TClasseModel& classe = Obj.Classe();
        for (const TValorPlano& v : plano.Valores)
            LigaPropriedade(params[v.IndiceParametro], v, classe.Propriedade(v.Propriedade), Obj);
    } catch (...) {
        // What was built still runs once, so its failure is logged like any other, then the
        // building error goes on to the caller.
        ExecutaQuery();
        throw;
    }
    return ExecutaQuery();
}

bool TDaoBDE::Inserir()
{
    try {
        TPlano& plano = PlanoStaging();
        for (int passo = 0; passo < 2; ++passo)
            for (const QString& p : plano.Faltantes)
                LogaDiferenca(p);
        CarregaInsert(plano);
        for (const QString& p : plano.Faltantes)
            LogaDiferenca(p);
        ResolveParametros(plano);
        TParams& params = Query->Params();
        for (const TValorPlano& v : plano.Valores)
            LigaCampo(params[v.IndiceParametro], v, cdsTabela->Fields(v.Propriedade));
    } catch (...) {
        ExecutaQuery();
        throw;
    }
    return ExecutaQuery();
}

bool TDaoBDE::Atualizar(const TClasseBase& Obj, const QStringList& Campos, const QVariantList& Valores)
{
    TPlano& plano = PlanoObjeto(Obj.Classe());
    for (const QString& p : plano.Faltantes)
        LogaDiferenca(p);
    TComandoDao& comando = Comando(TOperacao::Atualizacao, Campos, {}, &plano);
    CarregaComando(*Query, comando);
    LigaCondicoes(*Query, comando, Valores);
    for (const QString& p : plano.Faltantes)
        LogaDiferenca(p);
    ResolveParametros(plano);
    TParams& params = Query->Params();
    const TClasseModel& classe = Obj.Classe();
    for (const TValorPlano& v : plano.Valores)
        LigaPropriedade(params[v.IndiceParametro], v, classe.Propriedade(v.Propriedade), Obj);
    return ExecutaQuery();
}

bool TDaoBDE::Atualizar(const QStringList& Campos, const QVariantList& Valores)
{
    TPlano& plano = PlanoStaging();
    for (const QString& p : plano.Faltantes)
        LogaDiferenca(p);
    TComandoDao& comando = Comando(TOperacao::Atualizacao, Campos, {}, &plano);
    CarregaComando(*Query, comando);
    LigaCondicoes(*Query, comando, Valores);
    for (const QString& p : plano.Faltantes)
        LogaDiferenca(p);
    ResolveParametros(plano);
    TParams& params = Query->Params();
    for (const TValorPlano& v : plano.Valores)
        LigaCampo(params[v.IndiceParametro], v, cdsTabela->Fields(v.Propriedade));
    return ExecutaQuery();
}

bool TDaoBDE::Excluir(const QStringList& Campos, const QVariantList& Valores)
{
    TComandoDao& comando = Comando(TOperacao::Exclusao, Campos);
    CarregaComando(*Query, comando);
    try {
        LigaCondicoes(*Query, comando, Valores);
    } catch (...) {
        ExecutaQuery();
        throw;
    }
    return ExecutaQuery();
}

std::unique_ptr<TClasseBase> TDaoBDE::BuscaValor(const QStringList& Campos, const QVariantList& Valores)
{
    const TClasseModel& classe = ClasseDaTabela();
    std::unique_ptr<TClasseBase> obj = classe.Criar();
    TComandoDao& comando = Comando(TOperacao::Busca, Campos);
    CarregaComando(*Query, comando);
    try {
        LigaCondicoes(*Query, comando, Valores);
        Query->Open();
        if (!Query->IsEmpty()) {
            Query->First();
            TPlano& plano = PlanoObjeto(classe);
            for (const QString& p : plano.Faltantes)
                LogaDiferenca(p);
            for (TValorPlano& v : plano.Valores) {
                const TPropriedade& p = classe.Propriedade(v.Propriedade);
                const TColuna& c = FColunas[size_t(v.Coluna)];
                // Field positions of "T.*" follow the table, so they are looked up once per plan
                // and then only confirmed: the name found last time is still the very same text
                // while the engine has not worked the fields out again.
                int& campo = v.IndiceCampoQuery;
                if (campo < 0 || campo >= Query->FieldCount() ||
                    !MesmoTexto(Query->FieldDef(campo).Nome, v.NomeCampoQuery)) {
                    if (campo < 0 || campo >= Query->FieldCount() || Query->FieldDef(campo).Nome != c.Nome)
                        campo = Query->FieldIndex(c.Nome);
                    v.NomeCampoQuery = campo < 0 ? QString() : Query->FieldDef(campo).Nome;
                }
                if (campo < 0)
                    continue;
                const QVariant& bruto = Query->ValorBruto(campo);
                if (bruto.isNull())
                    continue;
                switch (p.Tipo()) {
                case TTipoPropriedade::String:
                    if (c.Tipo == 'S') {
                        p.Texto(*obj) = bruto.typeId() == QMetaType::QString
                                            ? *static_cast<const QString*>(bruto.constData())
                                            : Query->AsString(campo);
                        continue;
                    }
                    break;
                case TTipoPropriedade::Currency:
                    if (c.Tipo == 'F') {
                        p.Valor(*obj) = MoedaDoBanco(bruto.typeId() == QMetaType::Double
                                                         ? *static_cast<const double*>(bruto.constData())
                                                         : Query->AsFloat(campo));
                        continue;
                    }
                    break;
                case TTipoPropriedade::TDateTime:
                    if (c.Tipo == 'D') {
                        p.Data(*obj) = Query->AsDateTime(campo);
                        continue;
                    }
                    break;
                case TTipoPropriedade::Integer:
                    if (c.Tipo == 'I') {
                        p.Inteiro(*obj) = Query->AsInteger(campo);
                        continue;
                    }
                    break;
                }
                p.Gravar(*obj, Query->Value(campo));
            }
        }
    } catch (...) {
        Query->Close();
        throw;
    }
    Query->Close();
    return obj;
}

void TDaoBDE::BuscaValores(const QStringList& Campos, const QVariantList& Valores, QByteArray& Dados, bool Recriar)
{
    TComandoDao& comando = Comando(TOperacao::Busca, Campos);
    CarregaComando(*Query, comando);
    try {
        LigaCondicoes(*Query, comando, Valores);
        Query->Open();
        if (Recriar)
            RecriaEstrutura();
    } catch (...) {
        Query->Close();
        throw;
    }
    CopiaRegistros();
    Dados = cdsTabela->Dados();
}

void TDaoBDE::CopiaRegistros()
{
    cdsTabela->DisableControls();
    try {
        cdsTabela->First();
        std::vector<std::pair<int, int>> mapa;  // query field -> staging field
        for (int i = 0; i < Query->FieldCount(); ++i) {
            const TCampoMem* campo = cdsTabela->FindField(NomeCampoModel(Query->FieldDef(i).Nome));
            if (campo && !campo->Lookup())
                mapa.emplace_back(i, campo->Indice());
        }
        for (Query->First(); !Query->Eof(); Query->Next()) {
            cdsTabela->Append();
            for (const auto& [q, c] : mapa)
                cdsTabela->Fields(c).SetValor(Query->Value(q));
            cdsTabela->Post();
        }
    } catch (...) {
        Query->Close();
        cdsTabela->EnableControls();
        throw;
    }
    Query->Close();
    cdsTabela->EnableControls();
}

TQuery& TDaoBDE::QueryAuxiliar()
{
    // One separate query, kept: a fresh one per call would only repeat the same preparation,
    // and `Query` must stay untouched by these two operations.
    if (!FQueryAuxiliar) {
        FQueryAuxiliar = std::make_unique<TQuery>();
        FQueryAuxiliar->SetDatabaseName(FAlias);
    }
    return *FQueryAuxiliar;
}

void TDaoBDE::GetMax(const QString& Campo, const QStringList& Campos, const QVariantList& Valores, QVariant& Resultado)
{
    Resultado = 1;
    TQuery& q = QueryAuxiliar();
    TComandoDao& comando = Comando(TOperacao::Maximo, Campos, Campo);
    CarregaComando(q, comando);
    try {
        LigaCondicoes(q, comando, Valores);
    } catch (...) {
        FSqlAuxiliar = q.SQL().Strings();
        throw;
    }
    FSqlAuxiliar = q.SQL().Strings();
    QString erro;
    try {
        q.Open();
        Resultado = q.IsEmpty() ? QVariant() : q.Value(0);
    } catch (const Exception& e) {
        erro = e.Message();
    } catch (const std::exception& e) {
        erro = QString::fromUtf8(e.what());
    }
    q.Close();
    if (!erro.isNull())
        throw Exception(QStringLiteral("Falha na função GetMax \r\nMensagem original: ") + erro);
}

int TDaoBDE::NextNum(const QString& FieldName)
{
    int resultado = 1;
    TQuery& q = QueryAuxiliar();
    NovoTexto(q);
    q.SQL().Add(QStringLiteral("SELECT MAX(") + Coluna(FieldName) + QStringLiteral(") FROM ") + Referencia());
    FSqlAuxiliar = q.SQL().Strings();
    QString erro;
    try {
        q.Open();
        if (!q.IsEmpty() && !q.AsString(0).isEmpty())
            resultado = q.AsInteger(0) + 1;
    } catch (const Exception& e) {
        erro = e.Message();
    } catch (const std::exception& e) {
        erro = QString::fromUtf8(e.what());
    }
    q.Close();
    if (!erro.isNull())
        throw Exception(QStringLiteral("Falha gerar próximo ID\r\nMensagem original: ") + erro);
    return resultado;
}

// --- Staging table -------------------------------------------------------------------------

void TDaoBDE::Add(const TClasseBase& Obj)
{
    const TClasseModel& classe = Obj.Classe();
    if (FClasseAdd != &classe || FVersaoAdd != cdsTabela->VersaoCampos()) {
        FCamposAdd.clear();
        for (const TPropriedade& p : classe.Propriedades()) {
            const TCampoMem* campo = cdsTabela->FindField(p.Nome());
            FCamposAdd.push_back(campo ? campo->Indice() : -1);
        }
        FClasseAdd = &classe;
        FVersaoAdd = cdsTabela->VersaoCampos();
    }
    cdsTabela->Append();
    const std::vector<TPropriedade>& propriedades = classe.Propriedades();
    for (size_t i = 0; i < propriedades.size(); ++i) {
        const TPropriedade& p = propriedades[i];
        TCampoMem& campo = FCamposAdd[i] < 0 ? cdsTabela->FieldByName(p.Nome())  // raises, naming it
                                             : cdsTabela->Fields(FCamposAdd[i]);
        campo.SetValor(p.Ler(Obj));
    }
    cdsTabela->Post();
}

void TDaoBDE::AddFieldString(const QString& FldName, int FieldSize)
{
    AdicionaCampoTexto(*cdsTabela, FldName, FieldSize);
    RecriaDataSet();
}

void TDaoBDE::AddFieldDate(const QString& FldName)
{
    AdicionaCampoData(*cdsTabela, FldName);
    RecriaDataSet();
}

void TDaoBDE::AddFieldInteger(const QString& FldName)
{
    AdicionaCampoInteiro(*cdsTabela, FldName);
    RecriaDataSet();
}

void TDaoBDE::AddFieldFloat(const QString& FldName)
{
    AdicionaCampoReal(*cdsTabela, FldName);
    RecriaDataSet();
}

void TDaoBDE::AddFieldBoolean(const QString& FldName)
{
    AdicionaCampoLogico(*cdsTabela, FldName);
    RecriaDataSet();
}

void TDaoBDE::AddFieldLookup(const QString& FldName, int FldSize, const QString& FldKey, TMemTable* LkpDataSet,
                             const QString& LkpKeyFields, const QString& LkpResultField)
{
    TDefCampoMem def;
    def.Nome = FldName;
    def.Tipo = TTipoCampoMem::Texto;
    def.Tamanho = FldSize;
    def.Lookup = true;
    def.CamposChave = FldKey;
    def.TabelaLookup = LkpDataSet;
    def.CamposChaveLookup = LkpKeyFields;
    def.CampoResultado = LkpResultField;
    cdsTabela->AdicionaCampoLookup(def);
}

namespace {

int ComparaChave(const TCampoMem& a, const TCampoMem& b)
{
    if (a.Tipo() == b.Tipo())
        return ComparaValoresMem(a.Tipo(), a.Valor(), b.Valor());
    return QString::compare(a.AsString(), b.AsString());
}

}  // namespace

void TDaoBDE::MontaLookup(TMemTable& DataSet, const QStringList& Chaves, IUIPort* ProgressBar,
                          const QStringList& CamposCopia)
{
    TMemTable& cds = *cdsTabela;
    UI().CursorOcupado(true);
    cds.DisableControls();
    DataSet.DisableControls();
    auto fim = [&] {
        GravaSeEditando(cds);
        cds.SetIndexFieldNames(QString());
        DataSet.SetIndexFieldNames(QString());
        DataSet.EnableControls();
        cds.EnableControls();
        UI().CursorOcupado(false);
    };
    try {
        if (ProgressBar)
            ProgressBar->ProgressoMaximo(cds.RecordCount());
        const QString indice = Chaves.join(u';');
        cds.SetIndexFieldNames(indice);
        DataSet.SetIndexFieldNames(indice);
        cds.First();
        DataSet.First();
        if (!Chaves.isEmpty()) {
            const TCampoMem& chave = cds.FieldByName(Chaves.first());
            const TCampoMem& outra = DataSet.FieldByName(Chaves.first());
            while (!cds.Eof()) {
                // Both walk in key order, so the other table only moves forward while its key
                // is smaller: a key missing there costs one record, not the rest of the walk.
                while (!DataSet.Eof() && ComparaChave(outra, chave) < 0)
                    DataSet.Next();
                if (!DataSet.Eof() && ComparaChave(outra, chave) == 0) {
                    for (const QString& nome : CamposCopia) {
                        const QVariant valor = DataSet.FieldByName(nome).Valor();
                        if (cds.FieldByName(nome).Valor() == valor)
                            continue;
                        if (cds.State() != TMemTable::TEstado::Editando &&
                            cds.State() != TMemTable::TEstado::Inserindo)
                            cds.Edit();
                        cds.FieldByName(nome).SetValor(valor);
                    }
                }
                cds.Next();
                if (ProgressBar) {
                    ProgressBar->ProgressoPosicao(cds.RecNo());
                    ProgressBar->ProcessarEventos();
                }
            }
        }
    } catch (...) {
        fim();
        throw;
    }
    fim();
}

// --- CAD_CONTRDIA ----------------------------------------------------------------------------

void TDaoBDEDe<ttbCAD_CONTRDIA>::GeraId(QString& Numero)
{
    Numero = FormataTexto(QString::number(NextNum(QStringLiteral("Numero_Controle_Dia"))), 6, u'N');
}

QString TDaoBDEDe<ttbCAD_CONTRDIA>::GeraId()
{
    QString numero;
    GeraId(numero);
    return numero;
}
