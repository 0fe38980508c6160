#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// Small fixtures and independent checks for the audio control tests.
namespace Fixture {

struct WavSpec {
    int rate = 44100;
    int channels = 2;
    int bits = 16;
};

// The sample of channel ch at index i: a tone on the left, noise on the right.
qint16 toneAndNoise(qint64 i, int ch, int rate);

// Writes a PCM WAV of frames samples; info holds LIST INFO (id, text) pairs.
void writeWav(
    const QString &path, const WavSpec &spec, qint64 frames, const QVector<QPair<QByteArray, QByteArray>> &info = {});

// The 16-bit samples of a PCM WAV (interleaved) and its spec.
QVector<qint16> readWav16(const QString &path, WavSpec *spec = nullptr);

// Runs ffmpeg with arguments (a fixture in another format); true when it worked.
bool ffmpeg(const QStringList &arguments);

// ffprobe's view of a file: "stream" is the first audio stream, "format" the
// container (tags included), with "packets" only when asked for.
QJsonObject probe(const QString &path, bool withPackets = false);
// The value of tag key in the container's or the stream's tags, any letter case.
QString probedTag(const QJsonObject &probed, const QString &key);

} // namespace Fixture
