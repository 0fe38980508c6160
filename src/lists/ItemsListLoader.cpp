#include "lists/ItemsListLoader.h"

#include "lists/ItemProbe.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRecordReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace ItemsListLoader {

namespace {

// The probes of one load, filled by the workers in any order.
struct Probes {
    std::vector<QString> paths;
    std::vector<std::optional<ItemProbe>> results;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::condition_variable ready;
    bool readTags = false;

    void work()
    {
        for (std::size_t i = next++; i < paths.size() && !cancelled; i = next++) {
            ItemProbe probe = probeItemFile(paths[i], readTags);
            const std::lock_guard lock(mutex);
            results[i] = std::move(probe);
            ready.notify_all();
        }
    }
};

// Stops the workers early when the load leaves, and waits for them.
struct ProbeWorkers {
    std::shared_ptr<Probes> probes;
    QThreadPool pool;
    ~ProbeWorkers()
    {
        probes->cancelled = true;
        pool.waitForDone();
    }
};

} // namespace

int load(const QStringList &pieces, bool copyTags, const RowSink &addRow)
{
    std::vector<ItemsListFile::Record> records;
    records.reserve(std::size_t(pieces.size()));
    for (const QString &piece : pieces) {
        if (!piece.isEmpty())
            records.push_back(ItemsListFile::parseRecord(piece));
    }
    if (records.empty())
        return 0;

    ProbeWorkers workers;
    workers.probes = std::make_shared<Probes>();
    Probes &probes = *workers.probes;
    probes.readTags = copyTags;
    probes.results.resize(records.size());
    for (const auto &record : records)
        probes.paths.push_back(record[ItemsListFile::FieldFile]);
    const int threads = qBound(1, QThread::idealThreadCount(), 8);
    workers.pool.setMaxThreadCount(threads);
    for (int t = 0; t < qMin<int>(threads, int(records.size())); ++t)
        workers.pool.start([shared = workers.probes] { shared->work(); });

    // The window repaints (the progress bar moves) a few times a second.
    QElapsedTimer sincePaint;
    sincePaint.start();
    const auto keepPainting = [&sincePaint] {
        if (QCoreApplication::instance() && sincePaint.elapsed() >= 40) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePaint.restart();
        }
    };
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::optional<ItemProbe> probe;
        while (!probe) {
            {
                std::unique_lock lock(probes.mutex);
                if (probes.ready.wait_for(lock, std::chrono::milliseconds(40),
                                          [&] { return probes.results[i].has_value(); }))
                    probe = std::move(probes.results[i]);
            }
            keepPainting();
        }
        addRow(int(i) + 1, ItemsListRecordReader::rowFromRecord(records[i], *probe, copyTags));
    }
    return int(records.size());
}

} // namespace ItemsListLoader
