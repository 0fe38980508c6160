// The main window's command table and its dispatcher, and the commands on
// the lists and on the items of a list.
#include "mainwindow/frmMain.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "controls/ui/cTreeView.h"
#include "core/forms.h"
#include "core/frmFileCopy.h"
#include "core/mdlCommDialog.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "lists/ItemsListRow.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

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

} // namespace

// --- Dispatcher -----------------------------------------------------------------

void frmMain::addCommand(const QString &key, Command command)
{
    Q_ASSERT(!m_commands.contains(key));
    m_commands.insert(key, std::move(command));
}

void frmMain::buildCommands()
{
    addListCommands();
    addItemCommands();
    addWindowCommands();
    addToolCommands();
    // The shell's requests run here; they come from the window's own thread.
    connect(this, &frmMain::CommandRequested, this, &frmMain::runRequestedCommand);
}

void frmMain::m_cMenu_Click(qint32 ItemNumber)
{
    // Item 0 is no item: it stands for a key the menu does not carry.
    if (ItemNumber == 0) {
        Q_EMIT PlayerStopRequested();
        return;
    }
    runCommand(m_cMenu->ItemKey(ItemNumber));
}

frmMain::CommandRun frmMain::runCommand(const QString &key)
{
    // A key that is no command is a fault of its caller: nothing happens.
    if (!isCommand(key)) {
        qWarning("The main window has no command \"%s\".", qUtf8Printable(key));
        return CommandRun::Unknown;
    }
    Q_EMIT PlayerStopRequested();
    const QPointer<frmMain> self(this);
    const bool refresh = dispatch(key);
    // A command that closed the window leaves nothing to refresh.
    if (!refresh || !self || Forms::main() != this)
        return CommandRun::EndedEarly;
    GetFileInfoToGridInfo();
    return CommandRun::Done;
}

// Runs the command of key; false when it ended early, without the refresh.
bool frmMain::dispatch(const QString &key)
{
    // A copy: a command may close the window and with it the table.
    const Command command = m_commands.value(key);
    if (command.waitsForRows && holdWhileLoading(key))
        return false;
    if (command.enabled && !command.enabled())
        return false;
    return command.run();
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
    runCommand(key);
}

// --- List commands ----------------------------------------------------------------

void frmMain::addListCommands()
{
    const auto nodeKey = [this] { return selectedKey(cTreeView1); };
    const auto aList = [this, nodeKey] {
        cTreeNode *node = cTreeView1->SelectedItem();
        return node && !IsMainNode(nodeKey());
    };
    addCommand(QStringLiteral("Add Files"), {[this] { return addFilesCommand(); }, {}, true});
    // Folders come in through the add window's own picker; the item only refreshes.
    addCommand(QStringLiteral("Add Directories"), {[] { return true; }, {}, true});
    addCommand(QStringLiteral("New Items List"), {[this] {
                                                      NewItemsList();
                                                      return true;
                                                  },
                                                  [nodeKey] {
                                                      return !nodeKey().startsWith(QLatin1String("##MAINCDS"))
                                                          && !IsCDNode(nodeKey());
                                                  }});
    addCommand(QStringLiteral("Rename Items List"),
               {[this] {
                    runCommand(QStringLiteral("Items List Properties"));
                    return true;
                },
                [this, aList] { return aList() && cTreeView1->SelectedItem()->Text() != QLatin1String("Items Lists"); }});
    addCommand(QStringLiteral("Remove Items List"), {[this] {
                                                         RemoveItemsList();
                                                         return true;
                                                     },
                                                     [aList, nodeKey] { return aList() && !IsCDNode(nodeKey()); }});
    addCommand(QStringLiteral("Items List Properties"), {[this] {
                                                             ShowItemsListProperties(cTreeView1->SelectedItem());
                                                             return true;
                                                         },
                                                         aList});
    addCommand(QStringLiteral("Open Destination Folder"), {[this] { return openDestinationFolder(); }});
    addCommand(QStringLiteral("Save As"), {[this] { return saveAsCommand(); }, {}, true});
}

bool frmMain::addFilesCommand()
{
    cTreeNode *node = cTreeView1->SelectedItem();
    const QString nodeKey = node ? node->Key() : QString();
    if (IsCDNode(nodeKey)) {
        MsgBox(QStringLiteral("Adding new items to the Audio CD List is not possible.") + blanks(20), Msg::Information);
        return false;
    }
    // Without a list there is nothing to add to.
    if (!node || IsMainNode(nodeKey))
        return false;
    AddFiles();
    activateWindow();
    return true;
}

bool frmMain::openDestinationFolder()
{
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

bool frmMain::saveAsCommand()
{
    if (IsCDNode(selectedKey(cTreeView1))) {
        MsgBox(QStringLiteral("Nothing to save.") + blanks(20), Msg::Information);
        return false;
    }
    if (cGrid1->Rows() == 0)
        return false;
    SaveAs();
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

void frmMain::addItemCommands()
{
    const auto anyRows = [this] { return cGrid1->Rows() > 0; };
    addCommand(QStringLiteral("MarkUnmark All"), {[this] {
                                                      SetAllItemsMark(!IsAnyItemMarked());
                                                      return true;
                                                  },
                                                  {}, true});
    addCommand(QStringLiteral("Rename Item"), {[this] {
                                                   mdlOnTop::SetFormOnTop(this, false);
                                                   cGrid1_DblClick(cGrid1->SelectedRow(), cGrid1->SelectedCol());
                                                   return true;
                                               },
                                               anyRows, true});
    addCommand(QStringLiteral("Remove Item"), {[this] { return removeItemCommand(); }, {}, true});
    addCommand(QStringLiteral("Clear the List"), {[this] {
                                                      requestClearTheList();
                                                      return true;
                                                  },
                                                  anyRows, true});
    for (const char *key : {"Move Up", "Move Down", "Move To First", "Move To Last"}) {
        const QString move = QString::fromLatin1(key);
        addCommand(move, {[this, move] { return moveCommand(move); }, anyRows, true});
    }
}

bool frmMain::removeItemCommand()
{
    if (IsCDNode(selectedKey(cTreeView1))) {
        MsgBox(QStringLiteral("Cannot remove items from Audio CD.") + blanks(20), Msg::Information);
        return false;
    }
    if (cGrid1->Rows() == 0)
        return false;
    requestRemoveSelectedItems();
    return true;
}

bool frmMain::moveCommand(const QString &key)
{
    const int rows = cGrid1->Rows();
    const int selected = cGrid1->SelectedRow();
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

