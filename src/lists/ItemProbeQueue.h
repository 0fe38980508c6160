#pragma once

#include "controls/WorkerPool.h"
#include "lists/ItemProbe.h"

#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// Probes a run of files on a pool of workers, never more than the machine has
// cores, taking the files in the order given so the first results come first.
// The queue lives on the thread that makes it, which takes the results; the
// workers only put each result in its place under the lock and wake the
// taker (and notify, if given), so no event loop is needed. The
// results are handed out by position, whatever order the probes end in.
// Destroying the queue drops the files not yet started and joins every
// worker, so a caller whose list was cleared meanwhile just lets it go.
class ItemProbeQueue {
public:
    // notify runs on a worker thread after each result is in.
    ItemProbeQueue(const QStringList &paths, bool readTags, std::function<void()> notify = {});
    ~ItemProbeQueue();
    ItemProbeQueue(const ItemProbeQueue &) = delete;
    ItemProbeQueue &operator=(const ItemProbeQueue &) = delete;

    // The result of the file at index, waiting at most timeout for it; empty
    // while it is not in. A result is handed out once.
    std::optional<ItemProbe> take(qsizetype index, std::chrono::milliseconds timeout = {});

    // How many workers a run of files gets.
    static int workerCount(qsizetype files);

private:
    void work(const std::atomic<bool> &abort);

    const QStringList m_paths;
    const bool m_readTags;
    const std::function<void()> m_notify;
    std::vector<std::optional<ItemProbe>> m_results;
    std::atomic<qsizetype> m_next{0};
    std::mutex m_mutex;
    std::condition_variable m_ready;
    WorkerPool m_workers; // last, so they start on a whole queue and stop first
};
