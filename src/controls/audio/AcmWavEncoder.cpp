#include "controls/audio/AcmWavEncoder.h"

namespace {
const AcmCodecs::Format *formatOf(const AcmCodecs::Tag *tag, const QString &name)
{
    return tag ? AcmCodecs::findFormat(*tag, name) : nullptr;
}
} // namespace

AcmWavEncoder::AcmWavEncoder(const QString &tagName, const QString &formatName)
    : FfmpegEncoder(targetOf(AcmCodecs::findTag(tagName), formatOf(AcmCodecs::findTag(tagName), formatName)))
    , m_tagName(tagName)
    , m_formatName(formatName)
    , m_tag(AcmCodecs::findTag(tagName))
    , m_format(formatOf(m_tag, formatName))
{
}

FfmpegEncoder::Target AcmWavEncoder::targetOf(const AcmCodecs::Tag *tag, const AcmCodecs::Format *format)
{
    Target t;
    t.muxer = "wav";
    if (!tag || !format)
        return t;
    t.encoder = format->bits == 8 && tag->encoder8Bit ? tag->encoder8Bit : tag->encoder;
    t.sampleRate = format->sampleRate;
    t.channels = format->channels;
    t.bitRate = std::int64_t(format->kbps) * 1000;
    return t;
}

bool AcmWavEncoder::open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error)
{
    if (!m_tag) {
        *error = QStringLiteral("The ACM format tag \"%1\" is not available.").arg(m_tagName);
        return false;
    }
    if (!m_format) {
        *error = QStringLiteral("The ACM format \"%1\" of \"%2\" is not available.").arg(m_formatName, m_tagName);
        return false;
    }
    return FfmpegEncoder::open(path, source, tags, error);
}
