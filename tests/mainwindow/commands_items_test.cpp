#include "support/MainWindowFixture.h"

#include "lists/frmItem.h"

#include <QSignalSpy>

namespace {

namespace Row = ItemsListRow;

class ItemCommands : public MainWindowTest {
protected:
    // A, B, C, D with only C marked.
    frmMain &loadFour()
    {
        QString records;
        for (const char *name : {"A", "B", "C", "D"}) {
            const QString file = wav(QString::fromLatin1(name) + QStringLiteral(".wav"));
            records += rec(QLatin1String(name) == QLatin1String("C") ? QStringLiteral("1") : QStringLiteral("0"),
                           QString::fromLatin1(name), file);
        }
        writeList(QStringLiteral("Four.flst"), records);
        frmMain &main = loadMain();
        EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Four"))));
        return main;
    }

    static int mark(frmMain &main, int row)
    {
        return main.cGrid1->CellIcon(row, main.cGrid1->ColumnIndex(Row::key(Row::Inc)));
    }
};

TEST_F(ItemCommands, MovesExchangeTheSelectedRowAndWriteTheList)
{
    const struct {
        const char *key;
        int selected;
        QStringList order;
        int selectedAfter;
    } cases[] = {
        {"Move Up", 3, {"A", "C", "B", "D"}, 2},
        {"Move Up", 1, {"A", "B", "C", "D"}, 1},
        {"Move Down", 2, {"A", "C", "B", "D"}, 3},
        {"Move Down", 4, {"A", "B", "C", "D"}, 4},
        // One exchange, not a shift: the rows between stay.
        {"Move To First", 3, {"C", "B", "A", "D"}, 1},
        {"Move To First", 1, {"A", "B", "C", "D"}, 1},
        {"Move To Last", 2, {"A", "D", "C", "B"}, 4},
        {"Move To Last", 4, {"A", "B", "C", "D"}, 4},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(std::string(test.key) + " from row " + std::to_string(test.selected));
        frmMain &main = loadFour();
        main.cGrid1->setSelectedRow(test.selected);
        QFile::remove(folder + QStringLiteral("Four.flst"));
        run(main, QString::fromLatin1(test.key));
        EXPECT_EQ(names(main), test.order);
        EXPECT_EQ(main.cGrid1->SelectedRow(), test.selectedAfter);
        // Written whether or not a row moved.
        EXPECT_EQ(listBytes(QStringLiteral("Four.flst")), gridAsFile(main));
        Forms::unload(&main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ItemCommands, AMovedRowTakesItsMarkFileAndTagsAlong)
{
    frmMain &main = loadFour();
    const int title = main.cGrid1->ColumnIndex(Row::key(Row::TagTitle));
    main.cGrid1->SetCell(3, title, QStringLiteral("Title C"));
    const QString fileC = cell(main, 3, Row::File);
    main.cGrid1->setSelectedRow(3);
    run(main, QStringLiteral("Move To First"));
    EXPECT_EQ(mark(main, 1), Row::IconMarked);
    EXPECT_EQ(mark(main, 3), Row::IconUnmarked);
    EXPECT_EQ(cell(main, 1, Row::File), fileC);
    EXPECT_EQ(main.cGrid1->CellText(1, title), QStringLiteral("Title C"));
    EXPECT_EQ(cell(main, 3, Row::ItemName), QStringLiteral("A"));
}

TEST_F(ItemCommands, MarkUnmarkAllUnmarksWhenAnyIsMarkedElseMarksAll)
{
    frmMain &main = loadFour();
    run(main, QStringLiteral("MarkUnmark All"));
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(mark(main, row), Row::IconUnmarked);
    EXPECT_EQ(listBytes(QStringLiteral("Four.flst")), gridAsFile(main));
    run(main, QStringLiteral("MarkUnmark All"));
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(mark(main, row), Row::IconMarked);
    EXPECT_EQ(listBytes(QStringLiteral("Four.flst")), gridAsFile(main));
}

TEST_F(ItemCommands, RemovalAndClearingRunAfterTheCommandAndKeepTheFiles)
{
    frmMain &main = loadFour();
    const QString fileB = cell(main, 2, Row::File);
    main.cGrid1->setSelectedRow(2);
    run(main, QStringLiteral("Remove Item"));
    EXPECT_EQ(main.cGrid1->Rows(), 4); // not yet
    ASSERT_TRUE(waitUntil([&main] { return main.cGrid1->Rows() == 3; }, 5000));
    EXPECT_EQ(names(main), (QStringList{"A", "C", "D"}));
    EXPECT_TRUE(QFile::exists(fileB));

    testServices().prompter->answers << Msg::Yes;
    run(main, QStringLiteral("Clear the List"));
    EXPECT_EQ(main.cGrid1->Rows(), 3);
    ASSERT_TRUE(waitUntil([&main] { return main.cGrid1->Rows() == 0; }, 5000));
    EXPECT_EQ(messages().value(0), QStringLiteral("This operation will erase all the items under the 'Four' list.\r\n\r\n"
                                                  "Are you sure?"));
    for (const char *name : {"A", "B", "C", "D"})
        EXPECT_TRUE(QFile::exists(TestEnv::workFolder() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".wav")));
}

TEST_F(ItemCommands, OfRemovalAndClearingAskedTogetherOnlyTheLaterRuns)
{
    const QString clearQuestion =
        QStringLiteral("This operation will erase all the items under the 'Four' list.\r\n\r\nAre you sure?");
    const QString removeQuestion =
        QStringLiteral("This operation will erase the B under the 'Four'.\r\n\r\nContinue?");
    const struct {
        const char *first;
        const char *later;
        QStringList names;
        QString question;
    } cases[] = {
        {"Remove Item", "Clear the List", {}, clearQuestion},
        {"Clear the List", "Remove Item", {"A", "C", "D"}, removeQuestion},
    };
    g_bDisplayMSGWhenErase = true;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.later);
        frmMain &main = loadFour();
        main.cGrid1->setSelectedRow(2);
        testServices().prompter->messages.clear();
        testServices().prompter->answers = {Msg::Yes, Msg::Yes};
        QSignalSpy due(&main, &frmMain::DeferredChangeDue);
        run(main, QString::fromLatin1(c.first));
        run(main, QString::fromLatin1(c.later));
        ASSERT_TRUE(waitForSignal(due, 1, 5000));
        EXPECT_TRUE(due.first().at(0).toBool());
        EXPECT_EQ(names(main), c.names);
        EXPECT_EQ(messages(), QStringList{c.question});
        Forms::unload(&main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ItemCommands, CommandsOnAnEmptyListDoNothing)
{
    writeList(QStringLiteral("Empty.flst"), QString());
    frmMain &main = loadMain();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Empty"))));
    QFile::remove(folder + QStringLiteral("Empty.flst"));
    for (const char *key :
         {"Rename Item", "Remove Item", "Clear the List", "Move Up", "Move Down", "Move To First", "Move To Last"}) {
        SCOPED_TRACE(key);
        run(main, QString::fromLatin1(key));
    }
    flushEvents();
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("Empty.flst")));
    EXPECT_TRUE(messages().isEmpty());
    // Marking every row of no rows still writes the (empty) list.
    run(main, QStringLiteral("MarkUnmark All"));
    EXPECT_TRUE(ListLoads::settle(main));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("Empty.flst")));
}

TEST_F(ItemCommands, RenameItemOpensTheSelectedItemsProperties)
{
    frmMain &main = loadFour();
    main.cGrid1->setSelectedRow(2);
    main.cGrid1->setSelectedCol(5);
    QString shown;
    onNextModal([&shown](QWidget *w) {
        if (qobject_cast<frmItem *>(w))
            shown = QStringLiteral("item");
    });
    run(main, QStringLiteral("Rename Item"));
    EXPECT_EQ(shown, QStringLiteral("item"));
}

} // namespace
