#include "controls/audio/AudioJobRunner.h"

void AudioJobRunner::start(QObject *context, std::shared_ptr<AudioJob> job, Progress progress, Ending ending)
{
    if (m_running) {
        QMetaObject::invokeMethod(
            context,
            [ending] {
                ending(AudioJob::Result::Failed, AudioJob::SettingsError, QStringLiteral("A job is already running."));
            },
            Qt::QueuedConnection);
        return;
    }
    join();
    m_abort = false;
    m_running = true;
    const unsigned id = ++m_job;
    m_thread = std::thread(
        [this, context, id, job = std::move(job), progress = std::move(progress), ending = std::move(ending)] {
            const AudioJob::Result result = job->run(m_abort, [context, progress](int item, int percent) {
                QMetaObject::invokeMethod(
                    context, [progress, item, percent] { progress(item, percent); }, Qt::QueuedConnection);
            });
            QMetaObject::invokeMethod(
                context,
                [this, id, job, ending, result] {
                    finished(id);
                    ending(result, job->errorCode(), job->errorText());
                },
                Qt::QueuedConnection);
        });
}

void AudioJobRunner::finished(unsigned job)
{
    // The ending of a job stopped by stop() may come after a new job
    // started; it must not wait for that one.
    if (job != m_job)
        return;
    join();
    m_running = false;
}

void AudioJobRunner::stop()
{
    m_abort = true;
    join();
    m_running = false;
}

void AudioJobRunner::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
