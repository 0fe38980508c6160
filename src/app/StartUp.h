#pragma once

#include <QString>

#include <functional>

// The program's entry and its start-up: the one place that loads the
// settings windows and the main window.
namespace mdlMain {
// The whole program: the settings-root check, the hand-over to a program
// already running, the start-up, then the event loop; answers the exit code.
// Nothing is written to disk before the settings root is found.
int Main();

// Begins the start-up for a command line given as one text (the arguments
// after the program's own path, joined by blanks). False when the program must
// end at once (no settings root; the user has been told). Otherwise the splash
// is up and fading in when this returns; the fade runs on a timer, the windows
// load once it has ended, and whenUp runs once the main window is shown (or
// put in the tray), all from the event loop.
bool StartUp(const QString &commandLine, std::function<void()> whenUp = {});

// True from a StartUp that answered true until its main window is up.
bool StartingUp();

// Shows the text on the splash while it is up; otherwise nothing.
void SetSplashStatus(const QString &text);
}
