#include "controls/audio/Resampler.h"

bool Resampler::setup(
    const AVChannelLayout &inLayout, AVSampleFormat inFormat, int inRate, const PcmSpec &out, QString *error)
{
    m_out = out;
    m_swr.reset();
    m_guard.setup(inFormat, inLayout.nb_channels);
    if (inLayout.nb_channels == out.channels && inFormat == out.format && inRate == out.sampleRate)
        return true;
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, out.channels);
    AVChannelLayout in = av::layoutOf(inLayout);
    SwrContext *raw = nullptr;
    int rc = swr_alloc_set_opts2(&raw, &outLayout, out.format, out.sampleRate, &in, inFormat, inRate, 0, nullptr);
    m_swr.reset(raw);
    if (rc >= 0)
        rc = swr_init(m_swr.get());
    if (rc < 0) {
        *error = QStringLiteral("Cannot convert the audio to %1 Hz, %2 channels: %3")
                     .arg(out.sampleRate)
                     .arg(out.channels)
                     .arg(av::errorText(rc));
        return false;
    }
    return true;
}

bool Resampler::reserve(int frames, QString *error)
{
    if (frames <= m_capacity)
        return true;
    if (!m_buffer)
        m_buffer.reset(av_frame_alloc());
    int rc = AVERROR(ENOMEM);
    if (m_buffer) {
        av_frame_unref(m_buffer.get());
        m_buffer->nb_samples = frames;
        m_buffer->format = m_out.format;
        av_channel_layout_default(&m_buffer->ch_layout, m_out.channels);
        rc = av_frame_get_buffer(m_buffer.get(), 0);
    }
    if (rc < 0) {
        *error = av::errorText(rc);
        return false;
    }
    m_capacity = frames;
    return true;
}

bool Resampler::convert(const std::uint8_t *const *input, int frames, AudioEncoder &encoder, QString *error)
{
    // Before the filter too: one infinity would smear over its whole length.
    const std::uint8_t *const *data = m_guard.mend(input, frames);
    if (!m_swr)
        return encoder.write(data, frames, error);
    const int room = swr_get_out_samples(m_swr.get(), frames);
    if (room < 0 || !reserve(qMax(room, 1), error)) {
        if (room < 0)
            *error = av::errorText(room);
        return false;
    }
    const int n = swr_convert(
        m_swr.get(), m_buffer->extended_data, m_capacity, const_cast<const std::uint8_t **>(data), frames);
    if (n < 0) {
        *error = QStringLiteral("Cannot convert the audio: %1").arg(av::errorText(n));
        return false;
    }
    return encoder.write(m_buffer->extended_data, n, error);
}

bool Resampler::flush(AudioEncoder &encoder, QString *error)
{
    if (!m_swr)
        return true;
    if (!reserve(4096, error))
        return false;
    for (;;) {
        const int n = swr_convert(m_swr.get(), m_buffer->extended_data, m_capacity, nullptr, 0);
        if (n < 0) {
            *error = QStringLiteral("Cannot convert the audio: %1").arg(av::errorText(n));
            return false;
        }
        if (n == 0)
            return true;
        if (!encoder.write(m_buffer->extended_data, n, error))
            return false;
    }
}
