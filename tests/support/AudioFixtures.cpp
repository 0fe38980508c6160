#include "support/AudioFixtures.h"

#include <cmath>

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

} // namespace Fixture
