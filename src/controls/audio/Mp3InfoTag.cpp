#include "controls/audio/Mp3InfoTag.h"

#include <QFile>

namespace Mp3InfoTag {
namespace {

    quint32 bigEndian(const QByteArray &d, int at, int bytes)
    {
        quint32 v = 0;
        for (int i = 0; i < bytes; ++i)
            v = v << 8 | quint8(d[at + i]);
        return v;
    }

    constexpr int kHeadBytes = 4096; // the tag frame is at most a few hundred bytes

} // namespace

qint64 samples(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    qint64 frameAt = 0;
    const QByteArray id3 = f.read(10);
    if (id3.size() == 10 && id3.startsWith("ID3")) {
        // A synch-safe size, plus a footer when the flags announce one.
        frameAt = 10 + qint64(quint8(id3[6]) & 0x7f) * (1 << 21) + (quint8(id3[7]) & 0x7f) * (1 << 14)
            + (quint8(id3[8]) & 0x7f) * (1 << 7) + (quint8(id3[9]) & 0x7f) + ((quint8(id3[5]) & 0x10) ? 10 : 0);
    }
    if (!f.seek(frameAt))
        return -1;
    const QByteArray d = f.read(kHeadBytes);
    if (d.size() < 4 || quint8(d[0]) != 0xFF || (quint8(d[1]) & 0xE0) != 0xE0 || ((quint8(d[1]) >> 1) & 3) != 1)
        return -1; // not a Layer III frame header
    const bool mpeg1 = ((quint8(d[1]) >> 3) & 3) == 3;
    const bool mono = ((quint8(d[3]) >> 6) & 3) == 3;
    int at = 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17)); // after the side information
    if (d.size() < at + 8 || (d.mid(at, 4) != "Xing" && d.mid(at, 4) != "Info"))
        return -1;
    const quint32 flags = bigEndian(d, at + 4, 4);
    at += 8;
    if (!(flags & 1))
        return -1; // no frame count
    const qint64 frames = bigEndian(d, at, 4);
    at += 4;
    at += (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    if (d.size() < at + 24)
        return -1;
    const QByteArray encoder = d.mid(at, 4);
    if (encoder != "LAME" && encoder != "Lavf" && encoder != "Lavc")
        return -1;
    const quint32 delayAndPadding = bigEndian(d, at + 21, 3);
    const qint64 total = frames * (mpeg1 ? 1152 : 576) - (delayAndPadding >> 12) - (delayAndPadding & 0xfff);
    return total > 0 ? total : -1;
}

} // namespace Mp3InfoTag
