#pragma once

#include "controls/audio/AudioJob.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// The worker thread of a job control: one job at a time, stopped by a flag
// the job polls between frames, joined before a new job or the control dies.
// Its reports reach the control's thread queued, so none arrives inside the
// call that started the job, and each start ends in exactly one ending.
class AudioJobRunner {
public:
    using Progress = std::function<void(int item, int percent)>;
    using Ending = std::function<void(AudioJob::Result result, qint32 code, const QString &text)>;

    AudioJobRunner() = default;
    AudioJobRunner(const AudioJobRunner &) = delete;
    AudioJobRunner &operator=(const AudioJobRunner &) = delete;
    ~AudioJobRunner() { stop(); }

    // progress and ending run on context's thread; a start while a job runs
    // ends at once (later, queued) in a failure.
    void start(QObject *context, std::shared_ptr<AudioJob> job, Progress progress, Ending ending);
    bool isRunning() const { return m_running; }
    void abort() { m_abort = true; }
    // Stops the job and waits for the worker; its ending is still delivered.
    void stop();

private:
    void finished(unsigned job);
    void join();

    std::atomic<bool> m_abort{false};
    bool m_running = false;
    unsigned m_job = 0;
    std::thread m_thread;
};
