#include "controls/audio/Mp3Encoder.h"

#include "controls/audio/GenreTable.h"
#include "controls/audio/Id3v1Trailer.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace {

bool isMpegRate(int rate)
{
    static const int rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    return std::find(std::begin(rates), std::end(rates), rate) != std::end(rates);
}

int listBitrate(std::int32_t index)
{
    const int count = int(std::size(kMp3BitrateList));
    return index >= 0 && index < count ? kMp3BitrateList[index] : 0;
}

// LAME's text fields take UTF-16 with a byte-order mark.
std::vector<unsigned short> utf16(const QString &text)
{
    std::vector<unsigned short> out{0xFEFF};
    for (QChar c : text)
        out.push_back(c.unicode());
    out.push_back(0);
    return out;
}

// Sets up g's ID3v2 tag and returns the ID3v1 trailer (empty without tags).
QByteArray setTags(lame_global_flags *g, const AudioTags &tags)
{
    // LAME fills its ID3v1 tag only from Latin-1 texts, so the trailer is
    // made here from the same texts the ID3v2 tag gets.
    QByteArray id3v1;
    if (!tags.isEmpty())
        id3v1 = Id3v1Trailer::pack({tags.title, tags.artist, tags.album, tags.year, tags.comment,
                                    Id3v1Trailer::trackNumber(tags.track), GenreTable::code(tags.genre)});

    id3tag_init(g);
    id3tag_add_v2(g);
    // Written by the caller, so the VBR tag frame's place is known.
    lame_set_write_id3tag_automatic(g, 0);
    const std::pair<const char *, QString> texts[] = {
        {"TIT2", tags.title}, {"TPE1", tags.artist}, {"TALB", tags.album}, {"TYER", tags.year}, {"TRCK", tags.track}};
    for (const auto &[frame, text] : texts)
        if (!text.isEmpty()) {
            const auto value = utf16(text);
            id3tag_set_textinfo_utf16(g, frame, value.data());
        }
    if (!tags.comment.isEmpty()) {
        const auto description = utf16(QString());
        const auto value = utf16(tags.comment);
        id3tag_set_comment_utf16(g, "eng", description.data(), value.data());
    }
    if (!tags.genre.isEmpty()) {
        // LAME maps a known genre name to its ID3v1 number; its genre text
        // is Latin-1 only, so any other text goes in as UTF-16.
        const QByteArray latin1 = tags.genre.toLatin1();
        if (QString::fromLatin1(latin1) == tags.genre) {
            id3tag_set_genre(g, latin1.constData());
        } else {
            const auto value = utf16(tags.genre);
            id3tag_set_textinfo_utf16(g, "TCON", value.data());
        }
    }
    return id3v1;
}

// LAME's ID3v2 tag as lame_get_id3v2_tag hands it out.
QByteArray id3v2Bytes(lame_global_flags *g)
{
    QByteArray bytes(16384, Qt::Uninitialized);
    std::size_t size = lame_get_id3v2_tag(g, reinterpret_cast<unsigned char *>(bytes.data()), bytes.size());
    if (size > std::size_t(bytes.size())) {
        bytes.resize(qsizetype(size));
        size = lame_get_id3v2_tag(g, reinterpret_cast<unsigned char *>(bytes.data()), bytes.size());
    }
    bytes.resize(qsizetype(size));
    return bytes;
}

} // namespace

Mp3Encoder::Mp3Encoder(const Mp3EncoderSettings &settings)
    : m_settings(settings)
{
}

Mp3Encoder::~Mp3Encoder() = default;

bool Mp3Encoder::configure(const PcmSpec &source, QString *error)
{
    const Mp3EncoderSettings &s = m_settings;
    lame_global_flags *g = m_lame.get();
    const auto [rate, channels] = outputLayout(s, source.sampleRate, source.channels);
    // The job resamples, so LAME sees its output rate on both sides. 16-bit
    // sources stay 16-bit interleaved, which needs no conversion at all on
    // the common WAV and CD paths; anything finer goes in as float.
    const bool sixteenBit = source.format == AV_SAMPLE_FMT_S16 || source.format == AV_SAMPLE_FMT_S16P
        || source.format == AV_SAMPLE_FMT_U8 || source.format == AV_SAMPLE_FMT_U8P;
    m_spec = PcmSpec{rate, channels, sixteenBit ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_FLTP};

    int rc = lame_set_in_samplerate(g, rate);
    rc |= lame_set_out_samplerate(g, rate);
    rc |= lame_set_num_channels(g, channels);
    switch (s.Mode) {
    case Mp3Stereo: rc |= lame_set_mode(g, STEREO); break;
    case Mp3JointStereo: rc |= lame_set_mode(g, JOINT_STEREO); break;
    case Mp3DualChannel: rc |= lame_set_mode(g, DUAL_CHANNEL); break;
    case Mp3Mono: rc |= lame_set_mode(g, MONO); break;
    case Mp3ForceJointStereo:
        rc |= lame_set_mode(g, JOINT_STEREO);
        rc |= lame_set_force_ms(g, 1);
        break;
    default: break; // not set: LAME chooses
    }
    rc |= lame_set_quality(g, qBound(0, s.Quality, 9));
    switch (s.VBRMode) {
    case vbr_off:
        rc |= lame_set_VBR(g, vbr_off);
        rc |= lame_set_brate(g, s.Bitrate > 0 ? s.Bitrate : 128);
        break;
    case vbr_abr:
        rc |= lame_set_VBR(g, vbr_abr);
        rc |= lame_set_VBR_mean_bitrate_kbps(g, s.ABRBitrate > 0 ? s.ABRBitrate : 128);
        break;
    default:
        rc |= lame_set_VBR(g, vbr_mtrh);
        rc |= lame_set_VBR_quality(g, float(qBound(0, s.VBRQualityIndex, 9)));
        break;
    }
    if (s.VBRMode != vbr_off) {
        int low = listBitrate(s.VBRMinBitrateIndex);
        int high = listBitrate(s.VBRMaxBitrateIndex);
        if (low && high && low > high)
            std::swap(low, high);
        if (low)
            rc |= lame_set_VBR_min_bitrate_kbps(g, low);
        if (high)
            rc |= lame_set_VBR_max_bitrate_kbps(g, high);
        rc |= lame_set_VBR_hard_min(g, s.VBRForceMinBitrate ? 1 : 0);
    }
    rc |= lame_set_bWriteVbrTag(g, s.WriteVBRTag ? 1 : 0);
    rc |= lame_set_copyright(g, s.Copyright ? 1 : 0);
    rc |= lame_set_original(g, s.Original ? 1 : 0);
    rc |= lame_set_error_protection(g, s.ErrorProtection ? 1 : 0);
    rc |= lame_set_strict_ISO(g, s.StrictISO ? 1 : 0);
    if (rc != 0) {
        *error = QStringLiteral("The MP3 settings cannot be applied to %1.").arg(m_path);
        return false;
    }
    return true;
}


bool Mp3Encoder::open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error)
{
    m_path = path;
    m_lame.reset(lame_init());
    if (!m_lame) {
        *error = QStringLiteral("Cannot start the MP3 encoder.");
        return false;
    }
    if (!configure(source, error))
        return false;
    m_id3v1 = setTags(m_lame.get(), tags);
    const int rc = lame_init_params(m_lame.get());
    if (rc < 0) {
        *error = QStringLiteral("The MP3 settings are not usable (LAME error %1) for %2.").arg(rc).arg(path);
        return false;
    }
    m_file.reset(std::fopen(QFile::encodeName(path).constData(), "wb"));
    if (!m_file) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const QByteArray id3v2 = id3v2Bytes(m_lame.get());
    m_id3v2Size = long(id3v2.size());
    m_buffer.resize(16384);
    return put(reinterpret_cast<const unsigned char *>(id3v2.constData()), std::size_t(id3v2.size()), error);
}

bool Mp3Encoder::put(const unsigned char *bytes, std::size_t size, QString *error)
{
    if (size && std::fwrite(bytes, 1, size, m_file.get()) != size) {
        *error = QStringLiteral("Cannot write %1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

bool Mp3Encoder::write(const std::uint8_t *const *data, int frames, QString *error)
{
    const std::size_t needed = std::size_t(frames) * 5 / 4 + 7200;
    if (m_buffer.size() < needed)
        m_buffer.resize(needed);
    int n = 0;
    if (m_spec.format == AV_SAMPLE_FMT_S16) {
        auto *pcm = reinterpret_cast<short *>(const_cast<std::uint8_t *>(data[0]));
        n = m_spec.channels > 1
            ? lame_encode_buffer_interleaved(m_lame.get(), pcm, frames, m_buffer.data(), int(m_buffer.size()))
            : lame_encode_buffer(m_lame.get(), pcm, pcm, frames, m_buffer.data(), int(m_buffer.size()));
    } else {
        const auto *left = reinterpret_cast<const float *>(data[0]);
        const auto *right = m_spec.channels > 1 ? reinterpret_cast<const float *>(data[1]) : left;
        n = lame_encode_buffer_ieee_float(m_lame.get(), left, right, frames, m_buffer.data(), int(m_buffer.size()));
    }
    if (n < 0) {
        *error = QStringLiteral("MP3 encoding of %1 failed (LAME error %2).").arg(m_path).arg(n);
        return false;
    }
    return put(m_buffer.data(), std::size_t(n), error);
}

bool Mp3Encoder::finish(QString *error)
{
    if (m_buffer.size() < 7200)
        m_buffer.resize(7200);
    int n = lame_encode_flush(m_lame.get(), m_buffer.data(), int(m_buffer.size()));
    if (n < 0) {
        *error = QStringLiteral("MP3 encoding of %1 failed (LAME error %2).").arg(m_path).arg(n);
        return false;
    }
    if (!put(m_buffer.data(), std::size_t(n), error))
        return false;
    std::size_t size = std::size_t(m_id3v1.size());
    if (!put(reinterpret_cast<const unsigned char *>(m_id3v1.constData()), size, error))
        return false;
    if (lame_get_bWriteVbrTag(m_lame.get())) {
        // The Xing/Info frame was left empty at the start; fill it now that
        // the frame count and sizes are known.
        size = lame_get_lametag_frame(m_lame.get(), m_buffer.data(), m_buffer.size());
        if (size > 0 && std::fseek(m_file.get(), m_id3v2Size, SEEK_SET) != 0) {
            *error = QStringLiteral("Cannot write %1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (!put(m_buffer.data(), size, error))
            return false;
    }
    std::FILE *f = m_file.release();
    if (std::fclose(f) != 0) {
        *error = QStringLiteral("Cannot write %1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

std::pair<int, int> Mp3Encoder::outputLayout(const Mp3EncoderSettings &settings, int sourceRate, int sourceChannels)
{
    int rate = settings.SampleRate;
    if (!isMpegRate(rate))
        rate = isMpegRate(sourceRate) ? sourceRate : 44100;
    int channels = 2;
    if (settings.Mode == Mp3Mono)
        channels = 1;
    else if (settings.Mode == Mp3NotSet)
        channels = qBound(1, sourceChannels, 2);
    return {rate, channels};
}

bool Mp3Encoder::tagBlocks(const AudioTags &tags, QByteArray *id3v2, QByteArray *id3v1)
{
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame)
        return false;
    *id3v1 = setTags(lame.get(), tags);
    if (lame_init_params(lame.get()) < 0)
        return false;
    *id3v2 = id3v2Bytes(lame.get());
    return true;
}
