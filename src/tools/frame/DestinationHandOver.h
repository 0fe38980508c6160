#pragma once

#include <QString>

class AudioDestination;

// Hands a job control the destination format and the encoder record built
// from the published audio format settings, as every tool window does when a
// job starts.
namespace DestinationHandOver {

// index is the destination format index (0 WAV ... 5 APE; anything else
// counts as WAV). Sets DestFormat to index + 1 and makes the format's settings
// call; answers the format's short name for the log ("WAV", "ACM WAV", ...).
QString handOver(AudioDestination &control, qint16 index);

} // namespace DestinationHandOver
