#include "lists/frmStat.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "core/mdlSetFormIcon32.h"
#include "core/mdlSupportedFormats.h"
#include "lists/ItemProbeQueue.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRecordReader.h"
#include "lists/ItemsListRow.h"
#include "lists/ListOptions.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

bool g_bCancelAddFiles = false;
QString g_sStatText;
frmStat *g_frmStat = nullptr;

namespace {

namespace Row = ItemsListRow;

Row::Data rowForFile(const QString &path, const ItemProbe &probe, bool copyTags)
{
    Row::Data row;
    row.incIcon = Row::IconMarked;
    row.typeIcon = Row::IconAudio;
    row[Row::ItemName] = frmStat::getLegaName(mdlFunctions::GetFileName(path));
    ItemsListRecordReader::setFileFacts(row, probe);
    row[Row::File] = path;
    row[Row::Range] = QStringLiteral("All");
    row[Row::RangeAll] = QStringLiteral("1");
    if (copyTags) {
        ItemsListRecordReader::setTags(row, probe.tags);
    } else {
        ItemsListRecordReader::setTags(row, {.album = g_sTagAlbum,
                                             .artist = g_sTagArtist,
                                             .comment = g_sTagComment,
                                             .genre = g_sTagGenre,
                                             .title = g_sTagSong,
                                             .track = g_sTagTrack,
                                             .year = g_sTagYear});
    }
    return row;
}

} // namespace

frmStat::frmStat(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Add Files"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(font().pointSizeF());
    setFont(tahoma);

    lblStat = new QLabel(QStringLiteral("Adding"), this);
    lblStat->setMinimumWidth(360);
    cProgressBar1 = new QProgressBar(this);
    cProgressBar1->setTextVisible(false);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblStat);
    layout->addWidget(cProgressBar1);
    layout->addLayout(buttons);

    cAudioConverter1 = new cAudioConverter(this);
    tmrUpdate = new QTimer(this);
    tmrUpdate->setInterval(20);
    Timer1 = new QTimer(this);
    Timer1->setInterval(2000);

    connect(cmdCancel, &QPushButton::clicked, this, &frmStat::cmdCancel_Click);
    connect(tmrUpdate, &QTimer::timeout, this, &frmStat::tmrUpdate_Timer);
    g_frmStat = this;
}

frmStat::~frmStat()
{
    if (g_frmStat == this)
        g_frmStat = nullptr;
}

void frmStat::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("replace2"), true);
    g_bCancelAddFiles = false;
    g_sStatText = QStringLiteral("Adding");
    tmrUpdate->start();
}

void frmStat::Form_Unload(int &Cancel)
{
    Q_UNUSED(Cancel);
    cAudioConverter1->Terminate();
    cmdCancel_Click();
}

void frmStat::cmdCancel_Click()
{
    g_bCancelAddFiles = true;
}

void frmStat::tmrUpdate_Timer()
{
    lblStat->setText(g_sStatText);
}

void frmStat::closeEvent(QCloseEvent *event)
{
    // Closing while files are added is a Cancel: the add stops after the
    // file in hand and keeps every row written so far.
    int cancel = 0;
    Form_Unload(cancel);
    if (isVisible() && m_adding) {
        event->ignore();
        return;
    }
    event->accept();
}

void frmStat::reject()
{
    cmdCancel_Click();
}

bool frmStat::SupportAudioFile(const QString &sFileName)
{
    const QString ext = mdlFunctions::GetExtensionPart(sFileName).toLower();
    return mdlSupportedFormats::GetAudioOpenFilter().toLower().indexOf(ext) >= 0;
}

QString frmStat::getLegaName(const QString &sPath)
{
    QString name = sPath;
    for (const QChar c : QStringLiteral(":?<>\\/*|")) {
        const qsizetype at = name.indexOf(c);
        if (at >= 0)
            name.remove(at, 1);
    }
    return name;
}

QVariant frmStat::AddFilesToList(const QStringList &Data, cGrid *cGrid1, QWidget *frm)
{
    if (!cGrid1)
        return QVariant();
    auto *main = dynamic_cast<MainWindowFace *>(frm);
    if (frm && parentWidget() != frm)
        setParent(frm, windowFlags() | Qt::Dialog);
    setWindowModality(Qt::WindowModal);
    show();
    m_adding = true;

    const int count = int(Data.size());
    cProgressBar1->setMinimum(1);
    cProgressBar1->setMaximum(count + 1);
    cProgressBar1->setValue(1);
    cGrid1->setRedraw(false);
    const int rowsBefore = cGrid1->Rows();
    int added = 0;
    const bool copyTags = ListOptions::copyID3FromSource();

    // The tests of a path cost no more than a look at the file system, so
    // every candidate is known at once and all of them are opened ahead on
    // the workers while the rows go in one by one, in the order given.
    // A path that can no longer be read is still tried, so the user hears of it.
    std::vector<qsizetype> probeIndex(std::size_t(count), -1);
    QStringList candidates;
    for (int i = 0; i < count; ++i) {
        const QString &path = Data.at(i);
        const QFileInfo info(path);
        if (!mdlFunctions::IsFolder(path) && (!info.exists() || info.size() > 0) && SupportAudioFile(path)) {
            probeIndex[std::size_t(i)] = candidates.size();
            candidates << path;
        }
    }
    // The rows are only right for the grid they were counted on: another
    // list loaded, or rows taken away meanwhile, leave what is still to come
    // out of it.
    const QPointer<cGrid> grid = cGrid1;
    const quint64 generation = cGrid1->RowsGeneration();
    const auto listChanged = [&grid, generation] { return !grid || grid->RowsGeneration() != generation; };
    // Each result wakes the wait below through the event queue, so the
    // window keeps answering while a slow file is opened.
    QEventLoop waiting;
    QObject waker;
    ItemProbeQueue probes(candidates, copyTags, [&waker, &waiting] {
        QMetaObject::invokeMethod(&waker, [&waiting] { waiting.quit(); }, Qt::QueuedConnection);
    });
    bool stale = false;

    for (int i = 1; i <= count; ++i) {
        if (g_bCancelAddFiles)
            break;
        const QString path = Data.at(i - 1);
        if (const qsizetype index = probeIndex[std::size_t(i - 1)]; index >= 0) {
            ++added;
            std::optional<ItemProbe> probe;
            while (!(probe = probes.take(index)))
                waiting.exec();
            if (listChanged()) {
                stale = true;
                break;
            }
            if (!probe->opened) {
                MsgBox(QStringLiteral("Cannot add ") + path, Msg::Information);
                --added;
            } else {
                // The label's refresh shows the same text, so it stays up
                // while the file is added.
                g_sStatText = QStringLiteral("Adding ") + path;
                lblStat->setText(g_sStatText);
                setWindowTitle(g_sStatText);
                ItemsGrid::writeRow(*cGrid1, rowsBefore + added, rowForFile(path, probe.value(), copyTags));
            }
        }
        cProgressBar1->setValue(i);
        // Cancel, the label's timer and painting are served between files.
        QCoreApplication::processEvents();
        if (listChanged()) {
            stale = true;
            break;
        }
    }

    if (stale) {
        if (grid)
            grid->setRedraw(true);
        m_adding = false;
        hide();
        return QVariant();
    }
    cGrid1->setRedraw(true);
    m_adding = false;
    if (cGrid1->Rows() == 0) {
        if (main)
            main->setEmptyListMessageVisible(true);
        hide();
        return QVariant();
    }
    cGrid1->setSelectedRow(ListOptions::selectTheLastItem() ? cGrid1->Rows() : 1);
    if (main) {
        main->showSelectedItemInfo();
        main->setEmptyListMessageVisible(false);
    }
    cGrid1->setSelectedCol(2);
    if (main) {
        main->setPanelText(QStringLiteral("Items List Properties"),
                           QString::number(main->itemsGrid()->Rows()) + QStringLiteral(" Items."));
        main->setPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
    }
    hide();
    return QVariant();
}

namespace AddFiles {

frmStat *loadStat(QWidget *owner)
{
    if (g_frmStat)
        return nullptr;
    auto *form = new frmStat(owner);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->Form_Load();
    return form;
}

void unloadStat()
{
    if (g_frmStat) {
        QPointer<frmStat> form = g_frmStat;
        g_frmStat = nullptr;
        form->close();
    }
}

int addToSelectedList(MainWindowFace &main, const QStringList &paths)
{
    cGrid *grid = main.itemsGrid();
    cTreeNode *selected = main.selectedList();
    if (!grid || !selected)
        return 0;
    const QPointer<cTreeNode> node = selected;
    const QString key = selected->Key();
    frmStat *stat = loadStat(main.mainWidget());
    // One add at a time: a second one would write between the first one's rows.
    if (!stat)
        return 0;
    const int before = grid->Rows();
    stat->AddFilesToList(paths, grid, main.mainWidget());
    unloadStat();
    const int added = grid->Rows() - before;
    // The save goes to the list the rows were added to, never to another one.
    if (node && main.selectedList() == node && node->Key() == key)
        main.saveList();
    main.showListStatus();
    return added;
}

} // namespace AddFiles
