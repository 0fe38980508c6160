#include "support/MainWindowFixture.h"

#include <QMenu>

namespace {

using Modes = MainWindowShellTest;

bool menuChecked(frmMain &main, const char *key)
{
    return main.menu().ItemChecked(main.menu().IndexForKey(QLatin1String(key)));
}

QString openCaption(frmMain &main)
{
    return main.menu().ItemCaption(main.menu().IndexForKey(QStringLiteral("RC Open")));
}

} // namespace

TEST_F(Modes, OnTopAndTransparentKeepTheirMarksInStep)
{
    frmMain &main = load();
    main.show();
    for (bool on : {true, false, false, true}) {
        main.SetOnTop(on);
        EXPECT_EQ(bool(main.windowFlags() & Qt::WindowStaysOnTopHint), on);
        EXPECT_EQ(menuChecked(main, "On Top"), on);
        EXPECT_TRUE(main.isVisible());
    }
    for (bool on : {true, false, true}) {
        main.SetTransparent(on);
        EXPECT_NEAR(main.windowOpacity(), on ? 90 / 255.0 : 1.0, 0.01);
        EXPECT_EQ(menuChecked(main, "Transparent"), on);
    }
    // The two modes are independent of each other.
    EXPECT_TRUE(menuChecked(main, "On Top"));
    EXPECT_TRUE(main.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(Modes, LeftClicksOnTheTrayIconFollowTheWindowState)
{
    frmMain &main = load();
    main.show();
    struct Step {
        const char *name;
        std::function<void()> before;
        bool visible;
        bool inTray;
        const char *caption;
    };
    const QList<Step> steps = {
        {"normal goes to the tray", [] {}, false, true, "Show"},
        {"from the tray comes back normal", [] {}, true, false, "Hide"},
        {"minimised on the task bar goes to the tray", [&] { main.setWindowState(Qt::WindowMinimized); }, false, true,
         "Show"},
        {"and comes back", [] {}, true, false, "Hide"},
        {"maximised stays", [&] { main.setWindowState(Qt::WindowMaximized); }, true, false, "Hide"},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.name);
        s.before();
        testServices().tray->click(1);
        EXPECT_EQ(main.isVisible(), s.visible);
        EXPECT_EQ(main.m_bInSysTray, s.inTray);
        EXPECT_EQ(openCaption(main), QLatin1String(s.caption));
        if (!s.inTray) {
            EXPECT_FALSE(main.isMinimized());
        }
    }
}

TEST_F(Modes, TheRightButtonPopsTheTrayMenuInAnyState)
{
    frmMain &main = load();
    QMenu *trayMenu = main.menu().MenuHolding(main.menu().IndexForKey(QStringLiteral("RC Open")));
    ASSERT_NE(trayMenu, nullptr);
    EXPECT_EQ(testServices().tray->menu, trayMenu);
    for (bool shown : {true, false}) {
        main.setVisible(shown);
        testServices().tray->click(2);
        EXPECT_TRUE(trayMenu->isVisible());
        trayMenu->hide();
    }
    EXPECT_TRUE(routed.isEmpty());
}

TEST_F(Modes, TheTrayIconShowsTheProductAndVersion)
{
    load();
    EXPECT_TRUE(testServices().tray->visible);
    EXPECT_EQ(testServices().tray->toolTip, QStringLiteral("Sonvale 3.1"));
}
