#include "support/LocaleGuard.h"
#include "support/TestEnvironment.h"

#include "core/mdlFileSystem.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>

TEST(mdlFileSystem, FormatFileSizeStepsBy1024)
{
    LocaleGuard guard(QLocale(QLocale::English, QLocale::UnitedStates));
    const double tb = std::pow(1024.0, 4);
    const struct {
        double bytes;
        const char *text;
    } cases[] = {
        {0, "0 bytes"},
        {999, "999 bytes"},
        {1000, "0.98 KB"},
        {1024, "1.00 KB"},
        {10240, "10.0 KB"},
        // 99.96 KB is below 100 before it is rounded, so it keeps one decimal.
        {102359, "100.0 KB"},
        {1022976, "999 KB"},
        {1022977, "0.98 MB"},
        {1047527424, "999 MB"},
        {1047527425, "0.98 GB"},
        {5.5 * tb, "5.50 TB"},
        {std::pow(1024.0, 8) * 2, "2.00 YB"},
        {std::pow(1024.0, 8) * 5000, "5000 YB"}, // no grouping even past YB
    };
    for (const auto &c : cases)
        EXPECT_EQ(mdlFileSystem::FormatFileSize(c.bytes), QLatin1String(c.text)) << c.bytes;
}

TEST(mdlFileSystem, FormatSizeNumberRoundsByMagnitude)
{
    LocaleGuard guard(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {100.5, "100"}, {101.5, "102"}, {999.4, "999"},  // halves to the even neighbour
        {10.25, "10.3"}, {99.95, "100.0"}, {12.35, "12.4"}, // halves away from zero
        {0.125, "0.13"}, {1.005, "1.01"}, {9.999, "10.00"}, {0, "0.00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(mdlFileSystem::FormatSizeNumber(c.value), QLatin1String(c.text)) << c.value;
}

TEST(mdlFileSystem, SizeTextsUseTheLocalesSeparator)
{
    LocaleGuard guard(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(mdlFileSystem::FormatFileSize(1000), QStringLiteral("0,98 KB"));
    EXPECT_EQ(mdlFileSystem::FormatFileSize(std::pow(1024.0, 8) * 5000), QStringLiteral("5000 YB"));
}

TEST(mdlFileSystem, FileExistsAndDeleteFileSafe)
{
    const QString file = TestEnv::workFolder() + QStringLiteral("/a.wav");
    const QString folder = TestEnv::workFolder() + QStringLiteral("/sub");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    EXPECT_TRUE(mdlFileSystem::FileExists(file));
    EXPECT_FALSE(mdlFileSystem::FileExists(folder));
    EXPECT_FALSE(mdlFileSystem::FileExists(QString()));
    EXPECT_FALSE(mdlFileSystem::DeleteFileSafe(folder));
    EXPECT_TRUE(QDir(folder).exists());

    EXPECT_TRUE(mdlFileSystem::DeleteFileSafe(file));
    EXPECT_FALSE(mdlFileSystem::FileExists(file));
    EXPECT_FALSE(mdlFileSystem::DeleteFileSafe(file));
}
