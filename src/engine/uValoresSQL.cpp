#include "uValoresSQL.h"

#include <cstdio>

namespace {

int Digitos(QStringView t, int de, int qtd, bool& ok)
{
    int v = 0;
    for (int i = de; i < de + qtd; ++i) {
        if (i >= t.size() || !t[i].isDigit()) {
            ok = false;
            return 0;
        }
        v = v * 10 + t[i].digitValue();
    }
    return v;
}

}  // namespace

QByteArray TextoData(TDateTime valor)
{
    QDate d = valor.ToDate();
    char b[16];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d", d.year(), d.month(), d.day());
    return QByteArray(b);
}

QByteArray TextoHora(TDateTime valor)
{
    QTime h = valor.ToTime();
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", h.hour(), h.minute(), h.second());
    return QByteArray(b);
}

QByteArray TextoDataHora(TDateTime valor)
{
    return TextoData(valor) + ' ' + TextoHora(valor);
}

TDateTime LerDataHora(QStringView t)
{
    bool ok = true;
    if (t.size() >= 8 && t[2] == u':') {
        int h = Digitos(t, 0, 2, ok), m = Digitos(t, 3, 2, ok), s = Digitos(t, 6, 2, ok);
        if (!ok || h > 23 || m > 59 || s > 59)
            return {};
        return TDateTime((h * 3600 + m * 60 + s) / 86400.0);
    }
    if (t.size() < 10 || t[4] != u'-' || t[7] != u'-')
        return {};
    int a = Digitos(t, 0, 4, ok), me = Digitos(t, 5, 2, ok), d = Digitos(t, 8, 2, ok);
    if (!ok)
        return {};
    int h = 0, mi = 0, s = 0, ms = 0;
    if (t.size() >= 19 && (t[10] == u' ' || t[10] == u'T')) {
        h = Digitos(t, 11, 2, ok);
        mi = Digitos(t, 14, 2, ok);
        s = Digitos(t, 17, 2, ok);
        if (t.size() >= 23 && t[19] == u'.')
            ms = Digitos(t, 20, 3, ok);
        if (!ok)
            return {};
    }
    return TDateTime::Encode(a, me, d, h, mi, s, ms);
}

QVariant ConverteValor(const QVariant& bruto, TFieldType tipo)
{
    if (bruto.isNull())
        return {};
    const int id = bruto.typeId();
    switch (tipo) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
        return bruto.toString();
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc:
        return bruto.toInt();
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return bruto.toDouble();
    case TFieldType::ftBoolean:
        if (id == QMetaType::QString) {
            QString s = bruto.toString().trimmed().toUpper();
            return s == u"T" || s == u"TRUE" || s == u"S" || s == u"1";
        }
        return bruto.toDouble() != 0;
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime: {
        TDateTime v = id == QMetaType::QString ? LerDataHora(bruto.toString())
                                               : TDateTime(bruto.toDouble());
        if (tipo == TFieldType::ftDate)
            v = v.DatePart();
        return QVariant::fromValue(v);
    }
    case TFieldType::ftBlob:
    case TFieldType::ftGraphic:
        return bruto.toByteArray();
    case TFieldType::ftUnknown:
        break;
    }
    return bruto;
}
