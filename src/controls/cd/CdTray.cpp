#include "controls/cd/CdTray.h"

#include "controls/Worker.h"
#include "controls/cd/CdioLock.h"

#include <cdio/cdio.h>

#include <QFile>

namespace CdTray {

void eject(Worker &tray, QObject *control, const QString &devicePath)
{
    tray.start(control, [path = QFile::encodeName(devicePath)](const std::atomic<bool> &) {
        cd::CdioLock lock;
        cdio_eject_media_drive(path.constData());
    });
}

void close(Worker &tray, QObject *control, const QString &devicePath)
{
    tray.start(control, [path = QFile::encodeName(devicePath)](const std::atomic<bool> &) {
        cd::CdioLock lock;
        driver_id_t driver = DRIVER_DEVICE;
        cdio_close_tray(path.constData(), &driver);
    });
}

} // namespace CdTray
