// Splitting a 60-minute file into six parts with the converter control, as
// the splitter does (one range per part, the last to the end), timed against
// the peer tools cutting the same ranges: six `sox trim` runs for WAV, six
// ffmpeg re-encodings for MP3. Every part's length is checked, so a run
// that writes wrong parts fails instead of reporting a figure.
//
//   bench_split [work folder]

#include "support/BenchTools.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace Bench;

namespace {

constexpr int kSeconds = 3600;
constexpr int kParts = 6;
constexpr int kPartSeconds = kSeconds / kParts;

// The seconds a file decodes to, counted over ffmpeg's straight decode (a
// container's stated length can include an MP3's encoder delay); NaN when
// ffmpeg fails.
double decodedSeconds(const QString &path)
{
    QProcess p;
    qint64 bytes = 0;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, [&] { bytes += p.readAllStandardOutput().size(); });
    p.start(QStringLiteral("ffmpeg"), {"-nostdin", "-v", "error", "-i", path, "-ac", "1", "-f", "s16le", "-"});
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        return NAN;
    bytes += p.readAllStandardOutput().size();
    return double(bytes / 2) / kRate;
}

// Whether every part of a split lasts its range.
bool checkParts(const char *who, const QString &pattern, double tolerance)
{
    bool ok = true;
    for (int part = 1; part <= kParts; ++part) {
        const QString path = pattern.arg(part);
        const double seconds = decodedSeconds(path);
        if (!(std::fabs(seconds - kPartSeconds) <= tolerance)) {
            std::fprintf(stderr, "%s: %s lasts %.6f s, not %d s\n", who, qPrintable(path), seconds, kPartSeconds);
            ok = false;
        }
    }
    return ok;
}

// Times the six parts through the converter: start and length per part as
// the splitter sets them.
double splitOurs(cAudioConverter &converter, const QString &source, const QString &pattern)
{
    double total = 0;
    for (int part = 1; part <= kParts; ++part)
        total += convert(converter, source, pattern.arg(part), (part - 1) * kPartSeconds,
            part < kParts ? kPartSeconds : -1);
    return total;
}

double splitPeer(const QString &program, const std::function<QStringList(int start, const QString &out)> &args,
    const QString &pattern)
{
    double total = 0;
    for (int part = 1; part <= kParts; ++part)
        total += runPeer(program, args((part - 1) * kPartSeconds, pattern.arg(part)));
    return total;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/bench-XXXXXX" : QString());
    const QString dir = temp.path();
    const QString wav = dir + "/hour.wav";
    if (!writeWav(wav, kSeconds)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(wav));
        return 1;
    }

    cAudioConverter converter;
    converter.DestFormat(DestWAV);
    converter.SetWAVSettings({kRate, 2, 16});
    const double oursWav = splitOurs(converter, wav, dir + "/ours%1.wav");
    const double soxWav = splitPeer(
        "sox",
        [&](int start, const QString &out) {
            return QStringList{wav, out, "trim", QString::number(start), QString::number(kPartSeconds)};
        },
        dir + "/sox%1.wav");
    if (!checkParts("ours", dir + "/ours%1.wav", 0) || !checkParts("sox", dir + "/sox%1.wav", 0))
        return 1;
    std::printf("60 min WAV into 6 WAV parts: ours %.2f s, sox %.2f s, ratio %.3f\n", oursWav, soxWav, oursWav / soxWav);
    std::fflush(stdout);
    for (int part = 1; part <= kParts; ++part) {
        QFile::remove(dir + QStringLiteral("/ours%1.wav").arg(part));
        QFile::remove(dir + QStringLiteral("/sox%1.wav").arg(part));
    }

    // The MP3 source and parts: CBR 128 kbit/s with the Info frame, which
    // makes each part's length exact.
    Mp3EncoderSettings mp3 = cbr128();
    mp3.WriteVBRTag = -1;
    converter.DestFormat(DestMP3);
    converter.SetMP3Settings(mp3);
    const QString source = dir + "/hour.mp3";
    if (std::isnan(convert(converter, wav, source))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
        return 1;
    }
    QFile::remove(wav);
    const double oursMp3 = splitOurs(converter, source, dir + "/ours%1.mp3");
    const double ffmpegMp3 = splitPeer(
        "ffmpeg",
        [&](int start, const QString &out) {
            return QStringList{"-nostdin", "-v", "error", "-y", "-ss", QString::number(start), "-t",
                QString::number(kPartSeconds), "-i", source, "-c:a", "libmp3lame", "-b:a", "128k", out};
        },
        dir + "/ffmpeg%1.mp3");
    // ffmpeg's own parts are only as exact as its cut of the source's frames.
    if (!checkParts("ours", dir + "/ours%1.mp3", 0) || !checkParts("ffmpeg", dir + "/ffmpeg%1.mp3", 0.05))
        return 1;
    std::printf("60 min MP3 into 6 MP3 parts: ours %.2f s, ffmpeg %.2f s, ratio %.3f\n", oursMp3, ffmpegMp3,
        oursMp3 / ffmpegMp3);
    std::printf("  peak memory: ours %.1f MiB, peers %.1f MiB\n", peakMiB(RUSAGE_SELF), peakMiB(RUSAGE_CHILDREN));
    return 0;
}
