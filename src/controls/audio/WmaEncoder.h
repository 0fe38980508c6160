#pragma once

#include "controls/audio/FfmpegEncoder.h"

// Windows Media Audio (V1 or V2) in an ASF file, tags as ASF attributes
// under the names WMA's readers know: WM/Year for the year and the Content
// Description's description for the comment.
class WmaEncoder : public FfmpegEncoder {
public:
    explicit WmaEncoder(const WmaFormatSettings &settings);
    bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) override;
    bool finish(QString *error) override;

protected:
    void applyTags(AVFormatContext *format, AVStream *stream, const AudioTags &tags) override;

private:
    static Target targetOf(const WmaFormatSettings &settings);
    WmaFormatSettings m_settings;
    QString m_path;
    QString m_comment;
};
