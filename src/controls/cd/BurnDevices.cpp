#include "controls/cd/BurnDevices.h"

#include "controls/audio/TemporaryOutput.h"

#include "controls/cd/BurnLibrary.h"
#include "controls/cd/CdDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>

using namespace burn;

namespace {

struct ProcDrive {
    QString path;
    bool writesCd = false;
    bool writesDvd = false;
};

// The kernel's table of CD drives and what each can write; reading it never
// touches a drive.
QVector<ProcDrive> procDrives()
{
    QFile f(QStringLiteral("/proc/sys/dev/cdrom/info"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    QStringList cd;
    QStringList dvdR;
    QStringList dvdRam;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw);
        const int colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QString key = line.left(colon).trimmed();
        const QStringList values = line.mid(colon + 1).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (key == QLatin1String("drive name"))
            names = values;
        else if (key == QLatin1String("Can write CD-R"))
            cd = values;
        else if (key == QLatin1String("Can write DVD-R"))
            dvdR = values;
        else if (key == QLatin1String("Can write DVD-RAM"))
            dvdRam = values;
    }
    QVector<ProcDrive> drives;
    // The table lists the newest drive first.
    for (int i = int(names.size()) - 1; i >= 0; --i) {
        ProcDrive d;
        d.path = QStringLiteral("/dev/") + names[i];
        d.writesCd = i < cd.size() && cd[i] == QLatin1String("1");
        d.writesDvd = (i < dvdR.size() && dvdR[i] == QLatin1String("1"))
            || (i < dvdRam.size() && dvdRam[i] == QLatin1String("1"));
        drives << d;
    }
    return drives;
}

bool isBlockDevice(const QString &path)
{
    return path.startsWith(QLatin1String("/dev/")) && !QFileInfo(path).isFile();
}

// The given list: "stdio:" entries are split at their own colon too, so the
// prefix is joined back to the path that follows it.
QStringList givenPaths(const QString &text)
{
    QStringList paths;
    const QStringList parts = text.split(':', Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        if (parts[i] == QLatin1String("stdio") && i + 1 < parts.size())
            paths << QStringLiteral("stdio:") + parts[++i];
        else
            paths << parts[i];
    }
    return paths;
}

} // namespace

namespace BurnDevices {

QVector<BurnDevice> list(const QString &imageSuffix)
{
    QVector<BurnDevice> devices;
    const QByteArray given = qgetenv("SONVALE_BURN_DEVICES");
    if (!given.isNull()) {
        for (QString p : givenPaths(QFile::decodeName(given))) {
            BurnDevice d;
            if (p.startsWith(QLatin1String("stdio:"))) {
                p = p.mid(6);
                d.image = true;
            } else {
                d.image = !isBlockDevice(p);
            }
            d.path = p;
            d.writesDvd = d.image;
            if (!d.image)
                d.model = CdDevices::modelOf(p);
            devices << d;
        }
    } else {
        for (const ProcDrive &p : procDrives()) {
            if (!p.writesCd)
                continue;
            BurnDevice d;
            d.path = p.path;
            d.model = CdDevices::modelOf(p.path);
            d.writesDvd = p.writesDvd;
            devices << d;
        }
        BurnDevice image;
        image.image = true;
        image.writesDvd = true;
        image.path = QDir::homePath() + QStringLiteral("/Sonvale CD.") + imageSuffix;
        devices << image;
    }

    // A writer keeps the name the CD drive list gives it, so the ripper and
    // the burners speak of the same drive alike.
    QStringList taken;
    const QVector<CdDevice> cdDrives = CdDevices::list();
    for (BurnDevice &d : devices) {
        if (d.image)
            continue;
        for (const CdDevice &c : cdDrives)
            if (CdDevices::driveKey(c.path) == CdDevices::driveKey(d.path) && !taken.contains(c.drive)) {
                d.drive = c.drive;
                taken << c.drive;
                break;
            }
    }
    char next = 'D';
    QVector<BurnDevice> named;
    for (BurnDevice &d : devices) {
        if (d.drive.isEmpty()) {
            while (next <= 'Z' && taken.contains(QString(QChar(next)) + ':'))
                ++next;
            if (next > 'Z')
                continue;
            d.drive = QString(QChar(next)) + ':';
            taken << d.drive;
        }
        named << d;
    }
    return named;
}

int indexOf(const QVector<BurnDevice> &devices, const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return -1;
    const QChar letter = trimmed.at(0).toUpper();
    for (int i = 0; i < devices.size(); ++i)
        if (devices[i].letter() == letter)
            return i;
    return -1;
}

BurnProbe probe(const BurnDevice &device, const QStringList &files)
{
    BurnProbe p;
    if (device.image) {
        const QFileInfo folder(QFileInfo(device.path).absolutePath());
        for (const QString &f : files) {
            const QFileInfo info(f);
            if (info.exists())
                p.used += info.size();
        }
        if (!folder.isDir()) {
            p.state = QStringLiteral("The folder %1 of the image does not exist.").arg(folder.absoluteFilePath());
        } else if (!folder.isWritable()) {
            p.state = QStringLiteral("The folder %1 of the image cannot be written.").arg(folder.absoluteFilePath());
        } else if (p.used > 0) {
            p.present = true;
            p.state = QStringLiteral("The image %1 already exists.").arg(files.value(files.size() - 1));
        } else {
            p.present = true;
            p.ready = true;
            p.capacity = kImageSectors * 2048;
        }
        return p;
    }

    QString error;
    burner::Grab grab = burner::grab(device.path, &error);
    if (!grab) {
        p.state = error;
        return p;
    }
    burn_drive *drive = grab.get()[0].drive;
    switch (burn_disc_get_status(drive)) {
    case BURN_DISC_BLANK:
        p.present = true;
        p.ready = true;
        break;
    case BURN_DISC_EMPTY: p.state = QStringLiteral("There is no disc in the drive."); break;
    case BURN_DISC_APPENDABLE:
    case BURN_DISC_FULL:
        p.present = true;
        p.state = QStringLiteral("The disc in the drive is not blank.");
        break;
    default: p.state = QStringLiteral("The disc in the drive cannot be written."); break;
    }
    if (p.ready) {
        const off_t space = burn_disc_available_space(drive, nullptr);
        p.capacity = space > 0 ? qint64(space) : 0;
    } else if (p.present) {
        if (burner::Disc disc{burn_drive_get_disc(drive)})
            p.used = qint64(burn_disc_get_sectors(disc.get())) * 2048;
    }
    burn_speed_descriptor *raw = nullptr;
    if (burn_drive_get_speedlist(drive, &raw) > 0 && raw) {
        burner::SpeedList list(raw);
        for (burn_speed_descriptor *s = raw; s; s = s->next)
            if (s->write_speed > 0 && !p.speeds.contains(s->write_speed))
                p.speeds << s->write_speed;
        std::sort(p.speeds.begin(), p.speeds.end());
    }
    return p;
}

bool place(TemporaryOutput &temporary, QString *error)
{
    const QString &path = temporary.destination();
    const QByteArray from = QFile::encodeName(temporary.path());
    const QByteArray to = QFile::encodeName(path);
    if (!temporary.sync()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        temporary.placed();
        return true;
    }
    const int why = errno;
    const QFileInfo existing(path);
    // An empty file there is a blank disc; a file system without the
    // no-replace rename is checked by hand.
    if ((why == EEXIST && existing.size() == 0) || ((why == EINVAL || why == ENOSYS) && !(existing.exists() && existing.size() > 0))) {
        if (std::rename(from.constData(), to.constData()) == 0) {
            temporary.placed();
            return true;
        }
    }
    *error = why == EEXIST ? QStringLiteral("Cannot write %1: a file of that name appeared meanwhile.").arg(path)
                           : QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

} // namespace BurnDevices
