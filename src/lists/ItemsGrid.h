#pragma once

#include "controls/ui/cGrid.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"

#include <QFont>
#include <QList>
#include <QStringList>

#include <array>

class cImageList;

// The items grids of the main window and the tool windows: their set-up,
// and rows written and read by column key.
namespace ItemsGrid {

enum class Variant { Main, Tool };

// The main grid is drawn in the row font, so rows the player has touched
// and rows added since look alike.
void InitItemsGrid(cGrid &grid, cImageList *images, Variant variant);

// The font of the main grid's rows: the playing row bold, every other row
// regular.
QFont rowFont(bool bold);

// Writes row n (n = Rows + 1 appends it) in the order the loader fills cells.
void writeRow(cGrid &grid, int n, const ItemsListRow::Data &row);
// Appends the rows after the last one, with the cells writeRow gives them,
// in one insertion.
void appendRows(cGrid &grid, const QList<ItemsListRow::Data> &rows);
ItemsListRow::Data readRow(const cGrid &grid, int n);
// Every row of the grid as it stands, taken in a moment, with where the
// columns a list file keeps are, so that the records can be made elsewhere.
struct StoredRows {
    cGridRows rows;
    int inc = 0;
    std::array<int, 13> columns{}; // as ItemsGrid.cpp lists them
};
StoredRows storedRows(const cGrid &grid);
// The records of those rows, in row order; on any thread.
QList<ItemsListFile::Record> records(const StoredRows &stored);
// Every row as the list file stores it, in row order.
QList<ItemsListFile::Record> records(const cGrid &grid);

// Totals over every row, or over the marked rows ("Inc" icon 1): seconds of
// the whole items' lengths and the ranges' lengths, and bytes of the files.
qint64 totalSeconds(const cGrid &grid, bool markedOnly);
qint64 totalBytes(const cGrid &grid, bool markedOnly);

} // namespace ItemsGrid
