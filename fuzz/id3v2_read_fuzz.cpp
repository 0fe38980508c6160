// Reads any bytes as the start of an MP3 file: the tag reader must neither
// crash nor claim a tag end beyond the file, and every frame it hands over
// must survive the text conversions of the frame store.
#include "controls/audio/Id3v2Layout.h"
#include "controls/audio/Id3v2Text.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    const Id3v2Layout::ParsedTag tag = Id3v2Layout::parseTag(device);
    if (tag.regionEnd < 0 || tag.regionEnd > qint64(size))
        std::abort();
    for (const Id3v2Layout::ParsedFrame &frame : tag.frames) {
        if (frame.id.size() != 4)
            std::abort();
        const QString value = Id3v2Text::frameValue(frame.id, frame.data);
        Id3v2Text::frameData(frame.id, value);
        Id3v2Text::toVersion3Encoding(frame.id, frame.data);
    }
    return 0;
}
