#include "lists/ItemProbeQueue.h"

#include <QThread>

ItemProbeQueue::ItemProbeQueue(const QStringList &paths, bool readTags, std::function<void()> notify)
    : m_paths(paths)
    , m_readTags(readTags)
    , m_notify(std::move(notify))
    , m_results(std::size_t(paths.size()))
{
    const int workers = workerCount(paths.size());
    m_workers.reserve(std::size_t(workers));
    for (int i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { work(); });
}

ItemProbeQueue::~ItemProbeQueue()
{
    m_stopping = true;
    for (std::thread &worker : m_workers)
        worker.join();
}

int ItemProbeQueue::workerCount(qsizetype files)
{
    return int(qMin<qsizetype>(qMax(1, QThread::idealThreadCount()), files));
}

void ItemProbeQueue::work()
{
    for (qsizetype i = m_next++; i < m_paths.size() && !m_stopping; i = m_next++) {
        ItemProbe probe = probeItemFile(m_paths.at(i), m_readTags);
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
