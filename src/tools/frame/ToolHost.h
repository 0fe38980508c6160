#pragma once

#include <QString>

class cGrid;

// What a tool window asks of the main window while it runs: the tray
// balloon, the notice application and the copy of the items handed to it.
// Each is one small function so that it can follow the main window as it
// grows without touching the windows.
namespace ToolHost {

// The tray balloon, titled with the product name and the short version.
void ShowBalloon(const QString &text);

// Starts the notice application of the options: its command line is split
// into the program and its arguments first and each placeholder is filled
// inside its own argument, so nothing typed or filled in can reach a shell.
// False when there is nothing to start or the start failed.
bool StartNoticeApplication();

// Writes the cells of source row sourceRow from the second column on into
// row targetRow of target (Rows + 1 appends), as text: the "Inc" mark and
// cell icons stay behind. Both grids have the items grid's columns.
void CopyGridRow(const cGrid &source, int sourceRow, cGrid &target, int targetRow);

} // namespace ToolHost
