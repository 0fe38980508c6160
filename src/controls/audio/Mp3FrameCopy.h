#pragma once

#include "controls/audio/AudioFormatRecords.h"
#include "controls/audio/AudioTags.h"
#include "controls/audio/Mp3Frames.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

// Writes a range of a constant-bitrate MP3 file as a new MP3 file by copying
// its frames: no quality lost and no time spent encoding. The range is cut
// sample-exact all the same: the copy starts early enough for the decoder
// to rebuild its state (the bit reservoir and the overlap of the transforms)
// and the Info frame written first tells gapless decoders, through LAME's
// encoder delay and padding, to drop exactly the samples around the range.
// A file or range this cannot copy exactly is left to the encoder.
class Mp3FrameCopy {
public:
    Mp3FrameCopy() = default;
    Mp3FrameCopy(const Mp3FrameCopy &) = delete;
    Mp3FrameCopy &operator=(const Mp3FrameCopy &) = delete;

    // Opens path; true when it is a constant-bitrate MPEG-1 or MPEG-2
    // Layer III stream, undamaged, with the bitrate, rate and channels the
    // encoder would write with settings (constant-bitrate ones).
    bool open(const QString &path, const Mp3EncoderSettings &settings);
    int sampleRate() const { return m_header.sampleRate; }

    // Prepares the copy of the samples first to end (exclusive; -1: to the
    // end of the source) as a straight decode of the source numbers them;
    // false when copying frames cannot give exactly those.
    bool plan(qint64 first, qint64 end);

    enum class Result { Done, Aborted, Failed };
    using Progress = std::function<void(int percent)>;
    // Writes the planned range to path with tags as the MP3 encoder writes
    // them; abort is polled between pieces of the copy.
    Result write(const QString &path, const AudioTags &tags, const std::atomic<bool> &abort, const Progress &progress,
        QString *error);

private:
    // The header, bytes and first main-data byte of audio frame k.
    Mp3Frames::Header header(qint64 k) const;
    qint64 mainDataBytes(qint64 k) const;
    int mainDataBegin(qint64 k) const;
    qint64 reservoirStart(qint64 k) const;
    bool fitInfoFrame();
    QByteArray infoFrame(quint32 audioBytes, quint16 audioCrc) const;
    QByteArray silentFrame() const;

    QFile m_file; // its mapping lives as long as it does
    const uchar *m_data = nullptr;
    // Where each audio frame starts, and where the last one ends.
    std::vector<qint64> m_frames;
    Mp3Frames::Header m_header;
    QByteArray m_extension; // the source's LAME extension, if it has one
    // In samples of the frames' whole decode: where the straight decode
    // starts and ends.
    qint64 m_decodeStart = 0;
    qint64 m_decodeEnd = 0;

    // The plan: frames first to last (inclusive), after a silent frame when
    // the delay needs one, and the Info frame's fields.
    qint64 m_firstFrame = 0;
    qint64 m_lastFrame = -1;
    bool m_silence = false;
    int m_delay = 0;
    int m_padding = 0;
    QByteArray m_infoHeader;
    qint64 m_infoBytes = 0;
};
