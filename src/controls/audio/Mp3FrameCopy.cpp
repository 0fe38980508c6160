#include "controls/audio/Mp3FrameCopy.h"

#include "controls/audio/Mp3Encoder.h"
#include "platform/SafeWrite.h"

#include <lame/lame.h>

#include <QByteArrayView>
#include <QFile>

#include <fcntl.h>

#include <algorithm>
#include <array>

namespace {

using Mp3Frames::Header;

using Mp3Frames::kDecoderDelay;
// The widest delay and padding the LAME extension's 12-bit fields hold.
constexpr int kMaxDelay = 4095;
constexpr qint64 kChunk = 1 << 20;

// LAME's SSE code runs many times slower while the upper halves of the AVX
// registers hold what other code left there: making the tag blocks of one
// part took 10 ms instead of half of one, more than copying the part.
void clearUpperVectorHalves()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        asm volatile("vzeroupper");
#endif
}

// CRC-16 with LAME's polynomial (0x8005, bits reversed, starting at 0), as
// the LAME extension stores for the music and for the tag itself. The
// music runs to hundreds of megabytes in a long split, so eight bytes are
// taken a step, each through a table of its own.
quint16 crc16(quint16 crc, const uchar *data, qint64 size)
{
    static const auto tables = [] {
        std::array<std::array<quint16, 256>, 8> t{};
        for (int i = 0; i < 256; ++i) {
            quint16 v = quint16(i);
            for (int bit = 0; bit < 8; ++bit)
                v = (v & 1) ? quint16((v >> 1) ^ 0xA001) : quint16(v >> 1);
            t[0][size_t(i)] = v;
        }
        for (size_t k = 1; k < 8; ++k) {
            for (size_t i = 0; i < 256; ++i)
                t[k][i] = quint16((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xff]);
        }
        return t;
    }();
    qint64 i = 0;
    for (; i + 8 <= size; i += 8) {
        const uchar *p = data + i;
        crc = quint16(tables[7][(crc ^ p[0]) & 0xff] ^ tables[6][((crc >> 8) ^ p[1]) & 0xff] ^ tables[5][p[2]]
            ^ tables[4][p[3]] ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^ tables[0][p[7]]);
    }
    for (; i < size; ++i)
        crc = quint16((crc >> 8) ^ tables[0][(crc ^ data[i]) & 0xff]);
    return crc;
}

// The check a frame with protection carries after its header: CRC-16
// (polynomial 0x8005, from all ones, highest bit first) over the header's
// last two bytes and the side information.
quint16 frameCheck(const QByteArray &frame, int sideInfoBytes)
{
    quint16 crc = 0xFFFF;
    const auto feed = [&crc](uchar byte) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = ((crc >> 15) ^ (byte >> bit)) & 1;
            crc = quint16(crc << 1);
            if (top)
                crc ^= 0x8005;
        }
    };
    feed(uchar(frame[2]));
    feed(uchar(frame[3]));
    for (int i = 0; i < sideInfoBytes; ++i)
        feed(uchar(frame[6 + i]));
    return crc;
}

void putBigEndian(QByteArray &bytes, qsizetype at, quint32 value, int count)
{
    for (int i = count - 1; i >= 0; --i, value >>= 8)
        bytes[at + i] = char(value & 0xff);
}

} // namespace

bool Mp3FrameCopy::open(std::shared_ptr<const Mp3FrameWalk> walk, const Mp3EncoderSettings &settings)
{
    m_walk = std::move(walk);
    if (!m_walk || !m_walk->copyable)
        return false;
    const Header &h = m_walk->header;
    const int channels = h.mono ? 1 : 2;
    const auto [rate, outChannels] = Mp3Encoder::outputLayout(settings, h.sampleRate, channels);
    const int bitrate = settings.Bitrate > 0 ? settings.Bitrate : 128;
    // The Info frame is written whatever the settings say of it: without it
    // no decoder could tell where the range starts and ends.
    return settings.VBRMode == vbr_off && rate == h.sampleRate && outChannels == channels && bitrate == h.kbps
        && fitInfoFrame();
}

// The first frame whose main data the decode of frame k draws on: its bit
// reservoir reaches back main_data_begin bytes over the main data of the
// frames before it. -1 when it reaches before the first frame.
qint64 Mp3FrameCopy::reservoirStart(qint64 k) const
{
    qint64 back = m_walk->mainDataBegin[size_t(k)];
    while (back > 0) {
        if (--k < 0)
            return -1;
        back -= m_walk->mainDataBytes(k);
    }
    return k;
}

// Finds the header of the Info frame: the stream's own, or the lowest
// bitrate above it whose frame holds the whole tag.
bool Mp3FrameCopy::fitInfoFrame()
{
    for (int index = m_walk->header.bitrateIndex; index < 15; ++index) {
        QByteArray bytes = m_walk->firstHeader;
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
    const Mp3FrameWalk &w = *m_walk;
    const qint64 samples = w.header.samples;
    const qint64 total = w.decodeEnd - w.decodeStart;
    if (end < 0 || end > total)
        end = total;
    if (first < 0 || first >= end)
        return false;
    // In samples of the frames' whole decode.
    const qint64 from = first + w.decodeStart;
    const qint64 to = end + w.decodeStart;
    const qint64 target = from / samples;
    m_lastFrame = (to - 1) / samples;
    // A frame's samples come from its own granules and the two before,
    // through the transform's overlap and the synthesis filter's memory: a
    // frame back in MPEG-1 (two granules a frame), two in MPEG-2. Those
    // frames must decode exactly, so the copy starts where the bit
    // reservoir of the first of them begins.
    const qint64 exact = target - (w.header.version == 3 ? 1 : 2);
    m_firstFrame = exact <= 0 ? 0 : std::max<qint64>(0, reservoirStart(exact));
    // The frames before that one only fill the reservoir and the overlap,
    // and gapless decoders drop their samples. Those whose main data starts
    // before the copy's first byte cannot be decoded from the copy, and a
    // decoder that plays every frame makes noise of them: they are
    // silenced. Their main data stays, for the frames after them.
    qint64 silenced = 0;
    for (qint64 k = m_firstFrame, held = 0; k < exact && w.mainDataBegin[size_t(k)] > held; ++k) {
        ++silenced;
        held += w.mainDataBytes(k);
    }
    // A decoder's reservoir holds what the frame before reached back to and
    // that frame's main data, not all it was given: each silenced frame
    // still reaches back as far as the frames after it need, the first one
    // nowhere.
    m_silencedBegins.assign(size_t(silenced), 0);
    for (qint64 i = silenced - 1, reach = w.mainDataBegin[size_t(m_firstFrame + silenced)]; i >= 0; --i) {
        reach = std::max<qint64>(0, reach - w.mainDataBytes(m_firstFrame + i));
        m_silencedBegins[size_t(i)] = quint16(reach);
    }
    qint64 skip = from - m_firstFrame * samples;
    // A decoder always drops its own delay: a range that starts sooner gets
    // a silent frame ahead, which leaves the decoder as fresh as it found
    // it, provided the first frame draws on no reservoir.
    m_silence = skip < kDecoderDelay;
    if (m_silence) {
        if (m_firstFrame != 0 || w.mainDataBegin.front() != 0)
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
    QByteArray bytes = m_walk->firstHeader;
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
    const QByteArray &extension = m_walk->extension;
    if (!extension.isEmpty()) {
        // The frames are the source encoder's: so is its name, and the
        // settings it noted. Peak and gains were of the whole source.
        version = extension.left(9);
        frame[e + 10] = extension[10];
        frame[e + 19] = extension[19];
        frame[e + 24] = extension[24];
        frame[e + 26] = extension[26];
        frame[e + 27] = extension[27];
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
    frame[e + 20] = char(std::min(255, m_walk->header.kbps));
    putBigEndian(frame, e + 21, quint32(m_delay) << 12 | quint32(m_padding), 3);
    putBigEndian(frame, e + 28, streamBytes, 4);
    putBigEndian(frame, e + 32, audioCrc, 2);
    putBigEndian(frame, e + 34, crc16(0, reinterpret_cast<const uchar *>(frame.constData()), e + 34), 2);
    return frame;
}

void Mp3FrameCopy::silence(QByteArray &frame, int mainDataBegin) const
{
    // No spectrum in any granule: the side information all zero but for
    // where the main data begins. The header's check covers it, so the
    // check is made anew.
    const Header &h = m_walk->header;
    const int side = 4 + (h.crc ? 2 : 0);
    std::fill(frame.begin() + side, frame.begin() + side + h.sideInfoBytes(), '\0');
    // Nine bits in MPEG-1, eight in MPEG-2.
    if (h.version == 3) {
        frame[side] = char(mainDataBegin >> 1);
        frame[side + 1] = char((mainDataBegin & 1) << 7);
    } else {
        frame[side] = char(mainDataBegin);
    }
    if (h.crc)
        putBigEndian(frame, 4, frameCheck(frame, h.sideInfoBytes()), 2);
}

Mp3FrameCopy::Result Mp3FrameCopy::write(const QString &path, const AudioTags &tags,
    const std::atomic<bool> &abort, const Progress &progress, QString *error)
{
    const Mp3FrameWalk &w = *m_walk;
    QFile in(w.path);
    QFile out(path);
    QString writeFailure;
    const auto failed = [&] {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, writeFailure.isEmpty() ? out.errorString() : writeFailure);
        return Result::Failed;
    };
    // Whole or not at all, with the system's reason when not.
    const auto put = [&](const QByteArray &bytes) {
        writeFailure = SafeWrite::write(out, bytes);
        return writeFailure.isEmpty();
    };
    const auto unreadable = [&] {
        *error = QStringLiteral("Cannot read %1: %2").arg(w.path, in.errorString());
        return Result::SourceFailed;
    };
    QByteArray id3v2;
    QByteArray id3v1;
    clearUpperVectorHalves();
    if (!Mp3Encoder::tagBlocks(tags, &id3v2, &id3v1)) {
        *error = QStringLiteral("Cannot start the MP3 encoder.");
        return Result::Failed;
    }
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return unreadable();
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return failed();
    // The Info frame is filled in last, once the music's check is known.
    if (!put(id3v2) || !put(QByteArray(m_infoBytes, '\0')))
        return failed();
    quint16 crc = 0;
    qint64 audioBytes = 0;
    if (m_silence) {
        const QByteArray blank = silentFrame();
        if (!put(blank))
            return failed();
        crc = crc16(crc, reinterpret_cast<const uchar *>(blank.constData()), blank.size());
        audioBytes += blank.size();
    }
    const qint64 begin = w.frames[size_t(m_firstFrame)];
    const qint64 end = w.frames[size_t(m_lastFrame + 1)];
    const qint64 silencedEnd = w.frames[size_t(m_firstFrame) + m_silencedBegins.size()];
    QByteArray piece;
    qint64 k = m_firstFrame; // the next frame whose header is looked at
    int lastPercent = -1;
    for (qint64 pos = begin; pos < end;) {
        if (abort)
            return Result::Aborted;
        // The frames to silence one by one, then pieces of many frames.
        const bool silencing = pos < silencedEnd;
        const size_t silenced = size_t(k - m_firstFrame);
        const qint64 n = silencing ? w.frames[size_t(k + 1)] - pos : std::min(kChunk, end - pos);
        piece.resize(n);
        if (!in.seek(pos) || in.read(piece.data(), n) != n)
            return unreadable();
        const auto *bytes = reinterpret_cast<const uchar *>(piece.constData());
        // Every frame is still where the walk found it: a source changed
        // since would give a part of damaged frames. A header split between
        // two pieces goes unread.
        for (; k <= m_lastFrame && w.frames[size_t(k)] + 4 <= pos + n; ++k) {
            const qint64 at = w.frames[size_t(k)] - pos;
            if (at < 0)
                continue;
            const auto h = Mp3Frames::parseHeader(bytes + at);
            if (!h || !w.header.sameStream(*h) || h->bitrateIndex != w.header.bitrateIndex) {
                *error = QStringLiteral("%1 changed while it was read.").arg(w.path);
                return Result::SourceFailed;
            }
        }
        if (silencing)
            silence(piece, m_silencedBegins[silenced]);
        if (!put(piece))
            return failed();
        // The finished part is synced before it takes its name: its pieces
        // go to the disc as they are written, not all at that moment.
        if (!silencing)
            ::sync_file_range(out.handle(), out.pos() - n, n, SYNC_FILE_RANGE_WRITE);
        crc = crc16(crc, reinterpret_cast<const uchar *>(piece.constData()), n);
        pos += n;
        const int percent = int((pos - begin) * 100 / (end - begin));
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            progress(percent);
        }
    }
    audioBytes += end - begin;
    if (!put(id3v1) || !out.seek(id3v2.size()))
        return failed();
    const QByteArray info = infoFrame(quint32(audioBytes), crc);
    if (!put(info) || !out.flush())
        return failed();
    out.close();
    if (out.error() != QFileDevice::NoError)
        return failed();
    return Result::Done;
}
