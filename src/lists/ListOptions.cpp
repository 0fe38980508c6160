#include "lists/ListOptions.h"

#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"

namespace ListOptions {

QString normaliseListsFolder(const QString &folder)
{
    QString text = folder;
    if (text.trimmed().isEmpty())
        return AppPaths::programFolder() + QStringLiteral("/Main/");
    if (!text.endsWith(QLatin1Char('/')))
        text += QLatin1Char('/');
    return text;
}

QString listsFolder()
{
    return normaliseListsFolder(g_sItemsListMainDirectory);
}

bool selectTheLastItem()
{
    return g_bSelectTheLastItem;
}

bool copyID3FromSource()
{
    return g_bCopyID3FromSource;
}

} // namespace ListOptions
