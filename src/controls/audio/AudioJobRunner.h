#pragma once

#include <atomic>
#include <functional>
#include <thread>

// The worker thread of a job control: one job at a time, stopped by a flag
// the job polls between frames, joined before a new job or the control dies.
class AudioJobRunner {
public:
    AudioJobRunner() = default;
    AudioJobRunner(const AudioJobRunner &) = delete;
    AudioJobRunner &operator=(const AudioJobRunner &) = delete;
    ~AudioJobRunner() { stop(); }

    // work gets the stop flag and the job's number, which it hands back to
    // finished() from its terminal event.
    void start(std::function<void(const std::atomic<bool> &, unsigned)> work)
    {
        join();
        m_abort = false;
        m_running = true;
        const unsigned id = ++m_job;
        m_thread = std::thread([this, id, work = std::move(work)] { work(m_abort, id); });
    }
    // Marks job finished (from its terminal event, on the control's thread).
    // The terminal event of a job stopped by Terminate may come after a new
    // job started; it must not wait for that one.
    void finished(unsigned job)
    {
        if (job != m_job)
            return;
        join();
        m_running = false;
    }
    bool isRunning() const { return m_running; }
    void abort() { m_abort = true; }
    void stop()
    {
        m_abort = true;
        join();
        m_running = false;
    }

private:
    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    std::atomic<bool> m_abort{false};
    bool m_running = false;
    unsigned m_job = 0;
    std::thread m_thread;
};
