#include "support/AudioFiles.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QtEndian>

#include <cstring>

namespace TestAudio {

namespace {

void put32(QByteArray &b, quint32 v)
{
    char d[4];
    qToLittleEndian(v, d);
    b.append(d, 4);
}

void put16(QByteArray &b, quint16 v)
{
    char d[2];
    qToLittleEndian(v, d);
    b.append(d, 2);
}

} // namespace

QByteArray wavHeader(const WavSpec &spec, quint32 dataBytes, const WavInfo &info)
{
    QByteArray list;
    if (!info.isEmpty()) {
        list = "INFO";
        for (const auto &[id, text] : info) {
            QByteArray value = text + '\0';
            list += id;
            put32(list, quint32(value.size()));
            if (value.size() % 2)
                value += '\0';
            list += value;
        }
    }
    QByteArray out = "RIFF";
    put32(out, 0);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, quint16(spec.channels));
    put32(out, quint32(spec.rate));
    put32(out, quint32(spec.rate * spec.channels * spec.bits / 8));
    put16(out, quint16(spec.channels * spec.bits / 8));
    put16(out, quint16(spec.bits));
    if (!list.isEmpty()) {
        out += "LIST";
        put32(out, quint32(list.size()));
        out += list;
    }
    out += "data";
    put32(out, dataBytes);
    qToLittleEndian(quint32(out.size() - 8 + dataBytes), out.data() + 4);
    return out;
}

void writeWav(const QString &path, const WavSpec &spec, qint64 frames, const Sample &sample, const WavInfo &info)
{
    QByteArray data;
    if (!sample) {
        data = QByteArray(qsizetype(frames * spec.channels * spec.bits / 8), spec.bits == 8 ? char(128) : '\0');
    } else {
        data.reserve(qsizetype(frames * spec.channels * spec.bits / 8));
        for (qint64 i = 0; i < frames; ++i)
            for (int c = 0; c < spec.channels; ++c) {
                const qint16 s = sample(i, c);
                if (spec.bits == 8)
                    data.append(char(quint8((s >> 8) + 128)));
                else
                    put16(data, quint16(s));
            }
    }
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(wavHeader(spec, quint32(data.size()), info) + data);
}

void writeFloatWav(const QString &path, int rate, const QVector<float> &samples)
{
    const quint32 dataBytes = quint32(samples.size()) * 4;
    QByteArray out = "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 3); // IEEE float
    put16(out, 1);
    put32(out, quint32(rate));
    put32(out, quint32(rate) * 4);
    put16(out, 4);
    put16(out, 32);
    out += "data";
    put32(out, dataBytes);
    for (float v : samples) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        put32(out, bits);
    }
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(out);
}

QVector<qint16> readWav16(const QString &path, WavSpec *spec)
{
    QVector<qint16> samples;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return samples;
    const QByteArray b = f.readAll();
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return samples;
    qsizetype pos = 12;
    WavSpec s;
    while (pos + 8 <= b.size()) {
        const QByteArray id = b.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(b.constData() + pos + 4);
        const char *body = b.constData() + pos + 8;
        if (id == "fmt ") {
            s.channels = qFromLittleEndian<quint16>(body + 2);
            s.rate = int(qFromLittleEndian<quint32>(body + 4));
            s.bits = qFromLittleEndian<quint16>(body + 14);
        } else if (id == "data") {
            const qint64 n = qMin<qint64>(size, b.size() - pos - 8);
            if (s.bits == 16) {
                samples.resize(qsizetype(n / 2));
                for (qsizetype i = 0; i < samples.size(); ++i)
                    samples[i] = qFromLittleEndian<qint16>(body + 2 * i);
            } else if (s.bits == 8) {
                samples.resize(qsizetype(n));
                for (qsizetype i = 0; i < samples.size(); ++i)
                    samples[i] = qint16((int(quint8(body[i])) - 128) << 8);
            }
            break;
        }
        pos += 8 + qsizetype(size) + (size & 1);
    }
    if (spec)
        *spec = s;
    return samples;
}

bool ffmpeg(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-nostdin", "-v", "error", "-y"} + arguments);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QVector<qint16> decodeS16(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-nostdin", "-v", "error", "-i", path, "-f", "s16le", "-"});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    const QByteArray bytes = p.readAllStandardOutput();
    QVector<qint16> samples(bytes.size() / 2);
    memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * 2);
    return samples;
}

QJsonObject probe(const QString &path, bool withPackets)
{
    QStringList args{"-v", "error", "-of", "json", "-show_format", "-show_streams"};
    if (withPackets)
        args << "-show_packets";
    args << path;
    QProcess p;
    p.start(QStringLiteral("ffprobe"), args);
    if (!p.waitForFinished(60000))
        return {};
    const QJsonObject all = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    QJsonObject result;
    result["format"] = all["format"];
    for (const QJsonValue &s : all["streams"].toArray())
        if (s["codec_type"].toString() == "audio") {
            result["stream"] = s;
            break;
        }
    if (withPackets)
        result["packets"] = all["packets"];
    return result;
}

QString probedTag(const QJsonObject &probed, const QString &key)
{
    for (const char *where : {"format", "stream"}) {
        const QJsonObject tags = probed[where]["tags"].toObject();
        for (auto it = tags.begin(); it != tags.end(); ++it)
            if (it.key().compare(key, Qt::CaseInsensitive) == 0)
                return it.value().toString();
    }
    return {};
}

QStringList strayFiles(const QStringList &expected)
{
    QStringList stray;
    for (const QString &name : QDir(TestEnv::workFolder()).entryList(QDir::Files | QDir::Hidden))
        if (!expected.contains(name))
            stray << name;
    return stray;
}

} // namespace TestAudio
