#pragma once

#include <QDate>
#include <QDateTime>
#include <QMetaType>
#include <QTime>

#include <compare>
#include <functional>

// Days since 1899-12-30 with the time of day as the fraction, as the ERP stores dates.
// 0 means "no date": an empty date field reads as 0 and writes as NULL.
class TDateTime
{
public:
    constexpr TDateTime() = default;
    constexpr explicit TDateTime(double dias) : FValor(dias) {}

    static TDateTime FromDate(const QDate& data);
    static TDateTime FromDateTime(const QDateTime& dataHora);
    static TDateTime FromTime(const QTime& hora);
    // Calendar date and time of day; an invalid date gives 0.
    static TDateTime Encode(int ano, int mes, int dia, int hora = 0, int minuto = 0, int segundo = 0,
                            int milissegundo = 0);

    constexpr double Valor() const { return FValor; }
    constexpr bool IsEmpty() const { return FValor == 0; }

    QDate ToDate() const;          // invalid QDate for 0
    QTime ToTime() const;          // to the millisecond
    QDateTime ToDateTime() const;  // local time, invalid for 0

    TDateTime DatePart() const;  // midnight of the same day
    TDateTime TimePart() const;  // time of day only

    // "dd/mm/yyyy", and "dd/mm/yyyy hh:nn:ss" when a time is present; empty for 0.
    QString ToString() const;

    constexpr TDateTime operator+(double dias) const { return TDateTime(FValor + dias); }
    constexpr TDateTime operator-(double dias) const { return TDateTime(FValor - dias); }
    constexpr double operator-(const TDateTime& o) const { return FValor - o.FValor; }

    constexpr auto operator<=>(const TDateTime&) const = default;
    constexpr bool operator==(const TDateTime&) const = default;

    // The program's clock. Tests set a fixed "now" through RelogioDeTeste, never the system clock.
    static TDateTime Now();
    static TDateTime Date();  // today at midnight
    using Relogio = std::function<QDateTime()>;
    static void RelogioDeTeste(Relogio relogio);  // empty function restores the system clock

private:
    double FValor = 0;
};

Q_DECLARE_METATYPE(TDateTime)
