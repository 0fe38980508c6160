#pragma once

#include <QString>

// File tests and the size text of one file.
namespace mdlFileSystem {

// Deletes the file; true when it is gone, false on any failure.
bool DeleteFileSafe(const QString &path);
// True when a file (not a folder) of that path exists.
bool FileExists(const QString &path);
// The "Size" text of an item: "999 bytes", then "0.98 KB", "100.0 KB",
// "999 KB", "0.98 MB" and so on, stepping by 1024 up to "YB".
QString FormatFileSize(double bytes);
// The number part of a size: whole from 100 up (halves to the even
// neighbour), one decimal from 10, two decimals below (halves away from zero).
QString FormatSizeNumber(double value);

} // namespace mdlFileSystem
