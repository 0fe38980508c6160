// Takes any bytes as a file's tag, followed by MPEG audio and an ID3v1
// trailer, and gives it a new title. Whenever the old tag's declared end lies
// before the audio, every byte from that end on must come through unchanged,
// in order, at the end of the new file; whatever the tag claims, the trailer
// must end the new file; a failed write must leave the file as it was.
#include "tags/TagError.h"
#include "tags/cMP3ID3v2.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QByteArray mpegAudio()
{
    QByteArray bytes;
    for (int n = 0; n < 3; ++n) {
        QByteArray frame(417, '\0');
        frame[0] = char(0xFF);
        frame[1] = char(0xFB);
        frame[2] = char(0x90);
        frame[3] = char(0x44);
        for (int i = 36; i < frame.size(); ++i)
            frame[i] = char((i * 7 + n * 13) & 0x7F);
        bytes += frame;
    }
    return bytes;
}

// The end of the tag that starts the bytes, as its header declares it in
// the standard's sync-safe form; -1 when it declares none that way. Bytes
// that do not start with a tag have their whole content after it.
qint64 declaredEnd(const QByteArray &bytes)
{
    if (!bytes.startsWith("ID3"))
        return 0;
    if (bytes.size() < 10)
        return -1;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i) {
        const auto b = quint8(bytes.at(i));
        if (b & 0x80)
            return -1;
        size = (size << 7) | b;
    }
    const bool footer = bytes.at(3) == 4 && (quint8(bytes.at(5)) & 0x10);
    return 10 + size + (footer ? 10 : 0);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void fail(const char *what)
{
    std::fprintf(stderr, "id3v2_write_fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QByteArray audio = mpegAudio();
    static const QByteArray trailer = "TAG" + QByteArray("Title").leftJustified(30, ' ') + QByteArray(92, ' ') + '\0'
        + char(3) + char(17);
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/id3fuzz-XXXXXX")
                                                                       : QDir::tempPath() + "/id3fuzz-XXXXXX");
    const QString path = folder.filePath(QStringLiteral("fuzz.mp3"));

    const QByteArray tagBytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray before = tagBytes + audio + trailer;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(before) != before.size())
            fail("cannot write the input file");
    }

    const QString title = QStringLiteral("Fuzzed title");
    bool written = false;
    try {
        cMP3ID3v2 tag;
        tag.setMP3File(path);
        tag.setTitle(title);
        tag.Update();
        written = true;
    } catch (const TagError &) {
    }
    const QByteArray after = readAll(path);
    if (!written) {
        if (after != before)
            fail("a failed write changed the file");
        return 0;
    }

    if (!after.endsWith(trailer))
        fail("the ID3v1 trailer was lost or changed");
    const qint64 end = declaredEnd(tagBytes);
    if (end >= 0 && end <= tagBytes.size() && !after.endsWith(before.mid(end)))
        fail("bytes after the tag's declared end were lost or changed");

    cMP3ID3v2 again;
    again.setMP3File(path);
    if (again.Title() != title)
        fail("the new title does not read back");
    return 0;
}
