#include "controls/audio/WmaEncoder.h"

#include "controls/audio/WmaCodecs.h"

namespace {
bool valid(const WmaFormatSettings &s)
{
    return s.CodecIndex >= 0 && s.CodecIndex < WmaCodecs::codecs().size() && s.FormatIndex >= 0
        && s.FormatIndex < WmaCodecs::formats().size();
}
} // namespace

WmaEncoder::WmaEncoder(const WmaFormatSettings &settings)
    : FfmpegEncoder(targetOf(settings))
    , m_settings(settings)
{
}

FfmpegEncoder::Target WmaEncoder::targetOf(const WmaFormatSettings &settings)
{
    Target t;
    t.muxer = "asf";
    if (!valid(settings))
        return t;
    const WmaCodecs::Format &f = WmaCodecs::formats()[settings.FormatIndex];
    t.encoder = WmaCodecs::codecs()[settings.CodecIndex].encoder;
    t.sampleRate = f.sampleRate;
    t.channels = f.channels;
    t.bitRate = std::int64_t(f.kbps) * 1000;
    return t;
}

bool WmaEncoder::open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error)
{
    if (!valid(m_settings)) {
        *error = QStringLiteral("There is no WMA codec %1 with a format %2.")
                     .arg(m_settings.CodecIndex)
                     .arg(m_settings.FormatIndex);
        return false;
    }
    return FfmpegEncoder::open(path, source, tags, error);
}
