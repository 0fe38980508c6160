#pragma once

#include <QString>

// The operating system's own folders, without a trailing "/"; empty when they
// cannot be found.
namespace mdlConstDir {

// Where the operating system is installed ("/usr").
QString GetWindowsDir();
// The folder that holds the system's shared libraries (for instance
// "/usr/lib/x86_64-linux-gnu"), found from where the C library was loaded.
QString GetSystemDir();

} // namespace mdlConstDir
