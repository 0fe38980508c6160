#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Command lines that the user types (the notice application, tool commands)
// are started as a program and its arguments, never handed to a shell, so no
// character in them, typed or filled in later, can start a second command.
namespace CommandLine {

// The program and its arguments, split at blanks; a part in double quotes
// keeps its blanks, and three double quotes in a row stand for one literal
// quote. Backslashes are plain characters, so Windows-style paths survive.
QStringList split(const QString &commandLine);

// Splits the line, gives each part to fillArgument (when set) so that
// placeholders are replaced inside one argument and can never add another,
// and starts the program through the Launcher seam. False when the line holds
// no program or the start failed.
bool start(const QString &commandLine, bool minimized = false,
           const std::function<QString(const QString &)> &fillArgument = {});

} // namespace CommandLine
