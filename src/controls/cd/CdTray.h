#pragma once

#include <QString>

class QObject;
class Worker;

// Opens or closes a drive's tray on the control's tray worker, so nobody
// waits for the mechanics. A failure (a locked tray, a drive without one) is
// not worth interrupting the user for, so nothing comes back; a move under
// way is waited for when the control's tray worker goes. Callers leave image
// drives out: they have no tray.
namespace CdTray {
void eject(Worker &tray, QObject *control, const QString &devicePath);
void close(Worker &tray, QObject *control, const QString &devicePath);
} // namespace CdTray
