#include "lists/ItemsListFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ItemsListFolder {

QStringList listFileNames(const QString &folder)
{
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList lists;
    for (const QString &name : files) {
        // Only the extension at the end: a save cut short leaves its
        // temporary "Main.flst.XXXXXX" behind, which is no list.
        if (name.endsWith(QLatin1String(".flst")))
            lists << name;
    }
    return lists;
}

bool holdsNoFile(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files).isEmpty();
}

bool nameTaken(const QString &folder, const QString &name)
{
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString GetNewItemsListFileName(const QString &folder)
{
    // Sets aside every name in use once, so a folder of many lists is read
    // one time rather than once per number tried.
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QSet<QString> taken;
    for (const QString &entry : entries)
        taken.insert(entry.toCaseFolded());
    for (qint64 n = 1;; ++n) {
        const QString name = QStringLiteral("New Items List %1.flst").arg(n);
        if (!taken.contains(name.toCaseFolded()))
            return name;
    }
}

RenameResult renameListFile(const QString &from, const QString &to)
{
    RenameResult result;
    // rename() would silently replace a file of the new name; the caller has
    // checked, but another program may have made one since.
    if (QFileInfo::exists(to)) {
        result.ok = false;
        result.error = EEXIST;
    } else if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        result.ok = false;
        result.error = errno;
    }
    if (!result.ok)
        result.description = QString::fromLocal8Bit(std::strerror(result.error));
    return result;
}

} // namespace ItemsListFolder
