#include "controls/audio/AudioFacts.h"
#include "controls/audio/Mp3Header.h"
#include "support/AudioFiles.h"
#include "support/HeaderFacts.h"
#include "support/TestEnvironment.h"
#include "support/TestNames.h"

#include <QFile>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <ostream>
#include <random>
#include <vector>

namespace {

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

QString source()
{
    const QString path = work("mp3header.src.wav");
    if (!QFile::exists(path))
        TestAudio::writeWav(path, {}, 44100 * 3, [](qint64 i, int ch) {
            return qint16(9000 * std::sin(double(i) * (ch ? 0.031 : 0.047)));
        });
    return path;
}

// The source encoded by ffmpeg's LAME encoder with extra arguments.
QString encoded(const QString &name, const QStringList &arguments)
{
    EXPECT_TRUE(TestAudio::ffmpeg(QStringList{"-i", source()} + arguments + QStringList{work(name)}));
    return work(name);
}

QString byLame(const QString &name, const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("lame"), QStringList{"--quiet"} + arguments + QStringList{source(), work(name)});
    EXPECT_TRUE(p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0);
    return work(name);
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString written(const QString &name, const QByteArray &bytes)
{
    QFile f(work(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return work(name);
}

// A plain CBR stream without Info frame or tags, to damage or wrap.
QByteArray bareCbr()
{
    return contents(encoded("bare.mp3", {"-b:a", "128k", "-write_xing", "0", "-id3v2_version", "0"}));
}

struct Mp3Case {
    const char *name;
    std::function<QString()> make;
    bool fromHeader; // whether the first frames alone settle it
    bool decodesWhole = true; // whether ffmpeg decodes every counted sample
};

std::vector<Mp3Case> mp3Cases()
{
    const QStringList noId3{"-id3v2_version", "0"};
    return {
        {"CBR with Info, ID3v2", [] { return encoded("cbr.mp3", {"-b:a", "128k"}); }, true},
        {"CBR with Info, no tags", [=] { return encoded("cbr-bare.mp3", QStringList{"-b:a", "192k"} + noId3); }, true},
        {"CBR without Info", [=] { return encoded("noinfo.mp3", QStringList{"-b:a", "128k", "-write_xing", "0"} + noId3); }, true},
        {"CBR without Info, ID3v2 and ID3v1", [] {
             return encoded("noinfo-tags.mp3", {"-b:a", "96k", "-write_xing", "0", "-metadata", "title=A title",
                                                "-metadata", "artist=Someone", "-write_id3v1", "1"});
         }, true},
        {"VBR with Xing", [] { return encoded("vbr.mp3", {"-q:a", "4"}); }, true},
        {"VBR without Xing", [=] { return encoded("vbr-noxing.mp3", QStringList{"-q:a", "2", "-write_xing", "0"} + noId3); }, true},
        {"mono", [] { return encoded("mono.mp3", {"-ac", "1", "-b:a", "64k"}); }, true},
        {"32 kHz", [] { return encoded("r32.mp3", {"-ar", "32000", "-b:a", "128k"}); }, true},
        {"48 kHz", [] { return encoded("r48.mp3", {"-ar", "48000", "-b:a", "320k"}); }, true},
        {"MPEG-2 22.05 kHz", [] { return encoded("r22.mp3", {"-ar", "22050", "-b:a", "64k"}); }, true},
        {"MPEG-2 16 kHz mono without Info", [] {
             return encoded("r16.mp3", {"-ar", "16000", "-ac", "1", "-b:a", "32k", "-write_xing", "0"});
         }, true},
        {"MPEG-2 24 kHz VBR", [] { return encoded("r24.mp3", {"-ar", "24000", "-q:a", "5"}); }, true},
        {"LAME's own tag", [] { return byLame("lame.mp3", {"-b", "128"}); }, true},
        {"LAME VBR with ID3v2", [] { return byLame("lame-vbr.mp3", {"-V", "3", "--tt", "Title", "--add-id3v2"}); }, true},
        {"damaged in the middle", [] {
             QByteArray bytes = bareCbr();
             bytes.replace(bytes.size() / 2, 700, QByteArray(700, '\x55'));
             return written("damaged.mp3", bytes);
         }, true, false},
        {"MPEG-2.5", [] { return encoded("r8.mp3", {"-ar", "8000", "-b:a", "16k"}); }, false},
        {"Layer II in an .mp3 name", [] {
             return written("layer2.mp3", contents(encoded("layer2.mp2", {"-c:a", "mp2", "-b:a", "128k"})));
         }, false},
        {"junk before the first frame", [] { return written("junk.mp3", QByteArray(300, '\x11') + bareCbr()); }, false},
        {"fewer frames than the probe needs", [] { return written("short.mp3", bareCbr().left(417 * 5)); }, false},
        {"another name", [] { return written("stream.bin", bareCbr()); }, false},
        {"MP3 in a WAV named .mp3", [] {
             encoded("inwav.wav", {"-c:a", "libmp3lame", "-b:a", "64k"});
             return written("inwav.mp3", contents(work("inwav.wav")));
         }, false},
    };
}

// gtest names a failing case by this.
void PrintTo(const Mp3Case &c, std::ostream *os)
{
    *os << c.name;
}

class Mp3Kinds : public ::testing::TestWithParam<Mp3Case> {};

} // namespace

// Whatever an MP3 holds, its facts come out the same as a full open of the
// file gives them; the first frames alone serve only the streams they settle.
TEST_P(Mp3Kinds, DescribedExactlyAsTheFullProbeOrLeftToIt)
{
    const Mp3Case &c = GetParam();
    const QString path = c.make();
    const std::optional<AudioFacts> full = HeaderFacts::fullProbe(path);
    const std::optional<AudioFacts> header = Mp3Header::plainFacts(path);
    EXPECT_EQ(header.has_value(), c.fromHeader);
    if (c.fromHeader) {
        ASSERT_TRUE(full.has_value());
        ASSERT_TRUE(header.has_value());
        HeaderFacts::expectSameAsFullProbe(path, *header, *full);
        EXPECT_EQ(TestAudio::probe(path)["stream"].toObject()["codec_name"].toString(), "mp3");
        if (c.decodesWhole) {
            EXPECT_EQ(TestAudio::decodeS16(path).size(), header->totalSamples * header->channels);
        }
    }
    HeaderFacts::expectListViewIsTheFullProbe(path, full);
}

INSTANTIATE_TEST_SUITE_P(Mp3Header, Mp3Kinds, ::testing::ValuesIn(mp3Cases()),
    [](const ::testing::TestParamInfo<Mp3Case> &info) { return TestNames::of(QString::fromUtf8(info.param.name), info.index); });

// A file whose last frame is cut off (a download or copy stopped short)
// still decodes that frame whole: the length counts it, by the first frames
// and by the full probe alike, tag or no tag.
TEST(Mp3Header, CountsALastFrameCutShortAsTheDecoderDecodesIt)
{
    const QStringList noId3{"-id3v2_version", "0"};
    const QString kinds[] = {
        byLame("cut-lame.mp3", {"-b", "128"}),
        byLame("cut-lame-vbr.mp3", {"-V", "4"}),
        encoded("cut-ffmpeg.mp3", QStringList{"-b:a", "160k"} + noId3),
        encoded("cut-noinfo.mp3", QStringList{"-b:a", "128k", "-write_xing", "0"} + noId3),
        encoded("cut-mono.mp3", QStringList{"-ac", "1", "-ar", "22050", "-b:a", "48k", "-write_xing", "0"} + noId3),
    };
    // Fixed cut points, so a failure repeats: up to two frames' worth off
    // the end, never a whole number of frames on purpose.
    std::mt19937 cuts(22);
    for (int i = 0; i < 10; ++i) {
        const QString &kind = kinds[i % std::size(kinds)];
        const QByteArray whole = contents(kind);
        const int cut = std::uniform_int_distribution<int>(1, 900)(cuts);
        SCOPED_TRACE(QStringLiteral("%1 less %2 bytes").arg(kind).arg(cut).toStdString());
        const QString path = written(QStringLiteral("cut-%1.mp3").arg(i), whole.left(whole.size() - cut));
        const std::optional<AudioFacts> header = Mp3Header::plainFacts(path);
        const std::optional<AudioFacts> full = HeaderFacts::fullProbe(path);
        ASSERT_TRUE(header.has_value());
        ASSERT_TRUE(full.has_value());
        EXPECT_EQ(header->totalSamples, full->totalSamples);
        EXPECT_EQ(header->totalSamples * header->channels, TestAudio::decodeS16(path).size());
    }
}
