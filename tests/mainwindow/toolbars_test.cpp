#include "support/MainWindowFixture.h"

#include "controls/ui/cReBar.h"
#include "controls/ui/cStatusBar.h"
#include "controls/ui/cToolbarHost.h"

#include <QAbstractButton>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QMenu>

namespace {

using Toolbars = MainWindowShellTest;

const QStringList kPlayer{"Play", "-", "Pause", "-", "Stop", "-", "Audio Splitter", "-", "Tools", "-"};
const QStringList kTop{"Add", "-", "Items List", "-", "Audio Splitter", "Tools", "-", "Options", "-", "Mode", "Help"};
const QStringList kProjects{"New Items List", "Rename Items List", "Remove Items List", "-", "Items List Properties"};
const QStringList kList{"Add Files", "-", "MarkUnmark All", "-", "Move Up", "Move Down", "-", "Move To First",
                        "Move To Last", "-", "Rename Item", "-", "Save As", "-", "Remove Item", "Clear the List"};

} // namespace

TEST_F(Toolbars, ThisEditionBuildsTheFourButtonSets)
{
    frmMain &main = load();
    EXPECT_EQ(keys(*main.tlbrRecorder), kPlayer);
    EXPECT_EQ(keys(*main.tlbrTop), kTop);
    EXPECT_EQ(keys(*main.tlbrProjects), kProjects);
    EXPECT_EQ(keys(*main.tlbrList), kList);

    struct Case {
        cToolbar *toolbar;
        const char *key;
        const char *toolTip;
        const char *caption;
        int image;
        int style;
    };
    const Case cases[] = {
        {main.tlbrRecorder, "Play", "Play", "   Play   ", 13, cToolbar::DropDown},
        {main.tlbrRecorder, "Pause", "Pause", "Pause", 16, cToolbar::Check},
        {main.tlbrRecorder, "Stop", "Stop", "Stop", 14, cToolbar::Plain},
        {main.tlbrRecorder, "Audio Splitter", "Audio Splitter", "Splitter", 22, cToolbar::Plain},
        {main.tlbrRecorder, "Tools", "Tools", "Tools", 10, cToolbar::DropDown},
        {main.tlbrTop, "Add", "Add Files(s) to The Items List", "  Add File(s)  ", 2, cToolbar::Plain},
        {main.tlbrTop, "Items List", "Items List", "Items List", 39, cToolbar::DropDown},
        {main.tlbrTop, "Audio Splitter", "Audio Splitter", "Splitter", 63, cToolbar::Plain},
        {main.tlbrTop, "Tools", "Tools", "Tools", 19, cToolbar::DropDown},
        {main.tlbrTop, "Mode", "Modes", "Mode", 45, cToolbar::DropDown},
        {main.tlbrProjects, "Items List Properties", "Items List Properties", "", 51, cToolbar::Plain},
        {main.tlbrList, "Clear the List", "Remove All", "", 27, cToolbar::Plain},
        {main.tlbrList, "Rename Item", "Edit Item", "", 32, cToolbar::Plain},
    };
    for (const Case &c : cases) {
        const int i = c.toolbar->ButtonIndex(QLatin1String(c.key));
        ASSERT_GT(i, 0) << c.key;
        EXPECT_EQ(c.toolbar->ButtonToolTip(i), QLatin1String(c.toolTip)) << c.key;
        EXPECT_EQ(c.toolbar->ButtonCaption(i), QLatin1String(c.caption)) << c.key;
        EXPECT_EQ(c.toolbar->ButtonImage(i), c.image) << c.key;
        EXPECT_EQ(c.toolbar->ButtonStyle(i), c.style) << c.key;
    }
    // Separators count: "Stop" is the fifth button, "Tools" the ninth.
    EXPECT_EQ(main.tlbrRecorder->ButtonIndex(QStringLiteral("Stop")), 5);
    EXPECT_EQ(main.tlbrRecorder->ButtonIndex(QStringLiteral("Tools")), 9);
    EXPECT_EQ(main.tlbrTop->ButtonIndex(QStringLiteral("On Top")), 0);
    EXPECT_EQ(main.rbrList->BandChild(QStringLiteral("Toolbar1")), main.tlbrList);
    EXPECT_EQ(main.cToolbarHost1->Toolbar(), main.tlbrTop);
    EXPECT_EQ(main.cToolbarHostRecorder->Toolbar(), main.tlbrRecorder);
    EXPECT_EQ(main.tlbrProjectsHost->Toolbar(), main.tlbrProjects);
    // No toolbar picture in this edition: no background file is written.
    EXPECT_FALSE(QFile::exists(AppPaths::programFolder() + QStringLiteral("/tbbg.bmp")));
    EXPECT_TRUE(main.cToolbarHost1->BackgroundPictureFile().isEmpty());
}

TEST_F(Toolbars, EditionFlagsAndTheFeaturedToolShapeTheButtons)
{
    struct Case {
        const char *name;
        std::function<void()> edition;
        QStringList player;
        QStringList top;
        QStringList list;
    };
    const QList<Case> cases = {
        {"no items lists, a CD ripper",
         [] {
             g_lAppIncItemsLists = 0;
             g_lAppIncCDRipper = 1;
         },
         kPlayer, kTop.mid(2), kList.mid(2) + QStringList{"-", "FreeDB"}},
        {"no converter", [] { g_lAppIncConverter = 0; },
         QStringList{"Play", "-", "Pause", "-", "Stop", "-", "Audio Splitter", "Tools", "-"}, kTop, kList},
        {"the joiner featured though not offered",
         [] {
             g_sAppMainTool = QStringLiteral("lAppIncJoin");
             g_lAppIncJoin = 0;
         },
         QStringList{"Play", "-", "Pause", "-", "Stop", "-", "Audio Joiner", "-", "Tools", "-"},
         QStringList{"Add", "-", "Items List", "-", "Audio Joiner", "Tools", "-", "Options", "-", "Mode", "Help"},
         kList},
        {"a featured tool named in another letter case", [] { g_sAppMainTool = QStringLiteral("lappincsplit"); },
         QStringList{"Play", "-", "Pause", "-", "Stop", "-", "-", "Tools", "-"},
         QStringList{"Add", "-", "Items List", "-", "Tools", "-", "Options", "-", "Mode", "Help"}, kList},
        {"a featured tool without a button", [] { g_sAppMainTool = QStringLiteral("lAppIncTagsEditor"); },
         QStringList{"Play", "-", "Pause", "-", "Stop", "-", "-", "Tools", "-"},
         QStringList{"Add", "-", "Items List", "-", "Tools", "-", "Options", "-", "Mode", "Help"}, kList},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        mdlModes::InitEdition();
        c.edition();
        frmMain &main = load();
        EXPECT_EQ(keys(*main.tlbrRecorder), c.player);
        EXPECT_EQ(keys(*main.tlbrTop), c.top);
        EXPECT_EQ(keys(*main.tlbrList), c.list);
        TearDown();
    }
}

TEST_F(Toolbars, ButtonsAndPanelsRunTheirKeysThroughTheDispatcher)
{
    frmMain &main = load();
    main.show();
    struct Case {
        cToolbar *toolbar;
        const char *button;
        const char *command;
    };
    const Case cases[] = {
        {main.tlbrTop, "Add", "Add Files"},
        {main.tlbrTop, "Audio Splitter", "Audio Splitter"},
        {main.tlbrRecorder, "Audio Splitter", "Audio Splitter"},
        {main.tlbrProjects, "New Items List", "New Items List"},
        {main.tlbrProjects, "Rename Items List", "Rename Items List"},
        {main.tlbrProjects, "Remove Items List", "Remove Items List"},
        {main.tlbrProjects, "Items List Properties", "Items List Properties"},
    };
    for (const Case &c : cases) {
        routed.clear();
        c.toolbar->buttonWidget(c.toolbar->ButtonIndex(QLatin1String(c.button)))->click();
        EXPECT_EQ(routed, QStringList{QLatin1String(c.command)}) << c.button;
    }
    for (int i = 1; i <= main.tlbrList->ButtonCount(); ++i) {
        if (main.tlbrList->ButtonStyle(i) == cToolbar::Separator)
            continue;
        routed.clear();
        main.tlbrList->buttonWidget(i)->click();
        EXPECT_EQ(routed, QStringList{main.tlbrList->ButtonKey(i)});
    }
    const QStringList panels{"Main", "Items List Properties", "Notes", "Master Volume"};
    for (int i = 1; i <= panels.size(); ++i) {
        EXPECT_EQ(main.cStatusBar1->PanelKey(i), panels.at(i - 1));
        routed.clear();
        emit main.cStatusBar1->PanelClick(i);
        // "Main" is no command key: nothing is asked for.
        EXPECT_EQ(routed, i == 1 ? QStringList() : QStringList{panels.at(i - 1)});
    }
    EXPECT_EQ(main.PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
    EXPECT_EQ(main.cStatusBar1->PanelIcon(QStringLiteral("Main")), 47);
    EXPECT_EQ(main.PanelText(QStringLiteral("Notes")), QStringLiteral("Notes [ Empty ]"));
    EXPECT_EQ(main.PanelText(QStringLiteral("Master Volume")), QStringLiteral("Master Volume"));
}

TEST_F(Toolbars, MenuButtonsPopTheirSubmenusByBodyOrArrow)
{
    frmMain &main = load();
    main.show();
    cContextMenu &menu = main.menu();
    struct Case {
        cToolbar *toolbar;
        const char *button;
        const char *itemOfSubmenu; // null: the body runs no popup
        bool arrow;
    };
    const Case cases[] = {
        {main.tlbrTop, "Items List", "MarkUnmark All", false}, {main.tlbrTop, "Items List", "MarkUnmark All", true},
        {main.tlbrTop, "Tools", "Notes", false},               {main.tlbrTop, "Options", "General", true},
        {main.tlbrTop, "Mode", "On Top", false},               {main.tlbrTop, "Help", "About", true},
        {main.tlbrRecorder, "Tools", "Notes", false},          {main.tlbrRecorder, "Tools", "Notes", true},
        {main.tlbrRecorder, "Play", "Open Default Player", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.arrow ? " arrow" : " body"));
        QMenu *submenu = menu.MenuHolding(menu.IndexForKey(QLatin1String(c.itemOfSubmenu)));
        ASSERT_NE(submenu, nullptr);
        const int i = c.toolbar->ButtonIndex(QLatin1String(c.button));
        (c.arrow ? c.toolbar->dropDownArrow(i) : c.toolbar->buttonWidget(i))->click();
        EXPECT_TRUE(submenu->isVisible());
        submenu->hide();
    }
    EXPECT_TRUE(routed.isEmpty());
}

TEST_F(Toolbars, ListToolbarsLeaveOnTopModeBeforeTheirCommand)
{
    frmMain &main = load();
    main.show();
    for (cToolbar *toolbar : {main.tlbrProjects, main.tlbrList}) {
        main.SetOnTop(true);
        ASSERT_TRUE(main.windowFlags() & Qt::WindowStaysOnTopHint);
        toolbar->buttonWidget(1)->click();
        EXPECT_FALSE(main.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_FALSE(main.menu().ItemChecked(main.menu().IndexForKey(QStringLiteral("On Top"))));
    }
}

TEST_F(Toolbars, AToolbarPictureOfTheSkinBecomesTheHostsBackground)
{
    const QString view = AppPaths::programFolder() + QStringLiteral("/View");
    QDir().mkpath(view);
    QPixmap picture(32, 20);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(view + QStringLiteral("/bar.png")));
    g_sViewToolbarPicture = QStringLiteral("bar.png");
    frmMain &main = load();
    const QString written = AppPaths::programFolder() + QStringLiteral("/tbbg.bmp");
    EXPECT_TRUE(QFile::exists(written));
    EXPECT_EQ(QImage(written).size(), QSize(32, 20));
    EXPECT_EQ(main.cToolbarHost1->BackgroundPictureFile(), written);
    EXPECT_EQ(main.tlbrProjectsHost->BackgroundPictureFile(), written);
    EXPECT_TRUE(main.cToolbarHostRecorder->BackgroundPictureFile().isEmpty());
}
