#pragma once

#include <QAudioDevice>
#include <QObject>
#include <QThread>

class RecordingWorker;

// Records from an input device into a PCM WAV file. The device and the
// writing live on a worker thread; the file is written under a temporary
// name beside the destination and takes its name only when the recording has
// ended well. This object lives on the caller's thread and only posts to the
// worker; levels and the ending come back queued. Each start ends in exactly
// one ended() on this object's thread, after the call that stopped it has
// returned.
class AudioRecording : public QObject {
    Q_OBJECT
public:
    struct Format {
        int sampleRate = 44100;
        int channels = 2;
        int bits = 16;
    };

    explicit AudioRecording(QObject *parent = nullptr);
    ~AudioRecording() override;

    // levelFrames: how many frames each level() report covers.
    void start(const QAudioDevice &device, const Format &format, const QString &path, int levelFrames);
    void pause();
    void resume();
    void stop();

    bool isActive() const { return m_active; }
    bool isPaused() const { return m_active && m_paused; }

signals:
    // The peak of the last stretch, in dB below full scale (0 loudest, -96 silence).
    void level(double decibels);
    void ended(bool failed, const QString &error);

private:
    QThread m_thread;
    RecordingWorker *m_worker = nullptr;
    bool m_active = false;
    bool m_paused = false;
};
