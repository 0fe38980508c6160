#include "controls/audio/Mp3FrameWalk.h"

#include "controls/audio/FileWindow.h"

#include <QFile>

#include <algorithm>

namespace {

// The walk reads this much at a time, and looks at abort this often.
constexpr qint64 kWindow = 1 << 20;
constexpr size_t kFramesBetweenLooks = 4096;

} // namespace

std::shared_ptr<const Mp3FrameWalk> Mp3FrameWalk::take(const QString &path, const std::atomic<bool> &abort)
{
    using namespace Mp3Frames;
    auto walk = std::make_shared<Mp3FrameWalk>();
    walk->path = path;
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || source.size() < 4)
        return walk;
    FileWindow file(source, kWindow);
    qint64 pos = afterId3v2(file);
    const qint64 end = beforeEndTags(file, file.size(), pos);
    pos = findFrame(file, pos, end, nullptr);
    if (pos < 0)
        return walk;
    const Header first = *parseHeader(file.at(pos, 4));
    const uchar *firstFrame = file.at(pos, first.bytes);
    if (!firstFrame)
        return walk;
    const TagFrame tag = readTagFrame(firstFrame, first);
    // A tag frame without LAME's extension leaves the decoder's trimming
    // unknown: only LAME-counted and untagged streams are copied.
    if (tag.kind == TagFrame::NoCount)
        return walk;
    if (tag.kind == TagFrame::Counted) {
        walk->extension = QByteArray(reinterpret_cast<const char *>(tag.extension), kLameExtensionBytes);
        pos += first.bytes;
    }
    const uchar *p = pos + 4 <= end ? file.at(pos, 4) : nullptr;
    const auto audio = p ? parseHeader(p) : std::nullopt;
    if (!audio || audio->layer != 3 || audio->version == 0)
        return walk;
    const Header h0 = *audio;
    walk->header = h0;
    walk->firstHeader = QByteArray(reinterpret_cast<const char *>(p), 4);

    std::vector<qint64> &frames = walk->frames;
    std::vector<quint16> &reservoir = walk->mainDataBegin;
    frames.reserve(size_t((end - pos) / h0.bytes + 2));
    reservoir.reserve(frames.capacity());
    const int sideInfo = h0.mainDataOffset();
    const auto damaged = [&] {
        frames = {};
        reservoir = {};
        return walk;
    };
    while (pos < end) {
        if (frames.size() % kFramesBetweenLooks == 0 && abort)
            return nullptr;
        p = pos + sideInfo <= end ? file.at(pos, sideInfo) : nullptr;
        const auto h = p ? parseHeader(p) : std::nullopt;
        if (!h || !h0.sameStream(*h) || h->bitrateIndex != h0.bitrateIndex || h->mono != h0.mono || h->crc != h0.crc
            || pos + h->bytes > end)
            return damaged();
        const uchar *side = p + 4 + (h0.crc ? 2 : 0);
        // Nine bits in MPEG-1, eight in MPEG-2.
        reservoir.push_back(quint16(h0.version == 3 ? (side[0] << 1 | side[1] >> 7) : side[0]));
        frames.push_back(pos);
        pos += h->bytes;
    }
    frames.push_back(pos);
    const qint64 raw = walk->count() * h0.samples;
    if (tag.kind == TagFrame::Counted) {
        if (tag.frames != walk->count())
            return damaged();
        walk->decodeStart = tag.delay + kDecoderDelay;
        walk->decodeEnd = std::min(raw, raw - tag.padding + kDecoderDelay);
    } else {
        walk->decodeStart = 0;
        walk->decodeEnd = raw;
    }
    if (walk->decodeEnd <= walk->decodeStart)
        return damaged();
    walk->copyable = true;
    return walk;
}
