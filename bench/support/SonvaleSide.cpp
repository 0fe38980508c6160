#include "support/SonvaleSide.h"

#include "support/ChildProcess.h"
#include "support/OutputCheck.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include "app/StartUp.h"
#include "controls/ui/DataObject.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "core/forms.h"
#include "core/mdlMain.h"
#include "core/mdlModes.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"
#include "lists/ListOptions.h"
#include "lists/frmStat.h"
#include "mainwindow/frmMain.h"
#include "lists/ItemsListStore.h"
#include "platform/SettingsInstaller.h"
#include "platform/StallProbe.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "tools/convert/frmConverter.h"
#include "tools/frame/ToolWindow.h"
#include "tools/splitjoin/frmSplitter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace Bench {

namespace {

namespace Row = ItemsListRow;

constexpr int kNoLimitMs = 6 * 3600 * 1000;

struct Failure {
    QString text;
};

[[noreturn]] void fail(const QString &text)
{
    throw Failure{text};
}

// What a start of the program reads before its main window: the edition, the
// settings root as the installer makes it, the options and the audio formats.
void startAsFreshInstall()
{
    mdlModes::InitEdition();
    installTestServices();
    QString error;
    if (!SettingsInstaller::install(&error))
        fail(QStringLiteral("cannot install the settings: ") + error);
    Forms::loadOptions();
    Forms::loadAudioProp();
    // Nothing at the end of a job may wait for an answer or a countdown.
    g_bTurnOffComputer = false;
}

void printSettings()
{
    std::printf("note MP3 %d kbit/s, quality %d, %d Hz, mode %d, VBR tag %d, ABR %d; OGG %s %d; WAV %d Hz %d ch %d bit\n",
        g_lMp3Bitrate, g_lMp3Quality, g_lMp3SampleRate, g_lMp3Mode, int(g_bMp3VBRTag), int(g_bMp3ABR),
        g_bOggBitrateMode ? "bitrate" : "quality", g_bOggBitrateMode ? g_lOggNominalBitrate : g_lOggQuality,
        g_lWavSampleRate, g_lWavChannelsIndex + 1, g_lWavBitsPerSample);
}

void fixSettings()
{
    g_lMp3Bitrate = kFixedMp3Bitrate;
    g_lMp3Quality = kFixedMp3Quality;
    g_lMp3SampleRate = 44100;
    g_lMp3Mode = 1; // joint stereo
    g_bMp3VBRTag = false;
    g_bMp3ABR = false;
    g_bOggBitrateMode = false;
    g_bOggQualityMode = true;
    g_lOggQuality = kFixedOggQuality * 10;
    g_lWavSampleRate = 44100;
    g_lWavChannelsIndex = 1;
    g_lWavBitsPerSample = 16;
}

// A list file in the lists folder holding rows items, the files in turn.
void writeList(const QString &name, const QStringList &files, int rows)
{
    QList<ItemsListFile::Record> records;
    for (int i = 0; i < rows; ++i) {
        const QString &file = files.at(i % files.size());
        ItemsListFile::Record r;
        r[ItemsListFile::FieldInc] = QStringLiteral("1");
        r[ItemsListFile::FieldType] = QStringLiteral("Audio");
        r[ItemsListFile::FieldItemName] = QFileInfo(file).fileName();
        r[ItemsListFile::FieldFile] = file;
        r[ItemsListFile::FieldRangeAll] = QStringLiteral("1");
        records << r;
    }
    const QString folder = ListOptions::listsFolder();
    QDir().mkpath(folder);
    if (!ItemsListFile::write(folder + name, records))
        fail(QStringLiteral("cannot write the list ") + folder + name);
}

cTreeNode *listNode(const QString &text)
{
    cTreeNodes lists = g_oItemsListsRoot->Child();
    for (int i = 1; i <= lists.Count(); ++i) {
        if (lists.Item(i)->Text() == text)
            return lists.Item(i);
    }
    fail(QStringLiteral("the main window shows no list ") + text);
}

QString cell(const frmMain &main, int row, int column)
{
    return main.cGrid1->CellText(row, main.cGrid1->ColumnIndex(Row::key(column)));
}

// Every row names its file, in order, and shows a length: the file was read.
void checkRows(const frmMain &main, const QStringList &files, int rows)
{
    if (main.cGrid1->Rows() != rows)
        fail(QStringLiteral("the list shows %1 rows, not %2").arg(main.cGrid1->Rows()).arg(rows));
    for (int r = 1; r <= rows; ++r) {
        const QString &file = files.at((r - 1) % files.size());
        if (cell(main, r, Row::File) != file || cell(main, r, Row::Time).isEmpty())
            fail(QStringLiteral("row %1 shows '%2' lasting '%3', not %4")
                     .arg(r)
                     .arg(cell(main, r, Row::File), cell(main, r, Row::Time), file));
    }
}

void checkNoMessages()
{
    const QStringList messages = testServices().prompter->messageTexts();
    if (!messages.isEmpty())
        fail(QStringLiteral("the program asked: ") + messages.join(QStringLiteral(" | ")));
}

// The main window once its first list has filled in.
frmMain &loadMain()
{
    frmMain &main = Forms::loadMain();
    if (!waitUntil([&] { return !main.isLoadingList(); }, kNoLimitMs))
        fail(QStringLiteral("the first list did not load"));
    return main;
}

frmMain &mainWith(const QStringList &files)
{
    writeList(QStringLiteral("Bench.flst"), files, int(files.size()));
    frmMain &main = loadMain();
    checkRows(main, files, int(files.size()));
    return main;
}

// The longest time the UI thread went without serving events while a job
// ran, as the program's own stall probe measures it in the real program.
class StallWatch {
public:
    StallWatch()
        : m_path(QDir::tempPath() + QStringLiteral("/bench-stalls-%1.txt").arg(QCoreApplication::applicationPid()))
    {
        QFile::remove(m_path);
        std::FILE *file = std::fopen(QFile::encodeName(m_path).constData(), "a");
        if (!file)
            fail(QStringLiteral("cannot write ") + m_path);
        m_probe = std::make_unique<StallProbe>(file);
    }
    ~StallWatch()
    {
        m_probe.reset();
        QFile::remove(m_path);
    }

    // In milliseconds, of the waits that ended between from and to.
    double longestMs(qint64 from, qint64 to) const
    {
        QFile f(m_path);
        double longest = 0;
        if (!f.open(QIODevice::ReadOnly))
            return longest;
        for (const QByteArray &line : f.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 3 && parts[0] == "stall" && parts[1].toLongLong() >= from && parts[1].toLongLong() <= to)
                longest = std::max(longest, parts[2].toDouble() / 1000);
        }
        return longest;
    }

private:
    QString m_path;
    std::unique_ptr<StallProbe> m_probe;
};

struct Timed {
    double seconds = 0;
    double stallMs = 0;
};

void printFigure(const char *name, double value)
{
    std::printf("figure %s=%.6f\n", name, value);
}

void pickFormat(ToolWindow &w, const QString &format)
{
    const QString prefix = format.toUpper() + QStringLiteral(" - ");
    for (int i = 0; i < w.cboTargetFormat->count(); ++i) {
        if (w.cboTargetFormat->itemText(i).startsWith(prefix)) {
            w.cboTargetFormat->setCurrentIndex(i);
            return;
        }
    }
    fail(QStringLiteral("the window offers no format ") + format);
}

void printSeconds(qint64 startNs)
{
    std::printf("seconds %.6f\n", double(monotonicNs() - startNs) / 1e9);
}

// From the click on the start button to the window's end of the job.
void runJob(ToolWindow &w)
{
    const qint64 start = monotonicNs();
    w.cmdConvert->click();
    if (!waitUntil([&] { return !w.isRunning(); }, kNoLimitMs))
        fail(QStringLiteral("the job did not end"));
    printSeconds(start);
    checkNoMessages();
    if (w.m_bErrorOccurred != 0)
        fail(QStringLiteral("the job ended with an error"));
}

void convert(const QStringList &a)
{
    if (a.size() < 4)
        fail(QStringLiteral("convert <mp3|ogg> <default|fixed> <destination> <file>..."));
    startAsFreshInstall();
    if (a[1] == QLatin1String("fixed"))
        fixSettings();
    printSettings();
    const QStringList files = a.mid(3);
    frmMain &main = mainWith(files);
    frmConverter &w = Forms::loadConverter();
    QVector<ItemsListRow::Data> rows;
    for (int r = 1; r <= files.size(); ++r)
        rows << ItemsGrid::readRow(*main.cGrid1, r);
    w.HandOver(rows, QStringLiteral("Bench"));
    w.txtToPath->setEditText(a[2] + QLatin1Char('/'));
    pickFormat(w, a[0]);
    runJob(w);
}

void split(const QStringList &a)
{
    if (a.size() != 5)
        fail(QStringLiteral("split <wav|mp3> <default|fixed> <parts> <destination> <file>"));
    startAsFreshInstall();
    // Fixed: the parts keep the source's format, as the peers' do.
    if (a[1] == QLatin1String("fixed"))
        fixSettings();
    printSettings();
    frmMain &main = mainWith({a[4]});
    frmSplitter &w = Forms::loadSplitter();
    w.HandOver(ItemsGrid::readRow(*main.cGrid1, 1), QStringLiteral("Bench"));
    w.txtToPath->setEditText(a[3] + QLatin1Char('/'));
    pickFormat(w, a[0]);
    w.ptnSplitByParts->click();
    w.txtSplitParts->setText(a[2]);
    runJob(w);
}

// From the drop of the files on the items grid (the open dialog takes a
// thousand at a time) to the end of the add, the list's save included.
Timed timedAdd(frmMain &main, const QStringList &files, const StallWatch &stalls)
{
    const int before = main.cGrid1->Rows();
    const qint64 start = monotonicNs();
    main.cGrid1_OLEDragDrop(DataObject(files), 1, 1, 0, 0, 0);
    const auto done = [&] {
        return g_frmStat == nullptr && !main.isLoadingList() && !main.listStore().saving()
            && main.cGrid1->Rows() == before + files.size();
    };
    if (!waitUntil([&] { return done() || !testServices().prompter->messages.isEmpty(); }, kNoLimitMs))
        fail(QStringLiteral("adding did not end"));
    const qint64 end = monotonicNs();
    checkNoMessages();
    return {double(end - start) / 1e9, stalls.longestMs(start, end)};
}

// The files added to an empty list twice: first with nothing known of
// them, then, the list cleared, again with the probe cache warm.
void add(const QStringList &a)
{
    if (a.size() != 1)
        fail(QStringLiteral("add <folder>"));
    const QStringList files = filesIn(a[0]);
    startAsFreshInstall();
    writeList(QStringLiteral("Bench.flst"), {}, 0);
    frmMain &main = loadMain();
    const StallWatch stalls;
    const Timed cold = timedAdd(main, files, stalls);
    checkRows(main, files, int(files.size()));
    main.DoClearTheList();
    if (!waitUntil([&] { return !main.isLoadingList() && !main.listStore().saving(); }, kNoLimitMs) || main.cGrid1->Rows() != 0)
        fail(QStringLiteral("the list was not cleared"));
    const Timed warm = timedAdd(main, files, stalls);
    checkRows(main, files, int(files.size()));
    std::printf("seconds %.6f\n", warm.seconds);
    printFigure("cache cold, ms a file", cold.seconds * 1000 / double(files.size()));
    printFigure("longest UI stall, cache warm, ms", warm.stallMs);
    printFigure("longest UI stall, cache cold, ms", cold.stallMs);
}

void writeListOnly(const QStringList &a)
{
    if (a.size() != 2)
        fail(QStringLiteral("write-list <rows> <folder>"));
    startAsFreshInstall();
    writeList(QStringLiteral("Big list.flst"), filesIn(a[1]), a[0].toInt());
}

// From the click on the list to its last row in the grid.
Timed timedLoad(frmMain &main, cTreeNode *node, const StallWatch &stalls)
{
    const qint64 start = monotonicNs();
    main.cTreeView1_NodeClick(node);
    if (!waitUntil([&] { return !main.isLoadingList(); }, kNoLimitMs))
        fail(QStringLiteral("loading did not end"));
    const qint64 end = monotonicNs();
    checkNoMessages();
    return {double(end - start) / 1e9, stalls.longestMs(start, end)};
}

// The big list loaded twice: first with nothing known of its files, then,
// after a look at another list, with the probe cache warm.
void load(const QStringList &a)
{
    if (a.size() != 2)
        fail(QStringLiteral("load <rows> <folder>"));
    const int rows = a[0].toInt();
    const QStringList files = filesIn(a[1]).mid(0, rows);
    startAsFreshInstall();
    // The empty list comes first by name, so the window starts on it.
    writeList(QStringLiteral("A empty.flst"), {}, 0);
    writeList(QStringLiteral("Big list.flst"), files, rows);
    frmMain &main = loadMain();
    if (main.cGrid1->Rows() != 0)
        fail(QStringLiteral("the main window did not start on the empty list"));
    const StallWatch stalls;
    const Timed cold = timedLoad(main, listNode(QStringLiteral("Big list")), stalls);
    checkRows(main, files, rows);
    timedLoad(main, listNode(QStringLiteral("A empty")), stalls);
    const Timed warm = timedLoad(main, listNode(QStringLiteral("Big list")), stalls);
    checkRows(main, files, rows);
    std::printf("seconds %.6f\n", warm.seconds);
    printFigure("cache cold, s", cold.seconds);
    printFigure("longest UI stall, cache warm, ms", warm.stallMs);
    printFigure("longest UI stall, cache cold, ms", cold.stallMs);
}

} // namespace

int sideMain(const QStringList &args)
{
    const QString job = args.value(0);
    const QStringList rest = args.mid(1);
    try {
        if (job == QLatin1String("convert"))
            convert(rest);
        else if (job == QLatin1String("split"))
            split(rest);
        else if (job == QLatin1String("add"))
            add(rest);
        else if (job == QLatin1String("write-list"))
            writeListOnly(rest);
        else if (job == QLatin1String("load"))
            load(rest);
        else
            fail(QStringLiteral("no job ") + job);
    } catch (const Failure &f) {
        std::fprintf(stderr, "%s\n", qPrintable(f.text));
        std::fflush(stdout);
        std::_Exit(1);
    }
    // The windows' closing questions and saves are no part of a figure.
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace Bench
