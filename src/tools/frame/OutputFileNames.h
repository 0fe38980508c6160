#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;

// Output-name templates of the row-by-row tool windows: a text with
// bracketed tokens filled in from the row being written, the destination
// format and the clock. Free of widgets but for filling a template box.
namespace OutputFileNames {

// The templates a name box offers when FileNameFormats.txt is absent.
const QStringList &builtInTemplates();

// FileNameFormats.txt in the program folder.
QString formatsFile();

// Replaces the box's items by the non-empty lines of FileNameFormats.txt when
// that file exists; otherwise the box keeps the templates it holds.
void LoadFileNameFormats(QComboBox *cboFileName);

// The extension a destination-format text names: its text before the first
// " -", in lower case ("mp3" for "MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
// nothing for a text without " -".
std::optional<QString> extensionOfFormat(const QString &formatText);

// What the tokens of one row stand for.
struct RowValues {
    qint32 row = 0;                      // "[123]"
    QString sourcePath;                  // "[file_name]" from its file name
    QString itemName;                    // "[item_name]", "[source_extension]"
    std::optional<QString> destExtension; // "[dest_extension]", "[convert_extension]"
};

using Clock = std::function<QDateTime()>;

// The template with each token replaced, every occurrence and with exact
// case, one token after the other in a fixed order, so a value that holds a
// later token has it replaced too. An extension token stays when the values
// give no extension. The clock is read once for "[time]" and once for "[date]".
QString MakeOutputFileName(const QString &nameTemplate, const RowValues &values,
                           const Clock &clock = &QDateTime::currentDateTime);

// "[time]": "HH:MM:SS" with the desktop's time separator, each ":" then "-".
QString timeToken(const QTime &time);
// "[date]": the desktop's short date with each "/" made "-".
QString dateToken(const QDate &date);

// The separator between hours and minutes in the desktop's time format.
QString timeSeparator();

// A name that can stand as one file inside the destination folder: a "/" or
// a control character would reach another folder or cut the name, so each
// becomes "-". Empty, "." and ".." name no file and give the empty text.
QString usableFileName(const QString &name);

// The name with " (n)" before its last extension ("song (2).wav").
QString numberedFileName(const QString &name, int n);

// The longest file name, in bytes, that the file system holding folder
// takes (asked of the nearest folder that exists; NAME_MAX at most).
int longestFileName(const QString &folder);

// The name cut to at most maxBytes bytes of UTF-8: its start, which says
// what the file is ("Part_3_Concert"), and its end with the extension stay,
// the middle gives way to "...". Letters are never split. A name that fits
// is returned as it is.
QString fittedFileName(const QString &name, int maxBytes);

// The name as it can be made in folder: cut to the folder's limit.
QString fittedFileNameIn(const QString &folder, const QString &name);

} // namespace OutputFileNames
