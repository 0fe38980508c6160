#pragma once

#include "lists/ItemsListRow.h"

#include <QStringList>

#include <functional>

// Reads the records of a list into rows. Every record costs one open of its
// audio file; the opens run on worker threads, several at a time, while the
// rows are handed over in record order on the calling thread, which keeps
// painting (user input waits until the load ends).
namespace ItemsListLoader {

using RowSink = std::function<void(int rowNumber, const ItemsListRow::Data &row)>;

// Builds a row for each non-empty record piece, calling addRow with row
// numbers 1, 2, ... in order; answers the number of rows.
int load(const QStringList &pieces, bool copyTags, const RowSink &addRow);

} // namespace ItemsListLoader
