#pragma once

// What the benchmarks share: a WAV header, timing a converter job and
// timing a peer program.

#include "controls/audio/cAudioConverter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace bench {

// The 44-byte header of a 16-bit PCM WAV holding dataBytes.
inline QByteArray wavHeader(int channels, int rate, quint32 dataBytes)
{
    QByteArray header(44, '\0');
    char *h = header.data();
    std::memcpy(h, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataBytes, h + 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20);
    qToLittleEndian<quint16>(quint16(channels), h + 22);
    qToLittleEndian<quint32>(quint32(rate), h + 24);
    qToLittleEndian<quint32>(quint32(rate * channels * 2), h + 28);
    qToLittleEndian<quint16>(quint16(channels * 2), h + 32);
    qToLittleEndian<quint16>(16, h + 34);
    std::memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(dataBytes, h + 40);
    return header;
}

// One conversion through the control, waiting for its ending; seconds
// taken, NaN when it failed.
inline double convert(cAudioConverter &c, const QString &source, const QString &dest, int start = -1, int length = -1)
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

// Runs a peer program to its end; seconds taken, NaN when it failed.
inline double runPeer(const QString &program, const QStringList &args)
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

} // namespace bench
