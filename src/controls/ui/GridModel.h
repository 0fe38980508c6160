#pragma once

#include "controls/ui/GridCell.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <vector>

class cImageList;

// The storage behind cGrid: plain rows of plain cells, so a list of
// thousands of items costs no object per cell. Indexes here are 0-based;
// cGrid does the 1-based translation.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Cell = GridCell;
    struct Column {
        QString key;
        QString header;
        int align = 0;
        int icon = -1;
        int sortOrder = 0;
        int sortType = 0;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int addColumn(const Column &column);
    int columnIndex(const QString &key) const; // -1 when absent
    const Column &column(int c) const { return m_columns[static_cast<size_t>(c)]; }
    Column &column(int c) { return m_columns[static_cast<size_t>(c)]; }

    void appendRow();
    // Appends the rows in one insertion, however many they are; each row
    // holds a cell per column (missing ones are added empty).
    void appendRows(std::vector<std::vector<Cell>> &&rows);
    void removeRow(int r);
    void clearRows();

    const Cell &cell(int r, int c) const { return (*m_rows[static_cast<size_t>(r)])[static_cast<size_t>(c)]; }
    // Every row as it stands, shared: the model goes on changing its own.
    std::vector<SharedGridRow> sharedRows() const { return {m_rows.begin(), m_rows.end()}; }
    void setValue(int r, int c, const QVariant &value);
    void setIcon(int r, int c, int icon);
    void setFormat(int r, int c, int format);
    void setFont(int r, int c, const QFont &font);
    // The index of font in the font table, added when new.
    int fontIndex(const QFont &font);
    QFont font(int r, int c) const;
    QString text(int r, int c) const;

    void setImageList(cImageList *list);
    cImageList *imageList() const { return m_images; }
    void setBaseFont(const QFont &font) { m_fonts[0] = font; }
    const QFont &baseFont() const { return m_fonts[0]; }

    // Reorders whole rows; order[i] is the old index of the row that goes
    // to place i.
    void permuteRows(const std::vector<int> &order);

private:
    void changed(int r, int c, const QList<int> &roles);
    // The cell to change, its row copied first when a copy still shares it.
    Cell &writable(int r, int c);

    std::vector<Column> m_columns;
    std::vector<std::shared_ptr<GridRow>> m_rows;
    std::vector<QFont> m_fonts{QFont()};
    QPointer<cImageList> m_images;
};
