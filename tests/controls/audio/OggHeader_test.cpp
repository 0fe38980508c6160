#include "controls/audio/AudioDecoder.h"
#include "controls/audio/AudioFacts.h"
#include "controls/audio/OggHeader.h"
#include "support/AudioFiles.h"
#include "support/HeaderFacts.h"
#include "support/Mutagen.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

QString work(const QString &name)
{
    return TestEnv::workFolder() + "/" + name;
}

// seconds of a two-tone signal with a little noise, so the encoder spends bits.
QString source(int seconds, int rate = 44100, int channels = 2)
{
    const QString path = work(QStringLiteral("src-%1-%2-%3.wav").arg(seconds).arg(rate).arg(channels));
    if (!QFile::exists(path))
        TestAudio::writeWav(path, {rate, channels, 16}, qint64(rate) * seconds, [](qint64 i, int ch) {
            const double noise = double((i * 7919 + ch * 104729) % 2001 - 1000);
            return qint16(8000 * std::sin(double(i) * (ch ? 0.031 : 0.047)) + noise);
        });
    return path;
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// oggenc with its own options, comments among them ("-c", "KEY=value").
QString byOggenc(const QString &name, const QStringList &arguments, int seconds = 3, int rate = 44100, int channels = 2)
{
    EXPECT_TRUE(run(QStringLiteral("oggenc"), QStringList{"-Q"} + arguments + QStringList{"-o", work(name), source(seconds, rate, channels)}));
    return work(name);
}

QString byFfmpeg(const QString &name, const QStringList &arguments, int seconds = 3)
{
    EXPECT_TRUE(TestAudio::ffmpeg(QStringList{"-i", source(seconds)} + arguments + QStringList{work(name)}));
    return work(name);
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString written(const QString &name, const QByteArray &bytes)
{
    QFile f(work(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return work(name);
}

// Adds a Vorbis comment with mutagen.
QString withComment(const QString &name, const QString &from, const QString &key, const QString &value)
{
    const QString path = written(name, contents(from));
    Mutagen::run(QStringLiteral("import sys, json\n"
                                "from mutagen.oggvorbis import OggVorbis\n"
                                "f = OggVorbis(sys.argv[1]); f[sys.argv[2]] = [sys.argv[3]]; f.save()\n"
                                "print(json.dumps(True))\n"),
                 {path, key, value});
    return path;
}

// The same stream with every page's position moved on by shift samples, as a
// stream cut out of a longer one carries them (checksums made again).
QString shifted(const QString &name, const QString &from, int shift)
{
    const QString path = work(name);
    Mutagen::run(QStringLiteral("import sys, json, struct\n"
                                "def crc(data):\n"
                                "    c = 0\n"
                                "    for b in data:\n"
                                "        c ^= b << 24\n"
                                "        for _ in range(8):\n"
                                "            c = ((c << 1) ^ 0x04C11DB7) & 0xFFFFFFFF if c & 0x80000000 else (c << 1) & 0xFFFFFFFF\n"
                                "    return c\n"
                                "d = bytearray(open(sys.argv[1], 'rb').read())\n"
                                "i = 0\n"
                                "while i < len(d):\n"
                                "    size = 27 + d[i + 26] + sum(d[i + 27:i + 27 + d[i + 26]])\n"
                                "    g = struct.unpack('<q', d[i + 6:i + 14])[0]\n"
                                "    if g > 0:\n"
                                "        d[i + 6:i + 14] = struct.pack('<q', g + int(sys.argv[3]))\n"
                                "        d[i + 22:i + 26] = bytes(4)\n"
                                "        d[i + 22:i + 26] = struct.pack('<I', crc(d[i:i + size]))\n"
                                "    i += size\n"
                                "open(sys.argv[2], 'wb').write(d)\n"
                                "print(json.dumps(True))\n"),
                 {from, path, QString::number(shift)});
    return path;
}

struct OggCase {
    const char *name;
    std::function<QString()> make;
    bool fromHeader; // whether the first and last pages alone settle it
};

const QStringList kTags{"-c", "TITLE=A title", "-c", "ARTIST=One", "-c", "ARTIST=Two", "-c", "ALBUM=An album",
                        "-c", "COMMENT=Said", "-c", "DESCRIPTION=Described", "-c", "TRACKNUMBER=7",
                        "-c", "DATE=2021-03-04", "-c", "GENRE=Folk"};

} // namespace

// Whatever an Ogg file holds, its facts and tags come out the same as a full
// open and the tag reader give them; its pages alone serve only the plain
// Vorbis streams they settle.
TEST(OggHeader, DescribesPlainVorbisExactlyAsTheFullProbeAndLeavesTheRestToIt)
{
    const OggCase cases[] = {
        {"oggenc, tagged", [] { return byOggenc("tagged.ogg", kTags); }, true},
        {"oggenc, untagged", [] { return byOggenc("plain.ogg", {}); }, true},
        {"oggenc, mono 22.05 kHz", [] { return byOggenc("mono.ogg", {"-q", "1"}, 3, 22050, 1); }, true},
        {"oggenc, 48 kHz, longer than the end the library reads", [] {
             return byOggenc("long.ogg", {"-q", "8"}, 20, 48000, 2);
         }, true},
        {"ffmpeg libvorbis, tagged", [] {
             return byFfmpeg("ff.ogg", {"-c:a", "libvorbis", "-metadata", "title=T", "-metadata", "artist=A",
                                        "-metadata", "date=1999"});
         }, true},
        {"another name", [] { return written("stream.bin", contents(byOggenc("named.ogg", kTags))); }, true},
        {"comments longer than the first read", [] {
             return withComment("longcomment.ogg", byOggenc("lc.ogg", {}), "COMMENT", QString(40000, QLatin1Char('x')));
         }, true},
        {"a stream that starts later than 0", [] { return shifted("later.ogg", byOggenc("lt.ogg", {}, 5), 44100); }, true},
        {"junk after the last page", [] {
             return written("junk-end.ogg", contents(byOggenc("je.ogg", {})) + QByteArray(3000, '\x11'));
         }, true},
        {"a damaged page in the middle", [] {
             QByteArray bytes = contents(byOggenc("dm.ogg", {"-q", "6"}, 20));
             bytes.replace(bytes.size() / 2, 500, QByteArray(500, '\x55'));
             return written("damaged-middle.ogg", bytes);
         }, true},
        {"all audio on one page", [] { return byOggenc("tiny.ogg", {}, 0); }, false},
        {"a cover picture", [] {
             return withComment("picture.ogg", byOggenc("pic.ogg", {}), "METADATA_BLOCK_PICTURE",
                                QStringLiteral("AAAAAwAAAAlpbWFnZS9wbmcAAAAAAAAAAQAAAAEAAAAgAAAAAAAAAAA="));
         }, false},
        {"chapters", [] {
             return withComment("chapters.ogg", byOggenc("ch.ogg", {}), "CHAPTER001", "00:00:01.000");
         }, false},
        {"two streams one after the other", [] {
             return written("chained.ogg", contents(byOggenc("c1.ogg", {})) + contents(byOggenc("c2.ogg", {"-q", "2"})));
         }, false},
        {"cut short", [] {
             const QByteArray bytes = contents(byOggenc("cs.ogg", {}, 10));
             return written("cut.ogg", bytes.left(bytes.size() - 1000));
         }, false},
        {"damaged last page", [] {
             QByteArray bytes = contents(byOggenc("dl.ogg", {}, 10));
             bytes[bytes.size() - 20] = char(bytes[bytes.size() - 20] ^ 0x5A);
             return written("damaged-end.ogg", bytes);
         }, false},
        {"Opus", [] { return byFfmpeg("opus.ogg", {"-c:a", "libopus"}); }, false},
        {"FLAC in Ogg", [] { return byFfmpeg("flac.ogg", {"-c:a", "flac"}); }, false},
        {"not Ogg at all", [] { return written("text.ogg", "OggS is how this text starts, nothing more"); }, false},
    };
    for (const OggCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.make();
        const std::optional<AudioFacts> full = HeaderFacts::fullProbe(path);
        const std::optional<OggHeader::Description> header = OggHeader::plainVorbis(path);
        EXPECT_EQ(header.has_value(), c.fromHeader);
        if (c.fromHeader) {
            ASSERT_TRUE(full.has_value());
            ASSERT_TRUE(header.has_value());
            HeaderFacts::expectSameAsFullProbe(path, header->facts, *full);
            const QJsonObject probed = TestAudio::probe(path);
            EXPECT_EQ(probed["stream"].toObject()["codec_name"].toString(), "vorbis");
            EXPECT_EQ(header->tags, AudioDecoder::readTags(path));
            EXPECT_EQ(header->tags.title, TestAudio::probedTag(probed, "title"));
            EXPECT_EQ(header->tags.album, TestAudio::probedTag(probed, "album"));
            const std::optional<AudioDescription> both = describeAudioAndTags(path);
            ASSERT_TRUE(both.has_value());
            EXPECT_EQ(both->facts, *full);
            EXPECT_EQ(both->tags, header->tags);
        }
        HeaderFacts::expectListViewIsTheFullProbe(path, full);
    }
}

// The demuxer's way with repeated and renamed comments, checked against what
// ffprobe shows of the same file.
TEST(OggHeader, CommentsReadAsTheLibraryFilesThem)
{
    const QString path = byOggenc("names.ogg", kTags);
    const std::optional<OggHeader::Description> header = OggHeader::plainVorbis(path);
    ASSERT_TRUE(header.has_value());
    const QJsonObject probed = TestAudio::probe(path);
    EXPECT_EQ(header->tags.artist, QStringLiteral("One;Two"));
    EXPECT_EQ(header->tags.artist, TestAudio::probedTag(probed, "artist"));
    // DESCRIPTION is renamed "comment" and, standing later, replaces COMMENT.
    EXPECT_EQ(header->tags.comment, QStringLiteral("Described"));
    EXPECT_EQ(header->tags.comment, TestAudio::probedTag(probed, "comment"));
    EXPECT_EQ(header->tags.track, QStringLiteral("7"));
    EXPECT_EQ(header->tags.year, QStringLiteral("2021"));
    EXPECT_EQ(header->tags.genre, QStringLiteral("Folk"));
}
