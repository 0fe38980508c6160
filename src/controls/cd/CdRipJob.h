#pragma once

#include "controls/audio/AudioTags.h"
#include "controls/audio/EncodingJob.h"

#include <QString>

#include <memory>
#include <optional>

namespace cd {
class CdReadTurn;
}

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

    bool operator==(const CdRipRequest &) const = default;
};

// Reads one audio track (or a range of it) through cdparanoia and encodes it
// into the destination. The file is written under a temporary name beside
// the destination and renamed only when complete; on failure or abort
// nothing is left under either name. Rips of one drive read their tracks
// whole, one after the other in the order they were made; one run ahead of
// its turn gives the drive up before it encodes.
class CdRipJob : public EncodingJob {
public:
    explicit CdRipJob(CdRipRequest request);
    ~CdRipJob() override;

    // Progress comes as item 0.
    Result run(const std::atomic<bool> &abort, const Progress &progress) override;
    bool sameWork(const EncodingJob &job) const override;

private:
    struct Reading;

    // The steps of run(), in order; each answers how the job ended when it
    // ends it, and nothing when the next step may go on.
    std::optional<Result> findTrack(Reading &reading);
    std::optional<Result> openDrive(Reading &reading);
    // Reads the sectors whole into a file and gives the drive up.
    std::optional<Result> readAhead(Reading &reading, const std::atomic<bool> &abort);
    Result encode(Reading &reading, const std::atomic<bool> &abort, const Progress &progress);

    CdRipRequest m_request;
    std::unique_ptr<cd::CdReadTurn> m_readTurn;
};
