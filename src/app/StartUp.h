#pragma once

#include <QString>

// The program's entry and its start-up: the one place that loads the
// settings windows and the main window.
namespace mdlMain {
// The whole program: start-up, then the event loop; answers the exit code.
int Main();

// The start-up alone, for a command line given as one text (the arguments
// after the program's own path, joined by blanks). False when the program must
// end at once (no settings root).
bool StartUp(const QString &commandLine);

// Shows the text on the splash while it is up; otherwise nothing.
void SetSplashStatus(const QString &text);
}
