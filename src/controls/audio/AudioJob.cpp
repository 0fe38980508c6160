#include "controls/audio/AudioJob.h"

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/Mp3FrameCopy.h"
#include "controls/audio/Mp3WalkCache.h"
#include "controls/audio/PcmDecodeLoop.h"
#include "controls/audio/Resampler.h"
#include "controls/audio/TemporaryOutput.h"

#include <vector>

namespace {

// The samples of item at rate: from start to end (exclusive), end -1 when
// the item runs to the end of its file.
struct Span {
    qint64 start;
    qint64 end;
};

Span span(const AudioJobItem &item, qint64 rate)
{
    if (item.firstSample >= 0)
        return {item.firstSample, item.sampleCount >= 0 ? item.firstSample + item.sampleCount : -1};
    const qint64 start = item.startSeconds > 0 ? item.startSeconds * rate : 0;
    return {start, item.lengthSeconds > 0 ? start + item.lengthSeconds * rate : -1};
}

} // namespace

AudioJob::AudioJob(DestinationSettings settings, AudioTags tags, QString destination, QVector<AudioJobItem> items)
    : m_settings(std::move(settings))
    , m_tags(std::move(tags))
    , m_destination(std::move(destination))
    , m_items(std::move(items))
{
}

bool AudioJob::checkPaths()
{
    if (m_items.isEmpty()) {
        fail(SourceError, QStringLiteral("There is no source file to convert."));
        return false;
    }
    QStringList sources;
    for (const AudioJobItem &item : m_items)
        sources << item.path;
    return checkDestination(m_destination, sources);
}

AudioJob::Result AudioJob::run(const std::atomic<bool> &abort, const Progress &progress)
{
    if (!checkPaths())
        return Result::Failed;
    // Declared first, so it outlives the encoder that writes it.
    TemporaryOutput output(m_destination);
    writingTo(output);
    // One MP3 range into an MP3 of the same kind: its frames serve as they are.
    if (m_items.size() == 1 && m_settings.format == DestMP3) {
        const QString &path = m_items.first().path;
        auto walk = m_walks ? m_walks->walk(path, abort) : Mp3FrameWalk::take(path, abort);
        if (!walk)
            return Result::Aborted;
        Mp3FrameCopy copy;
        if (copy.open(std::move(walk), m_settings.mp3)) {
            const Span range = span(m_items.first(), copy.sampleRate());
            if (copy.plan(range.start, range.end))
                return copyFrames(copy, output, abort, progress);
        }
    }
    QString error;
    std::unique_ptr<AudioEncoder> encoder = createEncoder(m_settings, &error);
    if (!encoder)
        return fail(SettingsError, error);

    AudioDecoder decoder;
    if (!decoder.open(m_items.first().path, &error))
        return fail(SourceError, error);
    const PcmSpec source{decoder.sampleRate(), decoder.channels(), decoder.sampleFormat()};
    if (!encoder->open(output.path(), source, m_tags, &error))
        return failToOpen(error);
    for (int i = 0; i < m_items.size(); ++i) {
        if (i > 0 && !decoder.open(m_items[i].path, &error))
            return fail(SourceError, error);
        const Result r = transcode(i, *encoder, decoder, abort, progress);
        if (r != Result::Done)
            return r;
    }
    decoder.close();
    return finish(std::move(encoder), output, abort);
}

AudioJob::Result AudioJob::transcode(
    int index, AudioEncoder &encoder, AudioDecoder &decoder, const std::atomic<bool> &abort, const Progress &progress)
{
    const AudioJobItem &item = m_items[index];
    // The end of the file is where decoding stops, never the container's
    // length, which some formats only estimate; that serves for progress.
    const auto [start, end] = span(item, decoder.sampleRate());
    const qint64 total = decoder.totalSamples();
    qint64 span = total >= 0 ? total - start : -1;
    if (end >= 0 && (span < 0 || end - start < span))
        span = end - start;

    QString error;
    Resampler resampler;
    if (!resampler.setup(
            decoder.channelLayout(), decoder.sampleFormat(), decoder.sampleRate(), encoder.inputSpec(), &error))
        return fail(CodingError, error);
    if (start > 0 && !decoder.seekToSample(start, &error))
        return fail(SourceError, error);

    const PcmDecodeLoop::Outcome loop = PcmDecodeLoop::run(decoder, resampler, encoder, start, end, span, abort,
        [&](int percent) {
            if (progress)
                progress(index, percent);
        });
    switch (loop.status) {
    case PcmDecodeLoop::Status::Done: break;
    case PcmDecodeLoop::Status::Aborted: return Result::Aborted;
    case PcmDecodeLoop::Status::ReadFailed: return fail(SourceError, loop.error);
    case PcmDecodeLoop::Status::WriteFailed: return fail(CodingError, loop.error);
    }
    noteMended(resampler.mended());
    if (loop.taken == 0 && start > 0)
        return fail(SourceError, QStringLiteral("The range of %1 starts after its end.").arg(item.path));
    if (!resampler.flush(encoder, &error))
        return fail(CodingError, error);
    if (loop.lastPercent < 100 && progress)
        progress(index, 100);
    return Result::Done;
}

AudioJob::Result AudioJob::copyFrames(
    Mp3FrameCopy &copy, TemporaryOutput &output, const std::atomic<bool> &abort, const Progress &progress)
{
    QString error;
    switch (copy.write(output.path(), m_tags, abort, [&](int percent) { if (progress) progress(0, percent); }, &error)) {
    case Mp3FrameCopy::Result::Aborted: return Result::Aborted;
    case Mp3FrameCopy::Result::SourceFailed: return fail(SourceError, error);
    case Mp3FrameCopy::Result::Failed: return fail(DestinationError, error);
    case Mp3FrameCopy::Result::Done: break;
    }
    return commit(output, abort);
}
