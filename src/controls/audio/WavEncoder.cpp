#include "controls/audio/WavEncoder.h"

WavEncoder::WavEncoder(const WavFormatSettings &settings)
    : FfmpegEncoder(targetOf(settings))
    , m_settings(settings)
{
}

FfmpegEncoder::Target WavEncoder::targetOf(const WavFormatSettings &settings)
{
    Target t;
    t.muxer = "wav";
    t.encoder = settings.BitsPerSample == 8 ? "pcm_u8" : "pcm_s16le";
    t.sampleRate = settings.SampleRate;
    t.channels = settings.Channels;
    return t;
}

bool WavEncoder::open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error)
{
    const auto &s = m_settings;
    if (s.SampleRate < 1000 || s.SampleRate > 384000 || s.Channels < 1 || s.Channels > 2
        || (s.BitsPerSample != 8 && s.BitsPerSample != 16)) {
        *error = QStringLiteral("The WAV settings (%1 Hz, %2 channels, %3 bits) cannot be written.")
                     .arg(s.SampleRate)
                     .arg(s.Channels)
                     .arg(s.BitsPerSample);
        return false;
    }
    return FfmpegEncoder::open(path, source, tags, error);
}
