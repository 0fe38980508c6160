#pragma once

#include <cstddef>
#include <vector>

// The keys cGrid::Sort orders the rows by, most significant first.
// Positions count from 1; writing a column at position Count + 1 adds a key.
class cGridSort {
public:
    enum Order { Ascending = 1, Descending = 2 };
    // How a column's cells compare.
    enum Type { ByText = 0, ByTextCaseSensitive = 1, ByNumber = 2, ByDate = 3, ByIcon = 4 };

    void Clear() { m_keys.clear(); }
    int Count() const { return static_cast<int>(m_keys.size()); }
    // The position of the key on that column; 0 when the column has none.
    int IndexOf(int column) const;

    int SortColumn(int position) const;
    void setSortColumn(int position, int column);
    int SortOrder(int position) const;
    void setSortOrder(int position, int order);
    int SortType(int position) const;
    void setSortType(int position, int type);

private:
    struct Key {
        int column = 0;
        int order = Ascending;
        int type = ByText;
    };
    Key *at(int position);
    const Key *at(int position) const;

    std::vector<Key> m_keys;
};
