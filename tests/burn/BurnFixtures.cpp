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

namespace {

constexpr int kSector = 2048;

QString isoName(const QByteArray &raw, bool joliet)
{
    QString name;
    if (joliet) {
        for (int i = 0; i + 1 < raw.size(); i += 2)
            name += QChar(qFromBigEndian<quint16>(raw.constData() + i));
    } else {
        name = QString::fromLatin1(raw);
    }
    const int version = name.lastIndexOf(';');
    if (version >= 0)
        name.truncate(version);
    if (!joliet && name.endsWith('.'))
        name.chop(1);
    return name;
}

void readDir(const QByteArray &image, quint32 extent, quint32 size, const QString &prefix, bool joliet,
    QMap<QString, IsoEntry> &out, int depth)
{
    if (depth > 8)
        return;
    const qint64 start = qint64(extent) * kSector;
    for (qint64 at = start; at < start + size && at < image.size();) {
        const uchar length = uchar(image[at]);
        if (length == 0) {
            at = (at / kSector + 1) * kSector;
            continue;
        }
        const QByteArray record = image.mid(at, length);
        at += length;
        if (record.size() < 34)
            break;
        const int nameLength = uchar(record[32]);
        const QByteArray raw = record.mid(33, nameLength);
        if (raw == QByteArray(1, '\0') || raw == QByteArray(1, '\1'))
            continue;
        IsoEntry e;
        e.extent = qFromLittleEndian<quint32>(record.constData() + 2);
        e.size = qFromLittleEndian<quint32>(record.constData() + 10);
        e.dir = record[25] & 2;
        const QString name = prefix + isoName(raw, joliet);
        out.insert(name, e);
        if (e.dir)
            readDir(image, e.extent, e.size, name + '/', joliet, out, depth + 1);
    }
}

} // namespace

IsoTree readIso(const QString &path, bool joliet)
{
    IsoTree tree;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return tree;
    const QByteArray image = f.readAll();
    for (int sector = 16; (sector + 1) * kSector <= image.size(); ++sector) {
        const QByteArray d = image.mid(sector * kSector, kSector);
        if (d.mid(1, 5) != "CD001" || uchar(d[0]) == 255)
            break;
        const bool isJoliet = uchar(d[0]) == 2 && d.mid(88, 2) == "%/" && QByteArray("@CE").contains(d[90]);
        if ((joliet && !isJoliet) || (!joliet && uchar(d[0]) != 1))
            continue;
        tree.found = true;
        tree.volumeId = isoName(d.mid(40, 32), joliet).trimmed();
        const QByteArray root = d.mid(156, 34);
        readDir(image, qFromLittleEndian<quint32>(root.constData() + 2), qFromLittleEndian<quint32>(root.constData() + 10),
            QString(), joliet, tree.entries, 0);
        break;
    }
    return tree;
}

QByteArray isoFileData(const QString &image, const IsoEntry &entry)
{
    QFile f(image);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(qint64(entry.extent) * kSector))
        return {};
    return f.read(entry.size);
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
