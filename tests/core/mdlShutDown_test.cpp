#include "core/forms.h"
#include "mainwindow/frmMain.h"
#include "core/frmTurnOff.h"
#include "core/mdlModes.h"
#include "core/mdlShutDown.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

using Action = Power::Action;

// A visible main window whose close the countdown must trigger.
class TurnOffTest : public ::testing::Test {
protected:
    void SetUp() override { Forms::loadMain().show(); }
    void TearDown() override
    {
        Forms::unload(Forms::main());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static bool mainLoaded() { return Forms::main() != nullptr; }

    RecordingPower &power() { return *testServices().power; }
};

TEST_F(TurnOffTest, CountdownShowsThirtyAtOnceAndShutsDownOnTheThirtiethTick)
{
    frmTurnOff window;
    window.StartShutDown(30);
    EXPECT_EQ(window.lblSecToShutDown->text(), "30");
    EXPECT_TRUE(window.Timer1->isActive());
    EXPECT_EQ(window.Timer1->interval(), 1000);
    EXPECT_EQ(window.lblApplInfo->text(), g_sAppName + " " + g_sAppVersion);

    for (int tick = 1; tick < 30; ++tick) {
        window.Timer1_Timer();
        ASSERT_EQ(window.lblSecToShutDown->text(), QString::number(30 - tick));
        ASSERT_TRUE(power().asked.isEmpty()) << "asked early, at tick " << tick;
        ASSERT_TRUE(mainLoaded());
    }
    window.Timer1_Timer();
    EXPECT_EQ(window.lblSecToShutDown->text(), "0");
    EXPECT_FALSE(window.Timer1->isActive());
    EXPECT_EQ(power().asked, QList<Action>{Action::PowerOff});
    EXPECT_EQ(power().actions, QList<Action>{Action::PowerOff});
    EXPECT_FALSE(mainLoaded()) << "the main window stays open after the countdown";
}

TEST_F(TurnOffTest, CancelAsksNothingAndReturnsFromTheModalShow)
{
    QTimer::singleShot(50, [] {
        ASSERT_NE(g_frmTurnOff, nullptr);
        EXPECT_EQ(g_frmTurnOff->lblSecToShutDown->text(), "30");
        g_frmTurnOff->cmdCancel->click();
    });
    mdlShutDown::ShowTurnOff(30);
    EXPECT_EQ(g_frmTurnOff, nullptr);
    EXPECT_TRUE(power().asked.isEmpty());
    EXPECT_TRUE(power().actions.isEmpty());
    EXPECT_TRUE(mainLoaded());
}

TEST_F(TurnOffTest, ShutdownNowAsksAtOnceAndClosesTheMainWindow)
{
    QTimer::singleShot(50, [] { g_frmTurnOff->cmdTurnOffNow->click(); });
    mdlShutDown::ShowTurnOff(30);
    EXPECT_EQ(power().actions, QList<Action>{Action::PowerOff});
    EXPECT_FALSE(mainLoaded());
}

TEST_F(TurnOffTest, RefusedPrivilegeClosesTheProgramWithoutPoweringOff)
{
    power().allowed = false;
    // The modal countdown runs out: its ticks are driven while it is up.
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        shown = g_frmTurnOff && g_frmTurnOff->isVisible();
        for (int tick = 0; tick <= 30 && g_frmTurnOff && g_frmTurnOff->isVisible(); ++tick)
            g_frmTurnOff->Timer1_Timer();
    });
    mdlShutDown::ShowTurnOff(30);
    EXPECT_TRUE(shown);
    EXPECT_EQ(g_frmTurnOff, nullptr);
    EXPECT_EQ(power().asked.size(), 1);
    EXPECT_TRUE(power().actions.isEmpty());
    EXPECT_EQ(mdlShutDown::LastError().Number, mdlShutDown::ErrNoPrivilege);
    EXPECT_EQ(mdlShutDown::LastError().Description,
              "Can't enable shutdown: You do not have the privileges to shutdown this system. [" + power().refusal + "]");
    EXPECT_TRUE(mdlShutDown::LastError().Source.endsWith(".mShutDown"));
    EXPECT_FALSE(mainLoaded());
}

TEST_F(TurnOffTest, ARefusalIsToldBeforeTheProgramCloses)
{
    struct Case {
        const char *what;
        bool allowed;
        bool succeeds;
        qint32 error;
    };
    const Case cases[] = {
        {"privilege refused", false, true, mdlShutDown::ErrNoPrivilege},
        {"session manager refused", true, false, mdlShutDown::ErrShutdownFailed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (!mainLoaded())
            Forms::loadMain().show();
        testServices().prompter->messages.clear();
        power().allowed = c.allowed;
        power().succeeds = c.succeeds;
        frmTurnOff window;
        window.cmdTurnOffNow->click();

        ASSERT_EQ(testServices().prompter->messages.size(), 1);
        const MessageRequest &box = testServices().prompter->messages.first();
        EXPECT_EQ(box.icon(), Msg::Exclamation);
        EXPECT_TRUE(box.text.startsWith("The computer could not be turned off.\r\n\r\n"));
        EXPECT_TRUE(box.text.endsWith(mdlShutDown::LastError().Description));
        EXPECT_EQ(mdlShutDown::LastError().Number, c.error);
        EXPECT_FALSE(mainLoaded()) << "the program still closes";
    }
}

TEST_F(TurnOffTest, AnAcceptedShutdownSaysNothing)
{
    frmTurnOff window;
    window.cmdTurnOffNow->click();
    EXPECT_EQ(window.lblSecToShutDown->text(), "0");
    EXPECT_EQ(power().actions, QList<Action>{Action::PowerOff});
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_FALSE(mainLoaded());
}

TEST(ShutdownSystem, FlagsOutsideTheRangeNeverReachTheSessionManager)
{
    for (qint32 flags : {32, -1}) {
        mdlShutDown::ClearError();
        EXPECT_FALSE(mdlShutDown::ShutdownSystem(flags));
        EXPECT_EQ(mdlShutDown::LastError().Number, static_cast<qint32>(0x8004062Fu));
        EXPECT_EQ(mdlShutDown::LastError().Description, "Invalid parameter to ShutdownSystem: " + QString::number(flags));
    }
    EXPECT_TRUE(testServices().power->asked.isEmpty());
    EXPECT_TRUE(testServices().power->actions.isEmpty());
}

TEST(ShutdownSystem, FlagsChooseTheAction)
{
    const struct {
        qint32 flags;
        Action action;
    } cases[] = {
        {0, Action::LogOff},   {1, Action::PowerOff}, {8, Action::PowerOff}, {1 | 4, Action::PowerOff},
        {2, Action::Reboot},   {2 | 4, Action::Reboot}, {4, Action::LogOff},  {31, Action::Reboot},
    };
    for (const auto &c : cases) {
        testServices().power->actions.clear();
        EXPECT_TRUE(mdlShutDown::ShutdownSystem(c.flags));
        EXPECT_EQ(testServices().power->actions, QList<Action>{c.action}) << "flags " << c.flags;
    }
}

TEST(ShutdownSystem, RefusalIsRecordedWithTheSystemsText)
{
    mdlShutDown::ClearError();
    testServices().power->succeeds = false;
    EXPECT_FALSE(mdlShutDown::ShutdownSystem(1));
    EXPECT_EQ(mdlShutDown::LastError().Number, mdlShutDown::ErrShutdownFailed);
    EXPECT_EQ(mdlShutDown::LastError().Description, "ShutdownSystem failed: " + testServices().power->refusal);
}

TEST(ShutdownSystem, ThePrivilegeIsWhatThePowerServiceAllows)
{
    for (bool allowed : {true, false}) {
        SCOPED_TRACE(allowed ? "allowed" : "refused");
        mdlShutDown::ClearError();
        testServices().power->allowed = allowed;
        testServices().power->asked.clear();
        EXPECT_EQ(mdlShutDown::EnableShutdownPrivilege(), allowed);
        EXPECT_EQ(testServices().power->asked, QList<Action>{Action::PowerOff});
        EXPECT_EQ(mdlShutDown::LastError().Number, allowed ? 0 : mdlShutDown::ErrNoPrivilege);
        EXPECT_TRUE(testServices().power->actions.isEmpty()) << "asking is not acting";
    }
}

TEST(ShutdownSystem, ErrorTextsAreTheSystemsOwn)
{
    EXPECT_EQ(mdlShutDown::ApiErrorText(ENOENT), QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_EQ(mdlShutDown::ApiErrorText(EACCES), QString::fromLocal8Bit(std::strerror(EACCES)));
    // No error, and numbers the system has no text for, give none.
    for (qint32 code : {0, -5, 987654})
        EXPECT_TRUE(mdlShutDown::ApiErrorText(code).isEmpty()) << code;
}

} // namespace
