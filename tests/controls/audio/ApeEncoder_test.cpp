#include "support/AudioFixtures.h"
#include "support/JobSpy.h"
#include "controls/audio/cAudioConverter.h"
#include "controls/audio/cAudioJoin.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace {

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// The PCM ffmpeg decodes from path (s16le, or u8 for 8 bits), with the
// frame CRCs checked; empty when decoding fails.
QByteArray decodedPcm(const QString &path, int bits)
{
    const QString raw = path + ".raw";
    const bool ok = TestAudio::ffmpeg(
        {"-xerror", "-err_detect", "crccheck+explode", "-i", path, "-f", bits == 8 ? "u8" : "s16le", raw});
    QFile f(raw);
    const QByteArray pcm = ok && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    f.remove();
    return pcm;
}

// The compression level ffprobe reports for an APE file, 0 when none.
int probedLevel(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"), {"-v", "verbose", path});
    p.waitForFinished(60000);
    const QString log = QString::fromUtf8(p.readAllStandardError());
    const qsizetype at = log.indexOf(QLatin1String("compression level "));
    return at < 0 ? 0 : log.mid(at + 18, 4).toInt();
}

// Ends the job started by start; the error text, empty when it ended Done.
template <typename Control, typename Start> QString runJob(Control &control, Start start)
{
    JobSpy<Control> spy(&control);
    spy.start(start);
    if (!spy.waitForEnd())
        return QStringLiteral("no ending");
    if (spy.done.size() == 1 && spy.terminals() == 1)
        return {};
    return QStringLiteral("ended with error \"%1\"").arg(spy.errorText());
}

QString convertToApe(const QString &source, const QString &dest, int level, int start = -1, int length = -1,
    const AudioTags &tags = {})
{
    cAudioConverter c;
    c.DestFormat(DestAPE);
    c.SetAPESettings(level);
    c.TagTitle(tags.title);
    c.TagArtist(tags.artist);
    c.TagAlbum(tags.album);
    c.TagYear(tags.year);
    c.TagTrack(tags.track);
    c.TagGenre(tags.genre);
    c.TagComment(tags.comment);
    c.SourceFile(source);
    if (start >= 0) {
        c.RangeStart(start);
        c.RangeLength(length);
    }
    c.DestFile(dest);
    return runJob(c, [&] { c.Convert(); });
}

AudioTags sampleTags()
{
    AudioTags t;
    t.title = QStringLiteral("Title Ω");
    t.artist = QStringLiteral("The Artist");
    t.album = QStringLiteral("Album Ä");
    t.year = QStringLiteral("2021");
    t.track = QStringLiteral("4");
    t.genre = QStringLiteral("Rock");
    t.comment = QStringLiteral("A comment");
    return t;
}

// Noise over the whole 16-bit range, extremes included.
qint16 fullScaleNoise(qint64 i, int ch)
{
    quint32 x = quint32(i) * 2654435761u + quint32(ch + 1) * 0x9E3779B9u;
    x ^= x >> 15;
    x *= 0x2c1b3c6du;
    x ^= x >> 12;
    return qint16(x >> 16);
}

} // namespace

// Each level is a test of its own, so that they run side by side.
class ApeLevel : public ::testing::TestWithParam<int> {};

TEST_P(ApeLevel, EverySampleFormatDecodesToTheSourceWithTagsAndLevel)
{
    const int level = GetParam();
    struct Format {
        const char *name;
        TestAudio::WavSpec spec;
        const char *sampleFormat;
    } const formats[] = {
        {"16-bit stereo", {22050, 2, 16}, "s16p"},
        {"16-bit mono", {22050, 1, 16}, "s16p"},
        {"8-bit mono", {22050, 1, 8}, "u8p"},
        {"8-bit stereo", {11025, 2, 8}, "u8p"},
    };
    const AudioTags tags = sampleTags();
    for (const Format &f : formats) {
        SCOPED_TRACE(f.name);
        const QString source = work(QStringLiteral("source %1.wav").arg(f.name));
        Fixture::writeWav(source, f.spec, f.spec.rate * 6 / 10);
        const QByteArray expected = decodedPcm(source, f.spec.bits);
        ASSERT_EQ(expected.size(), f.spec.rate * 6 / 10 * f.spec.channels * f.spec.bits / 8);
        const QString dest = work(QStringLiteral("out %1.ape").arg(f.name));
        ASSERT_EQ(convertToApe(source, dest, level, -1, -1, tags), QString());
        EXPECT_EQ(decodedPcm(dest, f.spec.bits), expected);

        const QJsonObject probed = TestAudio::probe(dest);
        EXPECT_EQ(probed["stream"]["codec_name"].toString(), "ape");
        EXPECT_EQ(probed["stream"]["sample_fmt"].toString(), f.sampleFormat);
        EXPECT_EQ(probed["stream"]["channels"].toInt(), f.spec.channels);
        EXPECT_EQ(probed["stream"]["sample_rate"].toString().toInt(), f.spec.rate);
        EXPECT_EQ(probedLevel(dest), (level + 1) * 1000);
        const std::pair<const char *, QString> written[] = {{"title", tags.title}, {"artist", tags.artist},
            {"album", tags.album}, {"year", tags.year}, {"track", tags.track}, {"genre", tags.genre},
            {"comment", tags.comment}};
        for (const auto &[key, value] : written)
            EXPECT_EQ(TestAudio::probedTag(probed, key), value) << key;
    }
}

TEST_P(ApeLevel, HardSignalsAndFrameBoundariesDecodeExactly)
{
    const int level = GetParam();
    // A frame holds 294912 blocks; the last one of a file is shorter.
    constexpr qint64 kFrame = 294912;
    struct Case {
        const char *name;
        TestAudio::WavSpec spec;
        qint64 frames;
        TestAudio::Sample sample;
        int apeFrames;
    } const cases[] = {
        {"silence", {44100, 2, 16}, 30000, {}, 1},
        {"full-scale noise", {44100, 2, 16}, 30000, fullScaleNoise, 1},
        {"8-bit full-scale noise", {8000, 2, 8}, 30000, fullScaleNoise, 1},
        {"extremes swapping between the channels", {44100, 2, 16}, 30000,
            [](qint64 i, int ch) { return qint16(((i / 37) + ch) % 2 ? 32767 : -32768); }, 1},
        {"equal channels", {44100, 2, 16}, 30000, [](qint64 i, int) { return Fixture::toneAndNoise(i, 1, 44100); },
            1},
        {"two frames and a part, silent at first", {8000, 1, 16}, 2 * kFrame + 1001,
            [](qint64 i, int) { return i < kFrame + 5 ? qint16(0) : Fixture::toneAndNoise(i, 0, 8000); }, 3},
        {"exactly one frame", {8000, 2, 16}, kFrame,
            [](qint64 i, int ch) { return Fixture::toneAndNoise(i, ch, 8000); }, 1},
    };
    int n = 0;
    for (const Case &c : cases) {
        const QString source = work(QStringLiteral("signal%1.wav").arg(++n));
        TestAudio::writeWav(source, c.spec, c.frames, c.sample);
        const QByteArray expected = decodedPcm(source, c.spec.bits);
        ASSERT_EQ(expected.size(), c.frames * c.spec.channels * c.spec.bits / 8) << c.name;
        SCOPED_TRACE(c.name);
        const QString dest = work(QStringLiteral("signal%1.ape").arg(n));
        ASSERT_EQ(convertToApe(source, dest, level), QString());
        const QByteArray got = decodedPcm(dest, c.spec.bits);
        EXPECT_EQ(got.size(), expected.size());
        EXPECT_TRUE(got == expected);
        const QJsonObject probed = TestAudio::probe(dest);
        EXPECT_EQ(probed["stream"]["nb_frames"].toString().toInt(), c.apeFrames);
        EXPECT_EQ(probed["stream"]["duration_ts"].toInteger(), c.frames);
    }
}

TEST(ApeEncoder, RangesAndJoinsAreSampleExact)
{
    constexpr int kRate = 22050;
    const QString a = work("a.wav"), b = work("b.wav"), c = work("c.wav");
    TestAudio::writeWav(a, {kRate, 2, 16}, kRate * 3 + 17, [](qint64 i, int ch) { return Fixture::toneAndNoise(i, ch, kRate); });
    TestAudio::writeWav(b, {kRate, 2, 16}, kRate / 3, fullScaleNoise);
    TestAudio::writeWav(c, {kRate, 2, 16}, kRate * 2 + 5, [](qint64 i, int ch) { return qint16((i * 7 + ch * 1000) % 20000 - 10000); });
    const QByteArray pcmA = decodedPcm(a, 16), pcmB = decodedPcm(b, 16), pcmC = decodedPcm(c, 16);
    constexpr int kBlock = 4;

    ASSERT_EQ(convertToApe(a, work("range.ape"), 2, 1, 2), QString());
    EXPECT_TRUE(decodedPcm(work("range.ape"), 16) == pcmA.mid(kRate * kBlock, 2 * kRate * kBlock));

    cAudioJoin join;
    join.DestFormat(DestAPE);
    join.SetAPESettings(3);
    join.TagTitle("Joined");
    join.AddFile(a, -1, -1);
    join.AddFile(b, -1, -1);
    join.AddFile(c, 1, 1);
    join.DestFile(work("joined.ape"));
    ASSERT_EQ(runJob(join, [&] { join.Join(); }), QString());
    const QByteArray joined = decodedPcm(work("joined.ape"), 16);
    EXPECT_EQ(joined.size(), pcmA.size() + pcmB.size() + kRate * kBlock);
    EXPECT_TRUE(joined == pcmA + pcmB + pcmC.mid(kRate * kBlock, kRate * kBlock));
    EXPECT_EQ(TestAudio::probedTag(TestAudio::probe(work("joined.ape")), "title"), "Joined");
    // Written under a temporary name, frames kept aside: nothing else is left.
    EXPECT_EQ(TestAudio::strayFiles({"a.wav", "b.wav", "c.wav", "range.ape", "joined.ape"}), QStringList());
}

TEST(ApeEncoder, AbortLeavesNeitherTheFileNorItsFramesBehind)
{
    const QString source = work("long.wav");
    Fixture::writeWav(source, {44100, 2, 16}, 44100 * 20);
    cAudioConverter converter;
    converter.DestFormat(DestAPE);
    converter.SetAPESettings(4);
    JobSpy<cAudioConverter> spy(&converter);
    converter.SourceFile(source);
    converter.DestFile(work("aborted.ape"));
    converter.Convert();
    ASSERT_TRUE(waitUntil([&] { return !spy.progress.isEmpty() || spy.terminals() > 0; }));
    converter.Abort();
    ASSERT_TRUE(spy.waitForEnd());
    EXPECT_EQ(spy.aborted.size(), 1);
    EXPECT_EQ(spy.terminals(), 1);
    EXPECT_EQ(TestAudio::strayFiles({"long.wav"}), QStringList());
}

namespace {

// A PCM WAV of 24 or 32 bits; sample(frame, channel) gives each value in
// that many bits.
QString wideWav(const QString &name, TestAudio::WavSpec spec, qint64 frames,
    const std::function<qint32(qint64, int)> &sample)
{
    const int bytes = spec.bits / 8;
    QByteArray data;
    data.reserve(int(frames * spec.channels * bytes));
    for (qint64 i = 0; i < frames; ++i)
        for (int c = 0; c < spec.channels; ++c) {
            const quint32 v = quint32(sample(i, c));
            for (int b = 0; b < bytes; ++b)
                data.append(char(v >> (8 * b)));
        }
    QFile f(work(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(TestAudio::wavHeader(spec, quint32(data.size())) + data);
    return f.fileName();
}

// What a program writes to its standard output; empty when it fails.
QByteArray programOutput(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    EXPECT_TRUE(ok) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return ok ? p.readAllStandardOutput() : QByteArray();
}

// The stretches of a 24-bit signal that stress the coder most.
qint32 hard24(qint64 i, int ch)
{
    constexpr qint32 kMax = (1 << 23) - 1;
    constexpr qint32 kMin = -(1 << 23);
    if (i < 20000) {
        quint32 x = quint32(i) * 2654435761u + quint32(ch + 1) * 0x9E3779B9u;
        x ^= x >> 15;
        x *= 0x2c1b3c6du;
        x ^= x >> 13;
        return qint32(x) >> 8; // noise over the whole range
    }
    if (i < 40000)
        return ((i / 37) + ch) % 2 ? kMax : kMin;
    if (i < 55000)
        return qint32(std::lround(3000000 * std::sin(double(i) * (ch ? 0.011 : 0.029)))) + qint32(i * 7919 % 513) - 256;
    if (i < 60000)
        return 0;
    return qint32(std::lround(kMax * std::sin(double(i) * 0.002))); // equal channels, full scale
}

QString convertWithWarnings(const QString &source, const QString &dest, int level, QStringList *warnings)
{
    cAudioConverter c;
    c.DestFormat(DestAPE);
    c.SetAPESettings(level);
    c.SourceFile(source);
    c.DestFile(dest);
    QObject::connect(&c, &cAudioConverter::Warning, [warnings](const QString &text) { *warnings << text; });
    QObject::connect(&c, &cAudioConverter::Done, [warnings] { *warnings << "Done"; });
    return runJob(c, [&] { c.Convert(); });
}

} // namespace

// A lossless file keeps every bit of a 24-bit source at every level, as
// sox reads the source and ffmpeg the APE, each into 32-bit samples.
TEST_P(ApeLevel, TwentyFourBitSourcesStayBitExact)
{
    const int level = GetParam();
    const struct {
        const char *name;
        TestAudio::WavSpec spec;
        qint64 frames;
    } cases[] = {
        {"48 kHz stereo", {48000, 2, 24}, 72000},
        {"44.1 kHz mono", {44100, 1, 24}, 66000},
    };
    for (const auto &c : cases) {
        const QString source = wideWav(QStringLiteral("source24 %1.wav").arg(c.name), c.spec, c.frames, hard24);
        const QByteArray expected = programOutput("sox", {source, "-t", "raw", "-e", "signed", "-b", "32", "-"});
        ASSERT_EQ(expected.size(), c.frames * c.spec.channels * 4);
        SCOPED_TRACE(c.name);
        const QString dest = work(QStringLiteral("out24 %1.ape").arg(c.name));
        QStringList warnings;
        ASSERT_EQ(convertWithWarnings(source, dest, level, &warnings), QString());
        EXPECT_EQ(warnings, QStringList{"Done"}) << "nothing was lost";
        const QByteArray decoded = programOutput("ffmpeg",
            {"-v", "error", "-xerror", "-err_detect", "crccheck+explode", "-i", dest, "-f", "s32le", "-"});
        EXPECT_EQ(decoded.size(), expected.size());
        EXPECT_TRUE(decoded == expected);
        const QJsonObject probed = TestAudio::probe(dest);
        EXPECT_EQ(probed["stream"]["sample_fmt"].toString(), "s32p");
        EXPECT_EQ(probed["stream"]["bits_per_raw_sample"].toString().toInt(), 24);
    }
}

// What an APE file cannot hold is said in the job's log, before its Done:
// channels beyond two, bits below 24.
TEST(ApeEncoder, WhatTheFormatCannotHoldIsReported)
{
    const QString surround = wideWav("three.wav", {48000, 3, 24}, 4800, [](qint64 i, int ch) {
        return qint32((i * (ch + 3) * 1013) % 4000000);
    });
    QStringList warnings;
    ASSERT_EQ(convertWithWarnings(surround, work("three.ape"), 2, &warnings), QString());
    ASSERT_EQ(warnings.size(), 2) << warnings.join('|').toStdString();
    EXPECT_TRUE(warnings[0].contains("3 channels")) << warnings[0].toStdString();
    EXPECT_FALSE(warnings[0].contains("24 bits")) << "the mix's own low bits are no loss";
    EXPECT_EQ(warnings[1], "Done");
    const QJsonObject stream = TestAudio::probe(work("three.ape"))["stream"].toObject();
    EXPECT_EQ(stream["channels"].toInt(), 2);

    const QString deep = wideWav("deep.wav", {44100, 2, 32}, 4410, [](qint64 i, int ch) {
        return qint32(quint32(i * 2654435761u + quint32(ch)));
    });
    warnings.clear();
    ASSERT_EQ(convertWithWarnings(deep, work("deep.ape"), 0, &warnings), QString());
    ASSERT_EQ(warnings.size(), 2) << warnings.join('|').toStdString();
    EXPECT_TRUE(warnings[0].contains("24 bits")) << warnings[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(ApeEncoder, ApeLevel, ::testing::Range(0, 5),
    [](const ::testing::TestParamInfo<int> &info) { return "level" + std::to_string(info.param); });
