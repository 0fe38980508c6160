#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>

// The ".flst" file of one items list: one line of records, each "<ITEM>",
// fourteen "<name>value</name>" fields in a fixed order and "</ITEM>", then
// CR LF. Size, length and dates are not stored; they come from the audio
// file at every load.
namespace ItemsListFile {

enum Field {
    FieldInc,
    FieldType,
    FieldItemName,
    FieldFile,
    FieldRangeAll,
    FieldRangeStart,
    FieldRangeLength,
    FieldTagAlbum,
    FieldTagArtist,
    FieldTagComment,
    FieldTagGenre,
    FieldTagYear,
    FieldTagTitle,
    FieldTagTrack,
};
inline constexpr int FieldCount = FieldTagTrack + 1;

const std::array<QString, FieldCount> &fieldNames();

// One stored record, its values as the user sees them (unescaped).
struct Record {
    std::array<QString, FieldCount> fields;

    QString &operator[](Field f) { return fields[f]; }
    const QString &operator[](Field f) const { return fields[f]; }
    bool operator==(const Record &other) const = default;
};

// The text between the first "<tag>" and the first "</tag>" of text (both
// searched from the start, letter case counting); empty when either is
// missing or the close comes first.
QString GetTagValue(const QString &tag, const QString &text);

// A value that holds a field marker or "<ITEM>" would break its record, so
// the writer puts one backslash after the "<" of every such marker, and one
// more after the "<" of anything already shaped like an escaped marker.
// Values without such text are written unchanged.
QString escapeValue(const QString &value);
QString unescapeValue(const QString &stored);

QString recordText(const Record &record);
Record parseRecord(const QString &piece);
// One field of a record piece, as parseRecord reads it.
QString parseField(const QString &piece, int field);
// The record pieces of a list file's text: what follows each "<ITEM>". Text
// before the first "<ITEM>" is no record.
QStringList recordPieces(const QString &text);
// parseRecord of every non-empty piece, in order, without copying the pieces
// first; stops early (with the records so far) when abort is set.
QList<Record> parseRecords(const QString &text, const std::atomic<bool> *abort = nullptr);

// The whole file's text for these records: the records back to back and CR LF.
QString fileText(const QList<Record> &records);

struct ReadResult {
    // False when the file exists but could not be read whole; such a list
    // must never be saved over.
    bool complete = true;
    QString text;
};
// Reads a list file whole. A missing file is an empty, complete list. Files
// that are not valid UTF-8 come from an 8-bit code page and are read as such.
ReadResult read(const QString &path);

// Replaces the file in one step (a failed write leaves the old file); a
// read-only file is left alone. Answers whether the file now holds the list;
// error, when given, gets the reason it does not.
bool write(const QString &path, const QList<Record> &records, QString *error = nullptr);

} // namespace ItemsListFile
