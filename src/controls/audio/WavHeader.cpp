#include "controls/audio/WavHeader.h"

#include "controls/audio/FfmpegHandles.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <array>
#include <cstring>

namespace WavHeader {

namespace {

constexpr quint16 kFormatPcm = 0x0001;
constexpr quint16 kFormatFloat = 0x0003;
constexpr quint16 kFormatExtensible = 0xFFFE;
// The tail that every WAVEFORMATEX-derived subformat GUID shares after its
// first four bytes, which hold the format tag.
constexpr std::array<unsigned char, 12> kSubformatTail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                                          0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// The demuxer reads this much of the data to look for S/PDIF bursts in PCM.
constexpr qint64 kSpdifWindow = 1 << 16;
// The first probe of the container format looks at this much of the file.
constexpr qint64 kProbeBytes = 2048;
// A header is a handful of chunks; more means something odd.
constexpr int kMaxChunks = 4096;

quint16 u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 u32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

quint64 u64(const char *p)
{
    return qFromLittleEndian<quint64>(p);
}

bool tagIs(const char *p, const char (&tag)[5])
{
    return std::memcmp(p, tag, 4) == 0;
}

struct Format {
    int channels = 0;
    int sampleRate = 0;
    int bits = 0;
};

// The fmt chunk of integer or float samples in whole bytes, laid out the way
// the stream's codec reads them; anything else is left to the full probe.
std::optional<Format> readFormat(const QByteArray &chunk)
{
    if (chunk.size() < 16)
        return std::nullopt;
    const char *p = chunk.constData();
    quint16 tag = u16(p);
    const int channels = u16(p + 2);
    const quint32 rate = u32(p + 4);
    const quint32 byteRate = u32(p + 8);
    const int blockAlign = u16(p + 12);
    const int bits = u16(p + 14);
    const int cbSize = chunk.size() >= 18 ? u16(p + 16) : 0;
    if (tag == kFormatExtensible) {
        if (chunk.size() < 40 || cbSize < 22)
            return std::nullopt;
        const int validBits = u16(p + 18);
        const quint32 mask = u32(p + 20);
        const char *guid = p + 24;
        if (std::memcmp(guid + 4, kSubformatTail.data(), kSubformatTail.size()) != 0)
            return std::nullopt;
        tag = quint16(u32(guid));
        // The codec is picked by the valid bits, so they must fill the container.
        if (validBits != 0 && validBits != bits)
            return std::nullopt;
        if (mask != 0 && qPopulationCount(mask) != uint(channels))
            return std::nullopt;
    } else if (cbSize != 0) {
        // Extra format bytes can turn 32-bit integers into half floats.
        return std::nullopt;
    }
    const bool integer = tag == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool floating = tag == kFormatFloat && (bits == 32 || bits == 64);
    if (!integer && !floating)
        return std::nullopt;
    if (channels < 1 || channels > 64 || rate < 1 || rate > 1'000'000)
        return std::nullopt;
    // The demuxer times a stream of unknown length by the byte rate field.
    if (blockAlign != channels * bits / 8 || byteRate != rate * quint32(blockAlign))
        return std::nullopt;
    return Format{channels, int(rate), bits};
}

// S/PDIF bursts in a PCM stream make the demuxer report the coded audio
// inside, so even a chance match of their sync words goes to the full probe.
bool mayHoldSpdif(QFile &file, qint64 dataOffset)
{
    if (!file.seek(dataOffset))
        return true;
    const QByteArray bytes = file.read(kSpdifWindow);
    // memmem: this scan runs for every WAV of a list, and it finds a short
    // needle in 64 KiB several times faster than QByteArray::contains.
    const auto holds = [&bytes](const char (&sync)[5]) {
        return memmem(bytes.constData(), size_t(bytes.size()), sync, 4) != nullptr;
    };
    return holds("\x72\xF8\x1F\x4E") || holds("\xF8\x72\x4E\x1F");
}

// Whether the library's own format probe, run on the same bytes as when it
// opens the file, picks its WAV demuxer.
bool probesAsWav(const QString &path, const QByteArray &start)
{
    QByteArray buffer = start;
    const int size = int(buffer.size());
    buffer.append(QByteArray(AVPROBE_PADDING_SIZE, '\0'));
    const QByteArray name = QFile::encodeName(path);
    AVProbeData probe{};
    probe.filename = name.constData();
    probe.buf = reinterpret_cast<unsigned char *>(buffer.data());
    probe.buf_size = size;
    int score = 0;
    const AVInputFormat *format = av_probe_input_format2(&probe, 1, &score);
    return format && std::strcmp(format->name, "wav") == 0;
}

} // namespace

std::optional<AudioFacts> plainPcmFacts(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    const qint64 fileSize = file.size();
    const QByteArray start = file.read(kProbeBytes);
    if (start.size() < 12 || !tagIs(start.constData() + 8, "WAVE"))
        return std::nullopt;
    const bool rf64 = tagIs(start.constData(), "RF64");
    if (!rf64 && !tagIs(start.constData(), "RIFF"))
        return std::nullopt;
    if (!probesAsWav(path, start))
        return std::nullopt;

    qint64 pos = 12;
    qint64 rf64DataSize = -1;
    if (rf64) {
        if (start.size() < 44 || !tagIs(start.constData() + 12, "ds64"))
            return std::nullopt;
        const quint32 size = u32(start.constData() + 16);
        const quint64 dataSize = u64(start.constData() + 28);
        if (size < 24 || dataSize > quint64(INT64_MAX >> 3))
            return std::nullopt;
        rf64DataSize = qint64(dataSize);
        pos = 20 + qint64(size);
    }

    std::optional<Format> format;
    qint64 dataOffset = -1;
    qint64 dataSize = 0;
    qint64 dataEnd = 0;
    bool sawFact = false;
    for (int chunks = 0;; ++chunks) {
        if (chunks == kMaxChunks || !file.seek(pos))
            return std::nullopt;
        char header[8];
        if (file.read(header, 8) != 8)
            break; // the demuxer stops at the end of the file too
        const quint32 size = u32(header + 4);
        const qint64 body = pos + 8;
        qint64 next = body + size;
        if (tagIs(header, "fmt ")) {
            if (!format) {
                format = readFormat(file.read(qMin<qint64>(size, 64)));
                if (!format)
                    return std::nullopt;
            }
        } else if (tagIs(header, "data")) {
            // Which data chunk plays, and from what, takes the full probe to tell.
            if (dataOffset >= 0 || !format)
                return std::nullopt;
            dataOffset = body;
            if (rf64) {
                dataSize = rf64DataSize;
                next = dataEnd = body + rf64DataSize;
            } else if (size == 0 || size == 0xFFFFFFFFu) {
                // A streaming header: the data runs to the end of the file,
                // and the demuxer reads no chunk after it.
                dataSize = 0;
                dataEnd = INT64_MAX;
                break;
            } else {
                dataSize = size;
                dataEnd = next;
            }
        } else if (tagIs(header, "fact")) {
            sawFact = true;
        } else if (tagIs(header, "LIST")) {
            if (size < 4)
                return std::nullopt;
        } else if (tagIs(header, "bext") || tagIs(header, "SMV0") || tagIs(header, "XMA2")) {
            // Chunks that can fail the open or add streams of their own.
            return std::nullopt;
        }
        if (next >= fileSize)
            break;
        pos = next + (next & 1);
    }
    if (!format || dataOffset < 0)
        return std::nullopt;

    const qint64 blockAlign = qint64(format->channels) * format->bits / 8;
    qint64 samples = 0;
    if (dataSize > 0 && dataEnd <= fileSize) {
        samples = dataSize / blockAlign;
    } else {
        // The demuxer does not know the length; the stream probe then takes
        // what follows the header at the byte rate, rounded to the nearest.
        // A count it would take from a fact or ds64 chunk instead is not ours.
        if (sawFact || rf64)
            return std::nullopt;
        const qint64 remaining = fileSize - dataOffset;
        if (remaining <= 0)
            return std::nullopt;
        samples = av_rescale(remaining, 8LL * format->sampleRate, 8LL * format->sampleRate * blockAlign);
    }
    if (samples <= 0)
        return std::nullopt;
    if (mayHoldSpdif(file, dataOffset))
        return std::nullopt;

    AudioFacts facts;
    facts.container = "wav";
    facts.sampleRate = format->sampleRate;
    facts.channels = format->channels;
    facts.bitsPerSample = format->bits;
    facts.totalSamples = samples;
    return facts;
}

} // namespace WavHeader
