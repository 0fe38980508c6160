#include "lists/ItemsListRecordReader.h"

#include "core/mdlFileSystem.h"
#include "core/mdlFileTime.h"

#include <QLocale>

#include <cmath>
#include <optional>

namespace ItemsListRecordReader {

namespace {

using ItemsListFile::Record;
namespace Row = ItemsListRow;

std::optional<double> storedNumber(const QString &text)
{
    bool ok = false;
    double value = text.trimmed().toDouble(&ok);
    if (!ok)
        value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

qint64 nearestWhole(double value)
{
    return qint64(std::nearbyint(value));
}

} // namespace

qint64 roundedSeconds(qint64 milliseconds)
{
    return nearestWhole(double(milliseconds) / 1000.0);
}

QString hhmmss(qint64 seconds)
{
    const qint64 s = qMax<qint64>(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString rangeText(const QString &start, const QString &length)
{
    const std::optional<double> from = storedNumber(start);
    const std::optional<double> span = storedNumber(length);
    if (!from || !span)
        return QString();
    const qint64 startSeconds = nearestWhole(*from);
    return hhmmss(startSeconds) + QStringLiteral(" - ") + hhmmss(nearestWhole(double(startSeconds) + *span));
}

Row::Data rowFromRecord(const Record &record, const ItemProbe &probe, bool copyTags)
{
    Row::Data row;
    bool numeric = false;
    const int mark = record[ItemsListFile::FieldInc].trimmed().toInt(&numeric);
    if (numeric) {
        row.incIcon = mark;
    } else {
        row.incIcon = Row::IconUnmarked;
        row[Row::Inc] = record[ItemsListFile::FieldInc];
    }
    row.typeIcon = Row::GetTypeIcon(record[ItemsListFile::FieldType]);
    row[Row::ItemName] = record[ItemsListFile::FieldItemName];
    row[Row::File] = record[ItemsListFile::FieldFile];
    row.available = probe.opened;

    if (probe.opened)
        setFileFacts(row, probe);

    const QString &rangeAll = record[ItemsListFile::FieldRangeAll];
    if (rangeAll == QLatin1String("0")) {
        row[Row::RangeAll] = rangeAll;
        row[Row::RangeStart] = record[ItemsListFile::FieldRangeStart];
        row[Row::RangeLength] = record[ItemsListFile::FieldRangeLength];
        row[Row::Range] = rangeText(row[Row::RangeStart], row[Row::RangeLength]);
    } else if (probe.opened) {
        row[Row::RangeAll] = QStringLiteral("1");
        row[Row::Range] = QStringLiteral("All");
    } else {
        // Nothing could be checked against the file, so nothing is tidied.
        row[Row::RangeAll] = rangeAll;
        row[Row::RangeStart] = record[ItemsListFile::FieldRangeStart];
        row[Row::RangeLength] = record[ItemsListFile::FieldRangeLength];
        row[Row::Range] = QStringLiteral("All");
    }

    const AudioTags stored{.album = record[ItemsListFile::FieldTagAlbum],
                           .artist = record[ItemsListFile::FieldTagArtist],
                           .comment = record[ItemsListFile::FieldTagComment],
                           .genre = record[ItemsListFile::FieldTagGenre],
                           .title = record[ItemsListFile::FieldTagTitle],
                           .track = record[ItemsListFile::FieldTagTrack],
                           .year = record[ItemsListFile::FieldTagYear]};
    // Stored tags are the user's (typed, or copied when the item was added):
    // replacing them with the file's at every load would lose them at the
    // next save.
    setTags(row, copyTags && probe.opened && stored.isEmpty() ? probe.tags : stored);
    return row;
}

void setFileFacts(Row::Data &row, const ItemProbe &probe)
{
    row[Row::Time] = hhmmss(roundedSeconds(probe.durationMs));
    row[Row::Size] = mdlFileSystem::FormatFileSize(double(probe.bytes));
    row.created = probe.created.isValid() ? probe.created.toLocalTime() : mdlFileTime::ZeroDate();
    row[Row::BytesSize] = QString::number(probe.bytes);
}

void setTags(Row::Data &row, const AudioTags &tags)
{
    row[Row::TagAlbum] = tags.album;
    row[Row::TagArtist] = tags.artist;
    row[Row::TagComment] = tags.comment;
    row[Row::TagGenre] = tags.genre;
    row[Row::TagYear] = tags.year;
    row[Row::TagTitle] = tags.title;
    row[Row::TagTrack] = tags.track;
}

Record recordFromRow(const Row::Data &row)
{
    Record record;
    // A mark that was no number when read is kept as it was until the user
    // marks the item.
    const bool keptMark = row.incIcon == Row::IconUnmarked && !row[Row::Inc].isEmpty();
    record[ItemsListFile::FieldInc] = keptMark ? row[Row::Inc] : QString::number(row.incIcon);
    record[ItemsListFile::FieldType] = QStringLiteral("Audio");
    record[ItemsListFile::FieldItemName] = row[Row::ItemName];
    record[ItemsListFile::FieldFile] = row[Row::File];
    record[ItemsListFile::FieldRangeAll] = row[Row::RangeAll];
    record[ItemsListFile::FieldRangeStart] = row[Row::RangeStart];
    record[ItemsListFile::FieldRangeLength] = row[Row::RangeLength];
    record[ItemsListFile::FieldTagAlbum] = row[Row::TagAlbum];
    record[ItemsListFile::FieldTagArtist] = row[Row::TagArtist];
    record[ItemsListFile::FieldTagComment] = row[Row::TagComment];
    record[ItemsListFile::FieldTagGenre] = row[Row::TagGenre];
    record[ItemsListFile::FieldTagYear] = row[Row::TagYear];
    record[ItemsListFile::FieldTagTitle] = row[Row::TagTitle];
    record[ItemsListFile::FieldTagTrack] = row[Row::TagTrack];
    return record;
}

} // namespace ItemsListRecordReader
