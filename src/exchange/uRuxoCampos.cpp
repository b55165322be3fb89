#include "uRuxoCampos.h"

#include <QDate>
#include <QTime>

#include <limits>

namespace Ruxo {

namespace {

using i128 = __int128;

// Optional sign, digits, at most one "." or "," followed by digits; surrounding blanks allowed.
// `casas` receives the number of digits after the separator.
bool LerDecimal(QStringView texto, i128& mantissa, int& casas)
{
    QStringView t = texto.trimmed();
    qsizetype i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negativo = t[i] == u'-';
        ++i;
    }
    mantissa = 0;
    casas = 0;
    bool separador = false;
    int digitos = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++digitos > 30)
                return false;
            mantissa = mantissa * 10 + (c - u'0');
            if (separador)
                ++casas;
        } else if ((c == u'.' || c == u',') && !separador) {
            separador = true;
        } else {
            return false;
        }
    }
    if (digitos == 0)
        return false;
    if (negativo)
        mantissa = -mantissa;
    return true;
}

i128 Potencia10(int n)
{
    i128 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Reads a number that the line holds in units of 10^-implicitas and keeps it in four decimals,
// rounding half to even like every other value that lands in Currency.
Currency LerImplicito(QStringView campo, int implicitas)
{
    i128 mantissa;
    int casas;
    if (!LerDecimal(campo, mantissa, casas))
        return Currency();
    const int expoente = 4 - implicitas - casas;
    i128 bruto;
    if (expoente >= 0) {
        bruto = mantissa * Potencia10(expoente);
    } else {
        const i128 divisor = Potencia10(-expoente);
        bruto = mantissa / divisor;
        const i128 resto = mantissa % divisor;
        const i128 dobro = (resto < 0 ? -resto : resto) * 2;
        if (dobro > divisor || (dobro == divisor && (bruto % 2 != 0)))
            bruto += mantissa < 0 ? -1 : 1;
    }
    if (bruto > std::numeric_limits<int64_t>::max() || bruto < std::numeric_limits<int64_t>::min())
        return Currency();
    return Currency::FromRaw(int64_t(bruto));
}

// The writer's mask rounds like a formatted number does: half away from zero.
qint64 EmUnidades(Currency valor, int divisor)
{
    const int64_t bruto = valor.Raw();
    int64_t q = bruto / divisor;
    const int64_t r = bruto % divisor;
    if ((r < 0 ? -r : r) * 2 >= divisor)
        q += bruto < 0 ? -1 : 1;
    return q;
}

bool DoisDigitos(QStringView t, int& valor)
{
    valor = 0;
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return false;
        valor = valor * 10 + (c.unicode() - u'0');
    }
    return true;
}

}  // namespace

QStringView Recorta(QStringView linha, int posicao, int largura)
{
    const qsizetype inicio = posicao - 1;
    if (inicio >= linha.size())
        return {};
    return linha.mid(inicio, qMin<qsizetype>(largura, linha.size() - inicio));
}

int LerN(QStringView campo)
{
    i128 mantissa;
    int casas;
    if (!LerDecimal(campo, mantissa, casas) || casas != 0 || campo.contains(u'.') || campo.contains(u','))
        return 0;
    if (mantissa > std::numeric_limits<int32_t>::max() || mantissa < std::numeric_limits<int32_t>::min())
        return 0;
    return int(mantissa);
}

QString LerX(QStringView campo)
{
    qsizetype fim = campo.size();
    while (fim > 0 && campo[fim - 1] == u' ')
        --fim;
    return campo.left(fim).toString();
}

Currency LerV(QStringView campo) { return LerImplicito(campo, 2); }
Currency LerQ(QStringView campo) { return LerImplicito(campo, 3); }

TDateTime LerD8(QStringView campo)
{
    if (campo == u"00000000")
        return TDateTime();
    int dia, mes, ano;
    if (!DoisDigitos(campo.mid(0, 2).trimmed(), dia) || !DoisDigitos(campo.mid(2, 2).trimmed(), mes)
        || !DoisDigitos(campo.mid(4, 4).trimmed(), ano))
        return TDateTime();
    return TDateTime::FromDate(QDate(ano, mes, dia));  // an invalid date gives 0
}

TDateTime LerH6(QStringView campo)
{
    if (campo == u"000000")
        return TDateTime();
    int hora, minuto, segundo;
    if (!DoisDigitos(campo.mid(0, 2).trimmed(), hora) || !DoisDigitos(campo.mid(2, 2).trimmed(), minuto)
        || !DoisDigitos(campo.mid(4, 2).trimmed(), segundo))
        return TDateTime();
    return TDateTime::FromTime(QTime(hora, minuto, segundo));  // an invalid time gives 0
}

QString GravarN(const QString& digitos, int largura)
{
    const QString t = digitos.trimmed();
    if (t.size() >= largura)
        return t.left(largura);
    return QString(largura - t.size(), u'0') + t;
}

QString GravarN(qint64 valor, int largura) { return GravarN(QString::number(valor), largura); }

QString GravarX(const QString& texto, int largura)
{
    if (texto.size() >= largura)
        return texto.left(largura);
    return texto + QString(largura - texto.size(), u' ');
}

QString GravarV(Currency valor, int largura) { return GravarN(EmUnidades(valor, 100), largura); }
QString GravarQ(Currency valor, int largura) { return GravarN(EmUnidades(valor, 10), largura); }

QString GravarD8(TDateTime data)
{
    // The empty date has no form of its own: it is day 0, 30/12/1899, as any date is.
    const QDate d = data.IsEmpty() ? QDate(1899, 12, 30) : data.ToDate();
    return GravarX(d.toString(u"ddMMyyyy"), 8);
}

QString GravarH6(TDateTime hora) { return GravarX(hora.ToTime().toString(u"hhmmss"), 6); }

}  // namespace Ruxo

TDateTime ConverteDataRuxo(const QString& texto) { return Ruxo::LerD8(texto); }
TDateTime ConverteHoraRuxo(const QString& texto) { return Ruxo::LerH6(texto); }
