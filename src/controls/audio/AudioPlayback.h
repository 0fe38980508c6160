#pragma once

#include "controls/audio/AudioDecoder.h"

#include <QAudioDevice>
#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>

class PlaybackWorker;

// Plays one decoded file at a time on a device. Decoding and the sound
// device live on a worker thread of their own; every call here returns at
// once, and each start ends in exactly one ended() on this object's thread,
// after the call that stopped it has returned, carrying the number of the
// session it ends, so a caller tells an old session's ending from the
// current one. The player and the recorder's WAV player share it.
class AudioPlayback : public QObject {
    Q_OBJECT
public:
    explicit AudioPlayback(QObject *parent = nullptr);
    ~AudioPlayback() override;

    // Plays decoder (already open) from firstSample up to endSample (-1: to
    // its end); a playback still running is stopped first and ends in its own
    // ended(). position() then counts from the start of the file.
    void start(std::unique_ptr<AudioDecoder> decoder, const QAudioDevice &device, qint64 firstSample = 0,
        qint64 endSample = -1);
    void pause();
    void resume();
    void stop();
    void seek(double seconds);

    // From start() until stop() or the end of the sound.
    bool isActive() const { return m_active; }
    // Names the playback that started last; each start gets a new one.
    quint64 session() const { return m_session; }
    bool isPaused() const { return m_active && m_paused; }
    // Where the sound is that the device plays now, in seconds; 0 when idle.
    double position() const;
    // The length of the sound that started last, in seconds.
    double length() const { return m_length; }
    // The last moments played, for the graphs; empty when idle.
    std::shared_ptr<const struct AudioSnapshot> snapshot() const;

signals:
    // failed with a text the user can read when the sound could not be played
    // to its end (the device refused it, the file broke off); session names
    // the playback that ended, which need not be the one started last.
    void ended(bool failed, const QString &error, quint64 session);

private:
    void sessionEnded(quint64 session, bool failed, const QString &error);

    QThread m_thread;
    PlaybackWorker *m_worker = nullptr;
    quint64 m_session = 0;
    bool m_active = false;
    bool m_paused = false;
    double m_length = 0;
};
