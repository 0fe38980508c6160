#include "lists/ItemProbe.h"

#include "controls/audio/AudioFacts.h"
#include "core/mdlFunctions.h"
#include "core/mdlSupportedFormats.h"
#include "lists/ItemProbeCache.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One look at the file system answers everything asked of a path before it
// is opened, and keys the cache.
struct FileStat {
    bool exists = false;
    bool folder = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    QDateTime createdUtc;
};

FileStat statFile(const QString &path)
{
    FileStat st;
    struct statx sx {};
    if (path.isEmpty()
        || statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME,
                 &sx)
            != 0)
        return st;
    st.exists = true;
    st.folder = S_ISDIR(sx.stx_mode);
    st.size = qint64(sx.stx_size);
    st.modifiedNs = qint64(sx.stx_mtime.tv_sec) * 1'000'000'000 + sx.stx_mtime.tv_nsec;
    // A file system without creation times leaves the last write time for
    // it; the date is taken to the millisecond and shown to the nearest
    // whole second, halves to the even one, as the file times are.
    const bool born = (sx.stx_mask & STATX_BTIME) && (sx.stx_btime.tv_sec != 0 || sx.stx_btime.tv_nsec != 0);
    const statx_timestamp &t = born ? sx.stx_btime : sx.stx_mtime;
    qint64 seconds = t.tv_sec;
    const qint64 ms = t.tv_nsec / 1'000'000;
    if (ms > 500 || (ms == 500 && (seconds & 1)))
        ++seconds;
    st.createdUtc = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    return st;
}

ItemProbe probeStated(const QString &path, const FileStat &st, ItemProbeCache *cache)
{
    ItemProbe probe;
    if (!st.exists || st.folder) {
        probe.outcome = ItemProbe::Outcome::Missing;
        return probe;
    }
    probe.bytes = st.size;
    probe.created = st.createdUtc;
    std::optional<ItemProbeCache::Facts> known = cache ? cache->find(path, st.size, st.modifiedNs) : std::nullopt;
    if (!known) {
        if (::access(QFile::encodeName(path).constData(), R_OK) != 0) {
            probe.outcome = errno == ENOENT ? ItemProbe::Outcome::Missing : ItemProbe::Outcome::Unreadable;
            return probe;
        }
        const std::optional<AudioDescription> description = describeAudioAndTags(path);
        known = ItemProbeCache::Facts{.audio = description.has_value(),
                                      .durationMs = description ? description->facts.durationMs32() : 0,
                                      .tags = description ? description->tags : AudioTags()};
        if (cache)
            cache->put(path, st.size, st.modifiedNs, *known);
    }
    if (!known->audio) {
        probe.outcome = st.size == 0 ? ItemProbe::Outcome::Empty : ItemProbe::Outcome::NotAudio;
        return probe;
    }
    probe.outcome = ItemProbe::Outcome::Audio;
    probe.opened = true;
    probe.durationMs = known->durationMs;
    probe.tags = known->tags;
    return probe;
}

} // namespace

ItemProbe probeItemFile(const QString &path, ItemProbeCache *cache)
{
    return probeStated(path, statFile(path), cache);
}

ItemProbe probeAddedFile(const QString &path, ItemProbeCache *cache, bool missingPassedOver)
{
    const FileStat st = statFile(path);
    if (st.folder || (missingPassedOver && !st.exists)
        || !mdlSupportedFormats::IsOfferedExtension(mdlFunctions::GetExtensionPart(path))) {
        ItemProbe probe;
        probe.outcome = ItemProbe::Outcome::PassedOver;
        return probe;
    }
    if (st.exists && st.size == 0) {
        ItemProbe probe;
        probe.outcome = ItemProbe::Outcome::Empty;
        probe.created = st.createdUtc;
        return probe;
    }
    return probeStated(path, st, cache);
}

QString refusalReason(ItemProbe::Outcome outcome)
{
    switch (outcome) {
    case ItemProbe::Outcome::Missing:
        return QStringLiteral("the file does not exist.");
    case ItemProbe::Outcome::Empty:
        return QStringLiteral("the file is empty.");
    case ItemProbe::Outcome::Unreadable:
        return QStringLiteral("the file cannot be read.");
    case ItemProbe::Outcome::NotAudio:
        return QStringLiteral("not an audio file FFmpeg can read.");
    case ItemProbe::Outcome::Audio:
    case ItemProbe::Outcome::PassedOver:
        break;
    }
    return QString();
}
