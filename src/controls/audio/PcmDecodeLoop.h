#pragma once

#include <QString>

#include <atomic>
#include <functional>

class AudioDecoder;
class AudioEncoder;
class Resampler;

// The loop every job runs that turns a decoded file into another: frames
// from the decoder, cut to a range, through the resampler to an encoder.
namespace PcmDecodeLoop {

enum class Status { Done, Aborted, ReadFailed, WriteFailed };

struct Outcome {
    Status status = Status::Done;
    QString error; // the decoder's or the encoder's, for ReadFailed and WriteFailed
    qint64 taken = 0; // samples handed over, at the source rate
    int lastPercent = -1; // the last percentage reported; -1 for none
};

// Decodes on from where the decoder stands and hands the samples from start
// up to end (end < 0: the end of the file) to encoder. Samples before 0 (a
// codec's priming) are never audio. While span > 0, percent hears how much
// of span is handed over each time the whole percentage changes. The
// resampler's tail is left to the caller, who may still reject the result.
Outcome run(AudioDecoder &decoder, Resampler &resampler, AudioEncoder &encoder, qint64 start, qint64 end, qint64 span,
    const std::atomic<bool> &abort, const std::function<void(int)> &percent);

} // namespace PcmDecodeLoop
