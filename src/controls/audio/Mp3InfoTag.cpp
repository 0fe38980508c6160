#include "controls/audio/Mp3InfoTag.h"

#include <QByteArrayView>
#include <QFile>

#include <optional>

namespace Mp3InfoTag {
namespace {

    struct FrameHeader {
        int version = 0; // the header's two version bits: 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
        int layer = 0;
        int sampleRate = 0;
        bool mono = false;
        qint64 bytes = 0;
        int samples = 0;

        // Whether next belongs to the same stream: a stray sync word in the
        // audio data rarely repeats all of these.
        bool sameStream(const FrameHeader &next) const
        {
            return next.version == version && next.layer == layer && next.sampleRate == sampleRate;
        }
    };

    std::optional<FrameHeader> parseHeader(const uchar *p)
    {
        if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
            return std::nullopt;
        FrameHeader h;
        h.version = (p[1] >> 3) & 3;
        const int layerBits = (p[1] >> 1) & 3;
        const int bitrateIndex = p[2] >> 4;
        const int rateIndex = (p[2] >> 2) & 3;
        // Free-format streams name no bitrate, so their frames cannot be
        // walked; a reserved emphasis marks a false sync.
        if (h.version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3
            || (p[3] & 3) == 2)
            return std::nullopt;
        h.layer = 4 - layerBits;
        const bool mpeg1 = h.version == 3;
        static const int kbps[5][14] = {
            {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 layer I
            {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384}, // MPEG-1 layer II
            {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}, // MPEG-1 layer III
            {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256}, // MPEG-2 layer I
            {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}, // MPEG-2 layers II and III
        };
        const int row = mpeg1 ? h.layer - 1 : (h.layer == 1 ? 3 : 4);
        const qint64 bitRate = qint64(kbps[row][bitrateIndex - 1]) * 1000;
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

    // Where the ID3v2 tag at the start ends: a synch-safe size, plus a footer
    // when the flags announce one.
    qint64 afterId3v2(const uchar *d, qint64 size)
    {
        if (size < 10 || QByteArrayView(d, 3) != "ID3")
            return 0;
        return 10 + (qint64(d[6] & 0x7f) << 21 | (d[7] & 0x7f) << 14 | (d[8] & 0x7f) << 7 | (d[9] & 0x7f))
            + ((d[5] & 0x10) ? 10 : 0);
    }

    // Where the audio ends: before an ID3v1 tag and an APE tag, in either order.
    qint64 beforeEndTags(const uchar *d, qint64 end, qint64 begin)
    {
        for (bool found = true; found;) {
            found = false;
            if (end - begin >= 128 && QByteArrayView(d + end - 128, 3) == "TAG") {
                end -= 128;
                found = true;
            }
            if (end - begin >= 32 && QByteArrayView(d + end - 32, 8) == "APETAGEX") {
                const qint64 size = littleEndian(d + end - 20) + ((littleEndian(d + end - 12) & 0x80000000u) ? 32 : 0);
                if (size >= 32 && size <= end - begin) {
                    end -= size;
                    found = true;
                }
            }
        }
        return end;
    }

    // The side information's length, after which a Xing or Info tag sits.
    int sideInfoBytes(const FrameHeader &h)
    {
        return h.version == 3 ? (h.mono ? 17 : 32) : (h.mono ? 9 : 17);
    }

    enum class Tag { None, NoCount, Counted };

    // A Xing/Info/VBRI frame holds no audio. With LAME's extension it also
    // tells the exact length, which *samples receives.
    Tag readTagFrame(const uchar *frame, const FrameHeader &h, qint64 *samples)
    {
        if (h.layer != 3)
            return Tag::None;
        const uchar *end = frame + h.bytes;
        if (frame + 36 + 4 <= end && QByteArrayView(frame + 36, 4) == "VBRI")
            return Tag::NoCount;
        const uchar *p = frame + 4 + sideInfoBytes(h);
        if (p + 8 > end || (QByteArrayView(p, 4) != "Xing" && QByteArrayView(p, 4) != "Info"))
            return Tag::None;
        const quint32 flags = bigEndian(p + 4, 4);
        p += 8;
        if (!(flags & 1))
            return Tag::NoCount;
        const qint64 frames = bigEndian(p, 4);
        p += 4 + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
        if (p + 24 > end)
            return Tag::NoCount;
        const QByteArrayView encoder(p, 4);
        if (encoder != "LAME" && encoder != "Lavf" && encoder != "Lavc")
            return Tag::NoCount;
        const quint32 delayAndPadding = bigEndian(p + 21, 3);
        *samples = frames * h.samples - (delayAndPadding >> 12) - (delayAndPadding & 0xfff);
        return *samples > 0 ? Tag::Counted : Tag::NoCount;
    }

    // The first frame header at or after pos that the next header confirms
    // (or that ends the audio exactly).
    qint64 findFrame(const uchar *d, qint64 pos, qint64 end, const FrameHeader *like)
    {
        for (; pos + 4 <= end; ++pos) {
            const auto h = parseHeader(d + pos);
            if (!h || (like && !like->sameStream(*h)))
                continue;
            const qint64 next = pos + h->bytes;
            if (next == end)
                return pos;
            if (next + 4 <= end)
                if (const auto n = parseHeader(d + next); n && h->sameStream(*n))
                    return pos;
        }
        return -1;
    }

} // namespace

qint64 samples(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 4)
        return -1;
    const qint64 size = f.size();
    const uchar *d = f.map(0, size);
    if (!d)
        return -1;
    qint64 pos = afterId3v2(d, size);
    const qint64 end = beforeEndTags(d, size, pos);
    pos = findFrame(d, pos, end, nullptr);
    if (pos < 0)
        return -1;
    const FrameHeader first = *parseHeader(d + pos);
    qint64 total = 0;
    switch (readTagFrame(d + pos, first, &total)) {
    case Tag::Counted: return total;
    case Tag::NoCount: pos += first.bytes; break;
    case Tag::None: break;
    }
    while (pos + 4 <= end) {
        const auto h = parseHeader(d + pos);
        if (h && first.sameStream(*h) && pos + h->bytes <= end) {
            total += h->samples;
            pos += h->bytes;
            continue;
        }
        // Damage between frames: the decoder skips to the next frame too.
        pos = findFrame(d, pos + 1, end, &first);
        if (pos < 0)
            break;
    }
    return total > 0 ? total : -1;
}

} // namespace Mp3InfoTag
