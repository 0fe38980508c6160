#include "controls/audio/WmaEncoder.h"

#include "controls/audio/AsfDescription.h"
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
    m_path = path;
    m_comment = tags.comment;
    return FfmpegEncoder::open(path, source, tags, error);
}

void WmaEncoder::applyTags(AVFormatContext *format, AVStream *, const AudioTags &tags)
{
    // The muxer would store the year under "date" and the comment among the
    // extended attributes, where WMA's readers look for neither.
    AudioTags generic = tags;
    generic.year.clear();
    generic.comment.clear();
    setGenericTags(&format->metadata, generic);
    if (!tags.year.isEmpty())
        av_dict_set(&format->metadata, "WM/Year", tags.year.toUtf8().constData(), 0);
}

bool WmaEncoder::finish(QString *error)
{
    if (!FfmpegEncoder::finish(error))
        return false;
    return m_comment.isEmpty() || AsfDescription::setDescription(m_path, m_comment, error);
}
