#include "support/MainWindowFixture.h"

#include "support/LocaleGuard.h"

namespace {

namespace Row = ItemsListRow;

// The main window over an empty list whose grid the test fills cell by cell.
class Totals : public MainWindowTest {
protected:
    frmMain &loadEmpty()
    {
        writeList(QStringLiteral("Empty.flst"), QString());
        frmMain &main = loadMain();
        EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Empty"))));
        return main;
    }

    struct Item {
        int inc;
        const char *all;
        const char *time;
        const char *rangeLength;
        const char *bytes;
    };

    static void fill(frmMain &main, const QList<Item> &items)
    {
        main.cGrid1->Clear();
        int n = 0;
        for (const Item &item : items) {
            Row::Data row;
            row.incIcon = item.inc;
            row[Row::ItemName] = QStringLiteral("item");
            row[Row::RangeAll] = QString::fromLatin1(item.all);
            row[Row::Time] = QString::fromLatin1(item.time);
            row[Row::RangeLength] = QString::fromLatin1(item.rangeLength);
            row[Row::BytesSize] = QString::fromLatin1(item.bytes);
            ItemsGrid::writeRow(*main.cGrid1, ++n, row);
        }
    }
};

TEST_F(Totals, TimeCountsWholeItemsByLengthAndRangesByRange)
{
    frmMain &main = loadEmpty();
    EXPECT_EQ(main.GetTotalTime(false), QStringLiteral("0"));
    EXPECT_EQ(main.GetTotalTime(true), QStringLiteral("0"));

    fill(main, {
                   {1, "1", "01:02:03", "", "0"},     // whole: 3723
                   {1, "0", "01:00:00", "90", "0"},   // range: 90, not its hour
                   {0, "1", "00:00:10", "", "0"},     // unmarked
                   {2, "1", "00:00:20", "", "0"},     // icon 2 is no mark
                   {1, "0", "00:10:00", "", "0"},     // range without a length
                   {1, "0", "00:10:00", "abc", "0"},  // nor a number
                   {1, "1", "garbage", "", "0"},      // no time
                   {1, "0", "00:00:00", "2.5", "0"},  // rounded
               });
    EXPECT_EQ(main.GetTotalTime(true), QStringLiteral("3815"));
    EXPECT_EQ(main.GetTotalTime(false), QStringLiteral("3845"));
}

TEST_F(Totals, SizeIsTheSumOfTheFilesAsASizeText)
{
    LocaleGuard english(QLocale(QLocale::English, QLocale::UnitedStates));
    frmMain &main = loadEmpty();
    EXPECT_EQ(main.GetTotalSize(false), QStringLiteral("0"));

    const struct {
        const char *bytes;
        const char *text;
    } cases[] = {
        {"512", "512"}, {"1000", "0.98 KB"}, {"2000", "1.95 KB"}, {"1500000", "1.43 MB"}, {"1073741824", "1.00 GB"},
        {"", "0"}, {"x", "0"},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.bytes);
        fill(main, {{1, "1", "00:00:01", "", test.bytes}});
        EXPECT_EQ(main.GetTotalSize(true), QString::fromLatin1(test.text));
    }

    // Ranges do not scale the size; unmarked rows count only over every row.
    fill(main, {{1, "0", "00:10:00", "5", "1000"}, {0, "1", "00:00:01", "", "1000"}});
    EXPECT_EQ(main.GetTotalSize(true), QStringLiteral("0.98 KB"));
    EXPECT_EQ(main.GetTotalSize(false), QStringLiteral("1.95 KB"));
    fill(main, {{0, "1", "00:00:01", "", "1000"}});
    EXPECT_EQ(main.GetTotalSize(true), QStringLiteral("0"));

    // Lists past 2 GiB are counted whole.
    fill(main, {{1, "1", "00:00:01", "", "1000000000"},
                {1, "1", "00:00:01", "", "1000000000"},
                {1, "1", "00:00:01", "", "1000000000"}});
    EXPECT_EQ(main.GetTotalSize(true), QStringLiteral("2.79 GB"));
}

TEST_F(Totals, TotalsChangeNothing)
{
    frmMain &main = loadSongs();
    main.cGrid1->setSelectedRow(2);
    const QByteArray grid = gridAsFile(main);
    const QByteArray file = listBytes(QStringLiteral("Songs.flst"));
    main.GetTotalTime(true);
    main.GetTotalSize(false);
    EXPECT_EQ(gridAsFile(main), grid);
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), file);
    EXPECT_EQ(main.cGrid1->SelectedRow(), 2);
}

} // namespace
