#include "controls/ui/cGridCell.h"

#include "controls/ui/cGrid.h"

bool cGridCell::valid() const
{
    return m_grid && m_row >= 1 && m_row <= m_grid->Rows() && m_col >= 1 && m_col <= m_grid->Columns();
}

QString cGridCell::Text() const
{
    return valid() ? m_grid->CellText(m_row, m_col) : QString();
}

void cGridCell::setText(const QVariant &value)
{
    if (m_grid)
        m_grid->SetCell(m_row, m_col, value);
}

QVariant cGridCell::Value() const
{
    return valid() ? m_grid->CellValue(m_row, m_col) : QVariant();
}

int cGridCell::Icon() const
{
    return valid() ? m_grid->CellIcon(m_row, m_col) : -1;
}

void cGridCell::setIcon(int icon)
{
    if (valid())
        m_grid->setCellIcon(m_row, m_col, icon);
}

QFont cGridCell::Font() const
{
    return valid() ? m_grid->CellFont(m_row, m_col) : QFont();
}

void cGridCell::setFont(const QFont &font)
{
    if (valid())
        m_grid->setCellFont(m_row, m_col, font);
}

bool cGridCell::Selected() const
{
    return valid() && m_grid->RowSelected(m_row);
}
