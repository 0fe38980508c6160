#include "support/LocaleGuard.h"
#include "support/TestEnvironment.h"
#include "tools/frame/JobTimeLeft.h"
#include "tools/frame/OutputFileNames.h"

#include <gtest/gtest.h>

#include <QFile>

#include <climits>
#include <limits>

namespace {

using OutputFileNames::RowValues;

const QDateTime kClock(QDate(2026, 12, 8), QTime(14, 5, 9));

QDateTime fixedClock()
{
    return kClock;
}

struct NameCase {
    const char *what;
    QString nameTemplate;
    RowValues values;
    QString name;
};

RowValues row3(const QString &source, const QString &item, const std::optional<QString> &ext)
{
    return RowValues{3, source, item, ext};
}

TEST(OutputFileNames, TemplatesExpandTokenByToken)
{
    const LocaleGuard locale(QLocale(QLocale::English, QLocale::UnitedStates));
    const QStringList &builtIn = OutputFileNames::builtInTemplates();
    ASSERT_EQ(builtIn.size(), 6);
    const RowValues song = row3(QStringLiteral("/music/song.mp3"), QStringLiteral("song.mp3"), QStringLiteral("wav"));
    const QString date = QLocale().toString(kClock.date(), QLocale::ShortFormat).replace(QLatin1Char('/'), QLatin1Char('-'));
    const NameCase cases[] = {
        {"built-in 0", builtIn[0], song, QStringLiteral("song.wav")},
        {"built-in 1", builtIn[1], song, QStringLiteral("song.mp3.wav")},
        {"built-in 2", builtIn[2], song, QStringLiteral("song_3.wav")},
        {"built-in 3", builtIn[3], song, QStringLiteral("song_3.mp3.wav")},
        {"built-in 4", builtIn[4], song, QStringLiteral("3.wav")},
        {"built-in 5", builtIn[5], song, QStringLiteral("3.mp3.wav")},
        {"tokens are lower case only", QStringLiteral("[FILE_NAME].[dest_extension]"),
         row3(QStringLiteral("/music/song.mp3"), QStringLiteral("song.mp3"), QStringLiteral("mp3")),
         QStringLiteral("[FILE_NAME].mp3")},
        {"source without extension", builtIn[0],
         row3(QStringLiteral("/music/track"), QStringLiteral("track"), QStringLiteral("mp3")), QStringLiteral("track.mp3")},
        {"only the last extension goes", builtIn[0],
         row3(QStringLiteral("/music/live.at.home.mp3"), QStringLiteral("live.at.home.mp3"), QStringLiteral("ogg")),
         QStringLiteral("live.at.home.ogg")},
        {"item name without a dot", builtIn[1],
         row3(QStringLiteral("/music/song.mp3"), QStringLiteral("My Song"), QStringLiteral("mp3")),
         QStringLiteral("song..mp3")},
        {"source extension in lower case", builtIn[1],
         row3(QStringLiteral("/music/SONG.MP3"), QStringLiteral("SONG.MP3"), QStringLiteral("wav")),
         QStringLiteral("SONG.mp3.wav")},
        {"date, time and row", QStringLiteral("[date]_[time]_[123].[dest_extension]"),
         RowValues{2, QStringLiteral("/music/song.mp3"), QStringLiteral("song.mp3"), QStringLiteral("wav")},
         date + QStringLiteral("_14-05-09_2.wav")},
        {"item name and convert extension", QStringLiteral("[item_name] [convert_extension]"), song,
         QStringLiteral("song.mp3 wav")},
        {"a value holding a later token has it replaced", builtIn[0],
         row3(QStringLiteral("/music/x[date].mp3"), QStringLiteral("x.mp3"), QStringLiteral("wav")),
         QStringLiteral("x") + date + QStringLiteral(".wav")},
        {"a value holding an earlier token keeps it", QStringLiteral("[item_name]"),
         row3(QStringLiteral("/music/a.mp3"), QStringLiteral("take [123]"), QStringLiteral("wav")),
         QStringLiteral("take [123]")},
        {"no format leaves the extension tokens", builtIn[0],
         row3(QStringLiteral("/music/song.mp3"), QStringLiteral("song.mp3"), std::nullopt),
         QStringLiteral("song.[dest_extension]")},
        {"empty template", QString(), song, QString()},
    };
    for (const NameCase &c : cases)
        EXPECT_EQ(OutputFileNames::MakeOutputFileName(c.nameTemplate, c.values, fixedClock), c.name) << c.what;
}

TEST(OutputFileNames, ExtensionIsTheFormatTextBeforeItsDash)
{
    EXPECT_EQ(OutputFileNames::extensionOfFormat(QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)")),
              QStringLiteral("mp3"));
    EXPECT_EQ(OutputFileNames::extensionOfFormat(QStringLiteral("ACM - Waveform ACM Codecs (*.wav)")),
              QStringLiteral("acm"));
    EXPECT_EQ(OutputFileNames::extensionOfFormat(QString()), std::nullopt);
    EXPECT_EQ(OutputFileNames::extensionOfFormat(QStringLiteral("WAV-Waveform")), std::nullopt);
}

TEST(OutputFileNames, NamesAreMadeFitForOneFileInTheFolder)
{
    const struct {
        QString name;
        QString usable;
    } cases[] = {
        {QStringLiteral("song.wav"), QStringLiteral("song.wav")},
        {QStringLiteral("AC/DC live.wav"), QStringLiteral("AC-DC live.wav")},
        {QStringLiteral("../../etc/passwd"), QStringLiteral("..-..-etc-passwd")},
        {QStringLiteral("tab\there"), QStringLiteral("tab-here")},
        {QStringLiteral("what: now?.wav"), QStringLiteral("what: now?.wav")},
        {QStringLiteral(".."), QString()},
        {QStringLiteral("."), QString()},
        {QString(), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(OutputFileNames::usableFileName(c.name), c.usable) << c.name.toStdString();

    EXPECT_EQ(OutputFileNames::numberedFileName(QStringLiteral("song.wav"), 2), QStringLiteral("song (2).wav"));
    EXPECT_EQ(OutputFileNames::numberedFileName(QStringLiteral("a.b.wav"), 3), QStringLiteral("a.b (3).wav"));
    EXPECT_EQ(OutputFileNames::numberedFileName(QStringLiteral("noext"), 2), QStringLiteral("noext (2)"));
    EXPECT_EQ(OutputFileNames::numberedFileName(QStringLiteral(".hidden"), 2), QStringLiteral(".hidden (2)"));
}

// A name past the file system's limit is cut in its middle: what it starts
// with and its extension stay, no letter is split, and it fits to the byte.
TEST(OutputFileNames, LongNamesAreCutInTheMiddleToFitTheLimit)
{
    const QString x200(200, QLatin1Char('x'));
    const QString e120(120, QChar(0x00E9));   // two bytes each
    const QString clef(100, QChar(0x266B));   // three bytes each
    QString notes;                            // four bytes each, two halves in UTF-16
    for (int i = 0; i < 60; ++i)
        notes += QStringLiteral("\U0001D11E");
    const struct {
        const char *what;
        QString name;
        int limit;
        QString start;
        QString end;
    } cases[] = {
        {"fits", QStringLiteral("Part_1_song.WAV"), 255, QStringLiteral("Part_1_song.WAV"), QString()},
        {"exactly the limit", QString(251, QLatin1Char('a')) + QStringLiteral(".wav"), 255, QString(251, QLatin1Char('a')),
         QStringLiteral(".wav")},
        {"ascii", QStringLiteral("Part_6_") + x200 + QStringLiteral("y end.WAV"), 100, QStringLiteral("Part_6_xxx"),
         QStringLiteral("y end.WAV")},
        {"two-byte letters", QStringLiteral("Part_2_") + e120 + QStringLiteral(".mp3"), 255, QStringLiteral("Part_2_\u00e9"),
         QStringLiteral("\u00e9.mp3")},
        {"three-byte letters", QStringLiteral("Part_3_") + clef + QStringLiteral(".ogg"), 255, QStringLiteral("Part_3_\u266b"),
         QStringLiteral("\u266b.ogg")},
        {"surrogate pairs", QStringLiteral("Part_4_") + notes + QStringLiteral(".wav"), 200, QStringLiteral("Part_4_"),
         QStringLiteral(".wav")},
        {"a numbered name keeps its number", x200 + QStringLiteral(" (2).wav"), 120, QStringLiteral("xxx"),
         QStringLiteral(" (2).wav")},
        {"no extension", x200 + QStringLiteral("tail"), 64, QStringLiteral("xxx"), QStringLiteral("tail")},
        {"a dot far from the end is no extension", QStringLiteral("Mr. ") + x200 + QStringLiteral("tail"), 64,
         QStringLiteral("Mr. xxx"), QStringLiteral("tail")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString fitted = OutputFileNames::fittedFileName(c.name, c.limit);
        EXPECT_LE(fitted.toUtf8().size(), c.limit);
        EXPECT_TRUE(fitted.startsWith(c.start)) << fitted.toStdString();
        EXPECT_TRUE(fitted.endsWith(c.end)) << fitted.toStdString();
        EXPECT_FALSE(fitted.isEmpty());
        // Whole letters only: the text survives a round trip through UTF-8.
        EXPECT_EQ(QString::fromUtf8(fitted.toUtf8()), fitted);
        if (c.name.toUtf8().size() <= c.limit) {
            EXPECT_EQ(fitted, c.name);
        } else {
            EXPECT_TRUE(fitted.contains(QStringLiteral("..."))) << fitted.toStdString();
            // As much of the name as the limit allows is kept, short of
            // a letter at each side of the cut.
            EXPECT_GE(fitted.toUtf8().size(), c.limit - 6);
        }
    }
}

TEST(OutputFileNames, TheLimitIsTheFileSystemsEvenForAFolderStillToBeMade)
{
    const QString work = TestEnv::workFolder();
    const int limit = OutputFileNames::longestFileName(work);
    EXPECT_GT(limit, 0);
    EXPECT_LE(limit, NAME_MAX);
    EXPECT_EQ(OutputFileNames::longestFileName(work + QStringLiteral("/not/made/yet/")), limit);
    const QString fitted = OutputFileNames::fittedFileNameIn(work, QString(400, QLatin1Char('z')) + QStringLiteral(".wav"));
    EXPECT_EQ(fitted.toUtf8().size(), limit);
    QFile made(work + QLatin1Char('/') + fitted);
    EXPECT_TRUE(made.open(QIODevice::WriteOnly)) << "the file system takes the name";
}

TEST(JobTimeLeft, ConvertedSecondsRoundHalvesToEven)
{
    const struct {
        qint32 percent, itemSecs, converted;
    } cases[] = {{50, 5, 2}, {50, 7, 4}, {10, 3, 0}, {50, 1, 0}, {51, 1, 1}, {100, 600, 600}, {0, 600, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(JobTimeLeft::convertedSeconds(c.percent, c.itemSecs), c.converted) << c.percent << "% of " << c.itemSecs;
}

TEST(JobTimeLeft, EstimateScalesElapsedTicksByWhatIsLeft)
{
    constexpr qint32 kMax = std::numeric_limits<qint32>::max();
    const struct {
        const char *what;
        qint32 ticks, current, done, total, estimate;
    } cases[] = {
        {"600 s, 120 done after 60 ticks", 60, 20, 100, 600, 240},
        {"nothing of the running item yet", 60, 0, 100, 600, 0},
        {"more converted than the total", 10, 20, 100, 50, 0},
        {"half rounds to even", 1, 2, 0, 7, 2}, // 1 / 2 * 5 = 2.5
        {"sums past the counters' range", 10, kMax, 1, kMax, 0},
        {"last item at the end", 30, 10, 590, 600, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(JobTimeLeft::estimate(c.ticks, c.current, c.done, c.total), c.estimate) << c.what;
}

TEST(JobTimeLeft, LabelShowsTwoDigitsEachAndHoursPastADay)
{
    const LocaleGuard locale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(JobTimeLeft::labelText(240), QStringLiteral("Time Left: 00:04:00"));
    EXPECT_EQ(JobTimeLeft::labelText(3725), QStringLiteral("Time Left: 01:02:05"));
    EXPECT_EQ(JobTimeLeft::labelText(90061), QStringLiteral("Time Left: 25:01:01"));
}

} // namespace
