#pragma once

#include "controls/audio/AudioFormatRecords.h"
#include "controls/audio/AudioTags.h"
#include "controls/audio/Mp3FrameWalk.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

// Writes a range of a constant-bitrate MP3 file as a new MP3 file by copying
// its frames: no quality lost and no time spent encoding. The range is cut
// sample-exact all the same: the copy starts early enough for the decoder
// to rebuild its state (the bit reservoir and the overlap of the transforms)
// and the Info frame written first tells gapless decoders, through LAME's
// encoder delay and padding, to drop exactly the samples around the range.
// The frames at the start whose main data began before the copy are
// rewritten to decode as silence, so decoders that play every frame hear a
// little of the audio around the range, never noise.
// A file or range this cannot copy exactly is left to the encoder.
class Mp3FrameCopy {
public:
    Mp3FrameCopy() = default;
    Mp3FrameCopy(const Mp3FrameCopy &) = delete;
    Mp3FrameCopy &operator=(const Mp3FrameCopy &) = delete;

    // Takes the walk of the source; true when it is a constant-bitrate
    // MPEG-1 or MPEG-2 Layer III stream, undamaged, with the bitrate, rate
    // and channels the encoder would write with settings (constant-bitrate
    // ones).
    bool open(std::shared_ptr<const Mp3FrameWalk> walk, const Mp3EncoderSettings &settings);
    int sampleRate() const { return m_walk->header.sampleRate; }

    // Prepares the copy of the samples first to end (exclusive; -1: to the
    // end of the source) as a straight decode of the source numbers them;
    // false when copying frames cannot give exactly those.
    bool plan(qint64 first, qint64 end);

    enum class Result { Done, Aborted, SourceFailed, Failed };
    using Progress = std::function<void(int percent)>;
    // Writes the planned range to path with tags as the MP3 encoder writes
    // them; abort is polled between pieces of the copy. SourceFailed: the
    // source could not be read, or no longer holds the frames walked.
    Result write(const QString &path, const AudioTags &tags, const std::atomic<bool> &abort, const Progress &progress,
        QString *error);

private:
    qint64 reservoirStart(qint64 k) const;
    bool fitInfoFrame();
    QByteArray infoFrame(quint32 audioBytes, quint16 audioCrc) const;
    QByteArray silentFrame() const;
    void silence(QByteArray &frame, int mainDataBegin) const;

    std::shared_ptr<const Mp3FrameWalk> m_walk;

    // The plan: frames first to last (inclusive), after a silent frame when
    // the delay needs one, the first few of them silenced, and the Info
    // frame's fields.
    qint64 m_firstFrame = 0;
    qint64 m_lastFrame = -1;
    // Where each frame silenced at the start now has its main data begin.
    std::vector<quint16> m_silencedBegins;
    bool m_silence = false;
    int m_delay = 0;
    int m_padding = 0;
    QByteArray m_infoHeader;
    qint64 m_infoBytes = 0;
};
