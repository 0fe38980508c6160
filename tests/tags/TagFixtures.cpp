#include "TagFixtures.h"

#include "support/AudioFiles.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QJsonObject>

namespace TagFixture {

QByteArray mpegFrames(int count)
{
    QByteArray bytes;
    for (int n = 0; n < count; ++n) {
        QByteArray frame(417, '\0');
        frame[0] = char(0xFF);
        frame[1] = char(0xFB);
        frame[2] = char(0x90);
        frame[3] = char(0x44);
        // Side information stays zero (silence); the rest is ancillary data.
        for (int i = 36; i < frame.size(); ++i)
            frame[i] = char((i * 7 + n * 13) & 0x7F);
        bytes += frame;
    }
    return bytes;
}

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace {
void putBE(QByteArray &bytes, quint32 value, int width, int bitsPerByte = 8)
{
    for (int i = width - 1; i >= 0; --i)
        bytes.append(char((value >> (bitsPerByte * i)) & ((1u << bitsPerByte) - 1)));
}
} // namespace

QByteArray frame(const QByteArray &id, const QByteArray &data, int version, quint16 flags)
{
    QByteArray bytes = id;
    putBE(bytes, quint32(data.size()), 4, version == 4 ? 7 : 8);
    putBE(bytes, flags, 2);
    return bytes + data;
}

QByteArray frameV22(const QByteArray &id, const QByteArray &data)
{
    QByteArray bytes = id;
    putBE(bytes, quint32(data.size()), 3);
    return bytes + data;
}

QByteArray header(int version, quint32 sizeField, quint8 flags)
{
    QByteArray bytes("ID3");
    bytes.append(char(version));
    bytes.append('\0');
    bytes.append(char(flags));
    putBE(bytes, sizeField, 4);
    return bytes;
}

QByteArray tag(int version, const QByteArray &frames, int padding, quint8 flags)
{
    QByteArray bytes("ID3");
    bytes.append(char(version));
    bytes.append('\0');
    bytes.append(char(flags));
    putBE(bytes, quint32(frames.size() + padding), 4, 7);
    return bytes + frames + QByteArray(padding, '\0');
}

QByteArray latin1Text(const QString &text)
{
    return QByteArray(1, '\0') + text.toLatin1();
}

namespace {
QJsonObject probeFormat(const QString &path)
{
    return TestAudio::probe(path).value(QStringLiteral("format")).toObject();
}
} // namespace

QMap<QString, QString> probeTags(const QString &path)
{
    QMap<QString, QString> tags;
    const QJsonObject format = probeFormat(path);
    const QJsonObject found = format.value(QStringLiteral("tags")).toObject();
    for (auto it = found.begin(); it != found.end(); ++it)
        tags.insert(it.key().toLower(), it.value().toString());
    return tags;
}

bool probesAsMp3(const QString &path)
{
    return probeFormat(path).value(QStringLiteral("format_name")).toString() == QLatin1String("mp3");
}

} // namespace TagFixture
