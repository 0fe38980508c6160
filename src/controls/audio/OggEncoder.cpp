#include "controls/audio/OggEncoder.h"

namespace {
constexpr std::int32_t kBitrateMode = 2;
constexpr int kMaxBitrateStep = 256; // kbit/s either side of the wanted one
}

OggEncoder::OggEncoder(const OggEncoderSettings &settings)
    : FfmpegEncoder(targetOf(settings))
    , m_settings(settings)
{
}

FfmpegEncoder::Target OggEncoder::targetOf(const OggEncoderSettings &settings)
{
    Target t;
    t.muxer = "ogg";
    t.encoder = "libvorbis";
    if (settings.Mode == kBitrateMode)
        t.bitRate = std::int64_t(settings.NominalBitrate) * 1000;
    else // the encoder's quality runs from 0 to 10
        t.globalQuality = qBound(0, settings.Quality, 100) * FF_QP2LAMBDA / 10;
    return t;
}

bool OggEncoder::open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error)
{
    if (m_settings.Mode == kBitrateMode && m_settings.NominalBitrate <= 0) {
        *error = QStringLiteral("The OGG nominal bitrate %1 kbit/s cannot be written.").arg(m_settings.NominalBitrate);
        return false;
    }
    if (m_settings.Mode == kBitrateMode && !opens(source)) {
        // Vorbis is tuned for a span of bitrates at each rate and channel
        // count (at 44.1 kHz stereo nothing under about 45 kbit/s); a list
        // entry outside it is written at the nearest bitrate the encoder takes.
        const int wanted = m_settings.NominalBitrate;
        bool found = false;
        for (int step = 1; step <= kMaxBitrateStep && !found; ++step)
            for (const int kbps : {wanted + step, wanted - step}) {
                if (found || kbps <= 0)
                    continue;
                setBitRate(std::int64_t(kbps) * 1000);
                found = opens(source);
            }
        if (!found) // the encoder's own error tells why
            setBitRate(std::int64_t(wanted) * 1000);
    }
    return FfmpegEncoder::open(path, source, tags, error);
}

void OggEncoder::applyTags(AVFormatContext *, AVStream *stream, const AudioTags &tags)
{
    // The Ogg muxer writes the stream's comment header.
    setGenericTags(&stream->metadata, tags);
}
