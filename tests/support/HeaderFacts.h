#pragma once

#include "controls/audio/AudioFacts.h"

#include <QString>

#include <optional>

// Checks for the readers that describe a file from its header alone: what
// they answer must be what a full open of the file gives, and what ffprobe
// sees of it.
namespace HeaderFacts {

// The facts of a full open by the decoder; nothing when it cannot open it.
std::optional<AudioFacts> fullProbe(const QString &path);

// header against the full open's facts and against ffprobe.
void expectSameAsFullProbe(const QString &path, const AudioFacts &header, const AudioFacts &full);

// What the lists take for the file is the full open's answer, and its tags
// read the same with the container known as when it is probed.
void expectListViewIsTheFullProbe(const QString &path, const std::optional<AudioFacts> &full);

} // namespace HeaderFacts
