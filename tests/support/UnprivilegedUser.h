#pragma once

#include <QList>
#include <QString>

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

    // Where the tests' own folders go: temp itself, unless the tests run as
    // the super-user and the ordinary user could not pass through temp or a
    // folder above it (a temporary folder only its owner may enter); then
    // the first of the machine's shared temporary folders that user can
    // pass through.
    static QString foldersBase(const QString &temp);

private:
    bool m_dropped = false;
    QList<gid_t> m_groups;
};
