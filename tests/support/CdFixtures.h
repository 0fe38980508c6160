#pragma once

#include "support/AudioFiles.h"

#include <QString>
#include <QVector>

// Audio CD images and independent checks for the CD control tests.
namespace CdFixture {

constexpr int kFramesPerSector = 588;

struct Track {
    bool audio = true;
    int sectors = 0;
};

// The sample of audio track t (from 1) at frame i of the track, channel ch:
// a different tone per track and channel, so a rip of the wrong track or a
// shifted read shows at once.
qint16 sample(int track, qint64 frame, int ch);

// Writes folder/name.bin (2352-byte raw sectors: tone for audio tracks, mode 1
// sectors for data tracks) and folder/name.cue; answers the CUE path.
QString writeImage(const QString &folder, const QString &name, const QVector<Track> &tracks);

} // namespace CdFixture

#include <ostream>

// Readable failure messages for Qt texts.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
