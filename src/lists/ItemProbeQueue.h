#pragma once

#include "controls/WorkerPool.h"
#include "lists/ItemProbe.h"

#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class ItemProbeCache;

// Probes a run of files on a pool of workers, never more than the machine has
// cores, taking the files in the order given so the first results come first.
// The queue lives on the thread that makes it, which takes the results; the
// workers only put each result in its place under the lock and wake the
// taker (and notify, if given), so no event loop is needed. The
// results are handed out by position, whatever order the probes end in.
// Once every file is probed, the worker that probed the last one merges what
// was learnt into the cache file, off the taker's thread.
// Destroying the queue drops the files not yet started and joins every
// worker, so a caller whose list was cleared meanwhile just lets it go; a
// queue stopped early leaves the cache file alone.
class ItemProbeQueue {
public:
    enum class Kind {
        ListItems,  // probeItemFile: every path is an item's file
        AddedFiles, // probeAddedFile: the checks of an add come first
        DroppedFiles, // the same, a path that names nothing passed over too
    };

    // notify runs on a worker thread after each result is in. cache may be null.
    ItemProbeQueue(const QStringList &paths, Kind kind, std::shared_ptr<ItemProbeCache> cache,
                   std::function<void()> notify = {});
    ~ItemProbeQueue();
    ItemProbeQueue(const ItemProbeQueue &) = delete;
    ItemProbeQueue &operator=(const ItemProbeQueue &) = delete;

    qsizetype size() const { return m_paths.size(); }
    // The result of the file at index, waiting at most timeout for it; empty
    // while it is not in. A result is handed out once.
    std::optional<ItemProbe> take(qsizetype index, std::chrono::milliseconds timeout = {});
    // Whether the cache file has taken what this queue learnt (or there was
    // nothing to write); for tests.
    bool cacheSaved() const { return m_cacheSaved; }

    // How many workers a run of files gets.
    static int workerCount(qsizetype files);

private:
    void work(const std::atomic<bool> &abort);

    const QStringList m_paths;
    const Kind m_kind;
    const std::shared_ptr<ItemProbeCache> m_cache;
    const std::function<void()> m_notify;
    std::vector<std::optional<ItemProbe>> m_results;
    std::atomic<qsizetype> m_next{0};
    std::atomic<qsizetype> m_done{0};
    std::atomic<bool> m_cacheSaved{false};
    std::mutex m_mutex;
    std::condition_variable m_ready;
    WorkerPool m_workers; // last, so they start on a whole queue and stop first
};
