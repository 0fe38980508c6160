#pragma once

#include <QString>

// The options the items lists read, in one place: the lists folder, whether
// loading selects the last item, and whether tags come from the audio files.
namespace ListOptions {

QString listsFolder();
bool selectTheLastItem();
bool copyID3FromSource();

} // namespace ListOptions
