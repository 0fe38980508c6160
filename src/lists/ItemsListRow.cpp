#include "lists/ItemsListRow.h"

namespace ItemsListRow {

const std::array<ColumnSpec, ColumnCount> &columns()
{
    // In the main window the item information grid shows size, length and
    // creation date, so the items grid keeps them hidden; the tool windows
    // show them.
    static const std::array<ColumnSpec, ColumnCount> table = {{
        {"Inc", "Inc", 26, 20, true, true},
        {"Type", "Type", 40, 40, true, true},
        {"Item Name", "Item Name", 180, 160, true, true},
        {"Size", "Size", 80, 80, false, true},
        {"Time", "Time-Length", 80, 80, false, true},
        {"Created", "Created", 140, 140, false, true},
        {"Range", "Range", 120, 120, true, true},
        {"COL_FILE", "COL_FILE", -1, -1, false, false},
        {"COL_RANGE_ALL", "COL_RANGE_ALL", -1, -1, false, false},
        {"COL_RANGE_START_TIME", "COL_RANGE_START_TIME", -1, -1, false, false},
        {"COL_RANGE_LENGTH_TIME", "COL_RANGE_LENGTH_TIME", -1, -1, false, false},
        {"COL_BYTES_SIZE", "COL_BYTES_SIZE", -1, -1, false, false},
        {"COL_TAG_ALBUM", "COL_TAG_ALBUM", -1, -1, false, false},
        {"COL_TAG_ARTIST", "COL_TAG_ARTIST", -1, -1, false, false},
        {"COL_TAG_COMMENT", "COL_TAG_COMMENT", -1, -1, false, false},
        {"COL_TAG_GEN", "COL_TAG_GEN", -1, -1, false, false},
        {"COL_TAG_YEAR", "COL_TAG_YEAR", -1, -1, false, false},
        {"COL_TAG_TITLE", "COL_TAG_TITLE", -1, -1, false, false},
        {"COL_TAG_TRACK", "COL_TAG_TRACK", -1, -1, false, false},
    }};
    return table;
}

QString key(int column)
{
    if (column < 1 || column > ColumnCount)
        return QString();
    return QString::fromLatin1(columns()[column - 1].key);
}

int GetTypeIcon(const QString &typeText)
{
    if (typeText == QLatin1String("Audio"))
        return IconAudio;
    if (typeText == QLatin1String("Data"))
        return IconData;
    return 0;
}

} // namespace ItemsListRow
