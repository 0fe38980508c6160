#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// Small audio files written and checked independently of the program's own
// code, for every test folder that needs them.
namespace TestAudio {

struct WavSpec {
    int rate = 44100;
    int channels = 2;
    int bits = 16; // 8 or 16
};

// The value of channel ch at frame i, as a 16-bit sample.
using Sample = std::function<qint16(qint64 i, int ch)>;
// LIST INFO entries: (four-letter id, text).
using WavInfo = QVector<QPair<QByteArray, QByteArray>>;

// The header of a PCM WAV whose data chunk declares dataBytes, up to the
// start of the data.
QByteArray wavHeader(const WavSpec &spec, quint32 dataBytes, const WavInfo &info = {});
// Writes a PCM WAV of frames frames; silence unless sample is given.
void writeWav(
    const QString &path, const WavSpec &spec, qint64 frames, const Sample &sample = {}, const WavInfo &info = {});
// Writes a mono WAV of 32-bit IEEE floats, the samples as they are (NaN and
// infinities included).
void writeFloatWav(const QString &path, int rate, const QVector<float> &samples);
// The samples of a PCM WAV (interleaved, 8-bit ones widened to 16) and its
// spec; empty when path is no WAV file.
QVector<qint16> readWav16(const QString &path, WavSpec *spec = nullptr);

// Runs ffmpeg with arguments (a fixture in another format); true when it worked.
bool ffmpeg(const QStringList &arguments);
// ffmpeg's straight decode of a whole file as interleaved 16-bit samples in
// the file's own rate and channels (`ffmpeg -i path -f s16le -`); empty
// when ffmpeg fails.
QVector<qint16> decodeS16(const QString &path);
// ffprobe's view of a file: "stream" is the first audio stream, "format" the
// container (tags included), with "packets" only when asked for.
QJsonObject probe(const QString &path, bool withPackets = false);
// The value of tag key in the container's or the stream's tags, any letter case.
QString probedTag(const QJsonObject &probed, const QString &key);

// Every file of the test's work folder (hidden ones too) not named in expected.
QStringList strayFiles(const QStringList &expected);

} // namespace TestAudio
