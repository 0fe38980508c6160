#pragma once

#include "controls/audio/AudioFacts.h"

#include <QString>

#include <optional>

// Reads what a RIFF/WAVE (or RF64) file of uncompressed integer or float
// samples says of itself, exactly as the demuxer and its stream probe would
// report it. Anything the header alone does not settle the same way (coded
// audio, odd sample layouts, lengths the demuxer guesses from other chunks,
// S/PDIF bursts in PCM) answers empty, and the caller probes the file fully.
namespace WavHeader {

std::optional<AudioFacts> plainPcmFacts(const QString &path);

} // namespace WavHeader
