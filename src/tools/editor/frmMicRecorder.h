#pragma once

#include "controls/audio/cWave.h"

#include <QDialog>
#include <QString>

class cProgressBar;
class cStatusBar;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTimer;

// The audio recorder: records the chosen input device into one WAV file
// (at most 30 seconds a take), plays a WAV file back and adds the recording
// to the items list shown in the main window. All sound work is cWave1's.
class frmMicRecorder : public QDialog {
    Q_OBJECT
public:
    explicit frmMicRecorder(QWidget *parent = nullptr);
    ~frmMicRecorder() override;

    void Form_Load();
    // Never refuses: what plays stops, what records ends and is kept.
    void Form_Unload(int &Cancel);

    // --- Set-up ------------------------------------------------------------
    // Derives m_WaveFormat from the three format lists.
    void UpdateWaveFormat();
    const WAVEFORMATEX &waveFormat() const { return m_WaveFormat; }

    // --- Recording ---------------------------------------------------------
    void cmdPath_Click();
    void cmdRecord_Click();
    void cmdStopRec_Click();
    void cmdPauseIn_Click();
    void cmdUnPauseIn_Click();
    void tmrRec_Timer();
    void txtResults_Change();
    void cWave1_RecordDone();
    void cWave1_Level(qint16 level);
    void cWave1_Error(qint32 code, const QString &text);

    // --- Playback and adding -------------------------------------------------
    void cmdPlay_Click();
    void cmdStop_Click();
    void cmdPauseOut_Click();
    void cmdUnPauseOut_Click();
    void tmSlider_Timer();
    void cWave1_PlayDone();
    void cmdAdd_Click();
    void cmdExit_Click();

    // The seconds the recording clock has counted for the current take.
    qint32 m_lRecordSeconds = 0;

    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblDevices = nullptr;
    QComboBox *cboDevices = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cboBitPerSample = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cboSamplesPerSec = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *cboChannels = nullptr;
    QLabel *lblWaveFile = nullptr;
    QLineEdit *txtAudioFile = nullptr;
    QPushButton *cmdPath = nullptr;
    QPushButton *cmdRecord = nullptr;
    QPushButton *cmdStopRec = nullptr;
    QPushButton *cmdPauseIn = nullptr;
    QPushButton *cmdUnPauseIn = nullptr;
    QLabel *lblRecTime = nullptr;
    QLabel *Label6 = nullptr;
    cProgressBar *prgMeter = nullptr;
    QLabel *Label5 = nullptr;
    QPushButton *cmdPlay = nullptr;
    QPushButton *cmdStop = nullptr;
    QPushButton *cmdPauseOut = nullptr;
    QPushButton *cmdUnPauseOut = nullptr;
    QSlider *cSlider1 = nullptr;
    QLabel *lblCurrentPositionSec = nullptr;
    QLabel *lbTotalLengthSec = nullptr;
    QPlainTextEdit *txtResults = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdExit = nullptr;
    cStatusBar *cStatusBar1 = nullptr;
    QTimer *tmrRec = nullptr;
    QTimer *tmSlider = nullptr;
    cWave *cWave1 = nullptr;

    // Every take ends at this many ticks of the recording clock.
    static constexpr qint32 kRecordLimitSeconds = 30;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildControls();
    void applySkin();
    void fillDevices();
    // Appends one log entry: the time, the literal and CR LF.
    void logEntry(const QString &literal);
    // Whether a file the user has not agreed to replace is in the way of a
    // take; asks first.
    bool mayRecordOver(const QString &path);
    // The checks and the hand-over to the items list; the window closes once
    // a row of the recording is in the list.
    void addRecording(const QString &path);

    WAVEFORMATEX m_WaveFormat;
    // The file the user agreed to replace, or that a take of this window wrote.
    QString m_sAgreedFile;
    // Add was pressed during a take: the file goes to the list once complete.
    bool m_bAddWhenRecorded = false;
    bool m_bTakeRunning = false;
    bool m_bRecordFailed = false;
    QString m_sRecordError;
    bool m_bUnloading = false;
};

namespace Forms {
// The recorder while it is loaded; null otherwise.
frmMicRecorder *micRecorder();
// Creates the recorder (its Form_Load runs) unless it is loaded; it is
// released when it closes. It receives nothing from the main window.
frmMicRecorder &loadMicRecorder(QWidget *owner = nullptr);
}
