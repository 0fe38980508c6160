#pragma once

#include <QString>

// The folders and files that the options fall back on when none is stored.
namespace OptionsFolders {

// The program folder's "Main/" folder, where the items lists live unless the
// user chose another.
QString defaultListsFolder();
// The lists folder as it is stored and published: empty or blanks only gives
// the default folder, anything else ends in "/".
QString normalListsFolder(const QString &folder);
// Creates the folder with every missing level when it is the default lists
// folder; another folder is the user's own choice and is left alone.
void ensureDefaultListsFolder(const QString &folder);
// The sound shipped with the program for the end of a job.
QString defaultEndSound();

} // namespace OptionsFolders
