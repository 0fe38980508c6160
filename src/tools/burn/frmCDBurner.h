#pragma once

#include "controls/audio/AudioDestination.h"
#include "tools/frame/ToolWindow.h"

#include <QList>

class cAudioBurner;
class cProgressBar;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The audio CD burner: writes the handed-over items, one track each and in
// row order, onto an audio CD; shows the disc in the chosen writer and how
// many of its 80 minutes the items take.
class frmCDBurner : public ToolWindow {
    Q_OBJECT
public:
    explicit frmCDBurner(QWidget *parent = nullptr);
    ~frmCDBurner() override;

    // The launcher's hand-over: the records of the marked items and their
    // total length in seconds.
    void HandOver(const QVector<ItemsListRow::Data> &rows, qint64 seconds);

    void FillDrives();
    void FillSpeeds();
    void cboDrv_Click();
    void lblOpenDestinationDestinationFolder_Click();

    void cmdConvert_Click();
    void BurnDisk();
    void DoEndEvents();
    void cmdAbort_Click() override;
    void cmdOpenCD_Click();
    void cmdClose_Click();

    void cAudioBurner1_TrackProgress(qint16 progress, qint16 track);
    void cAudioBurner1_Progress(qint16 progress);
    void cAudioBurner1_ClosingSession();
    void cAudioBurner1_ClosingTrack();
    void cAudioBurner1_CachingTrack();
    void cAudioBurner1_WritingTrack();
    void cAudioBurner1_Finished();
    void cAudioBurner1_Error(qint32 code, const QString &text);

    QComboBox *cboDrv = nullptr;
    QComboBox *cboSpeed = nullptr;
    QPushButton *cmdOpenCD = nullptr;
    QPushButton *cmdClose = nullptr;
    QLabel *lblDiskSize = nullptr;
    QLabel *lblDiskCapacity = nullptr;
    QLabel *lblState = nullptr;
    QLabel *lblDataSize = nullptr;
    cProgressBar *prgSize = nullptr;
    QCheckBox *chkOpenCDdrive = nullptr;

    cAudioBurner *cAudioBurner1 = nullptr;

    // The track the burner reported last.
    qint32 m_lLastFileIndex = 0;

    // The disc length the items are measured against, in minutes.
    static constexpr qint32 kDiscMinutes = 80;

protected:
    AudioDestination &jobDestination() override { return m_noConversion; }
    void releaseJobControl() override;
    void loadOwnControls() override;

private:
    void buildBurnerControls();
    QString driveLetter() const;
    void status(const QString &text);

    // The tracks go to the disc as they are: no format is handed anywhere.
    AudioDestination m_noConversion;
    bool m_abortRequested = false;
};

namespace Forms {
// The audio CD burner while it is loaded; null otherwise.
frmCDBurner *cdBurner();
// Creates the audio CD burner (its Form_Load runs) unless it is loaded; it is
// released when it closes.
frmCDBurner &loadCDBurner(QWidget *owner = nullptr);
} // namespace Forms
