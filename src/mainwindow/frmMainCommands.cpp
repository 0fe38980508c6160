// The main window's command dispatcher and the commands that need no tool
// window: the list commands, the item commands, the window modes, the option
// pages and the outside programs.
#include "mainwindow/frmMain.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "controls/ui/cTreeView.h"
#include "core/WindowPlace.h"
#include "core/forms.h"
#include "core/frmAbout.h"
#include "core/frmFileCopy.h"
#include "core/mdlCommDialog.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "core/mdlTransparent.h"
#include "lists/ItemsListRow.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "settings/frmOptions.h"
#include "tags/frmMP3TagsEditor.h"
#include "tools/editor/frmMicRecorder.h"
#include "tools/editor/frmWaveTTS.h"
#include "tools/rip/frmFreeDB.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace {

namespace Row = ItemsListRow;

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

QString selectedKey(cTreeView *tree)
{
    cTreeNode *node = tree->SelectedItem();
    return node ? node->Key() : QString();
}

QString selectedCell(const cGrid &grid, Row::Column column)
{
    const int row = grid.SelectedRow();
    return row >= 1 ? grid.CellText(row, column) : QString();
}

// The translucency the "Transparent" mode gives the main window.
constexpr int kTransparentAlpha = 90;

// The desktop's mixer stands in for the system volume control.
const QString kMixerProgram = QStringLiteral("pavucontrol");

} // namespace

// --- Dispatcher -----------------------------------------------------------------

void frmMain::m_cMenu_Click(qint32 ItemNumber)
{
    Q_EMIT PlayerStopRequested();
    if (ItemNumber == 0)
        return;
    const QString key = m_cMenu->ItemKey(ItemNumber);
    const QPointer<frmMain> self(this);
    const bool refresh = runCommand(key, ItemNumber);
    // A command that closed the window leaves nothing to refresh.
    if (refresh && self && Forms::main() == this)
        GetFileInfoToGridInfo();
}

void frmMain::runByKey(const QString &key)
{
    m_cMenu_Click(m_cMenu->IndexForKey(key));
}

// Runs the command of key; false when it ended early, without the refresh.
bool frmMain::runCommand(const QString &key, qint32 ItemNumber)
{
    bool handled = false;
    const bool toolRefresh = runToolCommand(key, handled);
    if (handled)
        return toolRefresh;
    const bool windowRefresh = runWindowCommand(key, ItemNumber, handled);
    if (handled)
        return windowRefresh;
    static const QStringList listKeys = {
        QStringLiteral("Add Files"),          QStringLiteral("Add Directories"),      QStringLiteral("New Items List"),
        QStringLiteral("Rename Items List"),  QStringLiteral("Remove Items List"),    QStringLiteral("Items List Properties"),
        QStringLiteral("Open Destination Folder"), QStringLiteral("Save As"),
    };
    // What reads or changes the rows waits for them all to be in.
    static const QStringList rowListKeys = {QStringLiteral("Add Files"), QStringLiteral("Add Directories"),
                                            QStringLiteral("Save As")};
    if (rowListKeys.contains(key) && holdWhileLoading(key))
        return false;
    if (listKeys.contains(key))
        return runListCommand(key);
    static const QStringList itemKeys = {
        QStringLiteral("Rename Item"), QStringLiteral("MarkUnmark All"), QStringLiteral("Remove Item"),
        QStringLiteral("Clear the List"), QStringLiteral("Move Up"), QStringLiteral("Move Down"),
        QStringLiteral("Move To First"), QStringLiteral("Move To Last"),
    };
    if (itemKeys.contains(key))
        return holdWhileLoading(key) ? false : runItemCommand(key);
    // Keys without an action (submenu holders, "Burn From List", "Live Update"...).
    return true;
}

bool frmMain::holdWhileLoading(const QString &key)
{
    if (!m_listLoad)
        return false;
    m_sHeldCommand = key;
    m_oHeldCommandNode = cTreeView1->SelectedItem();
    return true;
}

void frmMain::runHeldCommand()
{
    const QString key = std::exchange(m_sHeldCommand, QString());
    const QPointer<cTreeNode> node = std::exchange(m_oHeldCommandNode, nullptr);
    // Meant for the list shown when it was asked for, never for another one.
    if (key.isEmpty() || !node || cTreeView1->SelectedItem() != node || m_listLoad)
        return;
    runByKey(key);
}

// --- List commands ----------------------------------------------------------------

bool frmMain::runListCommand(const QString &key)
{
    cTreeNode *node = cTreeView1->SelectedItem();
    const QString nodeKey = node ? node->Key() : QString();

    if (key == QLatin1String("Add Files")) {
        if (IsCDNode(nodeKey)) {
            MsgBox(QStringLiteral("Adding new items to the Audio CD List is not possible.") + blanks(20),
                   Msg::Information);
            return false;
        }
        // Without a list there is nothing to add to.
        if (!node || IsMainNode(nodeKey))
            return false;
        AddFiles();
        activateWindow();
        return true;
    }
    if (key == QLatin1String("Add Directories"))
        return true;
    if (key == QLatin1String("New Items List")) {
        if (nodeKey.startsWith(QLatin1String("##MAINCDS")) || IsCDNode(nodeKey))
            return false;
        NewItemsList();
        return true;
    }
    if (key == QLatin1String("Rename Items List")) {
        if (!node || IsMainNode(nodeKey) || node->Text() == QLatin1String("Items Lists"))
            return false;
        runByKey(QStringLiteral("Items List Properties"));
        return true;
    }
    if (key == QLatin1String("Remove Items List")) {
        if (!node || IsMainNode(nodeKey) || IsCDNode(nodeKey))
            return false;
        RemoveItemsList();
        return true;
    }
    if (key == QLatin1String("Items List Properties")) {
        if (!node || IsMainNode(nodeKey))
            return false;
        ShowItemsListProperties(node);
        return true;
    }
    if (key == QLatin1String("Open Destination Folder")) {
        // The folder the tool windows last wrote into, as their destination
        // box offers it first; before any job, their default folder.
        QComboBox history;
        mdlFunctions::LoadPathHistory(&history);
        QString folder = history.count() > 0 ? history.itemText(0) : QString();
        if (folder.isEmpty())
            folder = AppPaths::defaultDestinationFolder();
        AppPaths::makeDefaultDestination(folder);
        OpenDestFolder(folder);
        return true;
    }
    if (key == QLatin1String("Save As")) {
        if (IsCDNode(nodeKey)) {
            MsgBox(QStringLiteral("Nothing to save.") + blanks(20), Msg::Information);
            return false;
        }
        if (cGrid1->Rows() == 0)
            return false;
        SaveAs();
        return true;
    }
    return true;
}

void frmMain::SaveAs()
{
    const QString source = selectedCell(*cGrid1, Row::File);
    const QString name = selectedCell(*cGrid1, Row::ItemName);
    const QString extension = mdlFunctions::GetExtension(name);
    g_FileDialog.lpstrFilter = QStringLiteral("Audio Files (*.") + extension + QStringLiteral(")") + QChar(0)
        + QStringLiteral("*.") + extension + QChar(0);
    g_FileDialog.lpstrTitle = QStringLiteral("Save As");
    g_FileDialog.lpstrDefExt = extension;
    const FileDialogResult result = mdlCommDialog::ShowSave(this, name, true);
    if (result.Cancelled || result.FileNames.size() < 2 || result.FileNames.at(1).isEmpty())
        return;
    const QString destination = result.FileNames.at(1);

    // The copy window refuses a destination that is the source itself and
    // reports a failed copy; it never removes the source.
    auto *copy = new frmFileCopy(this);
    copy->setAttribute(Qt::WA_DeleteOnClose);
    copy->startCopy(source, destination);
    copy->exec();
}

void frmMain::OpenDestFolder(const QString &sDir)
{
    QString folder = sDir;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    if (!QFileInfo(folder).isDir()) {
        const int answer = MsgBox(QStringLiteral("The folder ") + folder + QStringLiteral(" does not exist.") + blanks(44)
                                      + QStringLiteral("\r\n\r\nWould you like to create it?"),
                                  int(Msg::YesNo) + int(Msg::Information));
        if (answer != Msg::Yes)
            return;
        if (mdlFunctions::MakeFolderPath(folder) != 0) {
            MsgBox(QStringLiteral("The path: ") + folder + QStringLiteral(" cannot be created."), Msg::OkOnly);
            // Nothing to open: the shell would only report a missing folder.
            return;
        }
    }
    mdlFunctions::ShellOpen(this, folder);
}

// --- Item commands ----------------------------------------------------------------

bool frmMain::runItemCommand(const QString &key)
{
    if (key == QLatin1String("MarkUnmark All")) {
        SetAllItemsMark(!IsAnyItemMarked());
        return true;
    }
    if (key == QLatin1String("Remove Item") && IsCDNode(selectedKey(cTreeView1))) {
        MsgBox(QStringLiteral("Cannot remove items from Audio CD.") + blanks(20), Msg::Information);
        return false;
    }
    const int rows = cGrid1->Rows();
    if (rows == 0)
        return false;
    const int selected = cGrid1->SelectedRow();

    if (key == QLatin1String("Rename Item")) {
        mdlOnTop::SetFormOnTop(this, false);
        cGrid1_DblClick(selected, cGrid1->SelectedCol());
    } else if (key == QLatin1String("Remove Item")) {
        requestRemoveSelectedItems();
    } else if (key == QLatin1String("Clear the List")) {
        requestClearTheList();
    } else {
        // With no row selected nothing moves; the list is still written.
        if (selected >= 1) {
            if (key == QLatin1String("Move Up") && selected > 1)
                ReplaceRow(-1);
            else if (key == QLatin1String("Move Down") && selected < rows)
                ReplaceRow(1);
            else if (key == QLatin1String("Move To First") && rows > 1)
                ReplaceRow(1 - selected);
            else if (key == QLatin1String("Move To Last") && rows > 1 && selected < rows)
                ReplaceRow(rows - selected);
        }
        SaveGridToFile();
    }
    return true;
}

bool frmMain::IsAnyItemMarked() const
{
    const int inc = cGrid1->ColumnIndex(Row::Inc);
    for (int i = 1; i <= cGrid1->Rows(); ++i) {
        if (cGrid1->CellIcon(i, inc) == Row::IconMarked)
            return true;
    }
    return false;
}

void frmMain::SetAllItemsMark(bool bMark)
{
    const int inc = cGrid1->ColumnIndex(Row::Inc);
    cGrid1->setRedraw(false);
    for (int i = 1; i <= cGrid1->Rows(); ++i)
        cGrid1->setCellIcon(i, inc, bMark ? Row::IconMarked : Row::IconUnmarked);
    cGrid1->setRedraw(true);
    SaveGridToFile();
}

void frmMain::ReplaceRow(qint32 lMove)
{
    const int s = cGrid1->SelectedRow();
    const int t = s + lMove;
    if (s < 1 || t < 1 || s > cGrid1->Rows() || t > cGrid1->Rows())
        return;
    cGrid1->setRedraw(false);
    for (int col = 2; col <= cGrid1->Columns(); ++col) {
        const QVariant kept = cGrid1->CellValue(t, col);
        cGrid1->SetCell(t, col, cGrid1->CellValue(s, col));
        cGrid1->SetCell(s, col, kept);
    }
    const int inc = cGrid1->ColumnIndex(Row::Inc);
    const int keptIcon = cGrid1->CellIcon(t, inc);
    cGrid1->setCellIcon(t, inc, cGrid1->CellIcon(s, inc));
    cGrid1->setCellIcon(s, inc, keptIcon);
    cGrid1->setSelectedRow(t);
    cGrid1->setRedraw(true);
}

// --- Windows, modes and outside programs ------------------------------------------

void frmMain::OpenOptionsPage(const QString &page)
{
    Forms::loadOptions().execOnPage(page, this);
}

bool frmMain::runWindowCommand(const QString &key, qint32 ItemNumber, bool &handled)
{
    handled = true;
    static const QStringList pages = {QStringLiteral("Events"), QStringLiteral("View"), QStringLiteral("General"),
                                      QStringLiteral("ID3 Tags"), QStringLiteral("Advanced")};
    if (pages.contains(key)) {
        mdlOnTop::SetFormOnTop(this, false);
        OpenOptionsPage(key);
        return true;
    }
    if (key == QLatin1String("About")) {
        mdlOnTop::SetFormOnTop(this, false);
        frmAbout about(this, imgMenu);
        about.exec();
        return true;
    }
    if (key == QLatin1String("MP3 Tags Editor")) {
        mdlOnTop::SetFormOnTop(this, false);
        setCursor(Qt::WaitCursor);
        showMP3TagsEditor();
        unsetCursor();
        return true;
    }
    if (key == QLatin1String("Notes")) {
        ShowNotes();
        return true;
    }
    if (key == QLatin1String("FreeDB")) {
        mdlOnTop::SetFormOnTop(this, false);
        if (cGrid1->Rows() == 0)
            return false;
        if (!IsCDNode(selectedKey(cTreeView1))) {
            MsgBox(QStringLiteral("Select the CD drive to get the information about.") + blanks(18), Msg::Information);
            return false;
        }
        setCursor(Qt::WaitCursor);
        frmFreeDB &window = Forms::loadFreeDB();
        // Without a connection the window has said so and closed itself.
        if (window.GetFreeDB())
            window.exec();
        unsetCursor();
        return true;
    }
    if (key == QLatin1String("Audio Recorder")) {
        setCursor(Qt::WaitCursor);
        frmMicRecorder &window = Forms::loadMicRecorder();
        unsetCursor();
        window.exec();
        return true;
    }
    if (key == QLatin1String("Text To Speech")) {
        setCursor(Qt::WaitCursor);
        frmWaveTTS &window = Forms::loadWaveTTS();
        WindowPlace::centreOnScreen(&window);
        window.exec();
        unsetCursor();
        return true;
    }
    if (key == QLatin1String("Transparent")) {
        const bool on = !m_cMenu->ItemChecked(ItemNumber);
        if (on)
            mdlTransparent::SetTranslucency(this, kTransparentAlpha);
        else
            mdlTransparent::ClearTranslucency(this);
        m_cMenu->setItemChecked(ItemNumber, on);
        return true;
    }
    if (key == QLatin1String("On Top")) {
        const bool on = !m_cMenu->ItemChecked(ItemNumber);
        m_cMenu->setItemChecked(m_cMenu->IndexForKey(QStringLiteral("On Top")), on);
        mdlOnTop::SetFormOnTop(this, on);
        return true;
    }
    if (key == QLatin1String("Minimize")) {
        setWindowState(windowState() | Qt::WindowMinimized);
        return true;
    }
    if (key == QLatin1String("GoSysTray")) {
        GoSysTray();
        return false;
    }
    if (key == QLatin1String("RC Open")) {
        cSysTray1_MouseClick(1);
        return true;
    }
    if (key == QLatin1String("Exit") || key == QLatin1String("RC Exit")) {
        // Refused (the exit question answered No): the window stays and is refreshed.
        return !Forms::unload(this);
    }
    if (key == QLatin1String("Master Volume")) {
        mdlOnTop::SetFormOnTop(this, false);
        const QString mixer = QStandardPaths::findExecutable(kMixerProgram);
        if (mixer.isEmpty() || !Services::instance().launcher().start(mixer, {})) {
            MsgBox(QStringLiteral("The volume control cannot be started: the program '") + kMixerProgram
                       + QStringLiteral("' is not installed."),
                   Msg::Information);
        }
        return true;
    }
    if (key == QLatin1String("HelpTopic")) {
        const QString help = AppPaths::resourceFolder() + QStringLiteral("/help/index.html");
        if (!QFileInfo::exists(help) || !Services::instance().shell().open(help))
            MsgBox(QStringLiteral("The help file ") + help + QStringLiteral(" cannot be opened."), Msg::Information);
        return true;
    }
    if (key == QLatin1String("Support")) {
        if (!Services::instance().shell().open(g_sAppSupportPage))
            MsgBox(QStringLiteral("The page ") + g_sAppSupportPage + QStringLiteral(" cannot be opened."),
                   Msg::Information);
        return true;
    }
    if (key == QLatin1String("Open Default Player")) {
        mdlOnTop::SetFormOnTop(this, false);
        const QString file = cGrid1->Rows() > 0 ? selectedCell(*cGrid1, Row::File) : QString();
        if (!file.isEmpty())
            Services::instance().shell().open(file);
        return true;
    }
    handled = false;
    return true;
}
