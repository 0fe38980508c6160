#include "support/AudioFixtures.h"
#include "controls/audio/cAudioConverter.h"
#include "support/Mutagen.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// A 1.5 s stereo WAV, the source every other format is made from.
QString baseWav()
{
    const QString path = work("base.wav");
    if (!QFile::exists(path))
        Fixture::writeWav(path, {44100, 2, 16}, 66150);
    return path;
}

QString viaFfmpeg(const QString &name, const QStringList &codecArgs)
{
    const QString out = work(name);
    EXPECT_TRUE(TestAudio::ffmpeg(QStringList{"-i", baseWav()} + codecArgs + QStringList{out})) << name.toStdString();
    return out;
}

struct ProbeCase {
    const char *name;
    std::function<QString()> make;
    int rate;
    int channels;
    int bits;
    int durationMs;
    int toleranceMs;
};

} // namespace

TEST(AudioConverterProbe, EveryInputFormatOpensWithItsLengthAndFormat)
{
    const ProbeCase cases[] = {
        {"wav 16-bit stereo", [] { return baseWav(); }, 44100, 2, 16, 1500, 0},
        {"wav 8-bit mono",
            [] {
                Fixture::writeWav(work("m8.wav"), {11025, 1, 8}, 11025 * 2 + 7);
                return work("m8.wav");
            },
            11025, 1, 8, 2001, 0},
        {"aiff", [] { return viaFfmpeg("a.aiff", {}); }, 44100, 2, 16, 1500, 0},
        {"au", [] { return viaFfmpeg("a.au", {}); }, 44100, 2, 16, 1500, 0},
        {"snd",
            [] {
                return viaFfmpeg("a.snd", {"-f", "au"});
            },
            44100, 2, 16, 1500, 0},
        // VOC stores its rate as a time constant, exact only for rates like 8000,
        // and keeps no length: it is estimated from the file's size.
        {"voc",
            [] {
                return viaFfmpeg("a.voc", {"-ar", "8000", "-ac", "1", "-c:a", "pcm_u8"});
            },
            8000, 1, 8, 1500, 40},
        {"mp3",
            [] {
                return viaFfmpeg("a.mp3", {"-c:a", "libmp3lame", "-b:a", "128k"});
            },
            // Its Info tag gives the length without the encoder's delay and padding.
            44100, 2, 16, 1500, 0},
        {"mp3 mpeg-2 mono",
            [] {
                return viaFfmpeg("m2.mp3", {"-ar", "22050", "-ac", "1", "-c:a", "libmp3lame"});
            },
            22050, 1, 16, 1500, 0},
        {"mp3 without info tag",
            [] {
                return viaFfmpeg("n.mp3", {"-c:a", "libmp3lame", "-b:a", "128k", "-write_xing", "0"});
            },
            44100, 2, 16, 1500, 60},
        {"ogg",
            [] {
                return viaFfmpeg("a.ogg", {"-c:a", "libvorbis"});
            },
            44100, 2, 16, 1500, 5},
        {"wma",
            [] {
                return viaFfmpeg("a.wma", {"-c:a", "wmav2", "-b:a", "128k"});
            },
            44100, 2, 16, 1500, 100},
        {"ima adpcm wav",
            [] {
                return viaFfmpeg("ima.wav", {"-ar", "22050", "-ac", "1", "-c:a", "adpcm_ima_wav"});
            },
            // The writer pads the last 2041-sample block and its fact chunk
            // counts the padding: 17 blocks are 34697 samples.
            22050, 1, 16, 1574, 0},
        {"vox",
            [] {
                // Any bytes are valid 4-bit ADPCM: 4000 bytes are 8000 samples.
                QFile f(work("a.vox"));
                f.open(QIODevice::WriteOnly);
                QByteArray b(4000, '\0');
                for (char &c : b)
                    c = char(QRandomGenerator::global()->generate());
                f.write(b);
                return work("a.vox");
            },
            8000, 1, 16, 1000, 0},
    };
    for (const ProbeCase &c : cases) {
        SCOPED_TRACE(c.name);
        cAudioConverter converter;
        ASSERT_EQ(converter.OpenSource(c.make()), 0);
        EXPECT_EQ(converter.SampleRate(), c.rate);
        EXPECT_EQ(converter.Channels(), c.channels);
        EXPECT_EQ(converter.BitsPerSample(), c.bits);
        EXPECT_NEAR(converter.Duration(), c.durationMs, c.toleranceMs);
    }
}

TEST(AudioConverterProbe, FilesWithoutAudioAreRefusedAndReplaceTheSource)
{
    QFile text(work("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is no audio\r\n");
    text.close();
    ASSERT_TRUE(TestAudio::ffmpeg({"-f", "lavfi", "-i", "color=c=red:s=16x16", "-frames:v", "1", work("picture.png")}));
    QFile(work("empty.wav")).open(QIODevice::WriteOnly);

    cAudioConverter converter;
    for (const QString &bad :
        {work("missing.wav"), work("notes.txt"), work("picture.png"), work("empty.wav"), work("")}) {
        SCOPED_TRACE(bad.toStdString());
        ASSERT_EQ(converter.OpenSource(baseWav()), 0);
        EXPECT_NE(converter.OpenSource(bad), 0);
        // The failed open replaced the good one: nothing stale is reported.
        EXPECT_EQ(converter.Duration(), 0);
        EXPECT_EQ(converter.SampleRate(), 0);
    }
    ASSERT_EQ(converter.OpenSource(baseWav()), 0);
    converter.CloseSource();
    EXPECT_EQ(converter.Duration(), 0);
}

TEST(AudioConverterProbe, ReadTagsFindsTheTagsOfEachContainer)
{
    const QStringList meta{"-metadata", "title=Tïtle", "-metadata", "artist=Artist A", "-metadata", "album=Album B",
        "-metadata", "comment=Note", "-metadata", "genre=Jazz", "-metadata", "date=1999", "-metadata", "track=7"};
    Fixture::writeWav(work("info.wav"), {8000, 1, 16}, 800,
        {{"INAM", "Tïtle"}, {"IART", "Artist A"}, {"IPRD", "Album B"}, {"ICMT", "Note"}, {"IGNR", "Jazz"},
            {"ICRD", "1999"}, {"IPRT", "7"}});
    const QString files[] = {
        work("info.wav"),
        viaFfmpeg("t.mp3", QStringList{"-c:a", "libmp3lame"} + meta),
        viaFfmpeg("t.ogg", QStringList{"-c:a", "libvorbis"} + meta),
        viaFfmpeg("t.wma", QStringList{"-c:a", "wmav2"} + meta),
    };
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        cAudioConverter converter;
        converter.ReadTags(file);
        EXPECT_EQ(converter.TagTitle(), QString("Tïtle"));
        EXPECT_EQ(converter.TagArtist(), "Artist A");
        EXPECT_EQ(converter.TagAlbum(), "Album B");
        EXPECT_EQ(converter.TagComment(), "Note");
        EXPECT_EQ(converter.TagGenre(), "Jazz");
        EXPECT_EQ(converter.TagYear(), "1999");
        EXPECT_EQ(converter.TagTrack(), "7");
    }

    // Reading a file without tags clears what an earlier read left.
    cAudioConverter converter;
    converter.ReadTags(work("info.wav"));
    converter.ReadTags(baseWav());
    EXPECT_TRUE(converter.TagTitle().isEmpty());
    EXPECT_TRUE(converter.TagYear().isEmpty());
    converter.ReadTags(work("missing.mp3"));
    EXPECT_TRUE(converter.TagArtist().isEmpty());
}

TEST(AudioConverterProbe, ReadTagsShowsTheCommentOfLamesOwnTag)
{
    // LAME writes every comment in UTF-16 with an empty description that
    // carries no byte-order mark; other readers show its text.
    const struct {
        const char *name;
        QStringList arguments;
    } cases[] = {
        {"latin1.mp3", {"--tc", "Café note"}},
        {"cyrillic.mp3", {"--tc", "Ж коммент", "--tt", "Title"}},
        {"ascii.mp3", {"--tc", "Plain"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QProcess lame;
        lame.start("lame", QStringList{"--quiet", "--id3v2-only"} + c.arguments + QStringList{baseWav(), work(c.name)});
        ASSERT_TRUE(lame.waitForFinished(60000) && lame.exitStatus() == QProcess::NormalExit && lame.exitCode() == 0);
        const QString shown = Mutagen::run(R"(
import json, sys
from mutagen.id3 import ID3
print(json.dumps([f.text[0] for f in ID3(sys.argv[1]).getall("COMM") if f.desc == ""][0]))
)",
                                           {work(c.name)})
                                  .toString();
        ASSERT_FALSE(shown.isEmpty());
        cAudioConverter converter;
        converter.ReadTags(work(c.name));
        EXPECT_EQ(converter.TagComment(), shown);
    }
}

TEST(AudioConverterProbe, FormatSecondsGivesHoursMinutesSeconds)
{
    cAudioConverter converter;
    const std::pair<int, const char *> cases[]
        = {{0, "00:00:00"}, {59, "00:00:59"}, {3725, "01:02:05"}, {-3, "00:00:00"}};
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(converter.FormatSeconds(seconds), text) << seconds;
}
