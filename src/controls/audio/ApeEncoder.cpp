#include "controls/audio/ApeEncoder.h"

#include "platform/SafeWrite.h"

#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint32_t kDescriptorSize = 52;
constexpr std::uint32_t kHeaderSize = 24;
// Header format flags: 8-bit or 24-bit samples; no WAV header stored (a
// reader makes one up).
constexpr std::uint16_t kFlag8Bit = 1;
constexpr std::uint16_t kFlag24Bit = 8;
constexpr std::uint16_t kFlagCreateWavHeader = 32;

void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

QByteArray tagHeader(quint32 size, quint32 items, bool isHeader)
{
    // Flags: the tag has a header (bit 31); this block is it (bit 29).
    QByteArray out("APETAGEX");
    put32(out, 2000);
    put32(out, size);
    put32(out, items);
    put32(out, isHeader ? 0xA0000000u : 0x80000000u);
    out.append(8, '\0');
    return out;
}

} // namespace

QByteArray apeV2Tag(const AudioTags &tags)
{
    const std::pair<const char *, const QString *> fields[] = {{"Title", &tags.title}, {"Artist", &tags.artist},
        {"Album", &tags.album}, {"Year", &tags.year}, {"Track", &tags.track}, {"Genre", &tags.genre},
        {"Comment", &tags.comment}};
    QByteArray items;
    quint32 count = 0;
    for (const auto &[key, value] : fields) {
        if (value->isEmpty())
            continue;
        const QByteArray text = value->toUtf8();
        put32(items, quint32(text.size()));
        put32(items, 0); // UTF-8 text
        items.append(key);
        items.append('\0');
        items.append(text);
        ++count;
    }
    if (!count)
        return {};
    const quint32 size = quint32(items.size()) + 32;
    return tagHeader(size, count, true) + items + tagHeader(size, count, false);
}

ApeEncoder::ApeEncoder(std::int32_t level)
    : m_level(level)
    , m_crcTable(av_crc_get_table(AV_CRC_32_IEEE_LE))
{
}

ApeEncoder::~ApeEncoder() = default;

QString ApeEncoder::writeError(const QString &reason) const
{
    return QStringLiteral("Cannot write %1: %2").arg(m_path, reason);
}

bool ApeEncoder::open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error)
{
    m_path = path;
    if (m_level < 0 || m_level > 4) {
        *error = QStringLiteral("The APE compression level %1 cannot be written.").arg(m_level);
        return false;
    }
    const bool eightBit = source.format == AV_SAMPLE_FMT_U8 || source.format == AV_SAMPLE_FMT_U8P;
    // Integer samples wider than 16 bits (24-bit and 32-bit PCM, 24-bit
    // FLAC) come as 32-bit ones; float samples are a lossy decoder's, kept
    // at 16 bits as before.
    const bool wide = source.format == AV_SAMPLE_FMT_S32 || source.format == AV_SAMPLE_FMT_S32P;
    m_bits = eightBit ? 8 : wide ? 24 : 16;
    m_sourceChannels = source.channels;
    m_lowBitsDropped = false;
    m_spec = PcmSpec{source.sampleRate, std::clamp(source.channels, 1, 2),
        eightBit ? AV_SAMPLE_FMT_U8 : wide ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16};
    if (m_spec.sampleRate <= 0) {
        *error = QStringLiteral("The sample rate of the source cannot be written to %1.").arg(path);
        return false;
    }
    m_tags = tags;
    m_coder = std::make_unique<ape::FrameCoder>((m_level + 1) * 1000, m_spec.channels, m_bits);
    for (auto &channel : m_samples) {
        channel.clear();
        channel.reserve(ape::kBlocksPerFrame);
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = writeError(m_file.errorString());
        return false;
    }
    // Beside the file (same disk), under a short name whatever its length.
    m_frames.setFileTemplate(QFileInfo(path).absolutePath() + QStringLiteral("/.ape-frames-XXXXXX"));
    if (!m_frames.open()) {
        *error = writeError(m_frames.errorString());
        return false;
    }
    return true;
}

bool ApeEncoder::write(const std::uint8_t *const *data, int frames, QString *error)
{
    const int channels = m_spec.channels;
    // 24-bit samples come in 32 bits, the value in the top three bytes.
    const int bytesPerSample = m_bits == 24 ? 4 : m_bits / 8;
    const std::uint8_t *in = data[0];
    int done = 0;
    while (done < frames) {
        const int room = int(ape::kBlocksPerFrame - m_samples[0].size());
        const int take = std::min(room, frames - done);
        const std::uint8_t *chunk = in + std::size_t(done) * std::size_t(channels * bytesPerSample);
        const std::size_t values = std::size_t(take) * std::size_t(channels);
        if (m_bits == 24) {
            // The frame's CRC runs over its PCM exactly as a WAV stores it:
            // three bytes a sample.
            m_stored.resize(values * 3);
            for (std::size_t v = 0; v < values; ++v) {
                const std::uint8_t *s = chunk + v * 4;
                // A mix of more channels has low bits of its own, no loss.
                m_lowBitsDropped = m_lowBitsDropped || (s[0] != 0 && m_sourceChannels <= channels);
                std::copy(s + 1, s + 4, m_stored.begin() + std::ptrdiff_t(v * 3));
                m_samples[v % std::size_t(channels)].push_back(qFromLittleEndian<qint32>(s) >> 8);
            }
            m_crc = av_crc(m_crcTable, m_crc, m_stored.data(), m_stored.size());
        } else {
            m_crc = av_crc(m_crcTable, m_crc, chunk, values * std::size_t(bytesPerSample));
            for (std::size_t v = 0; v < values; ++v) {
                const std::uint8_t *s = chunk + v * std::size_t(bytesPerSample);
                m_samples[v % std::size_t(channels)].push_back(
                    m_bits == 8 ? std::int32_t(s[0]) - 128 : qFromLittleEndian<qint16>(s));
            }
        }
        done += take;
        if (m_samples[0].size() == ape::kBlocksPerFrame && !flushFrame(error))
            return false;
    }
    return true;
}

bool ApeEncoder::flushFrame(QString *error)
{
    const auto blocks = std::uint32_t(m_samples[0].size());
    if (!blocks)
        return true;
    m_encoded.clear();
    if (!m_coder->encode(m_samples, int(blocks), ~m_crc, m_encoded)) {
        *error = QStringLiteral("The sound cannot be compressed into %1 at this level; choose another one.")
                     .arg(m_path);
        return false;
    }
    const QString failure = SafeWrite::write(
        m_frames, QByteArray::fromRawData(reinterpret_cast<const char *>(m_encoded.data()), qsizetype(m_encoded.size())));
    if (!failure.isEmpty()) {
        *error = writeError(failure);
        return false;
    }
    m_frameSizes.push_back(std::uint32_t(m_encoded.size()));
    m_audioBytes += m_encoded.size();
    m_finalBlocks = blocks;
    for (auto &channel : m_samples)
        channel.clear();
    m_crc = ~0u;
    return true;
}

bool ApeEncoder::writeHeader(QString *error)
{
    const auto frames = std::uint32_t(m_frameSizes.size());
    const std::uint32_t seekTableSize = frames * 4;
    QByteArray head;
    head.append("MAC ");
    put16(head, ape::kFileVersion);
    put16(head, 0);
    put32(head, kDescriptorSize);
    put32(head, kHeaderSize);
    put32(head, seekTableSize);
    put32(head, 0); // no stored WAV header
    put32(head, quint32(m_audioBytes));
    put32(head, quint32(m_audioBytes >> 32));
    put32(head, 0); // no WAV trailer
    head.append(16, '\0'); // no MD5
    put16(head, quint16((m_level + 1) * 1000));
    put16(head, kFlagCreateWavHeader | (m_bits == 8 ? kFlag8Bit : m_bits == 24 ? kFlag24Bit : 0));
    put32(head, ape::kBlocksPerFrame);
    put32(head, m_finalBlocks);
    put32(head, frames);
    put16(head, quint16(m_bits));
    put16(head, quint16(m_spec.channels));
    put32(head, quint32(m_spec.sampleRate));
    // The seek table: each frame's offset in the file.
    quint64 offset = kDescriptorSize + kHeaderSize + seekTableSize;
    for (std::uint32_t size : m_frameSizes) {
        put32(head, quint32(offset));
        offset += size;
    }
    if (const QString failure = SafeWrite::write(m_file, head); !failure.isEmpty()) {
        *error = writeError(failure);
        return false;
    }
    return true;
}

bool ApeEncoder::copyFrames(QString *error)
{
    // The frames' own buffer goes out first, so that its failure is told
    // as such rather than as a failed seek.
    if (QString failure = SafeWrite::flush(m_frames); !failure.isEmpty() || !m_frames.seek(0)) {
        *error = writeError(failure.isEmpty() ? m_frames.errorString() : failure);
        return false;
    }
    QByteArray chunk;
    while (!m_frames.atEnd()) {
        chunk = m_frames.read(1 << 20);
        if (chunk.isEmpty()) {
            *error = writeError(m_frames.errorString());
            return false;
        }
        if (const QString failure = SafeWrite::write(m_file, chunk); !failure.isEmpty()) {
            *error = writeError(failure);
            return false;
        }
    }
    return true;
}

QString ApeEncoder::notice() const
{
    QStringList lost;
    if (m_sourceChannels > m_spec.channels)
        lost << QStringLiteral("The source has %1 channels; an APE file holds two at most: they are mixed down to two.")
                    .arg(m_sourceChannels);
    if (m_lowBitsDropped)
        lost << QStringLiteral("The source has more than 24 bits a sample; an APE file holds 24: the lowest bits are "
                               "dropped.");
    return lost.join(QLatin1Char(' '));
}

bool ApeEncoder::finish(QString *error)
{
    if (!flushFrame(error) || !writeHeader(error) || !copyFrames(error))
        return false;
    const QByteArray tag = apeV2Tag(m_tags);
    QString failure = SafeWrite::write(m_file, tag);
    if (failure.isEmpty())
        failure = SafeWrite::flush(m_file);
    if (!failure.isEmpty()) {
        *error = writeError(failure);
        return false;
    }
    m_frames.close();
    m_file.close();
    return true;
}
