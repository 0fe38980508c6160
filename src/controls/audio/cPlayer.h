#pragma once

#include "controls/audio/AudioPlayback.h"

#include <QObject>
#include <QString>

// Plays one audio file at a time and describes files without playing them.
// Probing a file (OpenFile) never touches the playback: the information
// properties describe the file opened or started last, while Position,
// IsPlaying and IsPaused follow the sound that plays.
class cPlayer : public QObject {
    Q_OBJECT
public:
    enum ErrorCode : qint32 {
        NoError = 0,
        FileError = 1, // missing, unreadable, or holding no audio
        DeviceError = 2, // no sound device to play on
    };

    explicit cPlayer(QObject *parent = nullptr);
    ~cPlayer() override;

    // 0 when path was opened for its information; Length and the rest then
    // describe it. Any other value leaves them at 0.
    qint32 OpenFile(const QString &path);
    // Starts playing path on output device deviceIndex (from 0; -1 for the
    // system's default) and returns 0, or an error code when it could not
    // start, in which case Error follows (queued) and PlayEnd does not.
    // A playback that started ends in exactly one PlayEnd, also after Stop.
    qint32 Play(const QString &path, qint32 &deviceIndex);
    // Names the playback started last, as PlayEnd names the one that ended:
    // an end that names another came late, after a later Play.
    quint64 Playback() const { return m_playback.session(); }
    void Pause();
    void Resume();
    void Stop();
    // Goes on from seconds (whole seconds from the start).
    void Seek(qint32 seconds);

    bool IsPlaying() const { return m_playback.isActive(); }
    bool IsPaused() const { return m_playback.isPaused(); }
    double Position() const { return m_playback.position(); } // seconds

    double Length() const { return m_length; } // seconds
    qint32 SampleRate() const { return m_sampleRate; }
    qint32 Bitrate() const { return m_bitrate; } // kbit/s
    qint32 Channels() const { return m_channels; }

    // "0:00:00" form: hours, then minutes and seconds of two digits.
    QString FormatSeconds(qint32 seconds) const;

    // A ticket for the moments being played, for cAudioGraph::SetData; 0
    // while nothing plays.
    qint32 AudioData() const;

    // The text of the last failure (of OpenFile, Play or a playback).
    QString ErrorText() const { return m_errorText; }
    // Stops playing and lets go of everything the control holds.
    void Terminate();

signals:
    void PlayEnd(quint64 playback);
    void Error(qint32 code, const QString &text);

private:
    bool describe(const AudioDecoder &decoder);
    void clearDescription();
    qint32 refuse(ErrorCode code, const QString &text);

    AudioPlayback m_playback;
    double m_length = 0;
    qint32 m_sampleRate = 0;
    qint32 m_bitrate = 0;
    qint32 m_channels = 0;
    QString m_errorText;
};
