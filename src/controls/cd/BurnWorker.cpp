#include "controls/cd/BurnWorker.h"

void BurnWorker::start(QObject *context, Work work, std::function<void()> ending)
{
    join();
    m_abort = false;
    m_running = true;
    const unsigned id = ++m_job;
    m_thread = std::thread([this, context, id, work = std::move(work), ending = std::move(ending)] {
        work(m_abort);
        QMetaObject::invokeMethod(
            context,
            [this, id, ending] {
                // The ending of a burn stopped by stop() may come after a new
                // burn started; it must not wait for that one.
                if (id == m_job) {
                    join();
                    m_running = false;
                }
                ending();
            },
            Qt::QueuedConnection);
    });
}

void BurnWorker::stop()
{
    m_abort = true;
    join();
    m_running = false;
}

void BurnWorker::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
