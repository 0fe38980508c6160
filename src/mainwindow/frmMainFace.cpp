// What the other windows may ask of the main window.
#include "mainwindow/frmMain.h"

#include "controls/audio/cAudioGraph.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "controls/ui/cTreeView.h"
#include "settings/ColorBox.h"
#include "settings/OptionSettings.h"

#include <QLabel>
#include <QTimer>

QWidget *frmMain::mainWidget()
{
    return this;
}

cGrid *frmMain::itemsGrid() const
{
    return cGrid1;
}

cTreeNode *frmMain::selectedList() const
{
    return cTreeView1 ? cTreeView1->SelectedItem() : nullptr;
}

void frmMain::showList(cTreeNode *node)
{
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

void frmMain::renameList(cTreeNode *node, const QString &name, bool &cancel)
{
    cTreeView1_AfterLabelEdit(node, name, cancel);
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

cImageList *frmMain::menuImages() const
{
    return imgMenu;
}

cImageList *frmMain::gridImages() const
{
    return imgGrid;
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
