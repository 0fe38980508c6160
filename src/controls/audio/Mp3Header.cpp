#include "controls/audio/Mp3Header.h"

#include "controls/audio/Mp3Frames.h"
#include "controls/audio/Mp3InfoTag.h"

#include <QFile>

namespace Mp3Header {

namespace {

// The library's MP3 probe is sure of a stream from this many frames in a
// row at its start.
constexpr int kSureFrames = 7;
// Enough for the tag frame and the frames after it at any bitrate.
constexpr qint64 kHeadBytes = 16 * 1024;

} // namespace

std::optional<AudioFacts> plainFacts(const QString &path)
{
    using namespace Mp3Frames;
    if (!path.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    const qint64 size = file.size();
    const QByteArray tagHeader = file.read(10);
    const qint64 start = afterId3v2(reinterpret_cast<const uchar *>(tagHeader.constData()), tagHeader.size());
    if (start >= size || !file.seek(start))
        return std::nullopt;
    const QByteArray head = file.read(kHeadBytes);
    const auto *d = reinterpret_cast<const uchar *>(head.constData());
    const qint64 headSize = head.size();
    if (headSize < 4)
        return std::nullopt;

    const std::optional<Header> first = parseHeader(d);
    if (!first || first->layer != 3 || first->version == 0)
        return std::nullopt;
    // A chain of whole frames from the first byte: what the probe needs to
    // name the stream MP3, and what the length count starts from.
    qint64 pos = 0;
    for (int frames = 0; frames <= kSureFrames; ++frames) {
        if (pos + 4 > headSize)
            return std::nullopt;
        const std::optional<Header> h = parseHeader(d + pos);
        // The decoder reports the channels of the frames after the first.
        if (!h || !first->sameStream(*h) || h->mono != first->mono)
            return std::nullopt;
        pos += h->bytes;
    }

    // The same count as the full probe's, which also sees a file cut short.
    const qint64 samples = Mp3InfoTag::samples(path);
    if (samples <= 0)
        return std::nullopt;
    AudioFacts facts;
    facts.container = "mp3";
    facts.sampleRate = first->sampleRate;
    facts.channels = first->mono ? 1 : 2;
    facts.bitsPerSample = 16;
    facts.totalSamples = samples;
    return facts;
}

} // namespace Mp3Header
