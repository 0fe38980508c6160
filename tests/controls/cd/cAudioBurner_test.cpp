#include "BurnFixtures.h"
#include "controls/cd/BurnError.h"
#include "controls/cd/cAudioBurner.h"
#include "controls/cd/cAudioCDRipper.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace BurnFixture;

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// A different tone per track and channel, so a swapped or shifted track shows.
qint16 tone(int track, qint64 frame, int ch)
{
    const double freq = ch == 0 ? 220.0 * track : 330.0 * track + 110.0;
    return qint16(std::lround(12000.0 * std::sin(2.0 * M_PI * freq * double(frame) / 44100.0)));
}

struct AudioRun {
    explicit AudioRun(cAudioBurner &b)
    {
        auto note = [this](const QString &e) {
            events << e;
            offThread = offThread || QThread::currentThread() != qApp->thread();
        };
        QObject::connect(&b, &cAudioBurner::CachingTrack, [note] { note("CachingTrack"); });
        QObject::connect(&b, &cAudioBurner::WritingTrack, [note] { note("WritingTrack"); });
        QObject::connect(&b, &cAudioBurner::ClosingTrack, [note] { note("ClosingTrack"); });
        QObject::connect(&b, &cAudioBurner::ClosingSession, [note] { note("ClosingSession"); });
        QObject::connect(&b, &cAudioBurner::Finished, [note] { note("Finished"); });
        QObject::connect(&b, &cAudioBurner::Progress, [this](qint16 p) { progress << p; });
        QObject::connect(&b, &cAudioBurner::TrackProgress, [this](qint16 p, qint16 t) { trackProgress << qMakePair(int(p), int(t)); });
        QObject::connect(&b, &cAudioBurner::Error, [this, note](qint32 c, const QString &t) {
            code = c;
            text = t;
            note("Error");
        });
    }
    int terminals() const { return int(events.count("Finished") + events.count("Error")); }
    bool waitForEnd()
    {
        const bool ended = waitUntil([&] { return terminals() >= 1; }, 120000);
        flushEvents();
        return ended && terminals() == 1;
    }

    QStringList events;
    QVector<int> progress;
    QVector<QPair<int, int>> trackProgress;
    qint32 code = 0;
    QString text;
    bool offThread = false;
};

QStringList cacheFolders()
{
    return QDir(QDir::tempPath()).entryList({"sonvale-audiocd-*"}, QDir::Dirs | QDir::Hidden);
}

class AudioBurnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        out = work("out");
        QDir().mkpath(out);
        drives = std::make_unique<Drives>(QStringList{"stdio:" + out + "/disc.cue"});
    }

    // Rips track of the burned image back into a CD-quality WAV.
    QVector<qint16> ripBack(int track)
    {
        qputenv("SONVALE_CD_DEVICES", QFile::encodeName(out + "/disc.cue"));
        cAudioCDRipper r;
        EXPECT_TRUE(r.SelectDevice(0));
        EXPECT_TRUE(r.IsAudioCD());
        const QString dest = work(QStringLiteral("rip%1.wav").arg(track));
        QSignalSpy done(&r, &cAudioCDRipper::Done);
        QSignalSpy error(&r, &cAudioCDRipper::Error);
        r.Track(track);
        r.DestFile(dest);
        r.Rip();
        EXPECT_TRUE(waitUntil([&] { return !done.isEmpty() || !error.isEmpty(); }, 60000));
        EXPECT_TRUE(error.isEmpty()) << (error.isEmpty() ? "" : error.first().at(1).toString().toStdString());
        int rate = 0;
        int channels = 0;
        const QVector<qint16> samples = readWav16(dest, &rate, &channels);
        EXPECT_EQ(rate, 44100);
        EXPECT_EQ(channels, 2);
        return samples;
    }

    QString out;
    std::unique_ptr<Drives> drives;
};

TEST_F(AudioBurnerTest, TheImageDriveReportsABlank80MinuteDisc)
{
    cAudioBurner b;
    ASSERT_EQ(b.DriveCount(), 1);
    EXPECT_EQ(b.DriveName(1), "D: " + out + "/disc.cue (image file)");
    EXPECT_EQ(b.DriveName(2), QString());
    EXPECT_EQ(b.DriveState("D"), QString());
    EXPECT_EQ(std::nearbyint(double(b.DiskCapacity("D")) / 153535 / 60), 80);
    EXPECT_EQ(b.DiskSize("D"), 0);
    EXPECT_EQ(b.SpeedCount("D"), 0);
    EXPECT_FALSE(b.DriveState("Q").isEmpty());

    writeFile(out + "/disc.bin", "an earlier disc");
    EXPECT_TRUE(b.DriveState("D").contains("already exists")) << b.DriveState("D").toStdString();
    EXPECT_EQ(b.DiskCapacity("D"), 0);
    EXPECT_EQ(b.DiskSize("D"), 15);
}

TEST_F(AudioBurnerTest, BurnsTracksThatRipBackSampleExact)
{
    // A track of 5 s and a few frames more, and one of 2 s, which the disc
    // pads with silence to the four seconds a track lasts at least.
    const QVector<qint64> frames = {5 * 44100 + 123, 2 * 44100};
    cAudioBurner b;
    for (int t = 0; t < frames.size(); ++t) {
        const QString wav = writeWav(work(QStringLiteral("src/tone%1.wav").arg(t + 1)), 44100, 2, frames[t],
            [t](qint64 i, int ch) { return tone(t + 1, i, ch); });
        ASSERT_TRUE(b.AddFile(wav));
    }
    EXPECT_EQ(b.TrackCount(), 2);
    b.BurnOption(true);
    b.SelectDrive("D", 65535);
    AudioRun run(b);
    b.Burn();
    EXPECT_TRUE(run.events.isEmpty() && run.progress.isEmpty()) << "an event arrived inside Burn";
    ASSERT_TRUE(run.waitForEnd()) << run.events.join(' ').toStdString();
    EXPECT_FALSE(run.offThread);
    EXPECT_EQ(run.events,
        QStringList({"CachingTrack", "CachingTrack", "WritingTrack", "ClosingTrack", "WritingTrack", "ClosingTrack",
            "ClosingSession", "Finished"}))
        << run.text.toStdString();
    ASSERT_FALSE(run.trackProgress.isEmpty());
    EXPECT_EQ(run.trackProgress.first().second, 1);
    EXPECT_EQ(run.trackProgress.last(), qMakePair(100, 2));
    EXPECT_EQ(filesIn(out), QStringList({"disc.bin", "disc.cue"}));
    EXPECT_EQ(b.TrackCount(), 0) << "the burn took the tracks";

    for (int t = 0; t < frames.size(); ++t) {
        SCOPED_TRACE(t + 1);
        const QVector<qint16> ripped = ripBack(t + 1);
        const qint64 padded = std::max<qint64>((frames[t] + 587) / 588, 300) * 588;
        ASSERT_EQ(ripped.size(), padded * 2);
        qint64 wrong = 0;
        for (qint64 i = 0; i < padded; ++i)
            for (int ch = 0; ch < 2; ++ch)
                wrong += ripped[i * 2 + ch] != (i < frames[t] ? tone(t + 1, i, ch) : 0);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(AudioBurnerTest, OtherFormatsBecomeCdAudio)
{
    // Five seconds of mono at 22.05 kHz: twice the frames, both channels alike.
    cAudioBurner b;
    ASSERT_TRUE(b.AddFile(writeWav(work("src/mono.wav"), 22050, 1, 22050 * 5,
        [](qint64 i, int) { return qint16(std::lround(8000.0 * std::sin(2.0 * M_PI * 441.0 * double(i) / 22050.0))); })));
    b.SelectDrive("D", 65535);
    AudioRun run(b);
    b.Burn();
    ASSERT_TRUE(run.waitForEnd());
    ASSERT_EQ(run.events.last(), "Finished") << run.text.toStdString();
    const QVector<qint16> ripped = ripBack(1);
    ASSERT_GE(ripped.size(), 2 * 44100 * 5);
    double energy = 0;
    qint64 apart = 0;
    for (qint64 i = 0; i < 44100 * 5; ++i) {
        apart += ripped[i * 2] != ripped[i * 2 + 1];
        energy += std::abs(ripped[i * 2]);
    }
    EXPECT_EQ(apart, 0);
    // The mean level of the source tone is 8000 * 2 / pi; upmixing may spread
    // it at equal power over the two channels.
    EXPECT_GT(energy / (44100 * 5), 0.6 * 8000 * 2 / M_PI) << "the tone is there throughout";
    EXPECT_LT(energy / (44100 * 5), 1.05 * 8000 * 2 / M_PI);
}

TEST_F(AudioBurnerTest, AddFileTakesOnlyAudio)
{
    cAudioBurner b;
    EXPECT_FALSE(b.AddFile(work("missing.wav")));
    EXPECT_FALSE(b.AddFile(writeFile(work("notes.txt"), "not audio at all, just words")));
    EXPECT_FALSE(b.AddFile(work("src")));
    EXPECT_FALSE(b.AddFile(QString()));
    EXPECT_EQ(b.TrackCount(), 0);
    EXPECT_TRUE(b.AddFile(writeWav(work("ok.wav"), 44100, 2, 100, [](qint64, int) { return qint16(0); })));
    EXPECT_EQ(b.TrackCount(), 1);
}

// A burn that cannot be done ends in one Error with its reason and leaves the
// image drive's files as they were.
TEST_F(AudioBurnerTest, RefusedBurnsEndInErrorAndWriteNothing)
{
    struct Case {
        const char *name;
        bool addTrack;
        bool removeSource;
        bool imageThere;
        QString letter;
        qint32 code;
        QString textHas;
    };
    const QVector<Case> cases = {
        {"no track", false, false, false, "D", BurnError::NothingToBurn, "no tracks"},
        {"no such drive", true, false, false, "X", BurnError::NoDrive, "X:"},
        {"no drive chosen", true, false, false, "", BurnError::NoDrive, "chosen"},
        {"disc not blank", true, false, true, "D", BurnError::DriveNotReady, "already exists"},
        {"source gone", true, true, false, "D", BurnError::SourceError, "gone.wav"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        if (c.imageThere)
            writeFile(out + "/disc.cue", "FILE \"disc.bin\" BINARY\r\n");
        cAudioBurner b;
        if (c.addTrack) {
            const QString wav = writeWav(work("gone.wav"), 44100, 2, 4410, [](qint64, int) { return qint16(5); });
            ASSERT_TRUE(b.AddFile(wav));
            if (c.removeSource)
                QFile::remove(wav);
        }
        b.SelectDrive(c.letter, 65535);
        AudioRun run(b);
        b.Burn();
        EXPECT_TRUE(run.events.isEmpty());
        ASSERT_TRUE(run.waitForEnd());
        EXPECT_EQ(run.events.last(), "Error");
        EXPECT_EQ(run.code, c.code);
        EXPECT_TRUE(run.text.contains(c.textHas)) << run.text.toStdString();
        EXPECT_EQ(filesIn(out), c.imageThere ? QStringList{"disc.cue"} : QStringList());
    }
}

TEST_F(AudioBurnerTest, AStartWhileBurningIsRefusedAndTakesItsTracks)
{
    const QString wav = writeWav(work("src/t.wav"), 44100, 2, 44100, [](qint64 i, int ch) { return tone(1, i, ch); });
    cAudioBurner b;
    ASSERT_TRUE(b.AddFile(wav));
    b.SelectDrive("D", 65535);
    AudioRun run(b);
    b.Burn();
    ASSERT_TRUE(b.AddFile(wav));
    b.Burn();
    EXPECT_EQ(b.TrackCount(), 0) << "the refused start's track goes on no disc";
    ASSERT_TRUE(waitUntil([&] { return run.terminals() >= 2; }, 60000));
    flushEvents();
    EXPECT_EQ(run.terminals(), 2) << "one ending for each start";
    EXPECT_EQ(run.events.count("Error"), 1);
    EXPECT_EQ(run.code, BurnError::Busy);
    EXPECT_EQ(run.events.count("Finished"), 1);
    QFile cue(out + "/disc.cue");
    ASSERT_TRUE(cue.open(QIODevice::ReadOnly));
    EXPECT_EQ(cue.readAll().count("TRACK"), 1);
}

TEST(AudioBurnerDevices, NoWriterGivesAClearError)
{
    Drives none({});
    cAudioBurner b;
    EXPECT_EQ(b.DriveCount(), 0);
    EXPECT_EQ(b.DriveState("D"), "There is no CD writer.");
    b.AddFile(writeWav(work("t.wav"), 44100, 2, 100, [](qint64, int) { return qint16(0); }));
    b.SelectDrive("D", 65535);
    AudioRun run(b);
    b.Burn();
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(run.events, QStringList{"Error"});
    EXPECT_EQ(run.code, BurnError::NoDrive);
    EXPECT_EQ(run.text, "There is no CD writer.");
}

TEST_F(AudioBurnerTest, AbortEndsInErrorAndLeavesNoImageOrCache)
{
    // Ten minutes of silence, stored sparse: long enough that each stage is
    // still running when the abort comes, and costing no disk until then.
    const QString wav = writeSilentWav(work("src/long.wav"), qint64(44100) * 60 * 10);
    ASSERT_FALSE(wav.isEmpty());
    const QStringList cachesBefore = cacheFolders();
    for (const char *stage : {"caching", "writing"}) {
        SCOPED_TRACE(stage);
        cAudioBurner b;
        ASSERT_TRUE(b.AddFile(wav));
        b.SelectDrive("D", 65535);
        AudioRun run(b);
        if (QByteArray(stage) == "caching")
            QObject::connect(&b, &cAudioBurner::Progress, &b, [&b] { b.Abort(); });
        else
            QObject::connect(&b, &cAudioBurner::TrackProgress, &b, [&b] { b.Abort(); });
        b.Burn();
        ASSERT_TRUE(run.waitForEnd());
        EXPECT_EQ(run.events.last(), "Error");
        EXPECT_EQ(run.code, BurnError::Aborted) << run.text.toStdString();
        EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(' ').toStdString();
        EXPECT_EQ(cacheFolders(), cachesBefore);
    }
}

} // namespace
