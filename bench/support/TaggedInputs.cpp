#include "support/TaggedInputs.h"

#include "support/BenchTools.h"
#include "support/PairedRuns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <array>
#include <cmath>

namespace Bench {

namespace {

// The title every template carries, replaced by the file's own number.
const QByteArray kPlaceholder = "Track 000000";
const char kArtist[] = "Bench artist";
const char kAlbum[] = "Bench album";
constexpr int kTemplateRate = 8000;

[[noreturn]] void fail(const QString &text)
{
    throw RunFailure{text};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read ") + path);
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write ") + path);
}

void runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        fail(QStringLiteral("%1 could not make a template: %2").arg(program, QString::fromLocal8Bit(p.readAllStandardError())));
}

// A second of a mono tone with a LIST INFO chunk naming title, artist and album.
QByteArray wavTemplate()
{
    QByteArray samples(kTemplateRate * 2, '\0');
    for (int i = 0; i < kTemplateRate; ++i)
        qToLittleEndian<qint16>(qint16(6000 * std::sin(i * 0.07)), samples.data() + 2 * i);
    QByteArray info("INFO");
    const auto add = [&info](const char *id, const QByteArray &text) {
        QByteArray value = text + '\0';
        if (value.size() % 2)
            value += '\0';
        QByteArray size(4, '\0');
        qToLittleEndian<quint32>(quint32(value.size()), size.data());
        info += QByteArray(id, 4) + size + value;
    };
    add("INAM", kPlaceholder);
    add("IART", kArtist);
    add("IPRD", kAlbum);
    QByteArray listSize(4, '\0');
    qToLittleEndian<quint32>(quint32(info.size()), listSize.data());
    QByteArray bytes = wavHeader(1, kTemplateRate, quint32(samples.size())) + samples + "LIST" + listSize + info;
    qToLittleEndian<quint32>(quint32(bytes.size() - 8), bytes.data() + 4);
    return bytes;
}

// The page checksums of an Ogg file made again, after its comments changed.
void fixOggChecksums(QByteArray &bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 r = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    auto *d = reinterpret_cast<uchar *>(bytes.data());
    for (qsizetype at = 0; at + 27 <= bytes.size();) {
        const int segments = d[at + 26];
        qsizetype size = 27 + segments;
        for (int i = 0; i < segments; ++i)
            size += d[at + 27 + i];
        // Only the first pages hold comments.
        if (at > 64 * 1024 || at + size > bytes.size())
            break;
        qToLittleEndian<quint32>(0, d + at + 22);
        quint32 crc = 0;
        for (qsizetype i = 0; i < size; ++i)
            crc = (crc << 8) ^ table[((crc >> 24) ^ d[at + i]) & 0xFF];
        qToLittleEndian<quint32>(crc, d + at + 22);
        at += size;
    }
}

struct Template {
    QString suffix;
    QByteArray bytes;
};

std::array<Template, 3> templates(const QString &folder)
{
    const QString wav = folder + QStringLiteral("/template.wav");
    writeAll(wav, wavTemplate());
    const QString mp3 = folder + QStringLiteral("/template.mp3");
    runTool(QStringLiteral("lame"), {"--quiet", "-b", "32", "--add-id3v2", "--tt", QString::fromLatin1(kPlaceholder),
                                     "--ta", kArtist, "--tl", kAlbum, wav, mp3});
    const QString ogg = folder + QStringLiteral("/template.ogg");
    runTool(QStringLiteral("oggenc"), {"-Q", "-q", "0", "-t", QString::fromLatin1(kPlaceholder), "-a", kArtist, "-l",
                                       kAlbum, "-o", ogg, wav});
    std::array<Template, 3> all{{{QStringLiteral("wav"), readAll(wav)},
                                 {QStringLiteral("mp3"), readAll(mp3)},
                                 {QStringLiteral("ogg"), readAll(ogg)}}};
    for (const QString &t : {wav, mp3, ogg})
        QFile::remove(t);
    for (const Template &t : all) {
        if (!t.bytes.contains(kPlaceholder))
            fail(QStringLiteral("the %1 template holds no title").arg(t.suffix));
    }
    return all;
}

} // namespace

QStringList taggedFiles(const QString &folder, int count)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths << folder + QStringLiteral("/f%1.%2").arg(i, 6, 10, QLatin1Char('0')).arg(i % 3 == 0 ? "wav" : i % 3 == 1 ? "mp3" : "ogg");
    if (QFileInfo::exists(paths.last()))
        return paths;
    const std::array<Template, 3> made = templates(folder);
    for (int i = 0; i < count; ++i) {
        QByteArray bytes = made[std::size_t(i % 3)].bytes;
        bytes.replace(kPlaceholder, QByteArray("Track ") + QByteArray::number(i).rightJustified(6, '0'));
        if (i % 3 == 2)
            fixOggChecksums(bytes);
        writeAll(paths.at(i), bytes);
    }
    return paths;
}

} // namespace Bench
