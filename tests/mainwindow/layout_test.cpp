#include "support/MainWindowFixture.h"

#include "controls/audio/cAudioGraph.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cStatusBar.h"
#include "controls/ui/cToolbarHost.h"
#include "controls/ui/cTreeView.h"
#include "core/RegistryRoutines.h"

#include <QLabel>
#include <QtTest/QTest>

namespace {

using Layout = MainWindowShellTest;

int px(int twips)
{
    return Twips::toPixels(twips);
}

int tw(int pixels)
{
    return Twips::fromPixels(pixels);
}

} // namespace

TEST_F(Layout, PaneHeightsFollowTheViewOptions)
{
    struct Case {
        bool title;
        bool player;
        int hostTop;
    };
    const Case cases[] = {{true, true, 455}, {false, true, 80}, {true, false, 455}, {false, false, 80}};
    frmMain &main = load();
    main.resize(900, 640);
    main.show();
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.title ? "title" : "no title") + (c.player ? ", player" : ", no player"));
        g_bDisplayTitle = c.title;
        g_bDisplayPlayer = c.player;
        main.Form_Resize();
        const int playerHeight = c.player ? 1815 : 0;
        EXPECT_EQ(main.picTitle->isHidden(), !c.title);
        EXPECT_EQ(main.froControl->isHidden(), !c.player);
        EXPECT_EQ(main.cToolbarHost1->y(), px(c.hostTop));
        const int gridTop = c.hostTop + 740 + main.picTitleList->height() * 15 + 20;
        EXPECT_EQ(main.cGrid1->y(), px(gridTop));
        // The grid takes what the bars above and below leave of the client
        // area, down to a small margin over the status bar.
        const int gridHeight = tw(main.centralWidget()->height()) - gridTop - 400 - playerHeight - 60;
        EXPECT_EQ(main.cGrid1->height(), px(gridHeight));
        EXPECT_EQ(main.cTreeView1->height(), px(gridHeight + playerHeight - 100));
        EXPECT_EQ(main.cGridInfo->height(), main.cGrid1->height());
        EXPECT_EQ(main.picList->y(), px(gridTop + gridHeight));
        EXPECT_EQ(main.froControl->y(), px(gridTop + gridHeight + 400));
    }
}

TEST_F(Layout, WidthsSplitTheWindowBetweenTreeGridAndInfo)
{
    frmMain &main = load();
    main.resize(900, 640);
    main.show();
    main.Form_Resize();
    const int W = tw(main.centralWidget()->width()) + 150;
    EXPECT_EQ(main.cToolbarHost1->width(), px(W - 350));
    EXPECT_EQ(main.cTreeView1->x(), px(120));
    EXPECT_EQ(main.cTreeView1->width(), px(2535));
    EXPECT_EQ(main.cGrid1->x(), px(120 + 2535 + 100 - 40));
    EXPECT_EQ(main.picResizer->x(), px(120 + 2535));
    EXPECT_EQ(main.picResizer->x() + main.picResizer->width(), main.cGrid1->x());
    EXPECT_EQ(main.cGrid1->width(), px(W - 350 - 2535 - 3495 - 100));
    EXPECT_EQ(main.cGridInfo->x(), px(120 + 2535 + 100 - 40 + W - 350 - 2535 - 3495 - 100));
    EXPECT_EQ(main.froControl->width(), px(W - 350 - 2535 - 100));

    // An edition without the tree: the grid starts 40 twips left of the tree.
    g_lAppIncTree = 0;
    main.Form_Resize();
    EXPECT_TRUE(main.cTreeView1->isHidden());
    EXPECT_TRUE(main.picResizer->isHidden());
    EXPECT_EQ(main.cGrid1->x(), px(80));
    // Shown again, the tree starts at its designed width.
    main.cTreeView1_DragDrop(nullptr, 1500, 0);
    g_lAppIncTree = 1;
    main.Form_Resize();
    EXPECT_FALSE(main.cTreeView1->isHidden());
    EXPECT_EQ(main.cTreeView1->width(), px(2535));
}

TEST_F(Layout, SplitterDropsSetTheTreeWidth)
{
    frmMain &main = load();
    main.resize(900, 640);
    main.show();
    struct Case {
        bool onTree;
        int x;
        int width;
    };
    // On the tree's side the width never drops below 1000; on the grid's side
    // the drop adds to the width.
    const Case cases[] = {{true, 500, 1000}, {true, 1500, 1500}, {true, 999, 1000}, {true, 1000, 1000},
                          {false, 300, 1000 + 360}};
    for (const Case &c : cases) {
        if (c.onTree)
            main.cTreeView1_DragDrop(main.picResizer, c.x, 0);
        else
            main.cGrid1_DragDrop(main.picResizer, c.x, 0);
        EXPECT_EQ(main.cTreeView1->width(), px(c.width)) << c.x;
        EXPECT_EQ(main.picTitleProject->width(), main.cTreeView1->width());
        EXPECT_EQ(main.cGrid1->x(), px(120 + c.width + 100 - 40));
    }
}

TEST_F(Layout, GraphsShowOnlyWhenAskedForAndWhenThereIsRoom)
{
    frmMain &main = load();
    main.show();
    struct Case {
        int width;
        bool option;
        bool visible;
    };
    const Case cases[] = {{1400, true, true}, {1400, false, false}, {700, true, false}};
    for (const Case &c : cases) {
        g_bDisplayAudioGraph = c.option;
        main.resize(c.width, 640);
        // The test reads the graphs' places of the pass before.
        main.Form_Resize();
        main.Form_Resize();
        EXPECT_EQ(!main.cAudioGraphAmp->isHidden(), c.visible) << c.width;
        EXPECT_EQ(!main.cAudioGraphFreq->isHidden(), c.visible) << c.width;
    }
}

TEST_F(Layout, AMinimisedWindowIsNotLaidOut)
{
    frmMain &main = load();
    main.resize(900, 640);
    main.show();
    main.Form_Resize();
    const int gridHeight = main.cGrid1->height();
    main.setWindowState(Qt::WindowMinimized);
    g_bDisplayPlayer = false;
    main.Form_Resize();
    EXPECT_EQ(main.cGrid1->height(), gridHeight);
    EXPECT_FALSE(main.froControl->isHidden());
    main.setWindowState(Qt::WindowNoState);
    main.Form_Resize();
    EXPECT_TRUE(main.froControl->isHidden());
    EXPECT_GE(main.cGrid1->height(), gridHeight + px(1815) - 1);
}

TEST_F(Layout, TheSkinColoursTheWindowAndItsBars)
{
    frmMain &main = load();
    const QColor skin(0xFB, 0xFB, 0xFB);
    EXPECT_EQ(main.cToolbarHost1->BackColor(), 16514043u);
    EXPECT_EQ(main.cToolbarHostRecorder->BackColor(), 16514043u);
    EXPECT_EQ(main.cStatusBar1->BackColor(), 16514043u);
    EXPECT_EQ(main.froControl->palette().color(QPalette::Window), skin);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Sonvale 3.1"));
    EXPECT_EQ(main.lblTitle->text(), QStringLiteral("Sonvale 3.1"));
}

TEST_F(Layout, DraggingTheSplitterOntoAPaneMovesIt)
{
    frmMain &main = load();
    main.resize(900, 640);
    main.show();
    main.Form_Resize();
    struct Case {
        QWidget *pane;
        int x; // pixels into the pane
        int width; // the tree's width afterwards, in twips
    };
    const QList<Case> cases = {
        {main.cGrid1, 20, 2535 + 120 + 300 - 60},
        {main.cTreeView1, 100, 1500},
        {main.cTreeView1, 10, 1000},
        {main.picTitleList, 4, 1000 + 120 + 60 - 60},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pane->objectName().toStdString());
        const QPoint global = c.pane->mapToGlobal(QPoint(c.x, 5));
        QTest::mousePress(main.picResizer, Qt::LeftButton, {}, QPoint(2, 40));
        QTest::mouseRelease(main.picResizer, Qt::LeftButton, {}, main.picResizer->mapFromGlobal(global));
        EXPECT_EQ(main.cTreeView1->width(), px(c.width));
    }
}

// The size kept at the close is the size the next start lays its panes in:
// at the first start and after a restart the panes reach down to the status
// bar and across to the window's right edge.
TEST_F(Layout, PanesFillTheRestoredWindow)
{
    struct Case {
        const char *name;
        int width; // stored, in twips; 0: nothing stored
        int height;
    };
    const Case cases[] = {{"first start", 0, 0}, {"restart at 1270x980", 1270 * 15, 980 * 15}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RegistryRoutines reg;
        reg.setHkey(HKEY_LOCAL_MACHINE);
        reg.setKeyRoot(AppSettingsKey());
        reg.setSubkey(QStringLiteral("General"));
        if (c.width) {
            reg.SetRegistryValue(QStringLiteral("lWidth"), QString::number(c.width), REG_SZ);
            reg.SetRegistryValue(QStringLiteral("lHeight"), QString::number(c.height), REG_SZ);
        } else {
            reg.DeleteValue(QStringLiteral("lWidth"));
            reg.DeleteValue(QStringLiteral("lHeight"));
        }
        frmMain &main = load();
        main.show();
        QCoreApplication::sendPostedEvents();
        if (c.width) {
            EXPECT_EQ(main.size(), QSize(1270, 980));
        }
        const QWidget *client = main.centralWidget();
        const auto bottom = [client](const QWidget *w) { return w->mapTo(client, QPoint(0, w->height())).y(); };
        const auto right = [client](const QWidget *w) { return w->mapTo(client, QPoint(w->width(), 0)).x(); };
        // A margin of a few pixels stays between the panes and the edges.
        for (const QWidget *w : {main.froControl, main.froTreeControl}) {
            EXPECT_LE(bottom(w), client->height()) << w->objectName().toStdString();
            EXPECT_GE(bottom(w), client->height() - 8) << w->objectName().toStdString();
        }
        const QList<const QWidget *> rightmost = {main.cGridInfo, main.froControl, main.cToolbarHost1};
        for (const QWidget *w : rightmost) {
            EXPECT_LE(right(w), client->width()) << w->objectName().toStdString();
            EXPECT_GE(right(w), client->width() - 10) << w->objectName().toStdString();
        }
        EXPECT_LE(client->mapTo(&main, QPoint(0, client->height())).y(), main.cStatusBar1->y());
        TearDown();
    }
}
