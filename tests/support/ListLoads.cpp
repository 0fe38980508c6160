#include "support/ListLoads.h"
#include "support/TestEnvironment.h"

#include "lists/ItemsListStore.h"
#include "mainwindow/frmMain.h"

namespace ListLoads {

bool settle(frmMain &main, int timeoutMs)
{
    return waitUntil([&main] { return !main.isLoadingList() && !main.listStore().saving(); }, timeoutMs);
}

bool show(frmMain &main, cTreeNode *node)
{
    main.cTreeView1_NodeClick(node);
    return settle(main);
}

} // namespace ListLoads
