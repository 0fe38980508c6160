// The main window's items grid commands: marks, removal, clearing, the item
// properties, adding files by dialog and by drop, list properties and notes.
#include "mainwindow/frmMain.h"

#include "controls/ui/DataObject.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "core/mdlCommDialog.h"
#include "core/mdlFunctions.h"
#include "core/mdlOnTop.h"
#include "core/mdlSupportedFormats.h"
#include "lists/ItemsListRow.h"
#include "lists/frmDirProperties.h"
#include "lists/frmItem.h"
#include "lists/frmNotes.h"
#include "lists/frmStat.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace {

namespace Row = ItemsListRow;

// Hands file drops on the empty-list panel and its two labels to the grid's
// own drop handler.
class EmptyPanelDrops : public QObject {
public:
    explicit EmptyPanelDrops(frmMain *main)
        : QObject(main)
        , m_main(main)
    {
    }

    void watch(QWidget *w)
    {
        w->setAcceptDrops(true);
        w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        Q_UNUSED(watched);
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDropEvent *>(event);
            if (!localFiles(drag->mimeData()).isEmpty())
                drag->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            const QStringList files = localFiles(drop->mimeData());
            if (files.isEmpty())
                return true;
            drop->acceptProposedAction();
            // Added after the drop has returned, so the file manager is not held.
            QTimer::singleShot(0, m_main, [main = m_main, files] {
                if (main)
                    main->addDroppedFiles(files);
            });
            return true;
        }
        return false;
    }

private:
    static QStringList localFiles(const QMimeData *data)
    {
        QStringList files;
        if (!data)
            return files;
        for (const QUrl &url : data->urls()) {
            if (url.isLocalFile())
                files << url.toLocalFile();
        }
        return files;
    }

    QPointer<frmMain> m_main;
};

// Runs a handler when the left button is released over a label.
class LabelClicks : public QObject {
public:
    LabelClicks(QLabel *label, std::function<void()> handler)
        : QObject(label)
        , m_handler(std::move(handler))
    {
        label->installEventFilter(this);
        label->setCursor(Qt::PointingHandCursor);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_handler();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_handler;
};

} // namespace

void frmMain::connectItemsGrid()
{
    connect(cGrid1, &cGrid::DblClick, this, &frmMain::cGrid1_DblClick);
    connect(cGridInfo, &cGrid::DblClick, this, &frmMain::cGridInfo_DblClick);
    connect(cGrid1, &cGrid::MouseUp, this, &frmMain::cGrid1_MouseUp);
    connect(cGrid1, &cGrid::RedrawRequest, this, &frmMain::cGrid1_RedrawRequest);
    connect(cGrid1, &cGrid::OLEDragDrop, this, &frmMain::cGrid1_OLEDragDrop);
    auto *drops = new EmptyPanelDrops(this);
    drops->watch(picEmptyMsg);
    drops->watch(lblAddorDrag);
    drops->watch(lblEmptylist);
    new LabelClicks(lblListName, [this] { lblListName_Click(); });

    tmrRemove = new QTimer(this);
    tmrRemove->setSingleShot(true);
    tmrRemove->setInterval(50);
    connect(tmrRemove, &QTimer::timeout, this, &frmMain::tmrRemove_Timer);
}

void frmMain::lblListName_Click()
{
    cTreeNode *node = cTreeView1->SelectedItem();
    if (!node || IsMainNode(node->Key()))
        return;
    runCommand(QStringLiteral("Items List Properties"));
}

// --- Clearing and removing ------------------------------------------------------

void frmMain::requestClearTheList()
{
    requestRemoval(QStringLiteral("All"));
}

void frmMain::requestRemoveSelectedItems()
{
    requestRemoval(QStringLiteral("Item"));
}

// Both commands share one pending removal: a second command before its time
// replaces the first, so only the one the user asked for last runs.
void frmMain::requestRemoval(const QString &what)
{
    if (cGrid1->Rows() == 0)
        return;
    m_sRemoveWhat = what;
    m_oRemoveNode = cTreeView1->SelectedItem();
    if (!tmrRemove->isActive())
        tmrRemove->start();
}

void frmMain::tmrRemove_Timer()
{
    // While files are being added or a list is being loaded the removal
    // waits for that to end, so no row moves under the writer.
    if (g_frmStat || !prgStatus->isHidden()) {
        tmrRemove->start();
        emit DeferredChangeDue(false);
        return;
    }
    // Meant for the list shown when it was asked for, never for the one the
    // user has picked since.
    const bool sameList = m_oRemoveNode && cTreeView1->SelectedItem() == m_oRemoveNode;
    m_oRemoveNode = nullptr;
    if (sameList) {
        if (m_sRemoveWhat == QLatin1String("All"))
            ClearTheList(false);
        else if (m_sRemoveWhat == QLatin1String("Item"))
            RemoveSelectedItems();
    }
    emit DeferredChangeDue(true);
}

void frmMain::ClearTheList(bool bSkipQuestion)
{
    if (cGrid1->Rows() == 0)
        return;
    // A list is never emptied under the item that plays from it.
    if (!stopPlayerIfPlaying())
        return;
    cTreeNode *node = cTreeView1->SelectedItem();
    if (!node)
        return;
    if (!bSkipQuestion) {
        const int answer = MsgBox(QStringLiteral("This operation will erase all the items under the '") + node->Text()
                                      + QStringLiteral("' list.\r\n\r\nAre you sure?"),
                                  int(Msg::YesNo) + int(Msg::Exclamation));
        if (answer != Msg::Yes)
            return;
    }
    DoClearTheList();
}

void frmMain::DoClearTheList()
{
    cTreeNode *node = cTreeView1->SelectedItem();
    cGrid1->Clear();
    cGrid1->setRedraw(true);
    // The emptied grid is written as the list: a file of CR LF alone. The
    // writer touches only the list file the grid was loaded from, never a
    // drive's or a root's key.
    SaveGridToFile();
    if (node)
        cTreeView1_NodeClick(node);
}

void frmMain::RemoveSelectedItems()
{
    stopPlayerIfPlaying();
    cTreeNode *node = cTreeView1->SelectedItem();
    const int selected = cGrid1->SelectedRow();
    if (g_bDisplayMSGWhenErase) {
        const QString name = selected >= 1 ? cGrid1->CellText(selected, Row::ItemName) : QString();
        const int answer = MsgBox(QStringLiteral("This operation will erase the ") + name + QStringLiteral(" under the '")
                                      + (node ? node->Text() : QString()) + QStringLiteral("'.\r\n\r\nContinue?"),
                                  int(Msg::YesNo) + int(Msg::Information));
        if (answer != Msg::Yes)
            return;
    }

    // Only rows leave the list; no file on disk is touched.
    cGrid1->setRedraw(false);
    int firstRemoved = 0;
    const int n = cGrid1->Rows();
    int removed = 0;
    for (int i = 1; i <= n; ++i) {
        const int row = i - removed;
        if (cGrid1->RowSelected(row)) {
            cGrid1->RemoveRow(row);
            if (firstRemoved == 0)
                firstRemoved = row;
            ++removed;
        }
    }
    if (cGrid1->Rows() > 0) {
        const int current = cGrid1->SelectedRow();
        if (current >= 1)
            cGrid1->setSelectedRow(current);
        else if (firstRemoved > 0)
            cGrid1->setSelectedRow(std::min(firstRemoved, cGrid1->Rows()));
    }
    SaveGridToFile();
    DisplayGridInfoStatusBar();
    cGrid1->setRedraw(true);
    if (cGrid1->Rows() == 0) {
        picEmptyMsg->show();
        picEmptyMsg->raise();
    } else {
        picEmptyMsg->hide();
    }
    GetFileInfoToGridInfo();
}

// --- Mouse --------------------------------------------------------------------------

void frmMain::cGrid1_DblClick(int Row, int Col)
{
    Q_UNUSED(Col);
    if (cGrid1->CellIcon(Row, Row::Type) == Row::IconData) {
        MsgBox(QStringLiteral("Cannot edit a data track.") + QString(36, QLatin1Char(' ')), Msg::Information);
        return;
    }
    if (cGrid1->SelectedRow() < 1)
        return;
    setCursor(Qt::WaitCursor);
    auto *form = new frmItem(cGrid1, [this] { SaveGridToFile(); }, this, imgMenu);
    unsetCursor();
    form->exec();
}

void frmMain::cGridInfo_DblClick(int Row, int Col)
{
    // Whichever fact was clicked, the item is the one selected in the items grid.
    Q_UNUSED(Row);
    Q_UNUSED(Col);
    cGrid1_DblClick(cGrid1->SelectedRow(), cGrid1->SelectedCol());
}

void frmMain::cGrid1_MouseUp(int Button, int Shift, int x, int y)
{
    Q_UNUSED(Shift);
    if (Button == 2 && cGrid1->Rows() > 0) {
        const qint32 index = m_cMenu->IndexForKey(QStringLiteral("MarkUnmark All"));
        if (index > 0) {
            const QPoint at = cGrid1->mapToGlobal(QPoint(Twips::toPixels(x), Twips::toPixels(y)));
            m_cMenu->ShowPopupAt(at.x(), at.y(), x, y, 0, 0, true, index);
        }
        return;
    }
    // Only a click on the mark itself changes it.
    if (x > 300)
        return;
    LoadSelectedItemToPlayer();
    const int row = cGrid1->SelectedRow();
    if (row < 1)
        return;
    if (cGrid1->CellIcon(row, Row::Type) == GetTypeIcon(QStringLiteral("Data")))
        return;
    if (cGrid1->SelectedCol() != 1)
        return;
    const int inc = cGrid1->ColumnIndex(Row::Inc);
    cGrid1->setCellIcon(row, inc, cGrid1->CellIcon(row, inc) == Row::IconMarked ? Row::IconUnmarked : Row::IconMarked);
    SaveGridToFile();
}

void frmMain::cGrid1_RedrawRequest()
{
    cGrid1->setRedraw(true);
}

// --- Hand-over to tool windows -------------------------------------------------

void frmMain::CopyGridRows(cGrid *source, cGrid *target, bool bMarkedOnly)
{
    if (!source || !target || source->Rows() == 0)
        return;
    target->setRedraw(false);
    const int inc = source->ColumnIndex(Row::Inc);
    const int columns = source->Columns();
    int k = 0;
    for (int i = 1; i <= source->Rows(); ++i) {
        if (bMarkedOnly) {
            if (source->CellIcon(i, inc) != Row::IconMarked)
                continue;
            ++k;
        } else {
            k = i;
            target->SetCell(k, target->ColumnIndex(Row::Inc), QString(), cGrid::IconCellFormat,
                            source->CellIcon(i, inc));
        }
        for (int j = 2; j <= columns; ++j)
            target->SetCell(k, j, source->CellValue(i, j));
    }
    target->setSelectedRow(1);
    target->setRedraw(true);
}

qint32 frmMain::CountMarkedItems() const
{
    const int inc = cGrid1->ColumnIndex(Row::Inc);
    qint32 count = 0;
    for (int i = 1; i <= cGrid1->Rows(); ++i) {
        if (cGrid1->CellIcon(i, inc) == Row::IconMarked)
            ++count;
    }
    return count;
}

// --- Adding files ---------------------------------------------------------------

void frmMain::AddFiles()
{
    mdlOnTop::SetFormOnTop(this, false);
    g_FileDialog.lpstrFilter = mdlSupportedFormats::GetAudioOpenFilter();
    g_FileDialog.lpstrTitle = QStringLiteral("Add audio files");
    const FileDialogResult result = mdlCommDialog::ShowOpen(this, true);
    if (result.Cancelled)
        return;
    QStringList paths;
    for (int i = 1; i <= result.FileCount && i < result.FileNames.size(); ++i) {
        QString folder = result.Folder;
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        paths << folder + result.FileNames.at(i);
    }
    AddFiles::addToSelectedList(*this, paths);
}

void frmMain::cGrid1_OLEDragDrop(const DataObject &Data, int Effect, int Button, int Shift, int x, int y)
{
    Q_UNUSED(Effect);
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
    addDroppedFiles(Data.fileList());
}

void frmMain::addDroppedFiles(const QStringList &files)
{
    cTreeNode *node = cTreeView1->SelectedItem();
    if (!node || IsCDNode(node->Key()) || IsMainNode(node->Key()))
        return;
    // A dropped path that names nothing is passed over on the probe workers,
    // with the add's other checks: a drop of many thousand files would
    // otherwise hold the window for a look at each.
    QStringList paths;
    paths.reserve(files.size());
    for (const QString &path : files) {
        if (!path.isEmpty())
            paths << path;
    }
    AddFiles::addToSelectedList(*this, paths, {}, AddFiles::Origin::Dropped);
}

// --- List properties and notes ----------------------------------------------------

void frmMain::ShowItemsListProperties(cTreeNode *Node)
{
    ::ShowItemsListProperties(*this, Node);
}

void frmMain::ShowNotes()
{
    mdlOnTop::SetFormOnTop(this, false);
    showNotes(this);
}
