#include "settings/OptionsFolders.h"

#include "core/mdlFunctions.h"
#include "platform/AppPaths.h"

#include <QFileInfo>

namespace OptionsFolders {

QString defaultListsFolder()
{
    return AppPaths::programFolder() + QStringLiteral("/Main/");
}

QString normalListsFolder(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        return defaultListsFolder();
    if (folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

void ensureDefaultListsFolder(const QString &folder)
{
    if (folder != defaultListsFolder() || QFileInfo(folder).isDir())
        return;
    // A folder that cannot be made shows up when a list is saved; the
    // option keeps its text all the same.
    mdlFunctions::MakeFolderPath(folder);
}

QString defaultEndSound()
{
    return AppPaths::resourceFolder() + QStringLiteral("/sound/notify.wav");
}

} // namespace OptionsFolders
