#pragma once

#include "support/AudioFiles.h"

#include <string>

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

// The sample of channel ch at index i of a signal that a transform coder
// meets as it meets music: notes that change every quarter second over a
// bass line, and noise bursts with sharp attacks that make Vorbis, Opus and
// WMA switch between long and short blocks.
qint16 musicLike(qint64 i, int ch, int rate);
// Writes a PCM WAV of frames samples of musicLike.
void writeMusicWav(const QString &path, const TestAudio::WavSpec &spec, qint64 frames);

// Where part differs by more than tolerance from the count interleaved
// samples of all that start at from, for a readable failure; empty when it
// does not.
std::string rangeDifference(
    const QVector<qint16> &part, const QVector<qint16> &all, qsizetype from, qsizetype count, int tolerance = 0);

} // namespace Fixture
