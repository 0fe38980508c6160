#include "lists/ItemsListLoad.h"

#include "lists/ItemProbeCache.h"
#include "lists/ItemProbeQueue.h"
#include "lists/ItemsListRecordReader.h"
#include "lists/ItemsListStore.h"

#include <QElapsedTimer>
#include <QPointer>

ItemsListLoad::ItemsListLoad(ItemsListStore &store, std::shared_ptr<ItemProbeCache> cache, bool copyTags, Sink sink,
                             QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_cache(std::move(cache))
    , m_copyTags(copyTags)
    , m_sink(std::move(sink))
{
}

ItemsListLoad::~ItemsListLoad()
{
    // The workers go first: none may wake a load that is half gone.
    m_probes.reset();
}

void ItemsListLoad::start(const QString &path, bool readable)
{
    if (!readable) {
        QMetaObject::invokeMethod(this, [this] { takeRecords(false, {}); }, Qt::QueuedConnection);
        return;
    }
    if (m_cache)
        m_cacheReader.start([cache = m_cache](const std::atomic<bool> &) { cache->preload(); });
    m_store.read(path, [self = QPointer<ItemsListLoad>(this)](ItemsListStore::Loaded loaded) {
        if (self)
            self->takeRecords(loaded.complete, std::move(loaded.records));
    });
}

void ItemsListLoad::takeRecords(bool complete, QList<ItemsListFile::Record> records)
{
    m_complete = complete;
    m_records = std::move(records);
    if (m_sink.counted)
        m_sink.counted(int(m_records.size()));
    QStringList paths;
    paths.reserve(m_records.size());
    for (const ItemsListFile::Record &record : std::as_const(m_records))
        paths << record[ItemsListFile::FieldFile];
    m_probes = std::make_unique<ItemProbeQueue>(paths, ItemProbeQueue::Kind::ListItems, m_cache, [this] { wake(); });
    wake();
}

void ItemsListLoad::wake()
{
    if (!m_wakePending.exchange(true))
        QMetaObject::invokeMethod(this, &ItemsListLoad::fillBatch, Qt::QueuedConnection);
}

void ItemsListLoad::fillBatch()
{
    m_wakePending = false;
    if (m_ended || !m_probes)
        return;
    QElapsedTimer slice;
    slice.start();
    QList<ItemsListRow::Data> batch;
    bool waiting = false;
    while (m_next < m_records.size() && slice.elapsed() < kSliceMs && batch.size() < kBatchRows) {
        std::optional<ItemProbe> probe = m_probes->take(m_next);
        // Not in yet: its worker wakes the load when it is.
        if (!probe) {
            waiting = true;
            break;
        }
        batch << ItemsListRecordReader::rowFromRecord(m_records.at(m_next), *probe, m_copyTags);
        // The record is in its row now; what is left of the list shrinks.
        m_records[m_next] = ItemsListFile::Record();
        ++m_next;
    }
    const QPointer<ItemsListLoad> self(this);
    if (!batch.isEmpty() && m_sink.rows)
        m_sink.rows(batch);
    if (!self)
        return;
    if (m_next < m_records.size()) {
        // The slice ran out with results waiting: the loop is served first.
        if (!waiting)
            wake();
        return;
    }
    m_ended = true;
    m_probes.reset();
    m_records.clear();
    if (m_sink.ended)
        m_sink.ended(m_complete);
}
