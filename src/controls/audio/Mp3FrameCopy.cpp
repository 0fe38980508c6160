#include "controls/audio/Mp3FrameCopy.h"

#include "controls/audio/Mp3Encoder.h"

#include <lame/lame.h>

#include <QByteArrayView>

#include <algorithm>
#include <array>

namespace {

using Mp3Frames::Header;

// What a gapless decoder drops besides the encoder delay the LAME extension
// names: the delay of its own synthesis filter bank.
constexpr int kDecoderDelay = 529;
// The widest delay and padding the LAME extension's 12-bit fields hold.
constexpr int kMaxDelay = 4095;
constexpr qint64 kChunk = 1 << 20;

// CRC-16 with LAME's polynomial (0x8005, bits reversed, starting at 0), as
// the LAME extension stores for the music and for the tag itself.
quint16 crc16(quint16 crc, const uchar *data, qint64 size)
{
    static const auto table = [] {
        std::array<quint16, 256> t{};
        for (int i = 0; i < 256; ++i) {
            quint16 v = quint16(i);
            for (int bit = 0; bit < 8; ++bit)
                v = (v & 1) ? quint16((v >> 1) ^ 0xA001) : quint16(v >> 1);
            t[size_t(i)] = v;
        }
        return t;
    }();
    for (qint64 i = 0; i < size; ++i)
        crc = quint16((crc >> 8) ^ table[(crc ^ data[i]) & 0xff]);
    return crc;
}

void putBigEndian(QByteArray &bytes, qsizetype at, quint32 value, int count)
{
    for (int i = count - 1; i >= 0; --i, value >>= 8)
        bytes[at + i] = char(value & 0xff);
}

} // namespace

bool Mp3FrameCopy::open(const QString &path, const Mp3EncoderSettings &settings)
{
    using namespace Mp3Frames;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly) || m_file.size() < 4)
        return false;
    const qint64 size = m_file.size();
    m_data = m_file.map(0, size);
    if (!m_data)
        return false;
    qint64 pos = afterId3v2(m_data, size);
    const qint64 end = beforeEndTags(m_data, size, pos);
    pos = findFrame(m_data, pos, end, nullptr);
    if (pos < 0)
        return false;
    const Header first = *parseHeader(m_data + pos);
    const TagFrame tag = readTagFrame(m_data + pos, first);
    // A tag frame without LAME's extension leaves the decoder's trimming
    // unknown: only LAME-counted and untagged streams are copied.
    if (tag.kind == TagFrame::NoCount)
        return false;
    if (tag.kind == TagFrame::Counted) {
        m_extension = QByteArray(reinterpret_cast<const char *>(tag.extension), kLameExtensionBytes);
        pos += first.bytes;
    }
    if (pos + 4 > end)
        return false;
    const auto audio = parseHeader(m_data + pos);
    if (!audio || audio->layer != 3 || audio->version == 0)
        return false;
    m_header = *audio;
    // Every frame alike and in one piece, back to back up to the end tags:
    // anything else is left to the decoder, which knows how to resync.
    m_frames.clear();
    m_frames.reserve(size_t((end - pos) / m_header.bytes + 2));
    while (pos < end) {
        if (pos + 4 > end)
            return false;
        const auto h = parseHeader(m_data + pos);
        if (!h || !m_header.sameStream(*h) || h->bitrateIndex != m_header.bitrateIndex || h->mono != m_header.mono
            || pos + h->bytes > end)
            return false;
        m_frames.push_back(pos);
        pos += h->bytes;
    }
    const qint64 count = qint64(m_frames.size());
    m_frames.push_back(pos);
    const qint64 raw = count * m_header.samples;
    if (tag.kind == TagFrame::Counted) {
        if (tag.frames != count)
            return false;
        m_decodeStart = tag.delay + kDecoderDelay;
        m_decodeEnd = std::min(raw, raw - tag.padding + kDecoderDelay);
    } else {
        m_decodeStart = 0;
        m_decodeEnd = raw;
    }
    if (m_decodeEnd <= m_decodeStart)
        return false;

    const int channels = m_header.mono ? 1 : 2;
    const auto [rate, outChannels] = Mp3Encoder::outputLayout(settings, m_header.sampleRate, channels);
    const int bitrate = settings.Bitrate > 0 ? settings.Bitrate : 128;
    // The Info frame is written whatever the settings say of it: without it
    // no decoder could tell where the range starts and ends.
    return settings.VBRMode == vbr_off && rate == m_header.sampleRate
        && outChannels == channels && bitrate == m_header.kbps && fitInfoFrame();
}

Header Mp3FrameCopy::header(qint64 k) const
{
    return *Mp3Frames::parseHeader(m_data + m_frames[size_t(k)]);
}

qint64 Mp3FrameCopy::mainDataBytes(qint64 k) const
{
    const Header h = header(k);
    return h.bytes - h.mainDataOffset();
}

int Mp3FrameCopy::mainDataBegin(qint64 k) const
{
    const Header h = header(k);
    const uchar *side = m_data + m_frames[size_t(k)] + 4 + (h.crc ? 2 : 0);
    // Nine bits in MPEG-1, eight in MPEG-2.
    return h.version == 3 ? (side[0] << 1 | side[1] >> 7) : side[0];
}

// The first frame whose main data the decode of frame k draws on: its bit
// reservoir reaches back main_data_begin bytes over the main data of the
// frames before it. -1 when it reaches before the first frame.
qint64 Mp3FrameCopy::reservoirStart(qint64 k) const
{
    qint64 back = mainDataBegin(k);
    while (back > 0) {
        if (--k < 0)
            return -1;
        back -= mainDataBytes(k);
    }
    return k;
}

// Finds the header of the Info frame: the stream's own, or the lowest
// bitrate above it whose frame holds the whole tag.
bool Mp3FrameCopy::fitInfoFrame()
{
    const uchar *h = m_data + m_frames.front();
    for (int index = m_header.bitrateIndex; index < 15; ++index) {
        QByteArray bytes(reinterpret_cast<const char *>(h), 4);
        bytes[1] = char(bytes[1] | 0x01); // no check
        bytes[2] = char((index << 4) | (bytes[2] & 0x0C)); // no padding
        bytes[3] = char(bytes[3] & ~0x30); // no mode extension
        const auto info = Mp3Frames::parseHeader(reinterpret_cast<const uchar *>(bytes.constData()));
        if (info && info->bytes >= Mp3Frames::lameExtensionOffset(*info) + Mp3Frames::kLameExtensionBytes) {
            m_infoHeader = bytes;
            m_infoBytes = info->bytes;
            return true;
        }
    }
    return false;
}

bool Mp3FrameCopy::plan(qint64 first, qint64 end)
{
    const qint64 samples = m_header.samples;
    const qint64 total = m_decodeEnd - m_decodeStart;
    if (end < 0 || end > total)
        end = total;
    if (first < 0 || first >= end)
        return false;
    // In samples of the frames' whole decode.
    const qint64 from = first + m_decodeStart;
    const qint64 to = end + m_decodeStart;
    const qint64 target = from / samples;
    m_lastFrame = (to - 1) / samples;
    // A frame's samples come from its own granules and the two before,
    // through the transform's overlap and the synthesis filter's memory: a
    // frame back in MPEG-1 (two granules a frame), two in MPEG-2. Those
    // frames must decode exactly, so the copy starts where the bit
    // reservoir of the first of them begins.
    const qint64 exact = target - (m_header.version == 3 ? 1 : 2);
    m_firstFrame = exact <= 0 ? 0 : std::max<qint64>(0, reservoirStart(exact));
    qint64 skip = from - m_firstFrame * samples;
    // A decoder always drops its own delay: a range that starts sooner gets
    // a silent frame ahead, which leaves the decoder as fresh as it found
    // it, provided the first frame draws on no reservoir.
    m_silence = skip < kDecoderDelay;
    if (m_silence) {
        if (m_firstFrame != 0 || mainDataBegin(0) != 0)
            return false;
        skip += samples;
    }
    const qint64 frames = m_lastFrame - m_firstFrame + 1 + (m_silence ? 1 : 0);
    const qint64 decoded = to - m_firstFrame * samples + (m_silence ? samples : 0);
    m_delay = int(skip - kDecoderDelay);
    m_padding = int(frames * samples - decoded + kDecoderDelay);
    // FFmpeg marks the frame the padding starts in afresh, dropping what
    // is left of the delay there: the delay must end in an earlier frame.
    const bool delayEndsBefore = decoded % samples == 0 || skip <= decoded / samples * samples;
    return delayEndsBefore && m_delay <= kMaxDelay && m_padding <= kMaxDelay;
}

QByteArray Mp3FrameCopy::silentFrame() const
{
    // A zero side information codes no spectrum: the frame decodes to
    // silence and leaves the overlap and the filter bank at zero.
    QByteArray bytes(reinterpret_cast<const char *>(m_data + m_frames.front()), 4);
    bytes[1] = char(bytes[1] | 0x01);
    bytes[2] = char(bytes[2] & ~0x02);
    bytes[3] = char(bytes[3] & ~0x30);
    const auto h = Mp3Frames::parseHeader(reinterpret_cast<const uchar *>(bytes.constData()));
    bytes.resize(h->bytes, '\0');
    return bytes;
}

QByteArray Mp3FrameCopy::infoFrame(quint32 audioBytes, quint16 audioCrc) const
{
    using namespace Mp3Frames;
    const Header h = *parseHeader(reinterpret_cast<const uchar *>(m_infoHeader.constData()));
    QByteArray frame = m_infoHeader;
    frame.resize(m_infoBytes, '\0');
    const qsizetype x = xingOffset(h);
    const quint32 frames = quint32(m_lastFrame - m_firstFrame + 1 + (m_silence ? 1 : 0));
    const quint32 streamBytes = quint32(m_infoBytes) + audioBytes;
    frame.replace(x, 4, "Info");
    putBigEndian(frame, x + 4, 0x0F, 4); // frames, bytes, table of contents, quality
    putBigEndian(frame, x + 8, frames, 4);
    putBigEndian(frame, x + 12, streamBytes, 4);
    // At a constant bitrate the byte positions grow as the time does.
    for (int i = 0; i < 100; ++i)
        frame[x + 16 + i] = char(i * 256 / 100);
    const qsizetype e = lameExtensionOffset(h);
    QByteArray version;
    if (!m_extension.isEmpty()) {
        // The frames are the source encoder's: so is its name, and the
        // settings it noted. Peak and gains were of the whole source.
        version = m_extension.left(9);
        frame[e + 10] = m_extension[10];
        frame[e + 19] = m_extension[19];
        frame[e + 24] = m_extension[24];
        frame[e + 26] = m_extension[26];
        frame[e + 27] = m_extension[27];
    } else {
        version = QByteArray("LAME") + get_lame_short_version();
    }
    version.resize(9, ' ');
    frame.replace(e, 9, version);
    // LAME's own ATH type where the source names none: a zero here puts
    // "00 00 80" (with the bitrate byte) in the tag, which format probes
    // take for a video picture start in a file of a few frames.
    if (frame[e + 19] == 0)
        frame[e + 19] = 0x04;
    frame[e + 9] = 0x01; // revision 0, constant bitrate
    frame[e + 20] = char(std::min(255, m_header.kbps));
    putBigEndian(frame, e + 21, quint32(m_delay) << 12 | quint32(m_padding), 3);
    putBigEndian(frame, e + 28, streamBytes, 4);
    putBigEndian(frame, e + 32, audioCrc, 2);
    putBigEndian(frame, e + 34, crc16(0, reinterpret_cast<const uchar *>(frame.constData()), e + 34), 2);
    return frame;
}

Mp3FrameCopy::Result Mp3FrameCopy::write(const QString &path, const AudioTags &tags,
    const std::atomic<bool> &abort, const Progress &progress, QString *error)
{
    QFile out(path);
    const auto failed = [&] {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, out.errorString());
        return Result::Failed;
    };
    QByteArray id3v2;
    QByteArray id3v1;
    if (!Mp3Encoder::tagBlocks(tags, &id3v2, &id3v1)) {
        *error = QStringLiteral("Cannot start the MP3 encoder.");
        return Result::Failed;
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failed();
    // The Info frame is filled in last, once the music's check is known.
    if (out.write(id3v2) != id3v2.size() || out.write(QByteArray(m_infoBytes, '\0')) != m_infoBytes)
        return failed();
    quint16 crc = 0;
    qint64 audioBytes = 0;
    if (m_silence) {
        const QByteArray silence = silentFrame();
        if (out.write(silence) != silence.size())
            return failed();
        crc = crc16(crc, reinterpret_cast<const uchar *>(silence.constData()), silence.size());
        audioBytes += silence.size();
    }
    const qint64 begin = m_frames[size_t(m_firstFrame)];
    const qint64 end = m_frames[size_t(m_lastFrame + 1)];
    int lastPercent = -1;
    for (qint64 pos = begin; pos < end;) {
        if (abort)
            return Result::Aborted;
        const qint64 n = std::min(kChunk, end - pos);
        if (out.write(reinterpret_cast<const char *>(m_data + pos), n) != n)
            return failed();
        crc = crc16(crc, m_data + pos, n);
        pos += n;
        const int percent = int((pos - begin) * 100 / (end - begin));
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            progress(percent);
        }
    }
    audioBytes += end - begin;
    if (out.write(id3v1) != id3v1.size() || !out.seek(id3v2.size()))
        return failed();
    const QByteArray info = infoFrame(quint32(audioBytes), crc);
    if (out.write(info) != info.size() || !out.flush())
        return failed();
    out.close();
    if (out.error() != QFileDevice::NoError)
        return failed();
    return Result::Done;
}
