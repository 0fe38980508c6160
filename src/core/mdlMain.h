#pragma once

#include <QString>

// The command line, the fault mode and the size text of a total; the
// program's entry and start-up are in app/StartUp.h.
namespace mdlMain {
// The arguments after the program's path, as one text.
QString CommandLine();

// The process shows no fault dialog of its own; kept for the main window's end.
void SetSilentErrorMode();
bool GetNoErrorModeFlag();
// Ends the edition set-up; nothing to do in this edition.
void EditionReadyHook();

// The size text of a byte total ("0", "999", "0.98 KB", "1.00 MB"; empty for a negative count).
QString FormatByteSize(qint64 bytes);
}
