#include "core/mdlFileTime.h"

#include <QFileInfo>

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

QDateTime GetFileCreated(const QString &path)
{
    QDateTime creation = ZeroDate();
    QDateTime lastAccess;
    QDateTime lastWrite;
    if (GetFileTimes(path, creation, lastAccess, lastWrite, true))
        return ZeroDate();
    return creation;
}

QDateTime ZeroDate()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0));
}

} // namespace mdlFileTime
