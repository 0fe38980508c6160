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
    struct Outcome {
        bool written = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    m_worker.start(
        this,
        [path, rows = std::move(rows), outcome](const std::atomic<bool> &) {
            outcome->written = ItemsListFile::write(path, ItemsGrid::records(rows), &outcome->error);
        },
        [this, path, outcome] {
            --m_saves;
            emit saved(path, outcome->written, outcome->error);
        });
}
