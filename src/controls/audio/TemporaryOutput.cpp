#include "controls/audio/TemporaryOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only the start of the name: a destination name near the file system's
// limit would leave no room for the temporary's additions.
constexpr int kNameStart = 32;

bool isTemporaryName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.[0-9a-f]{1,16}\\.part$"));
    return pattern.match(name).hasMatch();
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

} // namespace

TemporaryOutput::TemporaryOutput(QString destination)
    : m_destination(std::move(destination))
{
    const QFileInfo info(m_destination);
    removeStale(info.absolutePath());
    m_path = QStringLiteral("%1/.%2.%3.part")
                 .arg(info.absolutePath(), info.fileName().left(kNameStart))
                 .arg(QRandomGenerator::global()->generate64(), 0, 16);
    // Made and locked under a name no sweep takes, then given its own: no
    // other job's sweep ever finds it unlocked. Where it cannot be made, the
    // writer's own opening reports why.
    const QByteArray path = QFile::encodeName(m_path);
    const QByteArray making = path + ".new";
    m_fd = ::open(making.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd >= 0 && (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || ::rename(making.constData(), path.constData()) != 0)) {
        ::unlink(making.constData());
        ::close(m_fd);
        m_fd = -1;
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

void TemporaryOutput::removeStale(const QString &folder)
{
    const QStringList names
        = QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!isTemporaryName(name))
            continue;
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat opened {};
        struct stat named {};
        // Unlocked means its job is gone: a live one holds the lock from the
        // moment the file has this name until it is renamed or removed.
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::lstat(path.constData(), &named) == 0 && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
            ::unlink(path.constData());
        ::close(fd);
    }
}
