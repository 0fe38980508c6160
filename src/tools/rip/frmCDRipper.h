#pragma once

#include "controls/Worker.h"
#include "lists/ItemsListRow.h"
#include "tools/frame/ToolWindow.h"

#include <QSet>
#include <QString>

class cAudioCDRipper;
class QTimer;

// The CD ripper: rips the ticked tracks of the audio CD in one drive, one
// after the other, into files of the chosen format, each named by the
// chosen template and tagged from its row.
class frmCDRipper : public ToolWindow {
    Q_OBJECT
public:
    explicit frmCDRipper(QWidget *parent = nullptr);
    ~frmCDRipper() override;

    // What the main window hands over before it shows the window: every row
    // of the selected CD drive node (row n is track n, with its mark), the
    // node's name and its drive ("D:"). The drive is chosen and locked.
    void HandOver(const cGrid &mainGrid, const QString &nodeText, const QString &drive);

    // --- Drive list and check --------------------------------------------------
    void FillCDDevices();
    // Checks the chosen drive off the user-interface thread, since a real
    // drive may take seconds to spin up; lblCDStatus shows the result.
    void cboDevices_Click();
    // Whether a drive check is still running.
    bool isCheckingDrive() const { return m_checksRunning > 0; }

    // --- Names and tags ----------------------------------------------------------
    void LoadFileNameFormats();
    QString MakeOutputFileName(qint32 lRow) const;
    void SetID3Tags(qint32 lRow);
    void cboFileName_Click();
    void lblSetAsDefaultFileName_Click();

    // --- The job -------------------------------------------------------------------
    // The ripper runs its own track loop over the frame's helpers: it steps
    // over unticked rows, tells the control which track to read and ejects
    // the disc at the end.
    void cmdConvert_Click();
    void ConvertTracks() override;
    qint32 ConvertTask(qint32 lRow);
    void DoEndEvents();
    void Timer1_Timer();

    void cAudioCDRipper1_Progress(qint32 percent);
    void cAudioCDRipper1_Done();
    void cAudioCDRipper1_Aborted();
    void cAudioCDRipper1_Error(qint32 code, const QString &text);

    // Controls of the ripper's own.
    QLabel *lblCDStatus = nullptr;
    QComboBox *cboDevices = nullptr;
    QPushButton *cmdOpenCD = nullptr;
    QComboBox *cboFileName = nullptr;
    LinkLabel *lblSetAsDefaultFileName = nullptr;
    LinkLabel *lblParameters = nullptr;
    QCheckBox *chkOpenCDdrive = nullptr;
    QLabel *lblTimeLeft = nullptr;
    QTimer *Timer1 = nullptr;
    cAudioCDRipper *cAudioCDRipper1 = nullptr;

    qint32 m_lCurrentRow = 1;
    // The user confirmed the abort question: whatever the control reports
    // next ends the job.
    bool m_bAbortRequested = false;

    // Seconds: of all handed-over marked items, of the current track, of it
    // done so far, of the tracks finished in this job; timer ticks.
    qint32 g_ltmrItemSecsTotal = 0;
    qint32 g_ltmrItemSecs = 0;
    qint32 g_ltmrCurItemSecs = 0;
    qint32 g_ltmrUpToItemSecs = 0;
    qint32 g_ltmrSces = 0;

protected:
    void closeEvent(QCloseEvent *event) override;
    AudioDestination &jobDestination() override;
    void releaseJobControl() override;
    void loadOwnControls() override;
    void abortJobControl() override;

private:
    struct DriveCheck {
        bool selected = false;
        bool audio = false;
        qint32 tracks = 0;
    };
    void showDriveCheck(const QString &drive, const DriveCheck &check);
    void endRipJob(qint32 result);
    bool rowTicked(qint32 row) const;
    QString cell(qint32 row, const char *key) const;
    QString cell(qint32 row, ItemsListRow::Column column) const;

    bool m_bCheckPending = false;
    // Destination files of the current job.
    QSet<QString> m_jobPaths;
    int m_checksRunning = 0;
    // A drive may take seconds to spin up; the check runs here, and the
    // window waits for it only if it is closed meanwhile.
    Worker m_driveCheck;
};

namespace Forms {
// The CD ripper while it is loaded; null otherwise.
frmCDRipper *cdRipper();
// Creates the CD ripper (its Form_Load runs) unless it is loaded; it is
// released when it closes.
frmCDRipper &loadCDRipper(QWidget *owner = nullptr);
}
