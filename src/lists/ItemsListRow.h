#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>

// One audio item of an items grid: the columns every items grid holds, in
// their fixed order, addressed by key. Rows and columns count from 1.
namespace ItemsListRow {

enum Column {
    Inc = 1,
    Type,
    ItemName,
    Size,
    Time,
    Created,
    Range,
    File,
    RangeAll,
    RangeStart,
    RangeLength,
    BytesSize,
    TagAlbum,
    TagArtist,
    TagComment,
    TagGenre,
    TagYear,
    TagTitle,
    TagTrack,
};
inline constexpr int ColumnCount = TagTrack;

struct ColumnSpec {
    const char *key;
    const char *header;
    int mainWidth;  // -1: a hidden bookkeeping column
    int toolWidth;
    bool shownInMain;
    bool shownInTools;
};
const std::array<ColumnSpec, ColumnCount> &columns();
// The key grids and list files know a column by; empty out of range.
QString key(int column);
// Lets a cGrid address its cells by this enum (see NamedColumn).
inline QString columnKey(Column column)
{
    return key(column);
}

// Icons of the items grid's image list.
inline constexpr int IconUnmarked = 0;
inline constexpr int IconMarked = 1;
inline constexpr int IconAudio = 3;
inline constexpr int IconData = 4;

// The "Type" icon of an item kind: "Audio" 3, "Data" 4, anything else 0
// (letter case counts).
int GetTypeIcon(const QString &typeText);

// The rules every window counts a row by, on the cells' texts so that a
// grid can count tens of thousands of rows without making records. A
// number cell is rounded to the nearest whole second or byte, as the time
// parser rounds (halves to even); a text that is no number counts nothing.
//
// The seconds of audio the row stands for: the whole item's "Time"
// (rangeAll "1"), otherwise its range's length; nothing where the text
// gives none.
std::optional<qint64> secondsOf(const QString &rangeAll, const QString &time, const QString &rangeLength);
// The bytes of the item's file; 0 where the cell gives none.
qint64 bytesOf(const QString &bytesSize);
// The range (start, length) in seconds the row converts; nothing for the
// whole item or for a range that cannot be read, which takes the whole item.
std::optional<std::pair<qint32, qint32>> rangeOf(const QString &rangeAll, const QString &rangeStart,
                                                 const QString &rangeLength);

// The cells of one row as the list loader and the writer see them, without
// any widget: texts by column (texts[column - 1]) and the two icons.
struct Data {
    int incIcon = IconUnmarked;
    int typeIcon = IconAudio;
    // The "Created" cell holds a date-time value; invalid leaves it empty.
    QDateTime created;
    // False for an item whose audio file is missing or does not open.
    bool available = true;
    QStringList texts = QStringList(ColumnCount, QString());

    QString &operator[](int column) { return texts[column - 1]; }
    const QString &operator[](int column) const { return texts[column - 1]; }

    std::optional<qint64> seconds() const { return secondsOf((*this)[RangeAll], (*this)[Time], (*this)[RangeLength]); }
    qint64 bytes() const { return bytesOf((*this)[BytesSize]); }
    std::optional<std::pair<qint32, qint32>> range() const
    {
        return rangeOf((*this)[RangeAll], (*this)[RangeStart], (*this)[RangeLength]);
    }
};

} // namespace ItemsListRow
