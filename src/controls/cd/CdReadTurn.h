#pragma once

#include <QString>

#include <atomic>

namespace cd {

// A place in the line of rips that read one drive. Rips running side by
// side read their tracks one after the other, each track whole, in the order
// their places were taken, so the drive never seeks between tracks. A place
// is taken when the rip is made and given up when it is destroyed or its
// reading is done.
class CdReadTurn {
public:
    explicit CdReadTurn(const QString &device);
    CdReadTurn(const CdReadTurn &) = delete;
    CdReadTurn &operator=(const CdReadTurn &) = delete;
    ~CdReadTurn() { leave(); }

    // Blocks until every place taken before this one is given up; false
    // when abort came while it had to wait.
    bool wait(const std::atomic<bool> &abort);
    void leave();

private:
    QString m_device;
    quint64 m_place = 0;
};

} // namespace cd
