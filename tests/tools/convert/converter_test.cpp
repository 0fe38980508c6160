#include "ConvertFixture.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cStatusBar.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRow.h"
#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"
#include "settings/frmOptions.h"
#include "support/AudioFixtures.h"
#include "support/LocaleGuard.h"
#include "support/ScriptedServices.h"
#include "tools/convert/frmConverter.h"
#include "tools/frame/JobTimeLeft.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

class ConverterTest : public ConvertFixture {
protected:
    // Loads the converter, hands it every row of the main grid and points it
    // at the test's folder.
    frmConverter &open(const QString &format = kWavFormat)
    {
        frmConverter &w = Forms::loadConverter();
        w.HandOver(mainRows(allRows()), QStringLiteral("My list"));
        w.txtToPath->setEditText(destination());
        w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(format));
        return w;
    }

    static void pickTemplate(frmConverter &w, const QString &nameTemplate)
    {
        const int index = w.cboFileName->findText(nameTemplate);
        ASSERT_GE(index, 0) << nameTemplate.toStdString();
        w.cboFileName->setCurrentIndex(index);
    }

    // Three rows: a.wav whole (2 s), b.wav by its range 1 s + 2 s of 4 s, c.wav whole (1 s).
    void threeRows()
    {
        addRow(makeTone(QStringLiteral("a.wav"), 2));
        addRow(makeTone(QStringLiteral("b.wav"), 4), ranged(1, 2));
        addRow(makeTone(QStringLiteral("c.wav"), 1));
    }
};

// A WAV file as ffmpeg decodes path into the work folder; path itself when
// it is one already.
QString asWav(const QString &path)
{
    if (path.endsWith(QLatin1String(".wav")))
        return path;
    const QString wav = TestEnv::workFolder() + QStringLiteral("/decoded-") + QFileInfo(path).completeBaseName() + ".wav";
    EXPECT_TRUE(Fixture::ffmpeg({QStringLiteral("-i"), path, wav})) << path.toStdString();
    return wav;
}

struct FormatCase {
    const char *name;
    QString format;
    int templateIndex;
    QStringList files;
    QString codec;
    QString logFormat;
    double tolerance; // seconds: encoders pad their last frame
};

class ConvertsEveryRow : public ConverterTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ConvertsEveryRow, NamedByTheTemplateAndCutToTheRange)
{
    const FormatCase &c = GetParam();
    threeRows();
    frmConverter &w = open(c.format);
    w.cboFileName->setCurrentIndex(c.templateIndex);
    // An estimate still shown, as a job that ran long leaves one.
    w.lblTimeLeft->setText(QStringLiteral("Time Left: 00:00:33"));

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    QStringList sorted = c.files;
    sorted.sort();
    ASSERT_EQ(writtenFiles(), sorted);
    const double seconds[] = {2, 2, 1};
    for (int i = 0; i < 3; ++i) {
        const QString path = destination() + c.files.at(i);
        const QJsonObject probed = Fixture::probe(path);
        EXPECT_EQ(probed[QStringLiteral("stream")][QStringLiteral("codec_name")].toString(), c.codec) << path.toStdString();
        EXPECT_NEAR(probed[QStringLiteral("format")][QStringLiteral("duration")].toString().toDouble(), seconds[i], c.tolerance)
            << path.toStdString();
    }
    if (c.format == kWavFormat || c.format == kApeFormat) {
        // Sample-exact: the ranged row is seconds 1 to 3 of its source.
        const QVector<qint16> source = Fixture::readWav16(TestEnv::workFolder() + QStringLiteral("/b.wav"));
        const QVector<qint16> cut = Fixture::readWav16(asWav(destination() + c.files.at(1)));
        ASSERT_EQ(cut.size(), 2 * kRate);
        EXPECT_EQ(cut, source.mid(kRate, 2 * kRate));
        EXPECT_EQ(wavFrames(asWav(destination() + c.files.at(0))), 2 * kRate);
        EXPECT_EQ(wavFrames(asWav(destination() + c.files.at(2))), kRate);
    }

    QStringList log{QStringLiteral("Preparing to convert: 3 tracks."), QStringLiteral("Destination format: ") + c.logFormat};
    for (const char *name : {"a.wav", "b.wav", "c.wav"})
        log << QStringLiteral("Start to convert: %1...").arg(QLatin1String(name)) << QStringLiteral("Done.");
    EXPECT_EQ(logMessages(w), log);
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloonText(QStringLiteral("Done."))});
    EXPECT_EQ(w.prgTotal->Max(), 300);
    EXPECT_EQ(w.prgTotal->Value(), 300);
    EXPECT_EQ(w.prgCurrnet->Value(), 100);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Done."));
    EXPECT_EQ(w.lblFilesToConvert->text(), QStringLiteral("Files: 3/3"));
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_EQ(w.lblTimeLeft->text(), JobTimeLeft::kNoTimeLeft) << "nothing is left once the job is done";
    EXPECT_TRUE(w.cmdConvert->isEnabled());
    EXPECT_TRUE(w.cmdExit->isEnabled());
    // Every row that ended with Done counts as converted audio.
    EXPECT_EQ(w.g_ltmrUpToItemSecs, 5);
    EXPECT_EQ(w.cGrid1->Rows(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Converter, ConvertsEveryRow,
    ::testing::Values(
        FormatCase{"Wav", kWavFormat, 0, {"a.wav", "b.wav", "c.wav"}, "pcm_s16le", "WAV", 1e-6},
        FormatCase{"Mp3", kMp3Format, 2, {"a_1.mp3", "b_2.mp3", "c_3.mp3"}, "mp3", "MP3", 0.2},
        FormatCase{"Ogg", kOggFormat, 5, {"1.wav.ogg", "2.wav.ogg", "3.wav.ogg"}, "vorbis", "OGG", 0.05},
        FormatCase{"Ape", kApeFormat, 0, {"a.ape", "b.ape", "c.ape"}, "ape", "APE", 1e-6}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ConverterTest, HandOverFillsTheWindowWithTheMarkedRows)
{
    addRow(makeTone(QStringLiteral("a.wav"), 2));
    addRow(makeTone(QStringLiteral("skip.wav"), 1));
    addRow(makeTone(QStringLiteral("b.wav"), 4), ranged(1, 3));
    frmConverter &w = Forms::loadConverter();
    w.HandOver(mainRows({1, 3}), QStringLiteral("Live: 2024/B"));

    EXPECT_EQ(w.lblFilesToConvert->text(), QStringLiteral("2 items to convert."));
    EXPECT_EQ(w.g_ltmrItemSecsTotal, 5); // 2 s whole and a 3 s range
    EXPECT_EQ(w.cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:00:05"));
    EXPECT_TRUE(w.cStatusBar1->PanelText(QStringLiteral("Total Time")).startsWith(QStringLiteral("Total Size: ")));
    EXPECT_EQ(w.txtUndeForlder->text(), mdlFunctions::MakeSafeFileName(QStringLiteral("Live: 2024/B")));
    ASSERT_EQ(w.cGrid1->Rows(), 2);
    EXPECT_EQ(w.cGrid1->SelectedRow(), 1);
    const int marked[] = {1, 3};
    for (int row = 1; row <= 2; ++row) {
        EXPECT_EQ(w.cGrid1->CellText(row, 1), QString());
        for (int col = 2; col <= mainGrid->Columns(); ++col)
            EXPECT_EQ(w.cGrid1->CellText(row, col), mainGrid->CellText(marked[row - 1], col)) << row << "/" << col;
    }
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Audio Converter"));
    EXPECT_EQ(w.cmdConvert->text(), QStringLiteral("Convert"));
    EXPECT_EQ(w.lblTimeLeft->text(), JobTimeLeft::kNoTimeLeft);
    EXPECT_FALSE(w.Timer1->isActive());
}

// A list file may hold a fractional range length; the window counts it as
// the main window's total does, not as nothing.
TEST_F(ConverterTest, HandOverCountsARowsSecondsAsTheMainWindowDoes)
{
    addRow(makeTone(QStringLiteral("a.wav"), 2));
    const int row = addRow(makeTone(QStringLiteral("b.wav"), 4), ranged(1, 3));
    mainGrid->SetCell(row, mainGrid->ColumnIndex(ItemsListRow::key(ItemsListRow::RangeLength)), QStringLiteral("12.5"));
    frmConverter &w = Forms::loadConverter();
    w.HandOver(mainRows(allRows()), QStringLiteral("My list"));

    EXPECT_EQ(ItemsGrid::totalSeconds(*mainGrid, false), 14);
    EXPECT_EQ(w.g_ltmrItemSecsTotal, ItemsGrid::totalSeconds(*mainGrid, false));
    EXPECT_EQ(w.cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:00:14"));
}

// A list file may hold a fractional range; the job converts that range,
// rounded to whole seconds as every count of the row is, not the whole file.
TEST_F(ConverterTest, AFractionalRangeConvertsTheRangeNotTheWholeFile)
{
    const int row = addRow(makeTone(QStringLiteral("b.wav"), 4), ranged(1, 2));
    mainGrid->SetCell(row, mainGrid->ColumnIndex(ItemsListRow::key(ItemsListRow::RangeLength)), QStringLiteral("2.4"));
    frmConverter &w = open();
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList files = writtenFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(wavFrames(destination() + files.first()), 2 * kRate);
}

TEST_F(ConverterTest, EveryLoadStartsTheJobCountersAtZero)
{
    addRow(makeTone(QStringLiteral("a.wav"), 1));
    frmConverter &first = open();
    first.g_ltmrItemSecs = first.g_ltmrCurItemSecs = first.g_ltmrUpToItemSecs = first.g_ltmrSces = 9;
    first.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(Forms::converter(), nullptr);

    frmConverter &second = Forms::loadConverter();
    for (qint32 counter : {second.g_ltmrItemSecsTotal, second.g_ltmrItemSecs, second.g_ltmrCurItemSecs,
                           second.g_ltmrUpToItemSecs, second.g_ltmrSces})
        EXPECT_EQ(counter, 0);
}

TEST_F(ConverterTest, TimeLeftFollowsTheTicksAndTheProgress)
{
    const LocaleGuard locale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    threeRows();
    frmConverter &w = open();
    w.g_ltmrItemSecsTotal = 600;

    // No converted seconds yet: the tick counts and the label stays.
    w.Timer1_Timer();
    EXPECT_EQ(w.g_ltmrSces, 1);
    EXPECT_EQ(w.lblTimeLeft->text(), JobTimeLeft::kNoTimeLeft);

    // A progress event turns the percent into converted seconds of the row.
    w.cmdConvert->setEnabled(false); // a job runs
    w.prgTotal->setMax(300);
    w.m_lCurrentRow = 1;
    w.g_ltmrItemSecs = 40;
    w.cAudioConverter1_Progress(0);
    EXPECT_EQ(w.g_ltmrCurItemSecs, 0) << "a percent of 0 changes nothing";
    w.cAudioConverter1_Progress(50);
    EXPECT_EQ(w.g_ltmrCurItemSecs, 20);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Converting... [ 50% / 16.6666666666667% ]"));

    // 100 s done before, 20 s of this row, 60 ticks: 480 s left at 2 s a second.
    w.g_ltmrUpToItemSecs = 100;
    w.g_ltmrSces = 59;
    w.Timer1_Timer();
    EXPECT_EQ(w.lblTimeLeft->text(), QStringLiteral("Time Left: 00:04:00"));

    // An estimate that comes to 0 leaves the last one shown.
    w.g_ltmrUpToItemSecs = 580;
    w.Timer1_Timer();
    EXPECT_EQ(w.lblTimeLeft->text(), QStringLiteral("Time Left: 00:04:00"));

    // Once the job has ended, the next tick with an estimate stops the timer.
    w.Timer1->start();
    w.cmdConvert->setEnabled(true);
    w.g_ltmrUpToItemSecs = 100;
    w.Timer1_Timer();
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_EQ(w.lblTimeLeft->text(), JobTimeLeft::kNoTimeLeft);
}

struct OverwriteCase {
    const char *name;
    int answer;
    bool existingReplaced;
    bool lastRowWritten;
    bool endsDone;
};

class OverwriteQuestion : public ConverterTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteQuestion, AnswerDecidesTheRowAndTheJob)
{
    const OverwriteCase &c = GetParam();
    threeRows();
    frmConverter &w = open();
    w.cboFileName->setCurrentIndex(0);
    w.chkPlaySound->setChecked(true);
    const QString existing = destination() + QStringLiteral("b.wav");
    writeFile(existing, "keep me");
    testServices().prompter->answers = {c.answer};

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(testServices().prompter->messages.first().text,
              QStringLiteral("The file: '") + existing + QStringLiteral("' already exists.\r\n\r\nOverwrite it?"));
    EXPECT_EQ(testServices().prompter->messages.first().style, int(Msg::YesNoCancel) + Msg::Information);
    const QStringList log = logMessages(w);
    EXPECT_TRUE(log.contains(QStringLiteral("File already exists.")));
    EXPECT_EQ(log.contains(QStringLiteral("Overwrite it...")), c.answer == Msg::Yes);
    EXPECT_EQ(log.count(QStringLiteral("Aborted.")), c.answer == Msg::Cancel ? 1 : 0);
    if (c.existingReplaced)
        EXPECT_EQ(wavFrames(existing), 2 * kRate);
    else
        EXPECT_EQ(readFile(existing), QByteArray("keep me"));
    EXPECT_EQ(QFileInfo::exists(destination() + QStringLiteral("c.wav")), c.lastRowWritten);
    EXPECT_TRUE(QFileInfo::exists(destination() + QStringLiteral("a.wav")));
    EXPECT_FALSE(w.isRunning());
    const QString ending = c.endsDone ? QStringLiteral("Done.") : QStringLiteral("Aborted.");
    EXPECT_EQ(w.lblCurrentTrack->text(), ending);
    EXPECT_EQ(w.windowTitle(), ending);
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloonText(ending)});
    EXPECT_EQ(testServices().sound->played.size(), c.endsDone ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Converter, OverwriteQuestion,
                         ::testing::Values(OverwriteCase{"Yes", Msg::Yes, true, true, true},
                                           // No skips the row and goes on with the next one.
                                           OverwriteCase{"No", Msg::No, false, true, true},
                                           OverwriteCase{"Cancel", Msg::Cancel, false, false, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ConverterTest, NoOnTheLastRowEndsTheJobAsAborted)
{
    threeRows();
    frmConverter &w = open();
    w.cboFileName->setCurrentIndex(0);
    w.chkPlaySound->setChecked(true);
    writeFile(destination() + QStringLiteral("c.wav"), "keep me");
    testServices().prompter->answers = {Msg::No};

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_EQ(logMessages(w).last(), QStringLiteral("File already exists."));
    EXPECT_TRUE(testServices().sound->played.isEmpty());
    // The timer goes on ticking after this ending; it changes nothing shown.
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_EQ(writtenFiles().size(), 3);
}

TEST_F(ConverterTest, WithOverwriteTickedNothingIsAsked)
{
    addRow(makeTone(QStringLiteral("a.wav"), 1));
    frmConverter &w = open();
    w.cboFileName->setCurrentIndex(0);
    w.chkOverWrite->setChecked(true);
    writeFile(destination() + QStringLiteral("a.wav"), "old");
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_FALSE(logMessages(w).contains(QStringLiteral("File already exists.")));
    EXPECT_EQ(wavFrames(destination() + QStringLiteral("a.wav")), kRate);

    // A second job converts every row again, after an empty log line.
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w, 2));
    const QStringList log = logMessages(w);
    const qsizetype second = log.lastIndexOf(QStringLiteral("Preparing to convert: 1 tracks."));
    ASSERT_GT(second, 0);
    EXPECT_EQ(log.at(second - 1), QString());
    EXPECT_EQ(log.count(QStringLiteral("Start to convert: a.wav...")), 2);
}

TEST_F(ConverterTest, RowsNamedAlikeNeverWriteOverEachOther)
{
    // The same file whole and by a range, with a template without the row
    // number: the second row gets a name of its own, ticked overwrite or not.
    const QString tone = makeTone(QStringLiteral("a.wav"), 3);
    addRow(tone);
    addRow(tone, ranged(1, 1));
    frmConverter &w = open();
    w.cboFileName->setCurrentIndex(0);
    w.chkOverWrite->setChecked(true);

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_EQ(writtenFiles(), (QStringList{QStringLiteral("a (2).wav"), QStringLiteral("a.wav")}));
    EXPECT_EQ(wavFrames(destination() + QStringLiteral("a.wav")), 3 * kRate);
    EXPECT_EQ(wavFrames(destination() + QStringLiteral("a (2).wav")), kRate);
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done."));
}

TEST_F(ConverterTest, TheSourceIsNeverTheDestination)
{
    // Converting WAV to WAV into the source's own folder with its own name.
    const QString source = makeTone(QStringLiteral("a.wav"), 1);
    addRow(source);
    QDir().mkpath(TestEnv::workFolder() + QStringLiteral("/in"));
    addRow(makeTone(QStringLiteral("in/b.wav"), 1));
    const QByteArray original = readFile(source);
    frmConverter &w = open();
    w.txtToPath->setEditText(TestEnv::workFolder() + QLatin1Char('/'));
    w.cboFileName->setCurrentIndex(0);
    w.chkOverWrite->setChecked(true);
    w.chkPlaySound->setChecked(true);
    w.chkTurnOffComputer->setChecked(true);
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_EQ(readFile(source), original);
    const QStringList errors = logMessages(w).filter(QStringLiteral("Error: "));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("is the source file itself")));
    // A job with a failed row does not call itself plainly done.
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done with errors."));
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloonText(QStringLiteral("Done with errors."))});
    EXPECT_EQ(testServices().sound->played.size(), 1);
    EXPECT_EQ(turnOff.shown, 0);
}

TEST_F(ConverterTest, TemplateNamesStayInsideTheDestinationFolder)
{
    mdlFunctions::WriteTextFile(QStringLiteral("[item_name]\r\n[item_name].[dest_extension]"),
                                AppPaths::programFolder() + QStringLiteral("/FileNameFormats.txt"));
    addRow(makeTone(QStringLiteral("a.wav"), 1), named(QStringLiteral("AC/DC live")));
    addRow(makeTone(QStringLiteral("b.wav"), 1), named(QStringLiteral("..")));
    addRow(makeTone(QStringLiteral("c.wav"), 1), named(QStringLiteral("../escape")));
    frmConverter &w = open();
    w.cboFileName->setCurrentIndex(0);

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    EXPECT_EQ(writtenFiles(), (QStringList{QStringLiteral("..-escape"), QStringLiteral("AC-DC live")}));
    EXPECT_FALSE(QFileInfo::exists(TestEnv::workFolder() + QStringLiteral("/escape")));
    const QStringList errors = logMessages(w).filter(QStringLiteral("Error: "));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("gives no file name")));
    EXPECT_EQ(w.m_bErrorOccurred, -1);
}

TEST_F(ConverterTest, AFailedRowIsShownAndTheNextRowStarts)
{
    RowSpec missing;
    missing.time = QStringLiteral("0:00:07");
    addRow(TestEnv::workFolder() + QStringLiteral("/missing.wav"), missing);
    addRow(makeTone(QStringLiteral("b.wav"), 2));
    frmConverter &w = open();
    w.cboFileName->setCurrentIndex(0);
    for (QCheckBox *box : {w.chkPlaySound, w.chkOpenDestFolder, w.chkNoticeApp, w.chkTurnOffComputer})
        box->setChecked(true);
    g_sNoticeCommandLine = QStringLiteral("notify-me done");
    TurnOffWatcher turnOff;
    // Read right after the window has handled the row's error.
    QStringList captions;
    QObject::connect(w.cAudioConverter1, &cAudioConverter::Error, &w, [&] { captions << w.windowTitle(); });

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList log = logMessages(w);
    const QStringList errors = log.filter(QStringLiteral("Error: "));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(captions, QStringList{errors.first()});
    EXPECT_TRUE(errors.first().endsWith(QLatin1Char(')')));
    EXPECT_EQ(log.indexOf(errors.first()) + 1, log.indexOf(QStringLiteral("Start to convert: b.wav...")));
    EXPECT_EQ(writtenFiles(), QStringList{QStringLiteral("b.wav")});
    EXPECT_EQ(w.g_ltmrUpToItemSecs, 2) << "the failed row's seconds are not counted as converted";
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done with errors."));
    EXPECT_EQ(testServices().sound->played.size(), 1);
    EXPECT_EQ(testServices().shell->opened.size(), 1);
    EXPECT_EQ(testServices().launcher->starts.size(), 1);
    EXPECT_EQ(turnOff.shown, 0);
}

TEST_F(ConverterTest, AJobWhoseEveryRowFailsSaysSo)
{
    addRow(TestEnv::workFolder() + QStringLiteral("/missing.wav"));
    addRow(TestEnv::workFolder() + QStringLiteral("/gone.wav"));
    frmConverter &w = open();
    w.chkTurnOffComputer->setChecked(true);
    TurnOffWatcher turnOff;

    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList log = logMessages(w);
    EXPECT_EQ(log.filter(QStringLiteral("Error: ")).size(), 2);
    EXPECT_EQ(log.last(), QStringLiteral("Every item failed: nothing was written."));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Done with errors."));
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloonText(QStringLiteral("Done with errors."))});
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_EQ(turnOff.shown, 0);
}

TEST_F(ConverterTest, AStartWithoutADestinationFormatIsRefusedAndWritesNothing)
{
    addRow(makeTone(QStringLiteral("a.wav"), 1));
    frmConverter &w = open();
    w.cboTargetFormat->setCurrentIndex(-1);

    w.cmdConvert->click();

    EXPECT_EQ(testServices().prompter->messageTexts(), QStringList{QStringLiteral("Select the destination format.")});
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(w.txtLog->toPlainText().isEmpty());
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
}

TEST_F(ConverterTest, AbortStopsTheRowAndStartsNoOther)
{
    // A long CD-quality source, so the first row still runs when the abort comes.
    const QString source = TestEnv::workFolder() + QStringLiteral("/long.wav");
    Fixture::writeWav(source, Fixture::WavSpec{44100, 2, 16}, qint64(44100) * 240);
    addRow(source);
    addRow(makeTone(QStringLiteral("b.wav"), 1));
    frmConverter &w = open();
    w.chkPlaySound->setChecked(true);

    w.cmdAbort->click(); // idle: nothing is asked
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());

    testServices().prompter->answers = {Msg::No, Msg::Yes};
    w.cmdConvert->click();
    ASSERT_TRUE(w.isRunning());
    ASSERT_TRUE(w.Timer1->isActive());
    // The hourglass shows from the start of a row until its first progress.
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    w.cmdAbort->click(); // answered No: the job goes on
    EXPECT_TRUE(w.isRunning());
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());
    w.cmdAbort->click();
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloonText(QStringLiteral("Aborted."))});
    ASSERT_TRUE(waitUntil([&] { return !w.isRunning(); }, 60000));
    flushEvents();

    EXPECT_EQ(testServices().prompter->messageTexts(),
              (QStringList{QStringLiteral("Abort operation?") + QString(38, QLatin1Char(' ')),
                           QStringLiteral("Abort operation?") + QString(38, QLatin1Char(' '))}));
    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Aborted."));
    EXPECT_EQ(logMessages(w).count(QStringLiteral("Start to convert: b.wav...")), 0);
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Aborted."));
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_TRUE(testServices().sound->played.isEmpty());
    EXPECT_TRUE(w.cmdExit->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ConverterTest, AConfirmedAbortHoldsWhenTheRowEndsByItself)
{
    // The first row cannot start under its name; its failure is on its way
    // when the abort is confirmed, and no further row starts after it.
    mdlFunctions::WriteTextFile(QStringLiteral("[item_name]"), AppPaths::programFolder() + QStringLiteral("/FileNameFormats.txt"));
    addRow(makeTone(QStringLiteral("a.wav"), 1), named(QStringLiteral("..")));
    addRow(makeTone(QStringLiteral("b.wav"), 1), named(QStringLiteral("b")));
    frmConverter &w = open();
    w.cboFileName->setCurrentIndex(0);
    testServices().prompter->answers = {Msg::Yes};

    w.cmdConvert->click();
    ASSERT_TRUE(w.isRunning());
    w.cmdAbort->click();
    ASSERT_TRUE(waitUntil([&] { return !w.isRunning(); }));

    EXPECT_EQ(logMessages(w).last(), QStringLiteral("Aborted."));
    EXPECT_EQ(logMessages(w).filter(QStringLiteral("Error: ")).size(), 0);
    EXPECT_FALSE(logMessages(w).contains(QStringLiteral("Start to convert: b.wav...")));
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
}

TEST_F(ConverterTest, AGridWithoutRowsEndsDoneAtOnce)
{
    frmConverter &w = open();
    w.cmdConvert->click();
    EXPECT_FALSE(w.isRunning());
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloonText(QStringLiteral("Done."))});
    EXPECT_EQ(logMessages(w), (QStringList{QStringLiteral("Preparing to convert: 0 tracks."),
                                            QStringLiteral("Destination format: WAV")}));
    EXPECT_FALSE(w.Timer1->isActive());
}

TEST_F(ConverterTest, CloseIsRefusedWhileAJobRuns)
{
    const QString source = TestEnv::workFolder() + QStringLiteral("/long.wav");
    Fixture::writeWav(source, Fixture::WavSpec{44100, 2, 16}, qint64(44100) * 60);
    addRow(source);
    frmConverter &w = open();
    QPointer<frmConverter> window(&w);
    w.cmdConvert->click();
    EXPECT_FALSE(w.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitForJobEnd(w));
    EXPECT_TRUE(w.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
}

TEST_F(ConverterTest, TagTextsOfEachRowGoToItsFile)
{
    addRow(makeTone(QStringLiteral("a.wav"), 1), named(QStringLiteral("First"), QStringLiteral("[TRACK_NUM]")));
    addRow(makeTone(QStringLiteral("b.wav"), 1),
           named(QStringLiteral("Second"), QStringLiteral("[ITEM_NAME] [SOURCE_NAME] [RANGE]")));
    frmConverter &w = open(kMp3Format);
    w.cboFileName->setCurrentIndex(0);
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    // The grid's selected row is the row being converted: its number plus one.
    EXPECT_EQ(Fixture::probedTag(Fixture::probe(destination() + QStringLiteral("a.mp3")), QStringLiteral("track")),
              QStringLiteral("2"));
    EXPECT_EQ(w.cAudioConverter1->TagTrack(), QStringLiteral("Second b.wav All"));
}

TEST_F(ConverterTest, ApeFilesCarryTheTagsOfTheirRow)
{
    const int row = addRow(makeTone(QStringLiteral("a.wav"), 1), named(QStringLiteral("First"), QStringLiteral("7")));
    const std::pair<const char *, QString> tags[] = {{"COL_TAG_TITLE", QStringLiteral("Song Ω")},
        {"COL_TAG_ARTIST", QStringLiteral("The Band")}, {"COL_TAG_ALBUM", QStringLiteral("Album Ä")}};
    for (const auto &[column, text] : tags)
        mainGrid->SetCell(row, mainGrid->ColumnIndex(QLatin1String(column)), text);
    frmConverter &w = open(kApeFormat);
    w.cboFileName->setCurrentIndex(0);
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QString path = destination() + QStringLiteral("a.ape");
    const QJsonObject probed = Fixture::probe(path);
    EXPECT_EQ(probed[QStringLiteral("stream")][QStringLiteral("codec_name")].toString(), QStringLiteral("ape"));
    EXPECT_EQ(Fixture::probedTag(probed, QStringLiteral("title")), QStringLiteral("Song Ω"));
    EXPECT_EQ(Fixture::probedTag(probed, QStringLiteral("artist")), QStringLiteral("The Band"));
    EXPECT_EQ(Fixture::probedTag(probed, QStringLiteral("album")), QStringLiteral("Album Ä"));
    EXPECT_EQ(Fixture::probedTag(probed, QStringLiteral("track")), QStringLiteral("7"));
    EXPECT_EQ(Fixture::readWav16(asWav(path)), Fixture::readWav16(TestEnv::workFolder() + QStringLiteral("/a.wav")));
}

TEST_F(ConverterTest, WhatAnApeFileCannotHoldIsSaidInTheLog)
{
    // Three channels of 24 bits: the bits fit an APE file, the channels not.
    const TestAudio::WavSpec spec{kRate, 3, 24};
    QByteArray samples;
    for (int i = 0; i < kRate * 3; ++i)
        samples.append(char(i * 7), 1).append(char(i * 13), 1).append(char(i % 200 - 100), 1);
    const QString source = TestEnv::workFolder() + QStringLiteral("/three.wav");
    writeFile(source, TestAudio::wavHeader(spec, quint32(samples.size())) + samples);
    addRow(source);
    frmConverter &w = open(kApeFormat);
    w.cboFileName->setCurrentIndex(0);
    w.cmdConvert->click();
    ASSERT_TRUE(waitForJobEnd(w));

    const QStringList log = logMessages(w);
    EXPECT_EQ(log.filter(QStringLiteral("The source has 3 channels")).size(), 1) << log.join('|').toStdString();
    EXPECT_EQ(writtenFiles(), QStringList{QStringLiteral("three.ape")});
}

TEST_F(ConverterTest, FileNameFormatsReplaceTheBuiltInTemplates)
{
    const QString file = AppPaths::programFolder() + QStringLiteral("/FileNameFormats.txt");
    {
        frmConverter &w = open();
        ASSERT_EQ(w.cboFileName->count(), 6);
        EXPECT_EQ(w.cboFileName->currentText(), QStringLiteral("[file_name].[source_extension].[dest_extension]"));
        w.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    mdlFunctions::WriteTextFile(QStringLiteral("a\r\n\r\n[item_name].[dest_extension]"), file);
    addRow(makeTone(QStringLiteral("tone.wav"), 1), named(QStringLiteral("Opening")));
    frmConverter &w = open();
    ASSERT_EQ(w.cboFileName->count(), 2);
    EXPECT_EQ(w.cboFileName->itemText(0), QStringLiteral("a"));
    EXPECT_EQ(w.cboFileName->currentText(), QStringLiteral("[item_name].[dest_extension]"));
    EXPECT_EQ(w.MakeOutputFileName(1), QStringLiteral("Opening.wav"));
    w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kMp3Format));
    EXPECT_EQ(w.MakeOutputFileName(1), QStringLiteral("Opening.mp3"));
}

TEST_F(ConverterTest, AStoredTemplateTheListDoesNotOfferFallsBackRatherThanNamingNothing)
{
    const QString file = AppPaths::programFolder() + QStringLiteral("/FileNameFormats.txt");
    struct Case {
        const char *what;
        QString list; // FileNameFormats.txt; none when empty
        QString picked;
    };
    const Case cases[] = {
        {"built-in templates", QString(), QStringLiteral("[file_name].[source_extension].[dest_extension]")},
        {"a list of two", QStringLiteral("[123].[dest_extension]\r\n[item_name].[dest_extension]"),
         QStringLiteral("[item_name].[dest_extension]")},
        {"a list of one", QStringLiteral("[123].[dest_extension]"), QStringLiteral("[123].[dest_extension]")},
    };
    g_sDefaultFileNameFormat = QStringLiteral("[gone].[dest_extension]");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(file);
        if (!c.list.isEmpty())
            mdlFunctions::WriteTextFile(c.list, file);
        frmConverter &w = open();
        EXPECT_EQ(w.cboFileName->currentText(), c.picked);
        // What is shown is not the stored default: the link offers to store it.
        EXPECT_TRUE(w.lblSetAsDefaultFileName->isEnabled());
        w.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ConverterTest, SetAsDefaultStoresTheTemplateForTheNextOpening)
{
    g_sDefaultFileNameFormat = QStringLiteral("[123].[dest_extension]");
    frmConverter &w = open();
    EXPECT_EQ(w.cboFileName->currentText(), g_sDefaultFileNameFormat);
    EXPECT_FALSE(w.lblSetAsDefaultFileName->isEnabled());
    w.cboFileName->setCurrentIndex(0);
    EXPECT_TRUE(w.lblSetAsDefaultFileName->isEnabled());

    w.lblSetAsDefaultFileName->clicked();
    EXPECT_FALSE(w.lblSetAsDefaultFileName->isEnabled());
    EXPECT_EQ(g_sDefaultFileNameFormat, QStringLiteral("[file_name].[dest_extension]"));
    ASSERT_NE(Forms::options(), nullptr);
    EXPECT_EQ(Forms::options()->cboFileName->currentText(), g_sDefaultFileNameFormat);
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
    reg.setSubkey(QStringLiteral("General"));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("cboFileName")).toString(), g_sDefaultFileNameFormat);

    w.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmConverter &again = open();
    EXPECT_EQ(again.cboFileName->currentText(), QStringLiteral("[file_name].[dest_extension]"));
    EXPECT_FALSE(again.lblSetAsDefaultFileName->isEnabled());
}

} // namespace
