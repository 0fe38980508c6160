#pragma once

#include <QString>
#include <QStringList>

// Lists of distinct audio files as a music library holds them: WAV, MP3 and
// Ogg Vorbis in turn, each a file of its own with its own title tag (and an
// artist and album), written from one template per format so that tens of
// thousands take seconds, not hours.
namespace Bench {

// count files in folder (made when missing, kept when it already holds
// them), named so that their natural order is the order they were made in.
// Answers the paths in that order; throws RunFailure when a template cannot
// be made.
QStringList taggedFiles(const QString &folder, int count);

} // namespace Bench
