#include "tools/burn/frmDataBurner3.h"

#include "controls/cd/cAudioDataBurner.h"
#include "controls/cd/cBurner.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/LinkLabel.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr qint32 kMaxSpeed = 65535;

} // namespace

void frmDataBurner3::cmbEngine_Click()
{
    const int engine = cmbEngine->currentIndex();
    if (engine < 0)
        return;
    const bool second = engine != 0;
    for (QWidget *w : std::initializer_list<QWidget *>{chkJOLIET, chkISO, chkUDF, lblFileSys})
        w->setVisible(second);
    if (!second) {
        FillDrivesImapiV1();
        return;
    }
    if (IsImapi2Installed())
        FillDrivesImapiV2();
    else
        cmbEngine->setCurrentIndex(0);
}

bool frmDataBurner3::IsImapi2Installed()
{
    if (cBurner::IsInstalled())
        return true;
    MsgBox(QStringLiteral("The CD / DVD engine needs a writer drive that can write DVDs, and none was found.")
               + QStringLiteral("\r\n\r\nThe CD engine is used instead."),
           int(Msg::OkOnly) + Msg::Information);
    return false;
}

void frmDataBurner3::FillDrivesImapiV1()
{
    cboDrv->clear();
    const qint32 count = cAudioDataBurner1->DriveCount();
    for (qint32 i = 1; i <= count; ++i)
        cboDrv->addItem(cAudioDataBurner1->DriveName(i));
    if (count > 0)
        cboDrv->setCurrentIndex(0);
}

void frmDataBurner3::FillDrivesImapiV2()
{
    cboDrv->clear();
    const qint32 count = cBurner1->DriveCount();
    for (qint32 i = 0; i < count; ++i)
        cboDrv->addItem(cBurner1->DriveName(i) + QStringLiteral(" - ") + cBurner1->DriveID(i));
    if (count > 0)
        cboDrv->setCurrentIndex(0);
}

void frmDataBurner3::FillSpeedsImapiV1()
{
    const QString letter = driveLetter();
    const qint32 count = cAudioDataBurner1->SpeedCount(letter);
    cboSpeed->clear();
    for (qint32 i = 1; i <= count; ++i) {
        const qint32 speed = cAudioDataBurner1->Speed(i);
        cboSpeed->addItem(QString::number(speed) + QStringLiteral(" KB/s (") + QString::number(speed / 176)
                              + QStringLiteral("x)"),
                          speed);
    }
    cboSpeed->addItem(QStringLiteral("Max."), kMaxSpeed);
    cboSpeed->setCurrentIndex(cboSpeed->count() - 1);
}

void frmDataBurner3::cboDrv_Click()
{
    if (cboDrv->currentIndex() < 0)
        return;
    if (cmbEngine->currentIndex() == 0)
        FillSpeedsImapiV1();
    RefreshDriveInfo();
}

bool frmDataBurner3::RefreshDriveInfo()
{
    const QString letter = driveLetter();
    if (letter.isEmpty() || cmbEngine->currentIndex() != 0) {
        lblCDStatus->setText(QStringLiteral("Ready."));
        return false;
    }
    const bool ready = cAudioDataBurner1->IsReady(letter);
    const bool empty = ready && cAudioDataBurner1->IsEmpty(letter);
    lblCDStatus->setText(!ready ? QStringLiteral("Not ready.") : !empty ? QStringLiteral("Not empty.")
                                                                        : QStringLiteral("Ready."));
    return ready && empty;
}

void frmDataBurner3::lblRefreshCDInfo_Click()
{
    RefreshDriveInfo();
}

void frmDataBurner3::lblOpenCDDoor_Click()
{
    cAudioDataBurner1->Eject(driveLetter());
}

void frmDataBurner3::lblCloseCDDoor_Click()
{
    cAudioDataBurner1->CloseTray(driveLetter());
}

void frmDataBurner3::BurnImapiV1()
{
    setRunning(true);
    log(QStringLiteral("Add files to burn."));
    const QStringList files = jobFiles();
    for (const QString &path : files) {
        if (cAudioDataBurner1->AddFile(path))
            continue;
        MsgBox(QStringLiteral("Couldn't add the file ") + path, int(Msg::OkOnly) + Msg::Exclamation,
               QStringLiteral("Error"));
        log(QStringLiteral("Couldn't add the file ") + mdlFunctions::GetFileName(path));
    }
    prgCurrnet->setMin(0);
    prgCurrnet->setMax(100);
    prgCurrnet->setValue(0);
    prgTotal->setMin(0);
    prgTotal->setMax(100);
    prgTotal->setValue(0);
    cAudioDataBurner1->VolumeName(txtCDName->text());
    cAudioDataBurner1->FileSystem(QStringLiteral("CDFS"));
    cAudioDataBurner1->IdentityText1(g_sAppName);
    cAudioDataBurner1->IdentityText2(g_sAppName);
    cAudioDataBurner1->BurnOption(false);
    m_burning = true;
    const QVariant speed = cboSpeed->currentData();
    cAudioDataBurner1->Burn(driveLetter(), speed.isValid() ? speed.toInt() : kMaxSpeed);
}

void frmDataBurner3::cAudioDataBurner1_BurnStart()
{
    log(QStringLiteral("Start the burning process..."));
    lblCurrentTrack->setText(QStringLiteral("Start the burning process..."));
}

void frmDataBurner3::cAudioDataBurner1_Progress(qint16 percent)
{
    lblCurrentTrack->setText(QString::number(percent) + QLatin1Char('%'));
    prgTotal->setValue(percent);
    prgCurrnet->setValue(percent);
}

void frmDataBurner3::cAudioDataBurner1_ClosingSession()
{
    log(QStringLiteral("Closing session..."));
    lblCurrentTrack->setText(QStringLiteral("Closing session..."));
}

void frmDataBurner3::cAudioDataBurner1_Finished()
{
    m_burning = false;
    log(QStringLiteral("Finished"));
    lblCurrentTrack->setText(QStringLiteral("Finished"));
    DoEndEvents();
}

void frmDataBurner3::cAudioDataBurner1_Message(qint32 code, const QString &text)
{
    Q_UNUSED(code)
    burnFailed(text);
}

void frmDataBurner3::BurnImapiV2()
{
    if (!IsImapi2Installed())
        return;
    cBurner1->ClearFiles();
    cBurner1->FileSystemISO(chkISO->isChecked());
    cBurner1->FileSystemJoliet(chkJOLIET->isChecked());
    cBurner1->FileSystemUDF(chkUDF->isChecked());
    cBurner1->VolumeName(txtCDName->text());
    const QStringList files = jobFiles();
    for (const QString &path : files)
        cBurner1->AddFile(path);
    prgCurrnet->setMin(0);
    prgCurrnet->setMax(100);
    prgCurrnet->setValue(0);
    prgTotal->setMin(0);
    prgTotal->setMax(100);
    prgTotal->setValue(0);
    SetBurnControlsEnabled(false);
    cmdAbort->setEnabled(true);
    m_burning = true;
    cBurner1->Burn(cboDrv->currentIndex());
}

void frmDataBurner3::SetBurnControlsEnabled(bool enabled)
{
    cmdConvert->setEnabled(enabled);
    cmdExit->setEnabled(enabled);
    lblOpenCDDoor->setEnabled(enabled);
    lblCloseCDDoor->setEnabled(enabled);
}

void frmDataBurner3::cBurner1_Adding(const QString &path)
{
    const QString line = QStringLiteral("Adding:") + mdlFunctions::GetFileName(path);
    log(line);
    lblCurrentTrack->setText(line);
}

void frmDataBurner3::cBurner1_Counts(qint32 files, qint32 dirs)
{
    log(QString::number(files) + QStringLiteral(" files to burn.\r\n") + QString::number(dirs)
        + QStringLiteral(" dirs to burn."));
}

void frmDataBurner3::cBurner1_Progress(qint32 percent)
{
    lblCurrentTrack->setText(QString::number(percent) + QLatin1Char('%'));
    prgTotal->setValue(percent);
    prgCurrnet->setValue(percent);
}

void frmDataBurner3::cBurner1_BurnEnd()
{
    m_burning = false;
    log(QStringLiteral("BurnerEnd."));
    lblCurrentTrack->setText(QStringLiteral("BurnerEnd."));
    SetBurnControlsEnabled(true);
    DoEndEvents();
}

void frmDataBurner3::cBurner1_Error(const QString &code, const QString &text)
{
    const QString line = text + QStringLiteral(" (") + code + QLatin1Char(')');
    SetBurnControlsEnabled(true);
    burnFailed(line);
}

void frmDataBurner3::burnFailed(const QString &line)
{
    m_burning = false;
    log(line);
    lblCurrentTrack->setText(line);
    setRunning(false);
    // The temporary files stay for another try; nothing says the disc was written.
    if (m_burnAborted) {
        log(QStringLiteral("Aborted."));
        lblCurrentTrack->setText(QStringLiteral("Aborted."));
    }
}
