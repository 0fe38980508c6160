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
// The text of a file's bytes: UTF-8 when they are valid UTF-8, otherwise
// the Windows ANSI code page (1252) older versions wrote, where 0x80 is the
// euro sign and 0x92 the right quotation mark.
QString decodeText(const QByteArray &bytes);
// Splits text already read at CR or CR LF, with the same rule.
QStringList splitTextLines(const QString &text);
// Replaces the file's content in one step, so a failed write leaves the old
// content in place; answers whether it was written, and error, when given,
// gets the reason it was not.
bool writeTextFileContent(const QString &path, const QString &content, QString *error = nullptr);

} // namespace TextLines
