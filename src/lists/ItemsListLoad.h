#pragma once

#include "controls/Worker.h"
#include "lists/ItemsListFile.h"
#include "lists/ItemsListRow.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class ItemProbeCache;
class ItemProbeQueue;
class ItemsListStore;

// One list loaded into rows without holding the UI thread. The store reads
// and parses the file on its worker; the records' files are then probed on
// the probe workers (the cache answers for files it knows); the rows are
// built and handed to the sink in record order, a batch at a time, each
// batch in a queued call that returns to the event loop within a few
// milliseconds, so clicks, keys and painting are served while a list of
// tens of thousands of rows fills in. Nothing is handed over inside start().
//
// The load lives on the UI thread. Destroying it stops it where it is: the
// probes not yet started are dropped, the workers joined, and neither the
// sink nor the end is called again.
class ItemsListLoad : public QObject {
    Q_OBJECT
public:
    struct Sink {
        // The file is read: this many records are coming.
        std::function<void(int records)> counted;
        // The next rows, in record order.
        std::function<void(const QList<ItemsListRow::Data> &rows)> rows;
        // Every row is in. complete is false when the file could not be read
        // whole; such a list is never saved over.
        std::function<void(bool complete)> ended;
    };

    ItemsListLoad(ItemsListStore &store, std::shared_ptr<ItemProbeCache> cache, bool copyTags, Sink sink,
                  QObject *parent = nullptr);
    ~ItemsListLoad() override;

    // Reads the list file at path; with readable false the list is taken as
    // one that cannot be read (no rows, not complete) without touching it.
    void start(const QString &path, bool readable = true);

    // The time a batch may take on the UI thread before the loop is served,
    // and the rows it may hold at most.
    static constexpr int kSliceMs = 8;
    static constexpr int kBatchRows = 2000;

private:
    void takeRecords(bool complete, QList<ItemsListFile::Record> records);
    // Asks for one more batch on the UI thread; safe from any thread, and at
    // most one request waits in the queue at a time.
    void wake();
    void fillBatch();

    ItemsListStore &m_store;
    const std::shared_ptr<ItemProbeCache> m_cache;
    const bool m_copyTags;
    const Sink m_sink;
    QList<ItemsListFile::Record> m_records;
    qsizetype m_next = 0;
    bool m_complete = true;
    bool m_ended = false;
    std::atomic<bool> m_wakePending{false};
    // Reads the cache file while the list file is read.
    Worker m_cacheReader;
    std::unique_ptr<ItemProbeQueue> m_probes; // last: its workers stop first
};
