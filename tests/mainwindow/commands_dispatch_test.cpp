#include "support/MainWindowFixture.h"

#include "controls/ui/cStatusBar.h"
#include "controls/ui/cToolbar.h"
#include "tools/splitjoin/frmSplitter.h"

#include <QAbstractButton>
#include <QMenu>

#include <QSignalSpy>

namespace {

using Dispatcher = MainWindowTest;

const QString kSelectList = QStringLiteral("Select the Items List.") + QString(40, QLatin1Char(' '));

TEST_F(Dispatcher, StopsThePlayerBeforeTheCommandAndRefreshesAfterIt)
{
    frmMain &main = loadSongs();
    g_oItemsListsRoot->setSelected(true);
    int messagesAtStop = -1;
    QObject::connect(&main, &frmMain::PlayerStopRequested, &main,
                     [&messagesAtStop] { messagesAtStop = int(testServices().prompter->messages.size()); });

    // The splitter's gate on the root speaks and loads the first list.
    run(main, QStringLiteral("Audio Splitter"));
    EXPECT_EQ(messagesAtStop, 0);
    EXPECT_EQ(messages(), QStringList{kSelectList});
    EXPECT_TRUE(ListLoads::settle(main));

    // A command that runs to its end is followed by the item information.
    clearInfo(main);
    run(main, QStringLiteral("Move Down"));
    EXPECT_TRUE(infoRefreshed(main));
}

TEST_F(Dispatcher, ItemNumberZeroOnlyStopsThePlayer)
{
    frmMain &main = loadSongs();
    QSignalSpy stops(&main, &frmMain::PlayerStopRequested);
    clearInfo(main);
    main.m_cMenu_Click(0);
    main.m_cMenu_Click(main.menu().IndexForKey(QStringLiteral("no such key")));
    EXPECT_EQ(stops.count(), 2);
    EXPECT_FALSE(infoRefreshed(main));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Dispatcher, KeysWithoutAnActionRefreshAndDoNothingElse)
{
    frmMain &main = loadSongs();
    const QByteArray before = listBytes(QStringLiteral("Songs.flst"));
    for (const char *key : {"Add Directories", "Remove"}) {
        SCOPED_TRACE(key);
        clearInfo(main);
        EXPECT_EQ(run(main, QString::fromLatin1(key)), frmMain::CommandRun::Done);
        EXPECT_TRUE(infoRefreshed(main));
    }
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(testServices().prompter->openRequests.isEmpty());
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), before);
    EXPECT_EQ(Forms::main(), &main);
}

// A key no command has is a caller's fault: it fails, and nothing runs, not
// even the player's stop or the refresh.
TEST_F(Dispatcher, AnUnknownKeyFailsAndRunsNothing)
{
    frmMain &main = loadSongs();
    const QByteArray before = listBytes(QStringLiteral("Songs.flst"));
    QSignalSpy stops(&main, &frmMain::PlayerStopRequested);
    // Exact keys: a wrong letter case is no command.
    for (const char *key : {"Burn From List", "Burn From Files", "Live Update", "add files", "", "mnuAdd", "st1"}) {
        SCOPED_TRACE(key);
        clearInfo(main);
        EXPECT_FALSE(main.isCommand(QString::fromLatin1(key)));
        EXPECT_EQ(run(main, QString::fromLatin1(key)), frmMain::CommandRun::Unknown);
        EXPECT_FALSE(infoRefreshed(main));
    }
    EXPECT_EQ(stops.count(), 0);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), before);
    EXPECT_EQ(Forms::main(), &main);
}

// Every item of the menus and every key the toolbars and the status panels
// ask for reaches a command of the table.
TEST_F(Dispatcher, EveryMenuToolbarAndPanelKeyIsACommand)
{
    frmMain &main = loadSongs();
    main.show();
    const cContextMenu &menu = main.menu();
    int items = 0;
    for (qint32 i = 1; i <= menu.Count(); ++i) {
        // Holders sit at the top; separators carry no command.
        if (menu.ItemParent(i) == 0 || menu.ItemCaption(i) == QLatin1String("-"))
            continue;
        ++items;
        EXPECT_TRUE(main.isCommand(menu.ItemKey(i))) << menu.ItemKey(i).toStdString();
    }
    EXPECT_GT(items, 30);

    QStringList asked;
    QObject::disconnect(&main, &frmMain::CommandRequested, &main, &frmMain::runRequestedCommand);
    QObject::connect(&main, &frmMain::CommandRequested, &main, [&asked](const QString &key) { asked << key; });
    for (cToolbar *toolbar : {main.tlbrTop, main.tlbrRecorder, main.tlbrProjects, main.tlbrList}) {
        for (int i = 1; i <= toolbar->ButtonCount(); ++i) {
            if (toolbar->ButtonStyle(i) == cToolbar::Separator)
                continue;
            const QString button = toolbar->ButtonKey(i);
            // The player's own buttons play; they ask for no command.
            if (button == QLatin1String("Play") || button == QLatin1String("Pause") || button == QLatin1String("Stop"))
                continue;
            toolbar->buttonWidget(i)->click();
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (qobject_cast<QMenu *>(w) && w->isVisible())
                    w->hide();
            }
        }
    }
    for (int i = 1; i <= main.cStatusBar1->PanelCount(); ++i)
        emit main.cStatusBar1->PanelClick(i);
    EXPECT_TRUE(asked.contains(QStringLiteral("Add Files")));
    EXPECT_TRUE(asked.contains(QStringLiteral("Notes")));
    EXPECT_TRUE(asked.contains(QStringLiteral("Move Up")));
    for (const QString &key : std::as_const(asked))
        EXPECT_TRUE(main.isCommand(key)) << key.toStdString();
}

TEST_F(Dispatcher, GoSysTrayHidesToTheTrayWithoutTheRefresh)
{
    frmMain &main = loadSongs();
    main.show();
    clearInfo(main);
    run(main, QStringLiteral("GoSysTray"));
    EXPECT_TRUE(main.m_bInSysTray);
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(main.menu().ItemCaption(main.menu().IndexForKey(QStringLiteral("RC Open"))), QStringLiteral("Show"));
    EXPECT_FALSE(infoRefreshed(main));
}

TEST_F(Dispatcher, ExitClosesTheMainWindow)
{
    for (const char *key : {"Exit", "RC Exit"}) {
        SCOPED_TRACE(key);
        frmMain &main = loadSongs();
        const QPointer<frmMain> guard(&main);
        run(main, QString::fromLatin1(key));
        EXPECT_EQ(Forms::main(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(guard.isNull());
    }
}

TEST_F(Dispatcher, AToolOnAnEmptyListRunsAddFilesInstead)
{
    writeList(QStringLiteral("Empty.flst"), QString());
    frmMain &main = loadMain();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Empty"))));
    const QString file = wav(QStringLiteral("new.wav"));
    testServices().prompter->openAnswers << QStringList{file};

    run(main, QStringLiteral("Audio Splitter"));
    ASSERT_TRUE(addEnded());
    EXPECT_EQ(testServices().prompter->openRequests.size(), 1);
    EXPECT_EQ(testServices().prompter->openRequests.value(0).title, QStringLiteral("Add audio files"));
    EXPECT_EQ(main.cGrid1->Rows(), 1);
    // The tool does not open afterwards, even with the file added.
    EXPECT_EQ(Forms::splitter(), nullptr);
}

} // namespace
