#include "core/mdlFileTime.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <optional>

namespace {

constexpr quint64 ticksPerSecond = 10'000'000;

QDateTime fileTimeEpoch()
{
    return QDateTime(QDate(1601, 1, 1), QTime(0, 0, 0), Qt::UTC);
}

mdlFileTime::FILETIME toFileTime(const QDateTime &moment)
{
    const qint64 msecs = fileTimeEpoch().msecsTo(moment);
    const quint64 ticks = msecs < 0 ? 0 : quint64(msecs) * 10'000;
    return {quint32(ticks & 0xFFFFFFFFu), quint32(ticks >> 32)};
}

struct Times {
    QDateTime born;
    QDateTime accessed;
    QDateTime written;
};

// A file's times in UTC, read straight from the file system: going through
// local time would take the time zone lock, which every local-time
// conversion takes and the workers probing a list's files would queue on.
// Nothing for a folder or a file that cannot be read.
std::optional<Times> readTimes(const QString &path)
{
    struct statx st {};
    if (path.isEmpty()
        || statx(AT_FDCWD, QFile::encodeName(path).constData(), 0,
               STATX_TYPE | STATX_ATIME | STATX_MTIME | STATX_BTIME, &st)
            != 0
        || S_ISDIR(st.stx_mode))
        return std::nullopt;
    const auto utc = [](const statx_timestamp &t) {
        return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000, Qt::UTC);
    };
    Times times;
    times.written = utc(st.stx_mtime);
    times.accessed = utc(st.stx_atime);
    // A file system without creation times leaves the last write time for it.
    const bool hasBirth = (st.stx_mask & STATX_BTIME) && (st.stx_btime.tv_sec != 0 || st.stx_btime.tv_nsec != 0);
    times.born = hasBirth ? utc(st.stx_btime) : times.written;
    return times;
}

} // namespace

namespace mdlFileTime {

QDateTime FileTimeToDate(const FILETIME &fileTime)
{
    const quint64 ticks = (quint64(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
    quint64 seconds = ticks / ticksPerSecond;
    const quint64 rest = ticks % ticksPerSecond;
    // To the nearest second, a half to the even neighbour.
    if (rest > ticksPerSecond / 2 || (rest == ticksPerSecond / 2 && (seconds & 1)))
        ++seconds;
    return fileTimeEpoch().addSecs(qint64(seconds));
}

bool GetFileTimes(const QString &path, QDateTime &creation, QDateTime &lastAccess, QDateTime &lastWrite,
                  bool toLocal)
{
    const std::optional<Times> times = readTimes(path);
    if (!times)
        return true;
    const auto convert = [toLocal](const QDateTime &moment) {
        const QDateTime utc = FileTimeToDate(toFileTime(moment));
        return toLocal ? utc.toLocalTime() : utc;
    };
    creation = convert(times->born);
    lastAccess = convert(times->accessed);
    lastWrite = convert(times->written);
    return false;
}

QDateTime GetFileCreatedUtc(const QString &path)
{
    const std::optional<Times> times = readTimes(path);
    return times ? FileTimeToDate(toFileTime(times->born)) : QDateTime();
}

QDateTime GetFileCreated(const QString &path)
{
    const QDateTime created = GetFileCreatedUtc(path);
    return created.isValid() ? created.toLocalTime() : ZeroDate();
}

QDateTime ZeroDate()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0));
}

} // namespace mdlFileTime
