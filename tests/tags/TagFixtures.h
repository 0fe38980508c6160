#pragma once

#include "support/AudioFiles.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Small MP3 files and hand-made tags for the tag class tests.
namespace TagFixture {

// count MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each) whose
// main data is a pattern that differs from frame to frame, so any shifted or
// lost byte of the audio shows.
QByteArray mpegFrames(int count);

// A file in the test's work folder holding bytes; answers its path.
QString writeFile(const QString &name, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// A version 3 or 4 frame: id, 32-bit size (sync-safe for version 4), flags.
QByteArray frame(const QByteArray &id, const QByteArray &data, int version = 3, quint16 flags = 0);
// A version 2 frame: three-letter id and a 24-bit size.
QByteArray frameV22(const QByteArray &id, const QByteArray &data);
// A tag header of the version with the size field given as its four bytes.
QByteArray header(int version, quint32 sizeField, quint8 flags = 0);
// A standard tag: header with the sync-safe size of frames plus padding.
QByteArray tag(int version, const QByteArray &frames, int padding = 0, quint8 flags = 0);
// An ISO-8859-1 text frame's data.
QByteArray latin1Text(const QString &text);

// ffprobe's tags of the file (container level), keys lower-cased; empty when
// ffprobe could not read the file.
QMap<QString, QString> probeTags(const QString &path);
// Whether ffprobe sees an MP3 stream in the file.
bool probesAsMp3(const QString &path);
// Runs ffmpeg with the arguments; true when it succeeded.
using TestAudio::ffmpeg;

} // namespace TagFixture
