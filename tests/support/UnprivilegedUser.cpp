#include "support/UnprivilegedUser.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The conventional unprivileged account; it needs no entry in the user table.
constexpr uid_t kUser = 65534;
constexpr gid_t kGroup = 65534;

void handOver(uid_t user, gid_t group)
{
    const QString root = TestEnv::root();
    const QByteArray top = QFile::encodeName(root);
    if (::lchown(top.constData(), user, group) != 0)
        ADD_FAILURE() << "cannot hand " << top.constData() << " over: " << std::strerror(errno);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QByteArray path = QFile::encodeName(it.next());
        if (::lchown(path.constData(), user, group) != 0)
            ADD_FAILURE() << "cannot hand " << path.constData() << " over: " << std::strerror(errno);
    }
}

// Whether the ordinary user may pass through path and every folder above it.
bool passable(const QString &path)
{
    QString folder = QDir(path).absolutePath();
    for (;;) {
        struct stat st {};
        if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
        const mode_t bit = st.st_uid == kUser ? S_IXUSR : st.st_gid == kGroup ? S_IXGRP : S_IXOTH;
        if (!(st.st_mode & bit))
            return false;
        if (folder == QLatin1String("/"))
            return true;
        folder = QFileInfo(folder).absolutePath();
    }
}

} // namespace

QString UnprivilegedUser::foldersBase(const QString &temp)
{
    if (::geteuid() != 0 || passable(temp))
        return temp;
    for (const char *shared : {"/tmp", "/var/tmp", "/dev/shm"}) {
        const QString folder = QString::fromLatin1(shared);
        if (passable(folder) && QFileInfo(folder).isWritable())
            return folder;
    }
    return temp;
}

UnprivilegedUser::UnprivilegedUser()
{
    if (::geteuid() != 0)
        return;
    const int count = ::getgroups(0, nullptr);
    m_groups.resize(qMax(count, 0));
    if (count > 0)
        ::getgroups(count, m_groups.data());
    handOver(kUser, kGroup);
    // Else every file test would fail for want of a way to the folder, and
    // a test that expects a refusal would pass for the wrong reason.
    if (!passable(TestEnv::root()))
        ADD_FAILURE() << "the ordinary user cannot pass through the folders above " << qPrintable(TestEnv::root());
    // The saved ids stay the super-user's, which is what lets the destructor
    // take the privileges back.
    const gid_t groups[] = {kGroup};
    if (::setgroups(1, groups) != 0 || ::setresgid(kGroup, kGroup, 0) != 0 || ::setresuid(kUser, kUser, 0) != 0) {
        ADD_FAILURE() << "cannot become an ordinary user: " << std::strerror(errno);
        ::setresuid(0, 0, 0);
        ::setresgid(0, 0, 0);
        ::setgroups(size_t(m_groups.size()), m_groups.constData());
        return;
    }
    m_dropped = true;
}

UnprivilegedUser::~UnprivilegedUser()
{
    if (!m_dropped)
        return;
    if (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0
        || ::setgroups(size_t(m_groups.size()), m_groups.constData()) != 0)
        ADD_FAILURE() << "cannot take the super-user's privileges back: " << std::strerror(errno);
    handOver(0, 0);
}
