#include "support/AudioFixtures.h"
#include "support/JobSpy.h"
#include "support/Mutagen.h"
#include "support/TestNames.h"
#include "controls/audio/AcmCodecs.h"
#include "controls/audio/AudioDecoder.h"
#include "controls/audio/WmaCodecs.h"
#include "controls/audio/cAudioConverter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QMetaMethod>
#include <QProcess>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>

namespace {

constexpr int kRate = 44100;

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// 3.5 s of tone (left) and noise (right), 44.1 kHz stereo 16 bits.
QString source35()
{
    const QString path = work("source.wav");
    if (!QFile::exists(path))
        Fixture::writeWav(path, {kRate, 2, 16}, kRate * 7 / 2);
    return path;
}

QString longSource()
{
    const QString path = work("long.wav");
    if (!QFile::exists(path))
        Fixture::writeWav(path, {kRate, 2, 16}, kRate * 30);
    return path;
}

void setTags(cAudioConverter &c)
{
    c.TagAlbum("Album Ä");
    c.TagArtist("The Artist");
    c.TagComment("A comment");
    c.TagGenre("Rock");
    c.TagTitle("Title Ω");
    c.TagTrack("4");
    c.TagYear("2021");
}

// Runs one conversion to its end and answers the spy's view of it.
struct JobRun {
    int done = 0, aborted = 0, error = 0;
    QString errorText;
    QVector<int> progress;
    bool early = false;
};

JobRun convert(cAudioConverter &c, const QString &source, const QString &dest, int start = -1, int length = -1)
{
    JobSpy<cAudioConverter> spy(&c);
    c.SourceFile(source);
    if (start >= 0) {
        c.RangeStart(start);
        c.RangeLength(length);
    }
    c.DestFile(dest);
    spy.start([&] { c.Convert(); });
    const bool ended = spy.waitForEnd();
    EXPECT_TRUE(ended);
    return JobRun{int(spy.done.size()), int(spy.aborted.size()), int(spy.error.size()), spy.errorText(),
        spy.percents(), spy.arrivedInsideStart};
}

Mp3EncoderSettings mp3Cbr(int kbps)
{
    Mp3EncoderSettings s;
    s.Bitrate = kbps;
    s.SampleRate = 44100;
    s.Quality = 5;
    s.Mode = Mp3JointStereo;
    return s;
}

// Hands a destination to the control as a tool window does: the format
// code, then that format's one settings call.
void apply(cAudioConverter &c, const DestinationSettings &d)
{
    c.DestFormat(d.format);
    switch (d.format) {
    case DestACM: c.SetACMSettings(d.acmTag, d.acmFormat); break;
    case DestMP3: c.SetMP3Settings(d.mp3); break;
    case DestWMA: c.SetWMASettings(d.wma); break;
    case DestOGG: c.SetOGGSettings(d.ogg); break;
    case DestAPE: c.SetAPESettings(d.apeLevel); break;
    default: c.SetWAVSettings(d.wav); break;
    }
}

DestinationSettings wav(int rate, int channels, int bits)
{
    DestinationSettings d;
    d.format = DestWAV;
    d.wav = {rate, std::int16_t(channels), std::int16_t(bits)};
    return d;
}

DestinationSettings acm(const QString &tag, const QString &format)
{
    DestinationSettings d;
    d.format = DestACM;
    d.acmTag = tag;
    d.acmFormat = format;
    return d;
}

DestinationSettings mp3(const Mp3EncoderSettings &s)
{
    DestinationSettings d;
    d.format = DestMP3;
    d.mp3 = s;
    return d;
}

DestinationSettings wma(int codec, int format)
{
    DestinationSettings d;
    d.format = DestWMA;
    d.wma = {codec, format};
    return d;
}

DestinationSettings ogg(int mode, int nominal, int quality)
{
    DestinationSettings d;
    d.format = DestOGG;
    d.ogg = {mode, nominal, quality};
    return d;
}

DestinationSettings ape(int level)
{
    DestinationSettings d;
    d.format = DestAPE;
    d.apeLevel = level;
    return d;
}

} // namespace

TEST(AudioConverterJob, EveryDestinationFormatWritesWhatFfprobeReadsWithItsTags)
{
    struct Case {
        const char *name;
        DestinationSettings destination;
        const char *extension;
        const char *codec;
        int rate;
        int channels;
        double toleranceSeconds;
    };
    const Case cases[] = {
        {"wav 16-bit stereo", wav(44100, 2, 16), "wav", "pcm_s16le", 44100, 2, 0.0},
        {"wav 8-bit mono resampled", wav(22050, 1, 8), "wav", "pcm_u8", 22050, 1, 0.001},
        {"acm pcm", acm("PCM", "11.025 kHz, 16 Bit, Mono"), "wav", "pcm_s16le", 11025, 1, 0.001},
        {"acm a-law", acm("CCITT A-Law", "8.000 kHz, 8 Bit, Mono"), "wav", "pcm_alaw", 8000, 1, 0.001},
        {"acm u-law", acm("CCITT u-Law", "8.000 kHz, 8 Bit, Stereo"), "wav", "pcm_mulaw", 8000, 2, 0.001},
        {"acm ms adpcm", acm("Microsoft ADPCM", "22.050 kHz, 4 Bit, Stereo"), "wav", "adpcm_ms", 22050, 2, 0.001},
        {"acm ima adpcm", acm("IMA ADPCM", "44.100 kHz, 4 Bit, Stereo"), "wav", "adpcm_ima_wav", 44100, 2, 0.001},
        {"acm gsm", acm("GSM 6.10", "8.000 kHz, Mono"), "wav", "gsm_ms", 8000, 1, 0.05},
        {"acm mpeg layer-3", acm("MPEG Layer-3", "64 kBit/s, 22.050 kHz, Mono"), "wav", "mp3", 22050, 1, 0.1},
        {"mp3", mp3(mp3Cbr(128)), "mp3", "mp3", 44100, 2, 0.06},
        {"mp3 resampled mono", mp3([] {
             Mp3EncoderSettings s = mp3Cbr(64);
             s.SampleRate = 22050;
             s.Mode = Mp3Mono;
             return s;
         }()),
            "mp3", "mp3", 22050, 1, 0.1},
        {"wma v2", wma(0, 4), "wma", "wmav2", 44100, 2, 0.1},
        {"wma v1 mono", wma(1, 10), "wma", "wmav1", 44100, 1, 0.1},
        {"ogg quality", ogg(0, 0, 40), "ogg", "vorbis", 44100, 2, 0.01},
        {"ogg bitrate", ogg(2, 128, 0), "ogg", "vorbis", 44100, 2, 0.01},
        // Below what Vorbis takes at 44.1 kHz stereo: the nearest it takes.
        {"ogg lowest listed bitrate", ogg(2, 32, 0), "ogg", "vorbis", 44100, 2, 0.01},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cAudioConverter converter;
        apply(converter, c.destination);
        setTags(converter);
        const QString dest = work(QStringLiteral("out%1.%2").arg(++n).arg(c.extension));
        const JobRun run = convert(converter, source35(), dest);
        ASSERT_EQ(run.done, 1) << run.errorText.toStdString();
        const QJsonObject probed = TestAudio::probe(dest);
        EXPECT_EQ(probed["stream"]["codec_name"].toString(), c.codec);
        EXPECT_EQ(probed["stream"]["sample_rate"].toString().toInt(), c.rate);
        EXPECT_EQ(probed["stream"]["channels"].toInt(), c.channels);
        EXPECT_NEAR(probed["format"]["duration"].toString().toDouble(), 3.5, c.toleranceSeconds + 1e-6);

        const std::pair<const char *, const char *> written[] = {{"title", "Title Ω"}, {"artist", "The Artist"},
            {"album", "Album Ä"}, {"genre", "Rock"}, {"comment", "A comment"}};
        for (const auto &[key, value] : written)
            EXPECT_EQ(TestAudio::probedTag(probed, key), QString(value)) << key;
        cAudioConverter reader;
        reader.ReadTags(dest);
        EXPECT_EQ(reader.TagTitle(), QString("Title Ω"));
        EXPECT_EQ(reader.TagAlbum(), QString("Album Ä"));
        EXPECT_EQ(reader.TagArtist(), "The Artist");
        EXPECT_EQ(reader.TagComment(), "A comment");
        EXPECT_EQ(reader.TagGenre(), "Rock");
        EXPECT_EQ(reader.TagYear(), "2021");
        EXPECT_EQ(reader.TagTrack(), "4");
    }
}

TEST(AudioConverterJob, WavCopiesAndRangesAreSampleExact)
{
    const QVector<qint16> all = TestAudio::readWav16(source35());
    ASSERT_EQ(all.size(), kRate * 7 / 2 * 2);
    cAudioConverter converter;
    converter.DestFormat(DestWAV);
    converter.SetWAVSettings({kRate, 2, 16});

    struct Case {
        const char *name;
        int start, length;
        int firstFrame, frames;
    } const cases[] = {
        {"whole", -1, -1, 0, kRate * 7 / 2},
        {"1 s + 2 s", 1, 2, kRate, 2 * kRate},
        {"whole after a range", -1, -1, 0, kRate * 7 / 2},
        {"past the end stops at the end", 2, 10, 2 * kRate, kRate * 3 / 2},
        {"start only", 3, -1, 3 * kRate, kRate / 2},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString dest = work(QStringLiteral("cut%1.wav").arg(++n));
        const JobRun run = convert(converter, source35(), dest, c.start, c.length);
        ASSERT_EQ(run.done, 1) << run.errorText.toStdString();
        TestAudio::WavSpec spec;
        const QVector<qint16> got = TestAudio::readWav16(dest, &spec);
        EXPECT_EQ(spec.rate, kRate);
        ASSERT_EQ(got.size(), c.frames * 2);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), all.begin() + qsizetype(c.firstFrame) * 2));
        const QJsonObject probed = TestAudio::probe(dest);
        EXPECT_NEAR(probed["format"]["duration"].toString().toDouble(), c.frames / double(kRate), 1e-6);
    }

    // A destination name as long as the file system allows is written too.
    const QString longName = work(QString(251, QLatin1Char('n')) + ".wav");
    const JobRun run = convert(converter, source35(), longName);
    EXPECT_EQ(run.done, 1) << run.errorText.toStdString();
    EXPECT_TRUE(QFile::exists(longName));
}

TEST(AudioConverterJob, AWavCutOffInsideASampleFrameConvertsToItsLastWholeFrame)
{
    // A recording stopped by a crash or a full disc ends wherever the write
    // stopped; ffmpeg and sox convert what is there, and so does the job.
    struct Case {
        const char *name;
        int channels, bits;
        int extraBytes; // bytes of the frame after the last whole one
        bool headerClaimsMore; // the header still counts the frames never written
    } const cases[] = {
        {"stereo 16-bit, 3 bytes over", 2, 16, 3, false},
        {"stereo 16-bit, 2 bytes over, header from before the cut", 2, 16, 2, true},
        {"mono 16-bit, 1 byte over", 1, 16, 1, false},
        {"stereo 8-bit, 1 byte over, header from before the cut", 2, 8, 1, true},
    };
    const int frames = 10000;
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TestAudio::WavSpec spec{kRate, c.channels, c.bits};
        const int blockAlign = c.channels * c.bits / 8;
        QByteArray samples;
        for (int i = 0; i < frames * blockAlign + c.extraBytes; ++i)
            samples += char((i * 7 + i / 3) & 0xff);
        const quint32 declared = c.headerClaimsMore ? quint32(frames * 4 * blockAlign) : quint32(samples.size());
        const QString source = work(QStringLiteral("cutoff%1.wav").arg(++n));
        {
            QFile f(source);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(TestAudio::wavHeader(spec, declared) + samples);
        }
        const QString reference = work(QStringLiteral("reference%1.wav").arg(n));
        ASSERT_TRUE(TestAudio::ffmpeg({"-v", "error", "-i", source, "-c:a", "pcm_s16le", reference}));
        const QVector<qint16> expected = TestAudio::readWav16(reference);
        ASSERT_EQ(expected.size(), frames * c.channels) << "ffmpeg keeps the whole frames";

        cAudioConverter converter;
        converter.DestFormat(DestWAV);
        converter.SetWAVSettings({kRate, std::int16_t(c.channels), 16});
        const QString dest = work(QStringLiteral("converted%1.wav").arg(n));
        const JobRun run = convert(converter, source, dest);
        ASSERT_EQ(run.done, 1) << run.errorText.toStdString();
        EXPECT_EQ(TestAudio::readWav16(dest), expected);
    }
}

// Where a cut differs from the same samples of ffmpeg's straight decode, for
// a readable failure: "" when they are equal.
std::string firstDifference(const QVector<qint16> &part, const QVector<qint16> &all, qsizetype from, qsizetype count)
{
    if (from + count > all.size())
        return "the straight decode ends before the range";
    if (part.size() != count)
        return "the cut holds " + std::to_string(part.size()) + " samples, not " + std::to_string(count);
    const auto at = std::mismatch(part.begin(), part.end(), all.begin() + from);
    if (at.first == part.end())
        return {};
    return "first difference at sample " + std::to_string(at.first - part.begin());
}

TEST(AudioConverterJob, CompressedRangesEqualTheSameSamplesOfAStraightDecode)
{
    // Every range of every compressed source, converted to WAV of the same
    // rate and channels, holds exactly the samples ffmpeg's straight decode
    // has there: the decoder pre-rolls before a cut and places frames as a
    // straight decode does. The sources' lengths are exactly what ffmpeg
    // decodes (WMA's container only knows milliseconds).
    const QString source = work("source12.wav");
    Fixture::writeWav(source, {kRate, 2, 16}, kRate * 12);
    Mp3EncoderSettings vbr = mp3Cbr(128);
    vbr.VBRMode = 4;
    vbr.WriteVBRTag = -1;
    vbr.VBRQualityIndex = 2;
    vbr.VBRMinBitrateIndex = 3;
    vbr.VBRMaxBitrateIndex = 18;
    Mp3EncoderSettings cbrInfo = mp3Cbr(128);
    cbrInfo.WriteVBRTag = -1;
    struct Source {
        const char *name;
        std::function<bool(cAudioConverter &, const QString &)> make;
        const char *extension;
        bool exactLength;
    } const sources[] = {
        {"mp3 cbr without info frame",
            [&](cAudioConverter &c, const QString &to) {
                apply(c, mp3(mp3Cbr(128)));
                return convert(c, source, to).done == 1;
            },
            "mp3", true},
        {"mp3 cbr with info frame",
            [&](cAudioConverter &c, const QString &to) {
                apply(c, mp3(cbrInfo));
                return convert(c, source, to).done == 1;
            },
            "mp3", true},
        {"mp3 vbr with xing frame",
            [&](cAudioConverter &c, const QString &to) {
                apply(c, mp3(vbr));
                return convert(c, source, to).done == 1;
            },
            "mp3", true},
        {"mp3 of 64 kbit/s between id3v2 and id3v1 tags, without info frame",
            [&](cAudioConverter &, const QString &to) {
                return Fixture::ffmpeg({"-i", source, "-c:a", "libmp3lame", "-b:a", "64k", "-write_xing", "0",
                    "-write_id3v1", "1", "-metadata", "title=Tagged", to});
            },
            "mp3", true},
        {"ogg",
            [&](cAudioConverter &c, const QString &to) {
                apply(c, ogg(0, 0, 50));
                return convert(c, source, to).done == 1;
            },
            "ogg", true},
        {"wma",
            [&](cAudioConverter &c, const QString &to) {
                apply(c, wma(0, 4));
                return convert(c, source, to).done == 1;
            },
            "wma", false},
    };
    struct Range {
        int start, length; // seconds; length -1: to the end
    } const ranges[] = {{0, 2}, {1, 3}, {5, 2}, {7, 3}, {10, 1}, {9, -1}};
    int n = 0;
    for (const Source &s : sources) {
        SCOPED_TRACE(s.name);
        cAudioConverter converter;
        const QString compressed = work(QStringLiteral("c%1.%2").arg(++n).arg(s.extension));
        ASSERT_TRUE(s.make(converter, compressed));
        const QVector<qint16> all = TestAudio::decodeS16(compressed);
        ASSERT_GE(all.size(), 12 * kRate * 2 - 4096);
        if (s.exactLength) {
            AudioDecoder decoder;
            QString error;
            ASSERT_TRUE(decoder.open(compressed, &error)) << error.toStdString();
            EXPECT_EQ(decoder.totalSamples(), all.size() / 2);
        }
        apply(converter, wav(kRate, 2, 16));
        for (const Range &r : ranges) {
            SCOPED_TRACE(QStringLiteral("from %1 s for %2 s").arg(r.start).arg(r.length).toStdString());
            const QString cut = work(QStringLiteral("cut%1-%2.wav").arg(n).arg(r.start));
            ASSERT_EQ(convert(converter, compressed, cut, r.start, r.length).done, 1);
            const qsizetype from = qsizetype(r.start) * kRate * 2;
            const qsizetype count = r.length > 0 ? qsizetype(r.length) * kRate * 2 : all.size() - from;
            EXPECT_EQ(firstDifference(TestAudio::readWav16(cut), all, from, count), "");
        }
    }

    // Decoded MP3 is float: the MP3 encoder takes that path too (at another
    // bitrate, as the same one copies the frames instead).
    Mp3EncoderSettings otherRate = cbrInfo;
    otherRate.Bitrate = 160;
    cAudioConverter converter;
    apply(converter, mp3(otherRate));
    ASSERT_EQ(convert(converter, work("c1.mp3"), work("cut.mp3"), 1, 2).done, 1);
    EXPECT_EQ(TestAudio::decodeS16(work("cut.mp3")).size(), 2 * kRate * 2);
}

TEST(AudioConverterJob, Mp3WithoutInfoFrameSplitsIntoTheSamplesOfAStraightDecode)
{
    // A minute of CBR MP3 without an Info frame, cut every 10 s as the
    // splitter cuts it: its length is counted from the frame headers, and
    // the six parts are the straight decode's samples.
    const QString source = work("minute.wav");
    Fixture::writeWav(source, {kRate, 2, 16}, kRate * 60);
    cAudioConverter converter;
    apply(converter, mp3(mp3Cbr(128)));
    const QString compressed = work("minute.mp3");
    ASSERT_EQ(convert(converter, source, compressed).done, 1);
    const QVector<qint16> all = TestAudio::decodeS16(compressed);
    ASSERT_FALSE(all.isEmpty());
    ASSERT_EQ(converter.OpenSource(compressed), 0);
    EXPECT_EQ(converter.Duration(), (all.size() / 2 * 1000 + kRate / 2) / kRate);

    apply(converter, wav(kRate, 2, 16));
    for (int part = 0; part < 6; ++part) {
        SCOPED_TRACE(part + 1);
        const QString cut = work(QStringLiteral("part%1.wav").arg(part + 1));
        ASSERT_EQ(convert(converter, compressed, cut, part * 10, 10).done, 1);
        EXPECT_EQ(firstDifference(TestAudio::readWav16(cut), all, qsizetype(part) * 10 * kRate * 2, 10 * kRate * 2), "");
    }
}

TEST(AudioConverterJob, Mp3WithTheVbrTagDecodesToExactlyItsLength)
{
    // With "Write VBR Tag" the Info frame carries LAME's delay and padding,
    // CBR included, so ffmpeg decodes each of the parts the splitter cuts
    // from 61.5 s (five of 10 s, the last to the end) to exactly the samples
    // asked for.
    const QString source = work("source615.wav");
    Fixture::writeWav(source, {kRate, 2, 16}, kRate * 123 / 2);
    Mp3EncoderSettings cbr = mp3Cbr(128);
    cbr.WriteVBRTag = -1;
    Mp3EncoderSettings vbr = cbr;
    vbr.VBRMode = 4;
    vbr.VBRQualityIndex = 4;
    struct Case {
        const char *name;
        Mp3EncoderSettings settings;
    } const cases[] = {{"cbr", cbr}, {"vbr", vbr}};
    struct Part {
        int start, length;
        qsizetype samples;
    } const parts[] = {{0, 10, kRate * 10}, {10, 10, kRate * 10}, {20, 10, kRate * 10}, {30, 10, kRate * 10},
        {40, 10, kRate * 10}, {50, -1, kRate * 23 / 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cAudioConverter converter;
        apply(converter, mp3(c.settings));
        for (const Part &p : parts) {
            SCOPED_TRACE(p.start);
            const QString out = work(QStringLiteral("part%1.mp3").arg(p.start));
            ASSERT_EQ(convert(converter, source, out, p.start, p.length).done, 1);
            EXPECT_EQ(TestAudio::decodeS16(out).size(), p.samples * 2);
        }
    }
}

TEST(AudioConverterJob, SourcesWithoutAChannelLayoutMixAsTheirDefaultLayout)
{
    // A plain PCM WAV of three channels names no speaker positions.
    Fixture::writeWav(work("three.wav"), {kRate, 3, 16}, kRate);
    cAudioConverter converter;
    ASSERT_EQ(converter.OpenSource(work("three.wav")), 0);
    EXPECT_EQ(converter.Channels(), 3);
    converter.DestFormat(DestWAV);
    converter.SetWAVSettings({kRate, 2, 16});
    const JobRun run = convert(converter, work("three.wav"), work("two.wav"));
    ASSERT_EQ(run.done, 1) << run.errorText.toStdString();
    TestAudio::WavSpec spec;
    EXPECT_EQ(TestAudio::readWav16(work("two.wav"), &spec).size(), kRate * 2);
    EXPECT_EQ(spec.channels, 2);
}

TEST(AudioConverterJob, Mp3SettingsShowInTheWrittenStream)
{
    struct Case {
        const char *name;
        std::function<void(Mp3EncoderSettings &)> set;
        const char *vbrTag; // "Xing", "Info" or nullptr for none
        bool constant;
        int kbps; // the expected average, 0 when not checked
        int channels;
        int minKbps = 0; // the least bitrate of any frame, 0 when not checked
        int maxKbps = 0; // the greatest bitrate of any frame, 0 when not checked
    } const cases[] = {
        {"cbr 192 without tag", [](Mp3EncoderSettings &s) { s.Bitrate = 192; }, nullptr, true, 192, 2},
        {"cbr with the info tag", [](Mp3EncoderSettings &s) { s.WriteVBRTag = -1; }, "Info", true, 128, 2},
        {"cbr 64 mono",
            [](Mp3EncoderSettings &s) {
                s.Bitrate = 64;
                s.Mode = Mp3Mono;
            },
            nullptr, true, 64, 1},
        {"vbr with tag",
            [](Mp3EncoderSettings &s) {
                s.VBRMode = 4;
                s.WriteVBRTag = -1;
                s.VBRQualityIndex = 2;
                s.VBRMinBitrateIndex = 5; // 48
                s.VBRMaxBitrateIndex = 18; // 320
            },
            "Xing", false, 0, 2},
        {"vbr with a 128 minimum by list index",
            [](Mp3EncoderSettings &s) {
                s.VBRMode = 4;
                s.VBRQualityIndex = 9;
                s.VBRMinBitrateIndex = 11; // 128
                s.VBRMaxBitrateIndex = 18;
                s.VBRForceMinBitrate = -1;
            },
            // At the lowest quality every frame sits on the forced minimum.
            nullptr, true, 128, 2, 128},
        {"vbr with an 80 maximum by list index",
            [](Mp3EncoderSettings &s) {
                s.VBRMode = 4;
                s.VBRQualityIndex = 0;
                s.VBRMinBitrateIndex = 3;
                s.VBRMaxBitrateIndex = 8; // 80
            },
            // The noise wants more at the best quality: every frame sits on the cap.
            nullptr, true, 80, 2, 0, 80},
        {"abr 96 with tag",
            [](Mp3EncoderSettings &s) {
                s.VBRMode = 3;
                s.WriteVBRTag = -1;
                s.ABRBitrate = 96;
                s.VBRMinBitrateIndex = 3;
                s.VBRMaxBitrateIndex = 18;
            },
            "Xing", false, 96, 2},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Mp3EncoderSettings s = mp3Cbr(128);
        c.set(s);
        cAudioConverter converter;
        converter.DestFormat(DestMP3);
        converter.SetMP3Settings(s);
        const QString dest = work(QStringLiteral("m%1.mp3").arg(++n));
        ASSERT_EQ(convert(converter, source35(), dest).done, 1);
        QFile f(dest);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(4096);
        EXPECT_EQ(head.contains("Xing"), c.vbrTag && QByteArray(c.vbrTag) == "Xing");
        EXPECT_EQ(head.contains("Info"), c.vbrTag && QByteArray(c.vbrTag) == "Info");

        const QJsonObject probed = TestAudio::probe(dest, true);
        EXPECT_EQ(probed["stream"]["channels"].toInt(), c.channels);
        QSet<int> sizes;
        double bytes = 0;
        const QJsonArray packets = probed["packets"].toArray();
        for (const QJsonValue &p : packets) {
            sizes.insert(p["size"].toString().toInt());
            bytes += p["size"].toString().toDouble();
        }
        // An MPEG-1 Layer III frame holds 144 * bitrate / rate bytes.
        const int smallestKbps = int(*std::min_element(sizes.begin(), sizes.end()) * 44100.0 / 144 / 1000);
        if (c.minKbps) {
            EXPECT_GE(smallestKbps, c.minKbps - 1);
        }
        const int largestKbps = int(*std::max_element(sizes.begin(), sizes.end()) * 44100.0 / 144 / 1000);
        if (c.maxKbps) {
            EXPECT_LE(largestKbps, c.maxKbps);
        }
        // CBR frames differ by the padding byte at most; VBR frames vary widely.
        EXPECT_EQ(sizes.size() <= 2, c.constant) << sizes.size();
        if (c.kbps) {
            const double kbps = bytes * 8 / 1000 / probed["format"]["duration"].toString().toDouble();
            EXPECT_NEAR(kbps, c.kbps, c.kbps * (c.constant ? 0.03 : 0.35));
        }
    }
}

TEST(AudioConverterJob, Mp3HeaderFlagsFollowTheRecord)
{
    // The first frame header after the ID3v2 tag carries protection,
    // copyright and original bits.
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        Mp3EncoderSettings s = mp3Cbr(128);
        s.Copyright = on ? -1 : 0;
        s.Original = on ? -1 : 0;
        s.ErrorProtection = on ? -1 : 0;
        cAudioConverter converter;
        converter.DestFormat(DestMP3);
        converter.SetMP3Settings(s);
        const QString dest = work(on ? "flags1.mp3" : "flags0.mp3");
        ASSERT_EQ(convert(converter, source35(), dest).done, 1);
        QFile f(dest);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        int pos = 0;
        if (b.startsWith("ID3")) // synch-safe size after a 10-byte header
            pos = 10 + ((b[6] & 0x7f) << 21 | (b[7] & 0x7f) << 14 | (b[8] & 0x7f) << 7 | (b[9] & 0x7f));
        ASSERT_EQ(quint8(b[pos]), 0xFF);
        EXPECT_EQ((b[pos + 1] & 0x01) == 0, on) << "protection";
        EXPECT_EQ((b[pos + 3] & 0x08) != 0, on) << "copyright";
        EXPECT_EQ((b[pos + 3] & 0x04) != 0, on) << "original";
    }
}

TEST(AudioConverterJob, EventsArriveAfterTheStartInOrderWithOneEnding)
{
    cAudioConverter converter;
    converter.DestFormat(DestOGG);
    converter.SetOGGSettings({0, 0, 30});
    const JobRun run = convert(converter, longSource(), work("events.ogg"));
    EXPECT_FALSE(run.early);
    EXPECT_EQ(run.done + run.aborted + run.error, 1);
    EXPECT_EQ(run.done, 1);
    ASSERT_FALSE(run.progress.isEmpty());
    EXPECT_TRUE(std::is_sorted(run.progress.begin(), run.progress.end()));
    EXPECT_EQ(run.progress.last(), 100);
}

TEST(AudioConverterJob, FailuresEndInOneErrorAfterTheStartAndLeaveNoFile)
{
    Fixture::writeWav(work("victim.wav"), {8000, 1, 16}, 8000);
    const QByteArray victim = [] {
        QFile f(work("victim.wav"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    QDir().mkpath(work("taken.wav"));
    struct Case {
        const char *name;
        DestinationSettings destination;
        QString source;
        QString dest;
        const char *textPart;
        int start = -1, length = -1;
    } const cases[] = {
        {"missing source", wav(44100, 2, 16), work("nothing.wav"), work("o1.wav"), "nothing.wav"},
        {"missing folder", wav(44100, 2, 16), source35(), work("no/such/folder/o2.wav"), "o2.wav"},
        {"destination is the source", wav(44100, 2, 16), work("victim.wav"), work("victim.wav"), "victim.wav"},
        {"destination is a folder", wav(44100, 2, 16), source35(), work("taken.wav"), "taken.wav"},
        {"ape level out of range", ape(7), source35(), work("o3.ape"), "APE"},
        {"unknown acm format", acm("PCM", "3 kHz"), source35(), work("o4.wav"), "3 kHz"},
        {"unknown acm tag", acm("", ""), source35(), work("o5.wav"), "ACM"},
        {"bad wav record", wav(44100, 0, 0), source35(), work("o6.wav"), "WAV"},
        {"wma index out of range", wma(7, 0), source35(), work("o7.wma"), "WMA"},
        {"range starting after the end", wav(44100, 2, 16), source35(), work("o8.wav"), "source.wav", 4, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        cAudioConverter converter;
        apply(converter, c.destination);
        const JobRun run = convert(converter, c.source, c.dest, c.start, c.length);
        EXPECT_FALSE(run.early);
        EXPECT_EQ(run.error, 1);
        EXPECT_EQ(run.done + run.aborted, 0);
        EXPECT_TRUE(run.errorText.contains(c.textPart)) << run.errorText.toStdString();
    }
    QFile f(work("victim.wav"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), victim);
    EXPECT_EQ(TestAudio::strayFiles({"source.wav", "victim.wav"}), QStringList());
}

TEST(AudioConverterJob, ASpyGoneReceivesNoMoreEvents)
{
    // The control outlives the spy, as when a test takes one spy per step.
    struct Converter : cAudioConverter {
        using QObject::isSignalConnected;
    } converter;
    const QMetaMethod endings[] = {QMetaMethod::fromSignal(&cAudioConverter::Done),
        QMetaMethod::fromSignal(&cAudioConverter::Aborted), QMetaMethod::fromSignal(&cAudioConverter::Error),
        QMetaMethod::fromSignal(&cAudioConverter::Progress)};
    {
        JobSpy<cAudioConverter> spy(&converter);
        for (const QMetaMethod &signal : endings)
            EXPECT_TRUE(converter.isSignalConnected(signal)) << signal.name().toStdString();
    }
    for (const QMetaMethod &signal : endings)
        EXPECT_FALSE(converter.isSignalConnected(signal)) << signal.name().toStdString();
}

TEST(AudioConverterJob, AbortEndsInOneAbortedAndLeavesNoFile)
{
    cAudioConverter converter;
    converter.DestFormat(DestMP3);
    converter.SetMP3Settings(mp3Cbr(128));
    JobSpy<cAudioConverter> spy(&converter);
    converter.SourceFile(longSource());
    converter.DestFile(work("aborted.mp3"));
    spy.start([&] {
        converter.Convert();
        converter.Abort();
    });
    ASSERT_TRUE(spy.waitForEnd());
    EXPECT_FALSE(spy.arrivedInsideStart);
    EXPECT_EQ(spy.aborted.size(), 1);
    EXPECT_EQ(spy.terminals(), 1);
    EXPECT_EQ(TestAudio::strayFiles({"long.wav"}), QStringList());

    // Stopped half-way, with a partial file written: still nothing left.
    JobSpy<cAudioConverter> midway(&converter);
    converter.SourceFile(longSource());
    converter.DestFile(work("midway.mp3"));
    converter.Convert();
    ASSERT_TRUE(waitUntil([&] { return !midway.progress.isEmpty() || midway.terminals() > 0; }));
    converter.Abort();
    ASSERT_TRUE(midway.waitForEnd());
    EXPECT_EQ(midway.aborted.size(), 1);
    EXPECT_EQ(midway.terminals(), 1);
    EXPECT_EQ(TestAudio::strayFiles({"long.wav"}), QStringList());

    // The control is usable again, and the next item starts from Done.
    int started = 0;
    QObject::connect(&converter, &cAudioConverter::Done, &converter, [&] {
        if (++started == 1) {
            converter.SourceFile(source35());
            converter.DestFile(work("second.mp3"));
            converter.Convert();
        }
    });
    JobSpy<cAudioConverter> next(&converter);
    converter.SourceFile(source35());
    converter.DestFile(work("first.mp3"));
    converter.Convert();
    ASSERT_TRUE(waitUntil([&] { return next.done.size() == 2; }));
    EXPECT_TRUE(QFile::exists(work("first.mp3")) && QFile::exists(work("second.mp3")));
}

TEST(AudioConverterJob, TerminatingAWorkingControlEndsItsJobAndLeavesItUsable)
{
    cAudioConverter converter;
    converter.DestFormat(DestMP3);
    converter.SetMP3Settings(mp3Cbr(128));
    ASSERT_EQ(converter.OpenSource(source35()), 0);
    JobSpy<cAudioConverter> spy(&converter);
    converter.SourceFile(longSource());
    converter.DestFile(work("stopped.mp3"));
    converter.Convert();
    converter.Terminate();
    EXPECT_EQ(converter.Duration(), 0);
    ASSERT_TRUE(spy.waitForEnd());
    EXPECT_EQ(spy.aborted.size(), 1);
    EXPECT_EQ(spy.terminals(), 1);
    EXPECT_EQ(TestAudio::strayFiles({"long.wav", "source.wav"}), QStringList());

    // A window opens the same control again after Terminate.
    ASSERT_EQ(converter.OpenSource(source35()), 0);
    EXPECT_EQ(converter.Duration(), 3500);
    EXPECT_EQ(convert(converter, source35(), work("again.mp3")).done, 1);
}

TEST(AudioConverterJob, DestroyingAWorkingControlStopsItsWorker)
{
    auto *converter = new cAudioConverter;
    converter->DestFormat(DestMP3);
    converter->SetMP3Settings(mp3Cbr(128));
    converter->SourceFile(longSource());
    converter->DestFile(work("gone.mp3"));
    converter->Convert();
    delete converter;
    flushEvents();
    EXPECT_EQ(TestAudio::strayFiles({"long.wav"}), QStringList());
}

TEST(AudioConverterJob, AcmEnumerationListsTagsAndFormatsBeforeReturning)
{
    cAudioConverter converter;
    QStringList tags, formats;
    QObject::connect(&converter, &cAudioConverter::ACMTagFound, [&](const QString &t) { tags << t; });
    QObject::connect(&converter, &cAudioConverter::ACMFormatFound, [&](const QString &f) { formats << f; });

    converter.EnumACMTags(1, 44100, 2, 16, 0);
    ASSERT_FALSE(tags.isEmpty());
    EXPECT_EQ(tags.first(), "PCM");
    EXPECT_EQ(tags,
        QStringList({"PCM", "CCITT A-Law", "CCITT u-Law", "Microsoft ADPCM", "IMA ADPCM", "GSM 6.10", "MPEG Layer-3"}));

    // With the convert flag only codecs with a format of the source's own
    // rate and channels are listed.
    tags.clear();
    converter.EnumACMTags(1, 44100, 2, 16, 0x100000);
    EXPECT_FALSE(tags.contains("GSM 6.10"));
    EXPECT_EQ(tags.first(), "PCM");
    tags.clear();
    converter.EnumACMTags(1, 8000, 1, 16, 0x100000);
    EXPECT_TRUE(tags.contains("GSM 6.10"));

    converter.EnumACMFormats("PCM");
    EXPECT_TRUE(formats.contains("44.100 kHz, 16 Bit, Stereo"));
    EXPECT_TRUE(formats.contains("8.000 kHz, 8 Bit, Mono"));
    EXPECT_EQ(formats.first(), "8.000 kHz, 8 Bit, Mono");
    formats.clear();
    converter.EnumACMFormats("GSM 6.10");
    EXPECT_EQ(formats, QStringList{"8.000 kHz, Mono"});
    formats.clear();
    converter.EnumACMFormats("");
    EXPECT_TRUE(formats.isEmpty());
}

TEST(AudioConverterJob, ConvertingWithTheAcmChoiceWritesThatCodec)
{
    cAudioConverter converter;
    ASSERT_EQ(converter.OpenSource(source35()), 0);
    QStringList formats;
    QObject::connect(&converter, &cAudioConverter::ACMFormatFound, [&](const QString &f) { formats << f; });
    converter.EnumACMFormats("IMA ADPCM");
    ASSERT_TRUE(formats.contains("44.100 kHz, 4 Bit, Stereo"));
    converter.DestFormat(DestACM);
    converter.SetACMSettings("IMA ADPCM", "44.100 kHz, 4 Bit, Stereo");
    ASSERT_EQ(convert(converter, source35(), work("ima.wav")).done, 1);
    const QJsonObject probed = TestAudio::probe(work("ima.wav"));
    EXPECT_EQ(probed["stream"]["codec_name"].toString(), "adpcm_ima_wav");
    EXPECT_EQ(probed["format"]["format_name"].toString(), "wav");
}

TEST(AudioConverterJob, WmaEnumerationCountsFromZero)
{
    cAudioConverter converter;
    ASSERT_EQ(converter.WMACodecCount(), 2);
    for (int codec = 0; codec < converter.WMACodecCount(); ++codec) {
        EXPECT_FALSE(converter.WMACodecName(codec).isEmpty());
        ASSERT_GT(converter.WMAFormatCount(codec), 0);
        for (int f = 0; f < converter.WMAFormatCount(codec); ++f)
            EXPECT_TRUE(converter.WMAFormatName(codec, f).contains("kbps")) << f;
    }
    EXPECT_TRUE(converter.WMACodecName(2).isEmpty());
    EXPECT_EQ(converter.WMAFormatCount(-1), 0);
    EXPECT_TRUE(converter.WMAFormatName(0, converter.WMAFormatCount(0)).isEmpty());
}

namespace {

// One entry a window offers in its WMA or ACM list.
struct ListedFormat {
    QString name;
    DestinationSettings destination;
    QString codec; // the encoder ffprobe names, empty for an ACM entry
    int rate = 0;
    int channels = 0;
};

// Every WMA format of every codec, and the ends of each ACM list.
std::vector<ListedFormat> listedFormats()
{
    std::vector<ListedFormat> cases;
    const QVector<WmaCodecs::Codec> &codecs = WmaCodecs::codecs();
    for (int codec = 0; codec < codecs.size(); ++codec)
        for (int f = 0; f < WmaCodecs::formats().size(); ++f) {
            const WmaCodecs::Format &format = WmaCodecs::formats()[f];
            cases.push_back({codecs[codec].name + ", " + format.description(), wma(codec, f),
                QString::fromLatin1(codecs[codec].encoder), format.sampleRate, format.channels});
        }
    for (const AcmCodecs::Tag &tag : AcmCodecs::tags())
        for (const AcmCodecs::Format *format : {&tag.formats.first(), &tag.formats.last()})
            cases.push_back(
                {tag.name + ", " + format->name, acm(tag.name, format->name), QString(), format->sampleRate, format->channels});
    return cases;
}

// gtest names a failing case by this.
void PrintTo(const ListedFormat &c, std::ostream *os)
{
    *os << c.name.toStdString();
}

class ListedFormats : public ::testing::TestWithParam<ListedFormat> {};

} // namespace

// A window offers every listed entry; each must write what it names.
TEST_P(ListedFormats, EachIsWritable)
{
    const ListedFormat &c = GetParam();
    const QString source = work("short.wav");
    Fixture::writeWav(source, {kRate, 2, 16}, kRate / 5);
    cAudioConverter converter;
    apply(converter, c.destination);
    const QString extension = c.destination.format == DestWMA ? "wma" : "wav";
    const QString dest = work(QStringLiteral("listed.%1").arg(extension));
    const JobRun run = convert(converter, source, dest);
    ASSERT_EQ(run.done, 1) << run.errorText.toStdString();
    const QJsonObject probed = TestAudio::probe(dest);
    if (!c.codec.isEmpty()) {
        EXPECT_EQ(probed["stream"]["codec_name"].toString(), c.codec);
    }
    EXPECT_EQ(probed["stream"]["sample_rate"].toString().toInt(), c.rate);
    EXPECT_EQ(probed["stream"]["channels"].toInt(), c.channels);
}

INSTANTIATE_TEST_SUITE_P(AudioConverterJob, ListedFormats, ::testing::ValuesIn(listedFormats()),
    [](const ::testing::TestParamInfo<ListedFormat> &info) { return TestNames::of(info.param.name, info.index); });

TEST(AudioConverterJob, TagsBeyondLatin1SurviveInEveryContainer)
{
    const DestinationSettings destinations[] = {mp3(mp3Cbr(128)), ogg(0, 0, 30), wma(0, 4), wav(44100, 2, 16)};
    const char *const extensions[] = {"mp3", "ogg", "wma", "wav"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(extensions[i]);
        cAudioConverter converter;
        apply(converter, destinations[i]);
        converter.TagGenre("Электроника");
        converter.TagArtist("坂本");
        const QString dest = work(QStringLiteral("unicode.%1").arg(extensions[i]));
        ASSERT_EQ(convert(converter, source35(), dest, 0, 1).done, 1);
        cAudioConverter reader;
        reader.ReadTags(dest);
        EXPECT_EQ(reader.TagGenre(), QString("Электроника"));
        EXPECT_EQ(reader.TagArtist(), QString("坂本"));
    }
}

TEST(AudioConverterJob, Mp3TrailerCarriesTheTagsForOtherReaders)
{
    cAudioConverter converter;
    apply(converter, mp3(mp3Cbr(128)));
    converter.TagAlbum("Album Ä");
    converter.TagArtist("The Artist");
    converter.TagComment("A comment longer than its twenty-eight bytes");
    converter.TagGenre("hip-hop");
    converter.TagTitle("Title Ω and more than thirty characters");
    converter.TagTrack("4/12");
    converter.TagYear("2021");
    const QString dest = work("trailer.mp3");
    ASSERT_EQ(convert(converter, source35(), dest, 0, 1).done, 1);

    // mutagen reads the last 128 bytes as an ID3v1 tag on its own.
    const QJsonValue v1 = Mutagen::run(QStringLiteral(R"(
import json, sys
from mutagen.id3 import ParseID3v1
data = open(sys.argv[1], "rb").read()[-128:]
frames = ParseID3v1(data)
result = {key: str(frame) for key, frame in frames.items()}
result["genre"] = frames["TCON"].genres[0]
print(json.dumps(result))
)"),
        {dest});
    EXPECT_EQ(v1["TIT2"].toString(), "Title ? and more than thirty c") << "Latin-1, cut to 30 bytes";
    EXPECT_EQ(v1["TPE1"].toString(), "The Artist");
    EXPECT_EQ(v1["TALB"].toString(), "Album Ä");
    EXPECT_EQ(v1["TDRC"].toString(), "2021");
    EXPECT_EQ(v1["COMM"].toString(), "A comment longer than its tw");
    EXPECT_EQ(v1["TRCK"].toString(), "4");
    EXPECT_EQ(v1["TCON"].toString(), "7");
    EXPECT_EQ(v1["genre"].toString(), "Hip-Hop");

    // ffprobe reads the trailer where no ID3v2 tag stands before it.
    QFile file(dest);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("ID3"));
    qint64 tagEnd = 10;
    for (int i = 6; i < 10; ++i)
        tagEnd += qint64(quint8(bytes.at(i)) & 0x7F) << (7 * (9 - i));
    const QString bare = work("trailer-only.mp3");
    QFile out(bare);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.mid(tagEnd));
    out.close();
    const QJsonObject probed = TestAudio::probe(bare);
    EXPECT_EQ(TestAudio::probedTag(probed, "title"), "Title ? and more than thirty c");
    EXPECT_EQ(TestAudio::probedTag(probed, "artist"), "The Artist");
    // This ffprobe hands the trailer's Latin-1 bytes on undecoded: "Ä" is no UTF-8.
    EXPECT_TRUE(TestAudio::probedTag(probed, "album").startsWith("Album "));
    EXPECT_EQ(TestAudio::probedTag(probed, "album").size(), 7);
    EXPECT_EQ(TestAudio::probedTag(probed, "track"), "4");
}

namespace {

// What a program printed, for the independent readers the tests ask.
QString toolOutput(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    const bool ran = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    EXPECT_TRUE(ran) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The sample count of a WAV's fact chunk; -1 without one.
qint64 factCount(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray d = f.read(4096);
    const qsizetype at = d.indexOf("fact");
    return at < 0 || at + 12 > d.size() ? -1 : qFromLittleEndian<quint32>(d.constData() + at + 8);
}

// The fields exiftool lists under one object of an ASF header, such as
// "ContentDescription", as name = value.
QStringList asfObjectFields(const QString &path, const QString &object)
{
    QStringList fields;
    bool inside = false;
    // Objects open with "  | Name (SubDirectory) -->", their fields follow
    // as "  | | Name = value", between lines of hex.
    for (const QString &line : toolOutput("exiftool", {"-v3", path}).split('\n')) {
        if (line.size() > 4 && line.startsWith("  | ") && line[4].isLetter())
            inside = line.startsWith("  | " + object + " ");
        else if (inside && line.startsWith("  | | ") && line.contains(" = "))
            fields << line.mid(6).trimmed();
    }
    return fields;
}

} // namespace

// Other players read the lengths and tags of the coded WAVs and WMAs from
// their headers: those must state the real byte rate, the samples fed, and
// the tags under the names those players know.
TEST(AudioConverterJob, CodedWavAndWmaHeadersReadRightInOtherPlayers)
{
    const struct {
        const char *format;
        DestinationSettings destination;
    } adpcm[] = {
        {"ms adpcm stereo", acm("Microsoft ADPCM", "44.100 kHz, 4 Bit, Stereo")},
        {"ms adpcm mono", acm("Microsoft ADPCM", "8.000 kHz, 4 Bit, Mono")},
        {"ima adpcm stereo", acm("IMA ADPCM", "22.050 kHz, 4 Bit, Stereo")},
        {"ima adpcm mono", acm("IMA ADPCM", "48.000 kHz, 4 Bit, Mono")},
    };
    int n = 0;
    for (const auto &c : adpcm) {
        SCOPED_TRACE(c.format);
        cAudioConverter converter;
        apply(converter, c.destination);
        const QString dest = work(QStringLiteral("adpcm%1.wav").arg(++n));
        ASSERT_EQ(convert(converter, source35(), dest).done, 1);
        const QJsonObject format = TestAudio::probe(dest)["format"].toObject();
        const double probed = format["duration"].toString().toDouble();
        const double mediainfo
            = toolOutput("mediainfo", {"--Inform=Audio;%Duration%", dest}).trimmed().toDouble() / 1000;
        EXPECT_NEAR(probed, 3.5, 0.01);
        EXPECT_NEAR(mediainfo, probed, 0.1);
    }

    // An MPEG Layer-3 WAV part counts the frames it was given, not LAME's
    // delay on top of them.
    {
        cAudioConverter converter;
        apply(converter, acm("MPEG Layer-3", "128 kBit/s, 44.100 kHz, Stereo"));
        const QString dest = work("mp3part.wav");
        ASSERT_EQ(convert(converter, source35(), dest, 1, 2).done, 1);
        EXPECT_EQ(factCount(dest), 2 * kRate);
    }

    for (const DestinationSettings &destination : {wma(0, 4), wma(1, 10)}) {
        SCOPED_TRACE(destination.wma.CodecIndex);
        cAudioConverter converter;
        apply(converter, destination);
        setTags(converter);
        const QString dest = work(QStringLiteral("tagged%1.wma").arg(destination.wma.CodecIndex));
        ASSERT_EQ(convert(converter, source35(), dest).done, 1);
        const QStringList described = asfObjectFields(dest, "ContentDescription");
        EXPECT_TRUE(described.contains("Description = A comment")) << described.join('|').toStdString();
        EXPECT_TRUE(described.contains("Author = The Artist")) << described.join('|').toStdString();
        const QStringList extended = asfObjectFields(dest, "ExtendedContentDescr");
        EXPECT_TRUE(extended.contains("Year = 2021")) << extended.join('|').toStdString();
        EXPECT_EQ(toolOutput("mediainfo", {"--Inform=General;%Recorded_Date%|%Comment%", dest}).trimmed(),
            "2021|A comment");
        // Still whole for the decoder, and read back by our own reader.
        const QJsonObject format = TestAudio::probe(dest)["format"].toObject();
        EXPECT_NEAR(format["duration"].toString().toDouble(), 3.5, 0.1);
        cAudioConverter reader;
        reader.ReadTags(dest);
        EXPECT_EQ(reader.TagYear(), "2021");
        EXPECT_EQ(reader.TagComment(), "A comment");
    }
    // A comment alone: the muxer writes no content description then.
    cAudioConverter converter;
    apply(converter, wma(0, 4));
    converter.TagComment(QString::fromUtf8("Only a comment \u00e9"));
    ASSERT_EQ(convert(converter, source35(), work("comment-only.wma")).done, 1);
    EXPECT_EQ(asfObjectFields(work("comment-only.wma"), "ContentDescription").size(), 1);
    EXPECT_EQ(TestAudio::probedTag(TestAudio::probe(work("comment-only.wma")), "comment"),
        QString::fromUtf8("Only a comment \u00e9"));
    EXPECT_NEAR(TestAudio::probe(work("comment-only.wma"))["format"].toObject()["duration"].toString().toDouble(), 3.5,
        0.1);
}
