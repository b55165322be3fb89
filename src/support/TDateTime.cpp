#include "TDateTime.h"

#include <cmath>

namespace {

const QDate Epoca(1899, 12, 30);
constexpr qint64 MsPorDia = 24LL * 60 * 60 * 1000;

TDateTime::Relogio& RelogioAtual()
{
    static TDateTime::Relogio relogio;
    return relogio;
}

}  // namespace

TDateTime TDateTime::FromDate(const QDate& data)
{
    if (!data.isValid())
        return TDateTime();
    return TDateTime(double(Epoca.daysTo(data)));
}

TDateTime TDateTime::FromTime(const QTime& hora)
{
    if (!hora.isValid())
        return TDateTime();
    return TDateTime(double(hora.msecsSinceStartOfDay()) / MsPorDia);
}

TDateTime TDateTime::FromDateTime(const QDateTime& dataHora)
{
    if (!dataHora.isValid())
        return TDateTime();
    double dias = FromDate(dataHora.date()).FValor;
    double fracao = FromTime(dataHora.time()).FValor;
    // Before the epoch the fraction still counts forward from midnight, as the ERP stores it.
    return TDateTime(dias >= 0 ? dias + fracao : dias - fracao);
}

TDateTime TDateTime::Encode(int ano, int mes, int dia, int hora, int minuto, int segundo, int ms)
{
    QDate d(ano, mes, dia);
    QTime t(hora, minuto, segundo, ms);
    if (!d.isValid() || !t.isValid())
        return TDateTime();
    return FromDateTime(QDateTime(d, t));
}

QDate TDateTime::ToDate() const
{
    if (IsEmpty())
        return QDate();
    return Epoca.addDays(qint64(std::trunc(FValor)));
}

QTime TDateTime::ToTime() const
{
    double fracao = std::fabs(FValor - std::trunc(FValor));
    qint64 ms = qint64(std::llround(fracao * MsPorDia));
    if (ms >= MsPorDia)
        ms = MsPorDia - 1;
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

QDateTime TDateTime::ToDateTime() const
{
    if (IsEmpty())
        return QDateTime();
    double fracao = std::fabs(FValor - std::trunc(FValor));
    qint64 ms = qint64(std::llround(fracao * MsPorDia));
    QDate d = Epoca.addDays(qint64(std::trunc(FValor)));
    // A fraction that rounds to a whole day belongs to the next midnight.
    if (ms >= MsPorDia) {
        d = d.addDays(1);
        ms = 0;
    }
    return QDateTime(d, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

TDateTime TDateTime::DatePart() const { return TDateTime(std::trunc(FValor)); }

TDateTime TDateTime::TimePart() const { return TDateTime(std::fabs(FValor - std::trunc(FValor))); }

QString TDateTime::ToString() const
{
    if (IsEmpty())
        return QString();
    QDateTime dt = ToDateTime();
    if (dt.time() == QTime(0, 0))
        return dt.date().toString(QStringLiteral("dd/MM/yyyy"));
    return dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

TDateTime TDateTime::Now()
{
    const auto& relogio = RelogioAtual();
    return FromDateTime(relogio ? relogio() : QDateTime::currentDateTime());
}

TDateTime TDateTime::Date() { return Now().DatePart(); }

void TDateTime::RelogioDeTeste(Relogio relogio) { RelogioAtual() = std::move(relogio); }

static const int RegistroTDateTime = qRegisterMetaType<TDateTime>("TDateTime");
