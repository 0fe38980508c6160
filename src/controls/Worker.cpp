#include "controls/Worker.h"

void Worker::start(QObject *context, Work work, Ending ending)
{
    Q_ASSERT(context || !ending);
    ++m_state->unended;
    bool spawn = false;
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(Task{std::move(work), m_abort, context, std::move(ending), m_state->epoch});
        spawn = !m_threadBusy;
        m_threadBusy = true;
    }
    if (spawn) {
        // The last thread has left its loop (it said so under the lock), so
        // this join does not wait.
        join();
        m_thread = std::thread([this] { run(); });
    }
}

void Worker::run()
{
    for (;;) {
        Task task;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty()) {
                m_threadBusy = false;
                return;
            }
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        task.work(*task.abort);
        if (!task.context) {
            // stop() joins before it forgets the count, so this cannot
            // reach work started after it.
            --m_state->unended;
            continue;
        }
        QMetaObject::invokeMethod(
            task.context,
            [state = m_state, epoch = task.epoch, ending = std::move(task.ending)] {
                if (epoch == state->epoch && state->unended > 0)
                    --state->unended;
                if (ending)
                    ending();
            },
            Qt::QueuedConnection);
    }
}

void Worker::abort()
{
    *m_abort = true;
    m_abort = std::make_shared<std::atomic<bool>>(false);
}

void Worker::stop()
{
    abort();
    join();
    ++m_state->epoch;
    m_state->unended = 0;
}

void Worker::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
