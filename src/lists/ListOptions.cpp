#include "lists/ListOptions.h"

#include "settings/OptionsFolders.h"
#include "settings/OptionSettings.h"

namespace ListOptions {

QString normaliseListsFolder(const QString &folder)
{
    return OptionsFolders::normalListsFolder(folder);
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
