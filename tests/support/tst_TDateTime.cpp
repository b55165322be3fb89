#include "ImprimeQt.h"
#include "TDateTime.h"

#include <QVariant>

#include <gtest/gtest.h>

TEST(TDateTime, ConversoesDeData)
{
    struct Caso
    {
        QDate data;
        double dias;
    };
    const Caso casos[] = {
        {QDate(1899, 12, 30), 0}, {QDate(1899, 12, 31), 1}, {QDate(1900, 3, 1), 61},
        {QDate(2024, 2, 29), 45351}, {QDate(1899, 12, 29), -1},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(TDateTime::FromDate(c.data).Valor(), c.dias) << c.data.toString().toStdString();
        if (c.dias != 0) {
            EXPECT_EQ(TDateTime(c.dias).ToDate(), c.data);
        }
    }
    EXPECT_TRUE(TDateTime().IsEmpty());
    EXPECT_FALSE(TDateTime().ToDate().isValid());
    EXPECT_FALSE(TDateTime().ToDateTime().isValid());
    EXPECT_TRUE(TDateTime::FromDate(QDate()).IsEmpty());
    EXPECT_TRUE(TDateTime::Encode(2024, 2, 30).IsEmpty());
}

TEST(TDateTime, HoraDoDia)
{
    TDateTime t = TDateTime::Encode(2024, 3, 1, 18, 0, 0);
    EXPECT_DOUBLE_EQ(t.Valor(), 45352.75);
    EXPECT_EQ(t.ToDateTime(), QDateTime(QDate(2024, 3, 1), QTime(18, 0)));
    EXPECT_EQ(t.DatePart().Valor(), 45352);
    EXPECT_DOUBLE_EQ(t.TimePart().Valor(), 0.75);
    EXPECT_EQ(t.ToString(), QStringLiteral("01/03/2024 18:00:00"));
    EXPECT_EQ(t.DatePart().ToString(), QStringLiteral("01/03/2024"));
    EXPECT_EQ(TDateTime().ToString(), QString());

    // Every second of a day survives the round trip.
    for (int s = 0; s < 86400; s += 7) {
        QTime h = QTime(0, 0).addSecs(s);
        TDateTime v = TDateTime::FromDateTime(QDateTime(QDate(2023, 12, 31), h));
        ASSERT_EQ(v.ToDateTime(), QDateTime(QDate(2023, 12, 31), h)) << s;
    }
    // A fraction just short of midnight rounds to the next day, not to 24:00.
    EXPECT_EQ(TDateTime(45352.9999999999).ToDateTime(), QDateTime(QDate(2024, 3, 2), QTime(0, 0)));
    // Before the epoch the fraction still counts forward from midnight.
    TDateTime antes = TDateTime::Encode(1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(antes.Valor(), -1.25);
    EXPECT_EQ(antes.ToDateTime(), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
}

TEST(TDateTime, RelogioDeTeste)
{
    TDateTime::RelogioDeTeste([] { return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)); });
    EXPECT_EQ(TDateTime::Now(), TDateTime::Encode(2024, 5, 6, 7, 8, 9));
    EXPECT_EQ(TDateTime::Date(), TDateTime::Encode(2024, 5, 6));
    TDateTime::RelogioDeTeste({});

    QVariant v = QVariant::fromValue(TDateTime(3.5));
    EXPECT_EQ(v.value<TDateTime>(), TDateTime(3.5));
    EXPECT_EQ(QMetaType::fromName("TDateTime"), QMetaType::fromType<TDateTime>());
}
