#pragma once

#include "controls/audio/AudioFormatRecords.h"
#include "controls/audio/AudioTags.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

#include <QString>

#include <cstdint>
#include <memory>

// Interleaved or planar PCM as an encoder takes it.
struct PcmSpec {
    int sampleRate = 0;
    int channels = 0;
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
};

// One destination format. The job opens it with the source's PCM format, feeds it
// PCM in inputSpec() and finishes it; the converter, the joiner, the ripper
// and the burners all write through this layer.
class AudioEncoder {
public:
    virtual ~AudioEncoder() = default;
    // Creates path and writes the header with tags; source tells what the
    // encoder may keep (rate, channels) where its settings leave them open.
    virtual bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) = 0;
    // Valid after open.
    virtual PcmSpec inputSpec() const = 0;
    // data holds one plane per channel for planar formats, one plane otherwise.
    virtual bool write(const std::uint8_t *const *data, int frames, QString *error) = 0;
    // Writes what is buffered and the trailer; the file is complete after it.
    virtual bool finish(QString *error) = 0;
    // What the file could not keep of the source (channels or bits beyond
    // what the format holds), for the job's log; empty when it kept
    // everything. Valid after finish.
    virtual QString notice() const { return {}; }
};

// Everything a tool window hands to a job control about the destination.
struct DestinationSettings {
    std::int32_t format = DestWAV;
    WavFormatSettings wav{44100, 2, 16};
    QString acmTag;
    QString acmFormat;
    Mp3EncoderSettings mp3;
    WmaFormatSettings wma;
    OggEncoderSettings ogg;
    std::int32_t apeLevel = 0;

    bool operator==(const DestinationSettings &) const = default;
};

// The encoder of settings.format, or nullptr with the reason.
std::unique_ptr<AudioEncoder> createEncoder(const DestinationSettings &settings, QString *error);
