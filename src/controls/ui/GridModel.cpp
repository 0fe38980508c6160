#include "controls/ui/GridModel.h"

#include "controls/ui/cImageList.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

namespace {

// More than any column can show. The view lays out all of the text it is
// given at every paint, so a list with a field of megabytes would otherwise
// hold the window for seconds each time.
constexpr qsizetype kShownCharacters = 1000;

} // namespace

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Cell &c = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole: {
        const QString shown = text(index.row(), index.column());
        if (shown.size() <= kShownCharacters)
            return shown;
        return QStringView(shown).left(kShownCharacters).toString() + QChar(0x2026);
    }
    case Qt::DecorationRole:
        if (c.icon >= 0 && m_images)
            return m_images->icon(c.icon);
        return {};
    case Qt::FontRole:
        if (c.font > 0)
            return m_fonts[static_cast<size_t>(c.font)];
        return {};
    case Qt::TextAlignmentRole: {
        // The low bits of a cell's format follow the drawing flags of the
        // platform the lists came from: 1 centres, 2 right-aligns.
        Qt::Alignment h = (c.format & 1) ? Qt::AlignHCenter : (c.format & 2) ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const Column &col = column(section);
    if (role == Qt::DisplayRole)
        return col.header;
    if (role == Qt::DecorationRole && col.icon >= 0 && m_images)
        return m_images->icon(col.icon);
    return {};
}

int GridModel::addColumn(const Column &column)
{
    const int c = columnCount();
    beginInsertColumns(QModelIndex(), c, c);
    m_columns.push_back(column);
    for (auto &row : m_rows) {
        if (row.use_count() > 1)
            row = std::make_shared<GridRow>(*row);
        row->emplace_back();
    }
    endInsertColumns();
    return c;
}

int GridModel::columnIndex(const QString &key) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].key.compare(key, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void GridModel::appendRow()
{
    const int r = rowCount();
    beginInsertRows(QModelIndex(), r, r);
    m_rows.push_back(std::make_shared<GridRow>(m_columns.size()));
    endInsertRows();
}

void GridModel::appendRows(std::vector<std::vector<Cell>> &&rows)
{
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    m_rows.reserve(m_rows.size() + rows.size());
    for (auto &row : rows) {
        row.resize(m_columns.size());
        m_rows.push_back(std::make_shared<GridRow>(std::move(row)));
    }
    endInsertRows();
}

void GridModel::removeRow(int r)
{
    beginRemoveRows(QModelIndex(), r, r);
    m_rows.erase(m_rows.begin() + r);
    endRemoveRows();
}

void GridModel::clearRows()
{
    if (m_rows.empty())
        return;
    // A removal, not a reset: a reset would make the view forget its
    // column widths and which columns are hidden.
    beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
    m_rows.clear();
    // Fonts of rows that are gone would only pile up.
    m_fonts.resize(1);
    endRemoveRows();
}

void GridModel::setValue(int r, int c, const QVariant &value)
{
    writable(r, c).value = value;
    changed(r, c, {Qt::DisplayRole});
}

void GridModel::setIcon(int r, int c, int icon)
{
    writable(r, c).icon = icon;
    changed(r, c, {Qt::DecorationRole});
}

void GridModel::setFormat(int r, int c, int format)
{
    writable(r, c).format = format;
    changed(r, c, {Qt::TextAlignmentRole});
}

void GridModel::setFont(int r, int c, const QFont &font)
{
    writable(r, c).font = fontIndex(font);
    changed(r, c, {Qt::FontRole});
}

int GridModel::fontIndex(const QFont &font)
{
    // Cells share a handful of fonts (regular and bold rows), so the table
    // stays tiny however many cells are set.
    auto it = std::find(m_fonts.begin(), m_fonts.end(), font);
    const int index = static_cast<int>(it - m_fonts.begin());
    if (it == m_fonts.end())
        m_fonts.push_back(font);
    return index;
}

QFont GridModel::font(int r, int c) const
{
    return m_fonts[static_cast<size_t>(cell(r, c).font)];
}

QString GridModel::text(int r, int c) const
{
    return gridCellText(cell(r, c));
}

QString gridCellText(const GridCell &cell)
{
    const QVariant &v = cell.value;
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return QLocale().toString(v.toDateTime(), QLocale::ShortFormat);
    case QMetaType::QDate:
        return QLocale().toString(v.toDate(), QLocale::ShortFormat);
    default:
        return v.toString();
    }
}

void GridModel::setImageList(cImageList *list)
{
    m_images = list;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DecorationRole});
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void GridModel::permuteRows(const std::vector<int> &order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> newPlace(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        newPlace[static_cast<size_t>(order[i])] = static_cast<int>(i);
    std::vector<std::shared_ptr<GridRow>> rows;
    rows.reserve(m_rows.size());
    for (int old : order)
        rows.push_back(std::move(m_rows[static_cast<size_t>(old)]));
    m_rows = std::move(rows);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before)
        after.append(index(newPlace[static_cast<size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

GridModel::Cell &GridModel::writable(int r, int c)
{
    std::shared_ptr<GridRow> &row = m_rows[static_cast<size_t>(r)];
    // Only this thread makes copies, so a count of one cannot grow meanwhile.
    if (row.use_count() > 1)
        row = std::make_shared<GridRow>(*row);
    return (*row)[static_cast<size_t>(c)];
}

void GridModel::changed(int r, int c, const QList<int> &roles)
{
    const QModelIndex i = index(r, c);
    emit dataChanged(i, i, roles);
}
