#include "controls/cd/CdDevices.h"

#include "controls/cd/CdioLock.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace {

// The first drive letter after the floppy and hard disk letters.
constexpr char kFirstDrive = 'D';

QString readSysText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).simplified();
}

QStringList scannedPaths()
{
    QStringList paths;
    {
        cd::CdioLock lock;
        char **devices = cdio_get_devices(DRIVER_DEVICE);
        if (!devices)
            return paths;
        for (char **d = devices; *d; ++d)
            paths << QFile::decodeName(*d);
        cdio_free_device_list(devices);
    }
    // /dev/cdrom and friends are links to the same drive; list each drive once.
    QStringList unique;
    QStringList seen;
    for (const QString &p : paths) {
        const QString key = CdDevices::driveKey(p);
        if (!seen.contains(key)) {
            seen << key;
            unique << p;
        }
    }
    return unique;
}

} // namespace

QString CdDevice::name() const
{
    QString text = drive + ' ' + path;
    if (!model.isEmpty())
        text += ' ' + model;
    return text;
}

namespace CdDevices {

// Vendor and model from sysfs, so listing the drives never touches them.
QString modelOf(const QString &devicePath)
{
    const QString name = QFileInfo(QFileInfo(devicePath).canonicalFilePath()).fileName();
    if (name.isEmpty())
        return {};
    const QString base = QStringLiteral("/sys/class/block/%1/device/").arg(name);
    return (readSysText(base + "vendor") + ' ' + readSysText(base + "model")).simplified();
}

QString driveKey(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

bool isImage(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("cue") || suffix == QLatin1String("bin") || suffix == QLatin1String("toc")
        || suffix == QLatin1String("nrg");
}

QVector<CdDevice> list()
{
    QStringList paths;
    const QByteArray given = qgetenv("SONVALE_CD_DEVICES");
    if (!given.isNull()) {
        for (const QString &p : QFile::decodeName(given).split(':', Qt::SkipEmptyParts))
            paths << p;
    } else {
        paths = scannedPaths();
    }
    QVector<CdDevice> devices;
    for (const QString &p : paths) {
        const int n = int(devices.size());
        if (kFirstDrive + n > 'Z')
            break;
        CdDevice d;
        d.drive = QString(QChar(kFirstDrive + n)) + ':';
        d.path = p;
        if (!isImage(p))
            d.model = modelOf(p);
        devices << d;
    }
    return devices;
}

cd::Cdio open(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    cd::CdioLock lock;
    if (suffix == QLatin1String("cue"))
        return cd::Cdio(cdio_open_cue(native.constData()));
    if (suffix == QLatin1String("bin"))
        return cd::Cdio(cdio_open_bincue(native.constData()));
    if (suffix == QLatin1String("toc"))
        return cd::Cdio(cdio_open(native.constData(), DRIVER_CDRDAO));
    if (suffix == QLatin1String("nrg"))
        return cd::Cdio(cdio_open(native.constData(), DRIVER_NRG));
    return cd::Cdio(cdio_open(native.constData(), DRIVER_DEVICE));
}

} // namespace CdDevices
