#include "support/ProcessSignals.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "app/StartUp.h"
#include "controls/ui/cContextMenu.h"
#include "core/forms.h"
#include "core/frmSplash.h"
#include "mainwindow/frmMain.h"
#include "platform/Registry.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

constexpr qint32 kLocalMachine = static_cast<qint32>(0x80000002u);

const QString kMissingRootText = QStringLiteral(
    "This program cannot run, please reinstall the software or connect to the sofrware aurhor.\r\n\r\n"
    "The main reistry key doesn't existed.");

// Records what the start-up does with its windows.
struct StartUpWatch {
    QStringList loaded;
    QStringList statuses;
    QList<int> opacities;
    QStringList statusDuringFade;
    QStringList splashTexts; // caption, title and version as the fade starts
    bool splashOnTop = false;
    QRect splashPlace;   // where the splash stands as the fade starts
    QRect screenArea;
    std::function<void(frmSplash *, int)> onOpacity;

    StartUpWatch()
    {
        QObject::connect(&Forms::events(), &FormEvents::Loaded, &Forms::events(), [this](QWidget *form) {
            loaded << QString::fromLatin1(form->metaObject()->className());
            if (auto *splash = qobject_cast<frmSplash *>(form)) {
                QObject::connect(splash, &frmSplash::StatusShown, splash, [this](const QString &s) { statuses << s; });
                QObject::connect(splash, &frmSplash::OpacitySet, splash, [this, splash](int alpha) {
                    if (opacities.isEmpty()) {
                        splashTexts = QStringList{splash->windowTitle(), splash->lblAppTitle->text(),
                                                  splash->lblVersion->text()};
                        splashOnTop = splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                        splashPlace = splash->geometry();
                        screenArea = splash->screen()->availableGeometry();
                    }
                    opacities << alpha;
                    statusDuringFade << splash->lblStat->text();
                    if (onOpacity)
                        onOpacity(splash, alpha);
                });
            }
        });
    }
    ~StartUpWatch() { QObject::disconnect(&Forms::events(), nullptr, &Forms::events(), nullptr); }
};

class StartUp : public ::testing::Test {
protected:
    void TearDown() override
    {
        // A start-up left half-way would load its windows into the next test.
        waitUntil([] { return !mdlMain::StartingUp(); });
        // Close the program as the user would, so the next test starts unloaded.
        if (frmMain *main = Forms::main())
            Forms::unload(main);
        if (frmSplash *splash = Forms::splash())
            Forms::unload(splash);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_bAppClosing = false;
    }

    static bool nothingLoaded()
    {
        return !Forms::splash() && !Forms::options() && !Forms::audioProp() && !Forms::main();
    }

    // Runs the start-up and the event loop until the main window is up.
    static bool startUp(const QString &commandLine)
    {
        return mdlMain::StartUp(commandLine) && waitUntil([] { return !mdlMain::StartingUp(); });
    }
};

} // namespace

TEST_F(StartUp, MissingSettingsRootShowsOneMessageAndLoadsNothing)
{
    struct Case {
        const char *name;
        std::function<void()> prepare;
    };
    const QList<Case> cases = {
        {"no root at all", [] { TestEnv::removeSettingsRoot(); }},
        {"root without General", [] {
             TestEnv::removeSettingsRoot();
             Registry::createKey(kLocalMachine, QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\Events"));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testServices().prompter->messages.clear();
        c.prepare();
        EXPECT_FALSE(mdlMain::StartUp(QString()));
        ASSERT_EQ(testServices().prompter->messages.size(), 1);
        const MessageRequest &box = testServices().prompter->messages.first();
        EXPECT_EQ(box.title, QStringLiteral("Sonvale"));
        EXPECT_EQ(box.icon(), Msg::Information);
        EXPECT_EQ(box.buttons(), Msg::OkOnly);
        EXPECT_EQ(box.text, kMissingRootText);
        EXPECT_TRUE(nothingLoaded());
        // The program never makes the key itself.
        EXPECT_FALSE(Registry::keyExists(kLocalMachine, QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\General")));
    }
}

TEST_F(StartUp, SplashFadesInAndShowsEachLoadingStepInOrder)
{
    StartUpWatch watch;
    const auto up = std::make_shared<bool>(false);
    ASSERT_TRUE(mdlMain::StartUp(QString(), [up] { *up = true; }));
    // The fade runs from the event loop, not inside the call: whatever
    // arrives meanwhile is served by the program's one loop.
    EXPECT_EQ(watch.loaded, QStringList{"frmSplash"});
    EXPECT_EQ(watch.opacities, QList<int>{0});
    ASSERT_TRUE(waitUntil([up] { return *up; }));
    EXPECT_FALSE(mdlMain::StartingUp());

    EXPECT_EQ(watch.loaded, (QStringList{"frmSplash", "frmOptions", "frmAudioProp", "frmMain"}));
    QList<int> expectedOpacities;
    for (int alpha = 0; alpha <= 250; alpha += 10)
        expectedOpacities << alpha;
    expectedOpacities << 255;
    EXPECT_EQ(watch.opacities, expectedOpacities);
    EXPECT_EQ(watch.splashTexts, (QStringList{"Sonvale 3.1", "Sonvale 3.1", "Version 3.1.2"}));
    EXPECT_TRUE(watch.splashOnTop);
    // Centred on the screen, and staying there once made topmost.
    ASSERT_FALSE(watch.screenArea.isEmpty());
    EXPECT_LE((watch.splashPlace.center() - watch.screenArea.center()).manhattanLength(), 1)
        << watch.splashPlace.x() << "," << watch.splashPlace.y();
    for (const QString &status : watch.statusDuringFade)
        EXPECT_EQ(status, QStringLiteral("Loading..."));
    EXPECT_EQ(watch.statuses,
              (QStringList{"Loading options...", "Loading audio properties...", "Loading GUI..."}));

    EXPECT_EQ(Forms::splash(), nullptr);
    ASSERT_NE(Forms::main(), nullptr);
    EXPECT_TRUE(Forms::main()->isVisible());
    EXPECT_FALSE(Forms::main()->isMinimized());
    ASSERT_NE(Forms::options(), nullptr);
    EXPECT_FALSE(Forms::options()->isVisible());
    ASSERT_NE(Forms::audioProp(), nullptr);
    EXPECT_FALSE(Forms::audioProp()->isVisible());
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
}

TEST_F(StartUp, DoubleClickClosesTheSplashAndStartUpGoesOn)
{
    StartUpWatch watch;
    watch.onOpacity = [](frmSplash *splash, int alpha) {
        if (alpha == 50)
            QTest::mouseDClick(splash, Qt::LeftButton);
    };
    ASSERT_TRUE(startUp(QString()));
    EXPECT_EQ(Forms::splash(), nullptr);
    EXPECT_TRUE(watch.statuses.isEmpty());
    ASSERT_NE(Forms::main(), nullptr);
    EXPECT_TRUE(Forms::main()->isVisible());
}

TEST_F(StartUp, TraySwitchMustBeExact)
{
    struct Case {
        QString commandLine;
        bool trayAvailable;
        bool inTray;
        bool visible;
    };
    const QList<Case> cases = {
        {QStringLiteral("-st"), true, true, false},
        {QStringLiteral("-st"), false, true, true}, // no tray: minimised, never stranded
        {QStringLiteral("-ST"), true, false, true},
        {QStringLiteral("-st x"), true, false, true},
        {QStringLiteral(" -st"), true, false, true},
        {QString(), true, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.commandLine.toStdString() + (c.trayAvailable ? " with tray" : " without tray"));
        testServices().tray->available = c.trayAvailable;
        ASSERT_TRUE(startUp(c.commandLine));
        frmMain *main = Forms::main();
        ASSERT_NE(main, nullptr);
        cContextMenu &menu = main->menu();
        EXPECT_EQ(main->m_bInSysTray, c.inTray);
        EXPECT_EQ(main->isVisible(), c.visible);
        EXPECT_EQ(main->isMinimized(), c.inTray);
        EXPECT_EQ(menu.ItemCaption(menu.IndexForKey(QStringLiteral("RC Open"))),
                  c.inTray ? QStringLiteral("Show") : QStringLiteral("Hide"));
        TearDown();
    }
}

TEST_F(StartUp, OneTrayClickBringsBackAWindowStartedInTheTray)
{
    ASSERT_TRUE(startUp(QStringLiteral("-st")));
    frmMain *main = Forms::main();
    testServices().tray->click(1);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->isMinimized());
    EXPECT_FALSE(main->m_bInSysTray);
    cContextMenu &menu = main->menu();
    EXPECT_EQ(menu.ItemCaption(menu.IndexForKey(QStringLiteral("RC Open"))), QStringLiteral("Hide"));
}

TEST_F(StartUp, TheProgramLivesAsLongAsItsMainWindowNotItsLastVisibleWindow)
{
    // Hidden in the tray, the main window is no visible window; closing some
    // other window then must not end the program.
    testServices().tray->available = true;
    ASSERT_TRUE(startUp(QStringLiteral("-st")));
    ASSERT_FALSE(Forms::main()->isVisible());

    bool runningAfterOtherWindowClosed = false;
    bool endedWithMainWindow = false;
    // The timers go with the test: one left behind would end a later test's loop.
    QObject scope;
    QTimer fallback;
    fallback.setSingleShot(true);
    // Should closing the main window not end the run, end it here.
    QObject::connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    QTimer::singleShot(0, &scope, [] {
        auto *other = new QDialog;
        other->setAttribute(Qt::WA_DeleteOnClose);
        other->show();
        QTimer::singleShot(0, other, &QWidget::close);
    });
    QTimer::singleShot(300, &scope, [&] {
        runningAfterOtherWindowClosed = true;
        Forms::unload(Forms::main());
        fallback.start(3000);
    });
    const int exitCode = QApplication::exec();
    endedWithMainWindow = exitCode == 0;
    EXPECT_TRUE(runningAfterOtherWindowClosed) << "the program ended when another window closed";
    EXPECT_TRUE(endedWithMainWindow) << "closing the main window did not end the program";
}

TEST_F(StartUp, ClosingTheMainWindowUnloadsEverythingAndKeepsItsSize)
{
    ASSERT_TRUE(startUp(QString()));
    frmMain *main = Forms::main();
    main->resize(600, 400);
    ASSERT_TRUE(Forms::unload(main));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(nothingLoaded());
    Registry::Value width;
    ASSERT_EQ(Registry::queryValue(kLocalMachine, QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\General"),
                                   QStringLiteral("lWidth"), &width),
              Registry::Success);
    EXPECT_EQ(width.data, QByteArray("9000", 5));
}

namespace {

const QString kGeneralKey = QStringLiteral("SOFTWARE\\Tarvena\\Sonvale\\General");

// Whether the process handles SIGTERM itself: the program does so from the
// moment its main window is up and its event loop runs.
bool catchesTermination(qint64 pid)
{
    return ProcessSignals::caught(pid, SIGTERM);
}

bool windowSizeStored()
{
    return Registry::queryValue(kLocalMachine, kGeneralKey, QStringLiteral("lWidth"), nullptr) == Registry::Success;
}

// Starts the process and waits until its main window is up; false (with the
// reason traced) when it ends before.
bool startUntilUp(QProcess &process)
{
    process.start();
    if (!process.waitForStarted())
        return false;
    const bool up = waitUntil(
        [&process] { return process.state() != QProcess::Running || catchesTermination(process.processId()); },
        120000);
    if (!up || process.state() != QProcess::Running) {
        ADD_FAILURE() << "not up: " << process.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

// Asked to end (the session ending, a service manager), the program closes
// its main window as the user would and exits cleanly.
void expectCleanEnd(QProcess &process)
{
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    // Only the main window's close stores its size.
    EXPECT_TRUE(windowSizeStored());
}

} // namespace

TEST(Program, RunsHeadlessUntilAskedToEndThenClosesItsMainWindow)
{
    // Started in the tray the program has no visible window at all, and must
    // still keep running.
    for (const QStringList &arguments : {QStringList(), QStringList{QStringLiteral("-st")}}) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        Registry::deleteValue(kLocalMachine, kGeneralKey, QStringLiteral("lWidth"));
        QProcess program;
        program.setProgram(QStringLiteral(SONVALE_PROGRAM));
        program.setArguments(arguments);
        ASSERT_TRUE(startUntilUp(program));
        EXPECT_FALSE(windowSizeStored());
        expectCleanEnd(program);
    }
}

TEST(Program, TheLauncherMakesAMissingSettingsRootThenBecomesTheProgram)
{
    TestEnv::removeSettingsRoot();
    QProcess launcher;
    launcher.setProgram(QStringLiteral(SONVALE_LAUNCHER));
    ASSERT_TRUE(startUntilUp(launcher));
    EXPECT_TRUE(Registry::keyExists(kLocalMachine, kGeneralKey));
    // One process from start to close, as the desktop sees it.
    EXPECT_EQ(QFileInfo(QStringLiteral("/proc/%1/exe").arg(launcher.processId())).canonicalFilePath(),
              QFileInfo(QStringLiteral(SONVALE_PROGRAM)).canonicalFilePath());
    expectCleanEnd(launcher);
}
