#pragma once

#include <QString>

// Starting the program with the user's session, hidden in the tray: an XDG
// autostart entry whose Exec line is the quoted program path and " -st".
namespace mdlRunOnStart {
// Enabling writes the entry (-1 when written, 0 when not); disabling deletes it
// (0 when deleted, 2 when there was none, 5 when it cannot be removed). A
// failed write keeps the old entry, and error, when given, gets the reason.
qint32 SetRunOnStartup(bool enable, QString *error = nullptr);
// True when the entry starts this very program: its Exec line equals the start
// command exactly, case included, and the desktop has not hidden it.
bool IsRunOnStartup();

// The entry's file: $XDG_CONFIG_HOME/autostart/Sonvale.desktop.
QString autostartFile();
// A double quote, the program's full path, a double quote and " -st".
QString startCommand();
// The start command of program as the entry's Exec line holds it: the
// characters the desktop entry format reserves are escaped.
QString execValue(const QString &program);
}
