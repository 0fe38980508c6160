#pragma once

#include <QDialog>
#include <QString>

class cAudioConverter;
class QLabel;
class QPushButton;
class QTimer;
class XP_ProgressBar;

// The small modal window that converts one file into one destination file
// while the user watches, and closes itself when the conversion is done or
// aborted. Its conversion starts from a one-shot timer, so it runs with the
// window on screen.
class frmAudioEditorProc : public QDialog {
    Q_OBJECT
public:
    // How the last conversion of the window ended.
    enum class Outcome { None, Done, Aborted, Error };

    explicit frmAudioEditorProc(QWidget *parent = nullptr);
    ~frmAudioEditorProc() override;

    void Form_Load();
    // Never refuses; a conversion still running is ended and leaves nothing.
    void Form_Unload(int &Cancel);

    // Stores the two paths and arms the start; returns at once.
    void ConvertFile(const QString &sSource, const QString &sDest);
    void ConvertX();
    void Timer1_Timer();
    void SetDestination();
    void SetID3Tags();
    QString CreateID3TagsString(const QString &sStr) const;
    void cmdAbort_Click();

    void cAudioConverter1_Progress(qint32 percent);
    void cAudioConverter1_Done();
    void cAudioConverter1_Aborted();
    void cAudioConverter1_Error(qint32 code, const QString &text);

    // Kept from one use of the window to the next, as its callers expect:
    // True converts to g_sConvertToTarget with the default tags, False to
    // WAV with the WAV settings and no tags; each end event clears it.
    static inline bool g_bConvertTo = false;
    static inline QString g_sConvertToTarget;
    // How the last conversion ended, for callers that must not use a file
    // that was never written.
    static inline Outcome g_lastOutcome = Outcome::None;
    static inline QString g_sLastError;

    QLabel *lblCurrentTrack = nullptr;
    XP_ProgressBar *prgCurrnet = nullptr;
    QPushButton *cmdAbort = nullptr;
    QTimer *Timer1 = nullptr;
    cAudioConverter *cAudioConverter1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    QString m_sSourceFile;
    QString m_sDestFile;
    bool m_bUnloading = false;
};

namespace Forms {
frmAudioEditorProc *audioEditorProc();
frmAudioEditorProc &loadAudioEditorProc(QWidget *owner = nullptr);
}
