#pragma once

#include "controls/cd/CdHandles.h"

#include <QString>
#include <QVector>

// The CD drives the program offers, in device order. Each gets a two-character
// drive name ("D:", "E:", ...) so that code written around drive letters works
// unchanged. SONVALE_CD_DEVICES (a colon-separated list of device paths or
// BIN/CUE, TOC or NRG image files) replaces the scanned list.
struct CdDevice {
    QString drive; // "D:"
    QString path; // "/dev/sr0" or an image file
    QString model; // vendor and model when known

    // The drive, a blank, the path and the model: "D: /dev/sr0 ACME DVD-RW".
    QString name() const;
};

namespace CdDevices {

QVector<CdDevice> list();
// Opens the device or image read-only; nullptr when it cannot be opened.
cd::Cdio open(const QString &path);
// Whether path is an image file rather than a drive.
bool isImage(const QString &path);
// The drive's vendor and model, read without touching the drive; empty when
// unknown.
QString modelOf(const QString &devicePath);
// What names one drive whatever link leads to it: the canonical path, or
// path itself when it does not exist.
QString driveKey(const QString &path);

} // namespace CdDevices
