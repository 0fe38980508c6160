#include "support/ToolFixture.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/mdlModes.h"
#include "settings/OptionSettings.h"
#include "support/AudioFixtures.h"
#include "support/ScriptedServices.h"
#include "tools/splitjoin/frmSplitter.h"

#include "controls/ui/cStatusBar.h"
#include "core/mdlFunctions.h"

#include <QCheckBox>
#include <QDate>
#include <QFileInfo>
#include <QJsonObject>
#include <QPointer>
#include <QTest>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kTooSmall = QStringLiteral("Source file length is to small.       ");

class SplitterTest : public ToolFixture {
protected:
    void TearDown() override
    {
        if (frmSplitter *w = Forms::splitter()) {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        ToolFixture::TearDown();
    }

    // Loads the splitter, hands it the row and points it at the test's folder.
    frmSplitter &open(int row, const QString &listName = QStringLiteral("My list"))
    {
        frmSplitter &w = Forms::loadSplitter();
        w.HandOver(*mainGrid, row, listName);
        w.txtToPath->setEditText(destination());
        return w;
    }

    frmSplitter &openTone(qint64 frames = 10 * kRate, const RowTags &tags = {})
    {
        return open(addRow(makeTone(QStringLiteral("tone.wav"), frames), tags));
    }

    static void byParts(frmSplitter &w, const QString &count)
    {
        w.ptnSplitByParts->click();
        w.txtSplitParts->setText(count);
    }
    static void bySeconds(frmSplitter &w, const QString &seconds)
    {
        w.ptnSplitBySecs->click();
        w.txtSplitSecs->setText(seconds);
    }

    QStringList writtenFiles() const
    {
        return QDir(destination()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

struct SplitCase {
    const char *name;
    bool parts;
    const char *number;
    QList<qint64> seconds; // length of each part, in order
    int totalMax;
};

class SplitLengths : public SplitterTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitLengths, WritesEveryPartSampleExactWithItsName)
{
    const SplitCase &c = GetParam();
    frmSplitter &w = openTone();
    if (c.parts)
        byParts(w, QString::fromLatin1(c.number));
    else
        bySeconds(w, QString::fromLatin1(c.number));

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    QStringList expected;
    for (int k = 1; k <= c.seconds.size(); ++k)
        expected << QStringLiteral("Part_%1_tone.WAV").arg(k);
    EXPECT_EQ(writtenFiles(), expected);
    for (int k = 1; k <= c.seconds.size(); ++k)
        EXPECT_EQ(wavFrames(destination() + expected.at(k - 1)), c.seconds.at(k - 1) * kRate) << "part " << k;

    QStringList log;
    log << QStringLiteral("Preparing to split: tone.wav..") << QStringLiteral("Destination format: WAV");
    for (int k = 1; k <= c.seconds.size(); ++k)
        log << QStringLiteral("Start to split: tone.wav...") << QStringLiteral("Done.");
    EXPECT_EQ(logMessages(w), log);
    EXPECT_EQ(w.prgTotal->Max(), c.totalMax);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    EXPECT_EQ(testServices().tray->balloons, QStringList{g_sAppName + QLatin1Char(' ') + g_sAppVersion + QStringLiteral("|Done.")});
    EXPECT_TRUE(w.cmdConvert->isEnabled());
    EXPECT_TRUE(w.cmdExit->isEnabled());
    EXPECT_EQ(w.windowTitle(), g_sAppName + QLatin1Char(' ') + g_sAppVersion);
}

INSTANTIATE_TEST_SUITE_P(Splitter, SplitLengths,
                         ::testing::Values(
                             // 10 s / 3 rounds to 3 s a part: the rest makes a fourth part.
                             SplitCase{"ThreeParts", true, "3", {3, 3, 3, 1}, 300},
                             SplitCase{"OnePart", true, "1", {10}, 100},
                             SplitCase{"FourSecondPieces", false, "4", {4, 4, 2}, 250},
                             // 2.5 s rounds to the even 2.
                             SplitCase{"HalfRoundsToEven", true, "4", {2, 2, 2, 2, 2}, 400}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SplitterTest, PartNamesTakeTheFormatsFirstThreeLetters)
{
    frmSplitter &w = openTone();
    const struct {
        QString source;
        QString format;
        int part;
        QString name;
    } cases[] = {
        {QStringLiteral("/music/song.mp3"), kWavFormat, 1, QStringLiteral("Part_1_song.WAV")},
        {QStringLiteral("/music/song.mp3"), kAcmFormat, 12, QStringLiteral("Part_12_song.ACM")},
        {QStringLiteral("/music/song.mp3"), kMp3Format, 3, QStringLiteral("Part_3_song.MP3")},
        // Only a three-letter extension is cut off.
        {QStringLiteral("/music/song.aiff"), kWavFormat, 1, QStringLiteral("Part_1_song.aWAV")},
    };
    for (const auto &c : cases) {
        w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(c.format));
        w.m_lPartNumber = c.part;
        EXPECT_EQ(w.GetPartFileName(c.source), c.name);
    }
}

TEST_F(SplitterTest, LengthsThatGiveNoPartStopTheStartWithAMessage)
{
    const struct {
        bool parts;
        QString number;
    } cases[] = {
        {true, QStringLiteral("20")},  // half a second a part
        {true, QStringLiteral("0")},   // no count
        {true, QStringLiteral("-2")},  // a negative length
        {true, QStringLiteral("six")}, // not a number
        {false, QStringLiteral("10")}, // a part as long as the source
        {false, QStringLiteral("0.4")},
        {false, QStringLiteral("ten")},
    };
    frmSplitter &w = openTone();
    for (const auto &c : cases) {
        testServices().prompter->messages.clear();
        if (c.parts)
            byParts(w, c.number);
        else
            bySeconds(w, c.number);
        w.cmdConvert->click();
        ASSERT_EQ(testServices().prompter->messageTexts(), QStringList{kTooSmall}) << c.number.toStdString();
        EXPECT_EQ(testServices().prompter->messages.first().style, int(Msg::OkOnly) + Msg::Information);
        EXPECT_FALSE(w.isRunning());
        EXPECT_EQ(logMessages(w).last(), QStringLiteral("Destination format: WAV"));
    }
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
}

TEST_F(SplitterTest, AnUnreadableSourceIsTooSmall)
{
    frmSplitter &w = open(addRow(TestEnv::workFolder() + QStringLiteral("/missing.wav")));
    w.cmdConvert->click();
    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{kTooSmall});
    EXPECT_FALSE(w.isRunning());
}

TEST_F(SplitterTest, ACountThatGivesNoLengthNeverReusesTheLastJobs)
{
    frmSplitter &w = openTone();
    byParts(w, QStringLiteral("2"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    QDir(destination()).removeRecursively();

    byParts(w, QStringLiteral("0"));
    w.cmdConvert->click();
    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{kTooSmall});
    EXPECT_FALSE(QDir(destination()).exists() && !writtenFiles().isEmpty());
}

TEST_F(SplitterTest, TheFolderBoxIsAFolderWithOrWithoutItsClosingSlash)
{
    frmSplitter &w = openTone(2 * kRate);
    byParts(w, QStringLiteral("1"));
    w.txtToPath->setEditText(QString());
    w.cmdConvert->click();
    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{QStringLiteral("Select the destination folder.")});
    EXPECT_TRUE(w.txtLog->toPlainText().isEmpty());

    QString typed = destination();
    typed.chop(1);
    w.txtToPath->setEditText(typed);
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_EQ(writtenFiles(), QStringList{QStringLiteral("Part_1_tone.WAV")});
}

TEST_F(SplitterTest, ASecondJobIsSeparatedByABlankLine)
{
    frmSplitter &w = openTone(4 * kRate);
    byParts(w, QStringLiteral("1"));
    w.chkOverWrite->setChecked(true);
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w, 2));
    const QStringList log = logMessages(w);
    const qsizetype second = log.lastIndexOf(QStringLiteral("Preparing to split: tone.wav.."));
    ASSERT_GT(second, 0);
    EXPECT_EQ(log.at(second - 1), QString());
    // With the overwrite box ticked, nothing is asked.
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_FALSE(log.contains(QStringLiteral("File already exists.")));
}

struct OverwriteCase {
    const char *name;
    int answer;
    bool written;
    bool abortedLine;
};

class OverwriteQuestion : public SplitterTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteQuestion, AnswerDecidesTheWholeJob)
{
    const OverwriteCase &c = GetParam();
    frmSplitter &w = openTone();
    byParts(w, QStringLiteral("2"));
    w.chkPlaySound->setChecked(true);
    const QString existing = destination() + QStringLiteral("Part_1_tone.WAV");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    testServices().prompter->answers = {c.answer};

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(testServices().prompter->messages.first().text,
              QStringLiteral("The file: '") + existing + QStringLiteral("' already exists.\r\n\r\nOverwrite it?"));
    EXPECT_EQ(testServices().prompter->messages.first().style, int(Msg::YesNoCancel) + Msg::Information);
    const QStringList log = logMessages(w);
    EXPECT_TRUE(log.contains(QStringLiteral("File already exists.")));
    EXPECT_FALSE(w.isRunning());
    if (c.written) {
        EXPECT_TRUE(log.contains(QStringLiteral("Overwrite it...")));
        EXPECT_EQ(wavFrames(existing), 5 * kRate);
        EXPECT_EQ(writtenFiles().size(), 2);
        EXPECT_EQ(testServices().sound->played, QStringList{g_sEndSoundFile});
        return;
    }
    EXPECT_EQ(log.last(), c.abortedLine ? QStringLiteral("Aborted.") : QStringLiteral("File already exists."));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_TRUE(testServices().tray->balloons.last().endsWith(QStringLiteral("|Aborted.")));
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));
    EXPECT_EQ(writtenFiles(), QStringList{QStringLiteral("Part_1_tone.WAV")});
    EXPECT_TRUE(testServices().sound->played.isEmpty()) << "an ended-by-answer job runs no end-of-job event";
}

INSTANTIATE_TEST_SUITE_P(Splitter, OverwriteQuestion,
                         ::testing::Values(OverwriteCase{"Yes", Msg::Yes, true, false},
                                           OverwriteCase{"No", Msg::No, false, false},
                                           OverwriteCase{"Cancel", Msg::Cancel, false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SplitterTest, AbortStopsThePartAndLeavesNoFile)
{
    // A long CD-quality source, so the first part is still running when the
    // abort comes.
    const QString source = TestEnv::workFolder() + QStringLiteral("/long.wav");
    Fixture::writeWav(source, Fixture::WavSpec{44100, 2, 16}, qint64(44100) * 240);
    frmSplitter &w = open(addRow(source));
    byParts(w, QStringLiteral("2"));
    w.chkPlaySound->setChecked(true);

    w.cmdAbort->click(); // idle: nothing is asked
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());

    testServices().prompter->answers = {Msg::Yes};
    w.cmdConvert->click();
    ASSERT_TRUE(w.isRunning());
    w.cmdAbort->click();
    ASSERT_TRUE(waitUntil([&] { return !w.isRunning(); }, 60000));
    flushEvents();

    EXPECT_EQ(testServices().prompter->messageTexts(),
              QStringList{QStringLiteral("Abort operation?") + QString(38, QLatin1Char(' '))});
    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Aborted."));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_TRUE(testServices().tray->balloons.last().endsWith(QStringLiteral("|Aborted.")));
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_TRUE(testServices().sound->played.isEmpty());
}

TEST_F(SplitterTest, AbortAnsweredNoLeavesTheJobRunning)
{
    frmSplitter &w = openTone();
    byParts(w, QStringLiteral("3"));
    testServices().prompter->answers = {Msg::No};
    w.cmdConvert->click();
    w.cmdAbort->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(writtenFiles().size(), 4);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
}

TEST_F(SplitterTest, CloseIsRefusedWhileAJobRuns)
{
    const QString source = TestEnv::workFolder() + QStringLiteral("/long.wav");
    Fixture::writeWav(source, Fixture::WavSpec{44100, 2, 16}, qint64(44100) * 120);
    frmSplitter &w = open(addRow(source));
    QPointer<frmSplitter> window(&w);
    byParts(w, QStringLiteral("2"));
    w.cmdConvert->click();
    EXPECT_FALSE(w.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_EQ(writtenFiles().size(), 2);
    EXPECT_TRUE(w.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
}

TEST_F(SplitterTest, AFailedPartIsLoggedTheJobGoesOnAndTheTurnOffIsSkipped)
{
    frmSplitter &w = openTone();
    byParts(w, QStringLiteral("3"));
    // A folder where the second part should go makes that part fail.
    QDir().mkpath(destination() + QStringLiteral("Part_2_tone.WAV"));
    for (QCheckBox *box : {w.chkPlaySound, w.chkOpenDestFolder, w.chkNoticeApp, w.chkTurnOffComputer})
        box->setChecked(true);
    g_sNoticeCommandLine = QStringLiteral("notify-me done");
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList log = logMessages(w);
    EXPECT_EQ(log.filter(QStringLiteral("Error: ")).size(), 1);
    EXPECT_TRUE(log.filter(QStringLiteral("Error: ")).first().endsWith(QLatin1Char(')')));
    EXPECT_EQ(w.m_bErrorOccurred, -1);
    for (const char *name : {"Part_1_tone.WAV", "Part_3_tone.WAV", "Part_4_tone.WAV"})
        EXPECT_TRUE(QFileInfo(destination() + QLatin1String(name)).isFile()) << name;
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    EXPECT_EQ(testServices().sound->played.size(), 1);
    EXPECT_EQ(testServices().shell->opened.size(), 1);
    EXPECT_EQ(testServices().launcher->starts.size(), 1);
    EXPECT_EQ(turnOff.shown, 0);
}

TEST_F(SplitterTest, EndOfJobEventsRunThroughTheSeams)
{
    frmSplitter &w = openTone(3 * kRate);
    byParts(w, QStringLiteral("1"));
    w.chkCreateSubFolder->click();
    w.txtUndeForlder->setText(QStringLiteral("Parts"));
    for (QCheckBox *box : {w.chkPlaySound, w.chkOpenDestFolder, w.chkNoticeApp, w.chkTurnOffComputer})
        box->setChecked(true);
    g_sNoticeCommandLine = QStringLiteral("\"/opt/my tools/notify\" --title \"Job done\" ; rm -rf x");
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_TRUE(QFileInfo(destination() + QStringLiteral("Parts/Part_1_tone.WAV")).isFile());
    EXPECT_EQ(testServices().sound->played, QStringList{g_sEndSoundFile});
    EXPECT_EQ(testServices().shell->opened, QStringList{destination() + QStringLiteral("Parts/")});
    ASSERT_EQ(testServices().launcher->starts.size(), 1);
    const auto &start = testServices().launcher->starts.first();
    EXPECT_EQ(start.program, QStringLiteral("/opt/my tools/notify"));
    // Shell words stay plain arguments of the one program.
    EXPECT_EQ(start.arguments, (QStringList{QStringLiteral("--title"), QStringLiteral("Job done"), QStringLiteral(";"),
                                            QStringLiteral("rm"), QStringLiteral("-rf"), QStringLiteral("x")}));
    EXPECT_TRUE(start.minimized);
    EXPECT_EQ(turnOff.shown, 1);
    EXPECT_EQ(turnOff.seconds, 30);
    EXPECT_TRUE(testServices().power->actions.isEmpty());
}

TEST_F(SplitterTest, WithNoEventTickedNothingRuns)
{
    g_bPlaySound = true; // the window's boxes, not the options, decide
    frmSplitter &w = openTone(2 * kRate);
    for (QCheckBox *box : {w.chkPlaySound, w.chkOpenDestFolder, w.chkNoticeApp, w.chkTurnOffComputer})
        box->setChecked(false);
    byParts(w, QStringLiteral("1"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_TRUE(testServices().sound->played.isEmpty());
    EXPECT_TRUE(testServices().shell->opened.isEmpty());
    EXPECT_TRUE(testServices().launcher->starts.isEmpty());
}

TEST_F(SplitterTest, EveryPartCarriesTheRowsTagTexts)
{
    RowTags tags;
    tags.album = QStringLiteral("Live [YEAR]");
    tags.artist = QStringLiteral("[PROG_NAME] [PROG_VERSION]");
    tags.comment = QStringLiteral("[date] [SOURCE_NAME]");
    tags.genre = QStringLiteral("Jazz");
    tags.title = QStringLiteral("Take");
    tags.track = QStringLiteral("[TRACK_NUM]");
    frmSplitter &w = openTone(4 * kRate, tags);
    byParts(w, QStringLiteral("2"));
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_EQ(w.cAudioConverter1->TagAlbum(), QStringLiteral("Live ") + year);
    EXPECT_EQ(w.cAudioConverter1->TagArtist(), g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    // Lower-case and the converter's own placeholders stay as typed.
    EXPECT_EQ(w.cAudioConverter1->TagComment(), QStringLiteral("[date] [SOURCE_NAME]"));
    EXPECT_EQ(w.cAudioConverter1->TagTrack(), QStringLiteral("1"));
    EXPECT_EQ(w.cAudioConverter1->TagYear(), QString());

    for (const char *part : {"Part_1_tone.WAV", "Part_2_tone.WAV"}) {
        const QJsonObject probed = Fixture::probe(destination() + QLatin1String(part));
        EXPECT_EQ(Fixture::probedTag(probed, QStringLiteral("title")), QStringLiteral("Take")) << part;
        EXPECT_EQ(Fixture::probedTag(probed, QStringLiteral("artist")), g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    }
}

TEST_F(SplitterTest, HandOverFillsTheWindowFromTheSelectedRow)
{
    const QString tone = makeTone(QStringLiteral("tone.wav"), kRate);
    addRow(makeTone(QStringLiteral("other.wav"), kRate));
    RowTags tags;
    tags.title = QStringLiteral("T");
    const int row = addRow(tone, tags);
    frmSplitter &w = open(row, QStringLiteral("Live: 2024/B"));

    EXPECT_EQ(w.lblFilesToConvert->text(), QStringLiteral("Split: tone.wav"));
    EXPECT_EQ(w.g_sFileToSplit, tone);
    EXPECT_EQ(w.txtUndeForlder->text(), mdlFunctions::MakeSafeFileName(QStringLiteral("Live: 2024/B")));
    EXPECT_FALSE(w.txtUndeForlder->text().contains(QLatin1Char('/')));
    EXPECT_EQ(w.cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:00:10"));
    EXPECT_TRUE(w.cStatusBar1->PanelText(QStringLiteral("Total Time")).startsWith(QStringLiteral("Total Size: ")));
    ASSERT_EQ(w.cGrid1->Rows(), 1);
    EXPECT_EQ(w.cGrid1->CellText(1, 1), QString());
    for (int col = 2; col <= mainGrid->Columns(); ++col)
        EXPECT_EQ(w.cGrid1->CellText(1, col), mainGrid->CellText(row, col)) << col;
}

TEST_F(SplitterTest, SplitModeEnablesItsOwnBoxAndFiltersIllegalKeys)
{
    frmSplitter &w = openTone();
    EXPECT_TRUE(w.ptnSplitByParts->isChecked());
    EXPECT_EQ(w.txtSplitParts->text(), QStringLiteral("6"));
    EXPECT_EQ(w.txtSplitSecs->text(), QStringLiteral("10"));
    EXPECT_TRUE(w.txtSplitParts->isEnabled());
    EXPECT_FALSE(w.txtSplitSecs->isEnabled());
    w.ptnSplitBySecs->click();
    EXPECT_FALSE(w.txtSplitParts->isEnabled());
    EXPECT_TRUE(w.txtSplitSecs->isEnabled());
    w.ptnSplitByParts->click();
    EXPECT_TRUE(w.txtSplitParts->isEnabled());

    w.txtSplitParts->setText(QString());
    QTest::keyClicks(w.txtSplitParts, QStringLiteral("1/a"));
    EXPECT_EQ(w.txtSplitParts->text(), QStringLiteral("1a"));
}

} // namespace
