#include "lists/frmStat.h"

#include "controls/audio/cAudioConverter.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "core/mdlSetFormIcon32.h"
#include "core/mdlSupportedFormats.h"
#include "lists/ItemProbeCache.h"
#include "lists/ItemProbeQueue.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRecordReader.h"
#include "lists/ItemsListRow.h"
#include "lists/ListOptions.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"

#include <QCloseEvent>
#include <QElapsedTimer>
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
    // The workers go first: none may wake a window that is half gone.
    m_probes.reset();
    if (g_frmStat == this)
        g_frmStat = nullptr;
}

void frmStat::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("replace2"), false);
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
    // Ends the add now rather than when the file in hand has been opened.
    if (m_adding)
        wake();
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
    return mdlSupportedFormats::IsOfferedExtension(mdlFunctions::GetExtensionPart(sFileName));
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

void frmStat::AddFilesToList(const QStringList &Data, MainWindowFace &main)
{
    if (m_adding)
        return;
    QWidget *frm = main.mainWidget();
    if (frm && parentWidget() != frm)
        setParent(frm, windowFlags() | Qt::Dialog);
    setWindowModality(Qt::WindowModal);
    show();
    m_adding = true;

    m_paths = Data;
    m_owner = frm;
    m_main = &main;
    m_generation = main.listRowsGeneration();
    m_added = 0;
    m_next = 1;
    m_copyTags = ListOptions::copyID3FromSource();
    const int count = int(Data.size());
    cProgressBar1->setMinimum(1);
    cProgressBar1->setMaximum(count + 1);
    cProgressBar1->setValue(1);
    main.setListRedraw(false);

    // Every path is tested and opened ahead on the workers, the tests (a
    // look at the file system each) included, while the rows go in in the
    // order given. A path that can no longer be read is still tried, so the
    // user hears of it.
    m_probes = std::make_unique<ItemProbeQueue>(Data,
                                                m_dropped ? ItemProbeQueue::Kind::DroppedFiles
                                                          : ItemProbeQueue::Kind::AddedFiles,
                                                std::make_shared<ItemProbeCache>(ItemProbeCache::defaultFile()),
                                                [this] { wake(); });
    wake();
}

void frmStat::wake()
{
    if (!m_wakePending.exchange(true))
        QMetaObject::invokeMethod(this, &frmStat::step, Qt::QueuedConnection);
}

void frmStat::step()
{
    m_wakePending = false;
    // A message box shown for a file runs its own loop; a wake served there
    // waits for the step in hand, which asks for the next one itself.
    if (!m_adding || m_stepping)
        return;
    // The rows are only right for the grid they were counted on: another
    // list loaded, or rows taken away meanwhile, leave what is still to come
    // out of it.
    if (!m_owner || m_main->listRowsGeneration() != m_generation) {
        finish(true);
        return;
    }
    // The files whose results are in go in together, for a few milliseconds
    // at most, before the event loop is served again.
    QElapsedTimer slice;
    slice.start();
    QList<ItemsListRow::Data> rows;
    QString lastAdded;
    const auto writeRows = [&] {
        if (rows.isEmpty())
            return;
        // The label's refresh shows the same text, so it stays up while
        // the files are added.
        g_sStatText = QStringLiteral("Adding ") + lastAdded;
        lblStat->setText(g_sStatText);
        setWindowTitle(g_sStatText);
        m_main->appendRows(rows);
        m_added += int(rows.size());
        rows.clear();
    };
    bool waiting = false;
    while (!g_bCancelAddFiles && m_next <= m_paths.size() && slice.elapsed() < kSliceMs && rows.size() < kStepRows) {
        const int i = m_next;
        std::optional<ItemProbe> probe = m_probes->take(i - 1);
        // Not in yet: its worker wakes the window when it is.
        if (!probe) {
            waiting = true;
            break;
        }
        const QString &path = m_paths.at(i - 1);
        if (probe->opened) {
            rows << rowForFile(path, *probe, m_copyTags);
            lastAdded = path;
        } else if (probe->outcome != ItemProbe::Outcome::PassedOver) {
            writeRows();
            cProgressBar1->setValue(i);
            ++m_next;
            const QPointer<frmStat> self = this;
            m_stepping = true;
            MsgBox(QStringLiteral("Cannot add ") + path + QStringLiteral(": ") + refusalReason(probe->outcome),
                   Msg::Information);
            if (!self)
                return;
            m_stepping = false;
            // The list may have changed while the message was up.
            wake();
            return;
        }
        ++m_next;
    }
    writeRows();
    if (m_next > 1)
        cProgressBar1->setValue(qMin<int>(m_next - 1, int(m_paths.size())));
    if (g_bCancelAddFiles || m_next > m_paths.size()) {
        finish(false);
        return;
    }
    if (!waiting)
        wake();
}

void frmStat::finish(bool stale)
{
    m_probes.reset();
    m_adding = false;
    MainWindowFace *main = m_owner ? m_main : nullptr;
    if (main)
        main->setListRedraw(true);
    if (stale) {
        hide();
        emit finished(0);
        return;
    }
    if (!main) {
        hide();
        emit finished(m_added);
        return;
    }
    const int rows = main->listRowCount();
    if (rows == 0) {
        main->setEmptyListMessageVisible(true);
        hide();
        emit finished(m_added);
        return;
    }
    main->selectListCell(ListOptions::selectTheLastItem() ? rows : 1, 2);
    main->showSelectedItemInfo();
    main->setEmptyListMessageVisible(false);
    main->setPanelText(QStringLiteral("Items List Properties"), QString::number(rows) + QStringLiteral(" Items."));
    main->setPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
    hide();
    emit finished(m_added);
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

bool addToSelectedList(MainWindowFace &main, const QStringList &paths, std::function<void(int added)> done, Origin origin)
{
    const QString key = main.selectedListKey();
    if (key.isEmpty())
        return false;
    // The rows of a list still filling in are not all there yet: the add
    // follows them, if the list is still the one shown by then.
    if (main.listLoading()) {
        main.whenListLoaded([&main, key, paths, done = std::move(done), origin]() mutable {
            // Nothing is added while the program closes.
            if (main.selectedListKey() == key && !g_bAppClosing)
                addToSelectedList(main, paths, std::move(done), origin);
        });
        return true;
    }
    frmStat *stat = loadStat(main.mainWidget());
    // One add at a time: a second one would write between the first one's rows.
    if (!stat)
        return false;
    // The window is the main window's child, so the main window outlives it.
    QObject::connect(stat, &frmStat::finished, main.mainWidget(),
                     [&main, key, done = std::move(done)](int added) {
                         unloadStat();
                         // The save goes to the list the rows were added to, never to another one.
                         if (main.selectedListKey() == key)
                             main.saveList();
                         main.showListStatus();
                         if (done)
                             done(added);
                     });
    stat->setDropped(origin == Origin::Dropped);
    stat->AddFilesToList(paths, main);
    return true;
}

} // namespace AddFiles
