#pragma once

extern "C" {
#include <libavutil/samplefmt.h>
}

#include <QString>

#include <cstdint>
#include <vector>

// Keeps floating-point samples an encoder or the resampler could choke on
// from reaching them: a NaN becomes silence, an infinity or a value beyond
// full scale becomes full scale. Encoders take float input as lying in
// [-1, 1]; one wild sample from a damaged or hand-made file has made an
// encoder abort the whole process. Integer formats pass untouched, and so
// does a block with nothing to mend, without a copy.
class SampleGuard {
public:
    void setup(AVSampleFormat format, int channels);
    // The planes to hand on in place of data, valid until the next call.
    const std::uint8_t *const *mend(const std::uint8_t *const *data, int frames);
    // Samples mended since setup.
    qint64 mended() const { return m_mended; }

    // The job log's line for count mended samples; empty for none.
    static QString notice(qint64 count);

private:
    AVSampleFormat m_format = AV_SAMPLE_FMT_NONE;
    int m_planes = 0;
    int m_perPlane = 0; // samples per plane and frame
    bool m_double = false;
    qint64 m_mended = 0;
    std::vector<std::vector<std::uint8_t>> m_copy;
    std::vector<const std::uint8_t *> m_out;
};
