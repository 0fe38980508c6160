// APE at each of the five levels through the converter control, against
// flac -5 and flac -8 on the same 10 minute stereo WAV: encode time and file
// size as ratios. Every output is decoded by ffmpeg and must give the WAV's
// samples back; a mismatch fails the run.
//
//   bench_ape_encode [--smoke] [work folder]
//
// --smoke runs every level and peer once on 3 seconds, to show the bench
// still builds, runs and checks its outputs.

#include "support/BenchTools.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kRate = 44100;

// A stereo piece of chords: a new chord every half second, each note with a
// few harmonics that fade, the channels placed apart, and a little hiss.
// Streamed a second at a time.
bool writeMusic(const QString &path, int seconds)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(Bench::wavHeader(2, kRate, quint32(seconds) * kRate * 4));
    static const int chords[][3] = {{0, 4, 7}, {5, 9, 12}, {7, 11, 14}, {-3, 0, 4}, {2, 5, 9}, {-5, -1, 2}};
    quint32 noise = 12345;
    QByteArray second(kRate * 4, '\0');
    for (int s = 0; s < seconds; ++s) {
        for (int k = 0; k < kRate; ++k) {
            const qint64 i = qint64(s) * kRate + k;
            const int chord = int(i / (kRate / 2)) % 6;
            const double t = double(i) / kRate;
            const double sinceChord = double(i % (kRate / 2)) / kRate;
            double left = 0, right = 0;
            for (int n = 0; n < 3; ++n) {
                const double freq = 220.0 * std::pow(2.0, chords[chord][n] / 12.0);
                double note = 0;
                for (int harmonic = 1; harmonic <= 4; ++harmonic)
                    note += std::sin(2 * M_PI * freq * harmonic * t) / (harmonic * harmonic);
                note *= 3000 * std::exp(-3 * sinceChord);
                left += note * (1.0 - 0.3 * n);
                right += note * (0.4 + 0.3 * n);
            }
            noise = noise * 1664525u + 1013904223u;
            const int hiss = int(noise >> 24) % 64 - 32;
            qToLittleEndian<qint16>(qint16(std::lround(left) + hiss), second.data() + 4 * k);
            qToLittleEndian<qint16>(qint16(std::lround(right) - hiss), second.data() + 4 * k + 2);
        }
        if (f.write(second) != second.size())
            return false;
    }
    return true;
}

// The MD5 of the 16-bit samples ffmpeg decodes from path, empty on failure.
QByteArray decodedMd5(const QString &path)
{
    QProcess p;
    p.start("ffmpeg", {"-nostdin", "-v", "error", "-xerror", "-err_detect", "crccheck+explode", "-i", path, "-f",
                          "s16le", "-c:a", "pcm_s16le", "-f", "md5", "-"});
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput().trimmed();
}

struct Result {
    double seconds;
    qint64 bytes;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool smoke = args.removeAll(QStringLiteral("--smoke")) > 0;
    const int seconds = smoke ? 3 : 600;
    // Best of two runs for a figure; the smoke run needs no figure.
    const int runs = smoke ? 1 : 2;
    QTemporaryDir temp(args.isEmpty() ? QString() : args.first() + "/bench-XXXXXX");
    if (!temp.isValid()) {
        std::fprintf(stderr, "cannot make a work folder\n");
        return 2;
    }
    const QString dir = temp.path();
    const QString wav = dir + "/in.wav";
    if (!writeMusic(wav, seconds)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(wav));
        return 1;
    }
    const QByteArray expected = decodedMd5(wav);
    bool failed = expected.isEmpty();

    // The peers: best of their runs.
    Result flac[2];
    const char *flacLevels[] = {"-5", "-8"};
    for (int i = 0; i < 2; ++i) {
        const QString out = dir + QStringLiteral("/out%1.flac").arg(flacLevels[i]);
        double best = INFINITY;
        for (int run = 0; run < runs; ++run)
            best = std::fmin(best, Bench::runPeer("flac", {"-s", "-f", flacLevels[i], "-o", out, wav}));
        flac[i] = {best, QFileInfo(out).size()};
        if (decodedMd5(out) != expected) {
            std::fprintf(stderr, "flac %s does not decode to the source\n", flacLevels[i]);
            failed = true;
        }
    }
    std::printf("%d s stereo WAV (%lld bytes): flac -5 %.2f s %lld bytes; flac -8 %.2f s %lld bytes\n", seconds,
        QFileInfo(wav).size(), flac[0].seconds, flac[0].bytes, flac[1].seconds, flac[1].bytes);
    std::printf("level       time s  size bytes   time/-5  time/-8  size/-5  size/-8\n");

    static const char *names[] = {"Fast", "Normal", "High", "Extra high", "Slow"};
    cAudioConverter converter;
    converter.DestFormat(DestAPE);
    for (int level = 0; level <= 4; ++level) {
        converter.SetAPESettings(level);
        const QString out = dir + QStringLiteral("/out%1.ape").arg(level);
        // Best of the runs, as for the peers.
        double best = INFINITY;
        for (int run = 0; run < runs; ++run)
            best = std::fmin(best, Bench::convert(converter, wav, out));
        const qint64 bytes = QFileInfo(out).size();
        if (std::isnan(best) || decodedMd5(out) != expected) {
            std::fprintf(stderr, "APE level %s does not decode to the source\n", names[level]);
            failed = true;
        }
        std::printf("%-10s %7.2f  %10lld   %7.2f  %7.2f  %7.3f  %7.3f\n", names[level], best, bytes,
            best / flac[0].seconds, best / flac[1].seconds, double(bytes) / flac[0].bytes,
            double(bytes) / flac[1].bytes);
    }
    return failed ? 1 : 0;
}
