#include "controls/cd/BurnTray.h"

#include <cdio/cdio.h>

#include <QFile>

#include <thread>

namespace BurnTray {

void eject(const BurnDevice &device)
{
    if (device.image)
        return;
    // A failure (a locked tray, a drive without one) is not worth
    // interrupting the user for.
    const QByteArray path = QFile::encodeName(device.path);
    std::thread([path] { cdio_eject_media_drive(path.constData()); }).detach();
}

void close(const BurnDevice &device)
{
    if (device.image)
        return;
    const QByteArray path = QFile::encodeName(device.path);
    std::thread([path] {
        driver_id_t driver = DRIVER_DEVICE;
        cdio_close_tray(path.constData(), &driver);
    }).detach();
}

} // namespace BurnTray
