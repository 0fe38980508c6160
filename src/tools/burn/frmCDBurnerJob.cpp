#include "tools/burn/frmCDBurner.h"

#include "controls/cd/BurnError.h"
#include "controls/cd/cAudioBurner.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/mdlFunctions.h"
#include "core/mdlShutDown.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "settings/OptionSettings.h"
#include "tools/frame/ToolHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

void frmCDBurner::status(const QString &text)
{
    log(text);
    lblCurrentTrack->setText(text);
}

void frmCDBurner::cmdConvert_Click()
{
    // A second click before the burn has started would list every track twice.
    if (isRunning())
        return;
    separateJobsInLog();
    const qint32 rows = jobRecordCount();
    log(QStringLiteral("Preparing to burn: ") + QString::number(rows) + QStringLiteral(" tracks."));
    showLogPage();
    log(QStringLiteral("List the files to burn..."));
    for (qint32 row = 1; row <= rows; ++row) {
        const QString path = cellText(row, ItemsListRow::File);
        if (!cAudioBurner1->AddFile(path))
            log(QStringLiteral("Cannot add ") + mdlFunctions::GetFileName(path));
    }
    BurnDisk();
}

void frmCDBurner::BurnDisk()
{
    const qint32 tracks = cAudioBurner1->TrackCount();
    if (tracks < 1) {
        cmdConvert->setEnabled(true);
        MsgBox(QStringLiteral("Nothing to burn."), int(Msg::OkOnly) + Msg::Information);
        return;
    }
    prgTotal->setMax(tracks);
    const QString letter = driveLetter();
    cAudioBurner1->BurnOption(true);
    cmdConvert->setEnabled(false);
    m_abortRequested = false;
    // Each job counts its tracks from the first again.
    m_lLastFileIndex = 0;
    const QVariant speed = cboSpeed->currentData();
    cAudioBurner1->SelectDrive(letter, speed.isValid() ? speed.toInt() : 65535);
    cAudioBurner1->Burn();
}

void frmCDBurner::cAudioBurner1_TrackProgress(qint16 progress, qint16 track)
{
    prgCurrnet->setValue(progress);
    prgTotal->setValue(track);
    if (track != m_lLastFileIndex) {
        lblFilesToConvert->setText(QStringLiteral("Files: ") + QString::number(track) + QLatin1Char('/')
                                   + QString::number(jobRecordCount()));
        m_lLastFileIndex = track;
    }
}

void frmCDBurner::cAudioBurner1_Progress(qint16 progress)
{
    prgCurrnet->setValue(progress);
}

void frmCDBurner::cAudioBurner1_ClosingSession()
{
    status(QStringLiteral("Closing session..."));
}

void frmCDBurner::cAudioBurner1_ClosingTrack()
{
    status(QStringLiteral("Closing track..."));
}

void frmCDBurner::cAudioBurner1_CachingTrack()
{
    status(QStringLiteral("Caching track..."));
}

void frmCDBurner::cAudioBurner1_WritingTrack()
{
    status(QStringLiteral("Writing track..."));
}

void frmCDBurner::cAudioBurner1_Finished()
{
    prgTotal->setValue(prgTotal->Max());
    status(QStringLiteral("Finished."));
    cmdConvert->setEnabled(true);
    DoEndEvents();
}

void frmCDBurner::cAudioBurner1_Error(qint32 code, const QString &text)
{
    // The end of an abort the user asked for is no error of the drive.
    if (m_abortRequested && code == BurnError::Aborted)
        status(QStringLiteral("Aborted."));
    else
        status(QStringLiteral("Error:") + text + QLatin1Char('(') + QString::number(code) + QLatin1Char(')'));
    m_abortRequested = false;
    cmdConvert->setEnabled(true);
}

void frmCDBurner::cmdAbort_Click()
{
    if (!isRunning() || !confirmAbort())
        return;
    // "Burn" comes back with the burner's last event, once the drive is free.
    m_abortRequested = true;
    cAudioBurner1->Abort();
    balloon(QStringLiteral("Aborted."));
}

void frmCDBurner::DoEndEvents()
{
    if (chkPlaySound->isChecked())
        Services::instance().sound().play(g_sEndSoundFile);
    if (chkOpenDestFolder->isChecked())
        lblOpenDestinationDestinationFolder_Click();
    if (chkNoticeApp->isChecked())
        ToolHost::StartNoticeApplication();
    if (chkOpenCDdrive->isChecked())
        cmdOpenCD_Click();
    if (chkTurnOffComputer->isChecked())
        mdlShutDown::ShowTurnOff(30);
}

void frmCDBurner::cmdOpenCD_Click()
{
    cAudioBurner1->Eject(driveLetter());
}

void frmCDBurner::cmdClose_Click()
{
    cAudioBurner1->CloseTray(driveLetter());
}
