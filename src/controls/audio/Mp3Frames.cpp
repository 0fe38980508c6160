#include "controls/audio/Mp3Frames.h"

#include "controls/audio/FileWindow.h"

#include <QByteArrayView>

#include <algorithm>

namespace Mp3Frames {
namespace {

    quint32 bigEndian(const uchar *p, int bytes)
    {
        quint32 v = 0;
        for (int i = 0; i < bytes; ++i)
            v = v << 8 | p[i];
        return v;
    }

    quint32 littleEndian(const uchar *p)
    {
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    }

} // namespace

std::optional<Header> parseHeader(const uchar *p)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return std::nullopt;
    Header h;
    h.version = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    h.bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    // A reserved emphasis marks a false sync.
    if (h.version == 1 || layerBits == 0 || h.bitrateIndex == 0 || h.bitrateIndex == 15 || rateIndex == 3
        || (p[3] & 3) == 2)
        return std::nullopt;
    h.layer = 4 - layerBits;
    h.crc = !(p[1] & 1);
    const bool mpeg1 = h.version == 3;
    static const int kbps[5][14] = {
        {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 layer I
        {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384}, // MPEG-1 layer II
        {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}, // MPEG-1 layer III
        {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256}, // MPEG-2 layer I
        {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}, // MPEG-2 layers II and III
    };
    const int row = mpeg1 ? h.layer - 1 : (h.layer == 1 ? 3 : 4);
    h.kbps = kbps[row][h.bitrateIndex - 1];
    const qint64 bitRate = qint64(h.kbps) * 1000;
    static const int rates[3] = {44100, 48000, 32000};
    h.sampleRate = rates[rateIndex] >> (mpeg1 ? 0 : h.version == 2 ? 1 : 2);
    const int padding = (p[2] >> 1) & 1;
    h.mono = (p[3] >> 6) == 3;
    if (h.layer == 1) {
        h.samples = 384;
        h.bytes = (12 * bitRate / h.sampleRate + padding) * 4;
    } else {
        h.samples = h.layer == 3 && !mpeg1 ? 576 : 1152;
        h.bytes = h.samples / 8 * bitRate / h.sampleRate + padding;
    }
    return h;
}

qint64 afterId3v2(const uchar *d, qint64 size)
{
    if (size < 10 || QByteArrayView(d, 3) != "ID3")
        return 0;
    // A synch-safe size, plus a footer when the flags announce one.
    return 10 + (qint64(d[6] & 0x7f) << 21 | (d[7] & 0x7f) << 14 | (d[8] & 0x7f) << 7 | (d[9] & 0x7f))
        + ((d[5] & 0x10) ? 10 : 0);
}

qint64 afterId3v2(FileWindow &file)
{
    const qint64 size = std::min<qint64>(file.size(), 10);
    const uchar *d = file.at(0, size);
    return d ? afterId3v2(d, size) : 0;
}

qint64 beforeEndTags(FileWindow &file, qint64 end, qint64 begin)
{
    for (bool found = true; found;) {
        found = false;
        const uchar *id3v1 = end - begin >= 128 ? file.at(end - 128, 3) : nullptr;
        if (id3v1 && QByteArrayView(id3v1, 3) == "TAG") {
            end -= 128;
            found = true;
        }
        const uchar *ape = end - begin >= 32 ? file.at(end - 32, 32) : nullptr;
        if (ape && QByteArrayView(ape, 8) == "APETAGEX") {
            const qint64 size = littleEndian(ape + 12) + ((littleEndian(ape + 20) & 0x80000000u) ? 32 : 0);
            if (size >= 32 && size <= end - begin) {
                end -= size;
                found = true;
            }
        }
    }
    return end;
}

qint64 findFrame(FileWindow &file, qint64 pos, qint64 end, const Header *like)
{
    for (; pos + 4 <= end; ++pos) {
        const uchar *p = file.at(pos, 4);
        if (!p)
            return -1;
        const auto h = parseHeader(p);
        if (!h || (like && !like->sameStream(*h)))
            continue;
        const qint64 next = pos + h->bytes;
        if (next == end)
            return pos;
        if (next + 4 <= end)
            if (const uchar *n = file.at(next, 4); n)
                if (const auto after = parseHeader(n); after && h->sameStream(*after))
                    return pos;
    }
    return -1;
}

TagFrame readTagFrame(const uchar *frame, const Header &h)
{
    TagFrame tag;
    if (h.layer != 3)
        return tag;
    const uchar *end = frame + h.bytes;
    if (frame + 36 + 4 <= end && QByteArrayView(frame + 36, 4) == "VBRI") {
        tag.kind = TagFrame::NoCount;
        return tag;
    }
    const uchar *p = frame + xingOffset(h);
    if (p + 8 > end || (QByteArrayView(p, 4) != "Xing" && QByteArrayView(p, 4) != "Info"))
        return tag;
    tag.kind = TagFrame::NoCount;
    const quint32 flags = bigEndian(p + 4, 4);
    p += 8;
    if (!(flags & 1))
        return tag;
    const qint64 frames = bigEndian(p, 4);
    const qint64 bytes = flags & 2 ? bigEndian(p + 4, 4) : 0;
    p += 4 + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    if (p + kLameExtensionBytes > end)
        return tag;
    // LAME wrote the extension first; FFmpeg writes it with its own name.
    const QByteArrayView encoder(p, 4);
    if (encoder != "LAME" && encoder != "Lavf" && encoder != "Lavc")
        return tag;
    const quint32 delayAndPadding = bigEndian(p + 21, 3);
    tag.frames = frames;
    tag.bytes = bytes;
    tag.delay = int(delayAndPadding >> 12);
    tag.padding = int(delayAndPadding & 0xfff);
    tag.extension = p;
    if (tag.decodedSamples(h) > 0)
        tag.kind = TagFrame::Counted;
    return tag;
}

} // namespace Mp3Frames
