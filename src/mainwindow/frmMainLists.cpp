// The main window's items lists: the items grid and its list file, the tree
// of lists, the item information grid and the list status panel.
#include "mainwindow/frmMain.h"

#include "controls/ui/cGrid.h"
#include "controls/ui/cImageList.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cTreeView.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "core/mdlMain.h"
#include "core/mdlModes.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListFolder.h"
#include "lists/ItemProbeCache.h"
#include "lists/ItemsListLoad.h"
#include "lists/ItemsListStore.h"
#include "lists/ItemsTreeNodeKey.h"
#include "lists/ListImages.h"
#include "lists/ListOptions.h"
#include "lists/ListStatus.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"

#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>

QPointer<cTreeNode> g_oItemsListsRoot;
QPointer<cTreeNode> g_oAudioCDsRoot;

namespace {

namespace Row = ItemsListRow;

const QString kTwentyEightBlanks = QString(28, QLatin1Char(' '));

// Message boxes without a title of their own carry the application's.
QString appTitle()
{
    return QString();
}

// Keeps the empty-list panel centred near the top of the items grid, at its
// designed size or as large as its texts need, also when a text changes.
class EmptyPanelPlacer : public QObject {
public:
    EmptyPanelPlacer(QWidget *grid, QWidget *panel)
        : QObject(panel)
        , m_grid(grid)
        , m_panel(panel)
        , m_designed(panel->size())
    {
        grid->installEventFilter(this);
        panel->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool gridMoved
            = watched == m_grid && (event->type() == QEvent::Resize || event->type() == QEvent::Show);
        const bool textsChanged = watched == m_panel && event->type() == QEvent::LayoutRequest;
        if (gridMoved || textsChanged)
            place();
        return false;
    }

    void place()
    {
        m_panel->resize(m_panel->sizeHint().expandedTo(m_designed));
        m_panel->move((m_grid->width() - m_panel->width()) / 2, Twips::toPixels(1200));
    }

private:
    QWidget *m_grid;
    QWidget *m_panel;
    QSize m_designed;
};

} // namespace

// --- Window parts ------------------------------------------------------------

void frmMain::buildListPanes()
{
    imgGrid = new cImageList(this);
    ListImages::fillGridImages(*imgGrid);
    imgMenu = new cImageList(this);
    ListImages::fillMenuImages(*imgMenu);

    cTreeView1 = new cTreeView(this);
    cGrid1 = new cGrid(this);
    cGridInfo = new cGrid(this);
    lblListName = new QLabel(this);
    lblListName->setObjectName(QStringLiteral("lblListName"));

    picEmptyMsg = new QWidget(cGrid1);
    picEmptyMsg->setObjectName(QStringLiteral("picEmptyMsg"));
    picEmptyMsg->setAutoFillBackground(true);
    QPalette white = picEmptyMsg->palette();
    white.setColor(QPalette::Window, Qt::white);
    picEmptyMsg->setPalette(white);
    picEmptyMsg->resize(Twips::toPixels(3615), Twips::toPixels(735));
    lblEmptylist = new QLabel(QStringLiteral("Empty list."), picEmptyMsg);
    lblAddorDrag = new QLabel(QStringLiteral("Add or Drag and Drop audio files to here."), picEmptyMsg);
    auto *emptyLayout = new QVBoxLayout(picEmptyMsg);
    emptyLayout->addWidget(lblEmptylist, 0, Qt::AlignHCenter);
    emptyLayout->addWidget(lblAddorDrag, 0, Qt::AlignHCenter);
    picEmptyMsg->hide();
    new EmptyPanelPlacer(cGrid1, picEmptyMsg);

    prgStatus = new XP_ProgressBar(this);
    prgStatus->setMaximumWidth(Twips::toPixels(2400));
    prgStatus->hide();

    tmrCDs = new QTimer(this);
    tmrCDs->setInterval(5000);

    InitItemsGrid(cGrid1);
    SetGridInfoColumns();

    connect(cTreeView1, &cTreeView::NodeClick, this, &frmMain::cTreeView1_NodeClick);
    connect(cTreeView1, &cTreeView::AfterLabelEdit, this, &frmMain::cTreeView1_AfterLabelEdit);
    connect(cGrid1, &cGrid::SelectionChange, this, &frmMain::GetFileInfoToGridInfo);
}

QString frmMain::GetNotesToStatus() const
{
    const QString path = AppPaths::programFolder() + QStringLiteral("/Notes");
    if (!mdlFileSystem::FileExists(path))
        return ListStatus::notesStatusText(QString());
    return ListStatus::notesStatusText(mdlFunctions::ReadTextFile(path));
}

// --- Items grid and list file -------------------------------------------------

void frmMain::InitItemsGrid(cGrid *grid)
{
    if (grid)
        ItemsGrid::InitItemsGrid(*grid, imgGrid, ItemsGrid::Variant::Main);
}

void frmMain::SaveGridToFile()
{
    cTreeNode *node = cTreeView1 ? cTreeView1->SelectedItem() : nullptr;
    if (!node)
        return;
    // A row changed while its list fills in is saved once the list is whole.
    if (m_listLoad) {
        m_bSaveAfterLoad = true;
        return;
    }
    const QString key = node->Key();
    // Only the list the grid was filled from, read whole, and only a file
    // in the lists folder: anything else would overwrite a list with rows
    // that are not its own.
    if (node != m_oLoadedListNode || !m_bLoadedListComplete
        || !ItemsTreeNodeKey::isListFileKey(key, ListOptions::listsFolder()))
        return;
    // The rows are taken now; the text is made and written on the store's
    // worker, after every save asked for before.
    m_listStore->save(key, ItemsGrid::storedRows(*cGrid1));
}

bool frmMain::IsMainNode(const QString &sKey)
{
    return ItemsTreeNodeKey::IsMainNode(sKey);
}

bool frmMain::IsCDNode(const QString &sKey)
{
    return ItemsTreeNodeKey::IsCDNode(sKey);
}

QString frmMain::GetCDNameNode(const QString &sKey)
{
    return ItemsTreeNodeKey::GetCDNameNode(sKey);
}

int frmMain::GetTypeIcon(const QString &sType)
{
    return Row::GetTypeIcon(sType);
}

// --- Tree of lists -------------------------------------------------------------

QString frmMain::GetNewItemsListFileName(const QString &folder)
{
    return ItemsListFolder::GetNewItemsListFileName(folder);
}

void frmMain::setTree()
{
    cTreeView1->Nodes().Clear();
    g_oItemsListsRoot = nullptr;
    g_oAudioCDsRoot = nullptr;

    const QString folder = ListOptions::listsFolder();
    if (ItemsListFolder::holdsNoFile(folder)) {
        mdlFunctions::MakeFolderPath(folder);
        QFile first(folder + GetNewItemsListFileName(folder));
        if (first.open(QIODevice::NewOnly))
            first.close();
    }

    cTreeView1->setImageList(imgMenu);

    if (g_lAppIncItemsLists == 1) {
        cTreeNode *root = cTreeView1->Nodes().Add(nullptr, cTreeNodes::First, ItemsTreeNodeKey::listsRootKey(folder),
                                                  QStringLiteral("Items Lists"), 17, 17);
        g_oItemsListsRoot = root;
        if (root) {
            for (const QString &name : ItemsListFolder::listFileNames(folder))
                root->Child().Add(root, cTreeNodes::Child, ItemsTreeNodeKey::listKey(folder, name),
                                  mdlFunctions::RemoveExtension(name), 42, 43);
            if (root->Child().Count() > 0) {
                root->setSetupFlag(true);
                root->setExpanded(true);
            } else {
                cTreeView1->setLabelEdit(true);
            }
        }
    }

    if (g_lAppIncCDRipper == 1) {
        cTreeNode *root = cTreeView1->Nodes().Add(nullptr, cTreeNodes::Next, ItemsTreeNodeKey::cdRootKey(),
                                                  QStringLiteral("Audio CDs"), 71, 71);
        g_oAudioCDsRoot = root;
        if (root) {
            for (const QString &device : cdDeviceNames())
                root->Child().Add(root, cTreeNodes::Child, ItemsTreeNodeKey::driveKey(device), device.left(2), 25, 25);
            root->setExpanded(true);
        }
    }
}

void frmMain::loadFirstNode()
{
    if (g_lAppIncItemsLists == 1) {
        if (g_oItemsListsRoot && g_oItemsListsRoot->Child().Count() > 0)
            cTreeView1_NodeClick(g_oItemsListsRoot->Child().Item(1));
        else
            NewItemsList();
    } else if (g_oAudioCDsRoot && g_oAudioCDsRoot->Child().Count() > 0) {
        cTreeView1_NodeClick(g_oAudioCDsRoot->Child().Item(1));
    }
}

void frmMain::cTreeView1_NodeClick(cTreeNode *Node)
{
    // A list still loading is given up for the node clicked; its file is
    // left as it is. Only a CD listing (filled in this one call) is never cut.
    if (!m_listLoad && !prgStatus->isHidden())
        return;
    if (!Node)
        return;
    if (IsMainNode(Node->Key())) {
        stopListLoad();
        cGrid1->Clear();
        m_oLoadedListNode = nullptr;
        return;
    }
    stopPlayerIfPlaying();

    Node->setSelected(true);
    lblListName->setText(Node->Text());
    tmrCDs->stop();

    if (IsCDNode(Node->Key())) {
        stopListLoad();
        m_oLoadedListNode = nullptr;
        tmrCDs->start();
        FillGridWithCDTracks(GetCDNameNode(Node->Key()));
        GetFileInfoToGridInfo();
        return;
    }
    loadListNode(Node);
}

void frmMain::stopListLoad()
{
    if (!m_listLoad)
        return;
    // Stopped where it is: the rows read so far are no whole list, so
    // nothing may be saved from them.
    m_listLoad.reset();
    m_oLoadedListNode = nullptr;
    m_bLoadedListComplete = false;
    m_bSaveAfterLoad = false;
    // A command held for the rows has no rows to run on now.
    m_sHeldCommand.clear();
    m_oHeldCommandNode = nullptr;
    prgStatus->hide();
    unsetCursor();
    emit loadFinished();
}

void frmMain::loadListNode(cTreeNode *Node)
{
    // A load replaced by another one ends with that one.
    m_listLoad.reset();
    const QPointer<cTreeNode> node(Node);
    const QString key = Node->Key();
    const QString name = Node->Text();
    m_oLoadedListNode = nullptr;
    m_bLoadedListComplete = false;
    m_bSaveAfterLoad = false;

    // The list fills in while the window is used, so the pointer says
    // "busy" without taking the mouse away.
    setCursor(Qt::BusyCursor);
    cGrid1->Clear();
    cGrid1->setImageList(imgGrid);
    prgStatus->setValue(0);
    prgStatus->setMax(0);
    prgStatus->show();

    ItemsListLoad::Sink sink;
    sink.counted = [this](int records) { prgStatus->setMax(records); };
    sink.rows = [this](const QList<Row::Data> &rows) {
        if (cGrid1->Rows() == 0)
            picEmptyMsg->hide();
        ItemsGrid::appendRows(*cGrid1, rows);
        prgStatus->setValue(cGrid1->Rows());
    };
    sink.ended = [this, node, name](bool complete) { endListLoad(node, name, complete); };
    m_listLoad = std::make_unique<ItemsListLoad>(*m_listStore, std::make_shared<ItemProbeCache>(ItemProbeCache::defaultFile()),
                                                 ListOptions::copyID3FromSource(), std::move(sink));
    // A key that names no list file of ours is shown empty and never written.
    m_listLoad->start(key, ItemsTreeNodeKey::isListFileKey(key, ListOptions::listsFolder()));
}

void frmMain::endListLoad(const QPointer<cTreeNode> &node, const QString &name, bool complete)
{
    // The load object goes once this call has returned to it.
    if (m_listLoad)
        m_listLoad.release()->deleteLater();
    lblAddorDrag->setText(QStringLiteral("Add or Drag and Drop audio items to here."));
    if (cGrid1->Rows() > 0) {
        picEmptyMsg->hide();
        cGrid1->setRedraw(true);
        // A row the user picked while the list filled in stays picked.
        if (cGrid1->SelectedRow() < 1)
            cGrid1->setSelectedRow(ListOptions::selectTheLastItem() ? cGrid1->Rows() : 1);
        setPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
    } else {
        cGrid1->setRedraw(true);
        picEmptyMsg->show();
        picEmptyMsg->raise();
    }
    m_oLoadedListNode = node;
    m_bLoadedListComplete = complete;

    GetFileInfoToGridInfo();
    DisplayGridInfoStatusBar();
    prgStatus->hide();
    unsetCursor();

    // Rows changed while the list filled in are written now that it is whole.
    if (std::exchange(m_bSaveAfterLoad, false))
        SaveGridToFile();
    emit loadFinished();
    runHeldCommand();

    if (!complete) {
        MsgBox(QStringLiteral("The Items List '") + name
                   + QStringLiteral("' cannot be read. It is kept as it is and nothing is saved into it."),
               Msg::Information, appTitle());
    }
}

void frmMain::cTreeView1_AfterLabelEdit(cTreeNode *Node, const QString &NewString, bool &Cancel)
{
    if (!Node)
        return;
    if (cTreeNode *selected = cTreeView1->SelectedItem())
        selected->setSelected(false);
    if (IsCDNode(Node->Key()))
        return;
    if (NewString.isEmpty()) {
        Node->StartLabelEdit();
        Cancel = true;
        return;
    }
    if (NewString == Node->Text())
        return;
    if (!mdlFunctions::IsValidName(NewString)) {
        Node->StartLabelEdit();
        Cancel = true;
        return;
    }

    const QString folder = ListOptions::listsFolder();
    const QString oldKey = Node->Key();
    const auto refuse = [&Cancel](int error, const QString &description) {
        MsgBox(description + QStringLiteral(" (") + QString::number(error) + QStringLiteral(").") + kTwentyEightBlanks,
               Msg::Information, appTitle());
        Cancel = true;
    };
    // A root's key names no file; it is never handed to the file system.
    if (!ItemsTreeNodeKey::isListFileKey(oldKey, folder)) {
        refuse(ENOENT, QString::fromLocal8Bit(std::strerror(ENOENT)));
        return;
    }
    const QString newName = NewString + QStringLiteral(".flst");
    if (ItemsListFolder::nameTaken(folder, newName)) {
        MsgBox(QStringLiteral("The Items List '") + NewString
                   + QStringLiteral("' already exists. Please select a different name."),
               Msg::Information, appTitle());
        Node->StartLabelEdit();
        Cancel = true;
        return;
    }
    const QString newKey = ItemsTreeNodeKey::listKey(folder, newName);
    const ItemsListFolder::RenameResult renamed = ItemsListFolder::renameListFile(oldKey, newKey);
    if (!renamed.ok) {
        refuse(renamed.error, renamed.description);
        return;
    }
    if (!Node->setKey(newKey)) {
        ItemsListFolder::renameListFile(newKey, oldKey);
        refuse(EEXIST, QString::fromLocal8Bit(std::strerror(EEXIST)));
        return;
    }
    cTreeView1_NodeClick(Node);
    lblListName->setText(NewString);
}

void frmMain::RemoveItemsList()
{
    if (!g_oItemsListsRoot || g_oItemsListsRoot->Child().Count() < 2)
        return;
    cTreeNode *node = cTreeView1->SelectedItem();
    if (!node)
        return;
    const QString key = node->Key();
    if (!ItemsTreeNodeKey::isListFileKey(key, ListOptions::listsFolder()))
        return;
    const ItemsListFile::ReadResult file = ItemsListFile::read(key);
    if (!file.complete || file.text.contains(QLatin1String("<ITEM>"))) {
        const int answer
            = MsgBox(QStringLiteral("This operation will erase all the items under the '")
                         + mdlFunctions::GetFileName(key) + QStringLiteral("', are you sure?"),
                     int(Msg::YesNo) + int(Msg::Information), appTitle());
        if (answer == Msg::No)
            return;
    }
    QFile::remove(key);
    node->Delete();

    cTreeNodes lists = g_oItemsListsRoot->Child();
    if (lists.Count() > 0)
        cTreeView1_NodeClick(lists.Item(lists.Count()));
    else
        cTreeView1_NodeClick(cTreeView1->SelectedItem());
}

bool frmMain::SelectListIfMainNode()
{
    cTreeNode *selected = cTreeView1->SelectedItem();
    if (!selected || !IsMainNode(selected->Key()))
        return false;
    MsgBox(QStringLiteral("Select the Items List.") + QString(40, QLatin1Char(' ')), Msg::Information, appTitle());
    if (selected->Child().Count() > 0)
        cTreeView1_NodeClick(selected->Child().Item(1));
    return true;
}

void frmMain::NewItemsList()
{
    // From the "Items Lists" root too: that is how a lists folder without a
    // list gets its first one.
    if (cTreeNode *selected = cTreeView1->SelectedItem()) {
        if (selected->Key().startsWith(QLatin1String("##MAINCDS")) || IsCDNode(selected->Key()))
            return;
    }
    if (!g_oItemsListsRoot)
        return;
    const QString folder = ListOptions::listsFolder();
    mdlFunctions::MakeFolderPath(folder);
    const QString name = GetNewItemsListFileName(folder);
    QFile file(folder + name);
    if (!file.open(QIODevice::NewOnly)) {
        MsgBox(QStringLiteral("The Items List '") + folder + name + QStringLiteral("' cannot be created: ")
                   + file.errorString() + QLatin1Char('.'),
               Msg::Information, appTitle());
        return;
    }
    file.close();
    cTreeNode *node = g_oItemsListsRoot->Child().Add(g_oItemsListsRoot, cTreeNodes::Child,
                                                     ItemsTreeNodeKey::listKey(folder, name),
                                                     mdlFunctions::RemoveExtension(name), 42, 43);
    if (!node)
        return;
    g_oItemsListsRoot->setExpanded(true);
    cTreeView1_NodeClick(node);
    cTreeView1->setLabelEdit(true);
    if (isVisible()) {
        node->StartLabelEdit();
    } else {
        // At load the window is not shown yet; the label opens once it is.
        QTimer::singleShot(0, this, [guard = QPointer<cTreeNode>(node)] {
            if (guard)
                guard->StartLabelEdit();
        });
    }
}

// --- Item information and list status ------------------------------------------

void frmMain::SetGridInfoColumns()
{
    cGridInfo->setRowHeight(20);
    cGridInfo->AddColumn(QStringLiteral("Name"), QStringLiteral("Name"), 0, -1, 70);
    cGridInfo->AddColumn(QStringLiteral("Value"), QStringLiteral("Value"), 0, -1, 150);
    cGridInfo->setFillColumn(2);
    cGridInfo->setSetupFlag44(true);
    cGridInfo->setGridLines(true);
    cGridInfo->setSetupFlag18(true);
    cGridInfo->setSetupFlag68(false);
}

void frmMain::GetFileInfoToGridInfo()
{
    cGridInfo->Clear();
    if (cGrid1->Rows() == 0)
        return;
    cGridInfo->setRedraw(false);
    const int s = cGrid1->SelectedRow();
    const auto cell = [this, s](Row::Column column) {
        return s >= 1 ? cGrid1->CellText(s, column) : QString();
    };
    ListStatus::ItemFacts item;
    item.itemName = cell(Row::ItemName);
    item.time = cell(Row::Time);
    item.size = cell(Row::Size);
    item.created = cell(Row::Created);
    item.file = cell(Row::File);
    item.row = s;
    const auto rows = ListStatus::itemInfoRows(item, ListStatus::probePlayerFacts(item.file));
    int n = 0;
    for (const auto &[name, value] : rows) {
        ++n;
        cGridInfo->SetCell(n, 1, name);
        cGridInfo->SetCell(n, 2, value);
    }
    cGridInfo->setRedraw(true);
    unsetCursor();
}

void frmMain::DisplayGridInfoStatusBar()
{
    const int rows = cGrid1->Rows();
    setPanelText(QStringLiteral("Items List Properties"),
                 ListStatus::listStatusText(rows, ItemsGrid::totalBytes(*cGrid1, false),
                                            ItemsGrid::totalSeconds(*cGrid1, false)));
}

QString frmMain::GetTotalTime(bool bMarkedOnly) const
{
    return QString::number(ItemsGrid::totalSeconds(*cGrid1, bMarkedOnly));
}

QString frmMain::GetTotalSize(bool bMarkedOnly) const
{
    return mdlMain::FormatByteSize(ItemsGrid::totalBytes(*cGrid1, bMarkedOnly));
}
