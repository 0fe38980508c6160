#pragma once

#include <QString>

#include <functional>

class QWidget;
class cGrid;
class cImageList;
class cTreeNode;

// Set while the main window closes; the long-lived windows unload for real only then.
extern bool g_bAppClosing;

// What the other windows may ask of the main window. The main window
// implements it; everything below the main window reaches it only through
// this face (Forms::mainFace()), never through its controls.
class MainWindowFace {
public:
    // The window itself: owner of the windows opened for it, and what is
    // unloaded to end the program.
    virtual QWidget *mainWidget() = 0;

    // The items grid: the working copy of the list selected in the tree.
    virtual cGrid *itemsGrid() const = 0;
    // The node of the selected list; null when none is selected.
    virtual cTreeNode *selectedList() const = 0;
    // Fills the grid from that list node, as a click on it does. A list
    // fills in after the call has returned, while input is served.
    virtual void showList(cTreeNode *node) = 0;
    // Whether a list is still filling the grid.
    virtual bool listLoading() const = 0;
    // Runs then once the list load in hand has ended, never inside this
    // call; dropped should the main window go first.
    virtual void whenListLoaded(std::function<void()> then) = 0;
    // Renames the list file of that node, as editing its label does.
    virtual void renameList(cTreeNode *node, const QString &name, bool &cancel) = 0;
    virtual void setListNameText(const QString &text) = 0;
    // Writes the grid back to the selected list's file.
    virtual void saveList() = 0;
    // The lists folder changed: the tree is rebuilt and its first list shown.
    virtual void reloadListsTree() = 0;
    // The overlay telling that the list is empty.
    virtual void setEmptyListMessageVisible(bool visible) = 0;
    // The facts of the selected item, and the list's totals in the status bar.
    virtual void showSelectedItemInfo() = 0;
    virtual void showListStatus() = 0;

    // The status panels by key ("Main", "Items List Properties", "Notes", "Master Volume").
    virtual QString panelText(const QString &key) const = 0;
    virtual void setPanelText(const QString &key, const QString &text) = 0;
    // The notes file changed: its panel shows it again.
    virtual void refreshNotesPanel() = 0;

    // The display options changed: layout, grid lines and hot tracking.
    virtual void applyDisplayOptions() = 0;
    virtual void setTitleBackColor(qint32 color) = 0;
    virtual void setTitleTextColor(qint32 color) = 0;

    virtual cImageList *menuImages() const = 0;
    virtual cImageList *gridImages() const = 0;

    // Starts the notice application with the placeholders filled from the
    // items grid; false when nothing was started.
    virtual bool startNoticeApplication() const = 0;
    // The speech window's file name for its target format's text.
    virtual QString speechFileName(const QString &targetFormat) const = 0;
    // The user aborted the analyser's conversion.
    virtual void setAudioEditorAborted() = 0;

protected:
    ~MainWindowFace() = default;
};
