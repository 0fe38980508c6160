#include "support/TestEnvironment.h"

#include "core/mdlFileTime.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

mdlFileTime::FILETIME ticks(quint64 count)
{
    return {quint32(count & 0xFFFFFFFFu), quint32(count >> 32)};
}

} // namespace

TEST(mdlFileTime, FileTimeToDate)
{
    constexpr quint64 perSecond = 10'000'000;
    // Seconds from 1601 to the Unix epoch.
    constexpr quint64 toUnixEpoch = 11'644'473'600ULL;
    const struct {
        mdlFileTime::FILETIME fileTime;
        QDateTime moment;
    } cases[] = {
        {ticks(0), utc(1601, 1, 1, 0, 0, 0)},
        {ticks(toUnixEpoch * perSecond), utc(1970, 1, 1, 0, 0, 0)},
        {ticks((toUnixEpoch + 1173867332) * perSecond), utc(2007, 3, 14, 10, 15, 32)},
        // Fractions of a second go to the nearest second.
        {ticks(toUnixEpoch * perSecond + 4'999'999), utc(1970, 1, 1, 0, 0, 0)},
        {ticks(toUnixEpoch * perSecond + 5'000'001), utc(1970, 1, 1, 0, 0, 1)},
        // A low half with its top bit set is a large unsigned value, not a negative one.
        {{0x80000000u, 0}, utc(1601, 1, 1, 0, 3, 35)},
        {{0xB29DFA00u, 0x01C76621u}, utc(2007, 3, 14, 10, 15, 32)},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(mdlFileTime::FileTimeToDate(c.fileTime), c.moment)
            << c.fileTime.dwHighDateTime << ' ' << c.fileTime.dwLowDateTime;
    }
}

TEST(mdlFileTime, GetFileTimesOfAFile)
{
    const QString path = TestEnv::workFolder() + QStringLiteral("/a.wav");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QDateTime written = utc(2007, 3, 14, 10, 15, 32);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();

    QDateTime creation, access, write;
    ASSERT_FALSE(mdlFileTime::GetFileTimes(path, creation, access, write, false));
    EXPECT_EQ(write, written);
    EXPECT_EQ(write.timeSpec(), Qt::UTC);
    EXPECT_TRUE(creation.isValid());
    EXPECT_TRUE(access.isValid());

    ASSERT_FALSE(mdlFileTime::GetFileTimes(path, creation, access, write, true));
    EXPECT_EQ(write.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(write, written); // the same moment, told in local time

    const QDateTime created = mdlFileTime::GetFileCreated(path);
    EXPECT_EQ(created, creation);
    EXPECT_EQ(created.timeSpec(), Qt::LocalTime);
    EXPECT_LE(qAbs(created.secsTo(QDateTime::currentDateTime())), 120);
    const QDateTime createdUtc = mdlFileTime::GetFileCreatedUtc(path);
    EXPECT_EQ(createdUtc, creation);
    EXPECT_EQ(createdUtc.timeSpec(), Qt::UTC);
}

TEST(mdlFileTime, UnreadableTimesLeaveTheOutValuesAlone)
{
    const QDateTime marker = utc(2000, 1, 1, 0, 0, 0);
    for (const QString &path : {TestEnv::workFolder() + QStringLiteral("/missing.wav"), TestEnv::workFolder(), QString()}) {
        QDateTime creation = marker, access = marker, write = marker;
        EXPECT_TRUE(mdlFileTime::GetFileTimes(path, creation, access, write, true)) << qPrintable(path);
        EXPECT_EQ(creation, marker);
        EXPECT_EQ(access, marker);
        EXPECT_EQ(write, marker);
        EXPECT_EQ(mdlFileTime::GetFileCreated(path), QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0)));
        EXPECT_FALSE(mdlFileTime::GetFileCreatedUtc(path).isValid());
    }
}
