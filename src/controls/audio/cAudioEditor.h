#pragma once

#include "controls/audio/AudioJobRunner.h"
#include "controls/audio/AudioPlayback.h"
#include "controls/audio/WaveformOverview.h"

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

// The waveform editor: shows one audio file as a waveform, lets the user
// select a stretch of it with the mouse, plays the selection, zooms to it and
// back, and saves a stretch as a WAV file of its own, sample-exact. The
// editor lives on the UI thread; the waveform is decoded on the overview's
// worker and the stretch written on the runner's, and every event arrives
// queued, never inside the call that caused it. Opening another file drops
// what the overview of the last one still reports.
//
// Sample positions count from 0; a selection is [first, end), so a selection
// of the whole file ends at the file's number of samples.
class cAudioEditor : public QWidget {
    Q_OBJECT
public:
    enum ErrorCode : qint32 {
        NoError = 0,
        FileError = 1, // missing, unreadable, or holding no audio
        DeviceError = 2, // no sound device to play on
        SaveError = 3, // the stretch could not be written
    };

    explicit cAudioEditor(QWidget *parent = nullptr);
    ~cAudioEditor() override;

    // Loads path into the view: FileInfo follows for it (or Error), and the
    // waveform fills in while Progress reports how far its reading is.
    void OpenFile(const QString &path);

    // Starts playing the selection (the whole file when the whole file is
    // selected) and returns 0, or an error code when it could not start;
    // ErrorText then tells why. A playback that started ends in PlayDone.
    qint32 Play();
    bool IsPaused() const { return m_playback.isPaused(); }
    void Pause() { m_playback.pause(); }
    void Resume() { m_playback.resume(); }
    void Stop() { m_playback.stop(); }

    // Shows the selection across the view; shows the whole file again.
    void ZoomSelection();
    void ZoomRestore();

    // Stops the selection save that runs, else the reading of the waveform.
    void Abort();
    // Stops everything and lets go of the file.
    void Terminate();

    // View colours as colour numbers (0x00BBGGRR, or system colours): the
    // background, its lower edge and the waveform with its texts.
    void BackColor(quint32 colour);
    void BackColor2(quint32 colour);
    void TextColor(quint32 colour);

    // The selection save: the source file, the file to write, and the
    // stretch in milliseconds. When the stretch is the selection as the last
    // SelectionChanged or FileInfo reported it, its exact samples are saved.
    void SetSaveSource(const QString &path) { m_saveSource = path; }
    void SaveDestFile(const QString &path) { m_saveDest = path; }
    void SaveStart(qint64 ms) { m_saveStartMs = ms; }
    void SaveLength(qint64 ms) { m_saveLengthMs = ms; }
    // Writes the stretch as a WAV file in the source's own format (8 or 16
    // bits, one or two channels) under a temporary name, renamed when it is
    // complete; Progress, then SaveDone and OperationDone, or Error and
    // OperationDone (just OperationDone after Abort).
    void SaveSelection();

    QString ErrorText() const { return m_errorText; }

    // What is open; 0 before a file opened.
    QString fileName() const { return m_path; }
    qint64 totalSamples() const { return m_total; }
    qint32 sampleRate() const { return m_rate; }
    qint32 channels() const { return m_channels; }
    const WaveformOverview &overview() const { return m_overview; }

    // Selects [first, end) as the user's drag does: SelectionChanged and
    // SelectionReady follow.
    void setSelection(qint64 first, qint64 end);
    qint64 selectionStart() const { return m_selFirst; }
    qint64 selectionEnd() const { return m_selEnd; }
    // The stretch the view shows.
    qint64 viewStart() const { return m_viewFirst; }
    qint64 viewLength() const { return m_viewLength; }
    bool isPlaying() const { return m_playback.isActive(); }
    bool isSaving() const { return m_runner.isRunning(); }

signals:
    void FileInfo(qint32 samplesPerSecond, qint32 bitsPerSample, qint32 channels, qint32 seconds, qint64 samples);
    // last is the sample just after the selection.
    void SelectionChanged(qint64 firstSample, qint64 lastSample, qint64 startMs, qint64 endMs);
    void Progress(qint32 percent);
    void SelectionReady();
    void OperationDone();
    void SaveDone(qint32 code, const QString &path);
    void PlayDone();
    void Error(qint32 code, const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Reported selections, so that the milliseconds the window hands back
    // find their exact samples again.
    struct Reported {
        qint64 first = 0, end = 0, startMs = 0, endMs = 0;
    };
    qint64 sampleAtX(int x) const;
    int xOfSample(qint64 sample) const;
    void applySelection(qint64 first, qint64 end, bool ready);
    qint64 msOf(qint64 sample) const;
    void fail(qint32 code, const QString &text, bool operationDone);

    QString m_path;
    qint64 m_total = 0;
    qint32 m_rate = 0;
    qint32 m_channels = 0;
    qint32 m_bits = 0;

    qint64 m_selFirst = 0;
    qint64 m_selEnd = 0;
    Reported m_reported;
    qint64 m_viewFirst = 0;
    qint64 m_viewLength = 0;
    qint64 m_dragAnchor = -1;
    bool m_dragged = false;

    QColor m_back = Qt::white;
    QColor m_back2 = Qt::white;
    QColor m_wave = Qt::darkBlue;

    QString m_saveSource;
    QString m_saveDest;
    qint64 m_saveStartMs = 0;
    qint64 m_saveLengthMs = 0;

    QString m_errorText;
    WaveformOverview m_overview;
    AudioPlayback m_playback;
    AudioJobRunner m_runner;
    QTimer m_cursorTimer;
};
