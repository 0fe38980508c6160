#include "controls/audio/FfmpegEncoder.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {
constexpr int kVariableChunk = 4096;

// Sets the sample count of a RIFF/WAVE file's fact chunk (the most it holds
// past 2^32 - 1); false when the file has none before its data or cannot be
// written.
bool setFactCount(const QString &path, std::int64_t samples)
{
    QFile f(path);
    if (samples < 0 || !f.open(QIODevice::ReadWrite))
        return false;
    const QByteArray riff = f.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return false;
    qint64 pos = 12;
    for (;;) {
        if (!f.seek(pos))
            return false;
        const QByteArray chunk = f.read(8);
        if (chunk.size() < 8 || chunk.startsWith("data"))
            return false;
        const quint32 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (chunk.startsWith("fact")) {
            char count[4];
            qToLittleEndian(quint32(std::min<std::int64_t>(samples, 0xFFFFFFFFLL)), count);
            return size >= 4 && f.write(count, 4) == 4 && f.flush();
        }
        pos += 8 + qint64(size) + (size & 1);
    }
}

void setTag(AVDictionary **dict, const char *key, const QString &value)
{
    if (!value.isEmpty())
        av_dict_set(dict, key, value.toUtf8().constData(), 0);
}
} // namespace

void setGenericTags(AVDictionary **dict, const AudioTags &tags)
{
    setTag(dict, "title", tags.title);
    setTag(dict, "artist", tags.artist);
    setTag(dict, "album", tags.album);
    setTag(dict, "comment", tags.comment);
    setTag(dict, "genre", tags.genre);
    setTag(dict, "date", tags.year);
    setTag(dict, "track", tags.track);
}

FfmpegEncoder::FfmpegEncoder(Target target)
    : m_target(target)
    , m_frame(av_frame_alloc())
    , m_packet(av_packet_alloc())
{
    av::quietLogs();
}

FfmpegEncoder::~FfmpegEncoder() = default;

void FfmpegEncoder::applyTags(AVFormatContext *format, AVStream *, const AudioTags &tags)
{
    setGenericTags(&format->metadata, tags);
}

av::CodecContext FfmpegEncoder::openCodec(const AVCodec *codec, const PcmSpec &source, int *rc) const
{
    av::CodecContext c(avcodec_alloc_context3(codec));
    if (!c) {
        *rc = AVERROR(ENOMEM);
        return c;
    }
    c->sample_rate = m_target.sampleRate > 0 ? m_target.sampleRate : source.sampleRate;
    av_channel_layout_default(&c->ch_layout, m_target.channels > 0 ? m_target.channels : qBound(1, source.channels, 2));
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    if (codec->sample_fmts && m_target.preferredFormat != AV_SAMPLE_FMT_NONE)
        for (const AVSampleFormat *f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
            if (*f == m_target.preferredFormat)
                c->sample_fmt = *f;
    c->time_base = AVRational{1, c->sample_rate};
    if (m_target.bitRate > 0)
        c->bit_rate = m_target.bitRate;
    if (m_target.globalQuality >= 0) {
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = m_target.globalQuality;
    }
    const AVOutputFormat *muxer = av_guess_format(m_target.muxer, nullptr, nullptr);
    if (muxer && (muxer->flags & AVFMT_GLOBALHEADER))
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    *rc = avcodec_open2(c.get(), codec, nullptr);
    if (*rc < 0)
        c.reset();
    return c;
}

bool FfmpegEncoder::opens(const PcmSpec &source) const
{
    const AVCodec *codec = m_target.encoder ? avcodec_find_encoder_by_name(m_target.encoder) : nullptr;
    int rc = 0;
    return codec && openCodec(codec, source, &rc);
}

bool FfmpegEncoder::open(const QString &path, const PcmSpec &source, const AudioTags &tags, QString *error)
{
    m_path = path;
    const QByteArray file = QFile::encodeName(path);
    if (!m_frame || !m_packet) {
        *error = QStringLiteral("Out of memory");
        return false;
    }
    AVFormatContext *raw = nullptr;
    int rc = avformat_alloc_output_context2(&raw, nullptr, m_target.muxer, file.constData());
    if (rc < 0 || !raw) {
        *error = QStringLiteral("Cannot create %1: %2").arg(path, av::errorText(rc));
        return false;
    }
    m_format.reset(raw);

    const AVCodec *codec = m_target.encoder ? avcodec_find_encoder_by_name(m_target.encoder) : nullptr;
    if (!codec) {
        *error = QStringLiteral("The encoder %1 is not available.")
                     .arg(QString::fromLatin1(m_target.encoder ? m_target.encoder : "(none)"));
        return false;
    }
    const int channels = m_target.channels > 0 ? m_target.channels : qBound(1, source.channels, 2);
    m_codec = openCodec(codec, source, &rc);
    if (!m_codec) {
        *error = QStringLiteral("Cannot start the %1 encoder for %2 (%3 Hz, %4 channels): %5")
                     .arg(QString::fromLatin1(m_target.encoder), path)
                     .arg(m_target.sampleRate > 0 ? m_target.sampleRate : source.sampleRate)
                     .arg(channels)
                     .arg(av::errorText(rc));
        return false;
    }
    // A block codec with no bit rate of its own (the ADPCMs, GSM) would go
    // into the WAV header with the library's default rate, so other
    // players would take the file for about three times its length: the
    // header states what the blocks really take.
    // (PCM codecs take any number of samples a packet: no frame size.)
    if (m_target.bitRate <= 0 && m_codec->block_align > 0 && m_codec->frame_size > 0) {
        const std::int64_t bytesPerSecond = av_rescale(
            std::int64_t(m_codec->sample_rate) * m_codec->block_align, 1, m_codec->frame_size);
        m_codec->bit_rate = bytesPerSecond * 8;
    }
    m_stream = avformat_new_stream(m_format.get(), nullptr);
    if (!m_stream) {
        *error = QStringLiteral("Out of memory");
        return false;
    }
    m_stream->time_base = m_codec->time_base;
    rc = avcodec_parameters_from_context(m_stream->codecpar, m_codec.get());
    if (rc < 0) {
        *error = av::errorText(rc);
        return false;
    }
    const bool variable = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) || m_codec->frame_size <= 0;
    m_frameSize = variable ? kVariableChunk : m_codec->frame_size;
    m_spec = PcmSpec{m_codec->sample_rate, channels, m_codec->sample_fmt};

    rc = avio_open(&m_format->pb, file.constData(), AVIO_FLAG_WRITE);
    if (rc < 0) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, av::errorText(rc));
        return false;
    }
    applyTags(m_format.get(), m_stream, tags);
    rc = avformat_write_header(m_format.get(), nullptr);
    if (rc < 0) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, av::errorText(rc));
        return false;
    }
    m_fifo.reset(av_audio_fifo_alloc(m_spec.format, channels, m_frameSize * 2));
    m_frame->nb_samples = m_frameSize;
    m_frame->format = m_spec.format;
    m_frame->sample_rate = m_spec.sampleRate;
    av_channel_layout_default(&m_frame->ch_layout, channels);
    rc = m_fifo ? av_frame_get_buffer(m_frame.get(), 0) : AVERROR(ENOMEM);
    if (rc < 0) {
        *error = av::errorText(rc);
        return false;
    }
    return true;
}

bool FfmpegEncoder::write(const std::uint8_t *const *data, int frames, QString *error)
{
    if (frames <= 0)
        return true;
    const int rc
        = av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void **>(const_cast<std::uint8_t **>(data)), frames);
    if (rc < frames) {
        *error = QStringLiteral("Cannot buffer audio for %1: %2").arg(m_path, av::errorText(rc));
        return false;
    }
    return encodeFrames(false, error);
}

bool FfmpegEncoder::encodeFrames(bool final, QString *error)
{
    const bool shortLastFrame
        = m_codec->codec->capabilities & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    for (;;) {
        const int buffered = av_audio_fifo_size(m_fifo.get());
        if (buffered <= 0 || (buffered < m_frameSize && !final))
            return true;
        const int n = qMin(buffered, m_frameSize);
        int rc = av_frame_make_writable(m_frame.get());
        if (rc < 0) {
            *error = av::errorText(rc);
            return false;
        }
        m_frame->nb_samples = m_frameSize;
        if (av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void **>(m_frame->data), n) < n) {
            *error = QStringLiteral("Cannot read buffered audio.");
            return false;
        }
        if (n < m_frameSize && !shortLastFrame)
            av_samples_set_silence(m_frame->data, n, m_frameSize - n, m_spec.channels, m_spec.format);
        else
            m_frame->nb_samples = n;
        m_frame->pts = m_pts;
        m_pts += n;
        if (!sendFrame(m_frame.get(), error))
            return false;
    }
}

bool FfmpegEncoder::sendFrame(AVFrame *frame, QString *error)
{
    int rc = avcodec_send_frame(m_codec.get(), frame);
    if (rc < 0) {
        *error = QStringLiteral("Cannot encode %1: %2").arg(m_path, av::errorText(rc));
        return false;
    }
    for (;;) {
        rc = avcodec_receive_packet(m_codec.get(), m_packet.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0) {
            *error = QStringLiteral("Cannot encode %1: %2").arg(m_path, av::errorText(rc));
            return false;
        }
        // Block codecs pad their last block with silence; the packet keeps
        // the true length, so the container (a WAV fact chunk) counts only
        // the samples that were fed.
        if (m_packet->pts != AV_NOPTS_VALUE && m_packet->duration > 0 && m_packet->pts + m_packet->duration > m_pts)
            m_packet->duration = qMax<std::int64_t>(0, m_pts - m_packet->pts);
        m_packet->stream_index = m_stream->index;
        av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
        rc = av_interleaved_write_frame(m_format.get(), m_packet.get());
        if (rc < 0) {
            *error = QStringLiteral("Cannot write %1: %2").arg(m_path, av::errorText(rc));
            return false;
        }
    }
}

bool FfmpegEncoder::finish(QString *error)
{
    if (!encodeFrames(true, error) || !sendFrame(nullptr, error))
        return false;
    int rc = av_write_trailer(m_format.get());
    if (rc >= 0)
        rc = m_format->pb->error;
    if (rc >= 0)
        rc = avio_closep(&m_format->pb);
    if (rc < 0) {
        *error = QStringLiteral("Cannot write %1: %2").arg(m_path, av::errorText(rc));
        return false;
    }
    // The muxer counts a coded WAV's samples from its packets' times, which
    // for an encoder with a delay (LAME) start before the first sample;
    // the fact chunk holds the samples the file was given.
    if (std::strcmp(m_target.muxer, "wav") == 0 && m_stream->codecpar->codec_tag != 1
        && !setFactCount(m_path, m_pts)) {
        *error = QStringLiteral("Cannot write %1: the sample count could not be set.").arg(m_path);
        return false;
    }
    return true;
}
