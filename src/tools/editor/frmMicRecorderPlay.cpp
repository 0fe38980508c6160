// The player half of the recorder and its end: play, stop, pause, the
// position clock, and adding the recording to the items list.
#include "tools/editor/frmMicRecorder.h"

#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "lists/frmStat.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTextCursor>
#include <QTimer>

namespace {

// Every WAV file holds at least its headers: a file of 64 bytes or less has no sound.
constexpr qint64 kEmptyWavSize = 64;

} // namespace

void frmMicRecorder::cmdPlay_Click()
{
    const QString path = txtAudioFile->text();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        MsgBox(QStringLiteral("The audio file ") + path + QStringLiteral(" doesn't exists"),
               int(Msg::OkOnly) + Msg::Information);
        return;
    }
    if (cWave1->IsPlaying())
        return;
    WaveFileDetails details;
    cWave1->GetFileDetails(path, details);
    qint32 code = cWave1->PlayStart(path, qint16(cboDevices->currentIndex()), 8000);
    if (code != 0) {
        logEntry(QStringLiteral(": Error Play Start:") + cWave1->ErrorText(code));
        return;
    }
    lbTotalLengthSec->setText(cWave1->FormatSeconds(details.SecondsLength));
    tmSlider->start();
    QTextCursor end(txtResults->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("\r\n"));
    logEntry(QStringLiteral(": PlayeStart Success."));
}

void frmMicRecorder::tmSlider_Timer()
{
    cSlider1->setValue(cWave1->PlayPosition());
    lblCurrentPositionSec->setText(cWave1->FormatSeconds(cWave1->PlayLength()));
}

void frmMicRecorder::cmdStop_Click()
{
    qint32 code = cWave1->PlayStop();
    if (code != 0)
        logEntry(QStringLiteral(": Error PlayStop .") + cWave1->ErrorText(code));
    tmSlider->stop();
    cSlider1->setValue(0);
    if (code == 0)
        logEntry(QStringLiteral(": PlayStop Success."));
}

void frmMicRecorder::cmdPauseOut_Click()
{
    cWave1->PlayPause();
    logEntry(QStringLiteral(": PlayPause."));
}

void frmMicRecorder::cmdUnPauseOut_Click()
{
    cWave1->PlayResume();
    logEntry(QStringLiteral(": PlayUnPause."));
}

void frmMicRecorder::cWave1_PlayDone()
{
    logEntry(QStringLiteral(": DonePlay Event."));
}

void frmMicRecorder::cmdAdd_Click()
{
    if (m_bAddWhenRecorded)
        return;
    if (m_bTakeRunning) {
        // The take only becomes a complete file when it ends; it is added
        // then, never half-written (and never the file it replaces).
        m_bAddWhenRecorded = true;
        cmdAdd->setEnabled(false);
        cmdStopRec_Click();
        return;
    }
    addRecording(txtAudioFile->text());
}

void frmMicRecorder::addRecording(const QString &path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile()) {
        MsgBox(QStringLiteral("The file:") + path + QStringLiteral(" was not found."),
               int(Msg::OkOnly) + Msg::Information);
        return;
    }
    if (file.size() <= kEmptyWavSize) {
        MsgBox(QStringLiteral("The file:") + path + QStringLiteral(" is empty."), int(Msg::OkOnly) + Msg::Information);
        return;
    }
    if (!frmStat::SupportAudioFile(path)) {
        MsgBox(QStringLiteral("The file:") + path + QStringLiteral(" is not an audio file that an items list takes."),
               int(Msg::OkOnly) + Msg::Information);
        return;
    }
    MainWindowFace *main = Forms::mainFace();
    if (!main || main->selectedListKey().isEmpty()) {
        MsgBox(QStringLiteral("Select the Items List."), int(Msg::OkOnly) + Msg::Information);
        return;
    }
    // The adding window tells the user itself when it cannot read the file;
    // the recorder then stays open with the recording.
    const QPointer<frmMicRecorder> self = this;
    AddFiles::addToSelectedList(*main, {path}, [self](int added) {
        if (self && added > 0)
            self->close();
    });
}
