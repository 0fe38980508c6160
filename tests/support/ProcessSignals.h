#pragma once

#include <QtGlobal>

// What a running process does with a signal, as /proc/<pid>/status shows it.
namespace ProcessSignals {
// Whether the process catches the signal with a handler of its own.
bool caught(qint64 pid, int signal);
// Whether the process ignores the signal.
bool ignored(qint64 pid, int signal);
}
