// Tracks ripped side by side (the drive reading one track at a time) show in
// the window one after the other, exactly as from a ripper taking one at a time.
#include "RipFixture.h"

#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/mdlModes.h"
#include "settings/OptionSettings.h"
#include "support/ScriptedServices.h"
#include "tools/rip/frmCDRipper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

constexpr int kSecond = 75;

class RipAheadTest : public RipFixture {
protected:
    frmCDRipper &openMp3Ripper()
    {
        g_sDefaultTargetFormat = kMp3Format;
        g_sDefaultFileNameFormat = QStringLiteral("[file_name].[dest_extension]");
        frmCDRipper &w = openRipper();
        w.cboTargetFormat->setCurrentIndex(w.cboTargetFormat->findText(kMp3Format));
        w.chkTurnOffComputer->setChecked(false);
        return w;
    }

    static QStringList files()
    {
        return QDir(destination()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    static void writeMine(const QString &name)
    {
        QFile f(destination() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }

    // The job's log and questions, then each event of the control with what
    // the window shows once it has handled it.
    QStringList runJob(frmCDRipper &w, int rowsAtOnce)
    {
        w.cAudioCDRipper1->setRipsAtOnce(rowsAtOnce);
        w.txtLog->clear();
        testServices().prompter->messages.clear();
        QStringList trace;
        const auto shown = [&](const QString &event) {
            trace << event + QStringLiteral(" | ") + rowJobState(w);
        };
        const ConverterEvents seen(w.cAudioCDRipper1, &w, shown);
        const qsizetype balloons = testServices().tray->balloons.size();
        w.cmdConvert->click();
        EXPECT_TRUE(waitForJobEnd(w, int(balloons) + 1));
        return logMessages(w.txtLog) + testServices().prompter->messageTexts() + trace;
    }

    // The written files by name with their bytes; they are removed, so the
    // next job writes them afresh.
    static QMap<QString, QByteArray> takeFiles()
    {
        QMap<QString, QByteArray> taken;
        for (const QString &name : files()) {
            QFile f(destination() + name);
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            taken.insert(name, f.readAll());
            f.close();
            QFile::remove(destination() + name);
        }
        return taken;
    }
};

TEST_F(RipAheadTest, TracksSideBySideShowAsOneAfterTheOther)
{
    // Tracks of unlike lengths, so later ones end before earlier ones; a
    // ranged row, an unticked one, a data track that fails, and a file that
    // is there already, asked about when its row comes.
    useDrives({makeDisc("disc", {{true, 4 * kSecond}, {true, kSecond}, {true, 3 * kSecond}, {false, kSecond},
                                 {true, 2 * kSecond}, {true, 5 * kSecond}, {true, kSecond}})});
    const TrackTags tags{"Album", "Band", "", "Rock", "1999", "Song [TRACK_NUM]", "[TRACK_NUM]"};
    addTrack(4, true, tags);
    addTrack(1, true, tags);
    addTrack(3, false, tags);
    addTrack(1, true, tags);
    addTrack(2, true, tags);
    const int ranged = addTrack(5, true, tags);
    mainGrid->SetCell(ranged, mainGrid->ColumnIndex("COL_RANGE_ALL"), "0");
    mainGrid->SetCell(ranged, mainGrid->ColumnIndex("COL_RANGE_START_TIME"), "1");
    mainGrid->SetCell(ranged, mainGrid->ColumnIndex("COL_RANGE_LENGTH_TIME"), "3");
    addTrack(1, true, tags);
    frmCDRipper &w = openMp3Ripper();

    const auto run = [&](int rowsAtOnce) {
        writeMine("Track05.mp3");
        testServices().prompter->answers = {Msg::Yes};
        return runJob(w, rowsAtOnce);
    };
    const QStringList oneByOne = run(1);
    const QMap<QString, QByteArray> oneByOneFiles = takeFiles();
    const QStringList sideBySide = run(4);

    ASSERT_TRUE(oneByOne.contains("Start to rip: Track07.cda..."));
    EXPECT_EQ(oneByOne.filter(QRegularExpression("^Error: ")).size(), 1);
    EXPECT_EQ(oneByOne.mid(oneByOne.indexOf("Start to rip: Track05.cda..."), 3),
              (QStringList{"Start to rip: Track05.cda...", "File already exists.", "Overwrite it..."}));
    EXPECT_EQ(sideBySide, oneByOne);
    ASSERT_EQ(oneByOneFiles.keys(),
              (QStringList{"Track01.mp3", "Track02.mp3", "Track05.mp3", "Track06.mp3", "Track07.mp3"}));
    EXPECT_EQ(files(), oneByOneFiles.keys());
    for (const QString &name : oneByOneFiles.keys()) {
        QFile f(destination() + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll() == oneByOneFiles.value(name)) << name.toStdString();
    }
    const QJsonObject ranged6 = TestAudio::probe(destination() + "Track06.mp3");
    EXPECT_EQ(ranged6.value("stream").toObject().value("codec_name").toString(), "mp3");
    EXPECT_NEAR(ranged6.value("format").toObject().value("duration").toString().toDouble(), 3.0, 0.1);
    EXPECT_EQ(TestAudio::probedTag(ranged6, "title"), "Song 6");
    EXPECT_EQ(TestAudio::probedTag(TestAudio::probe(destination() + "Track05.mp3"), "track"), "5");
}

TEST_F(RipAheadTest, AbortStopsEveryRunningTrackAndLeavesNoFile)
{
    // A short first track, then a long one still encoding while the short
    // ones after it have been read and ripped ahead, waiting for their turn.
    useDrives({makeDisc("disc", {{true, kSecond}, {true, 240 * kSecond}, {true, kSecond}, {true, kSecond}})});
    addTrack(1, true);
    addTrack(240, true);
    addTrack(1, true);
    addTrack(1, true);
    frmCDRipper &w = openMp3Ripper();
    w.cAudioCDRipper1->setRipsAtOnce(3);
    testServices().prompter->answers = {Msg::Yes};

    w.cmdConvert->click();
    // Track 1 is in place; tracks 2 to 4 are under temporary names.
    ASSERT_TRUE(waitUntil([&] { return files().filter(".part").size() == 3; }, 60000)) << files().join(' ').toStdString();
    EXPECT_EQ(files().filter(".part").size(), 3);
    EXPECT_EQ(logMessages(w.txtLog).filter("Start to rip: "),
              (QStringList{"Start to rip: Track01.cda...", "Start to rip: Track02.cda..."}));
    w.cmdAbort->click();
    ASSERT_TRUE(waitUntil([&] { return !w.isRunning(); }, 60000));
    flushEvents();

    EXPECT_EQ(files(), QStringList{"Track01.mp3"});
    EXPECT_EQ(logMessages(w.txtLog).filter("Start to rip: ").size(), 2);
    EXPECT_EQ(logMessages(w.txtLog).last(), "Aborted.");
    EXPECT_EQ(w.lblCurrentTrack->text(), "Aborted.");
    EXPECT_TRUE(QDir(QDir::tempPath()).entryList({"sonvale-rip-*"}).isEmpty());
}

} // namespace
