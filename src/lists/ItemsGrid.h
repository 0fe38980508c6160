#pragma once

#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"

#include <QList>

class cGrid;
class cImageList;

// The items grids of the main window and the tool windows: their set-up,
// and rows written and read by column key.
namespace ItemsGrid {

enum class Variant { Main, Tool };

void InitItemsGrid(cGrid &grid, cImageList *images, Variant variant);

// Writes row n (n = Rows + 1 appends it) in the order the loader fills cells.
void writeRow(cGrid &grid, int n, const ItemsListRow::Data &row);
// Appends the rows after the last one, with the cells writeRow gives them,
// in one insertion.
void appendRows(cGrid &grid, const QList<ItemsListRow::Data> &rows);
ItemsListRow::Data readRow(const cGrid &grid, int n);
// Every row as the list file stores it, in row order.
QList<ItemsListFile::Record> records(const cGrid &grid);

// Totals over every row, or over the marked rows ("Inc" icon 1): seconds of
// the whole items' lengths and the ranges' lengths, and bytes of the files.
qint64 totalSeconds(const cGrid &grid, bool markedOnly);
qint64 totalBytes(const cGrid &grid, bool markedOnly);

} // namespace ItemsGrid
