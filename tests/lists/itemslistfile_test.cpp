#include "ListFixtures.h"
#include "support/TestEnvironment.h"
#include "support/UnprivilegedUser.h"

#include "lists/ItemsListFile.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using ItemsListFile::Record;

namespace {

Record sampleRecord()
{
    Record r;
    r[ItemsListFile::FieldInc] = QStringLiteral("1");
    r[ItemsListFile::FieldType] = QStringLiteral("Audio");
    r[ItemsListFile::FieldItemName] = QStringLiteral("Café d'été.mp3");
    r[ItemsListFile::FieldFile] = QStringLiteral("/music/Café d'été.mp3");
    r[ItemsListFile::FieldRangeAll] = QStringLiteral("1");
    r[ItemsListFile::FieldTagAlbum] = QStringLiteral("Album");
    r[ItemsListFile::FieldTagTrack] = QStringLiteral("7");
    return r;
}

} // namespace

TEST(ItemsListFileFormat, RecordIsTheFourteenFieldsInOrder)
{
    const QString expected = QStringLiteral(
        "<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>Café d'été.mp3</Item Name>"
        "<COL_FILE>/music/Café d'été.mp3</COL_FILE><COL_RANGE_ALL>1</COL_RANGE_ALL>"
        "<COL_RANGE_START_TIME></COL_RANGE_START_TIME><COL_RANGE_LENGTH_TIME></COL_RANGE_LENGTH_TIME>"
        "<COL_TAG_ALBUM>Album</COL_TAG_ALBUM><COL_TAG_ARTIST></COL_TAG_ARTIST><COL_TAG_COMMENT></COL_TAG_COMMENT>"
        "<COL_TAG_GEN></COL_TAG_GEN><COL_TAG_YEAR></COL_TAG_YEAR><COL_TAG_TITLE></COL_TAG_TITLE>"
        "<COL_TAG_TRACK>7</COL_TAG_TRACK></ITEM>");
    EXPECT_EQ(ItemsListFile::recordText(sampleRecord()), expected);
    EXPECT_EQ(ItemsListFile::fileText({sampleRecord(), sampleRecord()}), expected + expected + QStringLiteral("\r\n"));
    EXPECT_EQ(ItemsListFile::fileText({}), QStringLiteral("\r\n"));
}

TEST(ItemsListFileFormat, GetTagValueTakesTheFirstOpenAndClose)
{
    struct Case {
        const char *text;
        const char *tag;
        const char *value;
    };
    const Case cases[] = {
        {"<Inc>1</Inc>", "Inc", "1"},
        {"<Inc>1</Inc><Inc>0</Inc>", "Inc", "1"},
        {"<Item Name>a b</Item Name>", "Item Name", "a b"},
        {"<Inc>1", "Inc", ""},              // no close
        {"</Inc><Inc>1", "Inc", ""},        // close before open
        {"<inc>1</inc>", "Inc", ""},        // letter case counts
        {"<Type></Type>", "Type", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ItemsListFile::GetTagValue(QString::fromUtf8(c.tag), QString::fromUtf8(c.text)),
                  QString::fromUtf8(c.value));
    }
}

TEST(ItemsListFileFormat, ValuesHoldingMarkersRoundTripAndOthersAreWrittenAsTheyStand)
{
    struct Case {
        const char *value;
        bool changedOnDisk;
    };
    const Case cases[] = {
        {"plain name", false},
        {"a <b> c < d > e", false},
        {"<ITEMS> and <Incx>", false},
        {"C:\\<odd>\\path", false},
        {"x<ITEM>y", true},
        {"ends </Item Name> early", true},
        {"<COL_FILE>/etc/passwd</COL_FILE>", true},
        {"</ITEM><ITEM><Inc>1</Inc>", true},
        {"already <\\ITEM> escaped", true},
        {"<\\\\/Inc> twice", true},
        {"trailing <", false},
        {"<", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        const QString value = QString::fromUtf8(c.value);
        EXPECT_EQ(ItemsListFile::escapeValue(value) != value, c.changedOnDisk);
        for (int f = 0; f < ItemsListFile::FieldCount; ++f) {
            Record r = sampleRecord();
            r.fields[f] = value;
            const QString text = ItemsListFile::fileText({r, sampleRecord()});
            const QStringList pieces = ItemsListFile::recordPieces(text);
            ASSERT_EQ(pieces.size(), 2);
            EXPECT_EQ(ItemsListFile::parseRecord(pieces[0]), r) << "field " << f;
            EXPECT_EQ(ItemsListFile::parseRecord(pieces[1]), sampleRecord());
        }
    }
}

// Records read in one pass over the text are those the field by field search
// of each piece gives, for records as the writer lays them out and for
// others alike.
TEST(ItemsListFileFormat, AllRecordsReadAsEachPieceReads)
{
    Record marked = sampleRecord();
    marked[ItemsListFile::FieldItemName] = QStringLiteral("x<ITEM>y and </Inc>");
    Record empty;
    const QString laidOut = ItemsListFile::fileText({sampleRecord(), marked, empty, sampleRecord()});
    const QString texts[] = {
        laidOut,
        QString(),
        QStringLiteral("\r\n"),
        QStringLiteral("junk<ITEM><Item Name>only a name</Item Name></ITEM><ITEM></ITEM><ITEM>x"),
        // Fields in another order, one twice, one missing its close.
        QStringLiteral("<ITEM><COL_FILE>/a.wav</COL_FILE><Inc>1</Inc><Inc>0</Inc><Item Name>n</ITEM>"),
        // A close marker of a later field inside an earlier value, as a list
        // written without escapes holds it.
        QStringLiteral("<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>a </COL_FILE> b</Item Name>"
                       "<COL_FILE>/b.wav</COL_FILE></ITEM>"),
        laidOut.left(laidOut.size() / 2),
    };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        QList<Record> each;
        for (const QString &piece : ItemsListFile::recordPieces(text)) {
            if (!piece.isEmpty())
                each << ItemsListFile::parseRecord(piece);
        }
        EXPECT_EQ(ItemsListFile::parseRecords(text), each);
    }
    const QList<Record> all = ItemsListFile::parseRecords(laidOut);
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[1], marked);
    EXPECT_EQ(all[2], empty);
}

TEST(ItemsListFileFormat, RecordPiecesFollowEachItemMarker)
{
    EXPECT_TRUE(ItemsListFile::recordPieces(QString()).isEmpty());
    EXPECT_TRUE(ItemsListFile::recordPieces(QStringLiteral("\r\n")).isEmpty());
    const QStringList pieces = ItemsListFile::recordPieces(QStringLiteral("junk<ITEM>a</ITEM><ITEM>b</ITEM>"));
    EXPECT_EQ(pieces, (QStringList{"a</ITEM>", "b</ITEM>"}));
}

TEST(ItemsListFileFormat, ReadingTellsWhetherTheWholeFileWasRead)
{
    const QString dir = TestEnv::workFolder();
    struct Case {
        const char *name;
        QByteArray bytes;
        QString text;
    };
    const QList<Case> cases = {
        {"empty.flst", QByteArray(), QString()},
        {"crlf.flst", QByteArray("\r\n"), QString()},
        {"utf8.flst", QStringLiteral("<ITEM>Café</ITEM>\r\n").toUtf8(), QStringLiteral("<ITEM>Café</ITEM>")},
        // Lists written in the Windows code page keep their letters, also
        // those it places where Latin-1 has control characters.
        {"cp1252.flst", QByteArray("<ITEM>Caf\xe9 \x80 5, Rock \x92n\x92 Roll</ITEM>\r\n"),
            QStringLiteral("<ITEM>Café € 5, Rock ’n’ Roll</ITEM>")},
        {"cp1252holes.flst", QByteArray("<ITEM>\x81\x8d\x8f\x90\x9d \x9f\xa0\xff</ITEM>\r\n"),
            QStringLiteral("<ITEM>\u0081\u008d\u008f\u0090\u009d \u0178\u00a0\u00ff</ITEM>")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ListFixtures::writeBytes(dir + "/" + c.name, c.bytes);
        const ItemsListFile::ReadResult read = ItemsListFile::read(dir + "/" + c.name);
        EXPECT_TRUE(read.complete);
        EXPECT_EQ(read.text, c.text);
    }
    const ItemsListFile::ReadResult missing = ItemsListFile::read(dir + "/missing.flst");
    EXPECT_TRUE(missing.complete);
    EXPECT_TRUE(missing.text.isEmpty());

    QDir(dir).mkdir(QStringLiteral("folder.flst"));
    EXPECT_FALSE(ItemsListFile::read(dir + "/folder.flst").complete);
}

TEST(ItemsListFileFormat, WritingReplacesTheFileButLeavesReadOnlyOnesAlone)
{
    const QString dir = TestEnv::workFolder();
    const QString path = dir + "/list.flst";
    ListFixtures::writeBytes(path, "old");
    ASSERT_TRUE(ItemsListFile::write(path, {sampleRecord()}));
    EXPECT_EQ(ListFixtures::readBytes(path), ItemsListFile::fileText({sampleRecord()}).toUtf8());

    QFile::setPermissions(path, QFileDevice::ReadOwner);
    {
        const UnprivilegedUser user;
        EXPECT_FALSE(ItemsListFile::write(path, {}));
    }
    EXPECT_EQ(ListFixtures::readBytes(path), ItemsListFile::fileText({sampleRecord()}).toUtf8());
}
