#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>

#include <functional>

class QWidget;
namespace ItemsListRow {
struct Data;
}

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

    // The items grid, the working copy of the list selected in the tree, as
    // rows of plain data; rows and columns count from 1.
    virtual int listRowCount() const = 0;
    // Moves on whenever the grid's rows are replaced, removed or reordered;
    // appending rows leaves it as it is.
    virtual quint64 listRowsGeneration() const = 0;
    // Appends the rows after the last one, in one insertion.
    virtual void appendRows(const QList<ItemsListRow::Data> &rows) = 0;
    // Writes one cell (column an ItemsListRow::Column) of an existing row.
    virtual void setListCell(int row, int column, const QString &text) = 0;
    // Holds the grid's painting while rows go in; true paints it again.
    virtual void setListRedraw(bool redraw) = 0;
    // Moves the grid's selection to that cell (column as the grid shows it).
    virtual void selectListCell(int row, int column) = 0;
    // The key of the list selected in the tree; empty when none is selected.
    virtual QString selectedListKey() const = 0;
    // Fills the grid from the selected list again, as a click on it does. A
    // list fills in after the call has returned, while input is served.
    virtual void showSelectedList() = 0;
    // Whether a list is still filling the grid.
    virtual bool listLoading() const = 0;
    // Runs then once the list load in hand has ended, never inside this
    // call; dropped should the main window go first.
    virtual void whenListLoaded(std::function<void()> then) = 0;
    // Gives the selected list that name, in the tree and on its file, as
    // editing its label does, and shows it above the grid.
    virtual void renameSelectedList(const QString &name) = 0;
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

    // The menus' picture at that place of the main window's picture list, as
    // an icon and at the list's size; empty for a place outside the list.
    virtual QIcon menuIcon(int index) const = 0;
    virtual QPixmap menuPicture(int index) const = 0;

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
