#pragma once

#include "support/AudioFiles.h"

// Small fixtures for the audio control tests.
namespace Fixture {

using TestAudio::WavSpec;
using TestAudio::decodeS16;
using TestAudio::ffmpeg;
using TestAudio::probe;
using TestAudio::probedTag;
using TestAudio::readWav16;

// The sample of channel ch at index i: a tone on the left, noise on the right.
qint16 toneAndNoise(qint64 i, int ch, int rate);

// Writes a PCM WAV of frames samples of toneAndNoise; info holds LIST INFO
// (id, text) pairs.
void writeWav(const QString &path, const TestAudio::WavSpec &spec, qint64 frames, const TestAudio::WavInfo &info = {});

} // namespace Fixture
