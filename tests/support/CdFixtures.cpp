#include "support/CdFixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
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

QVector<qint16> readWav16(const QString &path, int *rate, int *channels)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    if (all.size() < 12 || !all.startsWith("RIFF") || all.mid(8, 4) != "WAVE")
        return {};
    QVector<qint16> samples;
    for (qsizetype at = 12; at + 8 <= all.size();) {
        const QByteArray id = all.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(all.constData() + at + 4);
        const char *body = all.constData() + at + 8;
        if (id == "fmt ") {
            if (channels)
                *channels = qFromLittleEndian<quint16>(body + 2);
            if (rate)
                *rate = int(qFromLittleEndian<quint32>(body + 4));
        } else if (id == "data") {
            const qsizetype n = qMin<qsizetype>(size, all.size() - at - 8) / 2;
            samples.resize(n);
            for (qsizetype i = 0; i < n; ++i)
                samples[i] = qFromLittleEndian<qint16>(body + i * 2);
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

QJsonObject probe(const QString &path)
{
    QProcess p;
    p.start("ffprobe", {"-v", "error", "-show_format", "-show_streams", "-of", "json", path});
    if (!p.waitForFinished(30000))
        return {};
    const QJsonObject all = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    QJsonObject out;
    for (const QJsonValue &s : all.value("streams").toArray())
        if (s.toObject().value("codec_type").toString() == "audio") {
            out.insert("stream", s);
            break;
        }
    out.insert("format", all.value("format"));
    return out;
}

QString probedTag(const QJsonObject &probed, const QString &key)
{
    for (const char *part : {"format", "stream"}) {
        const QJsonObject tags = probed.value(part).toObject().value("tags").toObject();
        for (auto it = tags.begin(); it != tags.end(); ++it)
            if (it.key().compare(key, Qt::CaseInsensitive) == 0)
                return it.value().toString();
    }
    return {};
}

} // namespace CdFixture
