#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

// The worker thread of a burner control: one burn at a time, stopped by a
// flag the burn polls, joined before a new burn or the control dies. The
// work posts its events to the control queued; the ending comes after them.
class BurnWorker {
public:
    using Work = std::function<void(const std::atomic<bool> &abort)>;

    BurnWorker() = default;
    BurnWorker(const BurnWorker &) = delete;
    BurnWorker &operator=(const BurnWorker &) = delete;
    ~BurnWorker() { stop(); }

    // ending runs on context's thread after every event the work posted.
    void start(QObject *context, Work work, std::function<void()> ending);
    bool isRunning() const { return m_running; }
    void abort() { m_abort = true; }
    // Stops the burn and waits for the worker; its ending is still delivered.
    void stop();

private:
    void join();

    std::atomic<bool> m_abort{false};
    bool m_running = false;
    unsigned m_job = 0;
    std::thread m_thread;
};
