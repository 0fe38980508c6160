#pragma once

#include "core/MainWindowFace.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <memory>

#include <functional>

class DataObject;
class ItemsListLoad;
class ItemsListStore;
class cAudioCDRipper;
class cAudioGraph;
class cContextMenu;
class cPlayer;
class cReBar;
class cSlider;
class cStatusBar;
class cToolbar;
class cToolbarHost;
class cGrid;
class cImageList;
class cTreeNode;
class cTreeView;
class QLabel;
class XP_ProgressBar;
class QTimer;

// The roots of the tree of lists, set by frmMain::setTree; empty when the
// edition has no such root.
extern QPointer<cTreeNode> g_oItemsListsRoot;
extern QPointer<cTreeNode> g_oAudioCDsRoot;

// The main window: owns the items lists for the whole run.
class frmMain : public QMainWindow, public MainWindowFace {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The face the other windows see (frmMainFace.cpp).
    QWidget *mainWidget() override;
    int listRowCount() const override;
    quint64 listRowsGeneration() const override;
    void appendRows(const QList<ItemsListRow::Data> &rows) override;
    void setListCell(int row, int column, const QString &text) override;
    void setListRedraw(bool redraw) override;
    void selectListCell(int row, int column) override;
    QString selectedListKey() const override;
    void showSelectedList() override;
    bool listLoading() const override { return isLoadingList(); }
    void whenListLoaded(std::function<void()> then) override;
    void renameSelectedList(const QString &name) override;
    void setListNameText(const QString &text) override;
    void saveList() override;
    void reloadListsTree() override;
    void setEmptyListMessageVisible(bool visible) override;
    void showSelectedItemInfo() override;
    void showListStatus() override;
    QString panelText(const QString &key) const override;
    void refreshNotesPanel() override;
    void applyDisplayOptions() override;
    void setTitleBackColor(qint32 color) override;
    void setTitleTextColor(qint32 color) override;
    QIcon menuIcon(int index) const override;
    QPixmap menuPicture(int index) const override;
    bool startNoticeApplication() const override;
    QString speechFileName(const QString &targetFormat) const override;
    void setAudioEditorAborted() override;

    void Form_Load();
    void Form_Unload(int &Cancel);
    void Form_Terminate();

    // The tray menu and the other popup menus; every command is one of its keys.
    cContextMenu &menu() const { return *m_cMenu; }
    void m_cMenu_Click(qint32 ItemNumber);

    // How a command asked for by key went.
    enum class CommandRun {
        Done,       // ran to its end; the item information was refreshed
        EndedEarly, // refused, held for a list being read, or closed the window
        Unknown,    // no command has that key; nothing ran (logged)
    };
    // Runs the command of key as its menu item does: the player stops first,
    // the item information is refreshed after a command that ran to its end.
    CommandRun runCommand(const QString &key);
    // Where CommandRequested is connected: runs the command asked for.
    void runRequestedCommand(const QString &key) { runCommand(key); }
    bool isCommand(const QString &key) const { return m_commands.contains(key); }
    QStringList commandKeys() const { return m_commands.keys(); }
    void cSysTray1_MouseClick(qint32 Button);
    void GoSysTray();
    // A later start of the program handed over its command line: the window
    // comes to the front (out of the tray too) and acts on the switches, once
    // no list is being read.
    void TakeCommandLine(const QString &commandLine);

    // True while the window is hidden in the tray.
    bool m_bInSysTray = false;

    // What the options window's OK and colour pickers reach; the layout code
    // fills these in.
    void Form_Resize();
    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    cAudioGraph *cAudioGraphAmp = nullptr;
    cAudioGraph *cAudioGraphFreq = nullptr;

    // The status panels by key ("Main", "Items List Properties", "Notes", "Master Volume").
    QString PanelText(const QString &key) const;
    void setPanelText(const QString &key, const QString &text) override;
    QString GetNotesToStatus() const;

    // The items grid: the working copy of the list selected in the tree.
    cGrid *cGrid1 = nullptr;
    // Facts of the selected item.
    cGrid *cGridInfo = nullptr;
    // The lists root with one node per list file, and the CD drives.
    cTreeView *cTreeView1 = nullptr;
    cImageList *imgGrid = nullptr;
    cImageList *imgMenu = nullptr;
    // Shown while a list loads.
    XP_ProgressBar *prgStatus = nullptr;
    // Laid over the items grid while the list is empty.
    QWidget *picEmptyMsg = nullptr;
    QLabel *lblAddorDrag = nullptr;
    QLabel *lblEmptylist = nullptr;
    QLabel *lblListName = nullptr;
    // The CD drive watch; runs while a drive node is shown.
    QTimer *tmrCDs = nullptr;

    // Items grid and list file.
    void InitItemsGrid(cGrid *grid);
    void SaveGridToFile();
    static bool IsMainNode(const QString &sKey);
    static bool IsCDNode(const QString &sKey);
    static QString GetCDNameNode(const QString &sKey);
    static int GetTypeIcon(const QString &sType);

    // Tree of lists.
    void setTree();
    void cTreeView1_NodeClick(cTreeNode *Node);
    void cTreeView1_AfterLabelEdit(cTreeNode *Node, const QString &NewString, bool &Cancel);
    void RemoveItemsList();
    static QString GetNewItemsListFileName(const QString &folder);
    bool SelectListIfMainNode();
    // The command that makes an empty list with the next free name, shows it
    // and opens its label for a name.
    void NewItemsList();

    // Item information and list status.
    void SetGridInfoColumns();
    void GetFileInfoToGridInfo();
    void DisplayGridInfoStatusBar();
    QString GetTotalTime(bool bMarkedOnly) const;
    QString GetTotalSize(bool bMarkedOnly) const;

    // Items grid commands, adding files, list properties and notes.
    void connectItemsGrid();
    void ClearTheList(bool bSkipQuestion);
    void DoClearTheList();
    void RemoveSelectedItems();
    // "Clear the List" and "Remove Item" run about 50 ms after they are asked for.
    void requestClearTheList();
    void requestRemoveSelectedItems();
    void tmrRemove_Timer();
    // The pending removal: "Item" (the selected rows) or "All" (the list).
    QTimer *tmrRemove = nullptr;
    QString m_sRemoveWhat;
    void cGrid1_DblClick(int Row, int Col);
    // The item information's double click opens the selected item's properties.
    void cGridInfo_DblClick(int Row, int Col);
    void cGrid1_MouseUp(int Button, int Shift, int x, int y);
    void cGrid1_RedrawRequest();
    void LoadSelectedItemToPlayer();
    static void CopyGridRows(cGrid *source, cGrid *target, bool bMarkedOnly);
    qint32 CountMarkedItems() const;
    void AddFiles();
    void cGrid1_OLEDragDrop(const DataObject &Data, int Effect, int Button, int Shift, int x, int y);
    // Files dropped on the grid or the empty-list panel join the selected
    // list; missing files and the CD and main nodes take none.
    void addDroppedFiles(const QStringList &files);
    void ShowItemsListProperties(cTreeNode *Node);
    // The list name's label runs the "Items List Properties" command.
    void lblListName_Click();
    void ShowNotes();

    // --- The window's shell: status bar, toolbars, layout, modes, player,
    // CD drive watch, command line and exit.
    cStatusBar *cStatusBar1 = nullptr;
    cImageList *imgGeneral = nullptr;
    cToolbar *tlbrRecorder = nullptr;
    cToolbar *tlbrTop = nullptr;
    cToolbar *tlbrProjects = nullptr;
    cToolbar *tlbrList = nullptr;
    cToolbarHost *cToolbarHostRecorder = nullptr;
    cToolbarHost *cToolbarHost1 = nullptr;
    cToolbarHost *tlbrProjectsHost = nullptr;
    cReBar *rbrList = nullptr;
    QLabel *picToolBarJPGPicHolder = nullptr;
    QWidget *picTitleProject = nullptr;
    QLabel *lblProjects = nullptr;
    QWidget *froTreeControl = nullptr;
    QWidget *picResizer = nullptr;
    QWidget *picTitleList = nullptr;
    QWidget *picList = nullptr;
    QWidget *froControl = nullptr;
    cSlider *cSlider1 = nullptr;
    QWidget *picPlayTime = nullptr;
    QLabel *lblCurrentPositionSec = nullptr;
    QLabel *lbTotalLengthSec = nullptr;
    cPlayer *cPlayer1 = nullptr;
    cAudioCDRipper *cAudioCDRipper1 = nullptr;
    QTimer *tmrPlayer = nullptr;
    QTimer *tmSlider = nullptr;
    QTimer *tmrAudioData = nullptr;
    // The list node whose item plays, bold while it plays.
    QPointer<cTreeNode> m_oPlayingNode;
    // The arguments after the program's path, applied once after the load.
    QString m_sCommandLine;
    void SetAppView();
    void SetOnTop(bool bVal);
    void SetTransparent(bool bVal);
    // Asks for the command of that key, as toolbars, panels, the CD watch and
    // the command line do: CommandRequested carries it to the dispatcher.
    void routeCommand(const QString &key);
    void tlbrTop_ButtonClick(int index);
    void tlbrTop_ButtonDropDown(int index);
    void tlbrRecorder_ButtonClick(int index);
    void tlbrRecorder_ButtonDropDown(int index);
    void tlbrProjects_ButtonClick(int index);
    void tlbrList_ButtonClick(int index);
    void tlbrList_ButtonDropDown(int index);
    void cStatusBar1_PanelClick(int index);
    void cTreeView1_DragDrop(QObject *Source, int X, int Y);
    void cGrid1_DragDrop(QObject *Source, int X, int Y);
    void StartPlay();
    void StopPlay();
    void SetRowBold(int lRow, bool bBold);
    void SetRowUnBold();
    void tmrPlayer_Timer();
    void tmSlider_Timer();
    void tmrAudioData_Timer();
    void cPlayer1_PlayEnd(quint64 playback);
    void cSlider1_DragStart();
    void cSlider1_DragEnd();
    void FillGridWithCDTracks(const QString &drive);
    qint32 GetCDDriveIndex() const;
    void tmrCDs_Timer();
    void cAudioCDRipper1_Error(qint32 code, const QString &text);
    void ApplyCommandLine();
    void SelectFirstAudioCD();
    // --- Commands: dispatcher, tool launches, list and item commands --------
    // Set False before the analyser's conversion; its window sets it True
    // when the user aborts the conversion.
    bool g_bAbortedAudioEditor = false;
    void OpenDestFolder(const QString &sDir);
    bool IsAnyItemMarked() const;
    void SetAllItemsMark(bool bMark);
    void ReplaceRow(qint32 lMove);
    // The notice application's command line with its placeholders filled
    // from the last row of the items grid.
    QString GetNoticAppParameters() const;
    // Starts the notice application: the command line is split first and
    // each argument filled on its own, so no item name can add an argument
    // or reach a shell. False when nothing was started.
    bool StartNoticeApplication() const;
    // The speech window's file name for its target format's text.
    QString CreateFileName(const QString &sTargetFormat) const;
    // Whether a list is being read into the grid.
    bool isLoadingList() const { return m_listLoad != nullptr; }
    // The store that reads and writes the list files, one after another.
    ItemsListStore &listStore() const { return *m_listStore; }

Q_SIGNALS:
    // The list load in hand has ended: its rows are all in (and the status
    // panels written), or it was stopped by a click on a root or a CD drive,
    // or by closing the window. A load given up for another list's ends with
    // that one, so after this signal isLoadingList() is false.
    void loadFinished();
    // Raised first by every command; the player stops its control when an
    // item plays.
    void PlayerStopRequested();
    // A deferred grid change's time came: it ran (or found its list gone),
    // or it waits again for an add or a load to end.
    void DeferredChangeDue(bool ran);
    // The shell (toolbars, status panels, CD watch, command line) asks for a
    // command; the window's own connection runs it (runRequestedCommand).
    void CommandRequested(const QString &key);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildListPanes();
    void loadFirstNode();
    void loadListNode(cTreeNode *Node);
    void endListLoad(const QPointer<cTreeNode> &node, const QString &name, bool complete);
    // Gives up the list load in hand, if any; nothing read so far is saved.
    void stopListLoad();
    // Commands that read or change the rows wait while a list loads: the
    // last one asked for runs once it has loaded, if its list is still shown.
    bool holdWhileLoading(const QString &key);
    void runHeldCommand();
    // False when the player still plays after its Stop was pressed.
    bool stopPlayerIfPlaying();
    void requestRemoval(const QString &what);
    QStringList cdDeviceNames() const;
    void BuildMenus();
    void setOpenCaption(const QString &caption);
    void hideToTray();
    void buildShellPanes();
    void buildStatusPanels();
    void BuildToolbars();
    void fillCommandImages();
    void connectShell();
    void RestoreWindowSize();
    void popSubmenu(cToolbar *toolbar, int index, const QString &itemKey);
    void pressPlayerButton(const QString &key);
    void pauseCommand();
    void stopCommand();

    // Commands (frmMainCommands.cpp, frmMainLaunch.cpp, frmMainWindowCommands.cpp).
    struct Command {
        Command(std::function<bool()> run = {}, std::function<bool()> enabled = {}, bool waitsForRows = false)
            : run(std::move(run)), enabled(std::move(enabled)), waitsForRows(waitsForRows)
        {
        }
        // False when the command ended early: no refresh follows.
        std::function<bool()> run;
        // Tested once the rows are in; false ends the command early, silently.
        std::function<bool()> enabled;
        // Reads or changes the rows: waits for a list being read.
        bool waitsForRows = false;
    };
    void addCommand(const QString &key, Command command);
    void buildCommands();
    void addListCommands();
    void addItemCommands();
    void addWindowCommands();
    void addToolCommands();
    bool dispatch(const QString &key);
    bool openDestinationFolder();
    bool saveAsCommand();
    bool addFilesCommand();
    bool removeItemCommand();
    bool moveCommand(const QString &key);
    bool freeDbCommand();
    bool toggleModeCommand(const QString &key);
    bool toolGate(const QString &key);
    void SaveAs();
    void OpenOptionsPage(const QString &page);

    QHash<QString, Command> m_commands;

    std::unique_ptr<cContextMenu> m_cMenu;
    QList<QPair<QString, QLabel *>> m_panels;
    // The list node the grid was filled from, and whether its file was read
    // whole: the only list a save may write.
    QPointer<cTreeNode> m_oLoadedListNode;
    bool m_bLoadedListComplete = false;
    // Command lines whose switches wait for the list being read, in the
    // order they came.
    QStringList m_sWaitingCommandLines;
    void runWaitingCommandLines();
    // Set when rows changed while the list filled in: saved once it is whole.
    bool m_bSaveAfterLoad = false;
    QString m_sHeldCommand;
    QPointer<cTreeNode> m_oHeldCommandNode;
    ItemsListStore *m_listStore = nullptr;
    std::unique_ptr<ItemsListLoad> m_listLoad;
    // The list node a pending removal was asked for on.
    QPointer<cTreeNode> m_oRemoveNode;
};

namespace Forms {
// The main window while it is loaded (app/forms.cpp).
frmMain *main();
frmMain &loadMain();
}
