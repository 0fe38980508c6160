#pragma once

#include <QDialog>
#include <QString>

class cStatusBar;
class cWaveTTS;
class LinkLabel;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;

// Text to speech: reads the text aloud with the chosen voice, output, rate
// and volume, highlighting each word as it is heard; or speaks it into a
// file of a destination format, saved under a chosen name or added to the
// items list shown in the main window. The chosen speech format and voice
// are remembered between runs.
class frmWaveTTS : public QDialog {
    Q_OBJECT
public:
    explicit frmWaveTTS(QWidget *parent = nullptr);
    ~frmWaveTTS() override;

    void Form_Load();
    // Never refuses; releases the engine and stores the format and voice.
    void Form_Unload(int &Cancel);

    void FillVoices();
    void FillOutputs();
    void cmdSay_Click();
    void cmdStop_Click();
    void lblClearText_Click();
    void txtSpeak_Change();
    void sldRate_Change();
    void sldVolume_Change();
    void cWaveTTS1_FormatFound(const QString &name, qint32 id);
    void cWaveTTS1_Word(qint32 position, qint32 length);
    void cWaveTTS1_Done();

    // --- Speech into files ----------------------------------------------------
    void cmdAdd_Click();
    void cmdSaveAs_Click();
    void cmdEditTargetFormat_Click();
    void lblID3Tags_Click();

    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblOutputs = nullptr;
    QComboBox *cboAudioOutputs = nullptr;
    QLabel *lblVoices = nullptr;
    QComboBox *cboVoices = nullptr;
    QLabel *lblFormats = nullptr;
    QComboBox *cboFormats = nullptr;
    QLabel *lblVolume = nullptr;
    QLabel *lblValumeVal = nullptr;
    QSlider *sldVolume = nullptr;
    QLabel *lblRate = nullptr;
    QLabel *lblRateVal = nullptr;
    QSlider *sldRate = nullptr;
    QLabel *lblText = nullptr;
    LinkLabel *lblClearText = nullptr;
    QPlainTextEdit *txtSpeak = nullptr;
    QPushButton *cmdSay = nullptr;
    QPushButton *cmdStop = nullptr;
    QLabel *lblAudioFormat = nullptr;
    LinkLabel *lblID3Tags = nullptr;
    QComboBox *cboTargetFormat = nullptr;
    QPushButton *cmdEditTargetFormat = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdSaveAs = nullptr;
    QPushButton *cmdToolsIcon[4] = {};
    cStatusBar *cStatusBar1 = nullptr;
    cWaveTTS *cWaveTTS1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildControls();
    void applySkin();
    // Speaks the text into sFile with the file settings; 0 or the
    // control's error code, after telling the user why.
    qint32 SpeakToWavFile(const QString &sFile);
    // Converts the spoken temporary file into destination in the target
    // format in the conversion window; true when the file was written.
    bool convertSpeech(const QString &destination);
    // "wav", "acm", "mp3", ...: the target format's first three letters.
    QString targetExtension() const;
    // The program folder's file for "Add to Items List".
    QString generatedSpeechPath() const;
    static QString speechTempFile();

    bool m_bUnloading = false;
};

namespace Forms {
// The text to speech window while it is loaded; null otherwise.
frmWaveTTS *waveTTS();
// Creates the window (its Form_Load runs) unless it is loaded; it is
// released when it closes. It receives nothing from the main window.
frmWaveTTS &loadWaveTTS(QWidget *owner = nullptr);
}
