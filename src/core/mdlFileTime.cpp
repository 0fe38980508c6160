#include "core/mdlFileTime.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

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
    if (path.isEmpty())
        return true;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return true;

    const QDateTime written = info.lastModified().toUTC();
    if (!written.isValid())
        return true;
    QDateTime born = info.birthTime().toUTC();
    if (!born.isValid())
        born = written;
    QDateTime accessed = info.lastRead().toUTC();
    if (!accessed.isValid())
        accessed = written;

    const auto convert = [toLocal](const QDateTime &moment) {
        const QDateTime utc = FileTimeToDate(toFileTime(moment));
        return toLocal ? utc.toLocalTime() : utc;
    };
    creation = convert(born);
    lastAccess = convert(accessed);
    lastWrite = convert(written);
    return false;
}

QDateTime GetFileCreatedUtc(const QString &path)
{
    // Read straight from the file system, with no local time on the way:
    // every local-time conversion takes the time zone lock.
    struct statx st {};
    if (path.isEmpty()
        || statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_TYPE | STATX_MTIME | STATX_BTIME, &st) != 0
        || S_ISDIR(st.stx_mode))
        return {};
    const auto msecs = [](const statx_timestamp &t) { return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000; };
    // A file system without creation times leaves the last write time for it.
    const qint64 born = (st.stx_mask & STATX_BTIME) ? msecs(st.stx_btime) : 0;
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(born != 0 ? born : msecs(st.stx_mtime), Qt::UTC);
    return FileTimeToDate(toFileTime(moment));
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
