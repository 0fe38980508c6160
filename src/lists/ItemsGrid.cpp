#include "lists/ItemsGrid.h"

#include "controls/ui/cGrid.h"
#include "core/mdlFunctions.h"
#include "lists/ItemsListRecordReader.h"

#include <array>
#include <cmath>
#include <vector>
#include <optional>

namespace ItemsGrid {

namespace Row = ItemsListRow;

namespace {

int col(const cGrid &grid, int column)
{
    return grid.ColumnIndex(Row::key(column));
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

void appendRows(cGrid &grid, const QList<Row::Data> &rows)
{
    if (rows.isEmpty())
        return;
    std::array<int, Row::ColumnCount + 1> at{};
    for (int column = 1; column <= Row::ColumnCount; ++column)
        at[std::size_t(column)] = col(grid, column) - 1;
    std::vector<std::vector<cGrid::NewCell>> cells;
    cells.reserve(std::size_t(rows.size()));
    for (const Row::Data &row : rows) {
        std::vector<cGrid::NewCell> out(std::size_t(grid.Columns()));
        for (int column = 1; column <= Row::ColumnCount; ++column) {
            const int c = at[std::size_t(column)];
            if (c >= 0)
                out[std::size_t(c)].value = row[column];
        }
        const auto icon = [&](int column, int image) {
            cGrid::NewCell &cell = out[std::size_t(at[std::size_t(column)])];
            cell.format = cGrid::IconCellFormat;
            cell.icon = image;
        };
        icon(Row::Inc, row.incIcon);
        icon(Row::Type, row.typeIcon);
        out[std::size_t(at[Row::Type])].value = QString();
        out[std::size_t(at[Row::Created])].value
            = row.created.isValid() ? QVariant(row.created) : QVariant(QString());
        // The name in italics says the item's file is missing or unreadable.
        out[std::size_t(at[Row::ItemName])].italic = !row.available;
        cells.push_back(std::move(out));
    }
    grid.AppendRows(std::move(cells));
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

namespace {

// The cells a record keeps, in the order StoredCells holds them: the others
// (the creation date above all, which reads as text through the locale)
// would cost a list of tens of thousands of rows a noticeable time.
constexpr std::array<int, 13> kStored = {Row::Inc,        Row::ItemName,    Row::File,     Row::RangeAll,
                                         Row::RangeStart, Row::RangeLength, Row::TagAlbum, Row::TagArtist,
                                         Row::TagComment, Row::TagGenre,    Row::TagYear,  Row::TagTitle,
                                         Row::TagTrack};

} // namespace

StoredRows storedRows(const cGrid &grid)
{
    StoredRows stored;
    stored.rows = grid.RowsNow();
    stored.inc = col(grid, Row::Inc);
    for (std::size_t i = 0; i < kStored.size(); ++i)
        stored.columns[i] = col(grid, kStored[i]);
    return stored;
}

QList<ItemsListFile::Record> records(const StoredRows &stored)
{
    QList<ItemsListFile::Record> all;
    all.reserve(stored.rows.Rows());
    for (int n = 1; n <= stored.rows.Rows(); ++n) {
        Row::Data row;
        row.incIcon = stored.rows.CellIcon(n, stored.inc);
        for (std::size_t i = 0; i < kStored.size(); ++i)
            row[kStored[i]] = stored.rows.CellText(n, stored.columns[i]);
        all << ItemsListRecordReader::recordFromRow(row);
    }
    return all;
}

QList<ItemsListFile::Record> records(const cGrid &grid)
{
    return records(storedRows(grid));
}

qint64 totalSeconds(const cGrid &grid, bool markedOnly)
{
    QList<int> marks;
    const QList<QStringList> texts = grid.ColumnTexts(
        {col(grid, Row::RangeAll), col(grid, Row::Time), col(grid, Row::RangeLength)}, col(grid, Row::Inc), &marks);
    const QStringList &whole = texts.at(0);
    const QStringList &times = texts.at(1);
    const QStringList &lengths = texts.at(2);
    qint64 total = 0;
    for (qsizetype n = 0; n < marks.size(); ++n) {
        if (markedOnly && marks.at(n) != Row::IconMarked)
            continue;
        total += Row::secondsOf(whole.at(n), times.at(n), lengths.at(n)).value_or(0);
    }
    return total;
}

qint64 totalBytes(const cGrid &grid, bool markedOnly)
{
    QList<int> marks;
    const QStringList bytes = grid.ColumnTexts({col(grid, Row::BytesSize)}, col(grid, Row::Inc), &marks).at(0);
    qint64 total = 0;
    for (qsizetype n = 0; n < marks.size(); ++n) {
        if (markedOnly && marks.at(n) != Row::IconMarked)
            continue;
        total += Row::bytesOf(bytes.at(n));
    }
    return total;
}

} // namespace ItemsGrid
