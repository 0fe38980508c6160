#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// Room for the few small files a test puts there before it fills the rest.
constexpr const char *kOptions = "size=256k,mode=0777";

class Fd {
public:
    explicit Fd(int fd)
        : m_fd(fd)
    {
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

FullDisk::FullDisk(const QString &folder)
    : m_folder(QFile::encodeName(QDir::cleanPath(folder)))
{
    QDir().mkpath(folder);
    if (::mount("sonvale-full", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, kOptions) != 0) {
        ADD_FAILURE() << "cannot mount a small file system on " << m_folder.constData() << ": "
                      << std::strerror(errno) << " (the tests need the super-user's rights)";
        return;
    }
    m_mounted = true;
}

FullDisk::~FullDisk()
{
    if (m_mounted && ::umount2(m_folder.constData(), MNT_DETACH) != 0)
        ADD_FAILURE() << "cannot unmount " << m_folder.constData() << ": " << std::strerror(errno);
}

void FullDisk::fill()
{
    const QByteArray path = m_folder + "/.filler";
    const Fd fd(::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
    ASSERT_GE(fd.get(), 0) << std::strerror(errno);
    // Whole pages first, then single bytes for whatever a page leaves.
    for (const size_t step : {size_t(4096), size_t(1)}) {
        const QByteArray block(qsizetype(step), 'f');
        while (::write(fd.get(), block.constData(), step) > 0) {
        }
        ASSERT_EQ(errno, ENOSPC) << std::strerror(errno);
    }
}

QString FullDisk::noSpace()
{
    return QString::fromLocal8Bit(std::strerror(ENOSPC));
}
