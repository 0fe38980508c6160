#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class QWidget;

// The one record the open and save dialogs share. Callers set the filter, the
// title and (for saving) the default extension before they call; the dialog
// procedures set the rest, and nothing is reset between calls.
struct FileDialogRecord {
    qint32 lStructSize = 0;
    QWidget *hwndOwner = nullptr;
    // Pairs of description and pattern, each part ended by a NUL character
    // ("Audio Files (*.wav)\0*.wav\0"); patterns are separated by ";".
    QString lpstrFilter;
    QString lpstrTitle;
    QString lpstrDefExt;
    qint32 Flags = 0;
    QString lpstrInitialDir;
    // After a dialog: the chosen path (one file), or the folder and the names
    // each ended by a NUL (several files).
    QString lpstrFile;
    // After a one-file choice: the chosen name.
    QString lpstrFileTitle;
    // After a one-file choice: where the name starts in lpstrFile.
    qint32 nFileOffset = 0;
};

extern FileDialogRecord g_FileDialog;

// What an open or save dialog chose.
struct FileDialogResult {
    qint16 FileCount = 0;
    // Entries 1 to FileCount: the names (open) or the full path (save). After a
    // one-file open, entry 0 holds the full path too; otherwise it is empty.
    QStringList FileNames;
    // The chosen files' folder: without a closing "/" after an open ("" for a
    // file in the root folder, so Folder + "/" + name is always the path), the
    // root "/" after a several-file open in the root, with a closing "/" after
    // a save; empty when cancelled.
    QString Folder;
    bool Cancelled = false;
};

namespace mdlCommDialog {

constexpr qint32 OFN_ALLOWMULTISELECT = 0x200;
// Long names, no link dereferencing, explorer style, create prompt, several
// files and no read-only box: the open dialog's flags.
constexpr qint32 OpenFlags = 3678724;
// Long names, explorer style, no read-only box and the overwrite question.
constexpr qint32 SaveFlags = 2621446;
// At most this many names are taken from one several-file choice; a choice
// cut short tells the user how many were left out.
constexpr int MaxOpenNames = 1000;

// The open-file dialog (several files allowed), starting in the folder of the
// last one-file choice (the home folder before any).
FileDialogResult ShowOpen(QWidget *owner, bool centerOverOwner);
// The save-file dialog, offering defaultName; it always asks before an
// existing file is replaced.
FileDialogResult ShowSave(QWidget *owner, const QString &defaultName, bool centerOverOwner);
// The chosen colour as red + green * 256 + blue * 65536, or -1 when cancelled.
// The sixteen custom colours the user keeps in the dialog last for the run.
qint32 ShowColor(QWidget *owner, bool centerOverOwner);
// The chosen folder ("/" for the root, otherwise without a closing "/"), or
// an empty text when cancelled. The browser always starts at the top of the
// file system with the initial folder selected, and with statusText names the
// selected folder under the tree; root, dialog style and include files are
// accepted for the callers' sake and change nothing.
QString BrowseForFolder(const QString &title, const QString &initialFolder, QWidget *owner, bool statusText,
                        const QVariant &root = QVariant(), bool newDialogStyle = true, bool includeFiles = false);

} // namespace mdlCommDialog
