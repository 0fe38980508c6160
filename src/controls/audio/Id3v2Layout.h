#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// The ID3v2 tag as it lies in a file, shared by the reader and the writer of
// cMP3ID3v2 and by the decoder's tag reading. Frames of version 2 and 4 tags
// are handed over in version 3 form, so that the writer can put them back
// unchanged.
namespace Id3v2Layout {

struct ParsedFrame {
    QString id;          // four characters
    QByteArray data;     // the frame's data in version 3 form
    quint16 flags = 0;   // version 3 frame flags
};

struct ParsedTag {
    qint64 position = 0;  // 1-based position of the byte after "ID3"; 0 when none was found
    quint8 version = 0;   // the version byte as found (0 when none)
    QList<ParsedFrame> frames;
    // The ids of version 2 frames that version 3 has no form for, each once,
    // in file order: they are not among the frames.
    QStringList leftOut;
    // Offset of the first byte after the old tag when it stands at the start
    // of the file: the end its header gives, or the first MPEG sync where a
    // damaged tag runs into the audio. 0 when the tag does not start the file
    // or its end is unknown (past the end of the file with no audio found,
    // or inside the ID3v1 trailer that ends the file); then nothing of the
    // file may be overwritten.
    qint64 regionEnd = 0;
};

// Scans from the device's current position, block by block, for "ID3" and
// answers the 1-based position of the byte after it; 0 when a block holding
// the MPEG sync FF FB, or the end of the file, comes first.
qint64 findTagHeader(QIODevice &file);

// Finds and reads the tag of a file opened for reading (from its start).
// Damaged or truncated tags yield the frames read before the damage; a frame
// cut short by the tag's end keeps the bytes it has.
ParsedTag parseTag(QIODevice &file);

// 32-bit big-endian, the most significant byte first.
void putLongBE(QByteArray &buffer, qsizetype index, quint32 value);
// Seven bits a byte, as the tag header's size field holds it.
void putSyncSafe(QByteArray &buffer, qsizetype index, quint32 value);
// The four-letter id of a version 2 frame id; empty when version 3 has no
// frame for it.
QString mapV22FrameId(const QString &id);

} // namespace Id3v2Layout
