#include "RecTtsFixture.h"

#include "controls/ui/OleColor.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cProgressBar.h"
#include "core/mdlModes.h"
#include "core/forms.h"
#include "mainwindow/frmMain.h"
#include "support/AudioFixtures.h"
#include "tools/editor/frmMicRecorder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>

namespace {

class Recorder : public RecTtsFixture {
protected:
    void TearDown() override
    {
        if (window)
            window->close();
        RecTtsFixture::TearDown();
    }

    frmMicRecorder &load()
    {
        window = &Forms::loadMicRecorder();
        return *window;
    }
    QStringList log() const { return logEntries(window->txtResults); }

    // Starts a take into path and waits until it holds at least ms of sound,
    // told by the level reports the recorder asks for every 1600 frames.
    bool startTake(const QString &path, int ms)
    {
        QSignalSpy levels(window->cWave1, &cWave::Level);
        window->txtAudioFile->setText(path);
        window->cmdRecord_Click();
        if (window->cmdRecord->isEnabled())
            return false;
        const qint64 perReport = 1600 * 1000;
        const qint64 reports = (qint64(ms) * window->waveFormat().nSamplesPerSec + perReport - 1) / perReport;
        return waitUntil([&] { return levels.size() >= reports; }, 10000 + ms);
    }

    // Records a take of about ms into path and waits for its end.
    bool recordTake(const QString &path, int ms)
    {
        QSignalSpy done(window->cWave1, &cWave::RecordDone);
        if (!startTake(path, ms))
            return false;
        window->cmdStopRec_Click();
        return waitForSignal(done, 1, 10000);
    }

    QPointer<frmMicRecorder> window;
};

void select(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text));
}

} // namespace

TEST_F(Recorder, LoadsWithTheDefaultFormatTheDevicesAndOneLogEntry)
{
    frmMicRecorder &w = load();
    EXPECT_EQ(log(), QStringList{": MeterIn=True."});
    EXPECT_TRUE(w.cWave1->Meter());
    EXPECT_EQ(w.txtAudioFile->text(), QDir::homePath() + "/wave_file.wav");
    EXPECT_EQ(w.lblRecTime->text(), "0:00:00");
    EXPECT_EQ(w.Label6->text(), "0:00:30");
    EXPECT_EQ(w.prgMeter->Max(), 120);
    // The meter carries no caption: no colour number printed over the level.
    const auto *meter = w.prgMeter->findChild<QProgressBar *>();
    ASSERT_NE(meter, nullptr);
    EXPECT_FALSE(meter->isTextVisible() && !meter->text().isEmpty()) << meter->text().toStdString();
    EXPECT_EQ(w.prgMeter->palette().color(QPalette::Window), OleColor::toQColor(g_sViewBackColor.toUInt()));
    EXPECT_FALSE(w.tmrRec->isActive());
    EXPECT_FALSE(w.tmSlider->isActive());
    EXPECT_EQ(w.tmrRec->interval(), 1000);
    EXPECT_EQ(w.tmSlider->interval(), 100);
    const WAVEFORMATEX &f = w.waveFormat();
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.nBlockAlign, 4);
    EXPECT_EQ(f.nAvgBytesPerSec, 176400u);

    const int inputs = w.cWave1->DeviceCount(cWave::InputDevices);
    ASSERT_EQ(w.cboDevices->count(), inputs);
    for (int i = 0; i < inputs; ++i)
        EXPECT_TRUE(w.cboDevices->itemText(i).startsWith(QString::number(i) + " - ")) << w.cboDevices->itemText(i).toStdString();
    EXPECT_EQ(w.cboDevices->currentIndex(), inputs > 0 ? 0 : -1);
}

TEST_F(Recorder, WithoutInputDevicesTheListIsEmptyAndARecordingSaysWhy)
{
    NoDevices none;
    frmMicRecorder &w = load();
    EXPECT_EQ(w.cboDevices->count(), 0);
    EXPECT_EQ(w.cboDevices->currentIndex(), -1);
    EXPECT_TRUE(messages().isEmpty());

    w.txtAudioFile->setText(work("take.wav"));
    w.cmdRecord_Click();
    const QStringList entries = log();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries.mid(0, 3), (QStringList{": MeterIn=True.", ": MeterIn=True.", ": PreScreenClose."}));
    EXPECT_TRUE(entries[3].startsWith(": Error RecordStart .No audio input device")) << entries[3].toStdString();
    EXPECT_TRUE(w.cmdRecord->isEnabled());
    EXPECT_FALSE(w.tmrRec->isActive());
    EXPECT_FALSE(QFileInfo::exists(work("take.wav")));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Recorder, TheWaveFormatFollowsTheThreeLists)
{
    struct Case {
        const char *bits, *rate, *channels;
        quint16 nChannels, blockAlign;
        quint32 avgBytes;
    };
    frmMicRecorder &w = load();
    for (const Case c : {Case{"8", "8000", "Mono", 1, 1, 8000}, Case{"8", "11025", "Stereo", 2, 2, 22050},
                         Case{"16", "22050", "Mono", 1, 2, 44100}, Case{"16", "44100", "Stereo", 2, 4, 176400}}) {
        SCOPED_TRACE(std::string(c.bits) + "/" + c.rate + "/" + c.channels);
        select(w.cboBitPerSample, c.bits);
        select(w.cboSamplesPerSec, c.rate);
        select(w.cboChannels, c.channels);
        const WAVEFORMATEX &f = w.waveFormat();
        EXPECT_EQ(f.nChannels, c.nChannels);
        EXPECT_EQ(f.nSamplesPerSec, QByteArray(c.rate).toUInt());
        EXPECT_EQ(f.wBitsPerSample, QByteArray(c.bits).toUShort());
        EXPECT_EQ(f.nBlockAlign, c.blockAlign);
        EXPECT_EQ(f.nAvgBytesPerSec, c.avgBytes);
        EXPECT_EQ(f.cbSize, 0);
    }
}

TEST_F(Recorder, ARefusedStartIsLoggedAndTheNextStartMayFollow)
{
    frmMicRecorder &w = load();
    w.txtAudioFile->setText(work("missing/take.wav"));
    w.cmdRecord_Click();
    w.cmdRecord_Click();
    const QStringList entries = log();
    ASSERT_EQ(entries.size(), 7);
    for (int i : {3, 6})
        EXPECT_TRUE(entries[i].startsWith(": Error RecordStart .Cannot record into")) << entries[i].toStdString();
    EXPECT_TRUE(w.cmdRecord->isEnabled());
    EXPECT_FALSE(w.tmrRec->isActive());
}

TEST_F(Recorder, ChoosingAnExistingFileAsksBeforeItIsTaken)
{
    frmMicRecorder &w = load();
    const QString old = tone("old.wav", 200);
    const QString before = w.txtAudioFile->text();
    ScriptedPrompter &prompter = *testServices().prompter;

    prompter.saveAnswers << QString();
    w.cmdPath_Click();
    EXPECT_EQ(w.txtAudioFile->text(), before);
    ASSERT_EQ(prompter.saveRequests.size(), 1);
    EXPECT_EQ(prompter.saveRequests[0].title, "Save as WAV file");
    EXPECT_EQ(prompter.saveRequests[0].defaultExtension, "wav");

    prompter.saveAnswers << old;
    prompter.answers << Msg::No;
    w.cmdPath_Click();
    EXPECT_EQ(w.txtAudioFile->text(), before);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "The file " + old + " is already exists, overwrite it?");
    EXPECT_EQ(prompter.messages[0].buttons(), Msg::YesNo);

    prompter.saveAnswers << old;
    prompter.answers << Msg::Yes;
    w.cmdPath_Click();
    EXPECT_EQ(w.txtAudioFile->text(), old);
    // Choosing only sets the text: the file stays as it was.
    EXPECT_GT(QFileInfo(old).size(), 64);

    const QString fresh = work("fresh.wav");
    prompter.saveAnswers << fresh;
    w.cmdPath_Click();
    EXPECT_EQ(w.txtAudioFile->text(), fresh);
    EXPECT_EQ(prompter.messages.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

TEST_F(Recorder, ATakeOverAFileTheUserNeverGaveUpIsAskedAbout)
{
    frmMicRecorder &w = load();
    const QString kept = tone("kept.wav", 200);
    const QByteArray bytes = [&] {
        QFile f(kept);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    w.txtAudioFile->setText(kept);
    testServices().prompter->answers << Msg::No;
    w.cmdRecord_Click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], "The file " + kept + " is already exists, overwrite it?");
    EXPECT_EQ(log(), QStringList{": MeterIn=True."});
    EXPECT_TRUE(w.cmdRecord->isEnabled());
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
}

TEST_F(Recorder, TheClockEndsEveryTakeAtItsThirtiethTick)
{
    ASSERT_TRUE(haveInput());
    frmMicRecorder &w = load();
    QSignalSpy done(w.cWave1, &cWave::RecordDone);
    const QString path = work("long.wav");
    w.txtAudioFile->setText(path);
    w.cmdRecord_Click();
    ASSERT_FALSE(w.cmdRecord->isEnabled());
    ASSERT_TRUE(w.tmrRec->isActive());
    // The timer's own first tick.
    ASSERT_TRUE(waitUntil([&] { return w.m_lRecordSeconds == 1; }, 5000));
    EXPECT_EQ(w.lblRecTime->text(), "0:00:01");
    // Held time counts: a pause at the 10th tick does not move the end.
    for (int tick = 2; tick <= 29; ++tick) {
        w.tmrRec_Timer();
        if (tick == 10)
            w.cmdPauseIn_Click();
        if (tick == 25)
            w.cmdUnPauseIn_Click();
    }
    EXPECT_EQ(w.lblRecTime->text(), "0:00:29");
    EXPECT_TRUE(w.tmrRec->isActive());
    EXPECT_TRUE(w.cWave1->IsRecording());
    w.tmrRec_Timer();
    EXPECT_EQ(w.lblRecTime->text(), "0:00:30");
    EXPECT_EQ(w.m_lRecordSeconds, 0);
    EXPECT_FALSE(w.tmrRec->isActive());
    EXPECT_TRUE(w.cmdRecord->isEnabled());
    EXPECT_EQ(log().last(), ": RecordStop Success.");
    ASSERT_TRUE(waitForSignal(done, 1, 10000));
    EXPECT_EQ(log().mid(4), (QStringList{": RecordPause.", ": RecordUnPause.", ": RecordStop Success.",
                                         ": DoneRecord Event."}));
    EXPECT_TRUE(QFileInfo(path).size() > 64);
}

TEST_F(Recorder, ResumingWhatIsNotHeldDoesNothing)
{
    frmMicRecorder &w = load();
    w.cmdUnPauseIn_Click();
    w.cmdStopRec_Click();
    EXPECT_EQ(log(), (QStringList{": MeterIn=True.", ": RecordStop Success."}));
}

TEST_F(Recorder, LevelsMoveTheMeter)
{
    frmMicRecorder &w = load();
    for (qint16 level : {qint16(57), qint16(0), qint16(120)}) {
        Q_EMIT w.cWave1->Level(level);
        EXPECT_EQ(w.prgMeter->Value(), level);
    }
}

TEST_F(Recorder, RecordsTheChosenFormatPlaysItBackAndAddsItToTheList)
{
    ASSERT_TRUE(haveInput());
    ASSERT_TRUE(haveOutput());
    frmMicRecorder &w = load();
    QPointer<frmMicRecorder> guard(&w);
    select(w.cboBitPerSample, "8");
    select(w.cboSamplesPerSec, "22050");
    select(w.cboChannels, "Mono");
    const QString path = work("take.wav");
    ASSERT_TRUE(recordTake(path, 1500));
    EXPECT_EQ(log().mid(1), (QStringList{": MeterIn=True.", ": PreScreenClose.", ": RecordStart Success.",
                                         ": RecordStop Success.", ": DoneRecord Event."}));
    EXPECT_TRUE(w.cmdRecord->isEnabled());
    EXPECT_FALSE(w.tmrRec->isActive());
    const QJsonObject probed = Fixture::probe(path);
    const QJsonObject stream = probed["stream"].toObject();
    EXPECT_EQ(stream["sample_rate"].toString().toInt(), 22050);
    EXPECT_EQ(stream["channels"].toInt(), 1);
    EXPECT_EQ(stream["codec_name"].toString(), "pcm_u8");

    // Playback: the position clock follows the file to its end and runs on until Stop.
    QSignalSpy played(w.cWave1, &cWave::PlayDone);
    w.cmdPlay_Click();
    ASSERT_TRUE(w.tmSlider->isActive());
    const int entries = int(log().size());
    w.cmdPlay_Click(); // a second Play while playing is ignored
    EXPECT_EQ(log().size(), entries);
    ASSERT_TRUE(waitForSignal(played, 1, 15000));
    ASSERT_TRUE(waitUntil([&] { return w.cSlider1->value() == 100; }, 2000));
    EXPECT_EQ(log().last(), ": DonePlay Event.");
    EXPECT_TRUE(w.tmSlider->isActive());
    EXPECT_NE(w.lblCurrentPositionSec->text(), "");
    w.cmdStop_Click();
    EXPECT_FALSE(w.tmSlider->isActive());
    EXPECT_EQ(w.cSlider1->value(), 0);
    EXPECT_EQ(log().last(), ": PlayStop Success.");
    const QStringList all = log();
    const int started = int(all.indexOf(": PlayeStart Success."));
    ASSERT_GT(started, 0);
    EXPECT_EQ(all[started - 1], ""); // the empty line before a playback

    // Add: the row appears in the selected list, the list file is saved and the window closes.
    w.cmdAdd_Click();
    ASSERT_TRUE(addEnded());
    EXPECT_EQ(listedFiles(), QStringList{path});
    EXPECT_EQ(storedFiles(), QStringList{path});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(Forms::micRecorder(), nullptr);
}

TEST_F(Recorder, AddDuringATakeWaitsForTheCompleteFile)
{
    ASSERT_TRUE(haveInput());
    frmMicRecorder &w = load();
    QPointer<frmMicRecorder> guard(&w);
    // The previous take at that path must not be what lands in the list.
    const QString path = tone("again.wav", 300);
    const qint64 oldSize = QFileInfo(path).size();
    testServices().prompter->answers << Msg::Yes;
    ASSERT_TRUE(startTake(path, 1200));
    w.cmdAdd_Click();
    EXPECT_TRUE(listedFiles().isEmpty());
    EXPECT_FALSE(guard.isNull());
    ASSERT_TRUE(waitUntil([&] { return !listedFiles().isEmpty(); }, 10000));
    ASSERT_TRUE(addEnded());
    EXPECT_EQ(listedFiles(), QStringList{path});
    EXPECT_EQ(storedFiles(), QStringList{path});
    EXPECT_NE(QFileInfo(path).size(), oldSize);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(Recorder, PlayAndAddRefuseMissingAndEmptyFiles)
{
    frmMicRecorder &w = load();
    QPointer<frmMicRecorder> guard(&w);
    const QString missing = w.txtAudioFile->text();
    w.cmdPlay_Click();
    w.cmdAdd_Click();
    const QString tiny = work("tiny.wav");
    for (int size : {64, 0}) {
        QFile f(tiny);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
        f.close();
        w.txtAudioFile->setText(tiny);
        w.cmdAdd_Click();
    }
    w.txtAudioFile->clear();
    w.cmdAdd_Click();
    EXPECT_EQ(messages(), (QStringList{"The audio file " + missing + " doesn't exists",
                                       "The file:" + missing + " was not found.", "The file:" + tiny + " is empty.",
                                       "The file:" + tiny + " is empty.", "The file: was not found."}));
    for (const MessageRequest &m : testServices().prompter->messages)
        EXPECT_EQ(m.style, int(Msg::OkOnly) + Msg::Information);
    EXPECT_EQ(log(), QStringList{": MeterIn=True."});
    EXPECT_TRUE(listedFiles().isEmpty());
    EXPECT_FALSE(guard.isNull());
}

TEST_F(Recorder, AFileJustOverTheEmptySizeGoesToTheList)
{
    frmMicRecorder &w = load();
    QPointer<frmMicRecorder> guard(&w);
    const QString path = tone("short.wav", 10); // 44 header bytes + 160 of sound
    ASSERT_GT(QFileInfo(path).size(), 64);
    w.txtAudioFile->setText(path);
    w.cmdAdd_Click();
    ASSERT_TRUE(addEnded());
    EXPECT_EQ(listedFiles(), QStringList{path});
    EXPECT_EQ(storedFiles(), QStringList{path});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

// Rows look alike however they came: a recording added after the player
// has given the rows their font is drawn in that same font.
TEST_F(Recorder, ARecordingAddedToTheListIsDrawnLikeTheRowsBeforeIt)
{
    const auto add = [this](const char *name) {
        frmMicRecorder &w = load();
        w.txtAudioFile->setText(tone(QLatin1String(name), 200));
        w.cmdAdd_Click();
        EXPECT_TRUE(addEnded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    add("one.wav");
    // What every end or stop of the player does to the rows.
    main().SetRowUnBold();
    add("two.wav");
    const cGrid &grid = *main().cGrid1;
    ASSERT_EQ(grid.Rows(), 2);
    for (int col = 1; col <= grid.Columns(); ++col)
        EXPECT_EQ(grid.CellFont(2, col), grid.CellFont(1, col)) << "column " << col;
    EXPECT_EQ(grid.CellFont(2, 3), grid.font()) << "a row of its own font is drawn in the grid's";
}

TEST_F(Recorder, StopWithNothingPlayingResetsTheSlider)
{
    frmMicRecorder &w = load();
    w.cSlider1->setValue(40);
    w.cmdStop_Click();
    EXPECT_EQ(w.cSlider1->value(), 0);
    EXPECT_EQ(log(), (QStringList{": MeterIn=True.", ": PlayStop Success."}));
    w.cmdPauseOut_Click();
    w.cmdUnPauseOut_Click();
    EXPECT_EQ(log().mid(2), (QStringList{": PlayPause.", ": PlayUnPause."}));
}

TEST_F(Recorder, ClosingDuringATakeKeepsTheRecording)
{
    ASSERT_TRUE(haveInput());
    frmMicRecorder &w = load();
    const QString path = work("closed.wav");
    ASSERT_TRUE(startTake(path, 600));
    w.cmdExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Forms::micRecorder(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(path).size() > 64; }, 10000));
    EXPECT_EQ(Fixture::probe(path)["stream"].toObject()["sample_rate"].toString().toInt(), 44100);
}
