#include "support/AudioFixtures.h"
#include "support/TestEnvironment.h"
#include "controls/audio/ApeEncoder.h"
#include "controls/audio/AudioDecoder.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// Samples [skip, skip + count) of frame, interleaved and in 16 bits as
// ffmpeg converts them.
void appendS16(const AVFrame *frame, int skip, int count, QVector<qint16> &out)
{
    const auto format = AVSampleFormat(frame->format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int channels = frame->ch_layout.nb_channels;
    for (int i = skip; i < skip + count; ++i)
        for (int c = 0; c < channels; ++c) {
            const std::uint8_t *plane = frame->extended_data[planar ? c : 0];
            const int at = planar ? i : i * channels + c;
            long v = 0;
            switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_U8: v = (plane[at] - 128) << 8; break;
            case AV_SAMPLE_FMT_S16: v = reinterpret_cast<const std::int16_t *>(plane)[at]; break;
            case AV_SAMPLE_FMT_S32: v = reinterpret_cast<const std::int32_t *>(plane)[at] >> 16; break;
            case AV_SAMPLE_FMT_FLT: v = std::lrintf(reinterpret_cast<const float *>(plane)[at] * 32768.0f); break;
            case AV_SAMPLE_FMT_DBL: v = std::lrint(reinterpret_cast<const double *>(plane)[at] * 32768.0); break;
            default: ADD_FAILURE() << "unexpected sample format " << format; return;
            }
            out.append(qint16(std::clamp<long>(v, -32768, 32767)));
        }
}

// The count samples from sample from on, read as a cut reads them: a seek,
// then the frames, each placed by its first-sample index.
QVector<qint16> readCut(AudioDecoder &decoder, qint64 from, qint64 count)
{
    QVector<qint16> out;
    QString error;
    if (!decoder.seekToSample(from, &error)) {
        ADD_FAILURE() << error.toStdString();
        return out;
    }
    const qint64 end = from + count;
    for (;;) {
        const AudioDecoder::Read r = decoder.next(&error);
        if (r == AudioDecoder::Read::Failed)
            ADD_FAILURE() << error.toStdString();
        if (r != AudioDecoder::Read::Frame)
            break;
        const qint64 first = decoder.firstSample();
        if (first >= end)
            break;
        const qint64 skip = std::max<qint64>(0, from - first);
        const qint64 take = std::min<qint64>(first + decoder.frame()->nb_samples, end) - (first + skip);
        if (take > 0)
            appendS16(decoder.frame(), int(skip), int(take), out);
    }
    return out;
}

bool writeApe(const QString &wav, const QString &to)
{
    const QVector<qint16> pcm = TestAudio::readWav16(wav);
    ApeEncoder encoder(2);
    QString error;
    if (!encoder.open(to, PcmSpec{kRate, 2, AV_SAMPLE_FMT_S16}, {}, &error))
        return false;
    const auto *data = reinterpret_cast<const std::uint8_t *>(pcm.constData());
    return encoder.write(&data, int(pcm.size() / 2), &error) && encoder.finish(&error);
}

} // namespace

TEST(AudioDecoder, EveryCutAfterASeekHoldsTheSamplesOfTheStraightDecode)
{
    // A cut reads from where the decoder places the first frame after a
    // seek: it must be where ffmpeg's straight decode from the start has
    // those samples, whatever the codec's block sizes at that point, for a
    // decoder that seeks once (a split's part) or again and again (a player).
    const QString wav = work("music.wav");
    Fixture::writeMusicWav(wav, {kRate, 2, 16}, qint64(kRate) * 20);
    const auto ffmpegTo = [&](QStringList options) {
        return [wav, options](const QString &to) {
            return Fixture::ffmpeg(QStringList{"-i", wav} + options + QStringList{to});
        };
    };
    const struct Source {
        const char *name;
        const char *extension;
        std::function<bool(const QString &)> make;
        int tolerance; // Opus's prediction settles within a pre-roll to ±1
    } sources[] = {
        {"vorbis", "ogg", ffmpegTo({"-c:a", "libvorbis", "-q:a", "4"}), 0},
        {"vorbis of a low quality", "ogg", ffmpegTo({"-c:a", "libvorbis", "-q:a", "0"}), 0},
        // The reference encoder fills pages of 4 kB, packets running on from
        // one page to the next.
        {"vorbis from its reference encoder", "ogg",
            [&](const QString &to) { return QProcess::execute("oggenc", {"-Q", "-q", "4", "-o", to, wav}) == 0; }, 0},
        {"opus", "ogg", ffmpegTo({"-c:a", "libopus", "-b:a", "96k"}), 1},
        {"flac in ogg", "ogg", ffmpegTo({"-c:a", "flac"}), 0},
        {"mp3 cbr with info frame", "mp3", ffmpegTo({"-c:a", "libmp3lame", "-b:a", "128k"}), 0},
        {"mp3 vbr", "mp3", ffmpegTo({"-c:a", "libmp3lame", "-q:a", "2"}), 0},
        {"mp3 without info frame", "mp3", ffmpegTo({"-c:a", "libmp3lame", "-b:a", "128k", "-write_xing", "0"}), 0},
        {"mp3 mpeg-2 mono", "mp3", ffmpegTo({"-c:a", "libmp3lame", "-ac", "1", "-ar", "22050", "-b:a", "48k"}), 0},
        {"wma 2", "wma", ffmpegTo({"-c:a", "wmav2", "-b:a", "128k"}), 0},
        {"wma 1", "wma", ffmpegTo({"-c:a", "wmav1", "-b:a", "128k"}), 0},
        {"ape", "ape", [&](const QString &to) { return writeApe(wav, to); }, 0},
    };
    int n = 0;
    for (const Source &s : sources) {
        SCOPED_TRACE(s.name);
        const QString path = work(QStringLiteral("source%1.%2").arg(++n).arg(QLatin1String(s.extension)));
        ASSERT_TRUE(s.make(path));
        const QVector<qint16> all = Fixture::decodeS16(path);
        AudioDecoder decoder;
        QString error;
        ASSERT_TRUE(decoder.open(path, &error)) << error.toStdString();
        const int channels = decoder.channels();
        const qint64 rate = decoder.sampleRate();
        const qint64 total = all.size() / channels;
        ASSERT_GT(total, 19 * rate);
        // Every second, a few odd samples, and the last half second.
        std::vector<qint64> cuts;
        for (int second = 1; second < 20; ++second)
            cuts.push_back(second * rate);
        for (const qint64 odd : {rate * 3 / 2 + 17, 7 * rate + 1234, 13 * rate + rate / 4})
            cuts.push_back(odd);
        cuts.push_back(total - rate / 2);
        const auto check = [&](AudioDecoder &d, qint64 from, const char *how) {
            const qint64 count = std::min<qint64>(rate * 3 / 2, total - from);
            const QVector<qint16> cut = readCut(d, from, count);
            EXPECT_EQ(Fixture::rangeDifference(cut, all, from * channels, count * channels, s.tolerance), "")
                << how << " cut at sample " << from;
        };
        for (const qint64 from : cuts) {
            AudioDecoder fresh;
            ASSERT_TRUE(fresh.open(path, &error)) << error.toStdString();
            check(fresh, from, "a fresh decoder's");
        }
        for (auto from = cuts.rbegin(); from != cuts.rend(); ++from)
            check(decoder, *from, "a seeking decoder's");
    }
}
