#include "controls/audio/OggHeader.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/FfmpegHandles.h"

extern "C" {
#include <libavcodec/vorbis_parser.h>
#include <libavutil/avstring.h>
}

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace OggHeader {

namespace {

// The library looks for the length in this much of the file's end.
constexpr qint64 kTailBytes = 65307;
// The headers and the first audio page usually fit in the first read; long
// comments take a second one, and headers larger still go to the full probe.
constexpr qint64 kFirstRead = 16 * 1024;
constexpr qint64 kHeadBytes = 256 * 1024;
constexpr int kPageHeader = 27;
constexpr quint8 kContinued = 0x01;
constexpr quint8 kFirstPage = 0x02;
constexpr quint8 kLastPage = 0x04;
// The first probe of the container format looks at this much of the file.
constexpr qint64 kProbeBytes = 2048;

struct VorbisParserDeleter {
    void operator()(AVVorbisParseContext *p) const { av_vorbis_parse_free(&p); }
};
using VorbisParser = std::unique_ptr<AVVorbisParseContext, VorbisParserDeleter>;

// The page checksum: CRC-32 of polynomial 0x04C11DB7, most significant bit
// first, over the page with its checksum field zeroed.
const std::array<quint32, 256> &crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 r = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    return table;
}

struct Page {
    quint8 flags = 0;
    qint64 granule = 0;
    quint32 serial = 0;
    std::vector<quint8> lacing;
    const uchar *body = nullptr;
    qint64 size = 0; // header, lacing and body
};

// The page that starts at d[0] ("OggS"), checked whole; nothing when it is
// cut short, of another version or damaged.
std::optional<Page> readPage(const uchar *d, qint64 available)
{
    if (available < kPageHeader || std::memcmp(d, "OggS", 4) != 0 || d[4] != 0)
        return std::nullopt;
    const int segments = d[26];
    if (available < kPageHeader + segments)
        return std::nullopt;
    Page page;
    page.flags = d[5];
    page.granule = qFromLittleEndian<qint64>(d + 6);
    page.serial = qFromLittleEndian<quint32>(d + 14);
    page.lacing.assign(d + kPageHeader, d + kPageHeader + segments);
    qint64 bodySize = 0;
    for (const quint8 l : page.lacing)
        bodySize += l;
    page.size = kPageHeader + segments + bodySize;
    if (available < page.size)
        return std::nullopt;
    page.body = d + kPageHeader + segments;
    quint32 crc = 0;
    for (qint64 i = 0; i < page.size; ++i) {
        const quint8 byte = (i >= 22 && i < 26) ? 0 : d[i];
        crc = (crc << 8) ^ crcTable()[((crc >> 24) ^ byte) & 0xFF];
    }
    if (crc != qFromLittleEndian<quint32>(d + 22))
        return std::nullopt;
    return page;
}

// Whether what starts at d[0] may be a page that goes on past the bytes read.
bool pageCutShort(const uchar *d, qint64 available)
{
    if (available < kPageHeader)
        return available < 4 || std::memcmp(d, "OggS", 4) == 0;
    if (std::memcmp(d, "OggS", 4) != 0)
        return false;
    const int segments = d[26];
    if (available < kPageHeader + segments)
        return true;
    qint64 bodySize = 0;
    for (int i = 0; i < segments; ++i)
        bodySize += d[kPageHeader + i];
    return available < kPageHeader + segments + bodySize;
}

// The packets of a page: the bytes of each and whether it ends there.
struct Piece {
    QByteArray bytes;
    bool ends = false;
};

std::vector<Piece> pieces(const Page &page)
{
    std::vector<Piece> all;
    qint64 at = 0;
    Piece current;
    for (const quint8 l : page.lacing) {
        current.bytes.append(reinterpret_cast<const char *>(page.body + at), l);
        at += l;
        if (l < 255) {
            current.ends = true;
            all.push_back(std::move(current));
            current = Piece();
        }
    }
    if (!current.bytes.isEmpty() || (!page.lacing.empty() && page.lacing.back() == 255))
        all.push_back(std::move(current));
    return all;
}

struct Identification {
    int channels = 0;
    int sampleRate = 0;
};

// The identification header as the demuxer and the decoder check it.
std::optional<Identification> readIdentification(const QByteArray &p)
{
    if (p.size() != 30 || !p.startsWith("\x01vorbis"))
        return std::nullopt;
    const auto *d = reinterpret_cast<const uchar *>(p.constData());
    if (qFromLittleEndian<quint32>(d + 7) != 0)
        return std::nullopt;
    const int channels = d[11];
    const qint32 rate = qFromLittleEndian<qint32>(d + 12);
    const int bs0 = d[28] & 15;
    const int bs1 = d[28] >> 4;
    if (channels < 1 || rate <= 0 || bs0 > bs1 || bs0 < 6 || bs1 > 13 || d[29] != 1)
        return std::nullopt;
    return Identification{channels, rate};
}

// The comments as the demuxer files them: keys in capitals, a repeated key's
// values joined by ";", then the names it gives a few of them. Nothing for a
// header it would read otherwise (cut short, or holding pictures or
// chapters, which become streams and chapters of their own).
std::optional<AudioTags> readComments(const QByteArray &packet)
{
    if (packet.size() <= 8 || !packet.startsWith("\x03vorbis"))
        return std::nullopt;
    const auto *p = reinterpret_cast<const uchar *>(packet.constData()) + 7;
    // The last byte is the framing bit, which the demuxer leaves out.
    const uchar *end = reinterpret_cast<const uchar *>(packet.constData()) + packet.size() - 1;
    if (end - p < 8)
        return std::nullopt;
    const quint32 vendor = qFromLittleEndian<quint32>(p);
    p += 4;
    if (vendor > quint32(end - p - 4))
        return std::nullopt;
    p += vendor;
    quint32 count = qFromLittleEndian<quint32>(p);
    p += 4;
    AVDictionary *raw = nullptr;
    std::unique_ptr<AVDictionary, av::DictionaryDeleter> found;
    const auto keep = [&] { found.reset(raw); };
    for (; count > 0; --count) {
        if (end - p < 4) {
            keep();
            return std::nullopt;
        }
        const quint32 length = qFromLittleEndian<quint32>(p);
        p += 4;
        if (length > quint32(end - p)) {
            keep();
            return std::nullopt;
        }
        const QByteArray entry(reinterpret_cast<const char *>(p), qsizetype(length));
        p += length;
        const qsizetype eq = entry.indexOf('=');
        if (eq <= 0 || eq == entry.size() - 1)
            continue;
        const QByteArray key = entry.left(eq).toUpper();
        if (key == "METADATA_BLOCK_PICTURE" || key.startsWith("CHAPTER")) {
            keep();
            return std::nullopt;
        }
        const QByteArray value = entry.mid(eq + 1);
        if (av_dict_get(raw, key.constData(), nullptr, 0))
            av_dict_set(&raw, key.constData(), ";", AV_DICT_APPEND);
        av_dict_set(&raw, key.constData(), value.constData(), AV_DICT_APPEND);
    }
    // Bytes after the last comment (padding left for later edits) are
    // passed over, as the demuxer passes them over.
    keep();
    // Renamed in the order the entries stand, a later one replacing an
    // earlier one of the same new name.
    static const std::array<std::pair<const char *, const char *>, 4> renamed = {{
        {"ALBUMARTIST", "album_artist"},
        {"TRACKNUMBER", "track"},
        {"DISCNUMBER", "disc"},
        {"DESCRIPTION", "comment"},
    }};
    AVDictionary *converted = nullptr;
    const AVDictionaryEntry *e = nullptr;
    while ((e = av_dict_get(found.get(), "", e, AV_DICT_IGNORE_SUFFIX))) {
        const char *key = e->key;
        for (const auto &[native, generic] : renamed) {
            if (av_strcasecmp(key, native) == 0) {
                key = generic;
                break;
            }
        }
        av_dict_set(&converted, key, e->value, 0);
    }
    const std::unique_ptr<AVDictionary, av::DictionaryDeleter> metadata(converted);
    return AudioDecoder::tagsFrom([&metadata](const char *const *keys) {
        for (const char *const *key = keys; *key; ++key) {
            if (const AVDictionaryEntry *v = av_dict_get(metadata.get(), *key, nullptr, 0))
                return QString::fromUtf8(v->value).trimmed();
        }
        return QString();
    });
}

// The three headers laced as the decoder takes them.
QByteArray extradata(const std::array<QByteArray, 3> &headers)
{
    QByteArray out(1, '\x02');
    for (int i = 0; i < 2; ++i) {
        qsizetype n = headers[i].size();
        for (; n >= 255; n -= 255)
            out.append('\xFF');
        out.append(char(n));
    }
    for (const QByteArray &h : headers)
        out.append(h);
    return out;
}

bool probesAsOgg(const QString &path, const QByteArray &start)
{
    QByteArray buffer = start.left(kProbeBytes);
    const int size = int(buffer.size());
    buffer.append(QByteArray(AVPROBE_PADDING_SIZE, '\0'));
    const QByteArray name = QFile::encodeName(path);
    AVProbeData probe{};
    probe.filename = name.constData();
    probe.buf = reinterpret_cast<unsigned char *>(buffer.data());
    probe.buf_size = size;
    int score = 0;
    const AVInputFormat *format = av_probe_input_format2(&probe, 1, &score);
    return format && std::strcmp(format->name, "ogg") == 0;
}

struct Head {
    Identification id;
    AudioTags tags;
    quint32 serial = 0;
    qint64 startSample = 0;
};

// The headers and the first audio page. The demuxer sets the stream's start
// from that page: its granule less what the packets ending on it last, as
// the packet parser counts them, and never below 0.
std::optional<Head> readHead(const QByteArray &bytes, bool *cutShort)
{
    const auto *d = reinterpret_cast<const uchar *>(bytes.constData());
    const qint64 size = bytes.size();
    std::array<QByteArray, 3> headers;
    int complete = 0;
    QByteArray partial;
    Head head;
    qint64 at = 0;
    for (int pageNo = 0;; ++pageNo) {
        const std::optional<Page> page = readPage(d + at, size - at);
        if (!page) {
            *cutShort = pageCutShort(d + at, size - at);
            return std::nullopt;
        }
        at += page->size;
        const bool first = pageNo == 0;
        if (first != bool(page->flags & kFirstPage) || (!first && page->serial != head.serial))
            return std::nullopt;
        if (first)
            head.serial = page->serial;
        std::vector<Piece> packets = pieces(*page);
        if (complete < 3) {
            if (bool(page->flags & kContinued) != !partial.isEmpty())
                return std::nullopt;
            for (Piece &piece : packets) {
                if (complete == 3)
                    return std::nullopt; // audio on a header page
                partial.append(piece.bytes);
                if (!piece.ends)
                    continue;
                headers[std::size_t(complete++)] = std::exchange(partial, QByteArray());
                if (complete == 1 && packets.size() != 1)
                    return std::nullopt;
            }
            if (complete < 3 || !partial.isEmpty())
                continue;
            const std::optional<Identification> id = readIdentification(headers[0]);
            std::optional<AudioTags> tags = readComments(headers[1]);
            if (!id || !tags || !headers[2].startsWith("\x05vorbis"))
                return std::nullopt;
            head.id = *id;
            head.tags = std::move(*tags);
            continue;
        }
        // The first audio page.
        if ((page->flags & (kContinued | kLastPage)) || page->granule < 0 || packets.empty() || !packets.front().ends)
            return std::nullopt;
        const QByteArray laced = extradata(headers);
        const VorbisParser parser(
            av_vorbis_parse_init(reinterpret_cast<const uint8_t *>(laced.constData()), int(laced.size())));
        if (!parser)
            return std::nullopt;
        qint64 counted = 0;
        for (const Piece &packet : packets) {
            if (!packet.ends)
                break;
            if (packet.bytes.isEmpty())
                return std::nullopt;
            int flags = 0;
            const int n = av_vorbis_parse_frame_flags(parser.get(), reinterpret_cast<const uint8_t *>(packet.bytes.constData()),
                                                      1, &flags);
            if (n < 0 || flags != 0)
                return std::nullopt;
            counted += n;
        }
        // A first page stamped 0 that holds audio is taken as starting at 0.
        head.startSample = page->granule == 0 ? 0 : qMax<qint64>(page->granule - counted, 0);
        return head;
    }
}

// The granule of the last page that carries one, reading the pages of the
// file's end one after another from the first page start found in it, as
// the demuxer does. Nothing when anything there is not a whole page of the
// stream.
std::optional<qint64> lastGranule(const QByteArray &tail, bool fromFileStart, quint32 serial)
{
    const auto *d = reinterpret_cast<const uchar *>(tail.constData());
    const qint64 size = tail.size();
    const qint64 first = tail.indexOf("OggS");
    if (first < 0)
        return std::nullopt;
    std::optional<qint64> last;
    for (qint64 at = first; at < size;) {
        if (tail.indexOf("OggS", at) < 0)
            break; // what follows the last page holds no page start
        const std::optional<Page> page = readPage(d + at, size - at);
        if (!page || page->serial != serial || ((page->flags & kFirstPage) && !(fromFileStart && at == 0)))
            return std::nullopt;
        if (page->granule != -1 && page->granule != 0)
            last = page->granule;
        at += page->size;
    }
    return last;
}

} // namespace

std::optional<Description> plainVorbis(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    const qint64 fileSize = file.size();
    QByteArray start = file.read(qMin(fileSize, kFirstRead));
    if (start.size() < kPageHeader || !start.startsWith("OggS") || !probesAsOgg(path, start))
        return std::nullopt;
    bool cutShort = false;
    std::optional<Head> head = readHead(start, &cutShort);
    if (!head && cutShort && start.size() < fileSize) {
        start += file.read(qMin(fileSize, kHeadBytes) - start.size());
        head = readHead(start, &cutShort);
    }
    if (!head)
        return std::nullopt;
    const qint64 tailStart = fileSize > kTailBytes ? fileSize - kTailBytes : 0;
    QByteArray tail;
    if (start.size() == fileSize)
        tail = start.mid(tailStart);
    else if (file.seek(tailStart))
        tail = file.read(fileSize - tailStart);
    if (tail.size() != fileSize - tailStart)
        return std::nullopt;
    const std::optional<qint64> last = lastGranule(tail, tailStart == 0, head->serial);
    if (!last || *last - head->startSample <= 0)
        return std::nullopt;

    Description description;
    description.facts.container = "ogg";
    description.facts.sampleRate = head->id.sampleRate;
    description.facts.channels = head->id.channels;
    description.facts.bitsPerSample = 16;
    description.facts.totalSamples = *last - head->startSample;
    description.tags = head->tags;
    return description;
}

} // namespace OggHeader
