#pragma once

#include <QString>

namespace Mp3InfoTag {

// The exact number of samples of an MP3 whose first frame carries a Xing or
// Info tag with the LAME extension (LAME and FFmpeg write it): the tag's
// frame count less the encoder's delay and padding, which decoders drop.
// -1 when the file has no such tag.
qint64 samples(const QString &path);

} // namespace Mp3InfoTag
