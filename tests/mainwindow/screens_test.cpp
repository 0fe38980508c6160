// Every window the program opens, at its first size and the desktop's font,
// read as a user would: whole texts, nothing in a toolbar's overflow, no
// control lying over another.
#include "commands_fixture.h"

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
#include "tools/splitjoin/frmJoiner.h"
#include "tools/splitjoin/frmSplitter.h"



namespace {

class Screens : public CommandsTest {
protected:
    void SetUp() override
    {
        CommandsTest::SetUp();
        // The view as a first start has it: title, player and graphs on.
        g_bDisplayTitle = true;
        g_bDisplayPlayer = true;
        g_bDisplayAudioGraph = true;
    }

    void TearDown() override
    {
        for (const QPointer<QWidget> &w : opened) {
            if (w)
                w->close();
        }
        for (const QPointer<QWidget> &w : owned)
            delete w.data();
        CommandsTest::TearDown();
    }

    // Shows the window as the program would and answers what is wrong on it.
    QStringList look(QWidget *window, const QString &name)
    {
        opened << window;
        window->show();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        return ScreenCheck::faults(window, name);
    }

    QList<QPointer<QWidget>> opened;
    QList<QPointer<QWidget>> owned;
};

// The main window holds a long list name, a list of items, the notes panel
// and the player; an empty list shows its hint instead of rows.
TEST_F(Screens, MainWindowShowsEveryTextWhole)
{
    writeList(QStringLiteral("New Items List 1.flst"), QString());
    frmMain &main = loadSongs();
    QStringList faults = look(&main, QStringLiteral("main"));
    ASSERT_TRUE(ListLoads::show(main, listNode(QStringLiteral("New Items List 1"))));
    ASSERT_EQ(main.cGrid1->Rows(), 0);
    faults << look(&main, QStringLiteral("main, empty list"));
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Screens, EveryOtherWindowShowsEveryTextWhole)
{
    frmMain &main = loadSongs();
    struct Window {
        const char *name;
        std::function<QWidget *()> open;
    };
    const Window windows[] = {
        {"options", [] { return &Forms::loadOptions(); }},
        {"audio format", [] { return &Forms::loadAudioProp(); }},
        {"parameters", [] { return &Forms::loadProgParameters(); }},
        {"splitter", [] { return &Forms::loadSplitter(); }},
        {"joiner", [] { return &Forms::loadJoiner(); }},
        {"converter", [] { return &Forms::loadConverter(); }},
        {"ACM converter", [] { return &Forms::loadACMConverter(); }},
        {"CD ripper", [] { return &Forms::loadCDRipper(); }},
        {"CD burner", [] { return &Forms::loadCDBurner(); }},
        {"data CD burner", [] { return &Forms::loadDataBurner3(); }},
        {"recorder", [] { return &Forms::loadMicRecorder(); }},
        {"speech", [] { return &Forms::loadWaveTTS(); }},
        {"editor", [] { return &Forms::loadAudioEditor(); }},
        {"editor processing", [] { return &Forms::loadAudioEditorProc(); }},
        {"item properties",
         [&] {
             auto *form = new frmItem(main.cGrid1, [&main] { main.SaveGridToFile(); }, &main);
             owned << form;
             return form;
         }},
        {"list properties",
         [&] {
             main.ShowItemsListProperties(listNode(QStringLiteral("Songs")));
             return g_frmDirProperties;
         }},
        {"notes", [&] { return &showNotes(&main); }},
        {"about",
         [&] {
             auto *form = new frmAbout(&main);
             owned << form;
             return form;
         }},
        {"splash", [] { return &Forms::loadSplash(); }},
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
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

} // namespace

namespace {

// The windows that open over the main window stand centred on it, also when
// it is not where the desktop would put a new window.
TEST_F(Screens, DialogsOpenCentredOnTheirOwner)
{
    frmMain &main = loadSongs();
    main.show();
    main.move(310, 170);
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
