#pragma once

#include <QString>

// The ID3v1 genre codes and their names, shared by both tag classes, the tags
// editor and the MP3 encoder.
namespace GenreTable {

// The name of a genre code; empty for 123 and for 148 to 255, which have none.
QString name(quint8 code);

// The code that means no genre.
constexpr quint8 kNone = 255;
// The code of a genre text: a code of the table ("17", "(17)Rock") or a name,
// compared by letters and digits alone, without regard to case ("hip-hop"
// is "Hip Hop"). kNone when the text names no genre of the table.
quint8 code(const QString &text);

} // namespace GenreTable
