#include "BurnWinFixture.h"

#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cProgressBar.h"
#include "controls/ui/cStatusBar.h"
#include "core/UserSettingsStore.h"
#include "platform/Prompter.h"
#include "support/AudioFiles.h"
#include "support/ScriptedServices.h"
#include "tools/burn/frmCDBurner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include <algorithm>
#include <cmath>

namespace {

// A different tone per track and channel, so a swapped or shifted track shows.
qint16 tone(int track, qint64 frame, int ch)
{
    const double freq = ch == 0 ? 220.0 * track : 330.0 * track + 110.0;
    return qint16(std::lround(12000.0 * std::sin(2.0 * M_PI * freq * double(frame) / 44100.0)));
}

class CdBurnerTest : public BurnWinFixture {
protected:
    void SetUp() override
    {
        BurnWinFixture::SetUp();
        out = work(QStringLiteral("out"));
        QDir().mkpath(out);
        useDrives({out + QStringLiteral("/disc.cue")});
    }
    void TearDown() override
    {
        closeWindow();
        BurnWinFixture::TearDown();
    }

    frmCDBurner &open(qint64 seconds = 0)
    {
        frmCDBurner &w = Forms::loadCDBurner();
        w.HandOver(mainRows(allRows()), seconds);
        return w;
    }

    static void closeWindow()
    {
        if (frmCDBurner *w = Forms::cdBurner()) {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    QString makeTrack(int track, qint64 frames)
    {
        const QString path = work(QStringLiteral("track%1.wav").arg(track));
        TestAudio::writeWav(path, TestAudio::WavSpec{44100, 2, 16}, frames,
                            [track](qint64 i, int ch) { return tone(track, i, ch); });
        return path;
    }

    // A CD-quality WAV of silence whose samples take no disk space.
    QString makeLongSilence(const QString &name, qint64 frames)
    {
        const QString path = work(name);
        TestAudio::writeWav(path, TestAudio::WavSpec{44100, 2, 16}, 0);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        const QByteArray header = TestAudio::wavHeader(TestAudio::WavSpec{44100, 2, 16}, quint32(frames * 4));
        f.write(header);
        EXPECT_TRUE(f.resize(header.size() + frames * 4));
        return path;
    }

    QVector<qint16> ripBack(int track)
    {
        qputenv("SONVALE_CD_DEVICES", QFile::encodeName(out + QStringLiteral("/disc.cue")));
        cAudioCDRipper r;
        EXPECT_TRUE(r.SelectDevice(0));
        const QString dest = work(QStringLiteral("rip%1.wav").arg(track));
        QSignalSpy done(&r, &cAudioCDRipper::Done);
        QSignalSpy error(&r, &cAudioCDRipper::Error);
        r.Track(track);
        r.DestFile(dest);
        r.Rip();
        EXPECT_TRUE(waitUntil([&] { return !done.isEmpty() || !error.isEmpty(); }, 60000));
        EXPECT_TRUE(error.isEmpty());
        return TestAudio::readWav16(dest);
    }

    QString out;
};

TEST_F(CdBurnerTest, BurnsTheRowsAsTracksThatRipBackSampleExact)
{
    const qint64 frames[] = {44100 * 2 + 17, 44100 + 588 * 3};
    addRow(makeTrack(1, frames[0]));
    addRow(makeTrack(2, frames[1]));
    frmCDBurner &w = open(3);
    ASSERT_GT(w.cboDrv->count(), 0);
    EXPECT_EQ(w.cboSpeed->currentText(), QStringLiteral("Max."));
    EXPECT_EQ(w.cboSpeed->currentData().toInt(), 65535);
    EXPECT_EQ(w.lblState->text(), QStringLiteral("OK - Ready to be burn."));

    w.cmdConvert->click();
    EXPECT_FALSE(w.cmdConvert->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return w.cmdConvert->isEnabled(); }, 120000));
    const QStringList log = logMessages(w);
    ASSERT_TRUE(log.contains(QStringLiteral("Finished."))) << log.join('\n').toStdString();
    EXPECT_EQ(log.mid(0, 2), (QStringList{QStringLiteral("Preparing to burn: 2 tracks."),
                                          QStringLiteral("List the files to burn...")}));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Finished."));
    EXPECT_EQ(w.prgTotal->Value(), w.prgTotal->Max());
    // A finished burn shows no balloon.
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());

    for (int track = 1; track <= 2; ++track) {
        SCOPED_TRACE(track);
        const QVector<qint16> ripped = ripBack(track);
        // Tracks are padded with silence to whole CD sectors, four seconds at least.
        const qint64 padded = std::max<qint64>((frames[track - 1] + 587) / 588, 300) * 588;
        ASSERT_EQ(ripped.size(), padded * 2);
        qint64 wrong = 0;
        for (qint64 i = 0; i < padded; ++i) {
            for (int ch = 0; ch < 2; ++ch)
                wrong += ripped[i * 2 + ch] != (i < frames[track - 1] ? tone(track, i, ch) : 0);
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(CdBurnerTest, RefusedFilesAreLoggedAndNothingLeftMeansNothingToBurn)
{
    addRow(work(QStringLiteral("missing.wav")));
    frmCDBurner &w = open();
    w.cmdConvert->click();
    EXPECT_TRUE(logMessages(w).contains(QStringLiteral("Cannot add missing.wav")));
    ASSERT_EQ(testServices().prompter->messages.size(), 1);
    EXPECT_EQ(testServices().prompter->messages.first().text, QStringLiteral("Nothing to burn."));
    EXPECT_TRUE(w.cmdConvert->isEnabled());
}

TEST_F(CdBurnerTest, TheMinutesAreMeasuredAgainstAnEightyMinuteDisc)
{
    const struct {
        qint64 seconds;
        int minutes;
        bool tooMany;
    } cases[] = {
        {4770, 80, false}, // 79.5 minutes round to 80 and still fit
        {4800, 80, false},
        {4830, 80, true}, // 80.5 minutes: over, though they round to 80
        {4850, 81, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.seconds);
        frmCDBurner &w = open(c.seconds);
        const QString m = QString::number(c.minutes);
        EXPECT_EQ(w.lblFilesToConvert->text(), QStringLiteral("0 items to burn (") + m + QStringLiteral(" minutes)."));
        EXPECT_EQ(w.cStatusBar1->PanelText(QStringLiteral("Total Size")), m + QStringLiteral(" Min / 80 Min."));
        EXPECT_EQ(w.prgSize->Max(), 83);
        EXPECT_EQ(w.prgSize->Value(), c.minutes);
        EXPECT_EQ(w.lblDataSize->font().bold(), c.tooMany);
        EXPECT_EQ(w.prgSize->BarColor() == 255, c.tooMany);
        EXPECT_EQ(w.lblDataSize->text(),
                  c.tooMany ? QStringLiteral("Data is to big (more then 80 min). Please remove some tracks.")
                            : QStringLiteral("Data Size: 0 files, ") + m + QStringLiteral(" Min / 80 Min."));
        closeWindow();
    }
}

TEST_F(CdBurnerTest, AbortStopsTheBurnAndLeavesNoImage)
{
    addRow(makeLongSilence(QStringLiteral("long.wav"), 44100LL * 60 * 20));
    frmCDBurner &w = open();

    // Idle, the button does nothing; answered No, the burn goes on.
    w.cmdAbort->click();
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    w.cmdConvert->click();
    ASSERT_FALSE(w.cmdConvert->isEnabled());
    // A burning window stays open, silently.
    EXPECT_FALSE(w.close());
    EXPECT_EQ(Forms::cdBurner(), &w);
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    testServices().prompter->answers << Msg::No << Msg::Yes;
    w.cmdAbort->click();
    EXPECT_FALSE(w.cmdConvert->isEnabled());
    EXPECT_TRUE(testServices().tray->balloons.isEmpty());

    w.cmdAbort->click();
    EXPECT_EQ(testServices().prompter->messages.last().text, QStringLiteral("Abort operation?") + QString(38, ' '));
    EXPECT_EQ(testServices().tray->balloons, QStringList{balloon(QStringLiteral("Aborted."))});
    ASSERT_TRUE(waitUntil([&] { return w.cmdConvert->isEnabled(); }, 60000));
    EXPECT_EQ(w.lblCurrentTrack->text(), QStringLiteral("Aborted."));
    EXPECT_FALSE(logMessages(w).contains(QStringLiteral("Finished.")));
    EXPECT_EQ(filesIn(out), QStringList());

    // Closing is possible again, and the tray box is remembered.
    w.chkOpenCDdrive->setChecked(true);
    closeWindow();
    EXPECT_EQ(Forms::cdBurner(), nullptr);
    EXPECT_EQ(UserSettingsStore::Get(UserSettingsStore::openCdDrive()), QStringLiteral("1"));
    EXPECT_TRUE(open().chkOpenCDdrive->isChecked());
}

} // namespace
