#pragma once

#include <QString>
#include <QVector>

class TemporaryOutput;

// The writer drives the burners offer, in order: the real CD writers, then
// an image drive that writes a disc image file instead of a disc. Each gets
// a two-character drive name ("D:", "E:", ...); a real writer keeps the name
// the CD drive list gives it. SONVALE_BURN_DEVICES (a colon-separated list
// of image files, each may start with "stdio:", or writer devices such as
// /dev/sr0) replaces the whole list.
struct BurnDevice {
    QString drive; // "D:"
    QString path; // "/dev/sr0", or the image file
    QString model; // vendor and model when known
    bool image = false;
    bool writesDvd = false;

    // The drive's letter, upper case.
    QChar letter() const { return drive.isEmpty() ? QChar() : drive.at(0); }
};

// What a drive answers about the disc in it.
struct BurnProbe {
    bool present = false; // a disc is in (an image's folder is writable)
    bool ready = false; // ... and it is blank, so it can be written
    QString state; // empty when ready; else what is wrong
    qint64 capacity = 0; // bytes of data the disc can take
    qint64 used = 0; // bytes already on the disc
    QVector<qint32> speeds; // write speeds in KB/s, slowest first
};

namespace BurnDevices {

// The capacity of an 80-minute CD-R in 2048-byte sectors, which an image
// drive offers.
constexpr qint64 kImageSectors = 360000;

// imageSuffix names the default image drive's file in the home folder
// ("iso" for data discs, "cue" for audio discs).
QVector<BurnDevice> list(const QString &imageSuffix);
// The device whose letter begins text ("D", "D:", "d:\"), or -1.
int indexOf(const QVector<BurnDevice> &devices, const QString &text);
// Asks the drive about its disc. files are the image files an image drive
// would write; the drive is blank while none of them holds data.
BurnProbe probe(const BurnDevice &device, const QStringList &files);

// Moves a finished temporary file, synced to the disc, to its destination
// without replacing any file that holds data there.
bool place(TemporaryOutput &temporary, QString *error);

} // namespace BurnDevices
