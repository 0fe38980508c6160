#include "commands_fixture.h"

#include "lists/frmStat.h"
#include "settings/OptionSettings.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

namespace Row = ItemsListRow;

namespace {

class GridCommands : public ListWindowTest {
protected:
    void TearDown() override
    {
        g_bDisplayMSGWhenErase = false;
        ListWindowTest::TearDown();
    }

    // "Songs" of three items, the first marked, and "Other" of one; Songs is
    // shown with its window on screen.
    frmMain &loadSongs()
    {
        a = wav(QStringLiteral("a.wav"), 1000);
        b = wav(QStringLiteral("b.wav"), 1000);
        c = wav(QStringLiteral("c.wav"), 1000);
        writeList(QStringLiteral("Songs.flst"), rec("1", "one", a) + rec("0", "two", b) + rec("0", "three", c));
        writeList(QStringLiteral("Other.flst"), rec("1", "else", a));
        frmMain &main = load();
        EXPECT_TRUE(ListLoads::show(main, nodeByKey(folder + QStringLiteral("Songs.flst"))));
        main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
        EXPECT_EQ(main.cGrid1->Rows(), 3);
        return main;
    }

    static cTreeNode *nodeByKey(const QString &key)
    {
        cTreeNodes lists = g_oItemsListsRoot->Child();
        for (int i = 1; i <= lists.Count(); ++i) {
            if (lists.Item(i)->Key() == key)
                return lists.Item(i);
        }
        return nullptr;
    }

    // A point dx pixels into a cell, in the grid's viewport.
    static QPoint inCell(frmMain &main, int row, int col, int dx)
    {
        return main.cGrid1->viewport()->mapFrom(main.cGrid1, main.cGrid1->cellPosition(row, col) + QPoint(dx, 4));
    }

    static void click(frmMain &main, const QPoint &at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(main.cGrid1->viewport(), Qt::LeftButton, modifiers, at);
    }

    QStringList folderFiles() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }

    QString a, b, c;
};

TEST_F(GridCommands, OnlyAClickOnTheMarkItselfTogglesIt)
{
    frmMain &main = loadSongs();
    const struct {
        int row, col, dx;
        bool toggles;
    } clicks[] = {
        {2, 1, 5, true},    // 75 twips into the mark column
        {3, 1, 19, true},   // 285 twips
        {1, 1, 22, false},  // 330 twips: still the mark column, past the mark
        {1, 3, 10, false},  // the name
        {2, 7, 10, false},  // the range
    };
    for (const auto &k : clicks) {
        SCOPED_TRACE(testing::Message() << "row " << k.row << " col " << k.col << " dx " << k.dx);
        const int before = icon(main, k.row, Row::Inc);
        const QByteArray file = listBytes(QStringLiteral("Songs.flst"));
        click(main, inCell(main, k.row, k.col, k.dx));
        ASSERT_EQ(main.cGrid1->SelectedRow(), k.row);
        if (k.toggles) {
            EXPECT_EQ(icon(main, k.row, Row::Inc), before == Row::IconMarked ? Row::IconUnmarked : Row::IconMarked);
            EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), gridAsFile(main));
        } else {
            EXPECT_EQ(icon(main, k.row, Row::Inc), before);
            EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), file);
        }
    }
    EXPECT_EQ(main.CountMarkedItems(), 3);

    // A data track's mark stays as it is.
    main.cGrid1->SetCell(1, main.cGrid1->ColumnIndex(QStringLiteral("Type")), QString(), cGrid::IconCellFormat,
                         Row::IconData);
    click(main, inCell(main, 1, 1, 5));
    EXPECT_EQ(icon(main, 1, Row::Inc), Row::IconMarked);
}

TEST_F(GridCommands, RemovingRowsChangesTheListAndNoFile)
{
    // A file named as the list's key followed by an item's name, which a
    // removal must not take for anything of its own.
    const QString decoy = folder + QStringLiteral("Songs.flstone");
    ListFixtures::writeBytes(decoy, "keep me");
    frmMain &main = loadSongs();
    const QByteArray other = listBytes(QStringLiteral("Other.flst"));
    const QStringList filesBefore = folderFiles();

    click(main, inCell(main, 1, 3, 10));
    click(main, inCell(main, 3, 3, 10), Qt::ControlModifier);
    ASSERT_TRUE(main.cGrid1->RowSelected(1));
    ASSERT_FALSE(main.cGrid1->RowSelected(2));
    ASSERT_TRUE(main.cGrid1->RowSelected(3));
    main.RemoveSelectedItems();

    ASSERT_EQ(main.cGrid1->Rows(), 1);
    EXPECT_EQ(cell(main, 1, Row::ItemName), QStringLiteral("two"));
    EXPECT_EQ(main.cGrid1->SelectedRow(), 1);
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), (rec("0", "two", b) + QStringLiteral("\r\n")).toUtf8());
    EXPECT_TRUE(main.picEmptyMsg->isHidden());
    EXPECT_TRUE(main.PanelText(QStringLiteral("Items List Properties")).startsWith(QStringLiteral("1 Items, ")));
    EXPECT_EQ(folderFiles(), filesBefore);
    EXPECT_EQ(ListFixtures::readBytes(decoy), QByteArray("keep me"));
    EXPECT_EQ(listBytes(QStringLiteral("Other.flst")), other);
    for (const QString &audio : {a, b, c})
        EXPECT_TRUE(QFileInfo::exists(audio)) << audio.toStdString();

    // The last row out leaves an empty list saved empty.
    main.RemoveSelectedItems();
    EXPECT_EQ(main.cGrid1->Rows(), 0);
    EXPECT_FALSE(main.picEmptyMsg->isHidden());
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), QByteArray("\r\n"));
    EXPECT_EQ(folderFiles(), filesBefore);
}

TEST_F(GridCommands, TheEraseQuestionNamesTheSelectedRowAndNoKeepsEverything)
{
    g_bDisplayMSGWhenErase = true;
    frmMain &main = loadSongs();
    const QByteArray before = listBytes(QStringLiteral("Songs.flst"));
    main.cGrid1->setSelectedRow(2);
    testServices().prompter->answers << Msg::No;
    main.RemoveSelectedItems();
    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(messages().first(),
              QStringLiteral("This operation will erase the two under the 'Songs'.\r\n\r\nContinue?"));
    EXPECT_EQ(testServices().prompter->messages.first().buttons(), int(Msg::YesNo));
    EXPECT_EQ(main.cGrid1->Rows(), 3);
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), before);

    testServices().prompter->answers << Msg::Yes;
    main.RemoveSelectedItems();
    EXPECT_EQ(main.cGrid1->Rows(), 2);
    EXPECT_EQ(cell(main, 2, Row::ItemName), QStringLiteral("three"));
}

TEST_F(GridCommands, RemovalRunsAfterTheCommandHasReturned)
{
    frmMain &main = loadSongs();
    main.cGrid1->setSelectedRow(3);
    main.requestRemoveSelectedItems();
    EXPECT_EQ(main.cGrid1->Rows(), 3);
    EXPECT_TRUE(waitUntil([&] { return main.cGrid1->Rows() == 2; }, 5000));
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), gridAsFile(main));
}

TEST_F(GridCommands, ARemovalAskedForBeforeAnAddWaitsForTheAddToEnd)
{
    frmMain &main = loadSongs();
    QStringList paths;
    for (int i = 1; i <= 6; ++i)
        paths << wav(QStringLiteral("new%1.wav").arg(i), 1000);
    // The message about a file that cannot be added holds the add.
    const QString bad = TestEnv::workFolder() + QStringLiteral("/bad.wav");
    ListFixtures::writeBytes(bad, "this is not audio at all");
    paths.insert(3, bad);
    main.cGrid1->setSelectedRow(3);
    main.requestRemoveSelectedItems();

    // Hold the add until the removal's time has come: it waits again.
    QSignalSpy due(&main, &frmMain::DeferredChangeDue);
    bool held = false;
    testServices().prompter->whileShown = [&](const MessageRequest &) {
        held = true;
        EXPECT_NE(g_frmStat, nullptr);
        EXPECT_TRUE(waitForSignal(due, 1, 5000));
    };
    // The rows are counted as the add ends: the removal may come right after.
    int added = -1;
    int rowsAtEnd = -1;
    ASSERT_TRUE(AddFiles::addToSelectedList(main, paths, [&](int n) {
        added = n;
        rowsAtEnd = main.cGrid1->Rows();
    }));
    ASSERT_TRUE(waitUntil([&] { return added >= 0; }, 60000));
    testServices().prompter->whileShown = nullptr;
    EXPECT_EQ(added, 6);
    ASSERT_TRUE(held);
    ASSERT_FALSE(due.isEmpty());
    EXPECT_FALSE(due.first().at(0).toBool());
    EXPECT_EQ(rowsAtEnd, 9);

    EXPECT_TRUE(waitUntil([&] { return main.cGrid1->Rows() == 8; }, 5000));
    int listed = 0;
    for (int r = 1; r <= main.cGrid1->Rows(); ++r)
        listed += paths.contains(cell(main, r, Row::File)) ? 1 : 0;
    EXPECT_EQ(listed, 6);
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), gridAsFile(main));
}

TEST_F(GridCommands, ADeferredChangeIsDroppedWhenAnotherListIsShownFirst)
{
    const struct {
        const char *what;
        void (frmMain::*request)();
    } cases[] = {
        {"removing", &frmMain::requestRemoveSelectedItems},
        {"clearing", &frmMain::requestClearTheList},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        frmMain &main = loadSongs();
        const QByteArray songs = listBytes(QStringLiteral("Songs.flst"));
        const QByteArray other = listBytes(QStringLiteral("Other.flst"));
        testServices().prompter->answers << Msg::Yes;
        main.cGrid1->setSelectedRow(1);
        QSignalSpy due(&main, &frmMain::DeferredChangeDue);
        (main.*c.request)();
        // The user picks another list before the change's time has come.
        EXPECT_TRUE(ListLoads::show(main, nodeByKey(folder + QStringLiteral("Other.flst"))));
        ASSERT_TRUE(waitUntil([&] { return !due.isEmpty() && due.last().at(0).toBool(); }, 5000));

        EXPECT_EQ(main.cGrid1->Rows(), 1);
        EXPECT_EQ(listBytes(QStringLiteral("Other.flst")), other);
        EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), songs);
        EXPECT_TRUE(messages().isEmpty());
        testServices().prompter->answers.clear();
        Forms::unload(&main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(GridCommands, ClearingAsksAndLeavesTheFileHoldingCrLfOnly)
{
    const QString question = QStringLiteral("This operation will erase all the items under the 'Songs' list.\r\n\r\n"
                                            "Are you sure?");
    frmMain &main = loadSongs();
    const QByteArray before = listBytes(QStringLiteral("Songs.flst"));
    const QByteArray other = listBytes(QStringLiteral("Other.flst"));

    testServices().prompter->answers << Msg::No;
    main.ClearTheList(false);
    EXPECT_EQ(messages(), QStringList{question});
    EXPECT_EQ(testServices().prompter->messages.first().icon(), int(Msg::Exclamation));
    EXPECT_EQ(main.cGrid1->Rows(), 3);
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), before);

    testServices().prompter->answers << Msg::Yes;
    main.requestClearTheList();
    EXPECT_TRUE(waitUntil([&] { return main.cGrid1->Rows() == 0; }, 5000));
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), QByteArray("\r\n"));
    EXPECT_FALSE(main.picEmptyMsg->isHidden());
    EXPECT_EQ(main.lblListName->text(), QStringLiteral("Songs"));
    EXPECT_EQ(listBytes(QStringLiteral("Other.flst")), other);
    for (const QString &audio : {a, b, c})
        EXPECT_TRUE(QFileInfo::exists(audio)) << audio.toStdString();

    // An empty list asks nothing.
    testServices().prompter->messages.clear();
    main.ClearTheList(false);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(GridCommands, MarkedRowsAreCountedAndHandedToAToolsGrid)
{
    const QString d = wav(QStringLiteral("d.wav"), 1000);
    writeList(QStringLiteral("Four.flst"), rec("0", "r1", d) + rec("1", "r2", d, "0", "5", "10") + rec("0", "r3", d)
                                                + rec("1", "r4", d));
    frmMain &main = load();
    EXPECT_TRUE(ListLoads::show(main, nodeByKey(folder + QStringLiteral("Four.flst"))));
    ASSERT_EQ(main.cGrid1->Rows(), 4);
    EXPECT_EQ(main.CountMarkedItems(), 2);

    cGrid marked;
    ItemsGrid::InitItemsGrid(marked, nullptr, ItemsGrid::Variant::Tool);
    frmMain::CopyGridRows(main.cGrid1, &marked, true);
    ASSERT_EQ(marked.Rows(), 2);
    EXPECT_EQ(marked.CellText(1, 3), QStringLiteral("r2"));
    EXPECT_EQ(marked.CellText(1, marked.ColumnIndex(QStringLiteral("Range"))), QStringLiteral("00:00:05 - 00:00:15"));
    EXPECT_EQ(marked.CellText(2, 3), QStringLiteral("r4"));
    EXPECT_EQ(marked.CellIcon(1, 1), -1);
    EXPECT_EQ(marked.SelectedRow(), 1);
    for (int col = 2; col <= main.cGrid1->Columns(); ++col)
        EXPECT_EQ(marked.CellText(2, col), main.cGrid1->CellText(4, col)) << col;

    cGrid all;
    ItemsGrid::InitItemsGrid(all, nullptr, ItemsGrid::Variant::Tool);
    frmMain::CopyGridRows(main.cGrid1, &all, false);
    ASSERT_EQ(all.Rows(), 4);
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(all.CellIcon(r, 1), icon(main, r, Row::Inc)) << r;

    cGrid none;
    ItemsGrid::InitItemsGrid(none, nullptr, ItemsGrid::Variant::Tool);
    EXPECT_TRUE(ListLoads::show(main, g_oItemsListsRoot));
    EXPECT_EQ(main.CountMarkedItems(), 0);
    frmMain::CopyGridRows(main.cGrid1, &none, true);
    EXPECT_EQ(none.Rows(), 0);
}

} // namespace
