#include "controls/audio/Mp3InfoTag.h"

#include "controls/audio/FileWindow.h"
#include "controls/audio/Mp3Frames.h"

#include <QFile>

#include <algorithm>

namespace Mp3InfoTag {

namespace {

using namespace Mp3Frames;

// The samples a decoder yields from the frames between pos and end: the
// whole frames, and a last frame cut short, which it still decodes whole
// once its header is there.
qint64 frameSamples(FileWindow &file, qint64 pos, qint64 end, const Header &like)
{
    qint64 total = 0;
    while (pos + 4 <= end) {
        const uchar *p = file.at(pos, 4);
        if (!p)
            break;
        const auto h = parseHeader(p);
        if (h && like.sameStream(*h)) {
            total += h->samples;
            pos += h->bytes;
            continue;
        }
        // Damage between frames: the decoder skips to the next frame too.
        pos = findFrame(file, pos + 1, end, &like);
        if (pos < 0)
            break;
    }
    return total;
}

} // namespace

qint64 samples(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || f.size() < 4)
        return -1;
    FileWindow file(f);
    qint64 pos = afterId3v2(file);
    const qint64 end = beforeEndTags(file, file.size(), pos);
    pos = findFrame(file, pos, end, nullptr);
    if (pos < 0)
        return -1;
    // The frame found lies whole before end.
    const Header first = *parseHeader(file.at(pos, 4));
    const uchar *firstFrame = file.at(pos, first.bytes);
    if (!firstFrame)
        return -1;
    const TagFrame tag = readTagFrame(firstFrame, first);
    if (tag.kind == TagFrame::Counted) {
        // A file that holds every byte the tag counts decodes to the tag's
        // length; one cut short stops where its frames do.
        if (tag.bytes > 0 && end - pos >= tag.bytes)
            return tag.decodedSamples(first);
        const qint64 decoded = frameSamples(file, pos + first.bytes, end, first) - tag.delay - kDecoderDelay;
        const qint64 total = std::min(tag.decodedSamples(first), decoded);
        return total > 0 ? total : -1;
    }
    if (tag.kind == TagFrame::NoCount)
        pos += first.bytes;
    const qint64 total = frameSamples(file, pos, end, first);
    return total > 0 ? total : -1;
}

} // namespace Mp3InfoTag
