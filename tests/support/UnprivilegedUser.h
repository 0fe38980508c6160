#pragma once

#include <QList>

#include <sys/types.h>

// While it lives, the whole process runs as an ordinary user that owns the
// running test's folders, so file permissions bind as they do for any user:
// the super-user's way past them is put aside. Nothing changes when the
// tests already run as an ordinary user.
class UnprivilegedUser {
public:
    UnprivilegedUser();
    ~UnprivilegedUser();
    UnprivilegedUser(const UnprivilegedUser &) = delete;
    UnprivilegedUser &operator=(const UnprivilegedUser &) = delete;

private:
    bool m_dropped = false;
    QList<gid_t> m_groups;
};
