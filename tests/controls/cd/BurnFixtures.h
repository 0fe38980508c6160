#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include "support/IsoImage.h"

#include <functional>
#include <ostream>

// Fixtures of the burner tests: files to burn, tones, and a reader of ISO
// 9660 images that shares no code with the writer.
namespace BurnFixture {

// Gives the burners these image files as their drives, in order; undone when
// the guard ends.
struct Drives {
    explicit Drives(const QStringList &entries);
    ~Drives();
};

QString writeFile(const QString &path, const QByteArray &data);
// Bytes that differ from file to file, so a swapped or shifted file shows.
QByteArray pattern(int seed, int size);

// A 16-bit PCM WAV file; sample(frame, channel) gives each sample.
QString writeWav(const QString &path, int rate, int channels, qint64 frames,
    const std::function<qint16(qint64, int)> &sample);
// A CD-quality WAV file of silence whose samples take no disk space.
QString writeSilentWav(const QString &path, qint64 frames);
// The interleaved samples of a 16-bit PCM WAV file.
QVector<qint16> readWav16(const QString &path, int *rate = nullptr, int *channels = nullptr);

using TestIso::IsoEntry;
using TestIso::IsoTree;
using TestIso::isoFileData;
using TestIso::readIso;

// What the 'file' program says of a file.
QString fileMagic(const QString &path);

// The names of the files in folder, hidden ones included.
QStringList filesIn(const QString &folder);

} // namespace BurnFixture

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
