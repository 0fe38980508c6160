#pragma once

#include <QString>

// The program's entry, the start-up sequence and the size text of a total.
namespace mdlMain {
// The whole program: start-up, then the event loop; answers the exit code.
int Main();

// The start-up alone, for a command line given as one text (the arguments
// after the program's own path, joined by blanks). False when the program must
// end at once (no settings root).
bool StartUp(const QString &commandLine);

// The arguments after the program's path, as one text.
QString CommandLine();

// Shows the text on the splash while it is up; otherwise nothing.
void SetSplashStatus(const QString &text);
// The process shows no fault dialog of its own; kept for the main window's end.
void SetSilentErrorMode();
bool GetNoErrorModeFlag();
// Ends the edition set-up; nothing to do in this edition.
void EditionReadyHook();

// The size text of a byte total ("0", "999", "0.98 KB", "1.00 MB"; empty for a negative count).
QString FormatByteSize(qint64 bytes);
}
