#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;
class QSaveFile;

// Replacing a file in one step so that a failed save never costs the old
// content. QSaveFile alone is not enough: what its buffer still holds is
// written inside commit(), and a failure there (a full disk) is not reported,
// so the empty or cut temporary replaces the file. Every write here is
// checked, the buffer is flushed before commit, and any failure drops the
// temporary and keeps the old file. Failures come back as the system's own
// text ("No space left on device"); an empty text means written. (A write
// the system takes only in part leaves Qt's text at "Unknown error": the
// rest is written again, and that second try tells the cause.)
namespace SafeWrite {

// Writes bytes as the whole new content of path. With directFallback, a
// folder the user may write files in but not create files in still gets the
// file rewritten in place (then a failure may leave it cut).
QString replaceFile(const QString &path, const QByteArray &bytes, bool directFallback = false);

// For writers that stream into an open file: writes the whole chunk and
// answers the error text. A failing QSaveFile is cancelled, its old file kept.
QString write(QFileDevice &file, const QByteArray &bytes);
// Writes out what the file still buffers.
QString flush(QFileDevice &file);
// Flushes and commits; on failure the save is cancelled, the old file kept.
QString commit(QSaveFile &file);

// "Cannot save <path>: <error>", the message a caller shows the user.
QString cannotSave(const QString &path, const QString &error);

} // namespace SafeWrite
