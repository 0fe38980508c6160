#pragma once

#include <QFont>
#include <QString>
#include <QVariant>

class cGrid;

// One cell of a cGrid, as cGrid::Cell hands it out. It names the cell by
// row and column and reads through to the grid, so it never goes stale
// while the cell exists; a cell outside the grid reads empty and ignores
// writes.
class cGridCell {
public:
    cGridCell(cGrid *grid, int row, int col)
        : m_grid(grid)
        , m_row(row)
        , m_col(col)
    {
    }

    int Row() const { return m_row; }
    int Col() const { return m_col; }

    QString Text() const;
    void setText(const QVariant &value);
    // The cell's value as written: a text, a number or a date-time.
    QVariant Value() const;
    // Index into the grid's image list; -1 for none.
    int Icon() const;
    void setIcon(int icon);
    QFont Font() const;
    void setFont(const QFont &font);
    // Whether the cell's row is one of the selected rows.
    bool Selected() const;

private:
    bool valid() const;

    cGrid *m_grid;
    int m_row;
    int m_col;
};
