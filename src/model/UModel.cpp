#include "UModel.h"

#include "uErros.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

// ---------------------------------------------------------------------------------------------
// Descriptors of the model classes, expanded from the same lists as the structs.

namespace {

template <class T>
std::unique_ptr<TClasseBase> Fabrica()
{
    return std::make_unique<T>();
}

} // namespace

#define TV_MODEL_PROP(coluna, nome, tipo) TPropriedade(coluna, #nome, &Classe::nome),
#define TV_MODEL_DESCRITOR_COLUNAS(nome)                                                   \
    const TClasseModel& T##nome::Descritor()                                                \
    {                                                                                        \
        using Classe = T##nome;                                                              \
        static const TClasseModel d(ttb##nome, true, &Fabrica<Classe>,                      \
                                    {TV_COLUNAS_##nome(TV_MODEL_PROP)});                     \
        return d;                                                                            \
    }
#define TV_MODEL_DESCRITOR_VAZIA(nome)                                                      \
    const TClasseModel& T##nome::Descritor()                                                \
    {                                                                                        \
        static const TClasseModel d(ttb##nome, false, &Fabrica<T##nome>, {});              \
        return d;                                                                            \
    }
#define TV_MODEL_DESCRITOR_SEM(nome)
#define TV_TABELA(diretorio, nome, tipo) TV_MODEL_DESCRITOR_##tipo(nome)
#include "uTabelas.inc"
#undef TV_TABELA

namespace {

using TDescritorFn = const TClasseModel& (*)();

#define TV_MODEL_FN_COLUNAS(nome) &T##nome::Descritor,
#define TV_MODEL_FN_VAZIA(nome) &T##nome::Descritor,
#define TV_MODEL_FN_SEM(nome) nullptr,
#define TV_TABELA(diretorio, nome, tipo) TV_MODEL_FN_##tipo(nome)
constexpr TDescritorFn DescritoresPorTabela[] = {
#include "uTabelas.inc"
};
#undef TV_TABELA
static_assert(std::size(DescritoresPorTabela) == QtdTabelas);

// The registry is touched only on the main thread: filled before the main window, emptied after it.
struct TRegistro {
    std::vector<const TClasseModel*> Ordem;
    QHash<QString, const TClasseModel*> PorNome;
};

TRegistro& Registro()
{
    static TRegistro r;
    return r;
}

// ---------------------------------------------------------------------------------------------
// Conversions of a variant to each property type. Each returns nothing when the value does not
// convert exactly; the caller turns that into an error naming the property.

int TipoDe(const QVariant& v)
{
    return v.metaType().id();
}

bool EhInteiro(int t)
{
    switch (t) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool EhReal(int t)
{
    return t == QMetaType::Double || t == QMetaType::Float;
}

// An integral variant as a 64-bit value; unsigned values past the signed range give nothing.
std::optional<int64_t> Inteiro64(const QVariant& v)
{
    const int t = TipoDe(v);
    if (t == QMetaType::ULongLong || t == QMetaType::ULong) {
        const qulonglong u = v.toULongLong();
        if (u > qulonglong(std::numeric_limits<int64_t>::max()))
            return std::nullopt;
        return int64_t(u);
    }
    return int64_t(v.toLongLong());
}

std::optional<QString> ParaTexto(const QVariant& v)
{
    const int t = TipoDe(v);
    if (t == QMetaType::QString)
        return v.toString();
    if (t == QMetaType::QByteArray || t == QMetaType::QChar || EhInteiro(t) || EhReal(t))
        return v.toString();
    if (t == qMetaTypeId<Currency>())
        return v.value<Currency>().ToString();
    if (t == qMetaTypeId<TDateTime>())
        return v.value<TDateTime>().ToString();
    return std::nullopt;
}

std::optional<Currency> ParaCurrency(const QVariant& v)
{
    const int t = TipoDe(v);
    if (t == qMetaTypeId<Currency>())
        return v.value<Currency>();
    if (EhInteiro(t)) {
        const auto n = Inteiro64(v);
        if (!n || *n > std::numeric_limits<int64_t>::max() / Currency::Escala
            || *n < std::numeric_limits<int64_t>::min() / Currency::Escala)
            return std::nullopt;
        return Currency::FromInt64(*n);
    }
    if (EhReal(t)) {
        try {
            return Currency::FromDouble(v.toDouble());
        } catch (const EConvertError&) {
            return std::nullopt;
        }
    }
    if (t == QMetaType::QString)
        return Currency::Parse(v.toString());
    return std::nullopt;
}

std::optional<int> ParaInteiro(const QVariant& v)
{
    const int t = TipoDe(v);
    auto naFaixa = [](auto n) -> std::optional<int> {
        if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
            return std::nullopt;
        return int(n);
    };
    if (EhInteiro(t)) {
        const auto n = Inteiro64(v);
        if (!n)
            return std::nullopt;
        return naFaixa(*n);
    }
    // A fraction is never cut silently: 2.5 items is not 2 items.
    if (EhReal(t)) {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d))
            return std::nullopt;
        return naFaixa(d);
    }
    if (t == qMetaTypeId<Currency>()) {
        const Currency c = v.value<Currency>();
        if (c.Raw() % Currency::Escala != 0)
            return std::nullopt;
        return naFaixa(c.Raw() / Currency::Escala);
    }
    if (t == QMetaType::QString) {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok, 10);
        if (!ok)
            return std::nullopt;
        return n;
    }
    return std::nullopt;
}

std::optional<TDateTime> ParaData(const QVariant& v)
{
    const int t = TipoDe(v);
    if (t == qMetaTypeId<TDateTime>())
        return v.value<TDateTime>();
    if (EhInteiro(t) || EhReal(t)) {
        const double d = v.toDouble();
        if (!std::isfinite(d))
            return std::nullopt;
        return TDateTime(d);
    }
    if (t == QMetaType::QDate)
        return TDateTime::FromDate(v.toDate());
    if (t == QMetaType::QDateTime)
        return TDateTime::FromDateTime(v.toDateTime());
    if (t == QMetaType::QTime)
        return TDateTime::FromTime(v.toTime());
    if (t == QMetaType::QString) {
        // The storage forms ("2024-03-05", "2024-03-05 14:30:00") and the user's ("05/03/2024").
        const QString s = v.toString().trimmed();
        static const char* const formatos[] = {"yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss",
                                               "yyyy-MM-dd HH:mm:ss.zzz", "dd/MM/yyyy", "dd/MM/yyyy HH:mm:ss"};
        for (const char* f : formatos) {
            const QDateTime dt = QDateTime::fromString(s, QString::fromLatin1(f));
            if (dt.isValid())
                return TDateTime::FromDateTime(dt);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

QString DescreveValor(const QVariant& v)
{
    const QString tipo = QString::fromLatin1(v.metaType().name() ? v.metaType().name() : "?");
    const auto texto = ParaTexto(v);
    return texto ? QStringLiteral("\"%1\" (%2)").arg(*texto, tipo) : tipo;
}

} // namespace

// ---------------------------------------------------------------------------------------------

QString NomeTipo(TTipoPropriedade tipo)
{
    switch (tipo) {
    case TTipoPropriedade::String: return QStringLiteral("string");
    case TTipoPropriedade::Currency: return QStringLiteral("Currency");
    case TTipoPropriedade::TDateTime: return QStringLiteral("TDateTime");
    case TTipoPropriedade::Integer: return QStringLiteral("Integer");
    }
    return QString();
}

void TPropriedade::ConfereObjeto(const TClasseBase& objeto) const
{
    // A member pointer applied to an object of another class would read foreign memory.
    if (&objeto.Classe() != FClasse)
        throw EPropertyError(QStringLiteral("A propriedade %1 é de %2, não de %3")
                                 .arg(FNome, FClasse->Nome(), objeto.Classe().Nome()));
}

void TPropriedade::ErroTipo(TTipoPropriedade pedido) const
{
    throw EPropertyError(QStringLiteral("A propriedade %1 de %2 é %3, não %4")
                             .arg(FNome, FClasse->Nome(), NomeTipo(), ::NomeTipo(pedido)));
}

template <class T>
T& TPropriedade::Membro(TClasseBase& objeto, TTipoPropriedade tipo) const
{
    ConfereObjeto(objeto);
    auto* p = std::get_if<T TClasseBase::*>(&FMembro);
    if (!p)
        ErroTipo(tipo);
    return objeto.**p;
}

QString& TPropriedade::Texto(TClasseBase& o) const { return Membro<QString>(o, TTipoPropriedade::String); }
const QString& TPropriedade::Texto(const TClasseBase& o) const
{
    return Membro<QString>(const_cast<TClasseBase&>(o), TTipoPropriedade::String);
}
Currency& TPropriedade::Valor(TClasseBase& o) const { return Membro<Currency>(o, TTipoPropriedade::Currency); }
Currency TPropriedade::Valor(const TClasseBase& o) const
{
    return Membro<Currency>(const_cast<TClasseBase&>(o), TTipoPropriedade::Currency);
}
TDateTime& TPropriedade::Data(TClasseBase& o) const { return Membro<TDateTime>(o, TTipoPropriedade::TDateTime); }
TDateTime TPropriedade::Data(const TClasseBase& o) const
{
    return Membro<TDateTime>(const_cast<TClasseBase&>(o), TTipoPropriedade::TDateTime);
}
int& TPropriedade::Inteiro(TClasseBase& o) const { return Membro<int>(o, TTipoPropriedade::Integer); }
int TPropriedade::Inteiro(const TClasseBase& o) const
{
    return Membro<int>(const_cast<TClasseBase&>(o), TTipoPropriedade::Integer);
}

QVariant TPropriedade::Ler(const TClasseBase& objeto) const
{
    ConfereObjeto(objeto);
    return std::visit([&](auto membro) { return QVariant::fromValue(objeto.*membro); }, FMembro);
}

QVariant TPropriedade::Converter(const QVariant& valor) const
{
    const TTipoPropriedade tipo = Tipo();
    if (valor.isNull() && TipoDe(valor) != QMetaType::QString) {
        switch (tipo) {
        case TTipoPropriedade::String: return QVariant::fromValue(QString());
        case TTipoPropriedade::Currency: return QVariant::fromValue(Currency());
        case TTipoPropriedade::TDateTime: return QVariant::fromValue(TDateTime());
        case TTipoPropriedade::Integer: return QVariant::fromValue(0);
        }
    }
    QVariant convertido;
    switch (tipo) {
    case TTipoPropriedade::String:
        if (auto v = ParaTexto(valor)) convertido = QVariant::fromValue(*v);
        break;
    case TTipoPropriedade::Currency:
        if (auto v = ParaCurrency(valor)) convertido = QVariant::fromValue(*v);
        break;
    case TTipoPropriedade::TDateTime:
        if (auto v = ParaData(valor)) convertido = QVariant::fromValue(*v);
        break;
    case TTipoPropriedade::Integer:
        if (auto v = ParaInteiro(valor)) convertido = QVariant::fromValue(*v);
        break;
    }
    if (!convertido.isValid())
        throw EPropertyError(QStringLiteral("Valor %1 inválido para a propriedade %2 (%3) de %4")
                                 .arg(DescreveValor(valor), FNome, NomeTipo(), FClasse->Nome()));
    return convertido;
}

void TPropriedade::Gravar(TClasseBase& objeto, const QVariant& valor) const
{
    ConfereObjeto(objeto);
    const QVariant v = Converter(valor);
    std::visit([&](auto membro) {
        using T = std::remove_reference_t<decltype(objeto.*membro)>;
        objeto.*membro = v.value<T>();
    }, FMembro);
}

void TPropriedade::Limpar(TClasseBase& objeto) const
{
    ConfereObjeto(objeto);
    std::visit([&](auto membro) {
        using T = std::remove_reference_t<decltype(objeto.*membro)>;
        objeto.*membro = T{};
    }, FMembro);
}

// ---------------------------------------------------------------------------------------------

TClasseModel::TClasseModel(TTabelas tabela, bool colunasConhecidas, TFabrica fabrica,
                           std::vector<TPropriedade> propriedades)
    : FNome(NomeClasseTabela(tabela)),
      FTabela(tabela),
      FColunasConhecidas(colunasConhecidas),
      FFabrica(fabrica),
      FPropriedades(std::move(propriedades))
{
    FIndices.reserve(qsizetype(FPropriedades.size()));
    for (int i = 0; i < int(FPropriedades.size()); ++i) {
        FPropriedades[i].FClasse = this;
        FPropriedades[i].FIndice = i;
        FIndices.insert(FPropriedades[i].Nome(), i);
    }
}

const TPropriedade& TClasseModel::Propriedade(int indice) const
{
    if (indice < 0 || indice >= QtdPropriedades())
        throw EListError(QStringLiteral("Índice de propriedade fora da lista de %1: %2").arg(FNome).arg(indice));
    return FPropriedades[size_t(indice)];
}

const TPropriedade* TClasseModel::BuscaPropriedade(const QString& nome) const
{
    const auto it = FIndices.constFind(nome);
    return it == FIndices.cend() ? nullptr : &FPropriedades[size_t(*it)];
}

const TPropriedade& TClasseModel::PropriedadePorNome(const QString& nome) const
{
    if (const TPropriedade* p = BuscaPropriedade(nome))
        return *p;
    throw EPropertyError(QStringLiteral("Propriedade %1 não encontrada em %2").arg(nome, FNome));
}

int TClasseModel::IndicePropriedade(const QString& nome) const
{
    return FIndices.value(nome, -1);
}

QStringList TClasseModel::NomesPropriedades() const
{
    QStringList nomes;
    nomes.reserve(qsizetype(FPropriedades.size()));
    for (const TPropriedade& p : FPropriedades)
        nomes << p.Nome();
    return nomes;
}

// ---------------------------------------------------------------------------------------------

void RegistrarClasses()
{
    TRegistro& r = Registro();
    if (!r.Ordem.empty())
        return;
    r.PorNome.reserve(QtdTabelas);
    for (TDescritorFn fn : DescritoresPorTabela) {
        if (!fn)
            continue;
        const TClasseModel& c = fn();
        r.Ordem.push_back(&c);
        r.PorNome.insert(c.Nome(), &c);
    }
}

void RemoverClasses()
{
    TRegistro& r = Registro();
    for (const TClasseModel* c : r.Ordem)
        r.PorNome.remove(c->Nome());
    r.Ordem.clear();
}

bool ClassesRegistradas()
{
    return !Registro().Ordem.empty();
}

std::vector<const TClasseModel*> ListaClasses()
{
    return Registro().Ordem;
}

const TClasseModel* BuscaClasse(const QString& nome)
{
    return Registro().PorNome.value(nome, nullptr);
}

const TClasseModel& EncontrarClasse(const QString& nome)
{
    if (const TClasseModel* c = BuscaClasse(nome))
        return *c;
    throw EClassNotFound(QStringLiteral("Classe %1 não encontrada").arg(nome));
}

const TClasseModel* ClasseDaTabela(TTabelas tabela)
{
    if (unsigned(tabela) >= unsigned(QtdTabelas))
        return nullptr;
    const TDescritorFn fn = DescritoresPorTabela[tabela];
    return fn ? &fn() : nullptr;
}

std::unique_ptr<TClasseBase> CriarObjeto(const QString& nomeClasse)
{
    return EncontrarClasse(nomeClasse).Criar();
}

QVariant GetPropriedade(const TClasseBase& objeto, const QString& nome)
{
    return objeto.Classe().PropriedadePorNome(nome).Ler(objeto);
}

void SetPropriedade(TClasseBase& objeto, const QString& nome, const QVariant& valor)
{
    objeto.Classe().PropriedadePorNome(nome).Gravar(objeto, valor);
}

const std::vector<TPropriedade>& ListaPropriedades(const TClasseBase& objeto)
{
    return objeto.Classe().Propriedades();
}
