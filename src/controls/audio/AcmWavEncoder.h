#pragma once

#include "controls/audio/AcmCodecs.h"
#include "controls/audio/FfmpegEncoder.h"

// A WAV file whose sound is coded by one of the ACM codecs, chosen by the
// tag and format names the enumeration reported.
class AcmWavEncoder : public FfmpegEncoder {
public:
    AcmWavEncoder(const QString &tagName, const QString &formatName);
    bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) override;

private:
    static Target targetOf(const AcmCodecs::Tag *tag, const AcmCodecs::Format *format);
    QString m_tagName;
    QString m_formatName;
    const AcmCodecs::Tag *m_tag;
    const AcmCodecs::Format *m_format;
};
