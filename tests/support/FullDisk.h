#pragma once

#include <QByteArray>
#include <QString>

// A small file system of its own mounted over a folder while the object
// lives, which the test fills to the last block: what is written there next
// fails as it does on a full disk ("No space left on device"). The folder
// is created when missing; what it held is out of sight until the end.
//
// A tmpfs is the one file system every Linux machine can make without a
// device or an image. Mounting one takes the super-user's rights, which the
// tests run with; the mount is taken off (lazily, so an open file cannot
// keep it) when the object goes.
class FullDisk {
public:
    explicit FullDisk(const QString &folder);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    // Whether the folder is now a file system of its own.
    bool mounted() const { return m_mounted; }
    // Takes every block still free, with a file of its own.
    void fill();

    // The system's text for a full disk.
    static QString noSpace();

private:
    QByteArray m_folder;
    bool m_mounted = false;
};
