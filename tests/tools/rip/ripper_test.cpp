#include "RipFixture.h"

#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/RegistryRoutines.h"
#include "core/LinkLabel.h"
#include "core/mdlModes.h"
#include "platform/AppPaths.h"
#include "settings/frmOptions.h"
#include "settings/OptionSettings.h"
#include "support/ScriptedServices.h"
#include "tools/rip/frmCDRipper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QRegularExpression>

namespace {

using CdFixture::Track;

// Whole seconds of CD audio: 75 sectors a second.
constexpr int kSecond = 75;

QString balloon(const QString &text)
{
    return g_sAppName + QLatin1Char(' ') + g_sAppVersion + QLatin1Char('|') + text;
}

// The rip of track t holds exactly the disc's samples of that track.
void expectTrackSamples(const QString &path, int track, int sectors)
{
    TestAudio::WavSpec spec;
    const QVector<qint16> samples = TestAudio::readWav16(path, &spec);
    ASSERT_EQ(spec.rate, 44100);
    ASSERT_EQ(spec.channels, 2);
    ASSERT_EQ(samples.size(), qsizetype(sectors) * CdFixture::kFramesPerSector * 2);
    for (qint64 frame = 0; frame < samples.size() / 2; ++frame) {
        for (int ch = 0; ch < 2; ++ch) {
            if (samples[frame * 2 + ch] != CdFixture::sample(track, frame, ch)) {
                FAIL() << "track " << track << " differs at frame " << frame << " channel " << ch;
                return;
            }
        }
    }
}

using RipperJob = RipFixture;

} // namespace

TEST_F(RipperJob, RipsTheTickedTracksSampleExactWithTheirNames)
{
    useDrives({makeDisc("disc", {{true, 2 * kSecond}, {true, 1 * kSecond}, {true, 3 * kSecond}})});
    g_sDefaultFileNameFormat = QStringLiteral("[file_name]_[123].[dest_extension]");
    addTrack(2, true);
    addTrack(1, false);
    addTrack(3, true);
    frmCDRipper &window = openRipper();
    window.chkTurnOffComputer->setChecked(false);

    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window));

    expectTrackSamples(destination() + "Track01_1.wav", 1, 2 * kSecond);
    expectTrackSamples(destination() + "Track03_3.wav", 3, 3 * kSecond);
    EXPECT_EQ(QDir(destination()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Track01_1.wav", "Track03_3.wav"}));
    // The unticked row leaves no trace.
    EXPECT_EQ(logMessages(window.txtLog),
              (QStringList{"Preparing to rip: 3 tracks.", "Destination format: WAV", "Start to rip: Track01.cda...",
                           "Done.", "Start to rip: Track03.cda...", "Done."}));
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloon("Done.")});
    EXPECT_EQ(window.lblCurrentTrack->text(), "Done.");
    EXPECT_EQ(window.windowTitle(), "Done.");
    EXPECT_EQ(window.prgTotal->Value(), 300);
    EXPECT_EQ(window.lblFilesToConvert->text(), "Files: 3/3");
    EXPECT_TRUE(window.cmdConvert->isEnabled());
    EXPECT_TRUE(window.cmdExit->isEnabled());

    // A second job in the same window starts from the first row after an
    // empty line in the log, and the overwrite box skips the question.
    window.chkOverWrite->setChecked(true);
    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window, 2));
    const QStringList log = logMessages(window.txtLog);
    EXPECT_EQ(log.mid(6, 3), (QStringList{"", "Preparing to rip: 3 tracks.", "Destination format: WAV"}));
    EXPECT_EQ(log.count("Done."), 4);
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
}

TEST_F(RipperJob, RipsToMp3WithTemplateNameAndTagsOfTheRow)
{
    useDrives({makeDisc("disc", {{true, 2 * kSecond}, {true, 1 * kSecond}})});
    g_sDefaultTargetFormat = kMp3Format;
    g_sDefaultFileNameFormat = QStringLiteral("[123].[source_extension].[dest_extension]");
    addTrack(2, true, {"First Album", "The Band", "ripped by [PROG_NAME] [PROG_VERSION]", "Rock", "[YEAR]",
                       "Song [TRACK_NUM]", "[TRACK_NUM]"});
    addTrack(1, true, {"First Album", "The Band", "", "Rock", "1999", "Song [TRACK_NUM] [ITEM_NAME]", "[TRACK_NUM]"});
    frmCDRipper &window = openRipper();
    window.cboTargetFormat->setCurrentIndex(window.cboTargetFormat->findText(kMp3Format));

    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window));
    EXPECT_TRUE(logMessages(window.txtLog).contains("Destination format: MP3"));

    const QJsonObject first = TestAudio::probe(destination() + "1.cda.mp3");
    EXPECT_EQ(first.value("stream").toObject().value("codec_name").toString(), "mp3");
    EXPECT_NEAR(first.value("format").toObject().value("duration").toString().toDouble(), 2.0, 0.1);
    EXPECT_EQ(TestAudio::probedTag(first, "title"), "Song 1");
    EXPECT_EQ(TestAudio::probedTag(first, "artist"), "The Band");
    EXPECT_EQ(TestAudio::probedTag(first, "album"), "First Album");
    EXPECT_EQ(TestAudio::probedTag(first, "comment"), "ripped by Sonvale 3.1");
    EXPECT_EQ(TestAudio::probedTag(first, "track"), "1");
    EXPECT_TRUE(TestAudio::probedTag(first, "date").startsWith(QString::number(QDate::currentDate().year())));

    const QJsonObject second = TestAudio::probe(destination() + "2.cda.mp3");
    EXPECT_NEAR(second.value("format").toObject().value("duration").toString().toDouble(), 1.0, 0.1);
    // The converter's own placeholders stay as they are in the ripper.
    EXPECT_EQ(TestAudio::probedTag(second, "title"), "Song 2 [ITEM_NAME]");
    EXPECT_EQ(TestAudio::probedTag(second, "track"), "2");
}

TEST_F(RipperJob, OutputNamesFollowTheTemplate)
{
    useDrives({});
    addTrack(2, true);
    addTrack(2, true);
    // Row 2 as a CD database look-up leaves it: a title with a slash.
    mainGrid->SetCell(2, mainGrid->ColumnIndex("Item Name"), "AC/DC: Live.cda");
    frmCDRipper &window = Forms::loadCDRipper();
    window.HandOver(mainRows(), "Disc", "D:");
    const QString time = QStringLiteral("[0-9]{2}-[0-9]{2}-[0-9]{2}");
    struct Case {
        const char *nameTemplate;
        QString format;
        int row;
        QString expected;
    };
    const Case cases[] = {
        {"[file_name].[dest_extension]", kMp3Format, 1, "Track01.mp3"},
        {"[123].[dest_extension]", kWavFormat, 2, "2.wav"},
        {"[file_name]_[123].[source_extension].[dest_extension]", kMp3Format, 1, "Track01_1.cda.mp3"},
        {"[file_name]-[convert_extension]", "OGG - Ogg Media Format (*.ogg)", 1, "Track01-ogg"},
        // A title from the database never makes a folder of part of the name.
        {"[item_name].[dest_extension]", kWavFormat, 2, "AC-DC: Live.cda.wav"},
        {"[file_name].[dest_extension]", kWavFormat, 2, "Track02.wav"},
        // Without " -" in the format text the extension tokens stay.
        {"[file_name].[dest_extension]", "", 1, "Track01.[dest_extension]"},
        // A template that names no file gives nothing rather than the folder.
        {"..", kWavFormat, 1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.nameTemplate);
        window.cboFileName->clear();
        window.cboFileName->addItem(c.nameTemplate);
        window.cboTargetFormat->setCurrentIndex(window.cboTargetFormat->findText(c.format));
        EXPECT_EQ(window.MakeOutputFileName(c.row), c.expected);
    }
    window.cboFileName->clear();
    window.cboFileName->addItem("[file_name] [time] [date]");
    const QString timed = window.MakeOutputFileName(1);
    EXPECT_TRUE(timed.startsWith("Track01 ")) << timed.toStdString();
    EXPECT_FALSE(timed.contains('/')) << timed.toStdString();
    EXPECT_TRUE(QRegularExpression("Track01 " + time + " ").match(timed).hasMatch()) << timed.toStdString();
}

TEST_F(RipperJob, DriveCheckTellsWhatTheDriveHolds)
{
    const QString audio = makeDisc("audio", {{true, kSecond}, {true, kSecond}});
    const QString data = makeDisc("data", {{false, kSecond}});
    struct Case {
        const char *what;
        QStringList drives;
        QString drive;
        QString status;
        bool red;
        int entries;
    };
    const Case cases[] = {
        {"no drive", {}, "D:", "Ready.", false, 0},
        {"unreadable drive", {TestEnv::workFolder() + "/gone.cue"}, "D:", "Cannot select 'D:\\' as an Audio CD.", true, 1},
        {"data disc", {data}, "D:", "'D:\\' is not an Audio CD.", true, 1},
        {"audio disc", {audio}, "D:", "OK: 2 CDA tracks", false, 1},
        {"second drive chosen by the main window", {audio, data}, "E:", "'E:\\' is not an Audio CD.", true, 2},
    };
    addTrack(1, true);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        useDrives(c.drives);
        frmCDRipper &window = openRipper("Disc", c.drive);
        EXPECT_EQ(window.cboDevices->count(), c.entries);
        EXPECT_EQ(window.lblCDStatus->text(), c.status);
        EXPECT_EQ(window.lblCDStatus->palette().color(QPalette::WindowText),
                  c.red ? QColor(255, 0, 0) : QColor(Qt::black));
        if (c.entries > 0) {
            EXPECT_TRUE(window.cboDevices->currentText().startsWith(c.drive));
        }
        EXPECT_FALSE(window.cboDevices->isEnabled());
        EXPECT_FALSE(window.cmdOpenCD->isEnabled());
        window.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(RipperJob, HandOverFillsTheWindow)
{
    useDrives({makeDisc("disc", {{true, kSecond}})});
    addTrack(65, true);
    addTrack(30, false);
    addTrack(10, true);
    frmCDRipper &window = openRipper("Best of: Vol/1", "D:");
    EXPECT_EQ(window.lblFilesToConvert->text(), "2 items to convert.");
    EXPECT_EQ(window.g_ltmrItemSecsTotal, 75);
    EXPECT_EQ(window.txtUndeForlder->text(), "Best-of--Vol-1");
    EXPECT_EQ(window.cGrid1->Rows(), 3);
    const int inc = window.cGrid1->ColumnIndex("Inc");
    EXPECT_EQ(window.cGrid1->CellIcon(2, inc), 0);
    EXPECT_EQ(window.cGrid1->CellIcon(3, inc), 1);
    EXPECT_EQ(window.cGrid1->CellText(3, window.cGrid1->ColumnIndex("COL_FILE")), "D:/Track03.cda");
    // The ejecting box is ticked by design; the template is the second one.
    EXPECT_TRUE(window.chkOpenCDdrive->isChecked());
    EXPECT_EQ(window.cboFileName->currentIndex(), 1);
}

TEST_F(RipperJob, OverwriteQuestionSkipsOrReplaces)
{
    g_sDefaultFileNameFormat = QStringLiteral("[file_name].[dest_extension]");
    useDrives({makeDisc("disc", {{true, kSecond}, {true, kSecond}})});
    addTrack(1, true);
    addTrack(1, true);
    const QString first = destination() + "Track01.wav";
    const QString second = destination() + "Track02.wav";
    for (const QString &path : {first, second}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    frmCDRipper &window = openRipper();
    testServices().prompter->answers = {Msg::No, Msg::Yes};

    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window));

    ASSERT_EQ(testServices().prompter->messages.size(), 2);
    const MessageRequest &question = testServices().prompter->messages.first();
    EXPECT_EQ(question.text, "The file: '" + first + "' already exists.\r\n\r\nOverwrite it?");
    EXPECT_EQ(question.style, int(Msg::YesNoCancel) + Msg::Information);
    EXPECT_EQ(QFileInfo(first).size(), 4);
    expectTrackSamples(second, 2, kSecond);
    EXPECT_EQ(logMessages(window.txtLog),
              (QStringList{"Preparing to rip: 2 tracks.", "Destination format: WAV", "Start to rip: Track01.cda...",
                           "File already exists.", "Start to rip: Track02.cda...", "File already exists.",
                           "Overwrite it...", "Done."}));
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloon("Done.")});

    // Cancel ends the job at once.
    testServices().prompter->answers = {Msg::Cancel};
    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window, 2));
    EXPECT_EQ(logMessages(window.txtLog).last(), "Aborted.");
    EXPECT_EQ(window.lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(testServices().tray->balloons.last(), balloon("Aborted."));
    EXPECT_EQ(QFileInfo(first).size(), 4);
}

TEST_F(RipperJob, FailedTrackDoesNotStopTheJobAndIsReported)
{
    g_sDefaultFileNameFormat = QStringLiteral("[file_name].[dest_extension]");
    useDrives({makeDisc("disc", {{true, kSecond}, {true, kSecond}})});
    addTrack(1, true);
    addTrack(1, true);
    // Something the rip cannot replace stands where track 1 goes.
    ASSERT_TRUE(QDir().mkpath(destination() + "Track01.wav"));
    frmCDRipper &window = openRipper();
    window.chkTurnOffComputer->setChecked(true);
    window.chkPlaySound->setChecked(true);

    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window));

    const QStringList log = logMessages(window.txtLog);
    ASSERT_GE(log.size(), 4);
    EXPECT_TRUE(log[3].startsWith("Error: ")) << log.join('\n').toStdString();
    EXPECT_TRUE(log.contains("Start to rip: Track02.cda..."));
    expectTrackSamples(destination() + "Track02.wav", 2, kSecond);
    // The end says that a track failed; the end events run but the
    // computer stays on.
    const QString end = "Done with errors.";
    EXPECT_EQ(log.last(), "1 of 2 tracks failed.");
    EXPECT_EQ(window.lblCurrentTrack->text(), end);
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloon(end)});
    EXPECT_EQ(testServices().sound->played.size(), 1);
    EXPECT_EQ(window.m_bErrorOccurred, -1);
}

TEST_F(RipperJob, AStartWithoutADestinationFormatIsRefusedAndRipsNothing)
{
    useDrives({makeDisc("disc", {{true, kSecond}})});
    addTrack(1, true);
    frmCDRipper &window = openRipper();
    window.cboTargetFormat->setCurrentIndex(-1);

    window.cmdConvert->click();

    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{"Select the destination format."});
    EXPECT_FALSE(window.isRunning());
    EXPECT_TRUE(logMessages(window.txtLog).isEmpty());
    EXPECT_TRUE(QDir(destination()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
}

TEST_F(RipperJob, AbortEndsTheJobAndTheWindowStaysOpenMeanwhile)
{
    useDrives({makeDisc("disc", {{true, 60 * kSecond}, {true, kSecond}})});
    g_sDefaultTargetFormat = kMp3Format;
    addTrack(60, true);
    addTrack(1, true);
    frmCDRipper &window = openRipper();
    window.cboTargetFormat->setCurrentIndex(window.cboTargetFormat->findText(kMp3Format));
    window.show();

    // Abort while idle asks nothing.
    window.cmdAbort->click();
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());

    bool closedWhileRunning = false;
    QObject::connect(window.cAudioCDRipper1, &cAudioCDRipper::Progress, &window, [&] {
        if (closedWhileRunning || !window.isRunning())
            return;
        closedWhileRunning = true;
        // The close box is refused without a word while the job runs.
        window.close();
        EXPECT_TRUE(window.isVisible());
        testServices().prompter->answers = {Msg::No, Msg::Yes};
        window.cmdAbort->click(); // No: goes on
        window.cmdAbort->click(); // Yes
    });
    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window));

    EXPECT_TRUE(closedWhileRunning);
    ASSERT_EQ(testServices().prompter->messages.size(), 2);
    EXPECT_EQ(testServices().prompter->messages[0].text, "Abort operation?" + QString(38, ' '));
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloon("Aborted.")});
    EXPECT_EQ(window.lblCurrentTrack->text(), "Aborted.");
    EXPECT_EQ(logMessages(window.txtLog).last(), "Aborted.");
    EXPECT_FALSE(logMessages(window.txtLog).contains("Start to rip: Track02.cda..."));
    EXPECT_TRUE(QDir(destination()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // Idle again: Exit closes the window.
    window.cmdExit->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(RipperJob, RangedRowRipsItsRangeAndTheWholeRowAfterItTheWholeTrack)
{
    g_sDefaultFileNameFormat = QStringLiteral("[file_name].[dest_extension]");
    useDrives({makeDisc("disc", {{true, 3 * kSecond}, {true, 2 * kSecond}})});
    const int ranged = addTrack(3, true);
    mainGrid->SetCell(ranged, mainGrid->ColumnIndex("COL_RANGE_ALL"), "0");
    mainGrid->SetCell(ranged, mainGrid->ColumnIndex("COL_RANGE_START_TIME"), "1");
    mainGrid->SetCell(ranged, mainGrid->ColumnIndex("COL_RANGE_LENGTH_TIME"), "1");
    addTrack(2, true);
    frmCDRipper &window = openRipper();
    EXPECT_EQ(window.g_ltmrItemSecsTotal, 3);

    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window));

    const QVector<qint16> part = TestAudio::readWav16(destination() + "Track01.wav");
    const qint64 second = kSecond * CdFixture::kFramesPerSector;
    ASSERT_EQ(part.size(), second * 2);
    for (qint64 frame = 0; frame < second; frame += 997)
        ASSERT_EQ(part[frame * 2], CdFixture::sample(1, second + frame, 0)) << frame;
    expectTrackSamples(destination() + "Track02.wav", 2, 2 * kSecond);
}

TEST_F(RipperJob, ProgressAndTimeLeftFollowTheJob)
{
    useDrives({});
    for (int i = 0; i < 3; ++i)
        addTrack(10, true);
    frmCDRipper &window = openRipper();
    window.prgTotal->setMax(300);
    window.m_lCurrentRow = 1;
    window.g_ltmrItemSecs = 10;

    window.cAudioCDRipper1_Progress(0);
    EXPECT_EQ(window.prgTotal->Value(), 0);
    EXPECT_EQ(window.windowTitle(), "Audio CD Ripper");
    window.cAudioCDRipper1_Progress(25);
    EXPECT_EQ(window.g_ltmrCurItemSecs, 2); // 2.5 goes to the even neighbour
    window.m_lCurrentRow = 2;
    window.cAudioCDRipper1_Progress(100);
    EXPECT_EQ(window.prgTotal->Value(), 200);
    EXPECT_EQ(window.windowTitle(), "Converting... [ 100% / 66.6666666666667% ]");
    window.m_lCurrentRow = 3;
    window.cAudioCDRipper1_Progress(100);
    EXPECT_EQ(window.prgTotal->Value(), 300);

    struct Case {
        const char *what;
        qint32 ticks, current, finished, total;
        bool running;
        QString shown;
        bool timerOn;
    };
    const Case cases[] = {
        {"nothing done yet", 5, 0, 0, 30, true, "Time Left: 00:00:00", true},
        {"a third done in 4 s", 3, 5, 5, 30, true, "Time Left: 00:00:08", true},
        {"halves to even", 9, 2, 2, 5, true, "Time Left: 00:00:02", true},
        {"over the total", 9, 20, 20, 30, true, "Time Left: 00:00:00", true},
        {"hours", 3599, 1, 0, 3, true, "Time Left: 02:00:00", true},
        {"job over", 3, 5, 5, 30, false, "Time Left: 00:00:00", false},
    };
    window.cmdConvert->setEnabled(false);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        window.lblTimeLeft->setText("Time Left: 00:00:00");
        window.cmdConvert->setEnabled(!c.running);
        window.Timer1->start();
        window.g_ltmrSces = c.ticks;
        window.g_ltmrCurItemSecs = c.current;
        window.g_ltmrUpToItemSecs = c.finished;
        window.g_ltmrItemSecsTotal = c.total;
        window.Timer1_Timer();
        EXPECT_EQ(window.g_ltmrSces, c.ticks + 1);
        EXPECT_EQ(window.lblTimeLeft->text(), c.shown);
        EXPECT_EQ(window.Timer1->isActive(), c.timerOn);
    }
    window.Timer1->stop();
    window.cmdConvert->setEnabled(true);
}

TEST_F(RipperJob, FileNameTemplatesComeFromTheListFileAndTheDefaultIsStored)
{
    useDrives({});
    QFile list(AppPaths::programFolder() + "/FileNameFormats.txt");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("[123].[dest_extension]\r\n\r\n[item_name].[dest_extension]\r\nRip_[123].[dest_extension]\r\n");
    list.close();
    g_sDefaultFileNameFormat = "Rip_[123].[dest_extension]";
    addTrack(1, true);
    frmCDRipper &window = openRipper();

    ASSERT_EQ(window.cboFileName->count(), 3);
    EXPECT_EQ(window.cboFileName->itemText(1), "[item_name].[dest_extension]");
    EXPECT_EQ(window.cboFileName->currentText(), "Rip_[123].[dest_extension]");
    EXPECT_FALSE(window.lblSetAsDefaultFileName->isEnabled());

    window.cboFileName->setCurrentIndex(0);
    EXPECT_TRUE(window.lblSetAsDefaultFileName->isEnabled());
    window.lblSetAsDefaultFileName_Click();
    EXPECT_FALSE(window.lblSetAsDefaultFileName->isEnabled());
    EXPECT_EQ(g_sDefaultFileNameFormat, "[123].[dest_extension]");
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
    reg.setSubkey(QStringLiteral("General"));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("cboFileName")).toString(), "[123].[dest_extension]");
}

TEST_F(RipperJob, TracksNamedAlikeDoNotOverwriteEachOther)
{
    useDrives({makeDisc("disc", {{true, kSecond}, {true, kSecond}})});
    addTrack(1, true);
    addTrack(1, true);
    // Two tracks the CD database titled alike.
    for (int row = 1; row <= 2; ++row)
        mainGrid->SetCell(row, mainGrid->ColumnIndex("Item Name"), "Intro.cda");
    frmCDRipper &window = openRipper();
    window.cboFileName->addItem("[item_name].[dest_extension]");
    window.cboFileName->setCurrentText("[item_name].[dest_extension]");

    window.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(window));

    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    expectTrackSamples(destination() + "Intro.cda.wav", 1, kSecond);
    expectTrackSamples(destination() + "Intro.cda (2).wav", 2, kSecond);
    EXPECT_TRUE(logMessages(window.txtLog)
                    .contains("An earlier track of this job has the name Intro.cda.wav, this one is saved as "
                              "Intro.cda (2).wav."));
}
