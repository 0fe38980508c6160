#include "controls/cd/CdToc.h"

#include "controls/cd/CdioLock.h"

namespace {

constexpr qint32 kSectorsPerSecond = 75;
// The lead-in and lead-out that separate the sessions of a multi-session
// disc; they lie between an audio session and the data track after it.
constexpr qint32 kSessionGapSectors = 11400;
// Sector addresses count from the end of the two-second lead-in.
constexpr qint32 kLeadInSectors = 150;

int digitSum(qint32 n)
{
    int sum = 0;
    for (; n > 0; n /= 10)
        sum += n % 10;
    return sum;
}

} // namespace

bool CdToc::hasAudio() const
{
    for (const Track &t : tracks)
        if (t.audio)
            return true;
    return false;
}

qint32 CdToc::seconds(int n) const
{
    if (n < 1 || n > tracks.size())
        return 0;
    return tracks[n - 1].sectors / kSectorsPerSecond;
}

namespace CdTocReader {

CdToc read(CdIo_t *cdio)
{
    CdToc toc;
    if (!cdio)
        return toc;
    cd::CdioLock lock;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return toc;
    const lsn_t leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (leadout == CDIO_INVALID_LSN)
        return toc;
    toc.leadout = leadout;
    for (track_t i = first; i < first + count; ++i) {
        const lsn_t start = cdio_get_track_lsn(cdio, i);
        if (start == CDIO_INVALID_LSN)
            return {};
        CdToc::Track t;
        t.start = start;
        t.audio = cdio_get_track_format(cdio, i) == TRACK_FORMAT_AUDIO;
        toc.tracks << t;
    }
    for (int i = 0; i < toc.tracks.size(); ++i) {
        const qint32 end = i + 1 < toc.tracks.size() ? toc.tracks[i + 1].start : toc.leadout;
        toc.tracks[i].sectors = qMax(0, end - toc.tracks[i].start);
    }
    // On a disc with audio first and data in a later session the last audio
    // track would otherwise run into the gap between the sessions.
    lsn_t lastSession = 0;
    if (cdio_get_last_session(cdio, &lastSession) == DRIVER_OP_SUCCESS && lastSession > 0) {
        for (int i = 0; i + 1 < toc.tracks.size(); ++i) {
            CdToc::Track &t = toc.tracks[i];
            const CdToc::Track &next = toc.tracks[i + 1];
            if (t.audio && !next.audio && next.start >= lastSession && t.sectors > kSessionGapSectors)
                t.sectors -= kSessionGapSectors;
        }
    }
    return toc;
}

} // namespace CdTocReader

quint32 cddbDiscId(const CdToc &toc)
{
    if (toc.tracks.isEmpty())
        return 0;
    int n = 0;
    for (const CdToc::Track &t : toc.tracks)
        n += digitSum((t.start + kLeadInSectors) / kSectorsPerSecond);
    const qint32 total = (toc.leadout + kLeadInSectors) / kSectorsPerSecond
        - (toc.tracks.first().start + kLeadInSectors) / kSectorsPerSecond;
    return (quint32(n % 0xff) << 24) | (quint32(total) << 8) | quint32(toc.tracks.size());
}
