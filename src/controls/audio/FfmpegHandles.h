#pragma once

// Owning handles for the FFmpeg objects the audio controls use, so that no
// error path can leak a context, frame or packet.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include <QString>

#include <memory>

namespace av {

struct InputContextDeleter {
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
};
// Closes the file as well as the context, for contexts opened with avio_open.
struct OutputContextDeleter {
    void operator()(AVFormatContext *c) const
    {
        if (c && c->pb && !(c->oformat->flags & AVFMT_NOFILE))
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct SwrDeleter {
    void operator()(SwrContext *s) const { swr_free(&s); }
};
struct FifoDeleter {
    void operator()(AVAudioFifo *f) const { av_audio_fifo_free(f); }
};
struct DictionaryDeleter {
    void operator()(AVDictionary *d) const { av_dict_free(&d); }
};

using InputContext = std::unique_ptr<AVFormatContext, InputContextDeleter>;
using OutputContext = std::unique_ptr<AVFormatContext, OutputContextDeleter>;
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using Swr = std::unique_ptr<SwrContext, SwrDeleter>;
using Fifo = std::unique_ptr<AVAudioFifo, FifoDeleter>;

// Keeps the libraries' own console chatter to real errors; our callers
// report failures themselves. Safe to call any number of times.
void quietLogs();

// The library's own text for an error code.
QString errorText(int code);

// The channel layout of a stream or codec; an unspecified layout becomes the
// default layout for its channel count, so that mixing never guesses.
AVChannelLayout layoutOf(const AVChannelLayout &layout);

} // namespace av
