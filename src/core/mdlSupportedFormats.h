#pragma once

#include <QString>

// The audio files the program reads.
namespace mdlSupportedFormats {

// The open dialog's filter: twelve description and pattern pairs, each
// description and each pattern followed by one NUL character; the first
// pair selects every supported extension.
QString GetAudioOpenFilter();

} // namespace mdlSupportedFormats
