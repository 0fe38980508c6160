#include "controls/audio/PcmDecodeLoop.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/Resampler.h"

#include <algorithm>
#include <vector>

namespace PcmDecodeLoop {

Outcome run(AudioDecoder &decoder, Resampler &resampler, AudioEncoder &encoder, qint64 start, qint64 end, qint64 span,
    const std::atomic<bool> &abort, const std::function<void(int)> &percent)
{
    const AVSampleFormat format = decoder.sampleFormat();
    const int bytes = av_get_bytes_per_sample(format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int channels = decoder.channels();
    std::vector<const std::uint8_t *> planes(planar ? channels : 1);
    Outcome out;
    for (;;) {
        if (abort) {
            out.status = Status::Aborted;
            return out;
        }
        const AudioDecoder::Read r = decoder.next(&out.error);
        if (r == AudioDecoder::Read::Failed) {
            out.status = Status::ReadFailed;
            return out;
        }
        if (r == AudioDecoder::Read::End)
            break;
        const AVFrame *frame = decoder.frame();
        const qint64 first = decoder.firstSample();
        if (end >= 0 && first >= end)
            break;
        const qint64 skip = std::max<qint64>(0, start - first);
        qint64 count = frame->nb_samples - skip;
        if (end >= 0)
            count = std::min(count, end - (first + skip));
        if (count <= 0)
            continue;
        for (size_t p = 0; p < planes.size(); ++p)
            planes[p] = frame->extended_data[p] + skip * bytes * (planar ? 1 : channels);
        if (!resampler.convert(planes.data(), int(count), encoder, &out.error)) {
            out.status = Status::WriteFailed;
            return out;
        }
        out.taken += count;
        if (span > 0 && percent) {
            const int now = int(std::min<qint64>(100, out.taken * 100 / span));
            if (now != out.lastPercent) {
                out.lastPercent = now;
                percent(now);
            }
        }
    }
    return out;
}

} // namespace PcmDecodeLoop
