#include "uQuery.h"

#include "uErros.h"
#include "uValoresSQL.h"

void TLinhasSQL::SetText(const QString& texto)
{
    FLinhas = texto.split(u'\n');
    ++FVersao;
    FLimpo = true;
}

TQuery::TQuery(TSessao& sessao) : FSessao(&sessao) {}

TQuery::~TQuery() = default;

void TQuery::SetDatabaseName(const QString& alias)
{
    if (FAtivo)
        Close();
    FDatabaseName = alias.toUpper();
}

void TQuery::SetSQL(std::shared_ptr<TTextoSQL> texto)
{
    FLinhas.FLinhas = texto->FLinhas;
    ++FLinhas.FVersao;
    FLinhas.FLimpo = true;
    FTextoFixo = std::move(texto);
    FVersaoFixo = FLinhas.FVersao;
}

TParams& TQuery::Params()
{
    if (FVersaoParams == FLinhas.Versao() && FAliasParams == FDatabaseName && FEntrada &&
        FEntrada->Geracao == FSessao->Geracao())
        return FParams;
    std::shared_ptr<TComandoSessao> entrada;
    if (FTextoFixo && FVersaoFixo == FLinhas.Versao()) {
        TTextoSQL& t = *FTextoFixo;
        if (!t.FEntrada || t.FSessao != FSessao || t.FAlias != FDatabaseName ||
            t.FEntrada->Geracao != FSessao->Geracao()) {
            t.FEntrada = FSessao->Comando(t.FTexto, FDatabaseName);
            t.FSessao = FSessao;
            t.FAlias = FDatabaseName;
        }
        entrada = t.FEntrada;
    } else {
        FTextoFixo.reset();
        entrada = FSessao->Comando(FLinhas.Text(), FDatabaseName);
    }
    if (!FEntrada || FEntrada->Traducao != entrada->Traducao) {
        std::vector<TParam> novos;
        const QStringList& nomes = entrada->Traducao->Parametros;
        novos.reserve(size_t(nomes.size()));
        for (const QString& n : nomes) {
            TParam* antigo = FLinhas.FLimpo ? nullptr : FParams.FindParam(n);
            novos.push_back(antigo ? *antigo : TParam(n));
        }
        FParams.FItens = std::move(novos);
        FParams.FTraducao = entrada->Traducao;
    }
    FLinhas.FLimpo = false;
    FEntrada = std::move(entrada);
    FVersaoParams = FLinhas.Versao();
    FAliasParams = FDatabaseName;
    return FParams;
}

TComandoSessao& TQuery::Entrada()
{
    Params();
    return *FEntrada;
}

int TQuery::Executa(TResultado* resultado)
{
    TComandoSessao& e = Entrada();
    if (FSessao->Rastreando())
        FSessao->Rastreia(e, FDatabaseName, FParams);
    if (FSessao->Observador())
        FSessao->Observador()(*e.Traducao, FParams);
    IComando& comando = FSessao->Preparado(e);
    // Opening the session may have started a new generation; the entry in hand is still good
    // for this run, and the next call looks it up again.
    return comando.Executar(FParams, resultado);
}

void TQuery::Open()
{
    Close();
    FAlteradas = Executa(&FResultado);
    FAtivo = true;
    FLinha = 0;
}

void TQuery::ExecSQL()
{
    Close();
    FAlteradas = Executa(nullptr);
}

void TQuery::Close()
{
    FAtivo = false;
    FResultado.Limpa();
    FLinha = 0;
}

int TQuery::FieldIndex(const QString& nome) const
{
    const auto& campos = FResultado.Campos;
    for (int i = 0; i < int(campos.size()); ++i)
        if (campos[size_t(i)].Nome == nome)
            return i;
    for (int i = 0; i < int(campos.size()); ++i)
        if (campos[size_t(i)].Nome.compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TCampo TQuery::FieldByName(const QString& nome) const
{
    int i = FieldIndex(nome);
    if (i < 0)
        throw EFieldNotFound(QStringLiteral("Campo não encontrado: %1").arg(nome));
    return TCampo(this, i);
}

const QVariant& TQuery::Bruto(int i) const
{
    static const QVariant nulo;
    const int n = FieldCount();
    if (i < 0 || i >= n)
        throw EFieldNotFound(QStringLiteral("Campo inexistente: %1").arg(i));
    if (!FAtivo || FLinha >= RecordCount())
        return nulo;
    return FResultado.Valores[size_t(FLinha) * size_t(n) + size_t(i)];
}

QVariant TQuery::Value(int i) const
{
    return ConverteValor(Bruto(i), FieldDef(i).Tipo);
}

QString TQuery::AsString(int i) const
{
    const QVariant& b = Bruto(i);
    if (b.isNull())
        return {};
    switch (FieldDef(i).Tipo) {
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
        return ConverteValor(b, FieldDef(i).Tipo).value<TDateTime>().ToString();
    default:
        return b.toString();
    }
}

int TQuery::AsInteger(int i) const
{
    const QVariant& b = Bruto(i);
    if (b.isNull())
        return 0;
    bool ok = false;
    int v = b.toInt(&ok);
    if (!ok) {
        double d = b.toDouble(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' não é um valor inteiro válido").arg(b.toString()));
        v = int(d);
    }
    return v;
}

double TQuery::AsFloat(int i) const
{
    const QVariant& b = Bruto(i);
    if (b.isNull())
        return 0;
    bool ok = false;
    double d = b.toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' não é um valor numérico válido").arg(b.toString()));
    return d;
}

TDateTime TQuery::AsDateTime(int i) const
{
    const QVariant& b = Bruto(i);
    if (b.isNull())
        return {};
    TFieldType t = FieldDef(i).Tipo;
    if (t != TFieldType::ftDate && t != TFieldType::ftTime)
        t = TFieldType::ftDateTime;
    return ConverteValor(b, t).value<TDateTime>();
}

bool TQuery::AsBoolean(int i) const
{
    const QVariant& b = Bruto(i);
    return !b.isNull() && ConverteValor(b, TFieldType::ftBoolean).toBool();
}

const QString& TCampo::FieldName() const { return FQuery->FieldDef(FIndice).Nome; }
TFieldType TCampo::DataType() const { return FQuery->FieldDef(FIndice).Tipo; }
int TCampo::Size() const { return FQuery->FieldDef(FIndice).Tamanho; }
bool TCampo::IsNull() const { return FQuery->IsNull(FIndice); }
QVariant TCampo::Value() const { return FQuery->Value(FIndice); }
QString TCampo::AsString() const { return FQuery->AsString(FIndice); }
int TCampo::AsInteger() const { return FQuery->AsInteger(FIndice); }
double TCampo::AsFloat() const { return FQuery->AsFloat(FIndice); }
TDateTime TCampo::AsDateTime() const { return FQuery->AsDateTime(FIndice); }
bool TCampo::AsBoolean() const { return FQuery->AsBoolean(FIndice); }
