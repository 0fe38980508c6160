#include "controls/ui/cGridSort.h"

using std::size_t;

int cGridSort::IndexOf(int column) const
{
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i].column == column)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

cGridSort::Key *cGridSort::at(int position)
{
    if (position == Count() + 1)
        m_keys.emplace_back();
    return position >= 1 && position <= Count() ? &m_keys[static_cast<size_t>(position - 1)] : nullptr;
}

const cGridSort::Key *cGridSort::at(int position) const
{
    return position >= 1 && position <= Count() ? &m_keys[static_cast<size_t>(position - 1)] : nullptr;
}

int cGridSort::SortColumn(int position) const
{
    const Key *k = at(position);
    return k ? k->column : 0;
}

void cGridSort::setSortColumn(int position, int column)
{
    if (Key *k = at(position))
        k->column = column;
}

int cGridSort::SortOrder(int position) const
{
    const Key *k = at(position);
    return k ? k->order : 0;
}

void cGridSort::setSortOrder(int position, int order)
{
    if (Key *k = at(position))
        k->order = order == Descending ? Descending : Ascending;
}

int cGridSort::SortType(int position) const
{
    const Key *k = at(position);
    return k ? k->type : 0;
}

void cGridSort::setSortType(int position, int type)
{
    if (Key *k = at(position))
        k->type = type;
}
