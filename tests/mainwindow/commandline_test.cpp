#include "support/MainWindowFixture.h"

#include "support/AudioFixtures.h"

#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"

#include <QTimer>

namespace {

using CommandLine = MainWindowShellTest;

} // namespace

TEST_F(CommandLine, AddFilesRunsOnceTheLoadHasReturned)
{
    struct Case {
        const char *line;
        bool runs;
    };
    const Case cases[] = {
        {"-addfiles", true},    {"-ADDFILES", true},     {"-AddFiles", true},  {"-addfiles x", false},
        {"/addfiles", false},   {" -addfiles", false},   {"-st", false},       {"", false},
        {"-addaudiocd", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        routed.clear();
        load(QLatin1String(c.line));
        // Never inside the load itself.
        EXPECT_TRUE(routedInsideLoad.isEmpty());
        QCoreApplication::processEvents();
        EXPECT_EQ(routed, c.runs ? QStringList{QStringLiteral("Add Files")} : QStringList());
        QCoreApplication::processEvents();
        EXPECT_EQ(routed.size(), c.runs ? 1 : 0);
        TearDown();
    }
}

TEST_F(CommandLine, AddFilesOpensTheAddDialogOnTheFirstList)
{
    const auto hook = QObject::connect(&Forms::events(), &FormEvents::Loaded, [](QWidget *form) {
        if (auto *main = qobject_cast<frmMain *>(form))
            main->m_sCommandLine = QStringLiteral("-addfiles");
    });
    Forms::loadMain();
    QObject::disconnect(hook);
    EXPECT_TRUE(testServices().prompter->openRequests.isEmpty());
    EXPECT_TRUE(waitUntil([] { return !testServices().prompter->openRequests.isEmpty(); }, 5000));
    EXPECT_EQ(testServices().prompter->openRequests.first().title, QStringLiteral("Add audio files"));
}

TEST_F(CommandLine, ALaterStartsLineBringsTheWindowBackAndActs)
{
    testServices().tray->available = true;
    frmMain &main = load();
    main.show();
    QCoreApplication::processEvents();
    main.GoSysTray();
    ASSERT_FALSE(main.isVisible());

    main.TakeCommandLine(QStringLiteral("-AddFiles"));
    EXPECT_EQ(routed, QStringList{QStringLiteral("Add Files")});
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.isMinimized());
    EXPECT_FALSE(main.m_bInSysTray);

    // A plain second start only brings the window forward.
    routed.clear();
    main.TakeCommandLine(QString());
    EXPECT_TRUE(routed.isEmpty());
    EXPECT_TRUE(main.isVisible());
}

// A later start's "-addfiles" that comes while a list is being read would add
// among rows still to come and save the list half-read: it waits for the load.
TEST_F(CommandLine, AHandOverDuringAListLoadActsOnceTheLoadHasEnded)
{
    const QString wav = TestEnv::workFolder() + QStringLiteral("/one.wav");
    Fixture::writeWav(wav, Fixture::WavSpec{8000, 1, 16}, 800);
    // Long enough a load that the event loop turns while it runs.
    constexpr int kRows = 3000;
    writeFilesList(QStringLiteral("A"), {});
    writeFilesList(QStringLiteral("B"), QStringList(kRows, wav));
    frmMain &main = load();
    ASSERT_EQ(main.cGrid1->Rows(), 0);

    int rowsWhenRun = -1;
    bool loadingWhenRun = true;
    QObject::disconnect(&main, &frmMain::CommandRequested, nullptr, nullptr);
    QObject::connect(&main, &frmMain::CommandRequested, &main, [&](const QString &key) {
        routed << key;
        rowsWhenRun = main.cGrid1->Rows();
        loadingWhenRun = main.prgStatus->Visible();
    });
    QTimer::singleShot(0, &main, [&main] { main.TakeCommandLine(QStringLiteral("-addfiles")); });
    main.cTreeView1_NodeClick(g_oItemsListsRoot->Child().Item(2));
    ASSERT_TRUE(waitUntil([this] { return !routed.isEmpty(); }));
    flushEvents();

    EXPECT_EQ(routed, QStringList{QStringLiteral("Add Files")});
    EXPECT_EQ(rowsWhenRun, kRows);
    EXPECT_FALSE(loadingWhenRun);
}
