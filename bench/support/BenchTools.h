#pragma once

#include "controls/audio/cAudioConverter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// What every whole-job benchmark needs: inputs written without raising this
// process's memory, a job through the converter control, a peer tool's run.
namespace Bench {

constexpr int kRate = 44100;

// The 44-byte header of a 16-bit PCM WAV holding dataBytes.
QByteArray wavHeader(int channels, int rate, quint32 dataBytes);

// Streams a tone-and-noise stereo 16-bit WAV of seconds to disk a second at
// a time.
bool writeWav(const QString &path, int seconds);

// One conversion through the control, waiting for its ending; seconds taken,
// NaN when it failed. A start of -1 converts the whole source.
double convert(cAudioConverter &c, const QString &source, const QString &dest, int start = -1, int length = -1);

// Runs a peer tool to its end; seconds taken, NaN when it failed.
double runPeer(const QString &program, const QStringList &args);

} // namespace Bench
