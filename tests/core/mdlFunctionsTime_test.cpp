#include "support/LocaleGuard.h"
#include "core/mdlFunctions.h"

#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

TEST(mdlFunctionsTime, SecondsToHMS)
{
    const struct {
        qint32 seconds;
        const char *text;
    } cases[] = {
        {0, "0:00:00"},      {59, "0:00:59"},     {75, "0:01:15"},         {3600, "1:00:00"},
        {3725, "1:02:05"},   {90061, "25:01:01"}, {360000, "100:00:00"}, {2147483647, "596523:14:07"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(mdlFunctions::SecondsToHMS(c.seconds), QLatin1String(c.text)) << c.seconds;
}

TEST(mdlFunctionsTime, TimeToSecondsReadsDurationsAndTimesOfDay)
{
    LocaleGuard guard(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString march14 = QLocale().toString(QDateTime(QDate(2007, 3, 14), QTime(10, 15, 32)), QLocale::ShortFormat);
    const struct {
        QString text;
        qint32 seconds;
    } cases[] = {
        {QStringLiteral("01:02:03"), 3723},
        {QStringLiteral("1:2:3"), 3723},
        {QStringLiteral("0:00:00"), 0},
        {QStringLiteral("23:59:59"), 86399},
        // Hours past a day are no time of day but still a duration.
        {QStringLiteral("25:00:00"), 90000},
        {QStringLiteral("100:00:00"), 360000},
        {QStringLiteral("3/14/2007 10:15:32"), 36932},
        {QStringLiteral("2007-03-14 10:15:32"), 36932},
        {QStringLiteral("2:05:09 PM"), 50709},
        {QStringLiteral("1:30"), 5400},
        {QString(), 0},
        {QStringLiteral("12:34"), 45240},
        {QStringLiteral("abc"), 0},
        {QStringLiteral("x:y:z"), 0},
        {QStringLiteral("999999:00:00"), 0}, // past the 32-bit range
    };
    for (const auto &c : cases)
        EXPECT_EQ(mdlFunctions::TimeToSeconds(c.text), c.seconds) << qPrintable(c.text);
    // Seconds are not cut off by a short locale format.
    EXPECT_EQ(mdlFunctions::TimeToSeconds(march14) % 60, march14.contains(QStringLiteral(":32")) ? 32 : 0)
        << qPrintable(march14);
}

TEST(mdlFunctionsTime, TimeToSecondsTakesTheLocalesOwnTimes)
{
    LocaleGuard guard(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(mdlFunctions::TimeToSeconds(QStringLiteral("14.03.2007 10:15:32")), 36932);
    EXPECT_EQ(mdlFunctions::TimeToSeconds(QStringLiteral("10:15:32")), 36932);
    // Every duration text the program writes reads back to its seconds.
    for (const qint32 s : {0, 61, 3599, 86399, 90061, 360000})
        EXPECT_EQ(mdlFunctions::TimeToSeconds(mdlFunctions::SecondsToHMS(s)), s) << s;
}
