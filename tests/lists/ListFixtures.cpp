#include "ListFixtures.h"

#include "support/AudioFiles.h"

#include <QFile>

namespace ListFixtures {

void writeWav(const QString &path, int milliseconds, int rate, int channels)
{
    TestAudio::writeWav(path, {rate, channels, 16}, qint64(rate) * milliseconds / 1000);
}

void writeSparseWav(const QString &path, qint64 fileBytes)
{
    const qint64 data = qMin<qint64>(fileBytes - 44, 0xFFFFFFF0);
    writeBytes(path, TestAudio::wavHeader({44100, 2, 16}, quint32(data)));
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
