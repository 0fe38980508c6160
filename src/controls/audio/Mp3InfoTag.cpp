#include "controls/audio/Mp3InfoTag.h"

#include "controls/audio/Mp3Frames.h"

#include <QFile>

namespace Mp3InfoTag {

qint64 samples(const QString &path)
{
    using namespace Mp3Frames;
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
    switch (tag.kind) {
    case TagFrame::Counted: return tag.decodedSamples(first);
    case TagFrame::NoCount: pos += first.bytes; break;
    case TagFrame::None: break;
    }
    qint64 total = 0;
    while (pos + 4 <= end) {
        const auto h = parseHeader(d + pos);
        if (h && first.sameStream(*h) && pos + h->bytes <= end) {
            total += h->samples;
            pos += h->bytes;
            continue;
        }
        // Damage between frames: the decoder skips to the next frame too.
        pos = findFrame(d, pos + 1, end, &first);
        if (pos < 0)
            break;
    }
    return total > 0 ? total : -1;
}

} // namespace Mp3InfoTag
