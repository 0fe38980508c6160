#pragma once

#include "controls/ui/DataObject.h"
#include "controls/ui/GridCell.h"
#include "controls/ui/cGridCell.h"
#include "controls/ui/cGridSort.h"

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <concepts>
#include <vector>
#include <type_traits>

class GridModel;
class QModelIndex;
class GridView;
class cImageList;

// The rows of a grid as they stood when they were taken (cGrid::RowsNow), to
// be read on any thread while the grid goes on changing; rows and columns
// count from 1, as in the grid. Taking them costs a pointer per row: the grid
// copies a row only when it changes one that is still shared.
class cGridRows {
public:
    int Rows() const { return static_cast<int>(m_rows.size()); }
    // As cGrid::CellText and CellIcon give them; empty and -1 out of range.
    QString CellText(int row, int col) const;
    int CellIcon(int row, int col) const;

private:
    friend class cGrid;
    const GridCell *cell(int row, int col) const;
    std::vector<SharedGridRow> m_rows;
};

// An enum naming the columns of a kind of grid, with a columnKey(column)
// beside it (found in the enum's namespace) that gives a column's key.
template <typename E>
concept NamedColumn = std::is_enum_v<E> && requires(E column) {
    { columnKey(column) } -> std::convertible_to<QString>;
};

// The items grid: keyed text columns, some of them hidden but still holding
// values, rows and columns counted from 1, an icon per cell from an image
// list, whole-row selection (several rows at once).
//
// Events are raised by the user's mouse and keyboard only: selecting,
// adding, removing or sorting rows in code raises none of them, so a
// handler never runs inside the call that changed the grid.
class cGrid : public QWidget {
    Q_OBJECT
public:
    // The cell format that icon cells are written with.
    static constexpr int IconCellFormat = 262176;

    explicit cGrid(QWidget *parent = nullptr);
    ~cGrid() override;

    // Columns. A hidden column passes visible false (its width, often -1,
    // is then kept for when it is shown). Answers the new column's index,
    // or 0 when the key is taken.
    int AddColumn(const QString &key, const QString &header, int align = 0, int icon = -1, int width = -1,
                  bool visible = true);
    // 0 when no column has that key (keys ignore letter case).
    int ColumnIndex(const QString &key) const;
    int Columns() const;
    QString ColumnKey(int col) const;
    QString ColumnHeader(int col) const;
    bool ColumnVisible(int col) const;
    void setColumnVisible(int col, bool visible);
    // A column's width is the least it is given: a column also widens to
    // show its header and its cells whole, and the fill column (when there
    // is one) takes whatever room the others leave, so the columns fill the
    // grid's width without blank space beside them.
    int ColumnWidth(int col) const;
    void setColumnWidth(int col, int width);
    // The column that widens to fill the grid, or 0 for none (the default).
    int FillColumn() const { return m_fillColumn; }
    void setFillColumn(int col);

    // Rows and cells. Writing any cell of row Rows + 1 appends that row
    // first; rows further out and unknown columns are refused (false).
    int Rows() const;
    bool SetCell(int row, int col, const QVariant &text);
    bool SetCell(int row, int col, const QVariant &text, int format, int icon);
    cGridCell Cell(int row, int col) { return cGridCell(this, row, col); }
    QString CellText(int row, int col) const;
    QVariant CellValue(int row, int col) const;
    int CellIcon(int row, int col) const;
    void setCellIcon(int row, int col, int icon);
    QFont CellFont(int row, int col) const;
    void setCellFont(int row, int col, const QFont &font);
    bool RowSelected(int row) const;

    // The same by a column's name: looked up by its key, as an unscoped
    // enum's value would otherwise pass for a position.
    template <NamedColumn E>
    int ColumnIndex(E column) const
    {
        return ColumnIndex(columnKey(column));
    }
    template <NamedColumn E>
    bool SetCell(int row, E column, const QVariant &text)
    {
        return SetCell(row, ColumnIndex(column), text);
    }
    template <NamedColumn E>
    bool SetCell(int row, E column, const QVariant &text, int format, int icon)
    {
        return SetCell(row, ColumnIndex(column), text, format, icon);
    }
    template <NamedColumn E>
    QString CellText(int row, E column) const
    {
        return CellText(row, ColumnIndex(column));
    }
    template <NamedColumn E>
    QVariant CellValue(int row, E column) const
    {
        return CellValue(row, ColumnIndex(column));
    }
    template <NamedColumn E>
    int CellIcon(int row, E column) const
    {
        return CellIcon(row, ColumnIndex(column));
    }
    template <NamedColumn E>
    void setCellIcon(int row, E column, int icon)
    {
        setCellIcon(row, ColumnIndex(column), icon);
    }
    template <NamedColumn E>
    QFont CellFont(int row, E column) const
    {
        return CellFont(row, ColumnIndex(column));
    }
    template <NamedColumn E>
    void setCellFont(int row, E column, const QFont &font)
    {
        setCellFont(row, ColumnIndex(column), font);
    }
    // One cell of a row for AppendRows: its value, icon and format as
    // SetCell takes them, and whether its text is drawn in italics.
    struct NewCell {
        QVariant value;
        int icon = -1;
        int format = 0;
        bool italic = false;
    };
    // Appends whole rows, cells by column from 1 (a row with fewer cells
    // leaves the rest empty), in one insertion: what writing the cells one
    // by one gives, at a fraction of the cost for thousands of rows.
    void AppendRows(std::vector<std::vector<NewCell>> rows);

    // Every row as it stands now.
    cGridRows RowsNow() const;
    // Every row's texts (as CellText gives them) of the columns cols, one
    // list per column in row order, and the icons of iconCol when icons is
    // given: a copy of the rows that work elsewhere may read, taken in one
    // pass over the rows (the texts are shared, not copied).
    QList<QStringList> ColumnTexts(const QList<int> &cols, int iconCol = 0, QList<int> *icons = nullptr) const;

    // The later rows move up one place; the current row stays on its data,
    // or moves to the row that took the removed one's place.
    void RemoveRow(int row);
    // Every row goes; the columns stay.
    void Clear();
    // Moves on whenever rows are taken away or put in another order, so that
    // a writer appending rows across event processing can tell whether the
    // row numbers it counted on still hold.
    quint64 RowsGeneration() const { return m_rowsGeneration; }

    // The current cell; SelectedRow is 0 when no row is current. Writing
    // SelectedRow makes that row the only selected one.
    int SelectedRow() const;
    void setSelectedRow(int row);
    int SelectedCol() const;
    void setSelectedCol(int col);

    // False freezes drawing for bulk changes; True draws again.
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool redraw);

    // Set-up.
    int RowHeight() const;
    void setRowHeight(int pixels);
    cImageList *ImageList() const;
    void setImageList(cImageList *list);
    bool HotTrack() const { return m_hotTrack; }
    void setHotTrack(bool on);
    bool GridLines() const;
    void setGridLines(bool on);
    bool SetupFlag44() const { return m_flag44; }
    void setSetupFlag44(bool on) { m_flag44 = on; }
    bool SetupFlag18() const { return m_flag18; }
    void setSetupFlag18(bool on) { m_flag18 = on; }
    bool SetupFlag17() const { return m_flag17; }
    void setSetupFlag17(bool on) { m_flag17 = on; }
    bool SetupFlag68() const { return m_flag68; }
    void setSetupFlag68(bool on) { m_flag68 = on; }
    bool SetupFlag47() const { return m_flag47; }
    void setSetupFlag47(bool on) { m_flag47 = on; }
    // A colour number as the settings store it (0x00BBGGRR), or a system
    // colour (0x80000000 + index); the text colour of the cells.
    quint32 SetupColor() const { return m_setupColor; }
    void setSetupColor(quint32 colour);
    // The cells' background, a colour number as for SetupColor.
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 colour);
    QPixmap BackgroundPicture() const { return m_background; }
    void setBackgroundPicture(const QPixmap &picture);

    // Sorting by the keys of SortObject.
    cGridSort &SortObject() { return m_sort; }
    int ColumnSortOrder(int col) const;
    void setColumnSortOrder(int col, int order);
    int ColumnSortType(int col) const;
    void setColumnSortType(int col, int type);
    // Stable: rows that compare equal keep their order. The current and the
    // selected rows stay on their data.
    void Sort();

    // The top left corner of a cell in the grid's own coordinates (pixels),
    // for tests and popups.
    QPoint cellPosition(int row, int col) const;
    QWidget *viewport() const;

signals:
    void SelectionChange();
    // button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt;
    // x and y in twips from the grid's top left corner.
    void MouseUp(int Button, int Shift, int x, int y);
    void DblClick(int Row, int Col);
    // The user needs the grid drawn while its drawing is frozen.
    void RedrawRequest();
    void OLEDragDrop(const DataObject &Data, int Effect, int Button, int Shift, int x, int y);

protected:
    // A cell without a font of its own is drawn, and reported, in the grid's.
    void changeEvent(QEvent *event) override;

private:
    friend class GridView;
    class CodeChange;

    bool validCell(int row, int col) const;
    bool ensureRow(int row);
    void forwardMouseUp(QMouseEvent *event);
    void forwardDrop(QDropEvent *event);
    void requestRedrawIfFrozen();
    void selectOnly(int row0, int col0);
    // Sets every shown column's width from its given width, its header, its
    // cells and the grid's width; scheduleFit does it once the events
    // already queued are done, for many cell changes at once.
    void fitColumns();
    void scheduleFit(bool cellsChanged);
    void cellsChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void columnResizedByUser(int column, int newSize);

    GridModel *m_model;
    GridView *m_view;
    cGridSort m_sort;
    QPixmap m_background;
    int m_codeChanges = 0;
    bool m_redraw = true;
    quint64 m_rowsGeneration = 0;
    // The widths columns were given (in pixels; -1 for none) and the widths
    // their cells last needed (-1 once the cells changed).
    QList<int> m_givenWidths;
    QList<int> m_cellWidths;
    int m_fillColumn = 0;
    bool m_fitPending = false;
    bool m_fitting = false;
    bool m_hotTrack = false;
    bool m_flag44 = false;
    bool m_flag18 = false;
    bool m_flag17 = false;
    bool m_flag68 = false;
    bool m_flag47 = false;
    quint32 m_setupColor = 0x80000008u;
    quint32 m_backColor = 0x80000005u;
};
