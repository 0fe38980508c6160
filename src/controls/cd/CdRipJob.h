#pragma once

#include "controls/audio/AudioTags.h"
#include "controls/audio/EncodingJob.h"

#include <QString>

// Everything one rip needs, copied from the control when it starts.
struct CdRipRequest {
    QString device; // device path or image file
    QString drive; // "D:", for messages
    qint32 track = 0; // from 1, in disc order
    qint32 rangeStart = -1; // whole seconds into the track; -1 from its start
    qint32 rangeLength = -1; // whole seconds; -1 (or 0) to its end
    DestinationSettings settings;
    AudioTags tags;
    QString destination;
};

// Reads one audio track (or a range of it) through cdparanoia and encodes it
// into the destination. The file is written under a temporary name beside
// the destination and renamed only when complete; on failure or abort
// nothing is left under either name.
class CdRipJob : public EncodingJob {
public:
    explicit CdRipJob(CdRipRequest request);

    // Progress comes as item 0.
    Result run(const std::atomic<bool> &abort, const Progress &progress) override;

private:
    CdRipRequest m_request;
};
