#pragma once

class frmMain;
class cTreeNode;

// The main window fills a list in after the call that asks for it and
// writes list files on a worker: tests wait for both before they look.
namespace ListLoads {

// Runs the event loop until no list is loading and no list file is waiting
// to be written; false when that did not come within the time-out.
bool settle(frmMain &main, int timeoutMs = 60000);
// Shows the node as a click on it does, and waits for its list.
bool show(frmMain &main, cTreeNode *node);

} // namespace ListLoads
