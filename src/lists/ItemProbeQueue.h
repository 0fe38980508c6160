#pragma once

#include "lists/ItemProbe.h"

#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Probes a run of files on a few worker threads of its own, never more than
// the machine has cores, taking the files in the order given so the first
// results come first. The results are handed out by position, whatever order
// the probes end in. Destroying the queue drops the files not yet started and
// joins every worker.
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
    void work();

    const QStringList m_paths;
    const bool m_readTags;
    const std::function<void()> m_notify;
    std::vector<std::optional<ItemProbe>> m_results;
    std::atomic<qsizetype> m_next{0};
    std::atomic<bool> m_stopping{false};
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::vector<std::thread> m_workers; // last, so they start on a whole queue
};
