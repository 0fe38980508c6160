#pragma once

#include <QString>

// Where the program keeps its files on this system.
namespace AppPaths {
// The folder for files the program writes (lists, history, notes, temporary
// audio): $SONVALE_HOME, else $XDG_DATA_HOME/Sonvale. Created when missing.
// Returned without a trailing "/".
QString programFolder();
// Files the program can always make again from others (what it learnt of
// audio files): $XDG_CACHE_HOME/Sonvale. Not created here; no trailing "/".
QString cacheFolder();
// Read-only resources (icons, sounds, help, the installer's settings file):
// $SONVALE_RESOURCES, else "resources" beside the executable, else the
// installed share folder.
QString resourceFolder();
// The file-backed registry's folder: $SONVALE_REGISTRY_DIR, else
// $XDG_CONFIG_HOME/Sonvale/registry.
QString registryFolder();
// The per-user configuration folder ($XDG_CONFIG_HOME, else ~/.config).
QString configFolder();
// Where the tools write until the user picks a folder: "Sonvale/" in the
// user's music folder, with its closing "/". The program's own files stay
// in the program folder; this one holds what the user will open. Not made
// here.
QString defaultDestinationFolder();
// Makes folder, with every missing level, when it is the default
// destination and missing: it is made when a job first needs it. Any other
// folder is the user's own and is left alone.
void makeDefaultDestination(const QString &folder);
}

// The program folder under the name the windows use for it.
inline QString ProgramFolder()
{
    return AppPaths::programFolder();
}

// Window geometry is kept in twips; the screen works in pixels.
namespace Twips {
constexpr int perPixel = 15;
int toPixels(int twips); // halves to the even neighbour
inline int fromPixels(int pixels) { return pixels * perPixel; }
}
