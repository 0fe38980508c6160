#include "controls/WorkerPool.h"

#include <QThread>

#include <algorithm>

int WorkerPool::cores()
{
    return qMax(1, QThread::idealThreadCount());
}

WorkerPool::WorkerPool(int size)
{
    m_slots.reserve(std::size_t(qMax(0, size)));
    for (int i = 0; i < size; ++i)
        m_slots.push_back(std::make_unique<Worker>());
}

bool WorkerPool::isRunning() const
{
    return std::any_of(m_slots.begin(), m_slots.end(), [](const auto &slot) { return slot->isRunning(); });
}

void WorkerPool::abort()
{
    for (const auto &slot : m_slots)
        slot->abort();
}

void WorkerPool::stop()
{
    abort();
    for (const auto &slot : m_slots)
        slot->stop();
}
