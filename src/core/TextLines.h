#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The line rules of the program's text files: UTF-8, lines split at CR or
// CR LF (a lone LF stays inside its line), every written line ended by CR LF.

namespace TextLines {

// The lines of the file; std::nullopt when it cannot be opened or read. A
// final line end does not start a further, empty line.
std::optional<QStringList> readTextLines(const QString &path);
// Splits text already read at CR or CR LF, with the same rule.
QStringList splitTextLines(const QString &text);
// Replaces the file's content in one step, so a failed write leaves the old
// content in place; answers whether it was written.
bool writeTextFileContent(const QString &path, const QString &content);

} // namespace TextLines
