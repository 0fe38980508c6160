// Every window the program opens, built as the program builds it, at its
// first size and the desktop's font, read as a user would on each of its
// tabs and pages: whole texts, captions, column headers and cells, nothing in
// a toolbar's overflow or behind a tab bar's arrows, no control lying over
// another. The same tests run on a real X server (the ctest entry
// "mainwindow.xcb"), where a window manager frames the windows.
#include "support/MainWindowFixture.h"

#include "support/ScreenCheck.h"

#include "controls/ui/cStatusBar.h"
#include "core/frmAbout.h"
#include "core/frmFileCopy.h"
#include "core/frmSplash.h"
#include "core/frmTurnOff.h"
#include "lists/frmDirProperties.h"
#include "lists/frmItem.h"
#include "lists/frmNotes.h"
#include "settings/frmProgParameters.h"
#include "tags/frmMP3TagsEditor.h"
#include "tools/burn/frmCDBurner.h"
#include "tools/burn/frmDataBurner3.h"
#include "tools/convert/frmACMConverter.h"
#include "tools/convert/frmConverter.h"
#include "tools/editor/frmAudioEditor.h"
#include "tools/editor/frmAudioEditorProc.h"
#include "tools/editor/frmMicRecorder.h"
#include "tools/editor/frmWaveTTS.h"
#include "tools/rip/frmCDRipper.h"
#include "tools/rip/frmFreeDB.h"
#include "tools/splitjoin/frmJoiner.h"
#include "tools/splitjoin/frmSplitter.h"

#include <QFrame>
#include <QLabel>
#include <QTabBar>

namespace {

class Screens : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The view as a first start has it: title, player and graphs on.
        g_bDisplayTitle = true;
        g_bDisplayPlayer = true;
        g_bDisplayAudioGraph = true;
        // The start-up's order: the two settings windows publish what the
        // main window and the others read (the formats offered, among them).
        Forms::loadOptions();
        Forms::loadAudioProp();
    }

    void TearDown() override
    {
        for (const QPointer<QWidget> &w : opened) {
            if (w)
                w->close();
        }
        for (const QPointer<QWidget> &w : owned)
            delete w.data();
        AddFiles::unloadStat();
        MainWindowTest::TearDown();
    }

    // Once the window is on the screen (exposed) and has worked through what
    // its showing posted.
    static void onScreen(QWidget *window)
    {
        // A window manager may open a window below the one in front, where
        // nothing of it shows; a user brings it to the front.
        window->raise();
        window->activateWindow();
        // A frameless window (the splash) is placed and sized by the program
        // alone: nothing read here waits on the manager. Openbox at times
        // leaves the stay-on-top splash unexposed, which is no text fault.
        if (window->windowFlags().testFlag(Qt::FramelessWindowHint)) {
            EXPECT_TRUE(window->isVisible());
            flushEvents();
            return;
        }
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window, 30000))
            << window->metaObject()->className() << " \"" << window->windowTitle().toStdString() << "\"";
        flushEvents();
    }

    // Shows the window as the program would and answers what is wrong on
    // it, on every tab of every tab bar it holds.
    QStringList look(QWidget *window, const QString &name)
    {
        opened << window;
        window->show();
        return read(window, name);
    }

    // What is wrong on a window already shown: first as it opened, then on
    // each other tab as a click on it shows it; the tab first shown is
    // selected again at the end.
    static QStringList read(QWidget *window, const QString &name)
    {
        onScreen(window);
        QStringList faults = ScreenCheck::faults(window, name);
        for (QTabBar *bar : window->findChildren<QTabBar *>()) {
            if (bar->window() != window || !bar->isVisibleTo(window))
                continue;
            const int first = bar->currentIndex();
            for (int tab = 0; tab < bar->count(); ++tab) {
                if (tab == first)
                    continue;
                bar->setCurrentIndex(tab);
                flushEvents();
                faults << ScreenCheck::faults(window, name + QStringLiteral(" [") + bar->tabText(tab).trimmed()
                                                          + QLatin1Char(']'));
            }
            bar->setCurrentIndex(first);
            flushEvents();
        }
        return faults;
    }

    static QString report(const QStringList &faults) { return faults.join(QLatin1Char('\n')); }

    // A marked item of part of its file, from start for length seconds.
    static QString rangeRec(const QString &name, const QString &file, int start, int length)
    {
        ItemsListFile::Record r;
        r[ItemsListFile::FieldInc] = QStringLiteral("1");
        r[ItemsListFile::FieldType] = QStringLiteral("Audio");
        r[ItemsListFile::FieldItemName] = name;
        r[ItemsListFile::FieldFile] = file;
        r[ItemsListFile::FieldRangeAll] = QStringLiteral("0");
        r[ItemsListFile::FieldRangeStart] = QString::number(start);
        r[ItemsListFile::FieldRangeLength] = QString::number(length);
        return ItemsListFile::recordText(r);
    }

    QList<QPointer<QWidget>> opened;
    QList<QPointer<QWidget>> owned;
};

// The main window holds a long list name, a list of items (one of them a
// range of its file), the notes panel and the player; an empty list shows its
// hint instead of rows. At the size a user gives it on a larger screen the
// columns fill the grid, and a long item name shows whole.
TEST_F(Screens, MainWindowShowsEveryTextWhole)
{
    const QString minute = wav(QStringLiteral("minute.wav"), 60000);
    writeList(QStringLiteral("Concerts.flst"),
              rangeRec(QStringLiteral("Second Half of the Evening Concert in the Old Town Hall, Live"), minute, 30, 20)
                  + rec(QStringLiteral("1"), QStringLiteral("Encore"), minute));
    writeList(QStringLiteral("New Items List 1.flst"), QString());
    frmMain &main = loadSongs();
    QStringList faults = look(&main, QStringLiteral("main"));

    ASSERT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Concerts"))));
    EXPECT_EQ(cell(main, 1, ItemsListRow::Range), QStringLiteral("00:00:30 - 00:00:50"));
    faults << read(&main, QStringLiteral("main, a range"));
    // A window manager answers a resize when it has placed the window anew.
    main.resize(1150, 820);
    ASSERT_TRUE(waitUntil([&main] { return main.size() == QSize(1150, 820); }));
    faults << read(&main, QStringLiteral("main at 1150x820"));

    ASSERT_TRUE(ListLoads::show(main, listNode(QStringLiteral("New Items List 1"))));
    ASSERT_EQ(main.cGrid1->Rows(), 0);
    faults << read(&main, QStringLiteral("main, empty list"));
    EXPECT_TRUE(faults.isEmpty()) << report(faults).toStdString();
}

TEST_F(Screens, EveryOtherWindowShowsEveryTextWhole)
{
    frmMain &main = loadSongs();
    struct Window {
        const char *name;
        std::function<QWidget *()> open;
    };
    const Window windows[] = {
        {"audio format",
         [] {
             // Opened as every opener does: on its tab, titled for it.
             frmAudioProp &form = Forms::loadAudioProp();
             form.selectFormatTab(QStringLiteral("WAV"));
             return &form;
         }},
        {"parameters", [] { return &Forms::loadProgParameters(); }},
        {"splitter", [] { return &Forms::loadSplitter(); }},
        {"joiner", [] { return &Forms::loadJoiner(); }},
        {"converter", [] { return &Forms::loadConverter(); }},
        {"ACM converter", [] { return &Forms::loadACMConverter(); }},
        {"CD ripper", [] { return &Forms::loadCDRipper(); }},
        {"CD information", [] { return &Forms::loadFreeDB(); }},
        {"CD burner", [] { return &Forms::loadCDBurner(); }},
        {"data CD burner", [] { return &Forms::loadDataBurner3(); }},
        {"recorder", [] { return &Forms::loadMicRecorder(); }},
        {"speech", [] { return &Forms::loadWaveTTS(); }},
        {"editor", [] { return &Forms::loadAudioEditor(); }},
        {"editor processing", [] { return &Forms::loadAudioEditorProc(); }},
        {"list properties",
         [&] {
             main.ShowItemsListProperties(listNode(QStringLiteral("Songs")));
             return g_frmDirProperties;
         }},
        {"adding files", [&] { return AddFiles::loadStat(&main); }},
        {"notes", [&] { return &showNotes(&main); }},
        {"about",
         [&] {
             auto *form = new frmAbout(&main);
             owned << form;
             return form;
         }},
        {"splash",
         [] {
             // As the start-up shows it: titled, then faded in from clear.
             frmSplash &splash = Forms::loadSplash();
             splash.setWindowTitle(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
             splash.show();
             splash.FadeIn();
             return &splash;
         }},
        {"turn off",
         [&] {
             auto *form = new frmTurnOff(&main);
             owned << form;
             return form;
         }},
        {"file copy",
         [&] {
             auto *form = new frmFileCopy(&main);
             owned << form;
             return form;
         }},
        {"MP3 tags", [] { return &showMP3TagsEditor(); }},
    };
    QStringList faults;
    for (const Window &w : windows) {
        QWidget *window = w.open();
        ASSERT_NE(window, nullptr) << w.name;
        // A tool window shows the totals of what it was handed.
        if (auto *tool = qobject_cast<ToolWindow *>(window))
            tool->setHandOverTexts(QStringLiteral("12 items to convert."), QStringLiteral("Total Time: 1:02:03"),
                                   QStringLiteral("Total Size: 30.3 MB"), QStringLiteral("Songs"));
        faults << look(window, QString::fromLatin1(w.name));
        window->hide();
    }
    EXPECT_TRUE(faults.isEmpty()) << report(faults).toStdString();
}

// The options window on each page of its tree, and the MP3 page of the audio
// format window with its advanced settings open.
TEST_F(Screens, EveryOptionsPageShowsEveryTextWhole)
{
    loadSongs();
    frmOptions &options = Forms::loadOptions();
    QStringList faults = look(&options, QStringLiteral("options"));
    const cTreeNodes pages = options.cTreeView1->Nodes();
    ASSERT_GT(pages.Count(), 1);
    for (int i = 1; i <= pages.Count(); ++i) {
        cTreeNode *node = pages.Item(i);
        node->setSelected(true);
        options.cTreeView1_NodeClick(node);
        faults << read(&options, QStringLiteral("options [") + node->Text() + QLatin1Char(']'));
    }
    options.hide();

    frmAudioProp &format = Forms::loadAudioProp();
    format.selectFormatTab(QStringLiteral("MP3"));
    format.show();
    onScreen(&format);
    QTest::mouseClick(format.lblMP3Advanced, Qt::LeftButton);
    ASSERT_TRUE(format.picMP3Advanced->isVisibleTo(&format));
    faults << look(&format, QStringLiteral("audio format, MP3 advanced"));
    QTest::mouseClick(format.lblMP3Advanced, Qt::LeftButton);
    EXPECT_TRUE(faults.isEmpty()) << report(faults).toStdString();
}

// Item Properties as a double click on a row opens it, with the main window's
// menu pictures on its tabs, for a whole item and for a range of one.
TEST_F(Screens, ItemPropertiesShowsEveryTextWhole)
{
    const QString minute = wav(QStringLiteral("minute.wav"), 60000);
    writeList(QStringLiteral("Concerts.flst"), rangeRec(QStringLiteral("Evening Concert"), minute, 30, 20));
    frmMain &main = loadSongs();
    main.show();
    onScreen(&main);
    QStringList faults;
    for (const char *list : {"Songs", "Concerts"}) {
        ASSERT_TRUE(ListLoads::show(main, listNode(QString::fromLatin1(list))));
        main.cGrid1->setSelectedRow(1);
        bool seen = false;
        onNextModal([&](QWidget *window) {
            seen = qobject_cast<frmItem *>(window) != nullptr;
            faults << read(window, QStringLiteral("item properties, ") + QString::fromLatin1(list));
        });
        main.cGrid1_DblClick(1, main.cGrid1->ColumnIndex(ItemsListRow::ItemName));
        EXPECT_TRUE(seen) << list;
    }
    EXPECT_TRUE(faults.isEmpty()) << report(faults).toStdString();
}

} // namespace

namespace {

// The windows that open over the main window stand centred on it, also when
// it is not where the desktop would put a new window.
TEST_F(Screens, DialogsOpenCentredOnTheirOwner)
{
    frmMain &main = loadSongs();
    main.show();
    main.move(40, 170);
    QCoreApplication::processEvents();
    const QPoint ownerCentre = main.frameGeometry().center();
    const struct {
        const char *name;
        std::function<void()> open;
    } cases[] = {
        {"options", [&] { run(main, QStringLiteral("General")); }},
        {"splitter", [&] { run(main, QStringLiteral("Audio Splitter")); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QPoint centre;
        onNextModal([&centre](QWidget *w) { centre = w->frameGeometry().center(); });
        c.open();
        EXPECT_LE((centre - ownerCentre).manhattanLength(), 4) << centre.x() << "," << centre.y() << " vs "
                                                                 << ownerCentre.x() << "," << ownerCentre.y();
    }
}

} // namespace
