#include "core/mdlMain.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <limits>

TEST(mdlMainFormat, FormatByteSize)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        qint64 bytes;
        const char *text;
    } cases[] = {
        {-1, ""},
        {0, "0"},
        {5, "5.00"}, // a total below 1000 bytes has no unit but keeps its decimals
        {512, "512"},
        {999, "999"},
        {1000, "0.98 KB"},
        {10240, "10.0 KB"},
        {1023999, "1000 KB"},
        // 1023.999 KB is not below 1000, so MB is used.
        {1048575, "1.00 MB"},
        {1073741824LL * 3 / 2, "1.50 GB"},
        {1099511627776LL * 5, "5.00 TB"},
        {1125899906842624LL * 7, "7.00 PB"},
        {std::numeric_limits<qint64>::max(), "8.00 EB"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(mdlMain::FormatByteSize(c.bytes), QLatin1String(c.text)) << c.bytes;

    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(mdlMain::FormatByteSize(1000), QStringLiteral("0,98 KB"));
    QLocale::setDefault(saved);
}
