#pragma once

#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"

#include <QFont>
#include <QList>

class cGrid;
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
ItemsListRow::Data readRow(const cGrid &grid, int n);
// Every row as the list file stores it, in row order.
QList<ItemsListFile::Record> records(const cGrid &grid);

// Totals over every row, or over the marked rows ("Inc" icon 1): seconds of
// the whole items' lengths and the ranges' lengths, and bytes of the files.
qint64 totalSeconds(const cGrid &grid, bool markedOnly);
qint64 totalBytes(const cGrid &grid, bool markedOnly);

} // namespace ItemsGrid
