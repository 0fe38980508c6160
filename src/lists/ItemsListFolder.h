#pragma once

#include <QString>
#include <QStringList>

// The lists folder on disk: which files are lists, which names are free.
namespace ItemsListFolder {

// The normal files of the folder whose names end in ".flst" (letter case
// counts), sorted by name; "a.flst.bak" and "a.flst.Ab12Cd" are not.
QStringList listFileNames(const QString &folder);
// True when the folder holds no normal file (also when it does not exist).
bool holdsNoFile(const QString &folder);
// True when a file or folder of that name exists there, whatever the letter
// case of either name.
bool nameTaken(const QString &folder, const QString &name);
// "New Items List " + the smallest free number from 1 + ".flst".
QString GetNewItemsListFileName(const QString &folder);

// Renames a list file. On failure, the system's reason and error number.
struct RenameResult {
    bool ok = true;
    int error = 0;
    QString description;
};
RenameResult renameListFile(const QString &from, const QString &to);

} // namespace ItemsListFolder
