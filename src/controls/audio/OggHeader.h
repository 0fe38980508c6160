#pragma once

#include "controls/audio/AudioFacts.h"
#include "controls/audio/AudioTags.h"

#include <QString>

#include <optional>

// Reads what an Ogg Vorbis file says of itself from its first pages and its
// last ones, in one open, exactly as a full open and stream probe would
// report its facts and as the tag reader would report its comments. Only a
// single Vorbis stream whose headers end on a page of their own is answered;
// other codecs, several or chained streams, cover pictures, chapters, damaged
// pages where the library looks and files too short to be sure of answer
// empty, and the caller probes the file fully.
namespace OggHeader {

struct Description {
    AudioFacts facts;
    AudioTags tags;
};

std::optional<Description> plainVorbis(const QString &path);

} // namespace OggHeader
