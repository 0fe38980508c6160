#pragma once

#include "controls/Worker.h"
#include "tools/convert/AudioConverterWindow.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class cAudioDataBurner;
class cBurner;
class LinkLabel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The data CD burner: converts the handed-over rows (or copies them as they
// are) into the program's temporary folder "datacdtmp", then writes that
// job's files as a data CD with one of two burning engines.
class frmDataBurner3 : public AudioConverterWindow {
    Q_OBJECT
public:
    explicit frmDataBurner3(QWidget *parent = nullptr);
    ~frmDataBurner3() override;

    // The launcher's hand-over for the command "MP3 CD Maker" or "WMA CD Maker":
    // the title, the target format of the command, the counts and the rows.
    void HandOverCommand(const QString &commandKey, const QVector<ItemsListRow::Data> &rows,
                         const QString &listName);

    // --- Job ----------------------------------------------------------------
    void cmdConvert_Click();
    void cmdAbort_Click() override;
    // The end-of-job events after a burn has been written.
    void DoEndEvents();
    // The program folder's "datacdtmp" folder, with its closing "/".
    static QString GetTempFolder();
    // Deletes the plain files of the temporary folder; sub-folders, hidden
    // files and the files of the rows handed over stay.
    void EraseTempFiles();

    // --- Settings -------------------------------------------------------------
    void chkDoNotConvertSource_Click();
    void UpdateTargetFormatState();
    void cmbEngine_Click();
    bool IsImapi2Installed();

    // --- First engine ---------------------------------------------------------
    void FillDrivesImapiV1();
    void FillSpeedsImapiV1();
    void cboDrv_Click();
    bool RefreshDriveInfo();
    void BurnImapiV1();
    void lblOpenCDDoor_Click();
    void lblCloseCDDoor_Click();
    void lblRefreshCDInfo_Click();
    void lblErasetempfilesnow_Click();
    void cAudioDataBurner1_BurnStart();
    void cAudioDataBurner1_Progress(qint16 percent);
    void cAudioDataBurner1_ClosingSession();
    void cAudioDataBurner1_Finished();
    void cAudioDataBurner1_Message(qint32 code, const QString &text);

    // --- Second engine --------------------------------------------------------
    void FillDrivesImapiV2();
    void BurnImapiV2();
    void SetBurnControlsEnabled(bool enabled);
    void cBurner1_Error(const QString &code, const QString &text);
    void cBurner1_BurnEnd();
    void cBurner1_Progress(qint32 percent);
    void cBurner1_Counts(qint32 files, qint32 dirs);
    void cBurner1_Adding(const QString &path);

    // Whether an engine is writing a disc now.
    bool isBurning() const { return m_burning; }

    QComboBox *cmbEngine = nullptr;
    QComboBox *cboDrv = nullptr;
    QComboBox *cboSpeed = nullptr;
    QLabel *lblSpeed = nullptr;
    QLabel *lblCDStatus = nullptr;
    LinkLabel *lblRefreshCDInfo = nullptr;
    LinkLabel *lblOpenCDDoor = nullptr;
    LinkLabel *lblCloseCDDoor = nullptr;
    QLineEdit *txtCDName = nullptr;
    QLineEdit *PublisherID = nullptr;
    QLabel *lblFileSys = nullptr;
    QCheckBox *chkISO = nullptr;
    QCheckBox *chkJOLIET = nullptr;
    QCheckBox *chkUDF = nullptr;
    QLabel *lblCDFormat = nullptr;
    QCheckBox *chkDoNotConvertSource = nullptr;
    QCheckBox *chkOpenCDdrive = nullptr;
    QCheckBox *chkEraseTempfiles = nullptr;
    LinkLabel *lblErasetempfilesnow = nullptr;

    cAudioDataBurner *cAudioDataBurner1 = nullptr;
    cBurner *cBurner1 = nullptr;

    // -1 once the user has confirmed the abort question in this job.
    qint16 m_bUserAborted = 0;

protected:
    std::optional<QString> destExtension() const override;
    void loadOwnControls() override;
    void releaseJobControl() override;
    void startRow(const QString &destination) override;
    void rowsEnded() override;
    qint32 trackNumber() const override;

private:
    void buildBurnerControls();
    QString driveLetter() const;
    bool checkDrive();
    bool checkFileSystems();
    bool prepareTempFolder();
    // The copy mode: one row after the other on a worker thread.
    void copyNextRow();
    void copyRowEnded(const QString &path, const QString &error);
    void passEnded(qint32 outcome);
    // The files this job wrote, in row order.
    QStringList jobFiles();
    void burnFailed(const QString &line);

    QMap<qint32, QString> m_rowFiles; // row -> file written for it
    qint32 m_copyRow = 0;
    Worker m_copy;
    bool m_burning = false;
    bool m_copying = false;
    bool m_burnAborted = false;
};

namespace Forms {
// The data CD burner while it is loaded; null otherwise.
frmDataBurner3 *dataBurner3();
// Creates the data CD burner (its Form_Load runs) unless it is loaded; it is
// released when it closes.
frmDataBurner3 &loadDataBurner3(QWidget *owner = nullptr);
} // namespace Forms
