#pragma once

#include "controls/audio/FfmpegEncoder.h"

// Ogg Vorbis by quality (0-100) or by nominal bitrate, tags as Vorbis comments.
class OggEncoder : public FfmpegEncoder {
public:
    explicit OggEncoder(const OggEncoderSettings &settings);
    bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) override;

protected:
    void applyTags(AVFormatContext *format, AVStream *stream, const AudioTags &tags) override;

private:
    static Target targetOf(const OggEncoderSettings &settings);
    OggEncoderSettings m_settings;
};
