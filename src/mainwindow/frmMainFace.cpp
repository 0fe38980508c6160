// What the other windows may ask of the main window.
#include "mainwindow/frmMain.h"

#include "controls/audio/cAudioGraph.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cImageList.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "controls/ui/cTreeView.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRow.h"
#include "settings/ColorBox.h"
#include "settings/OptionSettings.h"

#include <QLabel>
#include <QTimer>

QWidget *frmMain::mainWidget()
{
    return this;
}

int frmMain::listRowCount() const
{
    return cGrid1 ? cGrid1->Rows() : 0;
}

quint64 frmMain::listRowsGeneration() const
{
    return cGrid1 ? cGrid1->RowsGeneration() : 0;
}

void frmMain::appendRows(const QList<ItemsListRow::Data> &rows)
{
    if (cGrid1)
        ItemsGrid::appendRows(*cGrid1, rows);
}

void frmMain::setListCell(int row, int column, const QString &text)
{
    if (cGrid1)
        cGrid1->SetCell(row, ItemsListRow::Column(column), text);
}

void frmMain::setListRedraw(bool redraw)
{
    if (cGrid1)
        cGrid1->setRedraw(redraw);
}

void frmMain::selectListCell(int row, int column)
{
    if (!cGrid1)
        return;
    cGrid1->setSelectedRow(row);
    cGrid1->setSelectedCol(column);
}

QString frmMain::selectedListKey() const
{
    const cTreeNode *node = cTreeView1 ? cTreeView1->SelectedItem() : nullptr;
    return node ? node->Key() : QString();
}

void frmMain::showSelectedList()
{
    if (cTreeNode *node = cTreeView1 ? cTreeView1->SelectedItem() : nullptr)
        cTreeView1_NodeClick(node);
}

void frmMain::whenListLoaded(std::function<void()> then)
{
    if (!isLoadingList()) {
        QTimer::singleShot(0, this, std::move(then));
        return;
    }
    connect(this, &frmMain::loadFinished, this, std::move(then), Qt::SingleShotConnection);
}

void frmMain::renameSelectedList(const QString &name)
{
    cTreeNode *node = cTreeView1 ? cTreeView1->SelectedItem() : nullptr;
    if (!node)
        return;
    node->setText(name);
    bool cancel = false;
    cTreeView1_AfterLabelEdit(node, name, cancel);
    lblListName->setText(node->Text());
}

void frmMain::setListNameText(const QString &text)
{
    lblListName->setText(text);
}

void frmMain::saveList()
{
    SaveGridToFile();
}

void frmMain::reloadListsTree()
{
    setTree();
    // The grid shows the list that the rebuilt tree selects.
    if (!cTreeView1)
        return;
    if (cTreeNode *node = cTreeView1->Nodes().Item(2)) {
        node->setSelected(true);
        cTreeView1_NodeClick(node);
    }
}

void frmMain::setEmptyListMessageVisible(bool visible)
{
    if (!picEmptyMsg)
        return;
    picEmptyMsg->setVisible(visible);
    if (visible)
        picEmptyMsg->raise();
}

void frmMain::showSelectedItemInfo()
{
    GetFileInfoToGridInfo();
}

void frmMain::showListStatus()
{
    DisplayGridInfoStatusBar();
}

QString frmMain::panelText(const QString &key) const
{
    return PanelText(key);
}

void frmMain::refreshNotesPanel()
{
    setPanelText(QStringLiteral("Notes"), GetNotesToStatus());
}

void frmMain::applyDisplayOptions()
{
    Form_Resize();
    if (cGrid1) {
        cGrid1->setHotTrack(g_bDisplayGridHotTrack);
        cGrid1->setGridLines(g_bDisplayGridLine);
    }
}

void frmMain::setTitleBackColor(qint32 color)
{
    ColorBox::paintBack(picTitle, color);
    for (cAudioGraph *graph : {cAudioGraphAmp, cAudioGraphFreq}) {
        if (graph)
            graph->setBackColor(quint32(color));
    }
}

void frmMain::setTitleTextColor(qint32 color)
{
    ColorBox::paintText(lblTitle, color);
    for (cAudioGraph *graph : {cAudioGraphAmp, cAudioGraphFreq}) {
        if (graph)
            graph->setForeColor(quint32(color));
    }
}

QIcon frmMain::menuIcon(int index) const
{
    return imgMenu ? imgMenu->icon(index) : QIcon();
}

QPixmap frmMain::menuPicture(int index) const
{
    return imgMenu ? imgMenu->ItemPicture(index) : QPixmap();
}

bool frmMain::startNoticeApplication() const
{
    return StartNoticeApplication();
}

QString frmMain::speechFileName(const QString &targetFormat) const
{
    return CreateFileName(targetFormat);
}

void frmMain::setAudioEditorAborted()
{
    g_bAbortedAudioEditor = true;
}
