#pragma once

#include <QString>

namespace Mp3InfoTag {

// The exact number of samples an MP3 file decodes to. When its first frame
// carries a Xing or Info tag with the LAME extension (LAME and FFmpeg write
// it), that is the tag's frame count less the encoder's delay and padding,
// which decoders drop, unless the file ends before the frames the tag
// counts. Otherwise every frame decodes whole, a last one cut short too, so
// the frame headers are counted: a walk from header to header, reading no
// audio. -1 when the file holds no MPEG audio frames.
qint64 samples(const QString &path);

} // namespace Mp3InfoTag
