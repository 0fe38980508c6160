#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

// One cell of a grid as its model keeps it.
struct GridCell {
    QVariant value;
    int icon = -1;
    int format = 0;
    int font = 0; // index into the grid's font table; 0 is the grid's own font
};

// The cells of one row, by column. The model shares a row with the copies
// taken of it (cGridRows) and copies it only when it changes a shared row,
// so a copy of every row costs a pointer per row.
using GridRow = std::vector<GridCell>;
using SharedGridRow = std::shared_ptr<const GridRow>;

// The text a cell shows: dates in the locale's short form, anything else as
// its value reads as text. Safe on any thread.
QString gridCellText(const GridCell &cell);
