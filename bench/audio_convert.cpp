// Converting and cutting WAV files with the converter control, timed against
// ffmpeg (MP3 encoding) and sox (cutting ranges) on the same input.
//
//   bench_audio_convert [work folder]

#include "support/BenchTools.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>

using namespace Bench;

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
    convert(converter, oneMinute, dir + "/out1.mp3");
    const double peakShort = peakMiB(RUSAGE_SELF);
    // Best of three runs each, alternating, so a busy moment of the machine
    // does not decide the ratio.
    double ours = INFINITY, peer = INFINITY;
    for (int run = 0; run < 3; ++run) {
        ours = std::fmin(ours, convert(converter, tenMinutes, dir + "/ours.mp3"));
        peer = std::fmin(peer,
            runPeer("ffmpeg",
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
            ours = std::fmin(ours, convert(converter, hour, dir + QStringLiteral("/ours%1.wav").arg(n), start, length));
            sox = std::fmin(sox, runPeer("sox", {hour, dir + QStringLiteral("/sox%1.wav").arg(n), "trim",
                                                    QString::number(start), QString::number(length)}));
        }
        oursCut += ours;
        soxCut += sox;
    }
    std::printf("Six cuts of a 60 min WAV (best of 3 each): ours %.2f s, sox %.2f s, ratio %.3f\n", oursCut, soxCut, oursCut / soxCut);
    std::printf("  peak memory: ours %.1f MiB, peers %.1f MiB\n", peakMiB(RUSAGE_SELF), peakMiB(RUSAGE_CHILDREN));
    return 0;
}
