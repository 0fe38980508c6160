#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// File times as date-time values.
namespace mdlFileTime {

// A moment counted in 100-nanosecond units since 1 January 1601, 00:00:00,
// in two unsigned 32-bit halves, low half first.
struct FILETIME {
    quint32 dwLowDateTime = 0;
    quint32 dwHighDateTime = 0;
};

// The moment of the file time at whole-second resolution, as a UTC value.
QDateTime FileTimeToDate(const FILETIME &fileTime);
// Reads the file's creation, last access and last write times, in local
// time when toLocal is set, else in UTC. Answers true when they cannot be
// read (the out values are then left alone), false on success. Where the
// file system keeps no creation time, the last write time stands in for it.
bool GetFileTimes(const QString &path, QDateTime &creation, QDateTime &lastAccess, QDateTime &lastWrite,
                  bool toLocal);
// The file's creation date and time in local time; the zero date-time
// (30 December 1899, 00:00:00) when it cannot be read.
QDateTime GetFileCreated(const QString &path);
// The same moment in UTC, for threads that should not queue on the time zone
// lock which every local-time conversion takes; invalid when it cannot be read.
QDateTime GetFileCreatedUtc(const QString &path);
// The zero date-time, 30 December 1899, 00:00:00 local time.
QDateTime ZeroDate();

} // namespace mdlFileTime
