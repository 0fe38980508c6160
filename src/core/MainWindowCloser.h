#pragma once

#include <functional>

// Closes the program's main window without knowing its class. Whoever owns the
// main window may install its own closer; without one, the first visible
// top-level QMainWindow is closed as if the user had closed it, so its close
// handling (the exit question included) runs.
namespace MainWindowCloser {
void setCloser(std::function<void()> closer);
void closeMainWindow();
}
