// The main window's player: plays the selected row's file, shows its
// position on the slider and in the labels, feeds the two graphs, and can go
// on with the next marked row when an item ends by itself.
#include "mainwindow/frmMain.h"

#include "controls/audio/cAudioGraph.h"
#include "controls/audio/cPlayer.h"
#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cSlider.h"
#include "controls/ui/cStatusBar.h"
#include "controls/ui/cToolbar.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRow.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"

#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QTimer>

#include <cmath>

namespace {

namespace Row = ItemsListRow;

qint32 wholeSeconds(double seconds)
{
    return qint32(std::nearbyint(seconds));
}

// A leading dot only keeps a file out of folder views; it is still the
// user's file and plays like any other.
bool playableFileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

void frmMain::StartPlay()
{
    if (cGrid1->Rows() == 0)
        return;
    if (cPlayer1->IsPaused()) {
        cPlayer1->Resume();
        tlbrRecorder->setButtonChecked(QStringLiteral("Pause"), false);
        cStatusBar1->setPanelText(QStringLiteral("Main"), QStringLiteral("Playing"));
        return;
    }
    if (cPlayer1->IsPlaying() && !tmrPlayer->isActive()) {
        cPlayer1->Stop();
        tmrPlayer->start();
        return;
    }
    const int row = cGrid1->SelectedRow();
    const QString path = row >= 1 ? cGrid1->CellText(row, Row::File) : QString();
    if (!playableFileExists(path)) {
        MsgBox(path + QStringLiteral(" is not existed."), int(Msg::OkOnly) + int(Msg::Information));
        cTreeView1_NodeClick(cTreeView1->SelectedItem());
        return;
    }
    qint32 device = g_lAudioDeviceIndex;
    if (cPlayer1->Play(path, device) != 0)
        return;
    cStatusBar1->setPanelText(QStringLiteral("Main"), QStringLiteral("Playing"));
    cStatusBar1->setPanelIcon(QStringLiteral("Main"), 38);
    const qint32 length = wholeSeconds(cPlayer1->Length());
    cSlider1->setMax(length < 1 ? 1 : length);
    // The list that played before stays bold when its end came late and was
    // passed over.
    if (m_oPlayingNode)
        m_oPlayingNode->setBold(false);
    m_oPlayingNode = cTreeView1->SelectedItem();
    if (m_oPlayingNode)
        m_oPlayingNode->setBold(true);
    lbTotalLengthSec->setText(cPlayer1->FormatSeconds(length));
    tmSlider->start();
    tmrAudioData->start();
    // So does the row that played before.
    SetRowUnBold();
    SetRowBold(row, true);
}

void frmMain::tmrPlayer_Timer()
{
    tmrPlayer->stop();
    StartPlay();
}

void frmMain::pauseCommand()
{
    if (!cPlayer1->IsPlaying()) {
        tlbrRecorder->setButtonChecked(QStringLiteral("Pause"), false);
        return;
    }
    if (tlbrRecorder->ButtonChecked(QStringLiteral("Pause")))
        cPlayer1->Pause();
    else
        cPlayer1->Resume();
    // The item stays the one playing (its row and list stay bold); only the
    // word says that it holds.
    cStatusBar1->setPanelText(QStringLiteral("Main"),
                              cPlayer1->IsPaused() ? QStringLiteral("Paused") : QStringLiteral("Playing"));
}

void frmMain::stopCommand()
{
    if (cPlayer1->IsPaused())
        cPlayer1->Resume();
    if (cPlayer1->IsPlaying())
        StopPlay();
}

void frmMain::StopPlay()
{
    tlbrRecorder->setButtonChecked(QStringLiteral("Pause"), false);
    if (!cPlayer1->IsPlaying())
        return;
    tmrAudioData->stop();
    cPlayer1->Stop();
    cAudioGraphFreq->Clear();
    cAudioGraphAmp->Clear();
    if (m_oPlayingNode)
        m_oPlayingNode->setBold(false);
    m_oPlayingNode = nullptr;
    tmSlider->stop();
}

void frmMain::cPlayer1_PlayEnd(quint64 playback)
{
    // The end of an item stopped for a later one can come after that one has
    // started; its Stop would end the item playing now.
    if (playback != cPlayer1->Playback())
        return;
    tmrAudioData->stop();
    tmSlider->stop();
    cSlider1->setValue(0);
    cAudioGraphFreq->Clear();
    cAudioGraphAmp->Clear();
    lblCurrentPositionSec->setText(QStringLiteral("0:00:00"));
    pressPlayerButton(QStringLiteral("Stop"));
    cStatusBar1->setPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
    cStatusBar1->setPanelIcon(QStringLiteral("Main"), 47);
    SetRowUnBold();
    if (!m_oPlayingNode)
        return;
    m_oPlayingNode->setBold(false);
    if (!g_bGoToNextItem || tmrPlayer->isActive())
        return;
    const int selected = cGrid1->SelectedRow();
    const int rows = cGrid1->Rows();
    if (selected >= rows)
        return;
    const int inc = cGrid1->ColumnIndex(Row::Inc);
    for (int i = selected + 1; i <= rows; ++i) {
        if (cGrid1->CellIcon(i, inc) == Row::IconMarked) {
            cGrid1->setSelectedRow(i);
            pressPlayerButton(QStringLiteral("Play"));
            return;
        }
    }
}

void frmMain::tmSlider_Timer()
{
    const qint32 position = wholeSeconds(cPlayer1->Position());
    cSlider1->setValue(position);
    lblCurrentPositionSec->setText(cPlayer1->FormatSeconds(position));
}

void frmMain::tmrAudioData_Timer()
{
    if (!cPlayer1->IsPlaying())
        return;
    cAudioGraphAmp->SetData(cPlayer1->AudioData());
    cAudioGraphAmp->Redraw();
    cAudioGraphFreq->SetData(cPlayer1->AudioData());
    cAudioGraphFreq->Redraw();
}

void frmMain::cSlider1_DragStart()
{
    if (cPlayer1->IsPlaying())
        tmSlider->stop();
}

void frmMain::cSlider1_DragEnd()
{
    if (!cPlayer1->IsPlaying())
        return;
    cPlayer1->Seek(cSlider1->Value());
    tmSlider->start();
}

void frmMain::SetRowBold(int lRow, bool bBold)
{
    const QFont font = ItemsGrid::rowFont(bBold);
    for (int col = 1; col <= cGrid1->Columns(); ++col)
        cGrid1->setCellFont(lRow, col, font);
}

void frmMain::SetRowUnBold()
{
    cGrid1->setRedraw(false);
    const QFont font = ItemsGrid::rowFont(false);
    for (int row = 1; row <= cGrid1->Rows(); ++row) {
        for (int col = 1; col <= cGrid1->Columns(); ++col)
            cGrid1->setCellFont(row, col, font);
    }
    cGrid1->setRedraw(true);
}

bool frmMain::stopPlayerIfPlaying()
{
    if (!cPlayer1 || !cPlayer1->IsPlaying())
        return true;
    pressPlayerButton(QStringLiteral("Stop"));
    SetRowUnBold();
    return !cPlayer1->IsPlaying();
}

void frmMain::LoadSelectedItemToPlayer()
{
    if (cGrid1->Rows() == 0 || cPlayer1->IsPlaying())
        return;
    const int row = cGrid1->SelectedRow();
    if (row < 1)
        return;
    const QString path = cGrid1->CellText(row, Row::File);
    if (!playableFileExists(path))
        return;
    if (cPlayer1->OpenFile(path) != 0)
        return;
    lbTotalLengthSec->setText(cPlayer1->FormatSeconds(wholeSeconds(cPlayer1->Length())));
    lblCurrentPositionSec->setText(QStringLiteral("0:00:00"));
}

void frmMain::connectShell()
{
    cPlayer1 = new cPlayer(this);
    cAudioCDRipper1 = new cAudioCDRipper(this);
    tmrPlayer = new QTimer(this);
    tmrPlayer->setInterval(200);
    tmSlider = new QTimer(this);
    tmSlider->setInterval(200);
    tmrAudioData = new QTimer(this);
    tmrAudioData->setInterval(100);

    connect(tmrPlayer, &QTimer::timeout, this, &frmMain::tmrPlayer_Timer);
    connect(tmSlider, &QTimer::timeout, this, &frmMain::tmSlider_Timer);
    connect(tmrAudioData, &QTimer::timeout, this, &frmMain::tmrAudioData_Timer);
    connect(tmrCDs, &QTimer::timeout, this, &frmMain::tmrCDs_Timer);
    connect(cPlayer1, &cPlayer::PlayEnd, this, &frmMain::cPlayer1_PlayEnd);
    // A play that cannot start, or a sound device that fails, says why.
    connect(cPlayer1, &cPlayer::Error, this, [](qint32, const QString &text) {
        MsgBox(text, int(Msg::OkOnly) + int(Msg::Information));
    });
    // Every command stops a playing item first. It stops as the Stop button
    // does, so the end event that follows resets the panel and never moves on
    // to the next marked row behind the command's back.
    connect(this, &frmMain::PlayerStopRequested, this, [this] {
        if (cPlayer1->IsPlaying())
            StopPlay();
    });
    connect(cSlider1, &cSlider::DragStart, this, &frmMain::cSlider1_DragStart);
    connect(cSlider1, &cSlider::DragEnd, this, &frmMain::cSlider1_DragEnd);
    connect(cAudioCDRipper1, &cAudioCDRipper::Error, this, &frmMain::cAudioCDRipper1_Error);
}
