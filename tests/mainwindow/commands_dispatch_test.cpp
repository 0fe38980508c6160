#include "commands_fixture.h"

#include "tools/splitjoin/frmSplitter.h"

#include <QSignalSpy>

namespace {

using Dispatcher = CommandsTest;

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
    // Exact keys: a wrong letter case is no command.
    for (const char *key : {"Add Directories", "Burn From List", "Burn From Files", "Live Update", "Remove",
                            "add files"}) {
        SCOPED_TRACE(key);
        clearInfo(main);
        run(main, QString::fromLatin1(key));
        EXPECT_TRUE(infoRefreshed(main));
    }
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(testServices().prompter->openRequests.isEmpty());
    EXPECT_EQ(listBytes(QStringLiteral("Songs.flst")), before);
    EXPECT_EQ(Forms::main(), &main);
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
