#pragma once

#include "controls/audio/AudioPlayback.h"
#include "controls/audio/AudioRecording.h"

#include <QObject>
#include <QString>

// The wave format record of a recording, fields in the platform's order.
struct WAVEFORMATEX {
    quint16 wFormatTag = 1; // 1: PCM, the only tag recorded
    quint16 nChannels = 2;
    quint32 nSamplesPerSec = 44100;
    quint32 nAvgBytesPerSec = 176400;
    quint16 nBlockAlign = 4;
    quint16 wBitsPerSample = 16;
    quint16 cbSize = 0;
};

// One sound device as cWave::GetDeviceCaps describes it: the name first and
// the largest number of channels last.
struct WaveDeviceCaps {
    QString szPname;
    quint32 dwMinSampleRate = 0;
    quint32 dwMaxSampleRate = 0;
    quint32 dwPreferredSampleRate = 0;
    quint32 dwChannels = 0;
};

// What cWave::GetFileDetails reads from a WAV file.
struct WaveFileDetails {
    quint16 wFormatTag = 0;
    quint16 nChannels = 0;
    quint32 nSamplesPerSec = 0;
    quint32 nAvgBytesPerSec = 0;
    quint16 nBlockAlign = 0;
    quint16 wBitsPerSample = 0;
    quint16 cbSize = 0;
    QString FileName;
    QString FilePath;
    qint32 SecondsLength = 0; // whole seconds, rounded
};

// Records PCM WAV files from an input device and plays WAV files back.
// Recording and playback are independent of each other; each runs off the
// caller's thread and each start that returned 0 ends in exactly one
// RecordDone or PlayDone, after the call that ended it has returned.
class cWave : public QObject {
    Q_OBJECT
public:
    enum DeviceKind : qint32 { OutputDevices = 1, InputDevices = 2 };
    enum ErrorCode : qint32 {
        NoError = 0,
        FileError = 1, // no file, a missing folder, or not a sound file
        DeviceError = 2, // no device, or it refused
        FormatError = 3, // a wave format that cannot be recorded
        BusyError = 4, // a recording already runs
    };

    explicit cWave(QObject *parent = nullptr);
    ~cWave() override;

    // Devices of a kind, numbered from 0; other kinds have none.
    qint32 DeviceCount(qint32 kind) const;
    // 0 when device is a device of kind; caps then describes it.
    qint32 GetDeviceCaps(qint32 &device, WaveDeviceCaps &caps, qint32 kind) const;

    // While on, levels of the recording arrive through Level.
    void setMeter(bool on) { m_meter = on; }
    bool Meter() const { return m_meter; }
    // No second output plays the recorded sound, so there is nothing to close.
    void MonitorStop() { }

    // Records from input device (-1: the default) into path in format.
    // levelFrames is how many frames each Level report covers. 0 when the
    // recording has started; otherwise an error code (see ErrorText), and
    // nothing is recorded. The file takes its name when the recording ends.
    qint32 RecordStart(qint32 &device, const QString &path, WAVEFORMATEX &format, qint16 levelFrames);
    void RecordStop();
    void RecordPause();
    void RecordResume();
    bool IsRecordPaused() const { return m_recording.isPaused(); }
    bool IsRecording() const { return m_recording.isActive(); }

    // The message for a code of RecordStart, PlayStart or PlayStop; for the
    // latest failure it names the file or device concerned.
    QString ErrorText(qint32 &code) const;
    QString FormatSeconds(qint32 seconds) const;

    // 0 when path is a WAV file; details then describe it.
    qint32 GetFileDetails(const QString &path, WaveFileDetails &details) const;
    // Plays path on output device (-1 or a number no output has: the
    // default); bufferHint is accepted for callers and left to the device.
    qint32 PlayStart(const QString &path, qint16 device, qint16 bufferHint);
    // 0 also when nothing plays.
    qint32 PlayStop();
    void PlayPause();
    void PlayResume();
    bool IsPlaying() const { return m_playback.isActive(); }
    // 0 to 100: how far the file has played; 100 after it played to its end.
    qint32 PlayPosition() const;
    // Whole seconds played so far.
    qint32 PlayLength() const;

    // Ends what plays and records (the recording is kept) and lets go of the devices.
    void Terminate();

signals:
    void PlayDone();
    void RecordDone();
    void Level(qint16 level); // 0 (silence) to 120 (full scale)
    void Error(qint32 code, const QString &text);

private:
    qint32 fail(ErrorCode code, const QString &text);

    AudioPlayback m_playback;
    AudioRecording m_recording;
    bool m_meter = false;
    bool m_playedToEnd = false;
    double m_playedLength = 0;
    qint32 m_lastCode = NoError;
    QString m_lastError;
};
