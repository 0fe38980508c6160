#pragma once

#include <QString>

// What a tool window asks of the main window while it runs: the tray
// balloon and the notice application.
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

} // namespace ToolHost
