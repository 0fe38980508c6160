#pragma once

#include "controls/audio/AudioTags.h"

#include <QDateTime>
#include <QString>

class ItemProbeCache;

// What a list item needs to know of its audio file.
struct ItemProbe {
    enum class Outcome {
        Audio,      // the file holds audio
        PassedOver, // an add takes no notice of it: a folder, or a type the open dialog does not offer
        Missing,
        Empty,
        Unreadable, // the file is there but may not be read
        NotAudio,   // the file was read, and the library finds no audio in it
    };
    Outcome outcome = Outcome::Missing;
    bool opened = false; // the file exists and holds audio
    qint64 bytes = 0;
    qint32 durationMs = 0;
    // In UTC: the local-time conversion takes a process-wide lock, which
    // the workers probing a list's files would queue on.
    QDateTime created;
    AudioTags tags;
};

// Describes the file as the audio converter does, touching nothing shared
// but the cache (which may be null), so that it can run on any thread. What
// the cache knows of a file of the same size and modification time is taken
// from it without reading the file; what is read goes into it. The tags are
// read with the facts, for the cache keeps both.
ItemProbe probeItemFile(const QString &path, ItemProbeCache *cache = nullptr);

// The same for a path the user asks to add: folders and types the open
// dialog does not offer are passed over, an empty file is not opened.
// missingPassedOver passes over a path that names nothing as well, as a drop
// of files does (the user chose nothing there).
ItemProbe probeAddedFile(const QString &path, ItemProbeCache *cache = nullptr, bool missingPassedOver = false);

// Why an add cannot take a file, as the end of "Cannot add <path>: ...";
// empty for a file it takes or passes over.
QString refusalReason(ItemProbe::Outcome outcome);
