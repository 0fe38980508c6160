#pragma once

#include <QString>
#include <QtGlobal>

class QComboBox;
class QTime;
class QPlainTextEdit;
class QTextEdit;
class QWidget;

// Paths, names, text files, the destination-folder history, the job log and
// duration texts that every window shares. Paths use "/" and absolute paths
// stay absolute. Nothing here throws or shows a message box.
namespace mdlFunctions {

// --- Paths and names -------------------------------------------------------

// The part after the last "/"; the whole text without one; empty for an empty
// path and for a path ending in "/".
QString GetFileName(const QString &path);
// The path without its last part, with a trailing "/" ("/home/u/a.flst" gives
// "/home/u/"); empty for a bare name.
QString GetFolderPath(const QString &path);
// The path up to and including its last "/"; empty when it has none.
QString GetFileFolder(const QString &path);
// Whether the path names an existing folder.
bool IsFolder(const QString &path);
// Opens a file, folder, program or web page with the desktop's handler. The
// outcome is not reported.
void ShellOpen(QWidget *owner, const QString &file);
// Creates every missing level of the path; 0 when it all exists afterwards,
// else the system error code of the first level that could not be made
// (levels made before it stay).
int MakeFolderPath(const QString &path);
// The name with each character that trips up file systems, shells or players
// replaced by "-".
QString MakeSafeFileName(const QString &name);
// At most 12 characters after the last "." of the whole text; empty without a ".".
QString GetExtension(const QString &name);
// The text after the last "."; empty without a ".".
QString GetExtensionPart(const QString &name);
// The text before the last "."; empty without a ".".
QString RemoveExtension(const QString &name);
// False when the name holds any of / \ : ? * < > " |, else true (also when empty).
bool IsValidName(const QString &name);
// Key filter for a name box's key press: one of the nine characters that
// IsValidName refuses shows a hint at the box and sets KeyAscii to 0; any
// other key passes unchanged.
void CheckNameKeyPress(QWidget *txtBox, qint16 &KeyAscii);

// --- Text files (UTF-8; written with CR LF; read split at CR or CR LF) ----

// Creates or replaces the file with the text followed by CR LF.
void WriteTextFile(const QString &text, const QString &path);
// The file's lines joined with CR LF; empty when there is no such file.
QString ReadTextFile(const QString &path);
// Replaces the combo box's items by the non-empty lines of the file; the
// selection and the edit text are left alone.
void LoadListFileToCombo(const QString &path, QComboBox *combo);

// --- Destination-folder history (PathHistory in the program folder) --------

// Records the combo box's text as the newest of at most 16 folders.
void SavePathHistory(QComboBox *combo);
// Fills the combo box with the recorded folders, newest first, and selects
// the first one.
void LoadPathHistory(QComboBox *combo);
// Lets the user pick a folder starting at the combo box's text; a picked
// folder becomes its text, ending with "/", and the newest of the history.
void BrowseForPathHistoryFolder(QComboBox *combo, QWidget *owner);

// --- Job log ----------------------------------------------------------------

// The line AddLogLine appends: the time of day in the user's time format
// (hours, minutes and seconds), ":", the message and CR LF.
QString JobLogLine(const QString &message, const QTime &at);
// Appends the job log line for the message and moves the caret to the end.
void AddLogLine(const QString &message, QPlainTextEdit *txtLog);
void AddLogLine(const QString &message, QTextEdit *txtLog);

// --- Durations --------------------------------------------------------------

// "H:MM:SS" with as many hour digits as needed (90061 gives "25:01:01").
QString SecondsToHMS(qint32 seconds);
// The seconds of a duration or time-of-day text ("1:2:3" and "01:02:03" give
// 3723, "25:00:00" gives 90000); the date of a date-time text is ignored;
// 0 for a text without three fields.
qint32 TimeToSeconds(const QString &time);

} // namespace mdlFunctions
