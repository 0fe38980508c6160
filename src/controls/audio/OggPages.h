#pragma once

#include <QFile>
#include <QString>
#include <QVector>

#include <optional>

// What the header of one Ogg page tells of the packets on it.
struct OggPage {
    // The granule position at the end of the last packet completed on the
    // page (for audio, the samples decoded up to there); -1 when none is.
    qint64 granule = -1;
    // The sizes, in order, of the packets that both start and end on the
    // page: not one continued from the page before, nor one that runs on.
    QVector<int> packetSizes;
    // The stream's last page, where the granule may cut its last packet short.
    bool lastOfStream = false;
};

// Reads Ogg page headers by file position, beside the demuxer that reads the
// same file: its packets say on which page they start.
class OggPages {
public:
    bool open(const QString &path);
    void close() { m_file.close(); }
    bool isOpen() const { return m_file.isOpen(); }
    // The page whose header starts at position; nothing when none does.
    std::optional<OggPage> at(qint64 position);

private:
    QFile m_file;
};
