#include "support/CdFixtures.h"
#include "controls/cd/CdioLock.h"
#include "controls/cd/cAudioCDRipper.h"
#include "support/JobSpy.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using CdFixture::Track;

// Two audio tracks of 4 s and 2.5 s (rounded up to whole sectors), then a
// short data track.
const QVector<Track> kMixedDisc = {{true, 300}, {true, 188}, {false, 60}};

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// Gives the program the images as its CD drives, in order.
void useDrives(const QStringList &images)
{
    qputenv("SONVALE_CD_DEVICES", QFile::encodeName(images.join(':')));
}

struct DrivesGuard {
    ~DrivesGuard() { qunsetenv("SONVALE_CD_DEVICES"); }
};

using RipRun = JobSpy<cAudioCDRipper>;

class RipperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = CdFixture::writeImage(TestEnv::workFolder(), "disc", kMixedDisc);
        ASSERT_FALSE(image.isEmpty());
        useDrives({image});
    }

    // Rips track into dest as WAV (CD quality) unless the caller set a format.
    void rip(cAudioCDRipper &r, RipRun &run, qint32 track, const QString &dest)
    {
        r.Track(track);
        r.DestFile(dest);
        r.Rip();
        EXPECT_EQ(run.terminals(), 0) << "an event arrived inside Rip";
        EXPECT_TRUE(run.progress.isEmpty()) << "an event arrived inside Rip";
        EXPECT_TRUE(run.waitForEnd());
        EXPECT_EQ(run.terminals(), 1);
        EXPECT_FALSE(run.offThread) << "an event arrived on the worker thread";
    }

    QString image;
};

TEST(RipperDevices, ListsGivenDrivesWithLettersInOrder)
{
    DrivesGuard guard;
    const QString a = CdFixture::writeImage(TestEnv::workFolder(), "a", {{true, 100}});
    const QString missing = work("missing.cue");
    useDrives({a, missing, "/dev/no-such-cd-drive"});
    cAudioCDRipper r;
    ASSERT_EQ(r.DeviceCount(), 3);
    EXPECT_EQ(r.DeviceName(0), "D: " + a);
    EXPECT_EQ(r.DeviceName(1), "E: " + missing);
    EXPECT_EQ(r.DeviceName(2), "F: /dev/no-such-cd-drive");
    EXPECT_EQ(r.DeviceName(3), QString());
    EXPECT_EQ(r.DeviceName(-1), QString());

    EXPECT_TRUE(r.SelectDevice(0));
    EXPECT_EQ(r.TrackCount(), 1);
    // A drive that cannot be opened leaves nothing selected.
    EXPECT_FALSE(r.SelectDevice(1));
    EXPECT_LT(r.TrackCount(), 1);
    EXPECT_FALSE(r.IsAudioCD());
    EXPECT_FALSE(r.SelectDevice(2));
    EXPECT_FALSE(r.SelectDevice(3));
    EXPECT_FALSE(r.SelectDevice(-1));
}

TEST(RipperDevices, EmptyListGivesNoDrive)
{
    DrivesGuard guard;
    qputenv("SONVALE_CD_DEVICES", "");
    cAudioCDRipper r;
    EXPECT_EQ(r.DeviceCount(), 0);
    EXPECT_FALSE(r.SelectDevice(0));
    EXPECT_LT(r.TrackCount(), 1);
}

TEST_F(RipperTest, ReportsTracksOfTheSelectedDisc)
{
    const QString dataOnly = CdFixture::writeImage(TestEnv::workFolder(), "data", {{false, 80}});
    useDrives({image, dataOnly});
    cAudioCDRipper r;
    EXPECT_LT(r.TrackCount(), 1) << "nothing selected yet";

    ASSERT_TRUE(r.SelectDevice(0));
    EXPECT_TRUE(r.IsAudioCD());
    ASSERT_EQ(r.TrackCount(), 3);
    struct {
        qint32 track, type, seconds;
    } const expected[] = {{1, 1, 4}, {2, 1, 2}, {3, 2, 0}, {0, 0, 0}, {4, 0, 0}};
    for (const auto &e : expected) {
        EXPECT_EQ(r.TrackType(e.track), e.type) << "track " << e.track;
        EXPECT_EQ(r.TrackLength(e.track), e.seconds) << "track " << e.track;
    }

    ASSERT_TRUE(r.SelectDevice(1));
    EXPECT_FALSE(r.IsAudioCD());
    EXPECT_EQ(r.TrackCount(), 1);
    EXPECT_EQ(r.TrackType(1), 2);
}

TEST_F(RipperTest, RipsTrackToWavSampleExact)
{
    cAudioCDRipper r;
    RipRun run(&r);
    r.DeviceIndex(0);
    r.DestFormat(DestWAV);
    r.SetWAVSettings({44100, 2, 16});
    const QString dest = work("Track02.wav");
    rip(r, run, 2, dest);
    ASSERT_EQ(run.done.size(), 1) << run.errorText().toStdString();

    TestAudio::WavSpec spec;
    const QVector<qint16> got = TestAudio::readWav16(dest, &spec);
    EXPECT_EQ(spec.rate, 44100);
    EXPECT_EQ(spec.channels, 2);
    const qint64 frames = 188 * CdFixture::kFramesPerSector;
    ASSERT_EQ(got.size(), frames * 2);
    for (qint64 i = 0; i < frames; ++i)
        for (int ch = 0; ch < 2; ++ch)
            ASSERT_EQ(got[i * 2 + ch], CdFixture::sample(2, i, ch)) << "frame " << i << " channel " << ch;

    const QVector<int> p = run.percents();
    ASSERT_FALSE(p.isEmpty());
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
    EXPECT_EQ(p.last(), 100);
    EXPECT_EQ(TestAudio::strayFiles({"disc.bin", "disc.cue", "Track02.wav"}), QStringList());
}

TEST_F(RipperTest, RipsToANameNearTheFileSystemLimit)
{
    // 255 bytes is the longest name most Linux file systems take; the
    // temporary the rip writes first must still fit beside it.
    const QString name = QString(251, QLatin1Char('n')) + ".wav";
    cAudioCDRipper r;
    RipRun run(&r);
    r.DestFormat(DestWAV);
    r.SetWAVSettings({44100, 2, 16});
    rip(r, run, 2, work(name));
    ASSERT_EQ(run.done.size(), 1) << run.errorText().toStdString();
    EXPECT_EQ(TestAudio::readWav16(work(name)).size(), 188 * CdFixture::kFramesPerSector * 2);
    EXPECT_EQ(TestAudio::strayFiles({"disc.bin", "disc.cue", name}), QStringList());
}

TEST_F(RipperTest, DeviceIndexChoosesTheDriveToRipFrom)
{
    const QString other = CdFixture::writeImage(TestEnv::workFolder(), "other", {{true, 120}});
    useDrives({image, other});
    cAudioCDRipper r;
    RipRun run(&r);
    ASSERT_TRUE(r.SelectDevice(0));
    r.DeviceIndex(1);
    r.SetWAVSettings({44100, 2, 16});
    rip(r, run, 1, work("other.wav"));
    ASSERT_EQ(run.done.size(), 1) << run.errorText().toStdString();
    EXPECT_EQ(TestAudio::readWav16(work("other.wav")).size(), 120 * 588 * 2);
    // The queries still answer for the selected drive.
    EXPECT_EQ(r.TrackCount(), 3);
}

TEST_F(RipperTest, RangeAppliesToOneRipOnly)
{
    cAudioCDRipper r;
    r.SelectDevice(0);
    r.SetWAVSettings({44100, 2, 16});
    {
        RipRun run(&r);
        r.RangeStart(1);
        r.RangeLength(2);
        rip(r, run, 1, work("range.wav"));
        ASSERT_EQ(run.done.size(), 1) << run.errorText().toStdString();
        const QVector<qint16> got = TestAudio::readWav16(work("range.wav"));
        ASSERT_EQ(got.size(), 2 * 44100 * 2);
        for (qint64 i = 0; i < 2 * 44100; ++i)
            ASSERT_EQ(got[i * 2], CdFixture::sample(1, 44100 + i, 0)) << "frame " << i;
    }
    {
        // A range longer than the rest of the track ends with the track.
        RipRun run(&r);
        r.RangeStart(3);
        r.RangeLength(60);
        rip(r, run, 1, work("tail.wav"));
        ASSERT_EQ(run.done.size(), 1) << run.errorText().toStdString();
        EXPECT_EQ(TestAudio::readWav16(work("tail.wav")).size(), (300 * 588 - 3 * 44100) * 2);
    }
    {
        RipRun run(&r);
        rip(r, run, 1, work("whole.wav"));
        ASSERT_EQ(run.done.size(), 1) << run.errorText().toStdString();
        EXPECT_EQ(TestAudio::readWav16(work("whole.wav")).size(), 300 * 588 * 2);
    }
}

TEST_F(RipperTest, RipsToMp3WithTags)
{
    cAudioCDRipper r;
    RipRun run(&r);
    r.SelectDevice(0);
    r.DestFormat(DestMP3);
    Mp3EncoderSettings mp3;
    mp3.Bitrate = 128;
    mp3.SampleRate = 44100;
    mp3.Mode = Mp3JointStereo;
    mp3.Quality = 5;
    r.SetMP3Settings(mp3);
    r.TagTitle("Opening Ω");
    r.TagArtist("The Band");
    r.TagAlbum("First Album");
    r.TagTrack("1");
    const QString dest = work("Track01.mp3");
    rip(r, run, 1, dest);
    ASSERT_EQ(run.done.size(), 1) << run.errorText().toStdString();

    const QJsonObject probed = TestAudio::probe(dest);
    const QJsonObject stream = probed.value("stream").toObject();
    EXPECT_EQ(stream.value("codec_name").toString(), "mp3");
    EXPECT_EQ(stream.value("sample_rate").toString(), "44100");
    EXPECT_EQ(stream.value("channels").toInt(), 2);
    EXPECT_NEAR(probed.value("format").toObject().value("duration").toString().toDouble(), 300.0 / 75, 0.1);
    EXPECT_EQ(TestAudio::probedTag(probed, "title"), "Opening Ω");
    EXPECT_EQ(TestAudio::probedTag(probed, "artist"), "The Band");
    EXPECT_EQ(TestAudio::probedTag(probed, "album"), "First Album");
}

TEST_F(RipperTest, FailedRipsEndInErrorAndWriteNothing)
{
    struct Case {
        const char *what;
        qint32 device, track, format;
        QString dest;
        qint32 code;
    };
    const Case cases[] = {
        {"data track", 0, 3, DestWAV, work("out.wav"), 1},
        {"track the disc lacks", 0, 7, DestWAV, work("out.wav"), 1},
        {"track 0", 0, 0, DestWAV, work("out.wav"), 1},
        {"drive that does not exist", 4, 1, DestWAV, work("out.wav"), 1},
        {"missing folder", 0, 1, DestWAV, work("no/such/folder/out.wav"), 2},
        {"no destination", 0, 1, DestWAV, QString(), 2},
        {"format without encoder", 0, 1, 42, work("out.ape"), 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        cAudioCDRipper r;
        RipRun run(&r);
        r.DeviceIndex(c.device);
        r.DestFormat(c.format);
        r.SetWAVSettings({44100, 2, 16});
        rip(r, run, c.track, c.dest);
        EXPECT_EQ(run.error.size(), 1);
        EXPECT_EQ(run.errorCode(), c.code) << run.errorText().toStdString();
        EXPECT_FALSE(run.errorText().isEmpty());
        EXPECT_EQ(TestAudio::strayFiles({"disc.bin", "disc.cue"}), QStringList());
    }
}

TEST_F(RipperTest, AbortLeavesAnExistingFileUntouched)
{
    const QString dest = work("Track01.wav");
    {
        QFile old(dest);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    cAudioCDRipper r;
    RipRun run(&r);
    r.SelectDevice(0);
    r.SetWAVSettings({44100, 2, 16});
    r.Track(1);
    r.DestFile(dest);
    {
        // A short track can be ripped whole before the next statement runs on
        // a busy machine; holding the drive makes the rip wait for the abort.
        cd::CdioLock holdTheDrive;
        r.Rip();
        r.Abort();
    }
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(run.aborted.size(), 1);
    EXPECT_EQ(run.terminals(), 1);
    QFile old(dest);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old contents");
    EXPECT_EQ(TestAudio::strayFiles({"disc.bin", "disc.cue", "Track01.wav"}), QStringList());

    // The next rip replaces the file.
    RipRun again(&r);
    rip(r, again, 1, dest);
    ASSERT_EQ(again.done.size(), 1) << again.errorText().toStdString();
    EXPECT_EQ(TestAudio::readWav16(dest).size(), 300 * 588 * 2);
}

TEST_F(RipperTest, EveryStartEndsOnce)
{
    cAudioCDRipper r;
    RipRun run(&r);
    r.SelectDevice(0);
    r.SetWAVSettings({44100, 2, 16});
    r.Track(1);
    r.DestFile(work("first.wav"));
    r.Rip();
    // A second start while the first runs ends in its own error; the first
    // goes on to its end.
    r.DestFile(work("second.wav"));
    r.Rip();
    ASSERT_TRUE(run.waitForEnd(2));
    EXPECT_EQ(run.done.size(), 1);
    EXPECT_EQ(run.error.size(), 1);
    EXPECT_TRUE(QFile::exists(work("first.wav")));
    EXPECT_FALSE(QFile::exists(work("second.wav")));

    // Terminate during a rip stops it; its ending still arrives, once.
    RipRun stopped(&r);
    r.DestFile(work("third.wav"));
    r.Rip();
    r.Terminate();
    ASSERT_TRUE(stopped.waitForEnd());
    EXPECT_EQ(stopped.terminals(), 1);
    EXPECT_EQ(stopped.aborted.size(), 1);
    EXPECT_FALSE(QFile::exists(work("third.wav")));
}

TEST_F(RipperTest, EjectOfAnImageDoesNothing)
{
    cAudioCDRipper r;
    RipRun run(&r);
    r.SelectDevice(0);
    r.Eject();
    flushEvents();
    EXPECT_EQ(run.terminals(), 0);
    EXPECT_TRUE(r.SelectDevice(0));
}

} // namespace
