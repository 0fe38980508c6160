#pragma once

#include <QString>

// The program's entry and the start-up sequence.
namespace mdlMain {
// Runs the start-up, then the event loop; answers the process exit code.
int Main();
}
