#include "support/MainWindowFixture.h"

#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "core/RegistryRoutines.h"
#include "lists/ItemsListFile.h"
#include "lists/frmNotes.h"
#include "settings/frmOptions.h"

#include <QFile>
#include <QPlainTextEdit>


namespace {

using Exit = MainWindowShellTest;

RegistryRoutines general()
{
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(AppSettingsKey());
    reg.setSubkey(QStringLiteral("General"));
    return reg;
}

} // namespace

TEST_F(Exit, TheQuestionCanKeepTheWindowOpen)
{
    Forms::loadOptions();
    frmMain &main = load();
    main.show();
    g_bDisplayMSGWhenExit = true;
    testServices().prompter->answers << Msg::No;
    EXPECT_FALSE(main.close());
    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    const MessageRequest asked = testServices().prompter->messages.first();
    EXPECT_EQ(asked.text, QStringLiteral("Are you sure you want to exit 'Sonvale 3.1' ?"));
    EXPECT_EQ(asked.buttons(), int(Msg::YesNo));
    EXPECT_EQ(asked.icon(), int(Msg::Information));
    EXPECT_EQ(asked.title, QStringLiteral("Sonvale 3.1"));
    EXPECT_FALSE(g_bAppClosing);
    EXPECT_EQ(Forms::main(), &main);
    // The long-lived windows still only hide.
    ASSERT_NE(Forms::options(), nullptr);
    Forms::options()->close();
    EXPECT_NE(Forms::options(), nullptr);

    testServices().prompter->answers << Msg::Yes;
    EXPECT_TRUE(Forms::unload(&main));
    EXPECT_EQ(Forms::main(), nullptr);
    EXPECT_EQ(Forms::options(), nullptr);
    EXPECT_FALSE(testServices().tray->visible);
}

TEST_F(Exit, WithoutTheQuestionTheWindowClosesAtOnce)
{
    frmMain &main = load();
    main.show();
    EXPECT_TRUE(Forms::unload(&main));
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_TRUE(g_bAppClosing);
}

TEST_F(Exit, ClearOnExitEmptiesTheSelectedListOnly)
{
    const QString song = TestEnv::workFolder() + QStringLiteral("/song.wav");
    QFile(song).open(QIODevice::WriteOnly);
    writeFilesList(QStringLiteral("Songs"), {song});
    writeFilesList(QStringLiteral("Zoo"), {song});
    for (bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "clear on exit" : "keep");
        g_bClearOnExit = clear;
        frmMain &main = load();
        ASSERT_EQ(main.cTreeView1->SelectedItem()->Text(), QStringLiteral("Songs"));
        ASSERT_TRUE(Forms::unload(&main));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(ItemsListFile::read(listFile(QStringLiteral("Songs"))).text.contains(QLatin1String("<ITEM>")), !clear);
        EXPECT_TRUE(ItemsListFile::read(listFile(QStringLiteral("Zoo"))).text.contains(QLatin1String("<ITEM>")));
    }
}

TEST_F(Exit, TheSizeIsStoredAndRestoredWithItsFloors)
{
    frmMain &main = load();
    main.resize(700, 500);
    ASSERT_TRUE(Forms::unload(&main));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(general().GetRegistryValue(QStringLiteral("lWidth"), QString()).toString(), QStringLiteral("10500"));
    EXPECT_EQ(general().GetRegistryValue(QStringLiteral("lHeight"), QString()).toString(), QStringLiteral("7500"));

    struct Case {
        const char *width; // null: no stored value
        const char *height;
        int expectedWidth;
        int expectedHeight;
    };
    const Case cases[] = {
        {nullptr, nullptr, 13140, 7440}, {"2999", "999", 13740, 7440}, {"3000", "1000", 3000, 1000},
        {"abc", "8000", 13740, 8000},    {"9000", "x", 9000, 7440},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.width ? c.width : "none") + " x " + (c.height ? c.height : "none"));
        RegistryRoutines reg = general();
        if (c.width) {
            reg.SetRegistryValue(QStringLiteral("lWidth"), QLatin1String(c.width), REG_SZ);
            reg.SetRegistryValue(QStringLiteral("lHeight"), QLatin1String(c.height), REG_SZ);
        } else {
            reg.DeleteValue(QStringLiteral("lWidth"));
            reg.DeleteValue(QStringLiteral("lHeight"));
        }
        frmMain &next = load();
        EXPECT_EQ(next.width(), Twips::toPixels(c.expectedWidth));
        EXPECT_EQ(next.height(), Twips::toPixels(c.expectedHeight));
        g_bDisplayMSGWhenExit = false;
        TearDown();
    }
}

TEST_F(Exit, ModelessWindowsCloseWithTheMainWindow)
{
    frmMain &main = load();
    main.show();
    main.ShowNotes();
    ASSERT_NE(g_frmNotes, nullptr);
    g_frmNotes->Text1->setPlainText(QStringLiteral("kept at exit"));
    ASSERT_TRUE(Forms::unload(&main));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(g_frmNotes, nullptr);
    QFile notes(AppPaths::programFolder() + QStringLiteral("/Notes"));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_TRUE(notes.readAll().contains("kept at exit"));
}
