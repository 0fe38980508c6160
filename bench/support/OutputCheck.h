#pragma once

#include <QString>
#include <QStringList>

// What an output file must be for a run to count: read back by ffprobe, not
// by the program that wrote it.
namespace Bench {

struct Expected {
    QString formatName;  // ffprobe's format_name, e.g. "mp3", "ogg", "wav"
    QString codec;       // the audio stream's codec_name
    int rate = 44100;
    int channels = 2;
    double seconds = 0;
    double tolerance = 0; // seconds either way
};

// Empty when the file is what was expected; otherwise what is wrong with it.
QString checkOutput(const QString &path, const Expected &expected);

// Every file in folder (not recursing), in the natural order of their names
// (Part_2 before Part_10).
QStringList filesIn(const QString &folder);

// checkOutput over every file of folder; the folder must hold count files.
QString checkFolder(const QString &folder, int count, const Expected &expected);

} // namespace Bench
