#pragma once

#include <QString>

// The ID3v1 genre codes and their names, shared by both tag classes and the
// tags editor.
namespace GenreTable {

// The name of a genre code; empty for 123 and for 148 to 255, which have none.
QString name(quint8 code);

} // namespace GenreTable
