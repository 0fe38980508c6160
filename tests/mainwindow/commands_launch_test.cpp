#include "support/MainWindowFixture.h"

#include "controls/ui/cStatusBar.h"
#include "core/mdlFileSystem.h"
#include "tools/burn/frmCDBurner.h"
#include "tools/burn/frmDataBurner3.h"
#include "tools/convert/frmACMConverter.h"
#include "tools/convert/frmConverter.h"
#include "tools/splitjoin/frmJoiner.h"
#include "tools/splitjoin/frmSplitter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

namespace Row = ItemsListRow;

using ToolLaunch = MainWindowTest;

// What a tool window held when it came on screen.
struct Shown {
    bool splitter = false;
    bool joiner = false;
    bool converter = false;
    bool acmConverter = false;
    bool dataBurner = false;
    bool cdBurner = false;
    QString title, targetFormat, cdName, dataSize;
    qint32 secondsTotal = -1;
    QString caption, timePanel, sizePanel, subFolder, fileToSplit;
    QStringList rows; // item names of its grid
};

void watchTool(Shown &shown)
{
    MainWindowTest::onNextModal([&shown](QWidget *w) {
        auto *tool = qobject_cast<ToolWindow *>(w);
        if (!tool)
            return;
        shown.splitter = qobject_cast<frmSplitter *>(w) != nullptr;
        shown.joiner = qobject_cast<frmJoiner *>(w) != nullptr;
        shown.converter = qobject_cast<frmConverter *>(w) != nullptr;
        shown.acmConverter = qobject_cast<frmACMConverter *>(w) != nullptr;
        if (auto *burner = qobject_cast<frmDataBurner3 *>(w)) {
            shown.dataBurner = true;
            shown.targetFormat = burner->cboTargetFormat->currentText();
            shown.cdName = burner->txtCDName->text();
        }
        if (auto *burner = qobject_cast<frmCDBurner *>(w)) {
            shown.cdBurner = true;
            shown.dataSize = burner->lblDataSize->text();
        }
        shown.title = tool->windowTitle();
        if (auto *rows = qobject_cast<RowJobWindow *>(w))
            shown.secondsTotal = rows->g_ltmrItemSecsTotal;
        shown.caption = tool->lblFilesToConvert->text();
        shown.timePanel = tool->cStatusBar1->PanelText(QStringLiteral("Total Size"));
        shown.sizePanel = tool->cStatusBar1->PanelText(QStringLiteral("Total Time"));
        shown.subFolder = tool->txtUndeForlder->text();
        if (auto *splitter = qobject_cast<frmSplitter *>(w))
            shown.fileToSplit = splitter->g_sFileToSplit;
        for (int i = 1; i <= tool->cGrid1->Rows(); ++i)
            shown.rows << tool->cGrid1->CellText(i, tool->cGrid1->ColumnIndex(Row::key(Row::ItemName)));
    });
}

TEST_F(ToolLaunch, TheGateSpeaksAndOpensNothing)
{
    const QString blanks29(29, QLatin1Char(' '));
    const struct {
        const char *key;
        QString marks; // of one, two, three
        QString message;
    } cases[] = {
        {"Audio Splitter", "000", QStringLiteral("Mark the items to split.") + blanks29},
        {"Audio Joiner", "000", QStringLiteral("Mark the items to join.") + blanks29},
        {"Audio Joiner", "010",
         QStringLiteral("Nothing to join.") + QString(55, QLatin1Char(' ')) + QStringLiteral("\r\n\r\n")},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(std::string(test.key) + " " + test.marks.toStdString());
        frmMain &main = loadSongs();
        for (int row = 1; row <= 3; ++row)
            main.cGrid1->setCellIcon(row, 1, test.marks.at(row - 1) == QLatin1Char('1') ? 1 : 0);
        testServices().prompter->messages.clear();
        clearInfo(main);
        run(main, QString::fromLatin1(test.key));
        EXPECT_EQ(messages(), QStringList{test.message});
        EXPECT_EQ(Forms::splitter(), nullptr);
        EXPECT_EQ(Forms::joiner(), nullptr);
        EXPECT_FALSE(infoRefreshed(main));
        Forms::unload(&main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ToolLaunch, OnTheRootTheFirstListIsLoadedInstead)
{
    frmMain &main = loadSongs();
    g_oItemsListsRoot->setSelected(true);
    main.cGrid1->Clear();
    run(main, QStringLiteral("Audio Joiner"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Select the Items List.") + QString(40, QLatin1Char(' '))});
    EXPECT_EQ(main.cTreeView1->SelectedItem(), g_oItemsListsRoot->Child().Item(1));
    EXPECT_TRUE(ListLoads::settle(main));
    EXPECT_GT(main.cGrid1->Rows(), 0);
    EXPECT_EQ(Forms::joiner(), nullptr);
}

TEST_F(ToolLaunch, TheSplitterGetsTheSelectedRowNotTheMarkedOne)
{
    frmMain &main = loadSongs();
    main.cGrid1->setSelectedRow(2); // "two", unmarked; "one" is marked
    Shown shown;
    watchTool(shown);
    clearInfo(main);
    run(main, QStringLiteral("Audio Splitter"));
    EXPECT_TRUE(shown.splitter);
    EXPECT_EQ(shown.caption, QStringLiteral("Split: two"));
    EXPECT_EQ(shown.timePanel, QStringLiteral("Total Time: ") + cell(main, 2, Row::Time));
    EXPECT_EQ(shown.sizePanel, QStringLiteral("Total Size: ")
                                   + mdlFileSystem::FormatFileSize(cell(main, 2, Row::BytesSize).toDouble()));
    EXPECT_EQ(shown.subFolder, QStringLiteral("Songs"));
    EXPECT_EQ(shown.fileToSplit, b);
    EXPECT_EQ(shown.rows, QStringList{QStringLiteral("two")});
    EXPECT_TRUE(infoRefreshed(main));
}

TEST_F(ToolLaunch, TheJoinerGetsTheMarkedRowsWithTheirTotals)
{
    frmMain &main = loadSongs();
    main.cGrid1->setCellIcon(3, 1, 1); // "one" and "three" marked
    Shown shown;
    watchTool(shown);
    run(main, QStringLiteral("Audio Joiner"));
    EXPECT_TRUE(shown.joiner);
    EXPECT_EQ(shown.caption, QStringLiteral("2 items to join."));
    // One second and three seconds.
    EXPECT_EQ(shown.timePanel, QStringLiteral("Total Time: 0:00:04"));
    EXPECT_EQ(shown.sizePanel, QStringLiteral("Total Size: ") + main.GetTotalSize(true));
    EXPECT_EQ(shown.subFolder, QStringLiteral("Songs"));
    EXPECT_EQ(shown.rows, (QStringList{QStringLiteral("one"), QStringLiteral("three")}));

    // A second launch starts from an empty tool grid.
    main.cGrid1->setCellIcon(1, 1, 0);
    main.cGrid1->setCellIcon(2, 1, 1);
    Shown again;
    watchTool(again);
    run(main, QStringLiteral("Audio Joiner"));
    EXPECT_EQ(again.rows, (QStringList{QStringLiteral("two"), QStringLiteral("three")}));
}

TEST_F(ToolLaunch, TheConvertersGetTheMarkedRowsAndTheSecondsForTheirEstimate)
{
    for (const char *key : {"Audio Converter", "ACM Converter"}) {
        SCOPED_TRACE(key);
        frmMain &main = loadSongs();
        main.cGrid1->setCellIcon(3, 1, 1); // "one" and "three" marked
        Shown shown;
        watchTool(shown);
        run(main, QString::fromLatin1(key));
        EXPECT_EQ(shown.converter, QLatin1String(key) == QLatin1String("Audio Converter"));
        EXPECT_EQ(shown.acmConverter, QLatin1String(key) == QLatin1String("ACM Converter"));
        EXPECT_EQ(shown.caption, QStringLiteral("2 items to convert."));
        EXPECT_EQ(shown.secondsTotal, 4);
        EXPECT_EQ(shown.timePanel, QStringLiteral("Total Time: 0:00:04"));
        EXPECT_EQ(shown.sizePanel, QStringLiteral("Total Size: ") + main.GetTotalSize(true));
        EXPECT_EQ(shown.subFolder, QStringLiteral("Songs"));
        EXPECT_EQ(shown.rows, (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
    }
}

TEST_F(ToolLaunch, TheCdMakersOpenTheBurnersOnTheMarkedRows)
{
    const struct {
        const char *key;
        const char *format;
    } makers[] = {
        {"MP3 CD Maker", "MP3 - MPEG-1 Audio Layer 3 (*.mp3)"},
        {"WMA CD Maker", "WMA - Windows Media Audio files (*.wma)"},
    };
    for (const auto &maker : makers) {
        SCOPED_TRACE(maker.key);
        frmMain &main = loadSongs();
        main.cGrid1->setCellIcon(3, 1, 1); // "one" and "three" marked
        Shown shown;
        watchTool(shown);
        run(main, QString::fromLatin1(maker.key));
        EXPECT_TRUE(shown.dataBurner);
        EXPECT_EQ(shown.title, QLatin1String(maker.key));
        EXPECT_EQ(shown.targetFormat, QLatin1String(maker.format));
        EXPECT_EQ(shown.caption, QStringLiteral("2 items to burn."));
        EXPECT_EQ(shown.secondsTotal, 4);
        EXPECT_EQ(shown.timePanel, QStringLiteral("Total Time: 0:00:04"));
        EXPECT_EQ(shown.sizePanel, QStringLiteral("Total Size: ") + main.GetTotalSize(true));
        EXPECT_EQ(shown.cdName, QStringLiteral("Songs"));
        EXPECT_EQ(shown.rows, (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
    }

    frmMain &main = loadSongs();
    main.cGrid1->setCellIcon(3, 1, 1);
    Shown shown;
    watchTool(shown);
    run(main, QStringLiteral("Audio CD Maker"));
    EXPECT_TRUE(shown.cdBurner);
    EXPECT_EQ(shown.caption, QStringLiteral("2 items to burn (0 minutes)."));
    EXPECT_EQ(shown.timePanel, QStringLiteral("0 Min / 80 Min."));
    EXPECT_EQ(shown.sizePanel, QString());
    EXPECT_EQ(shown.dataSize, QStringLiteral("Data Size: 2 files, 0 Min / 80 Min."));
    EXPECT_EQ(shown.rows, (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
}

TEST_F(ToolLaunch, AListNameIsMadeSafeForTheSubFolder)
{
    a = wav(QStringLiteral("a.wav"));
    writeList(QStringLiteral("Live: 2026.flst"), rec(QStringLiteral("1"), QStringLiteral("one"), a));
    frmMain &main = loadMain();
    EXPECT_TRUE(ListLoads::show(main, listNode(QStringLiteral("Live: 2026"))));
    Shown shown;
    watchTool(shown);
    run(main, QStringLiteral("Audio Splitter"));
    EXPECT_EQ(shown.subFolder, QStringLiteral("Live--2026"));
}

} // namespace
