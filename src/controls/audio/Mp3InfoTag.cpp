#include "controls/audio/Mp3InfoTag.h"

#include "controls/audio/Mp3Frames.h"

#include <QFile>

#include <algorithm>

namespace Mp3InfoTag {

namespace {

using namespace Mp3Frames;

// The delay of a decoder's synthesis filter bank, which gapless decoders
// drop at the start on top of the encoder's own delay.
constexpr int kDecoderDelay = 529;

// The samples a decoder yields from the frames between pos and end: the
// whole frames, and a last frame cut short, which it still decodes whole
// once its header is there.
qint64 frameSamples(const uchar *d, qint64 pos, qint64 end, const Header &like)
{
    qint64 total = 0;
    while (pos + 4 <= end) {
        const auto h = parseHeader(d + pos);
        if (h && like.sameStream(*h)) {
            total += h->samples;
            pos += h->bytes;
            continue;
        }
        // Damage between frames: the decoder skips to the next frame too.
        pos = findFrame(d, pos + 1, end, &like);
        if (pos < 0)
            break;
    }
    return total;
}

} // namespace

qint64 samples(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 4)
        return -1;
    const qint64 size = f.size();
    const uchar *d = f.map(0, size);
    if (!d)
        return -1;
    qint64 pos = afterId3v2(d, size);
    const qint64 end = beforeEndTags(d, size, pos);
    pos = findFrame(d, pos, end, nullptr);
    if (pos < 0)
        return -1;
    const Header first = *parseHeader(d + pos);
    const TagFrame tag = readTagFrame(d + pos, first);
    if (tag.kind == TagFrame::Counted) {
        // A file that holds every byte the tag counts decodes to the tag's
        // length; one cut short stops where its frames do.
        if (tag.bytes > 0 && end - pos >= tag.bytes)
            return tag.decodedSamples(first);
        const qint64 decoded = frameSamples(d, pos + first.bytes, end, first) - tag.delay - kDecoderDelay;
        const qint64 total = std::min(tag.decodedSamples(first), decoded);
        return total > 0 ? total : -1;
    }
    if (tag.kind == TagFrame::NoCount)
        pos += first.bytes;
    const qint64 total = frameSamples(d, pos, end, first);
    return total > 0 ? total : -1;
}

} // namespace Mp3InfoTag
