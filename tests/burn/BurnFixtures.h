#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

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

// What the 'file' program says of a file.
QString fileMagic(const QString &path);

// The names of the files in folder, hidden ones included.
QStringList filesIn(const QString &folder);

} // namespace BurnFixture

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
