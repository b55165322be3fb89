#include "uParams.h"

#include "uErros.h"
#include "uTradutorSQL.h"

QString TParam::AsString() const
{
    switch (FTipo) {
    case TFieldType::ftString: return FTexto;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftBoolean: return QString::number(FInteiro);
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency: return QString::number(FReal, 'g', 17);
    case TFieldType::ftDate: return TDateTime(FReal).DatePart().ToString();
    case TFieldType::ftDateTime: return TDateTime(FReal).ToString();
    default: return {};
    }
}

QVariant TParam::Value() const
{
    if (FNulo)
        return {};
    switch (FTipo) {
    case TFieldType::ftString: return FTexto;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger: return FInteiro;
    case TFieldType::ftBoolean: return FInteiro != 0;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency: return FReal;
    case TFieldType::ftDate:
    case TFieldType::ftDateTime: return QVariant::fromValue(TDateTime(FReal));
    default: return {};
    }
}

QString TParam::Descricao() const
{
    if (!FBound)
        return QStringLiteral("(sem valor)");
    QString tipo = NomeTipoCampo(FTipo);
    if (FNulo)
        return QStringLiteral("NULL (%1)").arg(tipo);
    if (FTipo == TFieldType::ftString)
        return QStringLiteral("'%1' (%2)").arg(FTexto, tipo);
    return QStringLiteral("%1 (%2)").arg(AsString(), tipo);
}

int TParams::IndexOf(const QString& nome) const
{
    if (FTraducao)
        return FTraducao->IndiceParametro(nome);
    for (int i = 0; i < Count(); ++i)
        if (FItens[size_t(i)].Name().compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TParam* TParams::FindParam(const QString& nome)
{
    int i = IndexOf(nome);
    return i < 0 ? nullptr : &FItens[size_t(i)];
}

TParam& TParams::ParamByName(const QString& nome)
{
    TParam* p = FindParam(nome);
    if (!p)
        throw EDatabaseError(QStringLiteral("Parâmetro não encontrado: %1").arg(nome));
    return *p;
}
