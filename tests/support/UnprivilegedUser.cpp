#include "support/UnprivilegedUser.h"

#include "support/TestEnvironment.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <grp.h>
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

} // namespace

UnprivilegedUser::UnprivilegedUser()
{
    if (::geteuid() != 0)
        return;
    const int count = ::getgroups(0, nullptr);
    m_groups.resize(qMax(count, 0));
    if (count > 0)
        ::getgroups(count, m_groups.data());
    handOver(kUser, kGroup);
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
