#include "controls/audio/AudioJobRunner.h"

AudioJobRunner::AudioJobRunner(QString busyText)
    : m_busyText(std::move(busyText))
{
}

bool AudioJobRunner::refuseWhileRunning(QObject *context, const Ending &ending)
{
    if (!m_running)
        return false;
    QMetaObject::invokeMethod(
        context,
        [alive = std::weak_ptr(m_alive), ending, text = m_busyText] {
            if (!alive.expired())
                ending(EncodingJob::Result::Failed, EncodingJob::SettingsError, text);
        },
        Qt::QueuedConnection);
    return true;
}

bool AudioJobRunner::start(QObject *context, std::shared_ptr<EncodingJob> job, Progress progress, Ending ending)
{
    if (refuseWhileRunning(context, ending))
        return false;
    m_running = true;
    const unsigned id = ++m_job;
    const std::weak_ptr<const bool> alive = m_alive;
    auto result = std::make_shared<EncodingJob::Result>(EncodingJob::Result::Failed);
    m_worker.start(
        context,
        [this, context, alive, id, job, result, progress = std::move(progress)](const std::atomic<bool> &abort) {
            *result = job->run(abort, [this, context, alive, id, progress](int item, int percent) {
                QMetaObject::invokeMethod(
                    context,
                    [this, alive, id, progress, item, percent] {
                        if (current(alive, id))
                            progress(item, percent);
                    },
                    Qt::QueuedConnection);
            });
        },
        // Queued after every progress report of the job.
        [this, alive, id, job, result, ending = std::move(ending)] {
            if (!current(alive, id))
                return;
            m_running = false;
            ending(*result, job->errorCode(), *result == EncodingJob::Result::Done ? job->notice() : job->errorText());
        });
    return true;
}

bool AudioJobRunner::fail(QObject *context, qint32 code, const QString &text, Ending ending)
{
    if (refuseWhileRunning(context, ending))
        return false;
    m_running = true;
    const unsigned id = ++m_job;
    QMetaObject::invokeMethod(
        context,
        [this, alive = std::weak_ptr(m_alive), id, code, text, ending = std::move(ending)] {
            if (!current(alive, id))
                return;
            m_running = false;
            ending(EncodingJob::Result::Failed, code, text);
        },
        Qt::QueuedConnection);
    return true;
}

bool AudioJobRunner::current(const std::weak_ptr<const bool> &alive, unsigned job) const
{
    // Only read when the runner is alive. The reports of a job stopped by
    // stop() may come after a new job started: they are not that one's.
    return !alive.expired() && job == m_job;
}

void AudioJobRunner::stop()
{
    m_worker.stop();
    m_running = false;
}
