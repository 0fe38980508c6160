#include "lists/ItemsGrid.h"

#include "controls/ui/cGrid.h"
#include "core/mdlFunctions.h"
#include "lists/ItemsListRecordReader.h"

#include <cmath>
#include <optional>

namespace ItemsGrid {

namespace Row = ItemsListRow;

namespace {

int col(const cGrid &grid, int column)
{
    return grid.ColumnIndex(Row::key(column));
}

bool counted(const cGrid &grid, int n, bool markedOnly)
{
    return !markedOnly || grid.CellIcon(n, col(grid, Row::Inc)) == Row::IconMarked;
}

// A number cell; nothing for an empty or non-numeric text.
std::optional<double> cellNumber(const cGrid &grid, int n, int column)
{
    bool ok = false;
    const double value = grid.CellText(n, col(grid, column)).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

void InitItemsGrid(cGrid &grid, cImageList *images, Variant variant)
{
    const bool main = variant == Variant::Main;
    grid.setRowHeight(24);
    grid.setImageList(images);
    for (int column = 1; column <= Row::ColumnCount; ++column) {
        const Row::ColumnSpec &spec = Row::columns()[column - 1];
        const QString header = !main && column == Row::Inc ? QString() : QString::fromLatin1(spec.header);
        const bool shown = main ? spec.shownInMain : spec.shownInTools;
        const int width = main ? spec.mainWidth : spec.toolWidth;
        grid.AddColumn(Row::key(column), header, 0, -1, width, shown);
    }
    // The names take the room the other columns leave.
    grid.setFillColumn(grid.ColumnIndex(Row::key(Row::ItemName)));
    grid.setSetupFlag44(true);
    grid.setGridLines(true);
    grid.setSetupFlag18(true);
    grid.setSetupFlag17(true);
    grid.setSetupFlag68(false);
    grid.setSetupColor(0x80000008u);
    grid.setHotTrack(true);
    grid.setSetupFlag47(false);
    if (main)
        grid.setFont(rowFont(false));
}

QFont rowFont(bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    font.setBold(bold);
    return font;
}

void writeRow(cGrid &grid, int n, const Row::Data &row)
{
    const auto text = [&](int column) { grid.SetCell(n, col(grid, column), row[column]); };
    grid.SetCell(n, col(grid, Row::Inc), row[Row::Inc], cGrid::IconCellFormat, row.incIcon);
    grid.SetCell(n, col(grid, Row::Type), QString(), cGrid::IconCellFormat, row.typeIcon);
    text(Row::ItemName);
    if (!row.available) {
        // The name in italics says the item's file is missing or unreadable.
        QFont font = grid.CellFont(n, col(grid, Row::ItemName));
        font.setItalic(true);
        grid.setCellFont(n, col(grid, Row::ItemName), font);
    }
    text(Row::Time);
    text(Row::Size);
    text(Row::File);
    grid.SetCell(n, col(grid, Row::Created), row.created.isValid() ? QVariant(row.created) : QVariant(QString()));
    text(Row::BytesSize);
    text(Row::RangeAll);
    text(Row::RangeStart);
    text(Row::RangeLength);
    text(Row::Range);
    for (int column = Row::TagAlbum; column <= Row::TagTrack; ++column)
        text(column);
}

Row::Data readRow(const cGrid &grid, int n)
{
    Row::Data row;
    row.incIcon = grid.CellIcon(n, col(grid, Row::Inc));
    row.typeIcon = grid.CellIcon(n, col(grid, Row::Type));
    for (int column = 1; column <= Row::ColumnCount; ++column)
        row[column] = grid.CellText(n, col(grid, column));
    row.created = grid.CellValue(n, col(grid, Row::Created)).toDateTime();
    return row;
}

QList<ItemsListFile::Record> records(const cGrid &grid)
{
    QList<ItemsListFile::Record> all;
    for (int n = 1; n <= grid.Rows(); ++n)
        all << ItemsListRecordReader::recordFromRow(readRow(grid, n));
    return all;
}

qint64 totalSeconds(const cGrid &grid, bool markedOnly)
{
    qint64 total = 0;
    for (int n = 1; n <= grid.Rows(); ++n) {
        if (!counted(grid, n, markedOnly))
            continue;
        if (grid.CellText(n, col(grid, Row::RangeAll)) == QLatin1String("1"))
            total += mdlFunctions::TimeToSeconds(grid.CellText(n, col(grid, Row::Time)));
        else if (const auto length = cellNumber(grid, n, Row::RangeLength))
            total += qint64(std::nearbyint(*length));
    }
    return total;
}

qint64 totalBytes(const cGrid &grid, bool markedOnly)
{
    qint64 total = 0;
    for (int n = 1; n <= grid.Rows(); ++n) {
        if (!counted(grid, n, markedOnly))
            continue;
        if (const auto bytes = cellNumber(grid, n, Row::BytesSize))
            total += qint64(std::nearbyint(*bytes));
    }
    return total;
}

} // namespace ItemsGrid
