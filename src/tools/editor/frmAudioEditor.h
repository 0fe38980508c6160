#pragma once

#include <QDialog>
#include <QString>

class cAudioEditor;
class QAction;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class XP_ProgressBar;

// The audio analyser: one WAV file as a waveform, a selection made in it with
// the mouse, play, pause, stop, zoom to the selection and back, and the
// selection saved as a WAV file of its own or added to the items list.
class frmAudioEditor : public QDialog {
    Q_OBJECT
public:
    explicit frmAudioEditor(QWidget *parent = nullptr);
    ~frmAudioEditor() override;

    void Form_Load();
    void Form_Unload(int &cancel);
    // Opens the WAV file at path under the window title title; the selection
    // is later cut from that file.
    void openWave(const QString &path, const QString &title);

    // The toolbar's buttons by position from 0 (separators count) and key.
    void tlbrList_ButtonClick(int index);
    QString ButtonKey(int index) const;
    // The button keyed key; null for an unknown key.
    QAction *toolbarButton(const QString &key) const;

    void cAudioEditor1_FileInfo(qint32 samplesPerSecond, qint32 bitsPerSample, qint32 channels, qint32 seconds,
                                qint64 samples);
    void cAudioEditor1_SelectionChanged(qint64 firstSample, qint64 lastSample, qint64 startMs, qint64 endMs);
    void cAudioEditor1_Progress(qint32 percent);
    void cAudioEditor1_SelectionReady();
    void cAudioEditor1_OperationDone();
    void cAudioEditor1_SaveDone(qint32 code, const QString &path);
    void cAudioEditor1_PlayDone();
    void cAudioEditor1_Error(qint32 code, const QString &text);

    // Saves the selection where the user chooses; the chosen path, or ""
    // when the dialog was cancelled.
    QString SaveSelectionAs();
    void cmdAddSelection_Click();
    void cmdAbort_Click();
    void cmdExit_Click();

    // The "ms [h:mm:ss]" text of a time label.
    static QString timeLabelText(qint64 ms, qint64 seconds);

    QLineEdit *txtWavFile = nullptr;
    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    cAudioEditor *cAudioEditor1 = nullptr;
    QWidget *picList = nullptr;
    QToolBar *tlbrList = nullptr;
    QGroupBox *fraInfo = nullptr;
    QLabel *lblInfoSamples = nullptr;
    QLabel *lblInfoChannels = nullptr;
    QLabel *lblInfoBits = nullptr;
    QLabel *lblLength = nullptr;
    QLabel *lblNumOfSamples = nullptr;
    QGroupBox *fraPosition = nullptr;
    QLabel *lblSamplesStart = nullptr;
    QLabel *lblSamplesEnd = nullptr;
    QLabel *lblTimeStart = nullptr;
    QLabel *lblTimeEnd = nullptr;
    QLabel *lblSelectedTime = nullptr;
    XP_ProgressBar *prgCurrnet = nullptr;
    QPushButton *cmdAddSelection = nullptr;
    QPushButton *cmdAbort = nullptr;
    QPushButton *cmdExit = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildToolbar();
    void buildFrames();
    void addSavedSelectionToList(const QString &path);

    // The saved selection that "Add Selection" adds once its file is complete.
    QString m_sPendingAdd;
};

namespace Forms {
// The audio analyser while it is loaded; null otherwise.
frmAudioEditor *audioEditor();
// Creates it (its Form_Load runs) unless it is loaded; it is released when
// it closes.
frmAudioEditor &loadAudioEditor(QWidget *owner = nullptr);
}
