// The audio CD drives of the main window: a drive node lists the tracks of
// its disc as items, and while a drive node is shown the drives are watched
// so that a disc put in or taken out shows without a click.
#include "mainwindow/frmMain.h"

#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFileTime.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRow.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"

#include <QLabel>
#include <QTimer>

#include <utility>

namespace {

namespace Row = ItemsListRow;

// CD audio: 44,100 frames a second of two 16-bit channels.
constexpr qint64 kCdBytesPerSecond = 176400;

QString twoDigits(qint32 n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString timeOfDay(qint32 seconds)
{
    return twoDigits(seconds / 3600) + QLatin1Char(':') + twoDigits(seconds / 60 % 60) + QLatin1Char(':')
        + twoDigits(seconds % 60);
}

const QString kInsertDisc = QStringLiteral("Insert an Audio CD to the CD drive.");

} // namespace

QStringList frmMain::cdDeviceNames() const
{
    QStringList names;
    if (!cAudioCDRipper1)
        return names;
    for (qint32 i = 0; i < cAudioCDRipper1->DeviceCount(); ++i)
        names << cAudioCDRipper1->DeviceName(i);
    return names;
}

qint32 frmMain::GetCDDriveIndex() const
{
    cTreeNode *node = cTreeView1->SelectedItem();
    const QString drive = node ? GetCDNameNode(node->Key()) : QString();
    qint32 found = 0;
    for (qint32 i = 0; i < cAudioCDRipper1->DeviceCount(); ++i) {
        if (cAudioCDRipper1->DeviceName(i).left(2) == drive)
            found = i;
    }
    return found;
}

void frmMain::FillGridWithCDTracks(const QString &drive)
{
    setCursor(Qt::WaitCursor);
    const qint32 device = GetCDDriveIndex();
    cGrid1->Clear();
    cGrid1->setRedraw(false);
    // A drive that opens but holds no disc at all is the one failure of the
    // listing the user is told about; it leaves the grid empty like the rest.
    const bool opened = cAudioCDRipper1->SelectDevice(device);
    const bool noDisc = opened && cAudioCDRipper1->TrackCount() < 1;
    if (opened && !noDisc) {
        if (!cAudioCDRipper1->IsAudioCD()) {
            cGrid1->Clear();
            lblAddorDrag->setText(kInsertDisc);
            picEmptyMsg->show();
        } else {
            const qint32 tracks = cAudioCDRipper1->TrackCount();
            prgStatus->setMax(tracks);
            prgStatus->show();
            for (qint32 n = 1; n <= tracks; ++n) {
                prgStatus->setValue(n);
                const bool audio = cAudioCDRipper1->TrackType(n) == 1;
                const qint32 seconds = cAudioCDRipper1->TrackLength(n);
                const QString name = QStringLiteral("Track") + twoDigits(n) + QStringLiteral(".cda");
                const QString path = drive + QLatin1Char('/') + name;
                Row::Data row;
                row.incIcon = audio ? Row::IconMarked : Row::IconUnmarked;
                row.typeIcon = GetTypeIcon(audio ? QStringLiteral("Audio") : QStringLiteral("Data"));
                row[Row::ItemName] = name;
                row[Row::Time] = timeOfDay(seconds);
                row[Row::Size] = mdlFileSystem::FormatFileSize(double(seconds * kCdBytesPerSecond));
                row[Row::File] = path;
                row.created = mdlFileTime::GetFileCreated(path);
                row[Row::Range] = QStringLiteral("All");
                row[Row::RangeAll] = QStringLiteral("1");
                row[Row::BytesSize] = QString::number(seconds * kCdBytesPerSecond);
                row[Row::TagAlbum] = g_sTagAlbum;
                row[Row::TagArtist] = g_sTagArtist;
                row[Row::TagComment] = g_sTagComment;
                row[Row::TagGenre] = g_sTagGenre;
                row[Row::TagYear] = g_sTagYear;
                row[Row::TagTitle] = g_sTagSong;
                row[Row::TagTrack] = g_sTagTrack;
                ItemsGrid::writeRow(*cGrid1, n, row);
            }
            cGrid1->setRedraw(true);
        }
    }
    if (cGrid1->Rows() > 0) {
        picEmptyMsg->hide();
        cGrid1->setRedraw(true);
        cGrid1->setSelectedRow(g_bSelectTheLastItem ? cGrid1->Rows() : 1);
        setPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
        DisplayGridInfoStatusBar();
        if (g_bAutoFreeDB)
            routeCommand(QStringLiteral("FreeDB"));
    } else {
        cGrid1->setRedraw(true);
        lblAddorDrag->setText(kInsertDisc);
        picEmptyMsg->show();
        picEmptyMsg->raise();
    }
    DisplayGridInfoStatusBar();
    prgStatus->hide();
    unsetCursor();
    if (noDisc)
        MsgBox(QStringLiteral("There is no CD in the drive."), int(Msg::OkOnly) + int(Msg::Information));
}

void frmMain::tmrCDs_Timer()
{
    if (!g_oAudioCDsRoot)
        return;
    cTreeNodes drives = g_oAudioCDsRoot->Child();
    const int count = drives.Count();
    for (int k = 1; k <= count; ++k) {
        const qint32 device = k - 1;
        if (!cAudioCDRipper1->SelectDevice(device))
            continue;
        const QString driveKey = QStringLiteral("##CD") + cAudioCDRipper1->DeviceName(device);
        cTreeNode *selected = cTreeView1->SelectedItem();
        const bool shown = selected && selected->Key() == driveKey;
        cTreeNode *node = drives.Item(k);
        if (cAudioCDRipper1->TrackCount() >= 1) {
            if (shown && cGrid1->Rows() == 0)
                cTreeView1_NodeClick(node);
            continue;
        }
        if (shown && cGrid1->Rows() > 0)
            cTreeView1_NodeClick(node);
        // The listing may have reselected the device; the node's name comes
        // from the device list, which does not change.
        if (node)
            node->setText(cAudioCDRipper1->DeviceName(device).left(2));
    }
}

void frmMain::cAudioCDRipper1_Error(qint32 code, const QString &text)
{
    MsgBox(text + QStringLiteral(" (") + QString::number(code) + QLatin1Char(')'), Msg::OkOnly);
}

void frmMain::ApplyCommandLine()
{
    // Files added while a list is being read would land among its rows and
    // be saved into it half-read: the switches wait for the load's end.
    if (isLoadingList() || !m_sWaitingCommandLines.isEmpty()) {
        m_sWaitingCommandLines << m_sCommandLine;
        return;
    }
    const QString line = m_sCommandLine.toLower();
    if (line == QLatin1String("-addfiles"))
        routeCommand(QStringLiteral("Add Files"));
    else if (line == QLatin1String("-addaudiocd"))
        SelectFirstAudioCD();
}

void frmMain::TakeCommandLine(const QString &commandLine)
{
    if (m_bInSysTray)
        cSysTray1_MouseClick(1);
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
    m_sCommandLine = commandLine;
    ApplyCommandLine();
}

void frmMain::runWaitingCommandLines()
{
    // A switch may start another load (a new list), which the rest wait for.
    while (!isLoadingList() && !m_sWaitingCommandLines.isEmpty()) {
        m_sCommandLine = m_sWaitingCommandLines.takeFirst();
        const QStringList rest = std::exchange(m_sWaitingCommandLines, {});
        ApplyCommandLine();
        m_sWaitingCommandLines += rest;
    }
}

void frmMain::SelectFirstAudioCD()
{
    if (!g_oAudioCDsRoot)
        return;
    cTreeNodes drives = g_oAudioCDsRoot->Child();
    const int count = drives.Count();
    for (int i = 1; i <= count; ++i) {
        if (!cAudioCDRipper1->SelectDevice(i - 1))
            continue;
        if (cAudioCDRipper1->TrackCount() < 1)
            continue;
        cTreeView1_NodeClick(drives.Item(i));
        return;
    }
}
