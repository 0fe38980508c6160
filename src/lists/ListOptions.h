#pragma once

#include <QString>

// The options the items lists read, in one place: the lists folder, whether
// loading selects the last item, and whether tags come from the audio files.
namespace ListOptions {

// The lists folder text as the program uses and publishes it: ending with
// "/", and the program folder's "Main/" when empty.
QString normaliseListsFolder(const QString &folder);

QString listsFolder();
bool selectTheLastItem();
bool copyID3FromSource();

} // namespace ListOptions
