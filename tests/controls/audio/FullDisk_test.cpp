#include "support/AudioFixtures.h"
#include "support/FullDisk.h"
#include "support/TestEnvironment.h"
#include "controls/audio/AudioJob.h"

#include <QDir>

#include <gtest/gtest.h>

// Encoders that run out of room half-way through their file: the job fails
// with the system's reason, and nothing of the file is left.
namespace {

TEST(FullDiskEncoding, AFileThatFillsTheDiskFailsWithTheSystemsReason)
{
    const QString wav = TestEnv::workFolder() + QStringLiteral("/source.wav");
    // Thirty seconds of a tone and noise: more than the small disk holds
    // in either format.
    Fixture::writeWav(wav, {44100, 2, 16}, 44100 * 30);
    const QString mp3 = TestEnv::workFolder() + QStringLiteral("/source.mp3");
    ASSERT_TRUE(TestAudio::ffmpeg({"-i", wav, "-c:a", "libmp3lame", "-b:a", "128k", mp3}));

    DestinationSettings ape;
    ape.format = DestAPE;
    ape.apeLevel = 1;
    DestinationSettings frameCopy;
    frameCopy.format = DestMP3;
    frameCopy.mp3.Bitrate = 128;
    frameCopy.mp3.SampleRate = 44100;
    frameCopy.mp3.Quality = 5;
    frameCopy.mp3.Mode = Mp3JointStereo;
    const struct {
        const char *name;
        DestinationSettings settings;
        QString source;
        QString dest;
    } cases[] = {
        {"APE", ape, wav, QStringLiteral("out.ape")},
        {"MP3 frame copy", frameCopy, mp3, QStringLiteral("out.mp3")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = TestEnv::workFolder() + QStringLiteral("/full");
        const FullDisk disk(folder);
        ASSERT_TRUE(disk.mounted());
        AudioJobItem item;
        item.path = c.source;
        AudioJob job(c.settings, {}, folder + QLatin1Char('/') + c.dest, {item});
        const std::atomic<bool> abort{false};
        EXPECT_EQ(job.run(abort, {}), AudioJob::Result::Failed);
        EXPECT_TRUE(job.errorText().contains(FullDisk::noSpace())) << job.errorText().toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }
}

} // namespace
