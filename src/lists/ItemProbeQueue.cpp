#include "lists/ItemProbeQueue.h"

#include "lists/ItemProbeCache.h"

ItemProbeQueue::ItemProbeQueue(const QStringList &paths, Kind kind, std::shared_ptr<ItemProbeCache> cache,
                               std::function<void()> notify)
    : m_paths(paths)
    , m_kind(kind)
    , m_cache(std::move(cache))
    , m_notify(std::move(notify))
    , m_results(std::size_t(paths.size()))
    , m_workers(workerCount(paths.size()))
{
    for (int i = 0; i < m_workers.size(); ++i)
        m_workers[i].start([this](const std::atomic<bool> &abort) { work(abort); });
}

ItemProbeQueue::~ItemProbeQueue()
{
    m_workers.stop();
}

int ItemProbeQueue::workerCount(qsizetype files)
{
    return int(qMin<qsizetype>(WorkerPool::cores(), files));
}

void ItemProbeQueue::work(const std::atomic<bool> &abort)
{
    for (qsizetype i = m_next++; i < m_paths.size() && !abort; i = m_next++) {
        const QString &path = m_paths.at(i);
        ItemProbe probe = m_kind == Kind::ListItems
            ? probeItemFile(path, m_cache.get())
            : probeAddedFile(path, m_cache.get(), m_kind == Kind::DroppedFiles);
        // The last file done writes the cache before its result is put in,
        // so a taker that has every result knows the cache file has them too.
        if (++m_done == m_paths.size())
            m_cacheSaved = !m_cache || !m_cache->changed() || m_cache->save();
        {
            const std::lock_guard lock(m_mutex);
            m_results[std::size_t(i)] = std::move(probe);
        }
        m_ready.notify_all();
        if (m_notify)
            m_notify();
    }
}

std::optional<ItemProbe> ItemProbeQueue::take(qsizetype index, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    std::optional<ItemProbe> &slot = m_results.at(std::size_t(index));
    if (!slot && timeout.count() > 0)
        m_ready.wait_for(lock, timeout, [&slot] { return slot.has_value(); });
    return std::exchange(slot, std::nullopt);
}
