#pragma once

#include "controls/audio/FfmpegEncoder.h"

// Plain PCM WAV, 8 or 16 bits, at the record's rate and channels, with the
// tags in a LIST INFO chunk.
class WavEncoder : public FfmpegEncoder {
public:
    explicit WavEncoder(const WavFormatSettings &settings);
    bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) override;

private:
    static Target targetOf(const WavFormatSettings &settings);
    WavFormatSettings m_settings;
};
