#include "support/BenchTools.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace Bench {

QByteArray wavHeader(int channels, int rate, quint32 dataBytes)
{
    QByteArray header(44, '\0');
    char *h = header.data();
    memcpy(h, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataBytes, h + 4);
    memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20);
    qToLittleEndian<quint16>(quint16(channels), h + 22);
    qToLittleEndian<quint32>(quint32(rate), h + 24);
    qToLittleEndian<quint32>(quint32(rate * channels * 2), h + 28);
    qToLittleEndian<quint16>(quint16(channels * 2), h + 32);
    qToLittleEndian<quint16>(16, h + 34);
    memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(dataBytes, h + 40);
    return header;
}

bool writeWav(const QString &path, int seconds)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(wavHeader(2, kRate, quint32(seconds) * kRate * 4));
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

double convert(cAudioConverter &c, const QString &source, const QString &dest, int start, int length)
{
    QEventLoop loop;
    bool ok = false;
    auto d = QObject::connect(&c, &cAudioConverter::Done, &loop, [&] {
        ok = true;
        loop.quit();
    });
    auto e = QObject::connect(&c, &cAudioConverter::Error, &loop, [&](qint32, const QString &text) {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
        loop.quit();
    });
    QElapsedTimer t;
    t.start();
    c.SourceFile(source);
    if (start >= 0) {
        c.RangeStart(start);
        c.RangeLength(length);
    }
    c.DestFile(dest);
    c.Convert();
    loop.exec();
    const double s = t.nsecsElapsed() / 1e9;
    QObject::disconnect(d);
    QObject::disconnect(e);
    return ok ? s : NAN;
}

double runPeer(const QString &program, const QStringList &args)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
        return NAN;
    }
    return t.nsecsElapsed() / 1e9;
}

} // namespace Bench
