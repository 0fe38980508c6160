#include "support/MainWindowFixture.h"

#include "controls/ui/cImageList.h"
#include "core/frmAbout.h"
#include "lists/frmNotes.h"
#include "settings/frmOptions.h"
#include "tags/frmMP3TagsEditor.h"
#include "tools/editor/frmMicRecorder.h"
#include "tools/editor/frmWaveTTS.h"

#include <QFileDevice>
#include <QLabel>
#include <QTabWidget>

namespace {

class WindowCommands : public MainWindowTest {
protected:
    void TearDown() override
    {
        if (!m_savedPath.isNull())
            qputenv("PATH", m_savedPath);
        MainWindowTest::TearDown();
    }

    void setPath(const QByteArray &path)
    {
        if (m_savedPath.isNull())
            m_savedPath = qgetenv("PATH");
        qputenv("PATH", path);
    }

private:
    QByteArray m_savedPath;
};

TEST_F(WindowCommands, OptionPagesOpenOnTheirOwnPage)
{
    frmMain &main = loadSongs();
    for (const char *page : {"Events", "View", "General", "ID3 Tags", "Advanced"}) {
        SCOPED_TRACE(page);
        const QString key = QString::fromLatin1(page);
        mdlOnTop::SetFormOnTop(&main, true);
        QString selected, title;
        bool wasOptions = false;
        onNextModal([&](QWidget *w) {
            auto *options = qobject_cast<frmOptions *>(w);
            wasOptions = options != nullptr;
            if (!options)
                return;
            if (cTreeNode *node = options->cTreeView1->SelectedItem())
                selected = node->Key();
            title = options->lblTitle->text();
        });
        clearInfo(main);
        run(main, key);
        ASSERT_TRUE(wasOptions);
        EXPECT_EQ(selected, key);
        EXPECT_EQ(title, Forms::options()->cTreeView1->Nodes().Item(key)->Text());
        EXPECT_FALSE(mdlOnTop::IsOnTop());
        EXPECT_TRUE(infoRefreshed(main));
    }
}

TEST_F(WindowCommands, AboutIsModalNotesAndTagsEditorModeless)
{
    frmMain &main = loadSongs();
    bool about = false;
    qint64 tabIcon = 0;
    onNextModal([&](QWidget *w) {
        auto *window = qobject_cast<frmAbout *>(w);
        about = window != nullptr;
        if (window)
            tabIcon = window->cTabControl1->tabIcon(0).cacheKey();
    });
    run(main, QStringLiteral("About"));
    EXPECT_TRUE(about);
    EXPECT_EQ(tabIcon, main.imgMenu->icon(18).cacheKey());

    run(main, QStringLiteral("Notes"));
    ASSERT_NE(g_frmNotes, nullptr);
    EXPECT_TRUE(g_frmNotes->isVisible());
    EXPECT_FALSE(g_frmNotes->isModal());
    g_frmNotes->close();

    run(main, QStringLiteral("MP3 Tags Editor"));
    ASSERT_NE(g_frmMP3TagsEditor(), nullptr);
    EXPECT_TRUE(g_frmMP3TagsEditor()->isVisible());
    g_frmMP3TagsEditor()->close();
}

TEST_F(WindowCommands, RecorderAndSpeechOpenModalWithoutItems)
{
    frmMain &main = loadSongs();
    bool recorder = false;
    onNextModal([&recorder](QWidget *w) { recorder = qobject_cast<frmMicRecorder *>(w) != nullptr; });
    run(main, QStringLiteral("Audio Recorder"));
    EXPECT_TRUE(recorder);

    bool speech = false;
    onNextModal([&speech](QWidget *w) { speech = qobject_cast<frmWaveTTS *>(w) != nullptr; });
    run(main, QStringLiteral("Text To Speech"));
    EXPECT_TRUE(speech);
    EXPECT_TRUE(infoRefreshed(main));
}

TEST_F(WindowCommands, SupportAndHelpOpenThroughTheShell)
{
    frmMain &main = loadSongs();
    mdlOnTop::SetFormOnTop(&main, true);
    run(main, QStringLiteral("Support"));
    run(main, QStringLiteral("HelpTopic"));
    const QString help = AppPaths::resourceFolder() + QStringLiteral("/help/index.html");
    EXPECT_EQ(testServices().shell->opened, (QStringList{g_sAppSupportPage, help}));
    EXPECT_TRUE(QFile::exists(help));
    EXPECT_TRUE(messages().isEmpty());
    // Neither leaves on-top mode.
    EXPECT_TRUE(mdlOnTop::IsOnTop());

    // A page the desktop cannot open is said so, not passed over.
    testServices().shell->result = false;
    run(main, QStringLiteral("Support"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("The page ") + g_sAppSupportPage
                                      + QStringLiteral(" cannot be opened.")});
}

TEST_F(WindowCommands, OpenDefaultPlayerOpensTheSelectedItemsFile)
{
    frmMain &main = loadSongs();
    main.cGrid1->setSelectedRow(3);
    run(main, QStringLiteral("Open Default Player"));
    EXPECT_EQ(testServices().shell->opened, QStringList{c});
}

TEST_F(WindowCommands, MasterVolumeStartsTheDesktopMixerOrSaysItIsMissing)
{
    frmMain &main = loadSongs();
    const QString bin = TestEnv::workFolder() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    setPath(bin.toLocal8Bit());
    run(main, QStringLiteral("Master Volume"));
    EXPECT_TRUE(testServices().launcher->starts.isEmpty());
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().contains(QStringLiteral("pavucontrol")));

    QFile mixer(bin + QStringLiteral("/pavucontrol"));
    ASSERT_TRUE(mixer.open(QIODevice::WriteOnly));
    mixer.write("#!/bin/sh\n");
    mixer.close();
    mixer.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    run(main, QStringLiteral("Master Volume"));
    ASSERT_EQ(testServices().launcher->starts.size(), 1);
    EXPECT_EQ(testServices().launcher->starts.first().program, bin + QStringLiteral("/pavucontrol"));
    EXPECT_TRUE(testServices().launcher->starts.first().arguments.isEmpty());
    EXPECT_EQ(messages().size(), 1);

    // A start that fails is reported too.
    testServices().launcher->result = false;
    run(main, QStringLiteral("Master Volume"));
    EXPECT_EQ(messages().size(), 2);
}

TEST_F(WindowCommands, OnTopAndTransparentToggleWithTheirChecks)
{
    frmMain &main = loadSongs();
    const qint32 onTop = indexOf(main, QStringLiteral("On Top"));
    const qint32 transparent = indexOf(main, QStringLiteral("Transparent"));

    main.m_cMenu_Click(onTop);
    EXPECT_TRUE(main.menu().ItemChecked(onTop));
    EXPECT_TRUE(mdlOnTop::IsOnTop());
    main.m_cMenu_Click(onTop);
    EXPECT_FALSE(main.menu().ItemChecked(onTop));
    EXPECT_FALSE(mdlOnTop::IsOnTop());

    main.m_cMenu_Click(transparent);
    EXPECT_TRUE(main.menu().ItemChecked(transparent));
    EXPECT_LT(main.windowOpacity(), 0.5);
    main.m_cMenu_Click(transparent);
    EXPECT_FALSE(main.menu().ItemChecked(transparent));
    EXPECT_DOUBLE_EQ(main.windowOpacity(), 1.0);

    // A window opened from the menus takes the window out of the top layer
    // but leaves the "On Top" check as it was.
    main.m_cMenu_Click(onTop);
    onNextModal([](QWidget *) {});
    run(main, QStringLiteral("About"));
    EXPECT_FALSE(mdlOnTop::IsOnTop());
    EXPECT_TRUE(main.menu().ItemChecked(onTop));
}

TEST_F(WindowCommands, FreeDBNeedsRowsAndADriveNode)
{
    writeList(QStringLiteral("Empty.flst"), QString());
    frmMain &main = loadSongs();
    clearInfo(main);
    run(main, QStringLiteral("FreeDB"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Select the CD drive to get the information about.")
                                      + QString(18, QLatin1Char(' '))});
    EXPECT_FALSE(infoRefreshed(main));

    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Empty"))));
    run(main, QStringLiteral("FreeDB"));
    EXPECT_EQ(messages().size(), 1);
}

} // namespace
