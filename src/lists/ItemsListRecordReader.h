#pragma once

#include "lists/ItemProbe.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"


// Turns a stored record into the row the items grid shows, and a row back
// into the record the list file keeps.
namespace ItemsListRecordReader {

// A row for every record: one whose audio file is missing or does not open
// keeps every stored value and leaves its size, length and date empty, so the
// next save writes it back unchanged. A mark that is not a number shows
// unmarked and keeps its text; a range that is not a number shows no range
// text. The stored tags stay; only a record without any takes the file's
// tags, when copyTags is set and the file opened.
ItemsListRow::Data rowFromRecord(const ItemsListFile::Record &record, const ItemProbe &probe, bool copyTags);
ItemsListFile::Record recordFromRow(const ItemsListRow::Data &row);

// The cells read again from the audio file at every load: Time, Size,
// Created and BytesSize.
void setFileFacts(ItemsListRow::Data &row, const ItemProbe &probe);
// The seven tag cells.
void setTags(ItemsListRow::Data &row, const AudioTags &tags);

// Whole seconds of a length in milliseconds, halves to the even neighbour.
qint64 roundedSeconds(qint64 milliseconds);
// "HH:MM:SS" with at least two digits of hours.
QString hhmmss(qint64 seconds);
// "HH:MM:SS - HH:MM:SS" of a stored start and length; empty when either is
// not a number.
QString rangeText(const QString &start, const QString &length);

} // namespace ItemsListRecordReader
