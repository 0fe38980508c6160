// The recording half of the recorder: the destination file, start, stop,
// pause, the 30-second clock and the level meter.
#include "tools/editor/frmMicRecorder.h"

#include "controls/ui/cProgressBar.h"
#include "core/mdlCommDialog.h"
#include "core/mdlFileSystem.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

bool askOverwrite(const QString &path)
{
    return MsgBox(QStringLiteral("The file ") + path + QStringLiteral(" is already exists, overwrite it?"),
                  int(Msg::YesNo) + Msg::Information)
        == Msg::Yes;
}

} // namespace

void frmMicRecorder::cmdPath_Click()
{
    g_FileDialog.lpstrFilter = QStringLiteral("Audio Wav File (*.wav)") + QChar(0) + QStringLiteral("*.wav");
    g_FileDialog.lpstrTitle = QStringLiteral("Save as WAV file");
    g_FileDialog.lpstrDefExt = QStringLiteral("wav");
    const FileDialogResult result = mdlCommDialog::ShowSave(this, QString(), true);
    if (result.Cancelled || result.FileNames.size() < 2)
        return;
    const QString path = result.FileNames.at(1);
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path)) {
        if (!askOverwrite(path))
            return;
        m_sAgreedFile = path;
    }
    txtAudioFile->setText(path);
}

bool frmMicRecorder::mayRecordOver(const QString &path)
{
    // A take replaces the file at its path; a file the user never agreed to
    // give up (the default name, or a typed one) is asked about first.
    if (path.isEmpty() || !QFileInfo(path).isFile() || path == m_sAgreedFile)
        return true;
    if (!askOverwrite(path))
        return false;
    m_sAgreedFile = path;
    return true;
}

void frmMicRecorder::cmdRecord_Click()
{
    const QString path = txtAudioFile->text();
    if (!mayRecordOver(path))
        return;
    cWave1->setMeter(true);
    logEntry(QStringLiteral(": MeterIn=True."));
    cWave1->MonitorStop();
    logEntry(QStringLiteral(": PreScreenClose."));
    qint32 device = cboDevices->currentIndex();
    qint32 code = cWave1->RecordStart(device, path, m_WaveFormat, 1600);
    if (code != 0) {
        logEntry(QStringLiteral(": Error RecordStart .") + cWave1->ErrorText(code));
        return;
    }
    // The take will be this window's own file: recording again over it needs no question.
    m_sAgreedFile = path;
    m_bRecordFailed = false;
    m_sRecordError.clear();
    m_bTakeRunning = true;
    m_lRecordSeconds = 0;
    tmrRec->start();
    cmdRecord->setEnabled(false);
    logEntry(QStringLiteral(": RecordStart Success."));
}

void frmMicRecorder::tmrRec_Timer()
{
    cmdRecord->setEnabled(false);
    ++m_lRecordSeconds;
    lblRecTime->setText(cWave1->FormatSeconds(m_lRecordSeconds));
    if (m_lRecordSeconds >= kRecordLimitSeconds) {
        cmdStopRec_Click();
        m_lRecordSeconds = 0;
        tmrRec->stop();
        cmdRecord->setEnabled(true);
    }
}

void frmMicRecorder::cmdStopRec_Click()
{
    cWave1->RecordStop();
    logEntry(QStringLiteral(": RecordStop Success."));
}

void frmMicRecorder::cmdPauseIn_Click()
{
    cWave1->RecordPause();
    logEntry(QStringLiteral(": RecordPause."));
}

void frmMicRecorder::cmdUnPauseIn_Click()
{
    if (!cWave1->IsRecordPaused())
        return;
    cWave1->RecordResume();
    logEntry(QStringLiteral(": RecordUnPause."));
}

void frmMicRecorder::cWave1_RecordDone()
{
    logEntry(QStringLiteral(": DoneRecord Event."));
    m_bTakeRunning = false;
    cmdRecord->setEnabled(true);
    tmrRec->stop();
    if (!m_bAddWhenRecorded)
        return;
    m_bAddWhenRecorded = false;
    cmdAdd->setEnabled(true);
    if (m_bRecordFailed) {
        // What is at the path now is not the take the user meant to add.
        MsgBox(QStringLiteral("The recording could not be completed, nothing was added:\r\n") + m_sRecordError,
               int(Msg::OkOnly) + Msg::Information);
        return;
    }
    addRecording(txtAudioFile->text());
}

void frmMicRecorder::cWave1_Level(qint16 level)
{
    prgMeter->setValue(level);
}

void frmMicRecorder::cWave1_Error(qint32 code, const QString &text)
{
    // A take that ends in a failure reports it here before its RecordDone.
    if (code == cWave::FileError && m_bTakeRunning) {
        m_bRecordFailed = true;
        m_sRecordError = text;
    }
    logEntry(QStringLiteral(": Error: ") + text);
}
