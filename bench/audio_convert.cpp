// Converting and cutting WAV files with the converter control, timed against
// ffmpeg (MP3 encoding) and sox (cutting ranges) on the same input.
//
//   bench_audio_convert [work folder]

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kRate = 44100;

// Peak resident memory in MiB, of this process or of its finished children.
double peakMiB(int who)
{
    rusage u{};
    getrusage(who, &u);
    return u.ru_maxrss / 1024.0;
}

// Streams a tone-and-noise WAV to disk a second at a time, so writing the
// input does not itself raise this process's peak memory.
bool writeWav(const QString &path, int seconds)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(bench::wavHeader(2, kRate, quint32(seconds) * kRate * 4));
    QByteArray second(kRate * 4, '\0');
    quint32 noise = 12345;
    qint64 i = 0;
    for (int s = 0; s < seconds; ++s) {
        for (int k = 0; k < kRate; ++k, ++i) {
            noise = noise * 1664525u + 1013904223u;
            qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * 440 * double(i) / kRate)), second.data() + 4 * k);
            qToLittleEndian<qint16>(qint16(int(noise >> 16) % 6000), second.data() + 4 * k + 2);
        }
        if (f.write(second) != second.size())
            return false;
    }
    return true;
}

Mp3EncoderSettings cbr128()
{
    // LAME's own defaults where ffmpeg leaves them: quality 3, joint stereo.
    Mp3EncoderSettings s;
    s.Bitrate = 128;
    s.SampleRate = kRate;
    s.Quality = 3;
    s.Mode = Mp3JointStereo;
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/bench-XXXXXX" : QString());
    const QString dir = temp.path();

    // MP3: 1 minute first, so the peak after 10 minutes shows any growth.
    const QString oneMinute = dir + "/in1.wav", tenMinutes = dir + "/in10.wav";
    if (!writeWav(oneMinute, 60) || !writeWav(tenMinutes, 600)) {
        std::fprintf(stderr, "cannot write the inputs in %s\n", qPrintable(dir));
        return 1;
    }
    cAudioConverter converter;
    converter.DestFormat(DestMP3);
    converter.SetMP3Settings(cbr128());
    bench::convert(converter, oneMinute, dir + "/out1.mp3");
    const double peakShort = peakMiB(RUSAGE_SELF);
    // Best of three runs each, alternating, so a busy moment of the machine
    // does not decide the ratio.
    double ours = INFINITY, peer = INFINITY;
    for (int run = 0; run < 3; ++run) {
        ours = std::fmin(ours, bench::convert(converter, tenMinutes, dir + "/ours.mp3"));
        peer = std::fmin(peer,
            bench::runPeer("ffmpeg",
                {"-nostdin", "-v", "error", "-y", "-i", tenMinutes, "-c:a", "libmp3lame", "-b:a", "128k",
                    dir + "/ffmpeg.mp3"}));
    }
    const double peakLong = peakMiB(RUSAGE_SELF);
    std::printf(
        "MP3 128 kbit/s of 10 min WAV (best of 3): ours %.2f s, ffmpeg %.2f s, ratio %.3f\n", ours, peer, ours / peer);
    std::printf("  peak memory: ours %.1f MiB after 1 min, %.1f MiB after 10 min; ffmpeg %.1f MiB\n", peakShort,
        peakLong, peakMiB(RUSAGE_CHILDREN));
    QFile::remove(oneMinute);

    // Six cuts of a 60-minute WAV.
    const QString hour = dir + "/in60.wav";
    if (!writeWav(hour, 3600)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(hour));
        return 1;
    }
    const QPair<int, int> ranges[] = {{60, 30}, {600, 60}, {1200, 120}, {1800, 30}, {2700, 300}, {3500, 60}};
    converter.DestFormat(DestWAV);
    converter.SetWAVSettings({kRate, 2, 16});
    double oursCut = 0, soxCut = 0;
    int n = 0;
    for (const auto &[start, length] : ranges) {
        ++n;
        // Each cut takes tens of milliseconds: best of three, alternating.
        double ours = INFINITY, sox = INFINITY;
        for (int run = 0; run < 3; ++run) {
            ours = std::fmin(ours, bench::convert(converter, hour, dir + QStringLiteral("/ours%1.wav").arg(n), start, length));
            sox = std::fmin(sox, bench::runPeer("sox", {hour, dir + QStringLiteral("/sox%1.wav").arg(n), "trim",
                                                    QString::number(start), QString::number(length)}));
        }
        oursCut += ours;
        soxCut += sox;
    }
    std::printf("Six cuts of a 60 min WAV (best of 3 each): ours %.2f s, sox %.2f s, ratio %.3f\n", oursCut, soxCut, oursCut / soxCut);
    std::printf("  peak memory: ours %.1f MiB, peers %.1f MiB\n", peakMiB(RUSAGE_SELF), peakMiB(RUSAGE_CHILDREN));
    return 0;
}
