#include "controls/ui/cGrid.h"
#include "controls/ui/cImageList.h"
#include "platform/AppPaths.h"

#include "support/TestEnvironment.h"

#include <QAbstractItemView>
#include <QDateTime>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <numeric>

namespace {

// A grid shaped like an items list: two icon columns, a name, a hidden
// path column and a shown number column.
class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.AddColumn(QStringLiteral("Inc"), QStringLiteral("Inc"), 0, -1, 26);
        grid.AddColumn(QStringLiteral("Type"), QStringLiteral("Type"), 0, -1, 40);
        grid.AddColumn(QStringLiteral("Item Name"), QStringLiteral("Item Name"), 0, -1, 180);
        grid.AddColumn(QStringLiteral("COL_FILE"), QStringLiteral("COL_FILE"), 0, -1, -1, false);
        grid.AddColumn(QStringLiteral("Size"), QStringLiteral("Size"), 0, -1, 80);
        grid.setRowHeight(24);
    }

    void fill(const QStringList &names)
    {
        for (const QString &name : names) {
            const int r = grid.Rows() + 1;
            grid.SetCell(r, 1, QVariant(), cGrid::IconCellFormat, 0);
            grid.SetCell(r, 3, name);
            grid.SetCell(r, 4, QStringLiteral("/music/") + name + QStringLiteral(".wav"));
        }
    }

    QStringList names()
    {
        QStringList out;
        for (int r = 1; r <= grid.Rows(); ++r)
            out << grid.Cell(r, 3).Text();
        return out;
    }

    void show()
    {
        grid.resize(500, 400);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    // A point inside a cell, in the viewport's coordinates.
    QPoint inCell(int row, int col, QPoint offset = QPoint(5, 5))
    {
        return grid.viewport()->mapFrom(&grid, grid.cellPosition(row, col) + offset);
    }

    // A drop goes where the drag entered, as the file manager does it.
    void dropOnGrid(QMimeData *mime)
    {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid.viewport(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid.viewport(), &drop);
    }

    cGrid grid;
};

TEST_F(GridTest, ColumnsAreAddressedByKeyOrOneBasedIndex)
{
    struct Case {
        const char *key;
        int index;
    };
    const Case cases[] = {{"Inc", 1}, {"Type", 2}, {"Item Name", 3}, {"COL_FILE", 4}, {"col_file", 4}, {"Size", 5}};
    for (const Case &c : cases)
        EXPECT_EQ(grid.ColumnIndex(QLatin1String(c.key)), c.index) << c.key;

    // A key the grid does not have reads as no column, and says so.
    static QStringList said;
    said.clear();
    const QtMessageHandler before = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        said << text;
    });
    EXPECT_EQ(grid.ColumnIndex(QStringLiteral("Time")), 0);
    EXPECT_EQ(grid.ColumnIndex(QString()), 0);
    qInstallMessageHandler(before);
    EXPECT_EQ(said.size(), 2);
    EXPECT_TRUE(said.value(0).contains(QStringLiteral("\"Time\""))) << said.value(0).toStdString();
    EXPECT_EQ(grid.Columns(), 5);
    EXPECT_EQ(grid.AddColumn(QStringLiteral("Item Name"), QStringLiteral("again")), 0) << "keys are unique";
    EXPECT_EQ(grid.Columns(), 5);
    EXPECT_FALSE(grid.ColumnVisible(4));
    EXPECT_TRUE(grid.ColumnVisible(3));
}

// Column names whose values are not the grid's positions, as an owner's enum
// may list its columns in any order.
namespace named {
enum Column { Size = 1, File, ItemName, Missing };
QString columnKey(Column column)
{
    switch (column) {
    case Size:
        return QStringLiteral("Size");
    case File:
        return QStringLiteral("COL_FILE");
    case ItemName:
        return QStringLiteral("Item Name");
    default:
        return QStringLiteral("Nowhere");
    }
}
} // namespace named

TEST_F(GridTest, NamedColumnsAreFoundByTheirKeyNotTheirValue)
{
    fill({QStringLiteral("one")});
    EXPECT_EQ(grid.ColumnIndex(named::File), 4);
    EXPECT_EQ(grid.CellText(1, named::File), QStringLiteral("/music/one.wav"));
    EXPECT_EQ(grid.CellText(1, named::ItemName), QStringLiteral("one"));
    EXPECT_TRUE(grid.SetCell(1, named::Size, QStringLiteral("12")));
    EXPECT_EQ(grid.CellText(1, 5), QStringLiteral("12"));
    grid.setCellIcon(1, named::ItemName, 2);
    EXPECT_EQ(grid.CellIcon(1, 3), 2);
    EXPECT_EQ(grid.CellIcon(1, named::ItemName), 2);

    static int said = 0;
    said = 0;
    const QtMessageHandler before = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {
        ++said;
    });
    EXPECT_FALSE(grid.SetCell(1, named::Missing, QStringLiteral("lost")));
    qInstallMessageHandler(before);
    EXPECT_EQ(said, 1) << "an unknown key is reported as with a text key";
}

TEST_F(GridTest, WritingRowAfterTheLastAppendsItAndNothingFurther)
{
    struct Case {
        int row;
        int col;
        bool accepted;
        int rowsAfter;
    };
    const Case cases[] = {
        {1, 3, true, 1},  // Rows + 1 on an empty grid
        {1, 5, true, 1},  // an existing row
        {3, 3, false, 1}, // Rows + 2
        {0, 3, false, 1}, {2, 0, false, 1}, {2, 6, false, 1}, // outside, and no row appended for a bad column
        {2, 4, true, 2},  // a hidden column appends too
    };
    for (const Case &c : cases) {
        EXPECT_EQ(grid.SetCell(c.row, c.col, QStringLiteral("x")), c.accepted) << c.row << "," << c.col;
        EXPECT_EQ(grid.Rows(), c.rowsAfter) << c.row << "," << c.col;
    }
    EXPECT_EQ(grid.Cell(0, 1).Text(), QString());
    EXPECT_EQ(grid.Cell(9, 1).Icon(), -1);
    EXPECT_FALSE(grid.Cell(9, 1).Selected());
}

TEST_F(GridTest, HiddenColumnsKeepTheirValuesAndIconsSurviveTextWrites)
{
    fill({QStringLiteral("one"), QStringLiteral("two")});
    grid.SetCell(2, 2, QString(), cGrid::IconCellFormat, 3);
    grid.Cell(2, 1).setIcon(1);
    grid.SetCell(2, 2, QStringLiteral("text only"));
    grid.Cell(1, 4).setText(QStringLiteral("/elsewhere/a b'c é.mp3"));

    EXPECT_EQ(grid.Cell(1, grid.ColumnIndex(QStringLiteral("COL_FILE"))).Text(), QStringLiteral("/elsewhere/a b'c é.mp3"));
    EXPECT_EQ(grid.Cell(2, 4).Text(), QStringLiteral("/music/two.wav"));
    EXPECT_EQ(grid.Cell(2, 1).Icon(), 1);
    EXPECT_EQ(grid.Cell(1, 1).Icon(), 0);
    EXPECT_EQ(grid.Cell(2, 2).Icon(), 3) << "a text write keeps the icon";
    EXPECT_EQ(grid.Cell(2, 2).Text(), QStringLiteral("text only"));

    grid.setColumnVisible(4, true);
    EXPECT_EQ(grid.Cell(2, 4).Text(), QStringLiteral("/music/two.wav"));
}

TEST_F(GridTest, CellsKeepNumbersAndDatesAndShowThemAsText)
{
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    grid.SetCell(1, 5, 1048576);
    grid.SetCell(1, 3, when);
    EXPECT_EQ(grid.Cell(1, 5).Text(), QStringLiteral("1048576"));
    EXPECT_EQ(grid.Cell(1, 3).Value().toDateTime(), when);
    EXPECT_EQ(grid.Cell(1, 3).Text(), QLocale().toString(when, QLocale::ShortFormat));
}

TEST_F(GridTest, AHugeCellKeepsItsTextButShowsOnlyItsStart)
{
    // A list file may hold a field of megabytes; drawing all of it at every
    // paint would hold the window.
    const QString huge = QString(20 * 1000 * 1000, QLatin1Char('x')) + QStringLiteral("end");
    grid.SetCell(1, 3, huge);
    grid.SetCell(1, 5, QStringLiteral("short"));
    EXPECT_EQ(grid.CellText(1, 3), huge);
    const auto *view = qobject_cast<QAbstractItemView *>(grid.viewport()->parentWidget());
    ASSERT_NE(view, nullptr);
    const QString shown = view->model()->index(0, 2).data().toString();
    EXPECT_LT(shown.size(), 2000);
    EXPECT_TRUE(huge.startsWith(shown.chopped(1)));
    EXPECT_EQ(view->model()->index(0, 4).data().toString(), QStringLiteral("short"));
    show();
    EXPECT_FALSE(grid.grab().isNull());
}

TEST_F(GridTest, RemovingARowMovesTheLaterRowsUp)
{
    struct Case {
        int remove;
        QStringList left;
    };
    const Case cases[] = {
        {1, {"b", "c", "d"}}, {2, {"a", "c", "d"}}, {4, {"a", "b", "c"}}, {0, {"a", "b", "c", "d"}}, {5, {"a", "b", "c", "d"}},
    };
    for (const Case &c : cases) {
        grid.Clear();
        fill({"a", "b", "c", "d"});
        grid.RemoveRow(c.remove);
        EXPECT_EQ(names(), c.left) << "removing " << c.remove;
        EXPECT_EQ(grid.Cell(2, 4).Text(), QStringLiteral("/music/") + c.left[1] + QStringLiteral(".wav"))
            << "hidden cells move with their row";
    }
    grid.setSelectedRow(2);
    grid.Clear();
    EXPECT_EQ(grid.Rows(), 0);
    EXPECT_EQ(grid.Columns(), 5);
    EXPECT_EQ(grid.SelectedRow(), 0);
    EXPECT_FALSE(grid.ColumnVisible(4)) << "the columns stay as set up";
    EXPECT_EQ(grid.ColumnWidth(3), 180);
    fill({"again"});
    EXPECT_EQ(grid.Cell(1, 4).Text(), QStringLiteral("/music/again.wav"));
}

TEST_F(GridTest, CurrentRowFollowsRemovalsAndStaysWhileRowsRemain)
{
    struct Case {
        int current;
        int remove;
        int currentAfter;
    };
    const Case cases[] = {{3, 1, 2}, {3, 3, 3}, {4, 4, 3}, {2, 3, 2}};
    for (const Case &c : cases) {
        grid.Clear();
        fill({"a", "b", "c", "d"});
        grid.setSelectedRow(c.current);
        grid.RemoveRow(c.remove);
        EXPECT_EQ(grid.SelectedRow(), c.currentAfter) << c.current << " minus " << c.remove;
    }
    grid.Clear();
    fill({"only"});
    grid.setSelectedRow(1);
    grid.RemoveRow(1);
    EXPECT_LT(grid.SelectedRow(), 1);
}

TEST_F(GridTest, SelectedRowAndColumnWrittenInCode)
{
    fill({"a", "b", "c"});
    EXPECT_EQ(grid.SelectedRow(), 0);
    grid.setSelectedRow(3);
    grid.setSelectedCol(2);
    EXPECT_EQ(grid.SelectedRow(), 3);
    EXPECT_EQ(grid.SelectedCol(), 2);
    EXPECT_TRUE(grid.Cell(3, 1).Selected());
    grid.setSelectedRow(1);
    EXPECT_EQ(grid.SelectedCol(), 2) << "the column stays";
    EXPECT_TRUE(grid.Cell(1, 5).Selected());
    EXPECT_FALSE(grid.Cell(3, 1).Selected()) << "a row written in code is the only selected one";
    grid.setSelectedRow(7);
    EXPECT_EQ(grid.SelectedRow(), 1) << "a row beyond the grid is ignored";
    grid.setSelectedRow(0);
    EXPECT_EQ(grid.SelectedRow(), 0);
}

TEST_F(GridTest, ChangesMadeInCodeRaiseNoEvents)
{
    show();
    QSignalSpy selection(&grid, &cGrid::SelectionChange);
    QSignalSpy mouseUp(&grid, &cGrid::MouseUp);
    QSignalSpy dblClick(&grid, &cGrid::DblClick);
    QSignalSpy redraw(&grid, &cGrid::RedrawRequest);

    fill({"c", "a", "b"});
    grid.setSelectedRow(2);
    grid.setSelectedCol(3);
    grid.setSelectedRow(3);
    grid.RemoveRow(3);
    grid.SortObject().setSortColumn(1, 3);
    grid.Sort();
    grid.setRedraw(false);
    grid.setRedraw(true);
    grid.Clear();

    EXPECT_EQ(selection.count(), 0);
    EXPECT_EQ(mouseUp.count(), 0);
    EXPECT_EQ(dblClick.count(), 0);
    EXPECT_EQ(redraw.count(), 0);
}

TEST_F(GridTest, UserClickSelectsAndReportsTheReleaseInTwips)
{
    fill({"a", "b", "c"});
    show();
    QSignalSpy selection(&grid, &cGrid::SelectionChange);
    QSignalSpy mouseUp(&grid, &cGrid::MouseUp);

    const QPoint p = inCell(2, 1, QPoint(6, 4));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, p);
    ASSERT_EQ(selection.count(), 1);
    ASSERT_EQ(mouseUp.count(), 1);
    EXPECT_EQ(grid.SelectedRow(), 2);
    EXPECT_EQ(grid.SelectedCol(), 1);
    const QList<QVariant> args = mouseUp.takeFirst();
    const QPoint inGrid = grid.viewport()->mapTo(&grid, p);
    EXPECT_EQ(args.at(0).toInt(), 1);
    EXPECT_EQ(args.at(1).toInt(), 0);
    EXPECT_EQ(args.at(2).toInt(), Twips::fromPixels(6)) << "x counts from the first column's left edge";
    EXPECT_EQ(args.at(3).toInt(), Twips::fromPixels(inGrid.y()));
    EXPECT_GT(args.at(3).toInt(), Twips::fromPixels(24)) << "y counts from the grid's top, above the header";

    // The same cell again: the selection does not move, the release is reported.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(selection.count(), 1);
    EXPECT_EQ(mouseUp.count(), 1);

    QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::ShiftModifier, inCell(3, 3));
    ASSERT_EQ(mouseUp.count(), 2);
    EXPECT_EQ(mouseUp.at(1).at(0).toInt(), 2);
    EXPECT_EQ(mouseUp.at(1).at(1).toInt(), 1);
}

TEST_F(GridTest, KeyboardMovesTheSelectionAsTheUserDoes)
{
    fill({"a", "b", "c"});
    show();
    grid.setSelectedRow(1);
    grid.viewport()->parentWidget()->setFocus();
    QSignalSpy selection(&grid, &cGrid::SelectionChange);
    QTest::keyClick(grid.viewport()->parentWidget(), Qt::Key_Down);
    EXPECT_EQ(selection.count(), 1);
    EXPECT_EQ(grid.SelectedRow(), 2);
}

TEST_F(GridTest, ControlClickSelectsSeveralRowsAndTheirRemovalLeavesTheRest)
{
    fill({"a", "b", "c", "d", "e"});
    show();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, inCell(2, 3));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier, inCell(3, 3));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier, inCell(5, 3));
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(grid.Cell(r, 1).Selected(), r == 2 || r == 3 || r == 5) << r;

    // How the list commands remove the selected rows: walk by number and
    // re-read after each removal.
    const int n = grid.Rows();
    int removed = 0;
    for (int i = 1; i <= n; ++i) {
        const int row = i - removed;
        if (grid.Cell(row, 1).Selected()) {
            grid.RemoveRow(row);
            ++removed;
        }
    }
    EXPECT_EQ(names(), (QStringList{"a", "d"}));
    EXPECT_GE(grid.SelectedRow(), 1) << "a row stays current while rows remain";
}

TEST_F(GridTest, DoubleClickNamesTheCell)
{
    fill({"a", "b"});
    show();
    QSignalSpy dblClick(&grid, &cGrid::DblClick);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, inCell(2, 3));
    ASSERT_EQ(dblClick.count(), 1);
    EXPECT_EQ(dblClick.at(0).at(0).toInt(), 2);
    EXPECT_EQ(dblClick.at(0).at(1).toInt(), 3);
    EXPECT_EQ(grid.Cell(2, 3).Text(), QStringLiteral("b")) << "cells are not edited in place";
}

TEST_F(GridTest, AFrozenGridAsksToBeDrawnWhenTheUserReachesIt)
{
    fill({"a"});
    show();
    QSignalSpy redraw(&grid, &cGrid::RedrawRequest);
    QObject::connect(&grid, &cGrid::RedrawRequest, &grid, [this] { grid.setRedraw(true); });
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, inCell(1, 3));
    EXPECT_EQ(redraw.count(), 0);
    grid.setRedraw(false);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, inCell(1, 3));
    EXPECT_EQ(redraw.count(), 1);
    EXPECT_TRUE(grid.Redraw());
}

TEST_F(GridTest, DroppedFilesArriveAsADataObjectCountedFromOne)
{
    show();
    QSignalSpy drop(&grid, &cGrid::OLEDragDrop);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/music/a b.wav")), QUrl(QStringLiteral("https://example.org/x")),
                  QUrl::fromLocalFile(QStringLiteral("/music/c.mp3"))});
    dropOnGrid(&mime);
    ASSERT_EQ(drop.count(), 1);
    const auto data = drop.at(0).at(0).value<DataObject>();
    EXPECT_EQ(data.FileCount(), 2) << "only local files are dropped files";
    EXPECT_EQ(data.Files(1), QStringLiteral("/music/a b.wav"));
    EXPECT_EQ(data.Files(2), QStringLiteral("/music/c.mp3"));
    EXPECT_EQ(data.Files(0), QString());
    EXPECT_EQ(data.Files(3), QString());

    QMimeData text;
    text.setText(QStringLiteral("not files"));
    dropOnGrid(&text);
    EXPECT_EQ(drop.count(), 1);
}

TEST_F(GridTest, SortOrdersRowsByItsKeysAndKeepsTheSelectionOnItsData)
{
    struct Case {
        const char *name;
        int type;
        int order;
        QStringList expected;
    };
    // Sizes as text, number and icon: each type gives its own order.
    const Case cases[] = {
        {"text ascending", cGridSort::ByText, cGridSort::Ascending, {"a", "d", "b", "c"}},
        {"number ascending", cGridSort::ByNumber, cGridSort::Ascending, {"c", "a", "d", "b"}},
        {"number descending, equal keys keep their order", cGridSort::ByNumber, cGridSort::Descending,
         {"b", "a", "d", "c"}},
    };
    for (const Case &c : cases) {
        grid.Clear();
        fill({"a", "b", "c", "d"});
        grid.SetCell(1, 5, QStringLiteral("10"));
        grid.SetCell(2, 5, QStringLiteral("100"));
        grid.SetCell(3, 5, QStringLiteral("9"));
        grid.SetCell(4, 5, QStringLiteral("10"));
        grid.setSelectedRow(2);
        grid.SortObject().Clear();
        grid.SortObject().setSortColumn(1, 5);
        grid.SortObject().setSortType(1, c.type);
        grid.SortObject().setSortOrder(1, c.order);
        grid.Sort();
        EXPECT_EQ(names(), c.expected) << c.name;
        EXPECT_EQ(grid.Cell(grid.SelectedRow(), 3).Text(), QStringLiteral("b")) << c.name;
        EXPECT_TRUE(grid.Cell(grid.SelectedRow(), 1).Selected()) << c.name;
        EXPECT_EQ(grid.Cell(c.expected.indexOf("c") + 1, 4).Text(), QStringLiteral("/music/c.wav")) << c.name;
    }

    // Two keys: marks first (icon), then name descending.
    grid.Clear();
    fill({"a", "b", "c", "d"});
    grid.Cell(2, 1).setIcon(1);
    grid.Cell(4, 1).setIcon(1);
    cGridSort &sort = grid.SortObject();
    sort.Clear();
    sort.setSortColumn(1, 1);
    sort.setSortType(1, cGridSort::ByIcon);
    sort.setSortOrder(1, cGridSort::Descending);
    sort.setSortColumn(2, 3);
    sort.setSortOrder(2, cGridSort::Descending);
    EXPECT_EQ(sort.Count(), 2);
    EXPECT_EQ(sort.IndexOf(3), 2);
    EXPECT_EQ(sort.IndexOf(5), 0);
    sort.setSortColumn(5, 2); // beyond Count + 1: nothing added
    EXPECT_EQ(sort.Count(), 2);
    grid.Sort();
    EXPECT_EQ(names(), (QStringList{"d", "b", "c", "a"}));
}

TEST_F(GridTest, CellFontsMarkABoldRowAndTheRestStaysRegular)
{
    fill({"a", "b", "c"});
    QFont bold(QStringLiteral("Tahoma"), 8);
    bold.setBold(true);
    for (int c = 1; c <= grid.Columns(); ++c)
        grid.setCellFont(2, c, bold);
    EXPECT_TRUE(grid.Cell(2, 4).Font().bold());
    EXPECT_FALSE(grid.Cell(1, 3).Font().bold());
    QFont regular = bold;
    regular.setBold(false);
    grid.Cell(2, 3).setFont(regular);
    EXPECT_FALSE(grid.CellFont(2, 3).bold());
    EXPECT_TRUE(grid.CellFont(2, 2).bold());
}

TEST_F(GridTest, ThousandsOfRowsWithDrawingFrozen)
{
    show();
    grid.setRedraw(false);
    for (int r = 1; r <= 5000; ++r) {
        grid.SetCell(r, 1, QVariant(), cGrid::IconCellFormat, r % 2);
        grid.SetCell(r, 3, QStringLiteral("item %1").arg(r));
    }
    grid.setRedraw(true);
    EXPECT_EQ(grid.Rows(), 5000);
    grid.setSelectedRow(5000);
    EXPECT_EQ(grid.Cell(grid.SelectedRow(), 3).Text(), QStringLiteral("item 5000"));
    EXPECT_EQ(grid.Cell(4999, 1).Icon(), 1);
}

TEST(GridImages, IconCellsPointIntoTheImageList)
{
    cImageList images;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    EXPECT_EQ(images.AddIcon(QIcon(red)), 0);
    EXPECT_EQ(images.AddIcon(QIcon()), -1);
    QPixmap strip(48, 16);
    strip.fill(Qt::blue);
    EXPECT_EQ(images.AddStrip(strip), 3);
    EXPECT_EQ(images.ImageCount(), 4);
    EXPECT_TRUE(images.icon(-1).isNull());
    EXPECT_TRUE(images.icon(4).isNull());
    EXPECT_FALSE(images.icon(3).isNull());

    cGrid grid;
    grid.AddColumn(QStringLiteral("Inc"), QStringLiteral("Inc"));
    grid.setImageList(&images);
    grid.SetCell(1, 1, QVariant(), cGrid::IconCellFormat, 0);
    EXPECT_EQ(grid.ImageList(), &images);
    EXPECT_EQ(grid.Cell(1, 1).Icon(), 0);
}

} // namespace

namespace {

// The widths the grid's columns show, shown columns only.
QList<int> shownWidths(const cGrid &grid)
{
    QList<int> widths;
    for (int c = 1; c <= grid.Columns(); ++c) {
        if (grid.ColumnVisible(c))
            widths << grid.ColumnWidth(c);
    }
    return widths;
}

int sum(const QList<int> &widths)
{
    return std::accumulate(widths.begin(), widths.end(), 0);
}

// The name column fills the grid at every width it is given room for; the
// other columns keep their widths, widened to show their cells whole; on a
// grid too narrow for all of that the names keep their own width and the
// grid scrolls.
TEST_F(GridTest, ColumnsFillTheGridAndShowTheirCellsWhole)
{
    grid.setFillColumn(3);
    show();
    const QString longest = QStringLiteral("00:00:30 - 00:00:50 and then some more");
    fill({"one", "two"});
    grid.SetCell(2, 5, longest);
    flushEvents();
    const int sizeNeeds = grid.fontMetrics().horizontalAdvance(longest);
    ASSERT_GT(sizeNeeds, 80) << "the case needs a cell wider than its column's given width";

    struct Case {
        int width;
        bool fills;
    };
    const Case cases[] = {{1150, true}, {400, false}, {700, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        grid.resize(c.width, 400);
        flushEvents();
        const int room = grid.viewport()->width();
        const QList<int> widths = shownWidths(grid);
        EXPECT_EQ(widths.at(0), 26);
        EXPECT_EQ(widths.at(1), 40);
        EXPECT_GT(widths.at(3), sizeNeeds) << "the widened column shows its longest cell";
        if (c.fills) {
            EXPECT_EQ(sum(widths), room) << "no blank space beside the columns, none past the view";
            EXPECT_EQ(widths.at(2), room - 26 - 40 - widths.at(3));
        } else {
            EXPECT_EQ(widths.at(2), 180) << "the names keep their own width";
        }
    }

    // Taking the long cell away gives its room back to the names.
    grid.RemoveRow(2);
    flushEvents();
    EXPECT_EQ(grid.ColumnWidth(5), 80);
    EXPECT_EQ(sum(shownWidths(grid)), grid.viewport()->width());
}

// Rows appended whole read as the same rows written cell by cell; rows taken
// at a moment keep what they held then while the grid goes on changing.
TEST_F(GridTest, AppendedRowsAndRowsTakenAtAMoment)
{
    fill({QStringLiteral("one")});
    std::vector<std::vector<cGrid::NewCell>> rows(2);
    rows[0] = {{QVariant(), 1, cGrid::IconCellFormat}, {}, {QStringLiteral("two")}, {QStringLiteral("/music/two.wav")},
               {qlonglong(2048)}};
    rows[1] = {{QVariant(), 0, cGrid::IconCellFormat}, {}, {QStringLiteral("three"), -1, 0, true}};
    grid.AppendRows(rows);
    ASSERT_EQ(grid.Rows(), 3);
    EXPECT_EQ(names(), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(grid.CellIcon(2, 1), 1);
    EXPECT_EQ(grid.CellText(2, 5), QStringLiteral("2048"));
    EXPECT_EQ(grid.CellText(3, 4), QString());
    EXPECT_TRUE(grid.CellFont(3, 3).italic());
    EXPECT_FALSE(grid.CellFont(2, 3).italic());

    const cGridRows before = grid.RowsNow();
    grid.SetCell(2, 3, QStringLiteral("changed"));
    grid.setCellIcon(1, 1, 1);
    grid.RemoveRow(3);
    EXPECT_EQ(grid.CellText(2, 3), QStringLiteral("changed"));
    ASSERT_EQ(before.Rows(), 3);
    EXPECT_EQ(before.CellText(2, 3), QStringLiteral("two"));
    EXPECT_EQ(before.CellIcon(1, 1), 0);
    EXPECT_EQ(before.CellText(3, 3), QStringLiteral("three"));
    EXPECT_EQ(before.CellText(2, 5), QStringLiteral("2048"));
    EXPECT_EQ(before.CellText(4, 1), QString());
    EXPECT_EQ(before.CellIcon(1, 9), -1);
    // Taken again, the rows are the grid's as they are now.
    const cGridRows after = grid.RowsNow();
    ASSERT_EQ(after.Rows(), 2);
    EXPECT_EQ(after.CellText(2, 3), QStringLiteral("changed"));
}

} // namespace
