#pragma once

#include <QString>
#include <QtGlobal>

// Small audio files for the items-list tests.
namespace ListFixtures {

// A 16-bit PCM WAV of silence, milliseconds long.
void writeWav(const QString &path, int milliseconds, int rate = 8000, int channels = 1);
// A WAV whose header describes fileBytes of audio, stretched to fileBytes
// without writing them (a sparse file), for sizes past 32 bits.
void writeSparseWav(const QString &path, qint64 fileBytes);
// Writes bytes to path as they are.
void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

} // namespace ListFixtures
