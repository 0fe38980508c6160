#pragma once

#include "controls/Worker.h"
#include "tools/frame/RowJobWindow.h"

#include <QString>

class cAudioCDRipper;

// The CD ripper: rips the ticked tracks of the audio CD in one drive, one
// after the other, into files of the chosen format, each named by the
// chosen template and tagged from its row. Unticked rows are passed over.
class frmCDRipper : public RowJobWindow {
    Q_OBJECT
public:
    explicit frmCDRipper(QWidget *parent = nullptr);
    ~frmCDRipper() override;

    // What the main window hands over before it shows the window: the
    // records of every item of the selected CD drive node (record n is
    // track n, with its mark), the node's name and its drive ("D:"). The
    // drive is chosen and locked.
    void HandOver(const QVector<ItemsListRow::Data> &rows, const QString &nodeText, const QString &drive);

    // --- Drive list and check --------------------------------------------------
    void FillCDDevices();
    // Checks the chosen drive off the user-interface thread, since a real
    // drive may take seconds to spin up; lblCDStatus shows the result.
    void cboDevices_Click();
    // Whether a drive check is still running.
    bool isCheckingDrive() const { return m_checksRunning > 0; }

    // --- The job -------------------------------------------------------------------
    void cAudioCDRipper1_Progress(qint32 percent);
    void cAudioCDRipper1_Done();
    void cAudioCDRipper1_Aborted();
    void cAudioCDRipper1_Error(qint32 code, const QString &text);

    // Controls of the ripper's own.
    QLabel *lblCDStatus = nullptr;
    QComboBox *cboDevices = nullptr;
    QPushButton *cmdOpenCD = nullptr;
    QCheckBox *chkOpenCDdrive = nullptr;
    cAudioCDRipper *cAudioCDRipper1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    AudioDestination &jobDestination() override;
    void releaseJobControl() override;
    void loadOwnControls() override;
    void abortJobControl() override;
    void ownEndEvents() override;
    // The row being ripped is selected, and its number is the track's.
    qint32 trackNumber() const override { return tagRow(); }
    bool rowInJob(qint32 row) const override;
    void startingJob() override;
    void setRowSource(qint32 row, const QString &path) override;
    AudioRange &rowRangeControl() override;
    void startRow(const QString &destination) override;
    qint32 rowsAtOnce() const override;
    void expectRows(const QVector<ConversionAhead> &rows) override;

private:
    struct DriveCheck {
        bool selected = false;
        bool audio = false;
        qint32 tracks = 0;
    };
    void showDriveCheck(const QString &drive, const DriveCheck &check);

    bool m_bCheckPending = false;
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
