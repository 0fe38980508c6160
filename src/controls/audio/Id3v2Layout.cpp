#include "controls/audio/Id3v2Layout.h"

#include "controls/audio/Id3v2Text.h"

#include <QHash>
#include <QIODevice>

#include <algorithm>
#include <optional>

namespace Id3v2Layout {
namespace {

constexpr qint64 kBlock = 4096;
// The header's size field holds 28 bits; nothing larger is read into memory.
constexpr qint64 kMaxTag = (qint64(1) << 28) + 20;

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

// Whether an MPEG audio frame header starts at i: the sync (eleven bits
// set), then a version, layer, bitrate and sample rate that exist.
bool mpegHeaderAt(const QByteArray &bytes, qsizetype i)
{
    if (i + 2 >= bytes.size())
        return false;
    const auto b1 = static_cast<quint8>(bytes.at(i + 1));
    const auto b2 = static_cast<quint8>(bytes.at(i + 2));
    return static_cast<quint8>(bytes.at(i)) == 0xFF && (b1 & 0xE0) == 0xE0 && ((b1 >> 3) & 3) != 1
        && ((b1 >> 1) & 3) != 0 && (b2 >> 4) != 0xF && ((b2 >> 2) & 3) != 3;
}

// The first MPEG audio frame header at or after from; -1 when none.
qsizetype firstMpegSync(const QByteArray &bytes, qsizetype from = 0)
{
    for (qsizetype i = std::max<qsizetype>(from, 0); i + 2 < bytes.size(); ++i) {
        if (mpegHeaderAt(bytes, i))
            return i;
    }
    return -1;
}

QByteArray readAt(QIODevice &file, qint64 offset, qint64 count)
{
    if (count <= 0 || offset >= file.size() || !file.seek(offset))
        return QByteArray();
    return file.read(count);
}

bool allZero(const QByteArray &bytes, qsizetype from)
{
    return std::all_of(bytes.begin() + std::min(from, bytes.size()), bytes.end(), [](char c) { return c == '\0'; });
}

// The first MPEG sync at or after offset in the file, searched no further than limit; -1 when none.
qint64 firstMpegSyncInFile(QIODevice &file, qint64 offset, qint64 limit)
{
    for (qint64 at = offset; at < limit; at += kBlock) {
        const QByteArray block = readAt(file, at, std::min(kBlock + 2, limit - at));
        const qsizetype sync = firstMpegSync(block);
        if (sync >= 0)
            return at + sync;
        if (block.size() <= 2)
            break;
    }
    return -1;
}

// How the audio begins at offset: 2 with an MPEG header right there, 1 after
// zero padding (or with only zero bytes up to the end of the file), 0 when
// anything else comes first.
int audioLanding(QIODevice &file, qint64 offset)
{
    const QByteArray head = readAt(file, offset, 3);
    if (head.isEmpty())
        return 0;
    if (mpegHeaderAt(head, 0))
        return 2;
    for (qint64 at = offset; at < offset + kMaxTag; at += kBlock) {
        const QByteArray block = readAt(file, at, kBlock + 2);
        const auto data = std::find_if(block.begin(), block.end(), [](char c) { return c != '\0'; });
        if (data == block.end()) {
            if (block.size() < kBlock + 2)
                return 1;
            continue;
        }
        if (data - block.begin() >= kBlock && block.size() == kBlock + 2)
            continue;  // the next block starts there
        return mpegHeaderAt(block, data - block.begin()) ? 1 : 0;
    }
    return 0;
}

// Whether the frame header at pos of a version 4 tag is where a walk may
// land: the end of the frames, zero padding, or a frame id.
bool landsOnFrame(const QByteArray &area, qsizetype pos)
{
    if (pos == area.size())
        return true;
    if (pos > area.size() || pos < 0)
        return false;
    if (area.at(pos) == '\0')
        return true;
    return pos + 4 <= area.size() && validFrameId(area.mid(pos, 4));
}

// Several taggers wrote plain frame sizes into version 4 tags. As common
// readers do, a size that is no sync-safe number, or a sync-safe reading
// that misses the next frame where the plain reading finds it, switches the
// whole tag to plain sizes.
bool hasPlainFrameSizes(const QByteArray &area, qsizetype pos)
{
    while (pos + 10 <= area.size() && validFrameId(area.mid(pos, 4))) {
        const qint64 plain = plainBE(area, pos + 4, 4);
        if (!syncSafeValid(area, pos + 4))
            return true;
        const qint64 safe = syncSafe(area, pos + 4);
        if (safe != plain) {
            const bool safeLands = landsOnFrame(area, pos + 10 + safe);
            if (!safeLands && pos + 10 + plain <= area.size() && landsOnFrame(area, pos + 10 + plain))
                return true;
            if (!safeLands)
                return false;
        }
        pos += 10 + safe;
    }
    return false;
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

// A version 2 frame in version 3 form; none when version 3 has no frame for it.
std::optional<ParsedFrame> frameFromV22(const QString &id, const QByteArray &data)
{
    const QString mapped = mapV22FrameId(id);
    if (mapped.isEmpty())
        return std::nullopt;
    if (id == QLatin1String("PIC"))
        return ParsedFrame{mapped, pictureFromV22(data), 0};
    if (id == QLatin1String("LNK")) {
        // The linked frame is named by its version 2 id too.
        const QString linked = data.size() >= 3 ? mapV22FrameId(QString::fromLatin1(data.left(3))) : QString();
        if (linked.isEmpty())
            return std::nullopt;
        return ParsedFrame{mapped, linked.toLatin1() + data.mid(3), 0};
    }
    return ParsedFrame{mapped, data, 0};
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
        } else if (id == QLatin1String("TCON")) {
            frame.data = Id3v2Text::genreToVersion3(frame.data);
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

namespace {

struct Walk {
    QList<ParsedFrame> frames;
    QStringList leftOut;
    // Whether the frames, then zero padding, fill the area exactly.
    bool clean = true;
    // Where the damage may start, when the walk met what is neither a frame
    // nor padding: the header of the last frame read, which may have run
    // on into the audio, or where the walk stopped.
    qsizetype troubleAt = 0;
};

// Reads the frames of the area (the tag after its header, unsynchronisation
// undone). A frame that runs past the area's end keeps the bytes inside it,
// as they are, and ends the walk: the tag is never taken to reach further.
Walk walkFrames(const QByteArray &area, quint8 version, quint8 tagFlags)
{
    Walk walk;
    qsizetype lastFrame = -1;
    const auto trouble = [&walk, &lastFrame](qsizetype at) {
        walk.clean = false;
        walk.troubleAt = lastFrame >= 0 ? std::min(lastFrame, at) : at;
        return walk;
    };
    if (version == 2 && (tagFlags & 0x40))
        return trouble(0);  // a compressed version 2 tag has no readable frames

    qsizetype pos = 0;
    if (tagFlags & 0x40 && version >= 3) {
        // The extended header is skipped when its size is believable;
        // otherwise frames are looked for right after the tag header.
        qint64 skip = -1;
        if (area.size() >= 4 && version == 3) {
            const qint64 size = plainBE(area, 0, 4);
            if (size == 6 || size == 10)
                skip = 4 + size;
        } else if (area.size() >= 4 && syncSafeValid(area, 0)) {
            const qint64 size = syncSafe(area, 0);
            if (size >= 6)
                skip = size;
        }
        if (skip >= 0 && skip <= area.size())
            pos = skip;
        else if (!(area.size() >= 4 && validFrameId(area.left(4))))
            return trouble(0);
    }

    const int headerLength = version == 2 ? 6 : 10;
    const int idLength = version == 2 ? 3 : 4;
    const bool plainSizes = version == 4 && hasPlainFrameSizes(area, pos);
    while (pos < area.size()) {
        if (area.at(pos) == '\0' && allZero(area, pos))
            return walk;  // padding
        if (pos + headerLength > area.size())
            return trouble(pos);
        const QByteArray id = area.mid(pos, idLength);
        if (!validFrameId(id))
            return trouble(pos);
        qint64 size = 0;
        quint16 frameFlags = 0;
        if (version == 2) {
            size = plainBE(area, pos + 3, 3);
        } else {
            if (version == 4 && !plainSizes && !syncSafeValid(area, pos + 4))
                return trouble(pos);
            size = version == 4 && !plainSizes ? syncSafe(area, pos + 4) : plainBE(area, pos + 4, 4);
            frameFlags = static_cast<quint16>(plainBE(area, pos + 8, 2));
        }
        const qint64 room = area.size() - pos - headerLength;
        const QByteArray data = area.mid(pos + headerLength, std::min(size, room));
        const QString name = QString::fromLatin1(id);
        if (version == 2) {
            if (const std::optional<ParsedFrame> carried = frameFromV22(name, data))
                walk.frames.append(*carried);
            else if (!walk.leftOut.contains(name))
                walk.leftOut.append(name);
        } else if (version == 3) {
            walk.frames.append({name, data, frameFlags});
        } else {
            walk.frames.append(frameFromV24(name, data, frameFlags, tagFlags & 0x80));
        }
        if (size > room)
            return trouble(pos);
        lastFrame = pos;
        pos += headerLength + size;
    }
    return walk;
}

} // namespace

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
    const qint64 footer = tag.version == 4 && (flags & 0x10) ? 10 : 0;
    // The tag ends where its header says. A size that is no sync-safe number
    // is read plain, as some writers (earlier releases of this program among
    // them) put it there, but only when that end is exactly where the audio
    // or its padding begins; otherwise the end is unknown.
    qint64 declaredEnd = -1;
    if (syncSafeValid(header, 3)) {
        declaredEnd = start + 10 + qint64(syncSafe(header, 3)) + footer;
    } else {
        // The plain size counts the bytes after the header, or in this
        // program's earlier tags the whole tag from its "I". A reading that
        // ends right at an MPEG header beats one that ends in zero padding
        // before it; of two equal ones the shorter keeps more of the file.
        const qint64 plain = plainBE(header, 3, 4);
        int best = 0;
        for (const qint64 plainEnd : {start + plain, start + 10 + plain + footer}) {
            const int landing = plainEnd >= start + 10 ? audioLanding(file, plainEnd) : 0;
            if (landing > best) {
                best = landing;
                declaredEnd = plainEnd;
            }
        }
    }

    // Frames are read up to the declared end, or with none known up to the
    // first MPEG sync.
    const qint64 framesFrom = start + 10;
    qint64 framesEnd = declaredEnd >= 0 ? declaredEnd - footer : firstMpegSyncInFile(file, framesFrom, start + kMaxTag);
    if (framesEnd < 0)
        framesEnd = length;
    framesEnd = std::min({framesEnd, length, start + kMaxTag});
    const bool unsynchronised = tag.version <= 3 && (flags & 0x80);
    const QByteArray raw = readAt(file, framesFrom, framesEnd - framesFrom);
    Walk walk = walkFrames(unsynchronised ? resynchronised(raw) : raw, tag.version, flags);

    // A damaged tag is cut at the first MPEG sync from where the damage
    // starts, so that no audio is ever taken for part of it; the frames then
    // keep only what lies before that sync.
    qint64 end = declaredEnd;
    if (!walk.clean) {
        const qsizetype sync = firstMpegSync(raw, unsynchronised ? 0 : walk.troubleAt);
        if (sync >= 0) {
            end = framesFrom + sync;
            const QByteArray kept = raw.left(sync);
            walk = walkFrames(unsynchronised ? resynchronised(kept) : kept, tag.version, flags);
        }
    }
    tag.frames = walk.frames;
    tag.leftOut = walk.leftOut;

    // Only a tag that starts the file, with a known end, is ever replaced.
    // A tag cut short by the end of the file ends there when nothing but its
    // frames and padding follow; one that claims more than the file holds,
    // with no audio found to end it, or that reaches into the ID3v1 trailer,
    // claims bytes of others: its end is unknown.
    if (walk.clean && end > length)
        end = length;
    const bool trailer = length >= 128 && readAt(file, length - 128, 3) == "TAG";
    if (start == 0 && declaredEnd >= 0 && end <= (trailer ? length - 128 : length))
        tag.regionEnd = end;
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
        {"PIC", "APIC"}, {"TCP", "TCMP"}, {"TST", "TSOT"}, {"TSA", "TSOA"}, {"TSP", "TSOP"}, {"TS2", "TSO2"},
        {"TSC", "TSOC"}, {"RVA", "RVAD"}, {"IPL", "IPLS"}, {"MCI", "MCDI"}, {"ETC", "ETCO"}, {"MLL", "MLLT"},
        {"STC", "SYTC"}, {"SLT", "SYLT"}, {"REV", "RVRB"}, {"EQU", "EQUA"}, {"GEO", "GEOB"}, {"BUF", "RBUF"},
        {"CRA", "AENC"}, {"LNK", "LINK"}, {"MVN", "MVNM"}, {"MVI", "MVIN"}, {"GP1", "GRP1"},
    };
    return table.value(id);
}

} // namespace Id3v2Layout
