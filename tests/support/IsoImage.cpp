#include "support/IsoImage.h"

#include <QFile>
#include <QtEndian>

namespace TestIso {

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

} // namespace TestIso
