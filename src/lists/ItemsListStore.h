#pragma once

#include "controls/Worker.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListFile.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// The list files of the main window, read and written one after another on
// a worker of their own: neither the save of tens of thousands of rows nor
// the read of a big list holds the UI thread, and a list read after a save
// sees what was saved. A read's records come back through a queued call on
// the store's thread, never inside read(). Saves are never dropped: going
// away, the store waits for those still to be written.
class ItemsListStore : public QObject {
    Q_OBJECT
public:
    explicit ItemsListStore(QObject *parent = nullptr);
    ~ItemsListStore() override;

    struct Loaded {
        // False when the file exists but could not be read whole; such a
        // list must never be saved over.
        bool complete = true;
        QList<ItemsListFile::Record> records;
    };
    // Reads and parses the file after every save asked for before; done
    // gets the records, unless the store went first.
    void read(const QString &path, std::function<void(Loaded)> done);
    // Writes the rows as the list file, after every read and save asked for
    // before; the records are made from the cells on the worker. Failures
    // leave the file as it was, as ItemsListFile::write does.
    void save(const QString &path, ItemsGrid::StoredRows rows);
    // Whether a save waits or runs; tests wait for it before they read a file.
    bool saving() const { return m_saves > 0; }

Q_SIGNALS:
    // A save has ended: written, or not for the system's reason in error.
    void saved(const QString &path, bool written, const QString &error);

private:
    int m_saves = 0;
    Worker m_worker; // last: stopped first
};
