#include "controls/ui/cGrid.h"

#include "controls/ui/GridModel.h"
#include "controls/ui/OleColor.h"
#include "controls/ui/cImageList.h"
#include "platform/AppPaths.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

Q_LOGGING_CATEGORY(lcGridColumns, "sonvale.grid.columns")

int vbButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int vbShift(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

QStringList droppedFiles(const QMimeData *mime)
{
    QStringList files;
    if (!mime)
        return files;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

int compareCells(const GridModel &m, int a, int b, int col, int type)
{
    const GridModel::Cell &x = m.cell(a, col);
    const GridModel::Cell &y = m.cell(b, col);
    switch (type) {
    case cGridSort::ByNumber: {
        const double dx = x.value.toDouble(), dy = y.value.toDouble();
        return dx < dy ? -1 : dx > dy ? 1 : 0;
    }
    case cGridSort::ByDate: {
        const QDateTime dx = x.value.toDateTime(), dy = y.value.toDateTime();
        return dx < dy ? -1 : dy < dx ? 1 : 0;
    }
    case cGridSort::ByIcon:
        return x.icon < y.icon ? -1 : x.icon > y.icon ? 1 : 0;
    case cGridSort::ByTextCaseSensitive:
        return m.text(a, col).compare(m.text(b, col), Qt::CaseSensitive);
    default:
        return m.text(a, col).localeAwareCompare(m.text(b, col));
    }
}

} // namespace

// Holds back the grid's events while code changes its rows or selection.
class cGrid::CodeChange {
public:
    explicit CodeChange(cGrid *grid)
        : m_grid(grid)
    {
        ++m_grid->m_codeChanges;
    }
    ~CodeChange() { --m_grid->m_codeChanges; }
    CodeChange(const CodeChange &) = delete;
    CodeChange &operator=(const CodeChange &) = delete;

private:
    cGrid *m_grid;
};

// The view turns the user's input into the grid's events. A selection
// event is raised once per user action that really moved the selection,
// never for changes made in code.
class GridView : public QTableView {
public:
    explicit GridView(cGrid *grid)
        : QTableView(grid)
        , m_grid(grid)
    {
    }

protected:
    struct Snapshot {
        QModelIndex current;
        QItemSelection selection;
    };

    Snapshot snapshot() const
    {
        return {selectionModel() ? selectionModel()->currentIndex() : QModelIndex(),
                selectionModel() ? selectionModel()->selection() : QItemSelection()};
    }

    template <typename F>
    void tracked(F &&f)
    {
        const Snapshot before = snapshot();
        f();
        const Snapshot after = snapshot();
        if (m_grid->m_codeChanges == 0 && (before.current != after.current || before.selection != after.selection))
            emit m_grid->SelectionChange();
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        m_grid->requestRedrawIfFrozen();
        tracked([&] { QTableView::mousePressEvent(event); });
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        tracked([&] { QTableView::mouseMoveEvent(event); });
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        tracked([&] { QTableView::mouseReleaseEvent(event); });
        m_grid->forwardMouseUp(event);
    }

    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        tracked([&] { QTableView::mouseDoubleClickEvent(event); });
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid() && event->button() == Qt::LeftButton)
            emit m_grid->DblClick(index.row() + 1, index.column() + 1);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        m_grid->requestRedrawIfFrozen();
        tracked([&] { QTableView::keyPressEvent(event); });
    }

    void wheelEvent(QWheelEvent *event) override
    {
        m_grid->requestRedrawIfFrozen();
        QTableView::wheelEvent(event);
    }

    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (!droppedFiles(event->mimeData()).isEmpty())
            event->acceptProposedAction();
        else
            event->ignore();
    }

    void dragMoveEvent(QDragMoveEvent *event) override
    {
        if (!droppedFiles(event->mimeData()).isEmpty())
            event->acceptProposedAction();
        else
            event->ignore();
    }

    void dropEvent(QDropEvent *event) override { m_grid->forwardDrop(event); }

    void resizeEvent(QResizeEvent *event) override
    {
        QTableView::resizeEvent(event);
        m_grid->fitColumns();
    }

public:
    // What the cells of a column need; the view measures the rows in sight
    // and, of a long list, up to its header's precision more.
    int cellsWidth(int column) const { return sizeHintForColumn(column); }

    // What the cells of some rows of a column need, as sizeHintForColumn
    // counts it.
    int cellsWidth(int column, int first, int last) const
    {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        int width = 0;
        for (int row = first; row <= last; ++row) {
            const QModelIndex index = model()->index(row, column);
            width = std::max(width, itemDelegateForIndex(index)->sizeHint(option, index).width());
        }
        return width + (showGrid() ? 1 : 0);
    }

private:
    cGrid *m_grid;
};

cGrid::cGrid(QWidget *parent)
    : QWidget(parent)
    , m_model(new GridModel(this))
    , m_view(new GridView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setAcceptDrops(true);
    m_view->viewport()->setAcceptDrops(true);
    m_view->setDragDropMode(QAbstractItemView::DropOnly);
    m_view->setFrameShape(QFrame::NoFrame);
    // No row numbers: x positions count from the first column's left edge.
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setMinimumSectionSize(1);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setSectionsClickable(false);
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_view->setIconSize(QSize(16, 16));
    m_model->setBaseFont(font());
    connect(m_view->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int newSize) { columnResizedByUser(column, newSize); });
    // Rows come in empty and sorting moves cells without changing them;
    // only taking rows away can make a column need less.
    const auto rowsGone = [this] { scheduleFit(true); };
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, rowsGone);
    connect(m_model, &QAbstractItemModel::modelReset, this, rowsGone);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &cGrid::cellsChanged);
}

cGrid::~cGrid() = default;

void cGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_model->setBaseFont(font());
        // Every cell measures differently in the new font.
        scheduleFit(true);
    }
    QWidget::changeEvent(event);
}

// --- columns -------------------------------------------------------------

int cGrid::AddColumn(const QString &key, const QString &header, int align, int icon, int width, bool visible)
{
    if (!key.isEmpty() && m_model->columnIndex(key) >= 0)
        return 0;
    GridModel::Column column;
    column.key = key;
    column.header = header;
    column.align = align;
    column.icon = icon;
    const int c = m_model->addColumn(column);
    m_givenWidths.insert(c, width);
    m_cellWidths.insert(c, -1);
    if (width >= 0)
        m_view->setColumnWidth(c, width);
    m_view->setColumnHidden(c, !visible);
    scheduleFit(false);
    return c + 1;
}

int cGrid::ColumnIndex(const QString &key) const
{
    const int c = m_model->columnIndex(key);
    // Callers read 0 as "no cell", so a misspelt key would silently read and
    // write nothing; say so where it happens.
    if (c < 0)
        qCCritical(lcGridColumns) << "The grid" << objectName() << "has no column" << key;
    return c + 1;
}

int cGrid::Columns() const
{
    return m_model->columnCount();
}

QString cGrid::ColumnKey(int col) const
{
    return col >= 1 && col <= Columns() ? m_model->column(col - 1).key : QString();
}

QString cGrid::ColumnHeader(int col) const
{
    return col >= 1 && col <= Columns() ? m_model->column(col - 1).header : QString();
}

bool cGrid::ColumnVisible(int col) const
{
    return col >= 1 && col <= Columns() && !m_view->isColumnHidden(col - 1);
}

void cGrid::setColumnVisible(int col, bool visible)
{
    if (col >= 1 && col <= Columns()) {
        m_view->setColumnHidden(col - 1, !visible);
        // A hidden column's cells were not measured as they changed.
        scheduleFit(true);
    }
}

int cGrid::ColumnWidth(int col) const
{
    return col >= 1 && col <= Columns() ? m_view->horizontalHeader()->sectionSize(col - 1) : 0;
}

void cGrid::setColumnWidth(int col, int width)
{
    if (col >= 1 && col <= Columns() && width >= 0) {
        m_givenWidths[col - 1] = width;
        m_view->setColumnWidth(col - 1, width);
        fitColumns();
    }
}

void cGrid::setFillColumn(int col)
{
    m_fillColumn = col >= 1 && col <= Columns() ? col : 0;
    fitColumns();
}

void cGrid::fitColumns()
{
    m_fitPending = false;
    QHeaderView *header = m_view->horizontalHeader();
    const int fill = m_fillColumn - 1;
    QList<int> widths(Columns(), -1);
    int others = 0;
    for (int c = 0; c < Columns(); ++c) {
        if (m_view->isColumnHidden(c))
            continue;
        const int given = m_givenWidths[c] >= 0 ? m_givenWidths[c] : header->defaultSectionSize();
        widths[c] = std::max(given, header->sectionSizeHint(c));
        if (c == fill)
            continue;
        if (m_cellWidths[c] < 0)
            m_cellWidths[c] = m_model->rowCount() > 0 ? m_view->cellsWidth(c) : 0;
        widths[c] = std::max(widths[c], m_cellWidths[c]);
        others += widths[c];
    }
    // The fill column keeps at least its own width: on a grid too narrow
    // for that the columns scroll rather than squeeze it away.
    if (fill >= 0 && widths[fill] >= 0)
        widths[fill] = std::max(widths[fill], m_view->viewport()->width() - others);
    m_fitting = true;
    for (int c = 0; c < Columns(); ++c) {
        if (widths[c] >= 0 && header->sectionSize(c) != widths[c])
            header->resizeSection(c, widths[c]);
    }
    m_fitting = false;
}

void cGrid::scheduleFit(bool cellsChanged)
{
    if (cellsChanged)
        std::fill(m_cellWidths.begin(), m_cellWidths.end(), -1);
    if (m_fitPending)
        return;
    m_fitPending = true;
    QMetaObject::invokeMethod(this, &cGrid::fitColumns, Qt::QueuedConnection);
}

void cGrid::cellsChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    // Cells change one at a time while a list loads or its files are read:
    // only the changed cells of shown columns are measured, and a column
    // that needs more room gets it once the changes are done. A change of
    // many rows at once is measured as a whole column is.
    if (bottomRight.row() - topLeft.row() >= 1000) {
        scheduleFit(true);
        return;
    }
    bool wider = false;
    for (int c = topLeft.column(); c <= bottomRight.column(); ++c) {
        if (m_view->isColumnHidden(c) || c == m_fillColumn - 1 || m_cellWidths[c] < 0)
            continue;
        const int needed = m_view->cellsWidth(c, topLeft.row(), bottomRight.row());
        if (needed > m_cellWidths[c]) {
            m_cellWidths[c] = needed;
            wider = true;
        }
    }
    if (wider)
        scheduleFit(false);
}

void cGrid::columnResizedByUser(int column, int newSize)
{
    // A width the user drags a column to is the least it keeps from then on.
    if (!m_fitting && column >= 0 && column < m_givenWidths.size() && !m_view->isColumnHidden(column)
        && newSize > 0 && column != m_fillColumn - 1) {
        m_givenWidths[column] = newSize;
        scheduleFit(false);
    }
}

// --- rows and cells ------------------------------------------------------

int cGrid::Rows() const
{
    return m_model->rowCount();
}

bool cGrid::validCell(int row, int col) const
{
    return row >= 1 && row <= Rows() && col >= 1 && col <= Columns();
}

bool cGrid::ensureRow(int row)
{
    if (row == Rows() + 1) {
        CodeChange guard(this);
        m_model->appendRow();
    }
    return row >= 1 && row <= Rows();
}

bool cGrid::SetCell(int row, int col, const QVariant &text)
{
    if (col < 1 || col > Columns() || !ensureRow(row))
        return false;
    m_model->setValue(row - 1, col - 1, text);
    return true;
}

bool cGrid::SetCell(int row, int col, const QVariant &text, int format, int icon)
{
    if (col < 1 || col > Columns() || !ensureRow(row))
        return false;
    m_model->setValue(row - 1, col - 1, text);
    m_model->setFormat(row - 1, col - 1, format);
    m_model->setIcon(row - 1, col - 1, icon);
    return true;
}

void cGrid::AppendRows(std::vector<std::vector<NewCell>> rows)
{
    if (rows.empty())
        return;
    QFont italic = m_model->baseFont();
    std::vector<std::vector<GridModel::Cell>> cells;
    cells.reserve(rows.size());
    int italicIndex = -1;
    for (auto &row : rows) {
        std::vector<GridModel::Cell> out(static_cast<size_t>(Columns()));
        const size_t n = std::min(row.size(), out.size());
        for (size_t c = 0; c < n; ++c) {
            NewCell &in = row[c];
            GridModel::Cell &cell = out[c];
            cell.value = std::move(in.value);
            cell.icon = in.icon;
            cell.format = in.format;
            if (in.italic) {
                if (italicIndex < 0) {
                    italic.setItalic(true);
                    italicIndex = m_model->fontIndex(italic);
                }
                cell.font = italicIndex;
            }
        }
        cells.push_back(std::move(out));
    }
    CodeChange guard(this);
    m_model->appendRows(std::move(cells));
}

cGridRows cGrid::RowsNow() const
{
    cGridRows rows;
    rows.m_rows = m_model->sharedRows();
    return rows;
}

const GridCell *cGridRows::cell(int row, int col) const
{
    if (row < 1 || row > Rows())
        return nullptr;
    const GridRow &cells = *m_rows[static_cast<size_t>(row - 1)];
    return col >= 1 && col <= static_cast<int>(cells.size()) ? &cells[static_cast<size_t>(col - 1)] : nullptr;
}

QString cGridRows::CellText(int row, int col) const
{
    const GridCell *c = cell(row, col);
    if (!c)
        return QString();
    if (c->value.typeId() == QMetaType::QString)
        return *static_cast<const QString *>(c->value.constData());
    return gridCellText(*c);
}

int cGridRows::CellIcon(int row, int col) const
{
    const GridCell *c = cell(row, col);
    return c ? c->icon : -1;
}

QList<QStringList> cGrid::ColumnTexts(const QList<int> &cols, int iconCol, QList<int> *icons) const
{
    const int rows = Rows();
    QList<QStringList> texts(cols.size());
    for (QStringList &column : texts)
        column.reserve(rows);
    const bool withIcons = icons && iconCol >= 1 && iconCol <= Columns();
    if (icons) {
        icons->clear();
        icons->reserve(withIcons ? rows : 0);
    }
    // Row by row, as the cells lie in memory: a list of tens of thousands of
    // rows is read in a few milliseconds.
    for (int r = 0; r < rows; ++r) {
        for (qsizetype i = 0; i < cols.size(); ++i) {
            const int c = cols.at(i);
            if (c < 1 || c > Columns()) {
                texts[i].append(QString());
                continue;
            }
            const QVariant &value = m_model->cell(r, c - 1).value;
            texts[i].append(value.typeId() == QMetaType::QString ? *static_cast<const QString *>(value.constData())
                                                                  : m_model->text(r, c - 1));
        }
        if (withIcons)
            icons->append(m_model->cell(r, iconCol - 1).icon);
    }
    return texts;
}

QString cGrid::CellText(int row, int col) const
{
    return validCell(row, col) ? m_model->text(row - 1, col - 1) : QString();
}

QVariant cGrid::CellValue(int row, int col) const
{
    return validCell(row, col) ? m_model->cell(row - 1, col - 1).value : QVariant();
}

int cGrid::CellIcon(int row, int col) const
{
    return validCell(row, col) ? m_model->cell(row - 1, col - 1).icon : -1;
}

void cGrid::setCellIcon(int row, int col, int icon)
{
    if (validCell(row, col))
        m_model->setIcon(row - 1, col - 1, icon);
}

QFont cGrid::CellFont(int row, int col) const
{
    return validCell(row, col) ? m_model->font(row - 1, col - 1) : font();
}

void cGrid::setCellFont(int row, int col, const QFont &font)
{
    if (validCell(row, col))
        m_model->setFont(row - 1, col - 1, font);
}

bool cGrid::RowSelected(int row) const
{
    return row >= 1 && row <= Rows() && m_view->selectionModel()->isRowSelected(row - 1, QModelIndex());
}

void cGrid::RemoveRow(int row)
{
    if (row < 1 || row > Rows())
        return;
    CodeChange guard(this);
    ++m_rowsGeneration;
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    const int col = current.isValid() ? current.column() : 0;
    int newCurrent = -1;
    if (current.isValid()) {
        const int r = current.row();
        newCurrent = r < row - 1 ? r : r > row - 1 ? r - 1 : std::min(r, Rows() - 2);
    }
    m_model->removeRow(row - 1);
    // The current row is only moved, never selected: callers walk the
    // selected rows while they remove them.
    m_view->selectionModel()->setCurrentIndex(newCurrent >= 0 ? m_model->index(newCurrent, col) : QModelIndex(),
                                              QItemSelectionModel::NoUpdate);
}

void cGrid::Clear()
{
    CodeChange guard(this);
    ++m_rowsGeneration;
    m_model->clearRows();
}

// --- current cell ---------------------------------------------------------

int cGrid::SelectedRow() const
{
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void cGrid::selectOnly(int row0, int col0)
{
    const QModelIndex index = m_model->index(row0, col0);
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(index);
}

void cGrid::setSelectedRow(int row)
{
    CodeChange guard(this);
    if (row < 1) {
        m_view->selectionModel()->clear();
        return;
    }
    if (row > Rows() || Columns() == 0)
        return;
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    selectOnly(row - 1, current.isValid() ? current.column() : 0);
}

int cGrid::SelectedCol() const
{
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    return current.isValid() ? current.column() + 1 : 0;
}

void cGrid::setSelectedCol(int col)
{
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    if (!current.isValid() || col < 1 || col > Columns())
        return;
    CodeChange guard(this);
    m_view->selectionModel()->setCurrentIndex(m_model->index(current.row(), col - 1), QItemSelectionModel::NoUpdate);
}

// --- drawing and set-up ----------------------------------------------------

void cGrid::setRedraw(bool redraw)
{
    if (redraw == m_redraw)
        return;
    m_redraw = redraw;
    m_view->setUpdatesEnabled(redraw);
    if (redraw)
        m_view->viewport()->update();
}

void cGrid::requestRedrawIfFrozen()
{
    if (!m_redraw)
        emit RedrawRequest();
}

int cGrid::RowHeight() const
{
    return m_view->verticalHeader()->defaultSectionSize();
}

void cGrid::setRowHeight(int pixels)
{
    if (pixels > 0)
        m_view->verticalHeader()->setDefaultSectionSize(pixels);
}

cImageList *cGrid::ImageList() const
{
    return m_model->imageList();
}

void cGrid::setImageList(cImageList *list)
{
    m_model->setImageList(list);
    if (list)
        m_view->setIconSize(list->iconSize());
}

void cGrid::setHotTrack(bool on)
{
    m_hotTrack = on;
    m_view->setMouseTracking(on);
    m_view->viewport()->setAttribute(Qt::WA_Hover, on);
}

bool cGrid::GridLines() const
{
    return m_view->showGrid();
}

void cGrid::setGridLines(bool on)
{
    m_view->setShowGrid(on);
}

void cGrid::setSetupColor(quint32 colour)
{
    m_setupColor = colour;
    QPalette p = m_view->palette();
    p.setColor(QPalette::Text, OleColor::toQColor(colour, palette()));
    m_view->setPalette(p);
}

void cGrid::setBackColor(quint32 colour)
{
    m_backColor = colour;
    QPalette p = m_view->palette();
    const QColor c = OleColor::toQColor(colour, palette());
    p.setBrush(QPalette::Base, m_background.isNull() ? QBrush(c) : QBrush(c, m_background));
    m_view->setPalette(p);
}

void cGrid::setBackgroundPicture(const QPixmap &picture)
{
    m_background = picture;
    setBackColor(m_backColor);
}

// --- sorting ---------------------------------------------------------------

int cGrid::ColumnSortOrder(int col) const
{
    return col >= 1 && col <= Columns() ? m_model->column(col - 1).sortOrder : 0;
}

void cGrid::setColumnSortOrder(int col, int order)
{
    if (col >= 1 && col <= Columns())
        m_model->column(col - 1).sortOrder = order;
}

int cGrid::ColumnSortType(int col) const
{
    return col >= 1 && col <= Columns() ? m_model->column(col - 1).sortType : 0;
}

void cGrid::setColumnSortType(int col, int type)
{
    if (col >= 1 && col <= Columns())
        m_model->column(col - 1).sortType = type;
}

void cGrid::Sort()
{
    struct Key {
        int col;
        bool descending;
        int type;
    };
    std::vector<Key> keys;
    for (int i = 1; i <= m_sort.Count(); ++i) {
        const int col = m_sort.SortColumn(i);
        if (col >= 1 && col <= Columns())
            keys.push_back({col - 1, m_sort.SortOrder(i) == cGridSort::Descending, m_sort.SortType(i)});
    }
    if (keys.empty() || Rows() < 2)
        return;
    std::vector<int> order(static_cast<size_t>(Rows()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const Key &k : keys) {
            const int c = compareCells(*m_model, a, b, k.col, k.type);
            if (c != 0)
                return k.descending ? c > 0 : c < 0;
        }
        return false;
    });
    CodeChange guard(this);
    ++m_rowsGeneration;
    m_model->permuteRows(order);
}

// --- events ----------------------------------------------------------------

QPoint cGrid::cellPosition(int row, int col) const
{
    const QRect r = m_view->visualRect(m_model->index(row - 1, col - 1));
    return m_view->viewport()->mapTo(this, r.topLeft());
}

QWidget *cGrid::viewport() const
{
    return m_view->viewport();
}

void cGrid::forwardMouseUp(QMouseEvent *event)
{
    const QPoint p = m_view->viewport()->mapTo(this, event->position().toPoint());
    emit MouseUp(vbButton(event->button()), vbShift(event->modifiers()), Twips::fromPixels(p.x()),
                 Twips::fromPixels(p.y()));
}

void cGrid::forwardDrop(QDropEvent *event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QPoint p = m_view->viewport()->mapTo(this, event->position().toPoint());
    int button = 0;
    if (event->buttons() & Qt::LeftButton)
        button |= 1;
    if (event->buttons() & Qt::RightButton)
        button |= 2;
    emit OLEDragDrop(DataObject(files), 1, button, vbShift(event->modifiers()), Twips::fromPixels(p.x()),
                     Twips::fromPixels(p.y()));
}
