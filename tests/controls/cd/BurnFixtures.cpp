#include "BurnFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

namespace BurnFixture {

Drives::Drives(const QStringList &entries)
{
    qputenv("SONVALE_BURN_DEVICES", QFile::encodeName(entries.join(':')));
}

Drives::~Drives()
{
    qunsetenv("SONVALE_BURN_DEVICES");
}

QString writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return {};
    return path;
}

QByteArray pattern(int seed, int size)
{
    QByteArray b(size, '\0');
    quint32 x = 2654435761u * quint32(seed + 1);
    for (int i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = char(x >> 24);
    }
    return b;
}

QString writeWav(const QString &path, int rate, int channels, qint64 frames,
    const std::function<qint16(qint64, int)> &sample)
{
    const quint32 dataSize = quint32(frames * channels * 2);
    QByteArray b(44 + int(dataSize), '\0');
    auto *p = reinterpret_cast<uchar *>(b.data());
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataSize, p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(quint16(channels), p + 22);
    qToLittleEndian<quint32>(quint32(rate), p + 24);
    qToLittleEndian<quint32>(quint32(rate * channels * 2), p + 28);
    qToLittleEndian<quint16>(quint16(channels * 2), p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataSize, p + 40);
    for (qint64 i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch)
            qToLittleEndian<qint16>(sample(i, ch), p + 44 + (i * channels + ch) * 2);
    return writeFile(path, b);
}

QString writeSilentWav(const QString &path, qint64 frames)
{
    if (writeWav(path, 44100, 2, 0, [](qint64, int) { return qint16(0); }).isEmpty())
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return {};
    const quint32 data = quint32(frames * 4);
    uchar size[4];
    qToLittleEndian<quint32>(36 + data, size);
    f.seek(4);
    f.write(reinterpret_cast<const char *>(size), 4);
    qToLittleEndian<quint32>(data, size);
    f.seek(40);
    f.write(reinterpret_cast<const char *>(size), 4);
    return f.resize(44 + qint64(data)) ? path : QString();
}

QVector<qint16> readWav16(const QString &path, int *rate, int *channels)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    if (all.size() < 12 || !all.startsWith("RIFF") || all.mid(8, 4) != "WAVE")
        return {};
    QVector<qint16> samples;
    for (qsizetype at = 12; at + 8 <= all.size();) {
        const QByteArray id = all.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(all.constData() + at + 4);
        const char *body = all.constData() + at + 8;
        if (id == "fmt ") {
            if (channels)
                *channels = qFromLittleEndian<quint16>(body + 2);
            if (rate)
                *rate = int(qFromLittleEndian<quint32>(body + 4));
        } else if (id == "data") {
            const qsizetype n = qMin<qsizetype>(size, all.size() - at - 8) / 2;
            samples.resize(n);
            for (qsizetype i = 0; i < n; ++i)
                samples[i] = qFromLittleEndian<qint16>(body + i * 2);
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

QString fileMagic(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("file"), {QStringLiteral("-b"), path});
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace BurnFixture
