#include "controls/audio/TemporaryOutput.h"

#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only the start of the name: a destination name near the file system's
// limit would leave no room for the temporary's additions.
constexpr int kNameStart = 32;
// A name taken by a sweep between its making and its lock is made afresh.
constexpr int kTries = 8;
constexpr QLatin1String kJobMark(".sonvale.part");
constexpr QLatin1String kTakeMark(".sonvale.take");

// The destination name the temporary was made for, or empty when the name
// is none of ours.
QString madeFor(const QString &name, bool *take)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.(.+)\\.[0-9a-f]{1,16}\\.sonvale\\.(part|take)$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return {};
    *take = match.captured(2) == QLatin1String("take");
    return match.captured(1);
}

// True while path names the file open as fd: no sweep has taken it.
bool stillNamed(int fd, const QByteArray &path)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && opened.st_nlink > 0 && ::lstat(path.constData(), &named) == 0
        && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev;
}

void syncFolder(const QString &folder)
{
    // The rename itself is only lasting once the folder is on the disc. The
    // file is in place by now whatever this answers, so it is not reported.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Gives a killed recording's take a name the user sees, beside where it was
// being recorded; never over a file there. Empty when it could not be moved.
QString keepTake(const QString &folder, const QByteArray &path, const QString &destinationName)
{
    const QFileInfo destination(destinationName);
    const QString base = destination.completeBaseName().isEmpty() ? destinationName : destination.completeBaseName();
    const QString extension = destination.suffix().isEmpty() ? QString() : QLatin1Char('.') + destination.suffix();
    for (int n = 1; n < 1000; ++n) {
        const QString mark = n == 1 ? QStringLiteral(" (unfinished)") : QStringLiteral(" (unfinished %1)").arg(n);
        const QString kept = folder + QLatin1Char('/') + base + mark + extension;
        if (::renameat2(AT_FDCWD, path.constData(), AT_FDCWD, QFile::encodeName(kept).constData(), RENAME_NOREPLACE)
            == 0)
            return kept;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

void tellKeptTakes(const QStringList &kept)
{
    for (const QString &path : kept)
        qWarning("A recording that was cut short is kept as %s", qPrintable(path));
    QCoreApplication *app = QCoreApplication::instance();
    if (kept.isEmpty() || !app)
        return;
    // Sweeps run in jobs' threads; the user is told from the program's own.
    QMetaObject::invokeMethod(app, [kept] {
        MsgBox(QStringLiteral("A recording was cut short before it was saved. What was recorded is kept as:\n\n%1")
                   .arg(kept.join(QLatin1Char('\n'))),
               Msg::Information);
    }, Qt::QueuedConnection);
}

} // namespace

TemporaryOutput::TemporaryOutput(QString destination, Kind kind)
    : m_destination(std::move(destination))
{
    const QFileInfo info(m_destination);
    removeStale(info.absolutePath());
    // Made and then locked: a sweep that finds it in between takes it, and
    // it is made again under another name. Where it cannot be made, the
    // writer's own opening reports why.
    for (int i = 0; i < kTries; ++i) {
        m_path = QStringLiteral("%1/.%2.%3%4")
                     .arg(info.absolutePath(), info.fileName().left(kNameStart))
                     .arg(QRandomGenerator::global()->generate64(), 0, 16)
                     .arg(kind == Kind::Take ? kTakeMark : kJobMark);
        const QByteArray path = QFile::encodeName(m_path);
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd, path)) {
            m_fd = fd;
            return;
        }
        ::close(fd);
    }
}

TemporaryOutput::~TemporaryOutput()
{
    if (!m_kept)
        QFile::remove(m_path);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool TemporaryOutput::sync()
{
    // The writer has closed its own handle; syncing through any handle of
    // the file writes all of it.
    const int fd = m_fd >= 0 ? m_fd : ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int why = errno;
    if (fd != m_fd)
        ::close(fd);
    errno = why;
    return ok;
}

void TemporaryOutput::placed()
{
    m_kept = true;
    syncFolder(QFileInfo(m_destination).absolutePath());
}

bool TemporaryOutput::commit()
{
    if (!sync())
        return false;
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_destination).constData()) != 0)
        return false;
    placed();
    return true;
}

QStringList TemporaryOutput::removeStale(const QString &folder)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral(".*.sonvale.part"), QStringLiteral(".*.sonvale.take")},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    QStringList kept;
    for (const QString &name : names) {
        bool take = false;
        const QString destinationName = madeFor(name, &take);
        if (destinationName.isEmpty())
            continue;
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat opened {};
        // Unlocked means its job is gone: a live one holds the lock from the
        // moment it knows the file is its own until it is renamed or removed.
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && stillNamed(fd, path)) {
            if (!take) {
                ::unlink(path.constData());
            } else if (opened.st_size == 0) {
                ::unlink(path.constData()); // killed before a byte was recorded
            } else {
                const QString keptAs = keepTake(folder, path, destinationName);
                if (!keptAs.isEmpty())
                    kept << keptAs;
            }
        }
        ::close(fd);
    }
    tellKeptTakes(kept);
    return kept;
}
