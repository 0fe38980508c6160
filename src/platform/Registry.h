#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A registry kept in files under AppPaths::registryFolder(): every key is a
// folder, every value a file of its own written atomically, so a process
// killed during a write leaves the old or the new value, and two processes
// writing different values of one key keep both. Key and value names compare
// without regard to case and keep the case they were created with.
//
// Paths are "\"-separated below a predefined root (HKEY_LOCAL_MACHINE, ...);
// empty levels are ignored, so "A\B\" names the key "A\B".
namespace Registry {

enum Result : int {
    Success = 0,
    FileNotFound = 2,
    AccessDenied = 5,
    InvalidHandle = 6,
    NoMoreItems = 259,
    KeyHasSubkeys = 1020,
};

struct Value {
    QString name;
    qint32 type = 0;
    QByteArray data;
};

// The folder name of a predefined root, or empty for an unknown handle.
QString rootName(qint32 root);

bool keyExists(qint32 root, const QString &path);
// Creates the key and its missing parents; Success when it exists afterwards.
int createKey(qint32 root, const QString &path);
// Deletes a key that has no subkeys, with its values.
int deleteKey(qint32 root, const QString &path);

int queryValue(qint32 root, const QString &path, const QString &name, Value *out);
// Writes into an existing key only: a missing key stores nothing (FileNotFound).
// A failed write keeps the old value (AccessDenied) and, when error is given,
// tells the system's reason.
int setValue(qint32 root, const QString &path, const QString &name, qint32 type, const QByteArray &data,
             QString *error = nullptr);
int deleteValue(qint32 root, const QString &path, const QString &name);

// Direct subkeys and values, in name order; empty when the key is missing.
QStringList subkeys(qint32 root, const QString &path);
QList<Value> values(qint32 root, const QString &path);

} // namespace Registry
