#include "support/MainWindowFixture.h"

#include "controls/ui/cImageList.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QRegularExpression>

namespace {

using Menus = MainWindowShellTest;

void setAllTools(qint32 value)
{
    for (qint32 *flag : {&g_lAppIncConverter, &g_lAppIncACMConverter, &g_lAppIncJoin, &g_lAppIncSplit,
                         &g_lAppIncEditor, &g_lAppIncMicRec, &g_lAppIncAudioBurner, &g_lAppIncCDRipper,
                         &g_lAppIncMP3Burner, &g_lAppIncWMABurner, &g_lAppIncTagsEditor, &g_lAppIncTTS})
        *flag = value;
}

// The bold names of one section of the help page, from its heading to the next.
QStringList helpSection(const QString &heading)
{
    QFile page(AppPaths::resourceFolder() + QStringLiteral("/help/index.html"));
    if (!page.open(QIODevice::ReadOnly))
        return {QStringLiteral("no help page")};
    const QString text = QString::fromUtf8(page.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("<h2>") + heading + QStringLiteral("</h2>"));
    if (start < 0)
        return {QStringLiteral("no section ") + heading};
    const qsizetype end = text.indexOf(QStringLiteral("<h2>"), start + 1);
    QStringList names;
    const QRegularExpression bold(QStringLiteral("<b>([^<]*)</b>"));
    for (const QRegularExpressionMatch &m : bold.globalMatch(text.mid(start, end < 0 ? -1 : end - start)))
        names << m.captured(1);
    return names;
}

// The tools of a Tools menu, without its separators.
QStringList toolCaptions(const QStringList &tools)
{
    QStringList names;
    for (const QString &caption : tools) {
        if (caption != QLatin1String("-"))
            names << caption;
    }
    return names;
}

} // namespace

TEST_F(Menus, TheHelpPageOffersThisEditionsToolsAndNamesTheOthersAsMissing)
{
    const QStringList offered = toolCaptions(captions(load().menu(), QStringLiteral("Tools")));
    Forms::unload(Forms::main());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setAllTools(1);
    const QStringList every = toolCaptions(captions(load().menu(), QStringLiteral("Tools")));
    QStringList missing;
    for (const QString &tool : every) {
        if (!offered.contains(tool))
            missing << tool;
    }
    ASSERT_FALSE(missing.isEmpty());
    QStringList helpTools = helpSection(QStringLiteral("Tools"));
    QStringList sortedOffered = offered;
    helpTools.sort();
    sortedOffered.sort();
    EXPECT_EQ(helpTools, sortedOffered);
    QStringList helpMissing = helpSection(QStringLiteral("Not in this edition"));
    helpMissing.sort();
    missing.sort();
    EXPECT_EQ(helpMissing, missing);
}

TEST_F(Menus, ThisEditionOffersItsToolsAndNoOthers)
{
    frmMain &main = load();
    const cContextMenu &menu = main.menu();
    EXPECT_EQ(captions(menu, QStringLiteral("Tools")),
              (QStringList{"-", "Audio Converter", "-", "Audio Splitter", "-", "Audio Recorder", "-", "-",
                           "Master Volume", "-", "Notes"}));
    const QStringList grid = captions(menu, QStringLiteral("mnuFilesList"));
    EXPECT_EQ(grid.last(), QStringLiteral("Remove All"));
    EXPECT_FALSE(grid.contains(QStringLiteral("FreeDB")));
    EXPECT_FALSE(grid.contains(QStringLiteral("Audio Analyser")));
    for (const char *absent : {"Remove All", "RemoveAll", "Auto Mode On", "Burn From Files", "ACM Converter",
                               "Audio Joiner", "Audio CD Ripper", "MP3 Tags Editor", "Text To Speech", "FreeDB"})
        EXPECT_EQ(menu.IndexForKey(QLatin1String(absent)), 0) << absent;
}

TEST_F(Menus, EveryToolFlagOnGivesTheWholeTable)
{
    setAllTools(1);
    frmMain &main = load();
    const cContextMenu &menu = main.menu();
    EXPECT_EQ(captions(menu, QStringLiteral("Tools")),
              (QStringList{"-", "Audio Converter", "ACM Converter", "-", "Audio Joiner", "Audio Splitter", "-",
                           "Audio Analyser", "Audio Recorder", "-", "Audio CD Maker", "Audio CD Ripper", "-",
                           "MP3 CD Maker", "WMA CD Maker", "-", "MP3 Tags Editor", "-", "Text To Speech", "-",
                           "Master Volume", "-", "Notes"}));
    const QStringList grid = captions(menu, QStringLiteral("mnuFilesList"));
    EXPECT_EQ(grid.mid(grid.size() - 2), (QStringList{"-", "FreeDB"}));
    EXPECT_TRUE(grid.contains(QStringLiteral("Audio Analyser")));
    // Two items carry "Audio Analyser"; either one runs the command.
    EXPECT_EQ(menu.ItemKey(menu.IndexForKey(QStringLiteral("Audio Analyser"))), QStringLiteral("Audio Analyser"));
}

TEST_F(Menus, EveryToolFlagOffLeavesOnlyTheFixedRows)
{
    setAllTools(0);
    frmMain &main = load();
    EXPECT_EQ(captions(main.menu(), QStringLiteral("Tools")),
              (QStringList{"-", "-", "Master Volume", "-", "Notes"}));
}

TEST_F(Menus, CaptionsAndKeysOfTheFixedMenus)
{
    frmMain &main = load();
    const cContextMenu &menu = main.menu();
    struct Case {
        const char *key;
        const char *caption;
    };
    // Three captions keep the trailing blanks that widen their menus.
    const Case cases[] = {
        {"General", "General                     "},
        {"HelpTopic", "Help Topics     "},
        {"RC Exit", "Exit                      "},
        {"RC Open", "Hide"},
        {"Clear the List", "Remove All"},
        {"Rename Item", "Edit"},
        {"Open Default Player", "System Player"},
        {"GoSysTray", "Go to SysTray"},
        {"MarkUnmark All", "Mark/Unmark All"},
        {"Save As", "Save As..."},
        {"Add Files", "Add Files"},
    };
    for (const Case &c : cases) {
        const qint32 index = menu.IndexForKey(QLatin1String(c.key));
        ASSERT_GT(index, 0) << c.key;
        EXPECT_EQ(menu.ItemCaption(index), QLatin1String(c.caption)) << c.key;
        EXPECT_FALSE(menu.ItemChecked(index)) << c.key;
        EXPECT_TRUE(menu.ItemEnabled(index)) << c.key;
    }
    EXPECT_EQ(QString(QLatin1String(cases[0].caption)).size(), 28);
    // The menus and the toolbars share their pictures, up to the last index used.
    cContextMenu &shown = main.menu();
    for (const char *key : {"Move Up", "Move To First", "Move To Last", "Notes", "Audio Splitter"})
        EXPECT_FALSE(shown.ItemAction(shown.IndexForKey(QLatin1String(key)))->icon().isNull()) << key;
    // The list commands show their own pictures, not the grid's boxes and
    // note that share their places, and the two moves are told apart.
    const auto picture = [](const QIcon &icon) { return icon.pixmap(16, 16).toImage(); };
    const struct {
        const char *key;
        int sharedPlace;
    } own[] = {{"Move Up", 0}, {"Move Down", 1}, {"Remove Item", 3}};
    for (const auto &c : own) {
        const QImage drawn = picture(shown.ItemAction(shown.IndexForKey(QLatin1String(c.key)))->icon());
        EXPECT_FALSE(drawn.isNull()) << c.key;
        for (int grid : {0, 1, 3})
            EXPECT_NE(drawn, picture(main.imgGrid->icon(grid))) << c.key << " looks like grid picture " << grid;
    }
    EXPECT_NE(picture(shown.ItemAction(shown.IndexForKey(QStringLiteral("Move Up")))->icon()),
              picture(shown.ItemAction(shown.IndexForKey(QStringLiteral("Move Down")))->icon()));
    // The tool windows' grids still find the item pictures in the menu list.
    for (const auto &c : own)
        EXPECT_EQ(picture(main.imgMenu->icon(c.sharedPlace)), picture(main.imgGrid->icon(c.sharedPlace))) << c.key;
    EXPECT_EQ(captions(menu, QStringLiteral("mnuSysTry")),
              (QStringList{"Exit                      ", "-", "Hide"}));
    EXPECT_EQ(captions(menu, QStringLiteral("Mode")),
              (QStringList{"Transparent", "On Top", "-", "Minimize", "Go to SysTray", "-", "Exit"}));
    EXPECT_EQ(captions(menu, QStringLiteral("mnuEditTop")), QStringList());
    EXPECT_EQ(captions(menu, QStringLiteral("mnuOptionsTop")), QStringList());
    // The hidden holders' submenus still pop up by naming an item.
    for (const char *holder : {"Options", "Help", "mnuSysTry", "Player", "mnuProjects", "mnuFilesList"})
        EXPECT_FALSE(menu.ItemVisible(menu.IndexForKey(QLatin1String(holder)))) << holder;
    for (const char *holder : {"mnuFileTop", "mnuEditTop", "Tools", "mnuOptionsTop", "Mode", "mnuAdd"})
        EXPECT_TRUE(menu.ItemVisible(menu.IndexForKey(QLatin1String(holder)))) << holder;
}

TEST_F(Menus, AnItemPickedInAPopupReachesTheDispatcher)
{
    frmMain &main = load();
    cContextMenu &menu = main.menu();
    main.show();
    const qint32 hide = menu.IndexForKey(QStringLiteral("RC Open"));
    ASSERT_NE(menu.ItemAction(hide), nullptr);
    menu.ItemAction(hide)->trigger();
    // The tray command of that key sends the shown window to the tray.
    EXPECT_TRUE(main.m_bInSysTray);
    EXPECT_EQ(menu.ItemCaption(hide), QStringLiteral("Show"));
}
