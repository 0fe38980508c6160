#include "commands_fixture.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeView.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListStore.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace Row = ItemsListRow;

namespace {

class MainLists : public ListWindowTest {
protected:
    void TearDown() override
    {
        ListWindowTest::TearDown();
        g_sItemsListMainDirectory.clear();
        g_bSelectTheLastItem = false;
        g_bCopyID3FromSource = false;
    }

    // A record as the list file stores it, written out by hand.
    static QString rec(const QString &inc, const QString &name, const QString &file,
                       const QString &all = QStringLiteral("1"), const QString &start = QString(),
                       const QString &length = QString())
    {
        return "<ITEM><Inc>" + inc + "</Inc><Type>Audio</Type><Item Name>" + name + "</Item Name><COL_FILE>" + file
            + "</COL_FILE><COL_RANGE_ALL>" + all + "</COL_RANGE_ALL><COL_RANGE_START_TIME>" + start
            + "</COL_RANGE_START_TIME><COL_RANGE_LENGTH_TIME>" + length
            + "</COL_RANGE_LENGTH_TIME><COL_TAG_ALBUM></COL_TAG_ALBUM><COL_TAG_ARTIST></COL_TAG_ARTIST>"
              "<COL_TAG_COMMENT></COL_TAG_COMMENT><COL_TAG_GEN></COL_TAG_GEN><COL_TAG_YEAR></COL_TAG_YEAR>"
              "<COL_TAG_TITLE></COL_TAG_TITLE><COL_TAG_TRACK></COL_TAG_TRACK></ITEM>";
    }

    QString wav(const QString &name, int ms, int rate = 8000, int channels = 1)
    {
        return ListWindowTest::wav(name, ms, rate, channels);
    }

    // The list file holds exactly text.
    void writeList(const QString &name, const QString &text)
    {
        ListFixtures::writeBytes(folder + name, text.toUtf8());
    }
};

} // namespace

TEST_F(MainLists, AListLoadsAndSavesByteForByte)
{
    const QString a = wav(QStringLiteral("a.wav"), 1000);
    const QString b = wav(QStringLiteral("b.wav"), 2500);
    const QString golden = rec("1", "Café d'été one", a) + rec("0", "Second's song", b, "0", "30", "15") + "\r\n";
    writeList(QStringLiteral("Golden.flst"), golden);

    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 2);
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Golden"));
    EXPECT_EQ(icon(main, 1, Row::Inc), Row::IconMarked);
    EXPECT_EQ(icon(main, 1, Row::Type), Row::IconAudio);
    EXPECT_EQ(cell(main, 1, Row::ItemName), QStringLiteral("Café d'été one"));
    EXPECT_EQ(cell(main, 1, Row::Time), QStringLiteral("00:00:01"));
    EXPECT_EQ(cell(main, 1, Row::Range), QStringLiteral("All"));
    EXPECT_EQ(icon(main, 2, Row::Inc), Row::IconUnmarked);
    EXPECT_EQ(cell(main, 2, Row::Time), QStringLiteral("00:00:02"));
    EXPECT_EQ(cell(main, 2, Row::Range), QStringLiteral("00:00:30 - 00:00:45"));
    EXPECT_EQ(main.cGrid1->SelectedRow(), 1);
    EXPECT_TRUE(main.picEmptyMsg->isHidden());
    EXPECT_TRUE(main.prgStatus->isHidden());
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));

    main.SaveGridToFile();
    EXPECT_EQ(listBytes(QStringLiteral("Golden.flst")), golden.toUtf8());
}

TEST_F(MainLists, EmptyListsFolderGetsTheFirstNewListSelectedAndLoaded)
{
    QDir(folder).removeRecursively();
    frmMain &main = load();
    const QString first = folder + QStringLiteral("New Items List 1.flst");
    ASSERT_TRUE(QFileInfo(first).isFile());
    EXPECT_EQ(QFileInfo(first).size(), 0);
    ASSERT_NE(main.cTreeView1->SelectedItem(), nullptr);
    EXPECT_EQ(main.cTreeView1->SelectedItem()->Key(), first);
    EXPECT_EQ(main.cTreeView1->SelectedItem()->Text(), QStringLiteral("New Items List 1"));
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("New Items List 1"));
    EXPECT_FALSE(main.picEmptyMsg->isHidden());
    EXPECT_EQ(main.lblAddorDrag->text(), QStringLiteral("Add or Drag and Drop audio items to here."));
    EXPECT_EQ(main.PanelText(QStringLiteral("Items List Properties")), QStringLiteral("0 Items, 0 KB, 00:00:00"));
    EXPECT_EQ(main.cGridInfo->Rows(), 0);

    // Saved empty it holds CR LF alone, and loads empty again.
    main.SaveGridToFile();
    EXPECT_TRUE(ListLoads::settle(main));
    EXPECT_EQ(ListFixtures::readBytes(first), QByteArray("\r\n"));
    EXPECT_TRUE(ListLoads::show(main, main.cTreeView1->SelectedItem()));
    EXPECT_EQ(main.cGrid1->Rows(), 0);
}

TEST_F(MainLists, AFolderWithoutListsStartsANewListWithItsLabelOpen)
{
    ListFixtures::writeBytes(folder + QStringLiteral("readme.txt"), "x");
    ListFixtures::writeBytes(folder + QStringLiteral("Upper.FLST"), "");
    frmMain &main = load();
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("New Items List 1.flst")).isFile());
    EXPECT_EQ(g_oItemsListsRoot->Child().Count(), 1);
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("New Items List 1"));
    EXPECT_TRUE(main.cTreeView1->LabelEdit());
    main.show();
    EXPECT_TRUE(waitUntil([&] { return main.cTreeView1->labelEditor() != nullptr; }, 5000));
}

TEST_F(MainLists, TreeListsEveryNameEndingInTheExtension)
{
    // "Main.flst.Xy12Zw" is what a save killed before its rename leaves.
    for (const char *name : {"b.flst", "a.flst", "a.flst.bak", "C.FLST", "Main.flst.Xy12Zw"})
        writeList(QString::fromUtf8(name), QString());
    frmMain &main = load();
    ASSERT_EQ(main.cTreeView1->Nodes().Item(1)->Text(), QStringLiteral("Items Lists"));
    EXPECT_EQ(main.cTreeView1->Nodes().Item(1)->Key(), QStringLiteral("##MAINITEMS") + folder);
    cTreeNodes lists = g_oItemsListsRoot->Child();
    ASSERT_EQ(lists.Count(), 2);
    EXPECT_EQ(lists.Item(1)->Text(), QStringLiteral("a"));
    EXPECT_EQ(lists.Item(1)->Key(), folder + QStringLiteral("a.flst"));
    EXPECT_EQ(lists.Item(2)->Text(), QStringLiteral("b"));
    // This edition has no CD ripper, so no "Audio CDs" root.
    EXPECT_EQ(main.cTreeView1->Nodes().Count(), 3);
    EXPECT_TRUE(g_oAudioCDsRoot.isNull());

    // A command that needs a list, run on a root, points the user to one.
    EXPECT_FALSE(main.SelectListIfMainNode());
    EXPECT_TRUE(ListLoads::show(main, g_oItemsListsRoot));
    g_oItemsListsRoot->setSelected(true);
    EXPECT_TRUE(main.SelectListIfMainNode());
    EXPECT_EQ(testServices().prompter->messageTexts(),
              QStringList{QStringLiteral("Select the Items List.") + QString(40, ' ')});
    EXPECT_EQ(main.cTreeView1->SelectedItem()->Text(), QStringLiteral("a"));

    // An edition with the CD ripper adds its root, here without drives.
    g_lAppIncCDRipper = 1;
    main.setTree();
    g_lAppIncCDRipper = 0;
    ASSERT_FALSE(g_oAudioCDsRoot.isNull());
    EXPECT_EQ(g_oAudioCDsRoot->Key(), QStringLiteral("##MAINCDSAudio CDs"));
    EXPECT_EQ(g_oAudioCDsRoot->Text(), QStringLiteral("Audio CDs"));
    EXPECT_EQ(g_oAudioCDsRoot->Child().Count(), 0);
    EXPECT_EQ(main.cTreeView1->Nodes().Item(1), g_oItemsListsRoot.data());
}

TEST_F(MainLists, MissingFilesAndMalformedRecordsStayInTheListAndAreWrittenBack)
{
    const QString a = wav(QStringLiteral("a.wav"), 1000);
    const QString b = wav(QStringLiteral("b.wav"), 1000);
    const QString c = wav(QStringLiteral("c.wav"), 1000);
    const QString d = wav(QStringLiteral("d.wav"), 2000);
    const QString text = rec("1", "one", a) + rec("1", "two", b) + rec("x", "three", c)
        + rec("0", "four", d, "0", "abc", "15") + rec("1", "five", TestEnv::workFolder() + "/not audio.wav") + "\r\n";
    writeList(QStringLiteral("Kept.flst"), text);
    ListFixtures::writeBytes(TestEnv::workFolder() + "/not audio.wav", "this is no audio");
    QFile::remove(b);

    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 5);
    EXPECT_EQ(cell(main, 1, Row::Time), QStringLiteral("00:00:01"));
    for (int row : {2, 5}) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(cell(main, row, Row::Size).isEmpty());
        EXPECT_TRUE(cell(main, row, Row::Time).isEmpty());
        EXPECT_TRUE(main.cGrid1->CellFont(row, main.cGrid1->ColumnIndex(QStringLiteral("Item Name"))).italic());
    }
    EXPECT_FALSE(main.cGrid1->CellFont(1, main.cGrid1->ColumnIndex(QStringLiteral("Item Name"))).italic());
    EXPECT_EQ(cell(main, 2, Row::ItemName), QStringLiteral("two"));
    EXPECT_EQ(icon(main, 3, Row::Inc), Row::IconUnmarked);
    EXPECT_EQ(cell(main, 3, Row::Time), QStringLiteral("00:00:01"));
    EXPECT_EQ(cell(main, 4, Row::Time), QStringLiteral("00:00:02"));
    EXPECT_TRUE(cell(main, 4, Row::Range).isEmpty());

    main.SaveGridToFile();
    EXPECT_EQ(listBytes(QStringLiteral("Kept.flst")), text.toUtf8());
}

TEST_F(MainLists, AFileOfThreeGigabytesShowsItsRealSize)
{
    const QString big = TestEnv::workFolder() + QStringLiteral("/big.wav");
    ListFixtures::writeSparseWav(big, 3LL * 1024 * 1024 * 1024);
    writeList(QStringLiteral("Big.flst"), rec("1", "big", big) + "\r\n");

    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 1);
    EXPECT_EQ(cell(main, 1, Row::BytesSize), QStringLiteral("3221225472"));
    EXPECT_EQ(cell(main, 1, Row::Size), QStringLiteral("3.00 GB"));
    EXPECT_EQ(main.GetTotalSize(false), QStringLiteral("3.00 GB"));
    EXPECT_TRUE(main.PanelText(QStringLiteral("Items List Properties")).startsWith(QStringLiteral("1 Items, 3.00 GB, ")));
}

TEST_F(MainLists, ListStatusAndTotalsCountEveryRowOrTheMarkedOnes)
{
    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 0);
    const auto addRow = [&main](int mark, const char *time, const char *rangeAll, const char *rangeLength,
                                const char *bytes) {
        Row::Data row;
        row.incIcon = mark;
        row[Row::Time] = QString::fromUtf8(time);
        row[Row::RangeAll] = QString::fromUtf8(rangeAll);
        row[Row::RangeLength] = QString::fromUtf8(rangeLength);
        row[Row::BytesSize] = QString::fromUtf8(bytes);
        ItemsGrid::writeRow(*main.cGrid1, main.cGrid1->Rows() + 1, row);
    };
    for (int i = 0; i < 3; ++i)
        addRow(1, "00:01:00", "1", "", "1048576");
    main.DisplayGridInfoStatusBar();
    EXPECT_EQ(main.PanelText(QStringLiteral("Items List Properties")), QStringLiteral("3 Items, 3.00 MB, 00:03:00"));

    addRow(0, "01:02:03", "1", "", "0");         // unmarked whole item
    addRow(1, "00:10:00", "0", "90", "1000");    // range counts its length only
    addRow(1, "00:10:00", "0", "", "x");         // nothing to add
    EXPECT_EQ(main.GetTotalTime(false), QString::number(180 + 3723 + 90));
    EXPECT_EQ(main.GetTotalTime(true), QString::number(180 + 90));

    // Totals past 2 GiB keep every row.
    main.cGrid1->Clear();
    for (int i = 0; i < 3; ++i)
        addRow(1, "00:00:01", "1", "", "1000000000");
    EXPECT_EQ(main.GetTotalSize(false), QStringLiteral("2.79 GB"));
}

TEST_F(MainLists, InformationGridShowsTheSelectedItem)
{
    const QString mono = wav(QStringLiteral("mono.wav"), 3000, 8000, 1);
    const QString stereo = wav(QStringLiteral("stereo.wav"), 1000, 44100, 2);
    writeList(QStringLiteral("Info.flst"), rec("1", "Song one", mono) + rec("1", "Song two", stereo) + "\r\n");
    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 2);

    const auto info = [&main]() {
        QList<QPair<QString, QString>> rows;
        for (int r = 1; r <= main.cGridInfo->Rows(); ++r)
            rows.append({main.cGridInfo->CellText(r, 1), main.cGridInfo->CellText(r, 2)});
        return rows;
    };
    auto rows = info();
    ASSERT_EQ(rows.size(), 9);
    const QStringList names = {"File Name", "Total Time", "File Size", "Created", "Format",
                               "Samples", "Bitrate", "Channels", "Item"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(rows[i].first, names[i]);
    EXPECT_EQ(rows[0].second, QStringLiteral("Song one"));
    EXPECT_EQ(rows[1].second, QStringLiteral("00:00:03"));
    EXPECT_EQ(rows[2].second, cell(main, 1, Row::Size));
    EXPECT_FALSE(rows[3].second.isEmpty());
    EXPECT_EQ(rows[4].second, QStringLiteral("WAV"));
    EXPECT_EQ(rows[5].second, QStringLiteral("8000"));
    EXPECT_EQ(rows[6].second, QStringLiteral("128"));
    EXPECT_EQ(rows[7].second, QStringLiteral("MONO"));
    EXPECT_EQ(rows[8].second, QStringLiteral("1"));

    main.cGrid1->setSelectedRow(2);
    main.GetFileInfoToGridInfo();
    rows = info();
    EXPECT_EQ(rows[0].second, QStringLiteral("Song two"));
    EXPECT_EQ(rows[5].second, QStringLiteral("44100"));
    EXPECT_EQ(rows[7].second, QStringLiteral("STEREO"));
    EXPECT_EQ(rows[8].second, QStringLiteral("2"));
}

TEST_F(MainLists, RenamingAListByItsLabel)
{
    writeList(QStringLiteral("New Items List 1.flst"), QString());
    writeList(QStringLiteral("New Items List 2.flst"), QString());
    frmMain &main = load();
    cTreeNode *node = listNode(QStringLiteral("New Items List 1"));
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(ListLoads::show(main, node));

    struct Case {
        QString name;
        bool cancel;
        QStringList messages;
    };
    const QList<Case> refused = {
        {QStringLiteral("new items list 2"), true,
         {QStringLiteral("The Items List 'new items list 2' already exists. Please select a different name.")}},
        {QStringLiteral("a|b"), true, {}},
        {QString(), true, {}},
        {QStringLiteral("New Items List 1"), false, {}},
    };
    for (const Case &c : refused) {
        SCOPED_TRACE(c.name.toStdString());
        testServices().prompter->messages.clear();
        bool cancel = false;
        main.cTreeView1_AfterLabelEdit(node, c.name, cancel);
        EXPECT_EQ(cancel, c.cancel);
        EXPECT_EQ(testServices().prompter->messageTexts(), c.messages);
        EXPECT_EQ(node->Key(), folder + QStringLiteral("New Items List 1.flst"));
        EXPECT_TRUE(QFileInfo(folder + QStringLiteral("New Items List 1.flst")).isFile());
    }

    bool cancel = false;
    main.cTreeView1_AfterLabelEdit(node, QStringLiteral("Road trip"), cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(node->Key(), folder + QStringLiteral("Road trip.flst"));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("Road trip.flst")).isFile());
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("New Items List 1.flst")));
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Road trip"));

    // A root is no file: the rename fails with the system's reason.
    testServices().prompter->messages.clear();
    cTreeNode *root = g_oItemsListsRoot;
    const QString rootKey = root->Key();
    cancel = false;
    main.cTreeView1_AfterLabelEdit(root, QStringLiteral("Mine"), cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(root->Key(), rootKey);
    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_TRUE(testServices().prompter->messages[0].text.endsWith(QStringLiteral(").") + QString(28, ' ')));
    EXPECT_EQ(testServices().prompter->messages[0].icon(), Msg::Information);
}

TEST_F(MainLists, RemovingAList)
{
    const QString a = wav(QStringLiteral("a.wav"), 1000);
    writeList(QStringLiteral("Only.flst"), rec("1", "one", a) + "\r\n");
    frmMain &main = load();
    main.RemoveItemsList();
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("Only.flst")).isFile());
    EXPECT_EQ(g_oItemsListsRoot->Child().Count(), 1);

    writeList(QStringLiteral("Empty.flst"), QString());
    main.setTree();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Only"))));
    testServices().prompter->answers = {Msg::No};
    main.RemoveItemsList();
    ASSERT_EQ(testServices().prompter->messageTexts(),
              QStringList{QStringLiteral("This operation will erase all the items under the 'Only.flst', are you sure?")});
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("Only.flst")).isFile());

    testServices().prompter->answers = {Msg::Yes};
    main.RemoveItemsList();
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("Only.flst")));
    ASSERT_EQ(g_oItemsListsRoot->Child().Count(), 1);
    EXPECT_EQ(main.cTreeView1->SelectedItem()->Text(), QStringLiteral("Empty"));
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Empty"));

    // A list without items goes without a question.
    writeList(QStringLiteral("Other.flst"), QString());
    main.setTree();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Empty"))));
    testServices().prompter->messages.clear();
    main.RemoveItemsList();
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("Empty.flst")));
}

TEST_F(MainLists, SavingWritesOnlyTheListTheGridWasReadFrom)
{
    const QString a = wav(QStringLiteral("a.wav"), 1000);
    const QString text = rec("1", "one", a) + "\r\n";
    writeList(QStringLiteral("A.flst"), text);
    writeList(QStringLiteral("B.flst"), text);
    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 1);

    // With a root clicked the grid is empty and no file is touched.
    EXPECT_TRUE(ListLoads::show(main, g_oItemsListsRoot));
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    main.SaveGridToFile();
    EXPECT_EQ(listBytes(QStringLiteral("A.flst")), text.toUtf8());

    // A list that could not be read is reported and never saved over.
    QFile::remove(folder + QStringLiteral("B.flst"));
    QDir(folder).mkdir(QStringLiteral("B.flst"));
    testServices().prompter->messages.clear();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("B"))));
    EXPECT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    main.SaveGridToFile();
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("B.flst")).isDir());

    // Selecting another list by keyboard, without loading it, saves nothing into it.
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("A"))));
    writeList(QStringLiteral("C.flst"), QString());
    main.setTree();
    listNode(QStringLiteral("C"))->setSelected(true);
    main.SaveGridToFile();
    EXPECT_EQ(listBytes(QStringLiteral("C.flst")), QByteArray());

    // A list renamed elsewhere keeps its node, which takes the new key: its
    // changes are still saved, into the renamed file.
    cTreeNode *listA = listNode(QStringLiteral("A"));
    EXPECT_TRUE(ListLoads::show(main, listA));
    ASSERT_EQ(main.cGrid1->Rows(), 1);
    ASSERT_TRUE(QFile::rename(folder + QStringLiteral("A.flst"), folder + QStringLiteral("A2.flst")));
    ASSERT_TRUE(listA->setKey(folder + QStringLiteral("A2.flst")));
    main.cGrid1->RemoveRow(1);
    main.SaveGridToFile();
    EXPECT_EQ(listBytes(QStringLiteral("A2.flst")), QByteArray("\r\n"));
}

TEST_F(MainLists, LoadingFollowsTheOptions)
{
    // The folder option as typed, without its final slash.
    const QString lists = TestEnv::workFolder() + QStringLiteral("/my lists");
    g_sItemsListMainDirectory = lists;
    const QString a = taggedWav(QStringLiteral("a.wav"), 1000, QStringLiteral("Title"), QStringLiteral("File artist"),
                                QStringLiteral("Album"));
    QList<ItemsListFile::Record> records;
    for (int i = 1; i <= 5; ++i) {
        ItemsListFile::Record r;
        r[ItemsListFile::FieldInc] = QStringLiteral("1");
        r[ItemsListFile::FieldType] = QStringLiteral("Audio");
        r[ItemsListFile::FieldItemName] = QString::number(i);
        r[ItemsListFile::FieldFile] = a;
        r[ItemsListFile::FieldRangeAll] = QStringLiteral("1");
        // The last item has no stored tags.
        if (i < 5)
            r[ItemsListFile::FieldTagArtist] = QStringLiteral("Stored artist");
        records << r;
    }
    QDir().mkpath(lists);
    ASSERT_TRUE(ItemsListFile::write(lists + QStringLiteral("/Five.flst"), records));

    frmMain &main = load();
    EXPECT_EQ(g_oItemsListsRoot->Key(), QStringLiteral("##MAINITEMS") + lists + QStringLiteral("/"));
    ASSERT_EQ(main.cGrid1->Rows(), 5);
    EXPECT_EQ(main.cGrid1->SelectedRow(), 1);
    EXPECT_EQ(cell(main, 1, Row::TagArtist), QStringLiteral("Stored artist"));
    EXPECT_TRUE(cell(main, 5, Row::TagArtist).isEmpty());

    // Copying the file's tags fills only the item that has none stored.
    g_bSelectTheLastItem = true;
    g_bCopyID3FromSource = true;
    EXPECT_TRUE(ListLoads::show(main, main.cTreeView1->SelectedItem()));
    EXPECT_EQ(main.cGrid1->SelectedRow(), 5);
    EXPECT_EQ(cell(main, 1, Row::TagArtist), QStringLiteral("Stored artist"));
    EXPECT_EQ(cell(main, 5, Row::TagArtist), QStringLiteral("File artist"));
    EXPECT_EQ(cell(main, 5, Row::TagTitle), QStringLiteral("Title"));
}

namespace {

// Big lists: a list of 10,000 rows and one of two, written by hand.
class BigLists : public MainLists {
protected:
    static constexpr int kBigRows = 10000;

    frmMain &loadSmallFirst()
    {
        QStringList files;
        for (int i = 0; i < 20; ++i)
            files << wav(QStringLiteral("f%1.wav").arg(i), 500 + 100 * i);
        QString big;
        for (int i = 0; i < kBigRows; ++i)
            big += rec(i % 3 ? "1" : "0", QStringLiteral("item %1").arg(i), files.at(i % files.size()));
        writeList(QStringLiteral("Big.flst"), big + "\r\n");
        writeList(QStringLiteral("Small.flst"), rec("1", "one", files.at(0)) + rec("0", "two", files.at(1)) + "\r\n");
        bigBefore = listBytes(QStringLiteral("Big.flst"));
        smallBefore = listBytes(QStringLiteral("Small.flst"));
        frmMain &main = load();
        EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Small"))));
        main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
        return main;
    }

    // Starts the big list and calls act once, between two batches of its
    // rows, from a zero timer: the event loop is served while it fills in.
    static bool duringTheBigLoad(frmMain &main, const std::function<void()> &act)
    {
        bool acted = false;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (acted || !main.isLoadingList() || main.cGrid1->Rows() == 0)
                return;
            acted = true;
            act();
        });
        poll.start();
        main.cTreeView1_NodeClick(listNode(QStringLiteral("Big")));
        EXPECT_TRUE(waitUntil([&] { return acted || !main.isLoadingList(); }, 60000));
        poll.stop();
        return acted;
    }

    QByteArray bigBefore;
    QByteArray smallBefore;
};

} // namespace

// The big list fills in while clicks are served: one on the other list
// shows that list, and neither list file is written.
TEST_F(BigLists, AClickOnAnotherListDuringALoadShowsItAndWritesNeither)
{
    frmMain &main = loadSmallFirst();
    cTreeNode *small = listNode(QStringLiteral("Small"));
    int rowsAtClick = 0;
    const bool clicked = duringTheBigLoad(main, [&] {
        rowsAtClick = main.cGrid1->Rows();
        const QPoint at = main.cTreeView1->viewport()->mapTo(&main, main.cTreeView1->nodeRect(small).center());
        QTest::mouseClick(main.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    });
    ASSERT_TRUE(clicked);
    EXPECT_GT(rowsAtClick, 0);
    EXPECT_LT(rowsAtClick, kBigRows);
    ASSERT_TRUE(ListLoads::settle(main));

    EXPECT_EQ(main.cTreeView1->SelectedItem(), small);
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Small"));
    ASSERT_EQ(main.cGrid1->Rows(), 2);
    EXPECT_EQ(cell(main, 1, Row::ItemName), QStringLiteral("one"));
    EXPECT_TRUE(main.prgStatus->isHidden());
    // What was shown of the big list is no whole list: nothing is saved
    // from it, now or by a command that saves.
    main.SaveGridToFile();
    EXPECT_EQ(listBytes(QStringLiteral("Big.flst")), bigBefore);
    EXPECT_EQ(listBytes(QStringLiteral("Small.flst")), smallBefore);

    // Left alone, the big list loads whole.
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Big"))));
    ASSERT_EQ(main.cGrid1->Rows(), kBigRows);
    EXPECT_EQ(cell(main, kBigRows, Row::ItemName), QStringLiteral("item %1").arg(kBigRows - 1));
    EXPECT_EQ(icon(main, 1, Row::Inc), Row::IconUnmarked);
    EXPECT_EQ(icon(main, 2, Row::Inc), Row::IconMarked);
    main.SaveGridToFile();
    EXPECT_EQ(listBytes(QStringLiteral("Big.flst")), bigBefore);
}

// A mark changed while the list fills in is kept, and written once the list
// is whole; commands that need every row wait for them.
TEST_F(BigLists, ChangesDuringALoadAreSavedOnceTheListIsWhole)
{
    frmMain &main = loadSmallFirst();
    QByteArray whileLoading;
    bool savingWhileLoading = true;
    const bool marked = duringTheBigLoad(main, [&] {
        main.cGrid1->setCellIcon(1, main.cGrid1->ColumnIndex(Row::Inc), Row::IconMarked);
        main.SaveGridToFile();
        // Not written, nor waiting to be: a half-read list is never saved.
        savingWhileLoading = main.listStore().saving();
        whileLoading = ListFixtures::readBytes(folder + QStringLiteral("Big.flst"));
        // Every row marked: that needs them all.
        main.m_cMenu_Click(main.menu().IndexForKey(QStringLiteral("MarkUnmark All")));
    });
    ASSERT_TRUE(marked);
    EXPECT_FALSE(savingWhileLoading);
    EXPECT_EQ(whileLoading, bigBefore);
    ASSERT_TRUE(ListLoads::settle(main));
    ASSERT_EQ(main.cGrid1->Rows(), kBigRows);
    // Row 1 was marked by hand, so "MarkUnmark All" found a mark: all unmarked.
    for (int r : {1, 2, kBigRows})
        EXPECT_EQ(icon(main, r, Row::Inc), Row::IconUnmarked) << r;
    const QByteArray saved = listBytes(QStringLiteral("Big.flst"));
    EXPECT_EQ(saved, gridAsFile(main));
    EXPECT_EQ(int(ItemsListFile::recordPieces(QString::fromUtf8(saved)).size()), kBigRows);
}

// Closing the window while a list fills in stops the load and writes nothing.
TEST_F(BigLists, ExitDuringALoadLeavesTheListAsItWas)
{
    frmMain &main = loadSmallFirst();
    g_bDisplayMSGWhenExit = false;
    const bool closed = duringTheBigLoad(main, [&] { Forms::unload(&main); });
    ASSERT_TRUE(closed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    flushEvents();
    EXPECT_EQ(Forms::main(), nullptr);
    EXPECT_EQ(ListFixtures::readBytes(folder + QStringLiteral("Big.flst")), bigBefore);
    EXPECT_EQ(ListFixtures::readBytes(folder + QStringLiteral("Small.flst")), smallBefore);
}
