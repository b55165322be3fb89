#include "uMemTable.h"

#include "Currency.h"
#include "uErros.h"

#include <QDataStream>
#include <QIODevice>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

TDefCampoMem NovaDef(const QString& nome, TTipoCampoMem tipo, int tamanho = 0)
{
    TDefCampoMem def;
    def.Nome = nome;
    def.Tipo = tipo;
    def.Tamanho = tamanho;
    return def;
}

const char* NomeTipo(TTipoCampoMem tipo)
{
    switch (tipo) {
    case TTipoCampoMem::Texto: return "texto";
    case TTipoCampoMem::Inteiro: return "inteiro";
    case TTipoCampoMem::Real: return "real";
    case TTipoCampoMem::Data: return "data";
    case TTipoCampoMem::Logico: return "lógico";
    }
    return "?";
}

[[noreturn]] void FalhaConversao(const QVariant& valor, const QString& campo, TTipoCampoMem tipo)
{
    throw EConvertError(QStringLiteral("Valor '%1' inválido para o campo %2 (%3)")
                            .arg(valor.toString(), campo, QString::fromUtf8(NomeTipo(tipo))));
}

bool EhTexto(const QVariant& v)
{
    const int id = v.metaType().id();
    return id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar;
}

// Numbers written by people or by Ruxo may use either separator.
std::optional<double> TextoParaReal(const QString& texto)
{
    bool ok = false;
    const QString t = texto.trimmed();
    double d = t.toDouble(&ok);
    if (ok)
        return d;
    d = QString(t).replace(u',', u'.').toDouble(&ok);
    if (ok)
        return d;
    return std::nullopt;
}

std::optional<TDateTime> TextoParaData(const QString& texto)
{
    const QString t = texto.trimmed();
    for (const char* formato : {"dd/MM/yyyy", "yyyy-MM-dd", "dd/MM/yyyy hh:mm:ss", "yyyy-MM-dd hh:mm:ss"}) {
        const QDateTime dh = QDateTime::fromString(t, QString::fromLatin1(formato));
        if (dh.isValid())
            return TDateTime::FromDateTime(dh);
        const QDate d = QDate::fromString(t, QString::fromLatin1(formato));
        if (d.isValid())
            return TDateTime::FromDate(d);
    }
    return std::nullopt;
}

// Any value the callers hand in, as a number; nullopt when it is none.
std::optional<double> ComoReal(const QVariant& v)
{
    const QMetaType tipo = v.metaType();
    if (tipo == QMetaType::fromType<Currency>())
        return v.value<Currency>().ToDouble();
    if (tipo == QMetaType::fromType<TDateTime>())
        return v.value<TDateTime>().Valor();
    if (EhTexto(v))
        return TextoParaReal(v.toString());
    switch (tipo.id()) {
    case QMetaType::Bool: return v.toBool() ? 1.0 : 0.0;
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Char: case QMetaType::SChar:
    case QMetaType::UChar: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::Double: case QMetaType::Float:
        return v.toDouble();
    case QMetaType::QDate: return TDateTime::FromDate(v.toDate()).Valor();
    case QMetaType::QDateTime: return TDateTime::FromDateTime(v.toDateTime()).Valor();
    default: return std::nullopt;
    }
}

// Converts a value to the storage form of a field: null, or QString/int/double/TDateTime/bool.
QVariant Converte(const TDefCampoMem& def, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (def.Tipo) {
    case TTipoCampoMem::Texto: {
        QString s;
        if (v.metaType() == QMetaType::fromType<Currency>())
            s = v.value<Currency>().ToString();
        else if (v.metaType() == QMetaType::fromType<TDateTime>())
            s = v.value<TDateTime>().ToString();
        else if (v.metaType().id() == QMetaType::Double)
            s = QString::number(v.toDouble(), 'g', 15);
        else if (v.canConvert<QString>())
            s = v.toString();
        else
            FalhaConversao(v, def.Nome, def.Tipo);
        if (s.isEmpty())
            return QVariant();
        if (def.Tamanho > 0 && s.size() > def.Tamanho)
            s.truncate(def.Tamanho);
        return s;
    }
    case TTipoCampoMem::Inteiro: {
        if (EhTexto(v) && v.toString().trimmed().isEmpty())
            return QVariant();
        const auto d = ComoReal(v);
        if (!d || !std::isfinite(*d) || std::fabs(*d) > 2147483647.0)
            FalhaConversao(v, def.Nome, def.Tipo);
        return int(std::nearbyint(*d));  // the default rounding mode is half to even
    }
    case TTipoCampoMem::Real: {
        if (EhTexto(v) && v.toString().trimmed().isEmpty())
            return QVariant();
        const auto d = ComoReal(v);
        if (!d)
            FalhaConversao(v, def.Nome, def.Tipo);
        return *d;
    }
    case TTipoCampoMem::Data: {
        if (EhTexto(v)) {
            if (v.toString().trimmed().isEmpty())
                return QVariant();
            const auto d = TextoParaData(v.toString());
            if (!d)
                FalhaConversao(v, def.Nome, def.Tipo);
            return QVariant::fromValue(d->DatePart());
        }
        const auto d = ComoReal(v);
        if (!d)
            FalhaConversao(v, def.Nome, def.Tipo);
        return QVariant::fromValue(TDateTime(*d).DatePart());
    }
    case TTipoCampoMem::Logico: {
        if (v.metaType().id() == QMetaType::Bool)
            return v.toBool();
        if (EhTexto(v)) {
            const QString t = v.toString().trimmed().toLower();
            if (t.isEmpty())
                return QVariant();
            if (t == u"true" || t == u"1")
                return true;
            if (t == u"false" || t == u"0")
                return false;
            FalhaConversao(v, def.Nome, def.Tipo);
        }
        const auto d = ComoReal(v);
        if (!d)
            FalhaConversao(v, def.Nome, def.Tipo);
        return *d != 0;
    }
    }
    return QVariant();
}

int Compara(TTipoCampoMem tipo, const QVariant& a, const QVariant& b)
{
    const bool na = a.isNull(), nb = b.isNull();
    if (na || nb)
        return int(nb) - int(na);  // nulls first
    switch (tipo) {
    case TTipoCampoMem::Texto:
        return QString::compare(a.toString(), b.toString(), Qt::CaseSensitive);
    case TTipoCampoMem::Inteiro: {
        const int x = a.toInt(), y = b.toInt();
        return (x > y) - (x < y);
    }
    case TTipoCampoMem::Real: {
        const double x = a.toDouble(), y = b.toDouble();
        return (x > y) - (x < y);
    }
    case TTipoCampoMem::Data: {
        const double x = a.value<TDateTime>().Valor(), y = b.value<TDateTime>().Valor();
        return (x > y) - (x < y);
    }
    case TTipoCampoMem::Logico:
        return int(a.toBool()) - int(b.toBool());
    }
    return 0;
}

constexpr quint32 MagicoPacote = 0x54564d54;  // "TVMT"
constexpr quint16 VersaoPacote = 1;

}  // namespace

// --- TCampoMem ------------------------------------------------------------------------------

QVariant TCampoMem::Valor() const
{
    return FTabela->LeValor(*this, FTabela->RegistroAtual());
}

bool TCampoMem::IsNull() const
{
    return Valor().isNull();
}

QString TCampoMem::AsString() const
{
    const QVariant v = Valor();
    if (v.isNull())
        return QString();
    switch (FDef.Tipo) {
    case TTipoCampoMem::Texto: return v.toString();
    case TTipoCampoMem::Inteiro: return QString::number(v.toInt());
    case TTipoCampoMem::Real: return QString::number(v.toDouble(), 'g', 15);
    case TTipoCampoMem::Data: return v.value<TDateTime>().ToString();
    case TTipoCampoMem::Logico: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    }
    return QString();
}

int TCampoMem::AsInteger() const
{
    const QVariant v = Valor();
    if (v.isNull())
        return 0;
    return Converte(NovaDef(FDef.Nome, TTipoCampoMem::Inteiro), v).toInt();
}

double TCampoMem::AsFloat() const
{
    const QVariant v = Valor();
    if (v.isNull())
        return 0;
    return Converte(NovaDef(FDef.Nome, TTipoCampoMem::Real), v).toDouble();
}

TDateTime TCampoMem::AsDateTime() const
{
    const QVariant v = Valor();
    if (v.isNull())
        return TDateTime();
    if (FDef.Tipo == TTipoCampoMem::Data)
        return v.value<TDateTime>();
    if (FDef.Tipo == TTipoCampoMem::Texto) {
        const auto d = TextoParaData(v.toString());
        if (!d)
            FalhaConversao(v, FDef.Nome, TTipoCampoMem::Data);
        return *d;
    }
    const auto d = ComoReal(v);
    if (!d)
        FalhaConversao(v, FDef.Nome, TTipoCampoMem::Data);
    return TDateTime(*d);
}

bool TCampoMem::AsBoolean() const
{
    const QVariant v = Valor();
    if (v.isNull())
        return false;
    return Converte(NovaDef(FDef.Nome, TTipoCampoMem::Logico), v).toBool();
}

void TCampoMem::SetValor(const QVariant& valor)
{
    if (FTabela->FEstado != TMemTable::TEstado::Editando && FTabela->FEstado != TMemTable::TEstado::Inserindo)
        throw EDatabaseError(QStringLiteral("Tabela não está em edição ou inclusão: campo %1").arg(FDef.Nome));
    if (FSlot < 0)
        throw EDatabaseError(QStringLiteral("O campo %1 é de consulta e não recebe valores").arg(FDef.Nome));
    FTabela->FBuffer[size_t(FSlot)] = Converte(FDef, valor);
}

// --- TMemTable ------------------------------------------------------------------------------

TMemTable::TMemTable(QObject* parent) : QObject(parent) {}

TMemTable::~TMemTable() = default;

namespace {

void ValidaDefs(const std::vector<TDefCampoMem>& defs)
{
    QSet<QString> nomes;
    for (const TDefCampoMem& def : defs) {
        const QString chave = def.Nome.toUpper();
        if (def.Nome.isEmpty() || nomes.contains(chave))
            throw EDatabaseError(QStringLiteral("Nome de campo duplicado ou vazio: '%1'").arg(def.Nome));
        nomes.insert(chave);
    }
}

}  // namespace

void TMemTable::CriaCampos(const std::vector<TDefCampoMem>& defs)
{
    ValidaDefs(defs);
    FCampos.clear();
    FSlots = 0;
    ++FVersaoCampos;
    FNomes.clear();
    for (const TDefCampoMem& def : defs) {
        const int slot = def.Lookup ? -1 : FSlots++;
        FNomes.insert(def.Nome, int(FCampos.size()));
        FCampos.push_back(std::unique_ptr<TCampoMem>(new TCampoMem(this, def, int(FCampos.size()), slot)));
    }
}

void TMemTable::CreateDataSet()
{
    // Checked before anything is dropped, so a refused re-creation leaves the table usable.
    const std::vector<TDefCampoMem> defs = FDefs;
    ValidaDefs(defs);
    Close();
    CriaCampos(defs);
    FEstado = TEstado::Navegando;
    const QString indice = FIndexFieldNames;
    FIndexFieldNames.clear();
    FCamposIndice.clear();
    try {
        SetIndexFieldNames(indice);
    } catch (const EFieldNotFound&) {
        // The index named a field the new shape no longer has; walk in insertion order.
    }
    AjustaLimites();
    Avisa();
}

void TMemTable::Open()
{
    if (Active())
        return;
    if (FCampos.empty()) {
        if (FDefs.empty())
            throw EDatabaseError(QStringLiteral("Tabela sem campos não pode ser aberta"));
        CriaCampos(FDefs);
    }
    FEstado = TEstado::Navegando;
    FOrdem.clear();
    for (int i = 0; i < int(FRegistros.size()); ++i)
        FOrdem.push_back(i);
    if (!FCamposIndice.empty())
        std::stable_sort(FOrdem.begin(), FOrdem.end(), [this](int a, int b) { return Menor(a, b); });
    FAtual = FOrdem.empty() ? -1 : 0;
    AjustaLimites();
    Avisa();
}

void TMemTable::Close()
{
    FEstado = TEstado::Inativo;
    FRegistros.clear();
    FOrdem.clear();
    FBuffer.clear();
    FAtual = -1;
    FEof = FBof = true;
    Avisa();
}

TCampoMem& TMemTable::AdicionaCampoLookup(const TDefCampoMem& def)
{
    if (FindField(def.Nome))
        throw EDatabaseError(QStringLiteral("Nome de campo duplicado ou vazio: '%1'").arg(def.Nome));
    TDefCampoMem d = def;
    d.Lookup = true;
    d.Tipo = TTipoCampoMem::Texto;
    FNomes.insert(d.Nome, int(FCampos.size()));
    FCampos.push_back(std::unique_ptr<TCampoMem>(new TCampoMem(this, d, int(FCampos.size()), -1)));
    FDefs.push_back(d);
    ++FVersaoCampos;
    Avisa();
    return *FCampos.back();
}

TCampoMem& TMemTable::Fields(int indice)
{
    if (indice < 0 || indice >= FieldCount())
        throw EListError(QStringLiteral("Índice de campo fora dos limites (%1)").arg(indice));
    return *FCampos[size_t(indice)];
}

const TCampoMem& TMemTable::Fields(int indice) const
{
    return const_cast<TMemTable*>(this)->Fields(indice);
}

TCampoMem* TMemTable::FindField(const QString& nome) const
{
    const auto exato = FNomes.constFind(nome);
    if (exato != FNomes.cend())
        return FCampos[size_t(*exato)].get();
    for (const auto& campo : FCampos)
        if (campo->Nome().compare(nome, Qt::CaseInsensitive) == 0)
            return campo.get();
    return nullptr;
}

TCampoMem& TMemTable::FieldByName(const QString& nome) const
{
    if (TCampoMem* campo = FindField(nome))
        return *campo;
    throw EFieldNotFound(QStringLiteral("Campo '%1' não encontrado").arg(nome));
}

QStringList TMemTable::NomesCampos() const
{
    QStringList nomes;
    for (const auto& campo : FCampos)
        nomes << campo->Nome();
    return nomes;
}

void TMemTable::ExigeAtivo() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("Operação não permitida com a tabela fechada"));
}

void TMemTable::Append()
{
    ExigeAtivo();
    PostSeEditando();
    FBuffer.assign(size_t(FSlots), QVariant());
    FEstado = TEstado::Inserindo;
    FEof = FBof = false;
}

void TMemTable::Edit()
{
    ExigeAtivo();
    if (FEstado == TEstado::Editando || FEstado == TEstado::Inserindo)
        return;
    if (FOrdem.empty()) {
        Append();
        return;
    }
    FBuffer = FRegistros[size_t(FOrdem[size_t(FAtual)])];
    FEstado = TEstado::Editando;
}

void TMemTable::Post()
{
    if (FEstado == TEstado::Inserindo) {
        FRegistros.push_back(std::move(FBuffer));
        const int registro = int(FRegistros.size()) - 1;
        const int pos = FCamposIndice.empty() ? int(FOrdem.size()) : PosicaoOrdenada(registro);
        FOrdem.insert(FOrdem.begin() + pos, registro);
        FAtual = pos;
        FEstado = TEstado::Navegando;
        FBuffer.clear();
        AjustaLimites();
        Avisa();
    } else if (FEstado == TEstado::Editando) {
        const int registro = FOrdem[size_t(FAtual)];
        FRegistros[size_t(registro)] = std::move(FBuffer);
        FBuffer.clear();
        FEstado = TEstado::Navegando;
        if (FCamposIndice.empty()) {
            Avisa(FAtual);
        } else {
            FOrdem.erase(FOrdem.begin() + FAtual);
            FAtual = PosicaoOrdenada(registro);
            FOrdem.insert(FOrdem.begin() + FAtual, registro);
            Avisa();
        }
        AjustaLimites();
    } else {
        ExigeAtivo();
    }
}

void TMemTable::Cancel()
{
    if (FEstado == TEstado::Editando || FEstado == TEstado::Inserindo) {
        FEstado = TEstado::Navegando;
        FBuffer.clear();
        AjustaLimites();
    }
}

void TMemTable::Delete()
{
    ExigeAtivo();
    if (FEstado == TEstado::Inserindo) {
        Cancel();
        return;
    }
    Cancel();
    if (FOrdem.empty())
        throw EDatabaseError(QStringLiteral("Operação não permitida com a tabela vazia"));
    const int registro = FOrdem[size_t(FAtual)];
    FRegistros.erase(FRegistros.begin() + registro);
    FOrdem.erase(FOrdem.begin() + FAtual);
    for (int& r : FOrdem)
        if (r > registro)
            --r;
    if (FAtual >= int(FOrdem.size()))
        FAtual = int(FOrdem.size()) - 1;
    AjustaLimites();
    Avisa();
}

void TMemTable::EmptyDataSet()
{
    if (FEstado == TEstado::Editando || FEstado == TEstado::Inserindo)
        Cancel();
    FRegistros.clear();
    FOrdem.clear();
    FAtual = -1;
    FEof = FBof = true;
    Avisa();
}

void TMemTable::PostSeEditando()
{
    if (FEstado == TEstado::Editando || FEstado == TEstado::Inserindo)
        Post();
}

void TMemTable::AjustaLimites()
{
    if (FOrdem.empty()) {
        FAtual = -1;
        FEof = FBof = true;
    } else {
        FAtual = std::clamp(FAtual, 0, int(FOrdem.size()) - 1);
        FEof = FBof = false;
    }
}

void TMemTable::First()
{
    ExigeAtivo();
    PostSeEditando();
    FAtual = FOrdem.empty() ? -1 : 0;
    FBof = true;
    FEof = FOrdem.empty();
}

void TMemTable::Last()
{
    ExigeAtivo();
    PostSeEditando();
    FAtual = int(FOrdem.size()) - 1;
    FEof = true;
    FBof = FOrdem.empty();
}

void TMemTable::Next()
{
    ExigeAtivo();
    PostSeEditando();
    if (FAtual + 1 < int(FOrdem.size())) {
        ++FAtual;
        FBof = false;
    } else {
        FEof = true;
    }
}

void TMemTable::Prior()
{
    ExigeAtivo();
    PostSeEditando();
    if (FAtual > 0) {
        --FAtual;
        FEof = false;
    } else {
        FBof = true;
    }
}

int TMemTable::RecNo() const
{
    if (FEstado == TEstado::Inserindo || FAtual < 0)
        return 0;
    return FAtual + 1;
}

void TMemTable::SetRecNo(int recNo)
{
    ExigeAtivo();
    PostSeEditando();
    if (recNo < 1 || recNo > int(FOrdem.size()))
        throw EListError(QStringLiteral("Registro %1 fora dos limites").arg(recNo));
    FAtual = recNo - 1;
    FEof = FBof = false;
}

const TMemTable::TRegistro* TMemTable::RegistroAtual() const
{
    if (FEstado == TEstado::Editando || FEstado == TEstado::Inserindo)
        return &FBuffer;
    if (FEstado == TEstado::Inativo || FAtual < 0 || FAtual >= int(FOrdem.size()))
        return nullptr;
    return &FRegistros[size_t(FOrdem[size_t(FAtual)])];
}

QVariant TMemTable::LeValor(const TCampoMem& campo, const TRegistro* registro) const
{
    if (!registro)
        return QVariant();
    if (campo.FSlot < 0)
        return ValorLookup(campo, registro);
    return (*registro)[size_t(campo.FSlot)];
}

QVariant TMemTable::ValorLookup(const TCampoMem& campo, const TRegistro* registro) const
{
    const TDefCampoMem& def = campo.Def();
    if (!def.TabelaLookup)
        return QVariant();
    QVariantList chaves;
    for (TCampoMem* chave : CamposDe(def.CamposChave))
        chaves << LeValor(*chave, registro);
    return def.TabelaLookup->Lookup(def.CamposChaveLookup, chaves, def.CampoResultado);
}

std::vector<TCampoMem*> TMemTable::CamposDe(const QString& nomes) const
{
    std::vector<TCampoMem*> campos;
    for (const QString& nome : nomes.split(u';', Qt::SkipEmptyParts))
        campos.push_back(&FieldByName(nome.trimmed()));
    return campos;
}

namespace {

bool Coincide(const TCampoMem& campo, const QVariant& atual, const QVariant& procurado, int opcoes)
{
    QVariant alvo;
    try {
        alvo = Converte(campo.Def(), procurado);
    } catch (const EConvertError&) {
        return false;
    }
    if (alvo.isNull() || atual.isNull())
        return alvo.isNull() && atual.isNull();
    if (campo.Tipo() == TTipoCampoMem::Texto) {
        const Qt::CaseSensitivity cs =
            (opcoes & TMemTable::loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        if (opcoes & TMemTable::loPartialKey)
            return atual.toString().startsWith(alvo.toString(), cs);
        return atual.toString().compare(alvo.toString(), cs) == 0;
    }
    return Compara(campo.Tipo(), atual, alvo) == 0;
}

}  // namespace

bool TMemTable::Locate(const QString& campos, const QVariantList& valores, int opcoes)
{
    ExigeAtivo();
    PostSeEditando();
    const std::vector<TCampoMem*> chaves = CamposDe(campos);
    if (chaves.empty() || valores.size() < qsizetype(chaves.size()))
        throw EDatabaseError(QStringLiteral("Locate: campos e valores não correspondem"));
    for (int pos = 0; pos < int(FOrdem.size()); ++pos) {
        const TRegistro& r = FRegistros[size_t(FOrdem[size_t(pos)])];
        bool igual = true;
        for (size_t i = 0; i < chaves.size() && igual; ++i)
            igual = Coincide(*chaves[i], LeValor(*chaves[i], &r), valores[qsizetype(i)], opcoes);
        if (igual) {
            FAtual = pos;
            FEof = FBof = false;
            return true;
        }
    }
    return false;
}

QVariant TMemTable::Lookup(const QString& campos, const QVariantList& valores,
                           const QString& campoResultado) const
{
    if (!Active())
        return QVariant();
    const std::vector<TCampoMem*> chaves = CamposDe(campos);
    const TCampoMem& resultado = FieldByName(campoResultado);
    if (chaves.empty() || valores.size() < qsizetype(chaves.size()))
        return QVariant();
    for (int registro : FOrdem) {
        const TRegistro& r = FRegistros[size_t(registro)];
        bool igual = true;
        for (size_t i = 0; i < chaves.size() && igual; ++i)
            igual = Coincide(*chaves[i], LeValor(*chaves[i], &r), valores[qsizetype(i)], loNenhuma);
        if (igual)
            return LeValor(resultado, &r);
    }
    return QVariant();
}

bool TMemTable::Menor(int a, int b) const
{
    const TRegistro& ra = FRegistros[size_t(a)];
    const TRegistro& rb = FRegistros[size_t(b)];
    for (TCampoMem* campo : FCamposIndice) {
        const int c = Compara(campo->Tipo(), LeValor(*campo, &ra), LeValor(*campo, &rb));
        if (c != 0)
            return c < 0;
    }
    return false;
}

int TMemTable::PosicaoOrdenada(int registro) const
{
    // After every equal key, so that equal keys keep their insertion order.
    const auto it = std::upper_bound(FOrdem.begin(), FOrdem.end(), registro,
                                     [this](int r, int outro) { return Menor(r, outro); });
    return int(it - FOrdem.begin());
}

void TMemTable::SetIndexFieldNames(const QString& campos)
{
    std::vector<TCampoMem*> novos;
    if (!campos.trimmed().isEmpty())
        novos = CamposDe(campos);
    PostSeEditando();
    const int registroAtual = (FAtual >= 0 && FAtual < int(FOrdem.size())) ? FOrdem[size_t(FAtual)] : -1;
    FIndexFieldNames = campos;
    FCamposIndice = std::move(novos);
    if (FCamposIndice.empty()) {
        std::sort(FOrdem.begin(), FOrdem.end());
    } else {
        std::sort(FOrdem.begin(), FOrdem.end());
        std::stable_sort(FOrdem.begin(), FOrdem.end(), [this](int a, int b) { return Menor(a, b); });
    }
    if (registroAtual >= 0)
        FAtual = int(std::find(FOrdem.begin(), FOrdem.end(), registroAtual) - FOrdem.begin());
    AjustaLimites();
    Avisa();
}

void TMemTable::DisableControls()
{
    ++FDesabilitado;
}

void TMemTable::EnableControls()
{
    if (FDesabilitado > 0 && --FDesabilitado == 0 && FPendente) {
        FPendente = false;
        emit Reiniciado();
    }
}

void TMemTable::Avisa(int linha)
{
    if (FDesabilitado > 0) {
        FPendente = true;
        return;
    }
    if (linha < 0)
        emit Reiniciado();
    else
        emit LinhaAlterada(linha);
}

QVariant TMemTable::ValorEm(int linha, int indice) const
{
    if (linha < 0 || linha >= int(FOrdem.size()) || indice < 0 || indice >= FieldCount())
        return QVariant();
    const TRegistro* r = (linha == FAtual && FEstado == TEstado::Editando)
                             ? &FBuffer
                             : &FRegistros[size_t(FOrdem[size_t(linha)])];
    return LeValor(*FCampos[size_t(indice)], r);
}

QByteArray TMemTable::Dados() const
{
    QByteArray pacote;
    QDataStream out(&pacote, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << MagicoPacote << VersaoPacote;
    std::vector<const TCampoMem*> dados;
    for (const auto& campo : FCampos)
        if (!campo->Lookup())
            dados.push_back(campo.get());
    out << quint32(dados.size());
    for (const TCampoMem* campo : dados)
        out << campo->Nome() << quint8(campo->Tipo()) << qint32(campo->Tamanho());
    out << quint32(FRegistros.size());
    for (const TRegistro& r : FRegistros) {
        for (const TCampoMem* campo : dados) {
            const QVariant& v = r[size_t(campo->FSlot)];
            out << bool(v.isNull());
            if (v.isNull())
                continue;
            switch (campo->Tipo()) {
            case TTipoCampoMem::Texto: out << v.toString(); break;
            case TTipoCampoMem::Inteiro: out << qint32(v.toInt()); break;
            case TTipoCampoMem::Real: out << v.toDouble(); break;
            case TTipoCampoMem::Data: out << v.value<TDateTime>().Valor(); break;
            case TTipoCampoMem::Logico: out << v.toBool(); break;
            }
        }
    }
    return pacote;
}

void TMemTable::CarregaDados(const QByteArray& dados)
{
    QDataStream in(dados);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magico = 0;
    quint16 versao = 0;
    quint32 nCampos = 0;
    in >> magico >> versao >> nCampos;
    if (in.status() != QDataStream::Ok || magico != MagicoPacote || versao != VersaoPacote || nCampos > 100000)
        throw EDatabaseError(QStringLiteral("Pacote de dados inválido"));
    std::vector<TDefCampoMem> defs;
    for (quint32 i = 0; i < nCampos; ++i) {
        TDefCampoMem def;
        quint8 tipo = 0;
        qint32 tamanho = 0;
        in >> def.Nome >> tipo >> tamanho;
        if (tipo > quint8(TTipoCampoMem::Logico))
            throw EDatabaseError(QStringLiteral("Pacote de dados inválido"));
        def.Tipo = TTipoCampoMem(tipo);
        def.Tamanho = tamanho;
        defs.push_back(def);
    }
    quint32 nRegistros = 0;
    in >> nRegistros;
    std::vector<TRegistro> registros;
    for (quint32 n = 0; n < nRegistros && in.status() == QDataStream::Ok; ++n) {
        TRegistro r(defs.size());
        for (size_t i = 0; i < defs.size(); ++i) {
            bool nulo = true;
            in >> nulo;
            if (nulo)
                continue;
            switch (defs[i].Tipo) {
            case TTipoCampoMem::Texto: { QString s; in >> s; r[i] = s; break; }
            case TTipoCampoMem::Inteiro: { qint32 x; in >> x; r[i] = int(x); break; }
            case TTipoCampoMem::Real: { double x; in >> x; r[i] = x; break; }
            case TTipoCampoMem::Data: { double x; in >> x; r[i] = QVariant::fromValue(TDateTime(x)); break; }
            case TTipoCampoMem::Logico: { bool x; in >> x; r[i] = x; break; }
            }
        }
        registros.push_back(std::move(r));
    }
    if (in.status() != QDataStream::Ok)
        throw EDatabaseError(QStringLiteral("Pacote de dados inválido"));
    FDefs = defs;
    CreateDataSet();
    FRegistros = std::move(registros);
    FEstado = TEstado::Inativo;
    Open();
}

int ComparaValoresMem(TTipoCampoMem tipo, const QVariant& a, const QVariant& b)
{
    return Compara(tipo, a, b);
}

// --- Field-definition helpers ---------------------------------------------------------------

void AdicionaCampoTexto(TMemTable& tabela, const QString& nome, int tamanho)
{
    tabela.AdicionaDef(NovaDef(nome, TTipoCampoMem::Texto, tamanho));
}

void AdicionaCampoData(TMemTable& tabela, const QString& nome)
{
    tabela.AdicionaDef(NovaDef(nome, TTipoCampoMem::Data));
}

void AdicionaCampoInteiro(TMemTable& tabela, const QString& nome)
{
    tabela.AdicionaDef(NovaDef(nome, TTipoCampoMem::Inteiro));
}

void AdicionaCampoReal(TMemTable& tabela, const QString& nome)
{
    tabela.AdicionaDef(NovaDef(nome, TTipoCampoMem::Real));
}

void AdicionaCampoLogico(TMemTable& tabela, const QString& nome)
{
    tabela.AdicionaDef(NovaDef(nome, TTipoCampoMem::Logico));
}

void GravaSeEditando(TMemTable& tabela)
{
    if (tabela.State() == TMemTable::TEstado::Editando || tabela.State() == TMemTable::TEstado::Inserindo)
        tabela.Post();
}
