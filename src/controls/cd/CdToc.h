#pragma once

#include <QVector>

#include <cdio/cdio.h>

// The table of contents of a disc, read once; tracks are counted from 1 in
// disc order whatever number the first track carries.
struct CdToc {
    struct Track {
        qint32 start = 0; // first sector (LSN)
        qint32 sectors = 0; // sectors that belong to the track's audio
        bool audio = false;
    };
    QVector<Track> tracks;
    qint32 leadout = 0; // LSN of the lead-out

    bool isEmpty() const { return tracks.isEmpty(); }
    bool hasAudio() const;
    // Whole seconds of track n (from 1); 0 for a track the disc lacks.
    qint32 seconds(int n) const;
};

namespace CdTocReader {
// An empty table when the device holds no readable disc.
CdToc read(CdIo_t *cdio);
}

// The CDDB disc id of the table: the digit sums of the track start seconds,
// the playing time and the track count, as the CDDB protocol defines it.
quint32 cddbDiscId(const CdToc &toc);
