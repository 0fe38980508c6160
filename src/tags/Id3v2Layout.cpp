#include "tags/Id3v2Layout.h"

#include "tags/Id3v2Text.h"

#include <QHash>
#include <QIODevice>

#include <algorithm>

namespace Id3v2Layout {
namespace {

constexpr qint64 kBlock = 4096;
// The header's size field holds 28 bits; nothing larger is read into memory.
constexpr qint64 kMaxTag = (qint64(1) << 28) + 20;
// How much of a tag whose size field is unusable is searched for frames.
constexpr qint64 kMaxUnsizedTag = qint64(16) << 20;
// How far zero bytes after a tag are taken as its padding.
constexpr qint64 kMaxZeroRun = 1 << 20;

quint32 plainBE(const QByteArray &bytes, qsizetype at, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | static_cast<quint8>(bytes.at(at + i));
    return value;
}

bool syncSafeValid(const QByteArray &bytes, qsizetype at)
{
    for (int i = 0; i < 4; ++i) {
        if (static_cast<quint8>(bytes.at(at + i)) & 0x80)
            return false;
    }
    return true;
}

quint32 syncSafe(const QByteArray &bytes, qsizetype at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 7) | (static_cast<quint8>(bytes.at(at + i)) & 0x7F);
    return value;
}

bool validFrameId(const QByteArray &id)
{
    return std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// Undoes unsynchronisation: every FF 00 becomes FF.
QByteArray resynchronised(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out.append(bytes.at(i));
        if (static_cast<quint8>(bytes.at(i)) == 0xFF && i + 1 < bytes.size() && bytes.at(i + 1) == '\0')
            ++i;
    }
    return out;
}

qint64 firstMpegSync(const QByteArray &bytes)
{
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        if (static_cast<quint8>(bytes.at(i)) == 0xFF && (static_cast<quint8>(bytes.at(i + 1)) & 0xE0) == 0xE0)
            return i;
    }
    return -1;
}

QByteArray readAt(QIODevice &file, qint64 offset, qint64 count)
{
    if (count <= 0 || !file.seek(offset))
        return QByteArray();
    return file.read(count);
}

// Where the tag region that starts the file ends: the declared end, or the
// end of the frames read when they run further, then the zero padding after
// it. The audio is never counted in: the region is cut at the first MPEG sync
// in what the frame walk did not account for.
qint64 regionEnd(QIODevice &file, qint64 start, qint64 walkEnd, qint64 standardEnd, qint64 legacyEnd)
{
    const qint64 length = file.size();
    qint64 end = std::min(std::max(standardEnd, walkEnd), length);
    if (end < start + 10)
        return 0;
    const qint64 unaccounted = std::max(walkEnd, start + 10);
    if (end > unaccounted) {
        const QByteArray gap = readAt(file, unaccounted, end - unaccounted);
        const qint64 sync = firstMpegSync(gap);
        if (sync >= 0)
            end = unaccounted + sync;
    }
    // An older tag of this program: its zero filler or left-over bytes run up
    // to the end its size gives, where the audio begins.
    if (legacyEnd > end) {
        const QByteArray gap = readAt(file, end, legacyEnd - end);
        const QByteArray next = readAt(file, legacyEnd, 1);
        const bool audioFollows = legacyEnd == length || (next.size() == 1 && static_cast<quint8>(next.at(0)) == 0xFF);
        if (gap.size() == legacyEnd - end && audioFollows && firstMpegSync(gap) < 0)
            end = legacyEnd;
    }
    // Zero bytes after a tag are padding that other writers leave uncounted.
    const qint64 tagEnd = end;
    while (end < length && end - tagEnd < kMaxZeroRun) {
        const QByteArray chunk = readAt(file, end, std::min<qint64>(kBlock, length - end));
        if (chunk.isEmpty())
            break;
        const auto firstNonZero = std::find_if(chunk.begin(), chunk.end(), [](char c) { return c != '\0'; });
        end += firstNonZero - chunk.begin();
        if (firstNonZero != chunk.end())
            break;
    }
    return end;
}

// A version 2 picture: its three-letter image format becomes a MIME type.
QByteArray pictureFromV22(const QByteArray &data)
{
    if (data.size() < 5)
        return QByteArray();
    const QByteArray format = data.mid(1, 3).toLower();
    QByteArray mime = "image/" + (format == "jpg" ? QByteArray("jpeg") : format);
    return data.left(1) + mime + '\0' + data.mid(4);
}

// Version 4 frame flags and data in version 3 form.
ParsedFrame frameFromV24(const QString &id, QByteArray data, quint16 flags, bool tagUnsynchronised)
{
    if ((flags & 0x0002) || tagUnsynchronised)
        data = resynchronised(data);
    const bool compressed = flags & 0x0008;
    if ((flags & 0x0001) && data.size() >= 4) {
        const quint32 length = syncSafe(data, 0);
        data.remove(0, 4);
        if (compressed) {
            QByteArray plain(4, '\0');
            putLongBE(plain, 0, length);
            data.prepend(plain);
        }
    }
    quint16 v3 = 0;
    if (flags & 0x4000) v3 |= 0x8000;
    if (flags & 0x2000) v3 |= 0x4000;
    if (flags & 0x1000) v3 |= 0x2000;
    if (compressed) v3 |= 0x0080;
    if (flags & 0x0004) v3 |= 0x0040;
    if (flags & 0x0040) v3 |= 0x0020;
    ParsedFrame frame{id, data, v3};
    if (!(v3 & 0x00E0)) {
        frame.data = Id3v2Text::toVersion3Encoding(id, data);
        // Version 3 has no recording time; its year frame takes the year.
        if (id == QLatin1String("TDRC")) {
            const QString year = Id3v2Text::frameValue(id, frame.data).left(4);
            frame.id = QStringLiteral("TYER");
            frame.data = Id3v2Text::frameData(frame.id, year);
        }
    }
    return frame;
}

} // namespace

qint64 findTagHeader(QIODevice &file)
{
    const qint64 length = file.size();
    const qint64 base = file.pos();
    qint64 start = base + 1;  // 1-based position of the block's first byte
    for (;;) {
        const bool last = start + kBlock >= length;
        const qint64 count = last ? length - start + 1 : kBlock;
        if (!file.seek(start - 1))
            return 0;
        const QByteArray block = count > 0 ? file.read(count) : QByteArray();
        const qsizetype at = block.indexOf("ID3");
        if (at >= 0)
            return start + at + 3;
        if (last || block.size() < count || block.contains("\xFF\xFB"))
            return 0;
        start += kBlock - 3;
    }
}

ParsedTag parseTag(QIODevice &file)
{
    ParsedTag tag;
    if (!file.seek(0))
        return tag;
    tag.position = findTagHeader(file);
    if (tag.position == 0)
        return tag;

    const qint64 length = file.size();
    const qint64 start = tag.position - 4;  // offset of the "I"
    const QByteArray header = readAt(file, start + 3, 7);
    if (header.isEmpty())
        return tag;
    tag.version = static_cast<quint8>(header.at(0));
    if (tag.version < 2 || tag.version > 4 || header.size() < 7)
        return tag;

    const quint8 flags = static_cast<quint8>(header.at(2));
    const bool safe = syncSafeValid(header, 3);
    const qint64 declared = safe ? qint64(syncSafe(header, 3)) : -1;
    const qint64 plain = plainBE(header, 3, 4);
    // The standard's end: header, declared size and the version 4 footer.
    const qint64 standardEnd = safe ? start + 10 + declared + (tag.version == 4 && (flags & 0x10) ? 10 : 0) : -1;
    // Tags of earlier releases of this program hold in the size field, not
    // sync-safe, the length of the whole tag region.
    const qint64 legacyEnd = tag.version == 3 && plain >= 14 && start + plain <= length ? start + plain : -1;
    const bool unsynchronised = tag.version <= 3 && (flags & 0x80);
    const bool compressedV22 = tag.version == 2 && (flags & 0x40);

    qint64 bound = unsynchronised ? standardEnd : std::max(standardEnd, legacyEnd);
    if (bound < 0)
        bound = start + 10 + kMaxUnsizedTag;
    bound = std::min({bound, length, start + kMaxTag});
    QByteArray area = readAt(file, start + 10, bound - start - 10);
    if (unsynchronised)
        area = resynchronised(area);

    qsizetype pos = 0;
    qsizetype parsedEnd = 0;  // end of the extended header and the frames read, in area
    if (flags & 0x40 && tag.version == 3 && area.size() >= 4)
        pos = 4 + qsizetype(plainBE(area, 0, 4));
    else if (flags & 0x40 && tag.version == 4 && area.size() >= 4)
        pos = qsizetype(syncSafe(area, 0));
    if (compressedV22)
        pos = area.size();
    else if (pos <= area.size())
        parsedEnd = pos;

    const int headerLength = tag.version == 2 ? 6 : 10;
    const int idLength = tag.version == 2 ? 3 : 4;
    while (pos >= 0 && pos + headerLength <= area.size()) {
        const QByteArray id = area.mid(pos, idLength);
        if (id.count('\0') == idLength || !validFrameId(id))
            break;
        qint64 size = 0;
        quint16 frameFlags = 0;
        if (tag.version == 2) {
            size = plainBE(area, pos + 3, 3);
        } else {
            // Version 4 sizes are sync-safe; some writers put plain ones there anyway.
            size = tag.version == 4 && syncSafeValid(area, pos + 4) ? syncSafe(area, pos + 4) : plainBE(area, pos + 4, 4);
            frameFlags = static_cast<quint16>(plainBE(area, pos + 8, 2));
        }
        if (size > area.size() - pos - headerLength)
            break;  // runs past the tag or the file: a damaged or cut tag ends here
        const QByteArray data = area.mid(pos + headerLength, size);
        pos += headerLength + size;
        parsedEnd = pos;

        const QString name = QString::fromLatin1(id);
        if (tag.version == 2) {
            const QString mapped = mapV22FrameId(name);
            if (mapped.isEmpty())
                continue;  // no version 3 equivalent to write it back as
            tag.frames.append({mapped, name == QLatin1String("PIC") ? pictureFromV22(data) : data, 0});
        } else if (tag.version == 3) {
            tag.frames.append({name, data, frameFlags});
        } else {
            tag.frames.append(frameFromV24(name, data, frameFlags, flags & 0x80));
        }
    }

    if (start != 0)
        return tag;
    tag.regionEnd = regionEnd(file, start, unsynchronised ? 0 : start + 10 + parsedEnd, standardEnd, legacyEnd);
    return tag;
}

void putLongBE(QByteArray &buffer, qsizetype index, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        buffer[index + i] = static_cast<char>((value >> (8 * (3 - i))) & 0xFF);
}

void putSyncSafe(QByteArray &buffer, qsizetype index, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        buffer[index + i] = static_cast<char>((value >> (7 * (3 - i))) & 0x7F);
}

QString mapV22FrameId(const QString &id)
{
    static const QHash<QString, QString> table = {
        {"TP1", "TPE1"}, {"TT2", "TIT2"}, {"TAL", "TALB"}, {"COM", "COMM"}, {"TRK", "TRCK"},
        {"TEN", "TENC"}, {"TYE", "TYER"}, {"TCO", "TCON"},
        // Further version 2 frames with a direct version 3 equivalent.
        {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TCM", "TCOM"}, {"TCR", "TCOP"},
        {"TOA", "TOPE"}, {"TT1", "TIT1"}, {"TT3", "TIT3"}, {"TPA", "TPOS"}, {"TBP", "TBPM"},
        {"TDA", "TDAT"}, {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"},
        {"TMT", "TMED"}, {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"},
        {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TSI", "TSIZ"}, {"TSS", "TSSE"},
        {"TXT", "TEXT"}, {"TXX", "TXXX"}, {"TFT", "TFLT"}, {"TDY", "TDLY"}, {"ULT", "USLT"},
        {"WAF", "WOAF"}, {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"},
        {"WPB", "WPUB"}, {"WXX", "WXXX"}, {"CNT", "PCNT"}, {"POP", "POPM"}, {"UFI", "UFID"},
        {"PIC", "APIC"},
    };
    return table.value(id);
}

} // namespace Id3v2Layout
