// Opening the tool windows that work on the items of the selected list: the
// checks of the selection and the marks, and what each window is handed.
#include "mainwindow/frmMain.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeNodes.h"
#include "controls/ui/cTreeView.h"
#include "core/WindowPlace.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRow.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "tools/burn/frmCDBurner.h"
#include "tools/burn/frmDataBurner3.h"
#include "tools/convert/frmACMConverter.h"
#include "tools/convert/frmConverter.h"
#include "tools/editor/frmAudioEditor.h"
#include "tools/editor/frmAudioEditorProc.h"
#include "tools/rip/frmCDRipper.h"
#include "tools/splitjoin/frmJoiner.h"
#include "tools/splitjoin/frmSplitter.h"

#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <optional>

namespace {

namespace Row = ItemsListRow;

// Opens one tool window on the items: loads it, hands it what it works on,
// shows it modally and lets it go.
using ToolLaunch = void (*)(frmMain &main, cTreeNode &node);

// The hourglass while the window loads and takes what it works on; then the
// window runs modally.
template <typename Window, typename HandOver>
void openTool(frmMain &main, Window &(*load)(QWidget *), HandOver handOver)
{
    main.setCursor(Qt::WaitCursor);
    Window &window = load(nullptr);
    handOver(window);
    main.unsetCursor();
    WindowPlace::centreOnOwner(&window, &main);
    window.exec();
    main.unsetCursor();
}

// Hands the window the count, the time and the size of the marked items as
// the main window counts them; returns the seconds.
template <typename Window>
qint32 handOverTotals(frmMain &main, Window &window, qint64 count, QLatin1String verb, const QString &listName)
{
    const qint32 seconds = main.GetTotalTime(true).toInt();
    window.setHandOverTexts(QString::number(count) + QStringLiteral(" items to ") + verb + QLatin1Char('.'),
                            QStringLiteral("Total Time: ") + mdlFunctions::SecondsToHMS(seconds),
                            QStringLiteral("Total Size: ") + main.GetTotalSize(true), listName);
    return seconds;
}

// The selected row; with rows but none current, the first marked row.
int currentOrFirstMarkedRow(const cGrid &grid)
{
    int row = grid.SelectedRow();
    if (row < 1) {
        const int inc = grid.ColumnIndex(Row::Inc);
        for (int i = 1; i <= grid.Rows() && row < 1; ++i) {
            if (grid.CellIcon(i, inc) == Row::IconMarked)
                row = i;
        }
    }
    return row;
}

void launchSplitter(frmMain &main, cTreeNode &node)
{
    cGrid &grid = *main.cGrid1;
    const int row = currentOrFirstMarkedRow(grid);
    openTool(main, &Forms::loadSplitter,
             [&](frmSplitter &window) { window.HandOver(ItemsGrid::readRow(grid, row), node.Text()); });
}

// The records of the marked rows in list order: what the tool windows work
// on, taken from the grid once.
QVector<Row::Data> markedRecords(const cGrid &grid)
{
    const int inc = grid.ColumnIndex(Row::Inc);
    QVector<Row::Data> marked;
    for (int i = 1; i <= grid.Rows(); ++i) {
        if (grid.CellIcon(i, inc) == Row::IconMarked)
            marked << ItemsGrid::readRow(grid, i);
    }
    return marked;
}

QVector<Row::Data> allRecords(const cGrid &grid)
{
    QVector<Row::Data> rows;
    rows.reserve(grid.Rows());
    for (int i = 1; i <= grid.Rows(); ++i)
        rows << ItemsGrid::readRow(grid, i);
    return rows;
}

// The converters' hand-over; the ACM converter also offers the files of the
// whole list and the selected item's to match a codec.
void handOverRows(frmConverter &window, const cGrid &grid, const QVector<Row::Data> &rows, const QString &listName)
{
    Q_UNUSED(grid)
    window.HandOver(rows, listName);
}

void handOverRows(frmACMConverter &window, const cGrid &grid, const QVector<Row::Data> &rows, const QString &listName)
{
    QStringList files;
    for (int i = 1; i <= grid.Rows(); ++i)
        files << grid.CellText(i, Row::File);
    const int selected = grid.SelectedRow();
    std::optional<QString> selectedFile;
    if (selected >= 1 && selected <= grid.Rows())
        selectedFile = grid.CellText(selected, Row::File);
    window.HandOver(rows, listName, files, selectedFile);
}

// The converters count their time left from the seconds the main window
// counts for the marked items.
template <typename Window>
void launchConverterWindow(frmMain &main, cTreeNode &node, Window &(*load)(QWidget *))
{
    cGrid &grid = *main.cGrid1;
    const QVector<Row::Data> marked = markedRecords(grid);
    openTool(main, load, [&](Window &window) {
        handOverRows(window, grid, marked, node.Text());
        window.g_ltmrItemSecsTotal =
            handOverTotals(main, window, marked.size(), QLatin1String("convert"), node.Text());
    });
}

void launchConverter(frmMain &main, cTreeNode &node)
{
    launchConverterWindow<frmConverter>(main, node, &Forms::loadConverter);
}

void launchACMConverter(frmMain &main, cTreeNode &node)
{
    launchConverterWindow<frmACMConverter>(main, node, &Forms::loadACMConverter);
}

// The ripper gets every track of the drive with its mark, so the user can
// still change which ones to rip, and its drive chosen and locked.
void launchRipper(frmMain &main, cTreeNode &node)
{
    cGrid &grid = *main.cGrid1;
    openTool(main, &Forms::loadCDRipper, [&](frmCDRipper &window) {
        window.HandOver(allRecords(grid), node.Text(), frmMain::GetCDNameNode(node.Key()));
        window.g_ltmrItemSecsTotal =
            handOverTotals(main, window, main.CountMarkedItems(), QLatin1String("convert"), node.Text());
    });
}

void launchJoiner(frmMain &main, cTreeNode &node)
{
    cGrid &grid = *main.cGrid1;
    const QVector<Row::Data> marked = markedRecords(grid);
    // The joiner counts no time left, so it is not handed the seconds.
    openTool(main, &Forms::loadJoiner, [&](frmJoiner &window) {
        window.HandOver(marked, node.Text());
        handOverTotals(main, window, main.CountMarkedItems(), QLatin1String("join"), node.Text());
    });
}

// The waveform editor on the selected item; an item that is not a WAV file
// is first converted into the editor's temporary WAV file.
void launchAnalyser(frmMain &main, cTreeNode &)
{
    cGrid &grid = *main.cGrid1;
    const int row = currentOrFirstMarkedRow(grid);
    const QString file = grid.CellText(row, Row::File);
    const QString itemName = grid.CellText(row, Row::ItemName);
    main.setCursor(Qt::WaitCursor);
    const QPointer<frmAudioEditor> editor(&Forms::loadAudioEditor(&main));
    main.g_bAbortedAudioEditor = false;
    QString wavPath = file;
    if (mdlFunctions::GetExtensionPart(file).toUpper() != QLatin1String("WAV")) {
        main.setCursor(Qt::WaitCursor);
        frmAudioEditorProc &proc = Forms::loadAudioEditorProc(&main);
        wavPath = AppPaths::programFolder() + QStringLiteral("/tmpeditor.wav");
        proc.ConvertFile(file, wavPath);
        main.unsetCursor();
        proc.exec();
    }
    if (editor && !main.g_bAbortedAudioEditor) {
        editor->openWave(wavPath, itemName);
        main.unsetCursor();
        editor->exec();
    } else if (editor) {
        // Not shown this time: it lets go of what it holds instead of
        // waiting hidden for the next command.
        Forms::unload(editor);
    }
    main.unsetCursor();
}

// The MP3 and WMA CD makers: the data CD burner set for the command's format.
void launchDataBurner(frmMain &main, cTreeNode &node, const QString &commandKey)
{
    cGrid &grid = *main.cGrid1;
    const QVector<Row::Data> marked = markedRecords(grid);
    openTool(main, &Forms::loadDataBurner3, [&](frmDataBurner3 &window) {
        window.HandOverCommand(commandKey, marked, node.Text());
        window.g_ltmrItemSecsTotal =
            handOverTotals(main, window, marked.size(), QLatin1String("burn"), node.Text());
    });
}

void launchMp3CdMaker(frmMain &main, cTreeNode &node)
{
    launchDataBurner(main, node, QStringLiteral("MP3 CD Maker"));
}

void launchWmaCdMaker(frmMain &main, cTreeNode &node)
{
    launchDataBurner(main, node, QStringLiteral("WMA CD Maker"));
}

void launchAudioCdMaker(frmMain &main, cTreeNode &node)
{
    Q_UNUSED(node)
    cGrid &grid = *main.cGrid1;
    const QVector<Row::Data> marked = markedRecords(grid);
    // The audio CD burner counts its own texts from the seconds it is handed.
    openTool(main, &Forms::loadCDBurner, [&](frmCDBurner &window) {
        window.HandOver(marked, main.GetTotalTime(true).toLongLong());
    });
}

struct ToolEntry {
    QLatin1String key;
    QLatin1String verb; // of "Mark the items to ..."
    ToolLaunch launch;  // null: the window is not part of this build
};

// The tool windows that open on the items of a list. A window that is not
// part of this build has no launch, and its command does nothing.
const ToolEntry kTools[] = {
    {QLatin1String("Audio Converter"), QLatin1String("convert"), launchConverter},
    {QLatin1String("MP3 CD Maker"), QLatin1String("burn"), launchMp3CdMaker},
    {QLatin1String("WMA CD Maker"), QLatin1String("burn"), launchWmaCdMaker},
    {QLatin1String("Audio CD Ripper"), QLatin1String("rip"), launchRipper},
    {QLatin1String("ACM Converter"), QLatin1String("convert"), launchACMConverter},
    {QLatin1String("Audio Joiner"), QLatin1String("join"), launchJoiner},
    {QLatin1String("Audio Splitter"), QLatin1String("split"), launchSplitter},
    {QLatin1String("Audio CD Maker"), QLatin1String("burn"), launchAudioCdMaker},
    // The waveform editor, on the selected item.
    {QLatin1String("Audio Analyser"), QLatin1String("edit"), launchAnalyser},
};

const ToolEntry *toolFor(const QString &key)
{
    for (const ToolEntry &entry : kTools) {
        if (key == entry.key)
            return &entry;
    }
    return nullptr;
}

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

} // namespace

void frmMain::addToolCommands()
{
    for (const ToolEntry &tool : kTools) {
        const QString key = tool.key;
        // A window that is not part of this build: its command only refreshes.
        if (!tool.launch) {
            addCommand(key, {[] { return true; }});
            continue;
        }
        // A tool takes the list's marked rows: all of them, once they are in.
        addCommand(key, {[this, key, launch = tool.launch] {
                             if (!toolGate(key))
                                 return false;
                             launch(*this, *cTreeView1->SelectedItem());
                             return true;
                         },
                         {}, true});
    }
}

// The checks before a tool opens; false when one stopped the command (after
// its message, or after running "Add Files" on an empty list).
bool frmMain::toolGate(const QString &key)
{
    const bool ripper = key == QLatin1String("Audio CD Ripper");
    const bool analyser = key == QLatin1String("Audio Analyser");
    cTreeNode *node = cTreeView1->SelectedItem();
    if (!node || IsMainNode(node->Key())) {
        MsgBox((ripper ? QStringLiteral("Select the Items List of the CD.") : QStringLiteral("Select the Items List."))
                   + blanks(40),
               Msg::Information);
        if (node && node->Child().Count() > 0)
            cTreeView1_NodeClick(node->Child().Item(1));
        return false;
    }
    if (ripper && !IsCDNode(node->Key())) {
        MsgBox(QStringLiteral("Select the the Audio CD device to rip from.") + blanks(40), Msg::Information);
        if (g_oAudioCDsRoot) {
            g_oAudioCDsRoot->setExpanded(true);
            if (g_oAudioCDsRoot->Child().Count() > 0)
                cTreeView1_NodeClick(g_oAudioCDsRoot->Child().Item(1));
        }
        return false;
    }
    if (!ripper && cGrid1->Rows() == 0) {
        runCommand(QStringLiteral("Add Files"));
        return false;
    }
    const qint32 marked = CountMarkedItems();
    if (marked == 0) {
        MsgBox(analyser ? QStringLiteral("Mark the item to edit.") + blanks(29)
                        : QStringLiteral("Mark the items to ") + toolFor(key)->verb + QStringLiteral(".") + blanks(29),
               Msg::Information);
        return false;
    }
    if (key == QLatin1String("Audio Joiner") && marked <= 1) {
        MsgBox(QStringLiteral("Nothing to join.") + blanks(55) + QStringLiteral("\r\n\r\n"), Msg::Information);
        return false;
    }
    return true;
}
