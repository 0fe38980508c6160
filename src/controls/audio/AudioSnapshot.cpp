#include "controls/audio/AudioSnapshot.h"

#include <QMutex>

#include <array>

namespace {

constexpr int kKept = 32;

struct Store {
    QMutex mutex;
    qint32 last = 0;
    std::array<std::pair<qint32, std::shared_ptr<const AudioSnapshot>>, kKept> slots;
};

Store &store()
{
    static Store s;
    return s;
}

} // namespace

namespace AudioSnapshots {

qint32 publish(std::shared_ptr<const AudioSnapshot> snapshot)
{
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    s.last = s.last == INT32_MAX ? 1 : s.last + 1;
    s.slots[size_t(s.last % kKept)] = {s.last, std::move(snapshot)};
    return s.last;
}

std::shared_ptr<const AudioSnapshot> find(qint32 ticket)
{
    if (ticket <= 0)
        return {};
    Store &s = store();
    QMutexLocker lock(&s.mutex);
    const auto &slot = s.slots[size_t(ticket % kKept)];
    return slot.first == ticket ? slot.second : nullptr;
}

} // namespace AudioSnapshots
