#include "lists/ItemsListRecordReader.h"
#include "lists/ItemsListRow.h"

#include <limits>
#include <optional>

#include <gtest/gtest.h>

using ItemsListFile::Record;
namespace Row = ItemsListRow;
namespace Reader = ItemsListRecordReader;

namespace {

Record storedRecord(const QString &inc, const QString &rangeAll, const QString &start, const QString &length)
{
    Record r;
    r[ItemsListFile::FieldInc] = inc;
    r[ItemsListFile::FieldType] = QStringLiteral("Audio");
    r[ItemsListFile::FieldItemName] = QStringLiteral("Song one");
    r[ItemsListFile::FieldFile] = QStringLiteral("/music/song.mp3");
    r[ItemsListFile::FieldRangeAll] = rangeAll;
    r[ItemsListFile::FieldRangeStart] = start;
    r[ItemsListFile::FieldRangeLength] = length;
    r[ItemsListFile::FieldTagArtist] = QStringLiteral("Stored artist");
    return r;
}

ItemProbe openedProbe()
{
    ItemProbe probe;
    probe.opened = true;
    probe.bytes = 1048576;
    probe.durationMs = 61500;
    probe.created = QDateTime(QDate(2020, 5, 1), QTime(10, 0, 0), Qt::UTC);
    probe.tags.artist = QStringLiteral("File artist");
    return probe;
}

} // namespace

TEST(ItemsListRecord, LengthsRoundHalvesToTheEvenSecond)
{
    const std::pair<qint64, qint64> cases[] = {{2500, 2}, {3500, 4}, {2499, 2}, {2501, 3}, {0, 0}, {61500, 62}};
    for (const auto &[ms, seconds] : cases)
        EXPECT_EQ(Reader::roundedSeconds(ms), seconds) << ms;
    EXPECT_EQ(Reader::hhmmss(3723), QStringLiteral("01:02:03"));
    EXPECT_EQ(Reader::hhmmss(90061), QStringLiteral("25:01:01"));
}

TEST(ItemsListRecord, RangeTextFromStartAndLength)
{
    struct Case {
        const char *start;
        const char *length;
        const char *text;
    };
    const Case cases[] = {
        {"30", "15", "00:00:30 - 00:00:45"},
        {"3600", "61", "01:00:00 - 01:01:01"},
        {"0", "0", "00:00:00 - 00:00:00"},
        {"abc", "15", ""},
        {"30", "", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Reader::rangeText(QString::fromUtf8(c.start), QString::fromUtf8(c.length)), QString::fromUtf8(c.text))
            << c.start << " " << c.length;
}

TEST(ItemsListRecord, AnOpenedFileGivesItsFactsAndTags)
{
    const Row::Data whole = Reader::rowFromRecord(storedRecord("1", "1", "", ""), openedProbe(), true);
    EXPECT_EQ(whole.incIcon, Row::IconMarked);
    EXPECT_EQ(whole.typeIcon, Row::IconAudio);
    EXPECT_EQ(whole[Row::Time], QStringLiteral("00:01:02"));
    EXPECT_EQ(whole[Row::BytesSize], QStringLiteral("1048576"));
    EXPECT_FALSE(whole[Row::Size].isEmpty());
    // The probe's UTC moment, shown in local time.
    EXPECT_EQ(whole.created, openedProbe().created);
    EXPECT_EQ(whole.created.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(whole[Row::Range], QStringLiteral("All"));

    const Row::Data ranged = Reader::rowFromRecord(storedRecord("0", "0", "30", "15"), openedProbe(), false);
    EXPECT_EQ(ranged.incIcon, Row::IconUnmarked);
    EXPECT_EQ(ranged[Row::Range], QStringLiteral("00:00:30 - 00:00:45"));

    // Anything but "0" is a whole item.
    for (const char *rangeAll : {"", "2", "yes"}) {
        const Row::Data row = Reader::rowFromRecord(storedRecord("1", rangeAll, "30", "15"), openedProbe(), true);
        EXPECT_EQ(row[Row::RangeAll], QStringLiteral("1")) << rangeAll;
        EXPECT_EQ(row[Row::Range], QStringLiteral("All"));
        EXPECT_TRUE(row[Row::RangeStart].isEmpty());
    }
}

TEST(ItemsListRecord, StoredTagsStayAndOnlyATaglessRecordTakesTheFilesTags)
{
    Record tagless = storedRecord("1", "1", "", "");
    tagless[ItemsListFile::FieldTagArtist].clear();
    Record yearOnly = tagless;
    yearOnly[ItemsListFile::FieldTagYear] = QStringLiteral("1999");
    const struct {
        const char *name;
        Record record;
        bool copyTags;
        bool opened;
        const char *artist;
        const char *year;
    } cases[] = {
        {"stored tags, copying on", storedRecord("1", "1", "", ""), true, true, "Stored artist", ""},
        {"stored tags, copying off", storedRecord("1", "1", "", ""), false, true, "Stored artist", ""},
        {"one stored field is a stored tag", yearOnly, true, true, "", "1999"},
        {"no stored tags, copying on", tagless, true, true, "File artist", "2001"},
        {"no stored tags, copying off", tagless, false, true, "", ""},
        {"no stored tags, file not opened", tagless, true, false, "", ""},
    };
    for (const auto &c : cases) {
        ItemProbe probe = c.opened ? openedProbe() : ItemProbe();
        if (c.opened)
            probe.tags.year = QStringLiteral("2001");
        const Row::Data row = Reader::rowFromRecord(c.record, probe, c.copyTags);
        EXPECT_EQ(row[Row::TagArtist], QString::fromUtf8(c.artist)) << c.name;
        EXPECT_EQ(row[Row::TagYear], QString::fromUtf8(c.year)) << c.name;
        // What the next save writes is what was loaded.
        EXPECT_EQ(Reader::recordFromRow(row)[ItemsListFile::FieldTagArtist], QString::fromUtf8(c.artist)) << c.name;
    }
}

TEST(ItemsListRecord, TypeIconsByExactText)
{
    EXPECT_EQ(Row::GetTypeIcon(QStringLiteral("Audio")), 3);
    EXPECT_EQ(Row::GetTypeIcon(QStringLiteral("Data")), 4);
    EXPECT_EQ(Row::GetTypeIcon(QStringLiteral("audio")), 0);
    EXPECT_EQ(Row::GetTypeIcon(QString()), 0);
}

// Whatever could not be checked or understood is shown and written back as
// it was read.
TEST(ItemsListRecord, UnavailableAndMalformedRecordsAreKeptAsRead)
{
    const Record cases[] = {
        storedRecord("1", "1", "", ""),
        storedRecord("x", "1", "", ""),
        storedRecord("0", "0", "abc", "15"),
        storedRecord("1", "", "30", "15"),
    };
    for (const Record &record : cases) {
        SCOPED_TRACE(record[ItemsListFile::FieldInc].toStdString() + "/" + record[ItemsListFile::FieldRangeAll].toStdString());
        const Row::Data row = Reader::rowFromRecord(record, ItemProbe(), true);
        EXPECT_TRUE(row[Row::Size].isEmpty());
        EXPECT_TRUE(row[Row::Time].isEmpty());
        EXPECT_TRUE(row[Row::BytesSize].isEmpty());
        EXPECT_EQ(row[Row::TagArtist], QStringLiteral("Stored artist"));
        EXPECT_EQ(Reader::recordFromRow(row), record);
    }

    // A malformed mark on a file that opens: shown unmarked, kept until the
    // user marks the item.
    Row::Data row = Reader::rowFromRecord(storedRecord("x", "1", "", ""), openedProbe(), false);
    EXPECT_EQ(row.incIcon, Row::IconUnmarked);
    EXPECT_EQ(Reader::recordFromRow(row)[ItemsListFile::FieldInc], QStringLiteral("x"));
    row.incIcon = Row::IconMarked;
    EXPECT_EQ(Reader::recordFromRow(row)[ItemsListFile::FieldInc], QStringLiteral("1"));

    // An empty mark is simply no mark.
    row = Reader::rowFromRecord(storedRecord("", "1", "", ""), ItemProbe(), false);
    EXPECT_EQ(row.incIcon, Row::IconUnmarked);
    EXPECT_EQ(Reader::recordFromRow(row)[ItemsListFile::FieldInc], QStringLiteral("0"));
}

// Every window counts a row by these rules: the main window's totals, the
// tool windows' totals and time left, the ranges the jobs convert and the
// item window's range pickers.
TEST(ItemsListRecord, ARowCountsItsSecondsBytesAndRangeByOneRule)
{
    struct Case {
        const char *rangeAll;
        const char *time;
        const char *start;
        const char *length;
        std::optional<qint64> seconds;
        std::optional<std::pair<qint32, qint32>> range;
    };
    using Range = std::pair<qint32, qint32>;
    const Case cases[] = {
        {"1", "01:02:03", "", "", 3723, std::nullopt},
        {"1", "0:00:00", "", "", 0, std::nullopt},
        {"1", "25:00:01", "", "", 90001, std::nullopt},
        {"1", "not a time", "", "", std::nullopt, std::nullopt},
        {"1", "", "5", "7", std::nullopt, std::nullopt}, // a whole item keeps no range
        {"0", "0:00:10", "30", "15", 15, Range{30, 15}},
        {"0", "0:00:10", "30", " 15 ", 15, Range{30, 15}},
        {"0", "0:00:10", "2.5", "12.5", 12, Range{2, 12}}, // halves to the even second
        {"0", "0:00:10", "3.5", "13.5", 14, Range{4, 14}},
        {"0", "0:00:10", "30", "abc", std::nullopt, std::nullopt},
        {"0", "0:00:10", "", "15", 15, std::nullopt},
        {"0", "0:00:10", "30", "inf", std::nullopt, std::nullopt},
        {"0", "0:00:10", "0", "99999999999", 99999999999, Range{0, std::numeric_limits<qint32>::max()}},
    };
    for (const Case &c : cases) {
        Row::Data row;
        row[Row::RangeAll] = QString::fromUtf8(c.rangeAll);
        row[Row::Time] = QString::fromUtf8(c.time);
        row[Row::RangeStart] = QString::fromUtf8(c.start);
        row[Row::RangeLength] = QString::fromUtf8(c.length);
        EXPECT_EQ(row.seconds(), c.seconds) << c.rangeAll << " " << c.time << " " << c.length;
        EXPECT_EQ(row.range(), c.range) << c.rangeAll << " " << c.start << " " << c.length;
    }

    const std::pair<const char *, qint64> bytes[] = {
        {"1048576", 1048576}, {"1048576.5", 1048576}, {"", 0}, {"many", 0}, {" 12 ", 12},
    };
    for (const auto &[text, expected] : bytes) {
        Row::Data row;
        row[Row::BytesSize] = QString::fromUtf8(text);
        EXPECT_EQ(row.bytes(), expected) << text;
    }
}
