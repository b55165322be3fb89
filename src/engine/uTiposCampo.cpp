#include "uTiposCampo.h"

namespace {

struct TNomeTipo
{
    const char* Nome;
    TFieldType Tipo;
};

constexpr TNomeTipo Tipos[] = {
    {"VARCHAR", TFieldType::ftString}, {"CHAR", TFieldType::ftString},
    {"MEMO", TFieldType::ftMemo},      {"SMALLINT", TFieldType::ftSmallint},
    {"INTEGER", TFieldType::ftInteger}, {"FLOAT", TFieldType::ftFloat},
    {"CURRENCY", TFieldType::ftCurrency}, {"DATE", TFieldType::ftDate},
    {"TIME", TFieldType::ftTime},      {"TIMESTAMP", TFieldType::ftDateTime},
    {"BOOLEAN", TFieldType::ftBoolean}, {"AUTOINC", TFieldType::ftAutoInc},
    {"BCD", TFieldType::ftBCD},        {"BLOB", TFieldType::ftBlob},
    {"GRAPHIC", TFieldType::ftGraphic},
};

}  // namespace

TTipoDeclarado TipoDeclarado(QStringView declarado)
{
    TTipoDeclarado r;
    QStringView t = declarado.trimmed();
    qsizetype abre = t.indexOf(u'(');
    QStringView nome = (abre < 0 ? t : t.left(abre)).trimmed();
    for (const auto& n : Tipos) {
        if (nome.compare(QLatin1StringView(n.Nome), Qt::CaseInsensitive) == 0) {
            r.Tipo = n.Tipo;
            break;
        }
    }
    if (r.Tipo == TFieldType::ftUnknown)
        return r;
    if (abre >= 0) {
        qsizetype fecha = t.indexOf(u')', abre);
        if (fecha > abre) {
            // BCD(p,s) keeps its precision in the size, as the old engine reported it.
            QStringView dentro = t.mid(abre + 1, fecha - abre - 1);
            qsizetype virgula = dentro.indexOf(u',');
            if (virgula >= 0)
                dentro = dentro.left(virgula);
            bool ok = false;
            int n = dentro.trimmed().toInt(&ok);
            if (ok && n > 0)
                r.Tamanho = n;
        }
    }
    if (r.Tipo == TFieldType::ftString && r.Tamanho == 0)
        r.Tamanho = 255;  // a bare VARCHAR: Paradox's widest alpha field
    return r;
}

QString NomeTipoCampo(TFieldType tipo)
{
    switch (tipo) {
    case TFieldType::ftUnknown: return QStringLiteral("ftUnknown");
    case TFieldType::ftString: return QStringLiteral("ftString");
    case TFieldType::ftMemo: return QStringLiteral("ftMemo");
    case TFieldType::ftSmallint: return QStringLiteral("ftSmallint");
    case TFieldType::ftInteger: return QStringLiteral("ftInteger");
    case TFieldType::ftFloat: return QStringLiteral("ftFloat");
    case TFieldType::ftCurrency: return QStringLiteral("ftCurrency");
    case TFieldType::ftDate: return QStringLiteral("ftDate");
    case TFieldType::ftTime: return QStringLiteral("ftTime");
    case TFieldType::ftDateTime: return QStringLiteral("ftDateTime");
    case TFieldType::ftBoolean: return QStringLiteral("ftBoolean");
    case TFieldType::ftAutoInc: return QStringLiteral("ftAutoInc");
    case TFieldType::ftBCD: return QStringLiteral("ftBCD");
    case TFieldType::ftBlob: return QStringLiteral("ftBlob");
    case TFieldType::ftGraphic: return QStringLiteral("ftGraphic");
    }
    return QStringLiteral("ftUnknown");
}
