#include "ListFixtures.h"

#include <QDataStream>
#include <QFile>

namespace ListFixtures {

namespace {

QByteArray wavHeader(quint32 dataBytes, int rate, int channels)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint16 blockAlign = quint16(channels * 2);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(channels) << quint32(rate) << quint32(rate * blockAlign)
        << blockAlign << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    return header;
}

} // namespace

void writeWav(const QString &path, int milliseconds, int rate, int channels)
{
    const quint32 frames = quint32(qint64(rate) * milliseconds / 1000);
    const quint32 dataBytes = frames * quint32(channels) * 2;
    writeBytes(path, wavHeader(dataBytes, rate, channels) + QByteArray(int(dataBytes), '\0'));
}

void writeSparseWav(const QString &path, qint64 fileBytes)
{
    const qint64 data = qMin<qint64>(fileBytes - 44, 0xFFFFFFF0);
    writeBytes(path, wavHeader(quint32(data), 44100, 2));
    QFile file(path);
    file.resize(fileBytes);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace ListFixtures
