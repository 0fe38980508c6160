#include "lists/ListOptions.h"

#include "settings/OptionsFolders.h"
#include "settings/OptionSettings.h"

namespace ListOptions {

QString listsFolder()
{
    return OptionsFolders::normalListsFolder(g_sItemsListMainDirectory);
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
