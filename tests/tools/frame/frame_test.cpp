// The tool-window frame, driven through the splitter and the joiner.
#include "support/ToolWindowFixture.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/audio/cAudioJoin.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cStatusBar.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "platform/AppPaths.h"
#include "settings/AudioFormatSettings.h"
#include "settings/FormatTabStrip.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "support/ScriptedServices.h"
#include "tools/splitjoin/frmJoiner.h"
#include "tools/splitjoin/frmSplitter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class FrameTest : public ToolFixture {
protected:
    void TearDown() override
    {
        for (QWidget *w : {static_cast<QWidget *>(Forms::splitter()), static_cast<QWidget *>(Forms::joiner())})
            if (w)
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ToolFixture::TearDown();
    }

    static void saveHistory(const QStringList &newestLast)
    {
        QComboBox box;
        box.setEditable(true);
        for (const QString &folder : newestLast) {
            box.setEditText(folder);
            mdlFunctions::SavePathHistory(&box);
        }
    }
};

TEST_F(FrameTest, ALoadedWindowOpensOnItsSettingsWithItsDefaults)
{
    frmSplitter &w = Forms::loadSplitter();
    // With no folder in the history, the user's music folder, not made yet.
    EXPECT_EQ(w.txtToPath->currentText(), QDir::homePath() + QStringLiteral("/Music/Sonvale/"));
    EXPECT_FALSE(QFileInfo::exists(w.txtToPath->currentText()));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Audio Splitter"));
    EXPECT_EQ(w.cmdConvert->text(), QStringLiteral("Split"));
    EXPECT_TRUE(w.TabSettings->isVisibleTo(&w));
    EXPECT_FALSE(w.TabEvents->isVisibleTo(&w));
    EXPECT_FALSE(w.TabLog->isVisibleTo(&w));
    EXPECT_EQ(w.cTabControl1->TabKey(1), QStringLiteral("Settings"));
    EXPECT_EQ(w.cTabControl1->TabKey(2), QStringLiteral("Events"));
    EXPECT_EQ(w.cTabControl1->TabKey(3), QStringLiteral("Log"));
    EXPECT_FALSE(w.chkOverWrite->isChecked());
    EXPECT_FALSE(w.chkCreateSubFolder->isChecked());
    EXPECT_FALSE(w.txtUndeForlder->isEnabled());
    EXPECT_EQ(w.cboTargetFormat->currentText(), kWavFormat);
    EXPECT_FALSE(w.lblSetAsDefaultFormat->isEnabled());

    // The hidden copy of the items grid.
    EXPECT_FALSE(w.cGrid1->isVisibleTo(&w));
    ASSERT_EQ(w.cGrid1->Columns(), 19);
    int shown = 0;
    for (int col = 1; col <= 19; ++col)
        shown += w.cGrid1->ColumnVisible(col) ? 1 : 0;
    EXPECT_EQ(shown, 7);
    EXPECT_EQ(w.cGrid1->Rows(), 0);
    EXPECT_EQ(w.cGrid1->ColumnHeader(5), QStringLiteral("Time-Length"));
    EXPECT_EQ(w.cStatusBar1->PanelKey(1), QStringLiteral("Total Size"));
    EXPECT_EQ(w.cStatusBar1->PanelWidth(1), 200);
    EXPECT_EQ(w.cStatusBar1->PanelKey(2), QStringLiteral("Total Time"));
    EXPECT_EQ(w.cStatusBar1->PanelWidth(2), 64);

    w.cTabControl1->SelectTab(QStringLiteral("Log"));
    w.cTabControl1_TabClick(3);
    EXPECT_FALSE(w.TabSettings->isVisibleTo(&w));
    EXPECT_TRUE(w.TabLog->isVisibleTo(&w));
    // 100 twips of margin on every side.
    EXPECT_EQ(w.txtLog->geometry(), QRect(Twips::toPixels(100), Twips::toPixels(100),
                                          w.TabLog->width() - Twips::toPixels(200),
                                          w.TabLog->height() - Twips::toPixels(200)));
}

TEST_F(FrameTest, TheNewestHistoryFolderIsChosenAndTheLinkFollowsTheChoice)
{
    saveHistory({QStringLiteral("/music/old/"), QStringLiteral("/music/new/")});
    frmSplitter &w = Forms::loadSplitter();
    EXPECT_EQ(w.txtToPath->currentText(), QStringLiteral("/music/new/"));
    EXPECT_FALSE(w.lblSetAsDefaultDestination->isEnabled());

    w.txtToPath->setCurrentIndex(1);
    EXPECT_TRUE(w.lblSetAsDefaultDestination->isEnabled());
    w.lblSetAsDefaultDestination_Click();
    EXPECT_FALSE(w.lblSetAsDefaultDestination->isEnabled());
    EXPECT_EQ(w.txtToPath->itemText(0), QStringLiteral("/music/old/"));
    EXPECT_EQ(w.txtToPath->count(), 2);
}

TEST_F(FrameTest, EventBoxesStartAsTheOptionsSay)
{
    g_bPlaySound = true;
    g_bTurnOffComputer = true;
    frmJoiner &w = Forms::loadJoiner();
    EXPECT_TRUE(w.chkPlaySound->isChecked());
    EXPECT_FALSE(w.chkOpenDestFolder->isChecked());
    EXPECT_FALSE(w.chkNoticeApp->isChecked());
    EXPECT_TRUE(w.chkTurnOffComputer->isChecked());
    EXPECT_EQ(w.chkPlaySound->text(), QStringLiteral("Play sound"));
    EXPECT_EQ(w.chkNoticeApp->text(), QStringLiteral("Notice application "));
    EXPECT_EQ(w.chkOverWrite, nullptr);
    EXPECT_EQ(w.cmdConvert->text(), QStringLiteral("Join"));
}

TEST_F(FrameTest, ADefaultFormatOutsideTheListLeavesNoSelection)
{
    g_sDefaultTargetFormat = QStringLiteral("FLAC - Free Lossless (*.flac)");
    frmSplitter &w = Forms::loadSplitter();
    EXPECT_EQ(w.cboTargetFormat->currentIndex(), -1);
}

TEST_F(FrameTest, SubFolderPartNeedsTheBoxTickedAndAName)
{
    frmSplitter &w = Forms::loadSplitter();
    const struct {
        bool ticked;
        QString name;
        QString part;
    } cases[] = {
        {true, QStringLiteral("Parts"), QStringLiteral("Parts/")},
        {true, QString(), QString()},
        {false, QStringLiteral("Parts"), QString()},
    };
    for (const auto &c : cases) {
        w.chkCreateSubFolder->setChecked(c.ticked);
        w.chkCreateSubFolder_Click();
        w.txtUndeForlder->setText(c.name);
        EXPECT_EQ(w.GetSubFolderPart(), c.part);
        EXPECT_EQ(w.txtUndeForlder->isEnabled(), c.ticked);
    }
    // Unticking keeps the name for later.
    EXPECT_EQ(w.txtUndeForlder->text(), QStringLiteral("Parts"));
}

TEST_F(FrameTest, OpenDestinationFolderAsksToCreateAMissingOne)
{
    frmSplitter &w = Forms::loadSplitter();
    const QString missing = TestEnv::workFolder() + QStringLiteral("/new/deeper");

    w.txtToPath->setEditText(missing);
    testServices().prompter->answers = {Msg::No};
    w.lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(w.txtToPath->currentText(), missing + QLatin1Char('/'));
    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(testServices().prompter->messages.first().text,
              QStringLiteral("The folder ") + missing + QStringLiteral("/ does not exist.") + QString(44, QLatin1Char(' '))
                  + QStringLiteral("\r\n\r\nWould you like to create it?"));
    EXPECT_FALSE(QDir(missing).exists());
    EXPECT_TRUE(testServices().shell->opened.isEmpty());

    testServices().prompter->answers = {Msg::Yes};
    w.lblOpenDestinationDestinationFolder_Click();
    EXPECT_TRUE(QDir(missing).exists());
    EXPECT_EQ(testServices().shell->opened, QStringList{missing + QLatin1Char('/')});
    EXPECT_EQ(w.txtToPath->itemText(0), missing + QLatin1Char('/'));

    // A folder under a file cannot be made: said, and opened all the same.
    QFile file(TestEnv::workFolder() + QStringLiteral("/afile"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString impossible = file.fileName() + QStringLiteral("/sub/");
    w.txtToPath->setEditText(impossible);
    testServices().prompter->messages.clear();
    testServices().prompter->answers = {Msg::Yes};
    w.lblOpenDestinationDestinationFolder_Click();
    EXPECT_EQ(testServices().prompter->messageTexts().last(),
              QStringLiteral("The path: ") + impossible + QStringLiteral(" cannot be created."));
    EXPECT_EQ(testServices().shell->opened.last(), impossible);
}

TEST_F(FrameTest, OpenDestinationFolderMakesTheDefaultOneWithoutAsking)
{
    frmSplitter &w = Forms::loadSplitter();
    const QString music = QDir::homePath() + QStringLiteral("/Music/Sonvale/");
    ASSERT_EQ(w.txtToPath->currentText(), music);
    w.lblOpenDestinationDestinationFolder_Click();
    EXPECT_TRUE(QFileInfo(music).isDir());
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_EQ(testServices().shell->opened, QStringList{music});
}

TEST_F(FrameTest, SetAsDefaultFormatStoresItEverywhere)
{
    frmSplitter &w = Forms::loadSplitter();
    Forms::loadOptions();
    g_sDefaultTargetFormat = kWavFormat;
    const struct {
        QString defaultFormat;
        QString chosen;
        bool linkEnabled;
    } links[] = {
        {kWavFormat, kWavFormat, false},
        {kWavFormat, kMp3Format, true},
        {kWavFormat.toLower(), kWavFormat, true}, // letter case counts
    };
    for (const auto &c : links) {
        g_sDefaultTargetFormat = c.defaultFormat;
        w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(c.chosen));
        w.cboTargetFormat_Click();
        EXPECT_EQ(w.lblSetAsDefaultFormat->isEnabled(), c.linkEnabled) << c.chosen.toStdString();
    }

    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kMp3Format));
    w.lblSetAsDefaultFormat_Click();
    EXPECT_FALSE(w.lblSetAsDefaultFormat->isEnabled());
    EXPECT_EQ(g_sDefaultTargetFormat, kMp3Format);
    EXPECT_EQ(Forms::options()->cboTargetFormat->currentText(), kMp3Format);
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
    reg.setSubkey(QStringLiteral("General"));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("cboTargetFormat")).toString(), kMp3Format);
}

TEST_F(FrameTest, SetDestinationHandsTheFormatAndItsRecordOver)
{
    frmSplitter &w = Forms::loadSplitter();
    const struct {
        QString format;
        qint32 code;
        QString logText;
    } cases[] = {
        {kWavFormat, 1, QStringLiteral("Destination format: WAV")},
        {kAcmFormat, 2, QStringLiteral("Destination format: ACM WAV")},
        {kMp3Format, 3, QStringLiteral("Destination format: MP3")},
        {QStringLiteral("WMA - Windows Media Audio files (*.wma)"), 4, QStringLiteral("Destination format: WMA")},
        {QStringLiteral("OGG - Ogg Media Format (*.ogg)"), 5, QStringLiteral("Destination format: OGG")},
        {QStringLiteral("APE - Monkey 's Audio (*.ape)"), 6, QStringLiteral("Destination format: APE")},
    };
    for (const auto &c : cases) {
        w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(c.format));
        w.SetDestination();
        EXPECT_EQ(w.cAudioConverter1->DestFormat(), c.code);
        EXPECT_EQ(logMessages(w).last(), c.logText);
    }
    w.cboTargetFormat->setCurrentIndex(-1);
    w.SetDestination();
    EXPECT_EQ(w.cAudioConverter1->DestFormat(), 1);
    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Destination format: WAV"));

    g_lWavSampleRate = 44100;
    g_lWavChannelsIndex = 1;
    g_lWavBitsPerSample = 16;
    w.SetDestination();
    const WavFormatSettings &wav = w.cAudioConverter1->destinationSettings().wav;
    EXPECT_EQ(wav.SampleRate, 44100);
    EXPECT_EQ(wav.Channels, 2);
    EXPECT_EQ(wav.BitsPerSample, 16);
}

TEST_F(FrameTest, Mp3VbrModeFollowsTheTagAndAbrBoxes)
{
    frmJoiner &w = Forms::loadJoiner();
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kMp3Format));
    const struct {
        bool vbrTag;
        bool abr;
        qint32 mode;
        qint16 writeTag;
    } cases[] = {{true, false, 4, -1}, {true, true, 3, -1}, {false, true, 3, 0}, {false, false, 0, 0}};
    for (const auto &c : cases) {
        g_bMp3VBRTag = c.vbrTag;
        g_bMp3ABR = c.abr;
        g_lMp3MinBitrateIndex = 2;
        w.SetDestination();
        const Mp3EncoderSettings &mp3 = w.cAudioJoin1->destinationSettings().mp3;
        EXPECT_EQ(mp3.VBRMode, c.mode) << c.vbrTag << c.abr;
        EXPECT_EQ(mp3.WriteVBRTag, c.writeTag);
        EXPECT_EQ(mp3.VBRMinBitrateIndex, 2);
    }
    g_bMp3VBRTag = g_bMp3ABR = false;

    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(QStringLiteral("OGG - Ogg Media Format (*.ogg)")));
    g_bOggBitrateMode = false;
    g_lOggQuality = 40;
    g_lOggNominalBitrate = 128;
    w.SetDestination();
    EXPECT_EQ(w.cAudioJoin1->destinationSettings().ogg.Mode, 0);
    EXPECT_EQ(w.cAudioJoin1->destinationSettings().ogg.NominalBitrate, 0);
    EXPECT_EQ(w.cAudioJoin1->destinationSettings().ogg.Quality, 40);
    g_bOggBitrateMode = true;
    w.SetDestination();
    EXPECT_EQ(w.cAudioJoin1->destinationSettings().ogg.Mode, 2);
    EXPECT_EQ(w.cAudioJoin1->destinationSettings().ogg.NominalBitrate, 128);
    EXPECT_EQ(w.cAudioJoin1->destinationSettings().ogg.Quality, 0);
    g_bOggBitrateMode = false;
}

TEST_F(FrameTest, TagTemplatesExpandTheirPlaceholders)
{
    frmSplitter &w = Forms::loadSplitter();
    const QString year = QString::number(QDate::currentDate().year());
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("Live [YEAR]"), QStringLiteral("Live ") + year},
        {QStringLiteral("[PROG_NAME] [PROG_VERSION]"), g_sAppName + QLatin1Char(' ') + g_sAppVersion},
        {QStringLiteral("[date] [year]"), QStringLiteral("[date] [year]")},
        {QStringLiteral("[SOURCE_NAME][ITEM_NAME][RANGE]"), QStringLiteral("[SOURCE_NAME][ITEM_NAME][RANGE]")},
        {QStringLiteral("#[TRACK_NUM]"), QStringLiteral("#1")},
        {QString(), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(w.CreateID3TagsString(c.in), c.out) << c.in.toStdString();
    EXPECT_EQ(w.CreateID3TagsString(QStringLiteral("[DATE]")),
              QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

} // namespace

namespace {

class FrameDialogsTest : public FrameTest {
protected:
    // Runs action once the window that window() answers is on screen, so a
    // modal showing can be answered from inside its own event loop.
    template <typename Window, typename Action>
    void whenShown(Window window, Action action)
    {
        auto *timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [timer, window, action] {
            QWidget *shown = window();
            if (shown && shown->isVisible()) {
                timer->deleteLater();
                timer->stop();
                action();
            }
        });
        timer->start(10);
    }
};

TEST_F(FrameDialogsTest, EditTakesTheFormatWindowsChoiceAsTheDefault)
{
    frmSplitter &w = Forms::loadSplitter();
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kWavFormat));
    w.lblSetAsDefaultFormat_Click();
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kMp3Format));

    // The exit button stores nothing: the window falls back to the stored default.
    whenShown([] { return Forms::audioProp(); }, [] { Forms::audioProp()->cmdExit->click(); });
    w.cmdEditTargetFormat->click();
    EXPECT_EQ(w.cboTargetFormat->currentText(), kWavFormat);
    EXPECT_EQ(g_sDefaultTargetFormat, kWavFormat);
    EXPECT_FALSE(w.lblSetAsDefaultFormat->isEnabled());

    // OK on another format's tab makes that format the window's and the default.
    const QString ogg = QStringLiteral("OGG - Ogg Media Format (*.ogg)");
    whenShown([] { return Forms::audioProp(); }, [] {
        frmAudioProp *formats = Forms::audioProp();
        formats->cTabControl1->SelectTab(QStringLiteral("OGG"));
        formats->cTabControl1_TabClick(formats->cTabControl1->TabIndex(QStringLiteral("OGG")));
        formats->cmdOk->click();
    });
    w.cmdEditTargetFormat->click();
    EXPECT_EQ(w.cboTargetFormat->currentText(), ogg);
    EXPECT_EQ(g_sDefaultTargetFormat, ogg);
    EXPECT_EQ(Forms::options()->cboTargetFormat->currentText(), ogg);
}

TEST_F(FrameDialogsTest, EventsLinkResetsTheBoxesToTheStoredOptions)
{
    frmSplitter &w = Forms::loadSplitter();
    w.chkOpenDestFolder->setChecked(true);
    whenShown([] { return Forms::options(); }, [] { Forms::options()->cmdCancel->click(); });
    w.lblEventsSettings->clicked();
    EXPECT_FALSE(w.chkOpenDestFolder->isChecked());
    EXPECT_FALSE(w.chkPlaySound->isChecked());
    EXPECT_EQ(Forms::options()->cTreeView1->SelectedItem()->Key(), QStringLiteral("Events"));
}

} // namespace
