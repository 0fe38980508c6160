#pragma once

#include "controls/audio/AudioEncoder.h"
#include "controls/audio/FfmpegHandles.h"
#include "controls/audio/SampleGuard.h"

// Brings decoded audio to the rate, channels and sample format an encoder
// takes, and hands it over; audio already in that form passes untouched,
// except for floating-point samples no encoder may see (SampleGuard).
class Resampler {
public:
    bool setup(
        const AVChannelLayout &inLayout, AVSampleFormat inFormat, int inRate, const PcmSpec &out, QString *error);
    bool convert(const std::uint8_t *const *data, int frames, AudioEncoder &encoder, QString *error);
    // Hands over what the filter still holds (the tail of its delay).
    bool flush(AudioEncoder &encoder, QString *error);
    // Samples that were not numbers or lay beyond full scale, mended on the
    // way in since setup.
    qint64 mended() const { return m_guard.mended(); }

private:
    bool reserve(int frames, QString *error);

    SampleGuard m_guard;
    av::Swr m_swr;
    av::Frame m_buffer;
    PcmSpec m_out;
    int m_capacity = 0;
};
