#include "lists/ItemsListStore.h"

#include <memory>

ItemsListStore::ItemsListStore(QObject *parent)
    : QObject(parent)
{
}

ItemsListStore::~ItemsListStore()
{
    // The saves ignore the abort, so this waits until each has been written.
    m_worker.stop();
}

void ItemsListStore::read(const QString &path, std::function<void(Loaded)> done)
{
    auto loaded = std::make_shared<Loaded>();
    m_worker.start(
        this,
        [path, loaded](const std::atomic<bool> &abort) {
            // Cut short, a read is no whole list.
            loaded->complete = false;
            if (abort)
                return;
            const ItemsListFile::ReadResult file = ItemsListFile::read(path);
            loaded->records = ItemsListFile::parseRecords(file.text, &abort);
            if (abort)
                return;
            loaded->complete = file.complete;
        },
        [loaded, done = std::move(done)] { done(std::move(*loaded)); });
}

void ItemsListStore::save(const QString &path, ItemsGrid::StoredRows rows)
{
    ++m_saves;
    auto written = std::make_shared<bool>(false);
    m_worker.start(
        this,
        [path, rows = std::move(rows), written](const std::atomic<bool> &) {
            *written = ItemsListFile::write(path, ItemsGrid::records(rows));
        },
        [this, path, written] {
            --m_saves;
            emit saved(path, *written);
        });
}
