#include "support/CdFixtures.h"

#include <QFile>
#include <QtEndian>

#include <cmath>

namespace CdFixture {

qint16 sample(int track, qint64 frame, int ch)
{
    const double freq = ch == 0 ? 220.0 * track : 330.0 * track + 110.0;
    return qint16(std::lround(12000.0 * std::sin(2.0 * M_PI * freq * double(frame) / 44100.0)));
}

namespace {

QByteArray audioSector(int track, qint64 firstFrame)
{
    QByteArray s(2352, '\0');
    auto *p = reinterpret_cast<uchar *>(s.data());
    for (int i = 0; i < kFramesPerSector; ++i)
        for (int ch = 0; ch < 2; ++ch)
            qToLittleEndian<qint16>(sample(track, firstFrame + i, ch), p + (i * 2 + ch) * 2);
    return s;
}

uchar bcd(int v)
{
    return uchar((v / 10) << 4 | (v % 10));
}

QByteArray dataSector(qint64 lba)
{
    QByteArray s(2352, '\0');
    for (int i = 1; i <= 10; ++i)
        s[i] = char(0xff);
    const qint64 address = lba + 150;
    s[12] = char(bcd(int(address / 75 / 60)));
    s[13] = char(bcd(int(address / 75 % 60)));
    s[14] = char(bcd(int(address % 75)));
    s[15] = 1;
    return s;
}

QString msf(qint64 sectors)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / 75 / 60, 2, 10, QLatin1Char('0'))
        .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % 75, 2, 10, QLatin1Char('0'));
}

} // namespace

QString writeImage(const QString &folder, const QString &name, const QVector<Track> &tracks)
{
    QFile bin(folder + "/" + name + ".bin");
    if (!bin.open(QIODevice::WriteOnly))
        return {};
    QString cue = QStringLiteral("FILE \"%1.bin\" BINARY\r\n").arg(name);
    qint64 lba = 0;
    for (int t = 0; t < tracks.size(); ++t) {
        const Track &track = tracks[t];
        cue += QStringLiteral("  TRACK %1 %2\r\n    INDEX 01 %3\r\n")
                   .arg(t + 1, 2, 10, QLatin1Char('0'))
                   .arg(track.audio ? "AUDIO" : "MODE1/2352", msf(lba));
        for (int s = 0; s < track.sectors; ++s, ++lba)
            bin.write(track.audio ? audioSector(t + 1, qint64(s) * kFramesPerSector) : dataSector(lba));
    }
    QFile cueFile(folder + "/" + name + ".cue");
    if (!cueFile.open(QIODevice::WriteOnly))
        return {};
    cueFile.write(cue.toUtf8());
    return cueFile.fileName();
}

QStringList cddbEntry(const QString &firstTitle, const QString &secondTitle)
{
    return {
        "# xmcd",
        "#",
        "# Track frame offsets:",
        "#\t150",
        "#\t450",
        "#\t638",
        "#",
        "# Disc length: 9 seconds",
        "#",
        "# Revision: 0",
        "# Submitted via: loopback 1.0",
        "#",
        "DISCID=10000703",
        "DTITLE=The Artist / The Album \u03a9",
        "DYEAR=2001",
        "DGENRE=Misc",
        "TTITLE0=" + firstTitle,
        "TTITLE1=" + secondTitle,
        "TTITLE2=",
        "EXTD=",
        "EXTT0=",
        "EXTT1=",
        "EXTT2=",
        "PLAYORDER=",
    };
}

} // namespace CdFixture
