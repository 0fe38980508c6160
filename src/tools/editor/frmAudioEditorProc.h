#pragma once

#include <QDialog>
#include <QString>

class cAudioConverter;
class QCloseEvent;
class QLabel;
class QPushButton;
class QTimer;
class XP_ProgressBar;

// Converts one audio file into one file while the user watches, and closes
// itself when the conversion is done or aborted: a non-WAV item into the
// editor's temporary WAV file, or a spoken file into a chosen format.
class frmAudioEditorProc : public QDialog {
    Q_OBJECT
public:
    explicit frmAudioEditorProc(QWidget *parent = nullptr);
    ~frmAudioEditorProc() override;

    void Form_Load();
    void Form_Unload(int &cancel);

    // Keeps the two paths and arms the start timer, so that the conversion
    // begins once the window is on screen.
    void ConvertFile(const QString &sSource, const QString &sDest);
    void Timer1_Timer();
    void ConvertX();

    void SetDestination();
    void SetID3Tags();
    QString CreateID3TagsString(const QString &sStr) const;

    void cAudioConverter1_Progress(qint32 percent);
    void cAudioConverter1_Done();
    void cAudioConverter1_Aborted();
    void cAudioConverter1_Error(qint32 code, const QString &text);
    void cmdAbort_Click();

    // Whether the conversion of this use ended in Done.
    bool converted() const { return m_bConverted; }

    // True: convert to g_sConvertToTarget with the default tags; false: to
    // WAV with the WAV settings, without tags.
    bool g_bConvertTo = false;
    QString g_sConvertToTarget;

    QLabel *lblCurrentTrack = nullptr;
    XP_ProgressBar *prgCurrnet = nullptr;
    QPushButton *cmdAbort = nullptr;
    QTimer *Timer1 = nullptr;
    cAudioConverter *cAudioConverter1 = nullptr;

signals:
    // The conversion reached its end and wrote the file; the window closes
    // itself right after.
    void conversionDone();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    // Ends the window after the conversion's last event.
    void endUse();

    QString m_sSourceFile;
    QString m_sDestFile;
    bool m_bConverted = false;
};

namespace Forms {
// The conversion window while it is loaded; null otherwise.
frmAudioEditorProc *audioEditorProc();
// Creates it (its Form_Load runs) unless it is loaded; it is released when
// it closes.
frmAudioEditorProc &loadAudioEditorProc(QWidget *owner = nullptr);
}
