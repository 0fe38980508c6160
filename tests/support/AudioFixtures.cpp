#include "support/AudioFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Fixture {

qint16 toneAndNoise(qint64 i, int ch, int rate)
{
    if (ch % 2 == 0)
        return qint16(std::lround(9000.0 * std::sin(2.0 * M_PI * 440.0 * double(i) / rate)));
    // A cheap deterministic noise, so two runs write the same file.
    quint32 x = quint32(i) * 2654435761u + quint32(ch) * 40503u;
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    x ^= x >> 15;
    return qint16(int(x % 16001) - 8000);
}

void writeWav(const QString &path, const TestAudio::WavSpec &spec, qint64 frames, const TestAudio::WavInfo &info)
{
    TestAudio::writeWav(
        path, spec, frames, [rate = spec.rate](qint64 i, int ch) { return toneAndNoise(i, ch, rate); }, info);
}

qint16 musicLike(qint64 i, int ch, int rate)
{
    static constexpr double kNotes[] = {261.63, 329.63, 392.0, 523.25, 440.0, 349.23, 293.66, 493.88};
    const double t = double(i) / rate;
    const qint64 beat = qint64(t * 4);
    const double note = kNotes[(beat * 3 + ch) % 8];
    double v = 0.3 * std::sin(2.0 * M_PI * note * t) * std::exp(-4.0 * (t - double(beat) / 4))
        + 0.15 * std::sin(2.0 * M_PI * (ch == 0 ? 110.0 : 82.41) * t);
    // Hits on a grid of 1/16 s, two of every three sounding.
    const qint64 tick = qint64(t * 16);
    if ((tick * 7 + ch) % 3 != 0) {
        quint32 x = quint32(i) * 2246822519u + quint32(ch) * 3266489917u;
        x ^= x >> 15;
        x *= 0x2c1b3c6du;
        x ^= x >> 12;
        v += 0.4 * (double(x % 20001) / 10000.0 - 1.0) * std::exp(-60.0 * (t - double(tick) / 16));
    }
    return qint16(std::clamp<long>(std::lround(v * 30000.0), -32768, 32767));
}

void writeMusicWav(const QString &path, const TestAudio::WavSpec &spec, qint64 frames)
{
    TestAudio::writeWav(path, spec, frames, [rate = spec.rate](qint64 i, int ch) { return musicLike(i, ch, rate); });
}

std::string rangeDifference(
    const QVector<qint16> &part, const QVector<qint16> &all, qsizetype from, qsizetype count, int tolerance)
{
    if (from < 0 || from + count > all.size())
        return "the whole holds no samples " + std::to_string(from) + " to " + std::to_string(from + count);
    if (part.size() != count)
        return "the part holds " + std::to_string(part.size()) + " samples, not " + std::to_string(count);
    for (qsizetype i = 0; i < count; ++i)
        if (std::abs(int(part[i]) - int(all[from + i])) > tolerance)
            return "sample " + std::to_string(i) + " is " + std::to_string(part[i]) + ", not "
                + std::to_string(all[from + i]);
    return {};
}

} // namespace Fixture
