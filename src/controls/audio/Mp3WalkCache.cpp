#include "controls/audio/Mp3WalkCache.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// A converter window runs a few sources side by side; a split runs one.
constexpr size_t kKept = 4;

} // namespace

std::shared_ptr<const Mp3FrameWalk> Mp3WalkCache::walk(const QString &path, const std::atomic<bool> &abort)
{
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    std::shared_ptr<Slot> slot;
    {
        const std::lock_guard lock(m_mutex);
        const auto same = std::find_if(m_entries.begin(), m_entries.end(),
            [&](const Entry &e) { return e.path == path; });
        if (same != m_entries.end()) {
            if (same->size == size && same->modified == modified)
                slot = same->slot;
            m_entries.erase(same);
        }
        if (!slot)
            slot = std::make_shared<Slot>();
        m_entries.push_front(Entry{path, size, modified, slot});
        if (m_entries.size() > kKept)
            m_entries.pop_back();
    }
    const std::lock_guard lock(slot->walking);
    // A walk given up on an abort leaves the slot empty for the next job.
    if (!slot->walk)
        slot->walk = Mp3FrameWalk::take(path, abort);
    return slot->walk;
}

void Mp3WalkCache::clear()
{
    const std::lock_guard lock(m_mutex);
    m_entries.clear();
}
