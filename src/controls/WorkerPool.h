#pragma once

#include "controls/Worker.h"

#include <memory>
#include <vector>

// A fixed set of workers side by side, for work that goes faster spread over
// the machine's cores. Each slot is a worker of its own: what one slot is
// given runs in start order and ends in that order, independently of the
// other slots. stop() aborts every slot before it waits for any, so their
// work winds down together; the pool is stopped before it goes.
class WorkerPool {
public:
    // The threads the machine runs at once; at least one.
    static int cores();

    explicit WorkerPool(int size);
    WorkerPool(const WorkerPool &) = delete;
    WorkerPool &operator=(const WorkerPool &) = delete;
    ~WorkerPool() { stop(); }

    int size() const { return int(m_slots.size()); }
    Worker &operator[](int slot) { return *m_slots.at(std::size_t(slot)); }
    bool isRunning() const;
    void abort();
    void stop();

private:
    std::vector<std::unique_ptr<Worker>> m_slots;
};
