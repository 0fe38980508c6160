#include "controls/cd/CdReadTurn.h"

#include <QHash>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace {

// The places taken on every drive of the process, as a drive is one.
struct Lines {
    std::mutex mutex;
    std::condition_variable changed;
    QHash<QString, std::deque<quint64>> places;
    quint64 last = 0;
};

Lines &lines()
{
    static Lines all;
    return all;
}

// The abort flag is polled: it comes from a worker without a notification.
constexpr std::chrono::milliseconds kAbortPoll{20};

} // namespace

namespace cd {

CdReadTurn::CdReadTurn(const QString &device)
    : m_device(device)
{
    Lines &l = lines();
    const std::lock_guard lock(l.mutex);
    m_place = ++l.last;
    l.places[m_device].push_back(m_place);
}

bool CdReadTurn::wait(const std::atomic<bool> &abort)
{
    Lines &l = lines();
    std::unique_lock lock(l.mutex);
    for (;;) {
        if (m_place == 0)
            return true;
        const auto line = l.places.constFind(m_device);
        if (line != l.places.cend() && !line->empty() && line->front() == m_place)
            return true;
        if (abort)
            return false;
        l.changed.wait_for(lock, kAbortPoll);
    }
}

void CdReadTurn::leave()
{
    if (m_place == 0)
        return;
    Lines &l = lines();
    {
        const std::lock_guard lock(l.mutex);
        std::deque<quint64> &line = l.places[m_device];
        std::erase(line, m_place);
        if (line.empty())
            l.places.remove(m_device);
        m_place = 0;
    }
    l.changed.notify_all();
}

} // namespace cd
