#pragma once

#include "support/AudioFiles.h"

#include <QString>
#include <QStringList>
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

// A disc the loopback database knows: tracks at 2, 6 and 8 seconds (with the
// lead-in), lead-out at 9. Its disc id works out by hand as digit sums
// 2 + 6 + 8 = 16 (0x10), playing time 9 - 2 = 7 seconds, 3 tracks.
inline const QVector<Track> kCddbDisc = {{true, 300}, {true, 188}, {false, 60}};
constexpr quint32 kCddbDiscId = 0x10000703;

// The database's xmcd entry for that disc, with the titles of its first two
// tracks (the third has none).
QStringList cddbEntry(const QString &firstTitle, const QString &secondTitle);

} // namespace CdFixture

#include <ostream>

// Readable failure messages for Qt texts.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
