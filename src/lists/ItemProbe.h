#pragma once

#include "controls/audio/AudioTags.h"

#include <QDateTime>
#include <QString>

// What a list item needs to know of its audio file.
struct ItemProbe {
    bool opened = false; // the file exists and holds audio
    qint64 bytes = 0;
    qint32 durationMs = 0;
    // In UTC: the local-time conversion takes a process-wide lock, which
    // the workers probing a list's files would queue on.
    QDateTime created;
    AudioTags tags;
};

// Describes the file as the audio converter does, touching nothing shared,
// so that it can run on any thread; reads the tags only when asked.
ItemProbe probeItemFile(const QString &path, bool readTags);
