#pragma once

#include "controls/audio/AudioFacts.h"

#include <QString>

#include <optional>

// Reads what an MP3 file says of itself from its first frames, exactly as a
// full open and stream probe would report it, without running the format
// probe or the decoder. Only plain Layer III streams that the library can
// take for nothing but MP3 are answered (an .mp3 name, the frames right at
// the start or after an ID3v2 tag); free-format, MPEG-2.5, other layers,
// junk before the first frame and streams too short to be sure of answer
// empty, and the caller probes the file fully.
namespace Mp3Header {

std::optional<AudioFacts> plainFacts(const QString &path);

} // namespace Mp3Header
