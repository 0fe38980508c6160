#pragma once

#include "controls/audio/AudioTags.h"

#include <QString>

// A conversion a job will start later, as its start will set it on the job
// control: its row, tags, source, range (whole seconds, -1 for none) and
// destination file.
struct ConversionAhead {
    qint32 row = 0; // of the job's grid, from 1
    AudioTags tags;
    QString source;
    qint32 rangeStart = -1;
    qint32 rangeLength = -1;
    QString destination;
};
