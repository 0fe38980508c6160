#pragma once

#include "controls/cd/BurnDevices.h"

// Opens or closes a real drive's tray on a thread of its own, so nobody waits
// for the mechanics; an image drive has no tray.
namespace BurnTray {
void eject(const BurnDevice &device);
void close(const BurnDevice &device);
} // namespace BurnTray
