#include "MainWindowFixture.h"

namespace {

using CommandLine = MainWindowTest;

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
