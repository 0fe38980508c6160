#pragma once

#include "controls/Worker.h"
#include "controls/audio/AudioPlayback.h"
#include "controls/audio/SpeechEngine.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// Text to speech: speaks a text aloud on an audio output, word by word, or
// into a WAV file in a chosen format. Voices come from the speech engine,
// outputs from the sound system; both are named by index from 1 and chosen
// by list position from 0. The control lives on the UI thread; the text is
// synthesised on its worker, words and sound coming back queued, and played
// through a playback device thread. Every speech is numbered: a new text or
// Stop aborts the synthesis, and what the old one still reports is dropped.
class cWaveTTS : public QObject {
    Q_OBJECT
public:
    enum ErrorCode : qint32 {
        NoError = 0,
        FileError = 1, // no file name, or a folder that does not exist or cannot be written
        DeviceError = 2, // no output to speak on
        FormatError = 3, // a format id no format has
        EngineError = 4, // the speech engine failed
    };

    explicit cWaveTTS(QObject *parent = nullptr);
    ~cWaveTTS() override;

    qint32 VoiceCount() const;
    QString VoiceName(qint32 &index) const; // index from 1; empty when out of range
    qint32 OutputCount() const;
    QString OutputName(qint32 &index) const; // index from 1; empty when out of range

    // Starts the engine and reports every format through FormatFound before
    // it returns.
    void Initialize();

    bool IsSpeaking() const { return m_speaking; }

    // List positions from 0; -1 (or a position no entry has): the default.
    void setOutput(qint32 position) { m_output = position; }
    qint32 Output() const { return m_output; }
    void setVoice(qint32 position) { m_voice = position; }
    qint32 Voice() const { return m_voice; }
    void setRate(qint32 rate) { m_rate = rate; } // -10 to 10, 0 normal
    qint32 Rate() const { return m_rate; }
    void setVolume(qint32 volume) { m_volume = volume; } // 0 to 100
    qint32 Volume() const { return m_volume; }
    // Kept for callers; every speech starts afresh, stopping one that runs.
    void setSpeakFlags(qint32 flags) { m_speakFlags = flags; }
    qint32 SpeakFlags() const { return m_speakFlags; }
    // A FormatFound id; the format of speech written to files.
    void setFormat(qint32 id) { m_format = id; }
    qint32 Format() const { return m_format; }

    // Starts speaking text aloud and returns; Word events follow as each word
    // is heard, then exactly one Done (also after Stop or another Speak), or
    // Error when it cannot be spoken.
    void Speak(const QString &text);
    // Speaks text into the WAV file path, in the chosen format, and returns
    // once the file is complete: 0, or an error code (see ErrorText) with
    // nothing written. The window stays drawn meanwhile, but takes no input.
    // Done or Error follows after the return.
    qint32 SpeakToFile(const QString &text, QString &path);
    void Stop();
    // Stops speaking and lets go of the engine's work and the device.
    void Terminate();

    // The text of the last failure.
    QString ErrorText() const { return m_errorText; }

signals:
    void FormatFound(const QString &name, qint32 id);
    void Word(qint32 position, qint32 length);
    void Done();
    void Error(qint32 code, const QString &text);

private:
    SpeechEngine::Settings settings() const;
    void startSynthesis(Worker::Work work);
    void playbackEnded(bool failed, const QString &error);
    void emitWords();
    void finishSpeech(ErrorCode code, const QString &error);
    qint32 refuse(ErrorCode code, const QString &text);

    qint32 m_output = -1;
    qint32 m_voice = -1;
    qint32 m_rate = 0;
    qint32 m_volume = 100;
    qint32 m_speakFlags = 0;
    qint32 m_format = 0;

    bool m_speaking = false;
    quint64 m_job = 0;
    AudioPlayback m_playback;
    QTimer m_wordClock;
    std::shared_ptr<SpeechEngine::Speech> m_speech;
    size_t m_nextWord = 0;
    QList<quint64> m_playingJobs; // the speech of each playback started, oldest first
    bool m_writing = false;
    std::unique_ptr<QTemporaryDir> m_scratch;
    QString m_errorText;
    // Last, so the synthesis ends before anything it reports to.
    Worker m_synthesis;
};
