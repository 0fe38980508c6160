#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// A reader of ISO 9660 images that shares no code with the program's writer.
namespace TestIso {

// The files and folders of one directory tree of an ISO 9660 image.
struct IsoEntry {
    quint32 extent = 0;
    quint32 size = 0;
    bool dir = false;
};
struct IsoTree {
    bool found = false; // the volume descriptor was there
    QString volumeId;
    QMap<QString, IsoEntry> entries; // "NAME.EXT" or "dir/name", without ";1"
};
// The primary tree, or the Joliet tree when joliet is true; found is false
// when the image has no such tree.
IsoTree readIso(const QString &image, bool joliet);
QByteArray isoFileData(const QString &image, const IsoEntry &entry);

} // namespace TestIso
