#pragma once

#include "controls/audio/AudioEncoder.h"
#include "controls/audio/FfmpegHandles.h"

#include <functional>

// An encoder written with libavcodec into a libavformat container: the base
// of the WAV, ACM WAV, WMA and OGG encoders, which differ only in the target.
class FfmpegEncoder : public AudioEncoder {
public:
    struct Target {
        const char *muxer = "wav";
        const char *encoder = nullptr; // encoder name
        int sampleRate = 0; // 0 keeps the source's
        int channels = 0; // 0 keeps the source's (at most 2)
        std::int64_t bitRate = 0;
        int globalQuality = -1; // with the qscale flag when set
        // Preferred sample format when the encoder offers several.
        AVSampleFormat preferredFormat = AV_SAMPLE_FMT_NONE;
    };

    explicit FfmpegEncoder(Target target);
    ~FfmpegEncoder() override;

    bool open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error) override;
    PcmSpec inputSpec() const override { return m_spec; }
    bool write(const std::uint8_t *const *data, int frames, QString *error) override;
    bool finish(QString *error) override;

protected:
    // Whether the encoder starts with the target for that source.
    bool opens(const PcmSpec &source) const;
    void setBitRate(std::int64_t bitRate) { m_target.bitRate = bitRate; }
    // Lets a format put the tags where its container keeps them.
    virtual void applyTags(AVFormatContext *format, AVStream *stream, const AudioTags &tags);

private:
    av::CodecContext openCodec(const AVCodec *codec, const PcmSpec &source, int *rc) const;
    bool encodeFrames(bool final, QString *error);
    bool sendFrame(AVFrame *frame, QString *error);

    Target m_target;
    QString m_path;
    PcmSpec m_spec;
    av::OutputContext m_format;
    av::CodecContext m_codec;
    av::Fifo m_fifo;
    av::Frame m_frame;
    av::Packet m_packet;
    AVStream *m_stream = nullptr;
    int m_frameSize = 0;
    std::int64_t m_pts = 0;
};

// The container tag keys most muxers understand (title, artist, album, ...).
void setGenericTags(AVDictionary **dict, const AudioTags &tags);
