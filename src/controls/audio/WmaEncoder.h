#pragma once

#include "controls/audio/FfmpegEncoder.h"

// Windows Media Audio (V1 or V2) in an ASF file, tags as ASF attributes.
class WmaEncoder : public FfmpegEncoder {
public:
    explicit WmaEncoder(const WmaFormatSettings &settings);
    bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) override;

private:
    static Target targetOf(const WmaFormatSettings &settings);
    WmaFormatSettings m_settings;
};
