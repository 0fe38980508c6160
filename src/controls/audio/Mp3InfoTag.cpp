#include "controls/audio/Mp3InfoTag.h"

#include "controls/audio/FileWindow.h"
#include "controls/audio/Mp3Frames.h"

#include <QFile>

namespace Mp3InfoTag {

qint64 samples(const QString &path)
{
    using namespace Mp3Frames;
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
    switch (tag.kind) {
    case TagFrame::Counted: return tag.decodedSamples(first);
    case TagFrame::NoCount: pos += first.bytes; break;
    case TagFrame::None: break;
    }
    qint64 total = 0;
    while (pos + 4 <= end) {
        const uchar *p = file.at(pos, 4);
        if (!p)
            break;
        const auto h = parseHeader(p);
        if (h && first.sameStream(*h) && pos + h->bytes <= end) {
            total += h->samples;
            pos += h->bytes;
            continue;
        }
        // Damage between frames: the decoder skips to the next frame too.
        pos = findFrame(file, pos + 1, end, &first);
        if (pos < 0)
            break;
    }
    return total > 0 ? total : -1;
}

} // namespace Mp3InfoTag
