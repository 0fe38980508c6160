#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// Keeps a finished job's file under its temporary name until the control
// lets it take its place or throws it away. A job run ahead of its turn
// waits here, so no file of a later item appears before an earlier one's,
// and none at all for an item that never gets its turn.
class OutputHold {
public:
    // The file may take its place.
    void release() { settle(State::Released); }
    // It may not; the job ends as aborted and leaves nothing.
    void discard() { settle(State::Discarded); }
    // Blocks the worker until one of the two has come, or the job is
    // aborted; true when released. The abort flag is the worker's and wakes
    // nobody, so it is looked at as often as a job looks between frames.
    bool wait(const std::atomic<bool> &abort)
    {
        std::unique_lock lock(m_mutex);
        while (m_state == State::Held && !abort)
            m_changed.wait_for(lock, std::chrono::milliseconds(20));
        return m_state == State::Released && !abort;
    }

private:
    enum class State { Held, Released, Discarded };
    void settle(State state)
    {
        {
            const std::lock_guard lock(m_mutex);
            // The first word stands: a released file is not taken back.
            if (m_state == State::Held)
                m_state = state;
        }
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::Held;
};
