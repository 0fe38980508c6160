#pragma once

#include <QString>

// The audio files the program reads.
namespace mdlSupportedFormats {

// The open dialog's filter: twelve description and pattern pairs, each
// description and each pattern followed by one NUL character; the first
// pair selects every supported extension.
QString GetAudioOpenFilter();

// Whether the lower-cased extension occurs anywhere in the lower-cased filter
// text (descriptions and patterns alike), so an empty one always does. The
// text is made once, so this is cheap enough to ask for every path of an add.
bool IsOfferedExtension(const QString &extension);

} // namespace mdlSupportedFormats
