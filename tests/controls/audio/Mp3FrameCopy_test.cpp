#include "support/AudioFixtures.h"
#include "support/TestEnvironment.h"
#include "controls/audio/AudioJob.h"
#include "controls/audio/Mp3WalkCache.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

// MP3 ranges written into MP3 files of the same kind: their frames are
// copied, and each part still decodes (ffmpeg, which honours the LAME
// encoder delay and padding) to exactly the samples of its range.
namespace {

constexpr int kRate = 44100;

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Mp3EncoderSettings cbr(int kbps, int rate = kRate, std::int32_t mode = Mp3JointStereo)
{
    Mp3EncoderSettings s;
    s.Bitrate = kbps;
    s.SampleRate = rate;
    s.Quality = 5;
    s.Mode = mode;
    return s;
}

Mp3EncoderSettings withInfoFrame(Mp3EncoderSettings s)
{
    s.WriteVBRTag = -1;
    return s;
}

DestinationSettings mp3(const Mp3EncoderSettings &s)
{
    DestinationSettings d;
    d.format = DestMP3;
    d.mp3 = s;
    return d;
}

// Runs one job over a range of samples (count -1: to the end) of source.
bool cut(const DestinationSettings &settings, const QString &source, const QString &dest, qint64 first,
    qint64 count, const AudioTags &tags = {})
{
    AudioJobItem item;
    item.path = source;
    item.firstSample = first;
    item.sampleCount = count;
    AudioJob job(settings, tags, dest, {item});
    const std::atomic<bool> abort{false};
    const bool done = job.run(abort, {}) == AudioJob::Result::Done;
    EXPECT_TRUE(done) << job.errorText().toStdString();
    return done;
}

// Where a cut differs from the same samples of the straight decode (by more
// than tolerance): "" when equal.
std::string firstDifference(
    const QVector<qint16> &part, const QVector<qint16> &all, qsizetype from, qsizetype count, int tolerance = 0)
{
    if (from + count > all.size())
        return "the straight decode ends before the range";
    if (part.size() != count)
        return "the cut holds " + std::to_string(part.size()) + " values, not " + std::to_string(count);
    const auto at = std::mismatch(part.begin(), part.end(), all.begin() + from,
        [tolerance](qint16 a, qint16 b) { return std::abs(int(a) - int(b)) <= tolerance; });
    if (at.first == part.end())
        return {};
    return "first difference at value " + std::to_string(at.first - part.begin());
}

// The samples ffmpeg drops at the start of a source (the LAME delay and its
// own), from the stream's start time in the demuxer's 1/14112000 s.
qint64 decoderSkip(const QString &path, int rate)
{
    const QJsonObject stream = TestAudio::probe(path)["stream"].toObject();
    return stream["start_pts"].toInteger() * rate / 14112000;
}

// Whether part's middle bytes are the source's own, as a copy leaves them
// and an encoder never makes them.
bool copiedFrames(const QString &part, const QString &source)
{
    const QByteArray bytes = contents(part);
    const QByteArray middle = bytes.mid(bytes.size() / 2, 120);
    return middle.size() == 120 && contents(source).contains(middle);
}

struct Source {
    const char *name;
    std::function<bool(const QString &wav, const QString &to)> make;
    Mp3EncoderSettings settings; // the destination settings that match it
    int rate;
    int channels;
    int frameSamples;
    bool encoderTagged; // whether the encoder writes an exact Info frame with settings
};

class Mp3FrameCopyTest : public ::testing::TestWithParam<Source> {};

TEST_P(Mp3FrameCopyTest, RangesAreCopiedFramesThatDecodeToTheirSamplesExactly)
{
    const Source &s = GetParam();
    const QString wav = work("master.wav");
    Fixture::writeWav(wav, {s.rate, s.channels, 16}, qint64(s.rate) * 12);
    const QString source = work("source.mp3");
    ASSERT_TRUE(s.make(wav, source));
    const QVector<qint16> all = TestAudio::decodeS16(source);
    const qint64 total = all.size() / s.channels;
    ASSERT_GT(total, qint64(s.rate) * 11);
    const qint64 skip = decoderSkip(source, s.rate);
    const qint64 frame = s.frameSamples;
    // A start given on the decoder's frame grid: frame k, offset o.
    const auto at = [&](qint64 k, qint64 o) { return k * frame + o - skip; };

    const struct Range {
        const char *name;
        qint64 first;
        qint64 count; // -1: to the end
        bool copied;
    } ranges[] = {
        {"from the first sample", 0, 3 * frame + 17, true},
        {"from the fifth sample", 5, 3 * frame, true},
        {"from a frame boundary", at(20, 0), 10 * frame, true},
        {"up to a frame boundary", at(20, 300), 20 * frame - 300, true},
        {"mid-frame to mid-frame", at(33, 611), s.rate + 1, true},
        {"across a frame boundary", at(50, frame - 50), 100, true},
        {"the last samples", total - 1500, -1, true},
        {"the second half", total / 2, -1, true},
        {"everything", 0, -1, true},
        // FFmpeg cannot drop samples at both ends of one frame: encoded.
        {"inside one frame", at(60, 100), frame / 2, false},
    };
    int n = 0;
    for (const Range &r : ranges) {
        SCOPED_TRACE(r.name);
        const QString part = work(QStringLiteral("part%1.mp3").arg(++n));
        ASSERT_TRUE(cut(mp3(s.settings), source, part, r.first, r.count));
        const qint64 count = r.count < 0 ? total - r.first : r.count;
        EXPECT_EQ(copiedFrames(part, source), r.copied);
        if (r.copied) {
            EXPECT_EQ(firstDifference(TestAudio::decodeS16(part), all, r.first * s.channels, count * s.channels), "");
        } else if (s.encoderTagged) {
            EXPECT_EQ(TestAudio::decodeS16(part).size(), count * s.channels);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Mp3FrameCopy, Mp3FrameCopyTest,
    ::testing::Values(
        Source{"LameCbrWithInfoFrame",
            [](const QString &wav, const QString &to) { return cut(mp3(withInfoFrame(cbr(128))), wav, to, 0, -1); },
            cbr(128), kRate, 2, 1152, false},
        // No Info frame: nothing is dropped from the straight decode, so a
        // range from its first sample needs a silent frame ahead.
        Source{"CbrBetweenId3TagsWithoutInfoFrame",
            [](const QString &wav, const QString &to) {
                return TestAudio::ffmpeg({"-i", wav, "-c:a", "libmp3lame", "-b:a", "128k", "-write_xing", "0",
                    "-write_id3v1", "1", "-metadata", "title=Source title", to});
            },
            withInfoFrame(cbr(128)), kRate, 2, 1152, true},
        // MPEG-2: one granule a frame, an eight-bit reservoir pointer, and a
        // bitrate too low to hold the Info frame (LAME writes none there).
        Source{"Mpeg2MonoAt32kbps",
            [](const QString &wav, const QString &to) {
                return cut(mp3(withInfoFrame(cbr(32, 22050, Mp3Mono))), wav, to, 0, -1);
            },
            cbr(32, 22050, Mp3Mono), 22050, 1, 576, false}),
    [](const auto &info) { return std::string(info.param.name); });

// What another decoder makes of path: interleaved 16-bit samples in the
// file's own rate and channels; empty when it fails.
QVector<qint16> decodeWith(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    const QByteArray bytes = p.readAllStandardOutput();
    QVector<qint16> samples(bytes.size() / 2);
    memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * 2);
    return samples;
}

QVector<qint16> mpg123(const QString &path, bool gapless)
{
    QStringList args{"-q", "-s"};
    if (!gapless)
        args << "--no-gapless";
    return decodeWith(QStringLiteral("mpg123"), args << path);
}

QVector<qint16> lameDecode(const QString &path)
{
    return decodeWith(QStringLiteral("lame"), {"--quiet", "--decode", "-t", path, "-"});
}

// What FFmpeg says of the frame checks (CRC) of path: "" when every one holds.
QString checkMismatches(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-nostdin", "-v", "warning", "-err_detect", "crccheck", "-i", path, "-f", "null", "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("ffmpeg failed");
    const QString said = QString::fromLocal8Bit(p.readAllStandardError());
    return said.contains(QLatin1String("CRC")) ? said.trimmed() : QString();
}

qint16 peak(const QVector<qint16> &samples, qsizetype from = 0, qsizetype count = -1)
{
    from = std::clamp<qsizetype>(from, 0, samples.size());
    const qsizetype end = count < 0 ? samples.size() : std::min(samples.size(), from + count);
    int highest = 0;
    for (qsizetype i = from; i < end; ++i)
        highest = std::max(highest, std::abs(int(samples[i])));
    return qint16(std::min(highest, 32767));
}

// A source the way people make them, with lame, and the settings that copy it.
struct SplitSource {
    const char *name;
    QStringList lame; // lame's options besides the files
    Mp3EncoderSettings settings;
    int rate;
    int channels;
    // mpg123 rounds mono and MPEG-2 streams one step differently when it
    // starts decoding on an odd frame, just as when it skips into the
    // source itself (mpg123 -k 151): a part whose first frame must be an
    // odd one cannot help that.
    int mpg123Tolerance = 0;
};

class Mp3SplitTest : public ::testing::TestWithParam<SplitSource> {};

// Six parts as the splitter cuts them. Gapless decoders give every part's
// range exactly; the others play each part's frames whole, so they may play
// a little of the audio around the range, but never anything louder than
// the source holds there (the source stays at half scale, so a burst of
// noise from a frame decoded without its reservoir shows).
TEST_P(Mp3SplitTest, EveryPartPlaysItsRangeInEveryDecoder)
{
    const SplitSource &s = GetParam();
    const QString wav = work("master.wav");
    // Tone and noise on two channels; mono mixes them, as a pure tone keeps
    // the reservoir too full for some cuts to be copied.
    TestAudio::writeWav(wav, {s.rate, s.channels, 16}, qint64(s.rate) * 25 / 2, [&](qint64 i, int ch) {
        const int rate = s.rate;
        return s.channels == 2 ? Fixture::toneAndNoise(i, ch, rate)
                               : qint16((Fixture::toneAndNoise(i, 0, rate) + Fixture::toneAndNoise(i, 1, rate)) / 2);
    });
    const QString source = work("source.mp3");
    QProcess lame;
    lame.start(QStringLiteral("lame"), QStringList{"--quiet"} + s.lame + QStringList{wav, source});
    ASSERT_TRUE(lame.waitForFinished(60000) && lame.exitCode() == 0);

    const QVector<qint16> all = TestAudio::decodeS16(source);
    const QVector<qint16> allMpg123 = mpg123(source, true);
    ASSERT_GT(all.size(), qint64(s.rate) * 12 * s.channels);
    ASSERT_EQ(allMpg123.size(), all.size());
    constexpr int kParts = 6;
    const qint64 frames = all.size() / s.channels;
    const qint64 length = frames / kParts / s.rate * s.rate;
    const qint64 margin = qint64(s.rate) / 5 * s.channels;
    for (int k = 0; k < kParts; ++k) {
        SCOPED_TRACE("part " + std::to_string(k + 1));
        const QString part = work(QStringLiteral("part%1.mp3").arg(k + 1));
        const qint64 first = k * length;
        const qint64 count = k + 1 < kParts ? length : frames - first;
        ASSERT_TRUE(cut(mp3(s.settings), source, part, first, k + 1 < kParts ? count : -1));
        ASSERT_TRUE(copiedFrames(part, source));
        const qsizetype from = first * s.channels, values = count * s.channels;
        EXPECT_EQ(firstDifference(TestAudio::decodeS16(part), all, from, values), "") << "ffmpeg";
        EXPECT_EQ(checkMismatches(part), QString());
        EXPECT_EQ(firstDifference(mpg123(part, true), allMpg123, from, values, s.mpg123Tolerance), "") << "mpg123";
        const qint16 loudest = peak(all, from - margin, values + 2 * margin);
        for (const auto &[decoder, decoded] : {std::pair{"lame --decode", lameDecode(part)},
                 std::pair{"mpg123 --no-gapless", mpg123(part, false)}}) {
            EXPECT_GE(decoded.size(), values) << decoder;
            EXPECT_LE(peak(decoded), loudest) << decoder;
        }
    }
}

Mp3EncoderSettings mono(Mp3EncoderSettings s)
{
    s.Mode = Mp3Mono;
    return s;
}

INSTANTIATE_TEST_SUITE_P(Mp3FrameCopy, Mp3SplitTest,
    ::testing::Values(SplitSource{"CbrWithInfoFrame", {"-b", "128"}, cbr(128), kRate, 2},
        SplitSource{"CbrWithoutInfoFrame", {"-b", "128", "-t"}, cbr(128), kRate, 2},
        SplitSource{"CbrWithChecks", {"-b", "128", "-p"}, cbr(128), kRate, 2},
        SplitSource{"Mpeg2", {"-b", "64"}, cbr(64, 22050), 22050, 2, 1},
        SplitSource{"Mono", {"-b", "96", "-m", "m"}, mono(cbr(96)), kRate, 1, 1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Mp3FrameCopy, DestinationTagsReplaceTheSources)
{
    const QString wav = work("master.wav");
    Fixture::writeWav(wav, {kRate, 2, 16}, kRate * 4);
    const QString source = work("tagged.mp3");
    ASSERT_TRUE(TestAudio::ffmpeg({"-i", wav, "-c:a", "libmp3lame", "-b:a", "128k", "-write_id3v1", "1",
        "-metadata", "title=Source title", "-metadata", "artist=Source artist", source}));
    AudioTags tags;
    tags.title = QStringLiteral("Part title");
    tags.track = QStringLiteral("2");
    const QString part = work("part.mp3");
    ASSERT_TRUE(cut(mp3(cbr(128)), source, part, kRate, kRate, tags));

    EXPECT_TRUE(copiedFrames(part, source));
    const QJsonObject probed = TestAudio::probe(part);
    EXPECT_EQ(TestAudio::probedTag(probed, "title"), QStringLiteral("Part title"));
    EXPECT_EQ(TestAudio::probedTag(probed, "track"), QStringLiteral("2"));
    EXPECT_EQ(TestAudio::probedTag(probed, "artist"), QString());
    const QByteArray bytes = contents(part);
    EXPECT_FALSE(bytes.contains("Source title"));
    EXPECT_EQ(TestAudio::decodeS16(part), TestAudio::decodeS16(source).mid(kRate * 2, kRate * 2));
}

TEST(Mp3FrameCopy, SourcesOrSettingsOfAnotherKindAreEncoded)
{
    const QString wav = work("master.wav");
    Fixture::writeWav(wav, {kRate, 2, 16}, kRate * 6);
    const QString source = work("cbr.mp3");
    ASSERT_TRUE(cut(mp3(withInfoFrame(cbr(128))), wav, source, 0, -1));
    Mp3EncoderSettings vbr = withInfoFrame(cbr(128));
    vbr.VBRMode = 4;
    vbr.VBRQualityIndex = 4;
    const QString vbrSource = work("vbr.mp3");
    ASSERT_TRUE(cut(mp3(vbr), wav, vbrSource, 0, -1));

    const struct {
        const char *name;
        QString source;
        Mp3EncoderSettings settings;
        int kbps;
        int channels;
        int rate;
    } cases[] = {
        {"another bitrate", source, cbr(160), 160, 2, kRate},
        {"another rate", source, cbr(128, 48000), 128, 2, 48000},
        {"mono", source, cbr(128, kRate, Mp3Mono), 128, 1, kRate},
        {"vbr destination", source, vbr, 0, 2, kRate},
        {"vbr source", vbrSource, cbr(128), 128, 2, kRate},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString part = work(QStringLiteral("encoded%1.mp3").arg(++n));
        ASSERT_TRUE(cut(mp3(c.settings), c.source, part, kRate, 2 * kRate));
        EXPECT_FALSE(copiedFrames(part, c.source));
        const QJsonObject stream = TestAudio::probe(part)["stream"].toObject();
        EXPECT_EQ(stream["channels"].toInt(), c.channels);
        EXPECT_EQ(stream["sample_rate"].toString().toInt(), c.rate);
        if (c.kbps) {
            EXPECT_EQ(stream["bit_rate"].toString().toInt(), c.kbps * 1000);
        }
    }
}

// The parts of one split share one walk of their source, for as long as the
// file is the one walked: a source replaced since is walked anew, even at
// the same size, or the parts would copy bytes that are no frames.
TEST(Mp3FrameCopy, PartsShareAWalkOfTheirSourceWhileItStaysTheSame)
{
    const QString wav = work("master.wav");
    Fixture::writeWav(wav, {kRate, 2, 16}, kRate * 4);
    const QString source = work("source.mp3");
    ASSERT_TRUE(cut(mp3(withInfoFrame(cbr(128))), wav, source, 0, -1));
    auto walks = std::make_shared<Mp3WalkCache>();
    const std::atomic<bool> go{false};
    const std::atomic<bool> stop{true};

    EXPECT_EQ(walks->walk(source, stop), nullptr);
    const auto walked = walks->walk(source, go);
    ASSERT_TRUE(walked && walked->copyable);
    EXPECT_EQ(walks->walk(source, go), walked);

    // The same length of other sound: the same size, a later time.
    TestAudio::writeWav(wav, {kRate, 2, 16}, kRate * 4, [](qint64 i, int ch) {
        return qint16(((i * 7 + ch * 3) % 200 - 100) * 60);
    });
    const QString other = work("other.mp3");
    ASSERT_TRUE(cut(mp3(withInfoFrame(cbr(128))), wav, other, 0, -1));
    ASSERT_EQ(QFileInfo(other).size(), QFileInfo(source).size());
    const QDateTime later = QFileInfo(source).lastModified().addSecs(10);
    ASSERT_TRUE(QFile::remove(source) && QFile::rename(other, source));
    QFile touched(source);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite) && touched.setFileTime(later, QFileDevice::FileModificationTime));
    touched.close();

    const auto again = walks->walk(source, go);
    ASSERT_TRUE(again && again->copyable);
    EXPECT_NE(again, walked);
    AudioJobItem item;
    item.path = source;
    item.firstSample = kRate;
    item.sampleCount = kRate;
    AudioJob job(mp3(cbr(128)), {}, work("part.mp3"), {item});
    job.shareFrameWalks(walks);
    ASSERT_EQ(job.run(go, {}), AudioJob::Result::Done) << job.errorText().toStdString();
    EXPECT_TRUE(copiedFrames(work("part.mp3"), source));
    EXPECT_EQ(firstDifference(TestAudio::decodeS16(work("part.mp3")), TestAudio::decodeS16(source), kRate * 2, kRate * 2), "");

    walks->clear();
    EXPECT_NE(walks->walk(source, go), again);
}

} // namespace
