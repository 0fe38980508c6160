#pragma once

#include "controls/audio/Mp3Frames.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

// What copying frames needs to know of a constant-bitrate Layer III file,
// from one walk over its frame headers: where every frame starts and where
// its main data begins in the bit reservoir. A walk is taken once and
// shared, read-only, by every range copied from the file.
struct Mp3FrameWalk {
    // Walks path; nullptr when abort was raised on the way. Any other
    // stream, or one with damage, gives a walk that is not copyable.
    static std::shared_ptr<const Mp3FrameWalk> take(const QString &path, const std::atomic<bool> &abort);

    QString path;
    // Every frame alike and in one piece, back to back up to the end tags:
    // anything else is left to the decoder, which knows how to resync.
    bool copyable = false;
    Mp3Frames::Header header; // of the first audio frame, as every one
    QByteArray firstHeader; // its four bytes
    QByteArray extension; // the source's LAME extension, if it has one
    // In samples of the frames' whole decode: where the straight decode
    // starts and ends.
    qint64 decodeStart = 0;
    qint64 decodeEnd = 0;
    // Where each audio frame starts, and where the last one ends.
    std::vector<qint64> frames;
    // Each frame's main_data_begin: how far back in the main data of the
    // frames before it its own starts.
    std::vector<quint16> mainDataBegin;

    qint64 count() const { return qint64(mainDataBegin.size()); }
    qint64 mainDataBytes(qint64 k) const
    {
        return frames[size_t(k + 1)] - frames[size_t(k)] - header.mainDataOffset();
    }
};
