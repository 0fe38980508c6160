#pragma once

#include "controls/Worker.h"
#include "controls/audio/EncodingJob.h"

#include <QObject>

#include <functional>
#include <memory>

// Runs a job control's jobs on its worker, one at a time: the control and
// the runner live on the control's thread, the job runs on the worker's and
// polls the worker's abort flag between frames. Its reports reach the
// control's thread queued, so none arrives inside the call that started the
// job, and each start ends in exactly one ending, unless a later start on the
// same runner supersedes it after stop(). A runner may be destroyed
// with reports still on their way, even from inside its own ending: they are
// dropped, as they carry a weak hold on the runner's life.
class AudioJobRunner {
public:
    using Progress = std::function<void(int item, int percent)>;
    // text: the failure's reason, or for a job Done what its file could not
    // keep of the source (empty when it kept everything).
    using Ending = std::function<void(EncodingJob::Result result, qint32 code, const QString &text)>;

    // busyText: the failure of a start while a job runs.
    explicit AudioJobRunner(QString busyText = QStringLiteral("A job is already running."));
    AudioJobRunner(const AudioJobRunner &) = delete;
    AudioJobRunner &operator=(const AudioJobRunner &) = delete;
    ~AudioJobRunner() { stop(); }

    // progress and ending run on context's thread; a start while a job runs
    // ends at once (later, queued) in a failure. True when the job started.
    bool start(QObject *context, std::shared_ptr<EncodingJob> job, Progress progress, Ending ending);
    // Ends like a job that failed as it started: later, queued, and counted
    // as running till then.
    bool fail(QObject *context, qint32 code, const QString &text, Ending ending);
    bool isRunning() const { return m_running; }
    void abort() { m_worker.abort(); }
    // Stops the job and waits for the worker; its ending is still delivered
    // unless another job starts before it comes, whose reports alone follow.
    void stop();

private:
    bool refuseWhileRunning(QObject *context, const Ending &ending);
    // Whether a report of job is to be delivered: the runner lives and has
    // started no job since.
    bool current(const std::weak_ptr<const bool> &alive, unsigned job) const;

    QString m_busyText;
    bool m_running = false;
    unsigned m_job = 0;
    // Queued reports deliver only while this lives.
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
    Worker m_worker;
};

// The ending of a job control's jobs: one of its Done, Aborted or Error
// events, Done after a Warning with what the file could not keep, for the
// controls that have one.
template <typename Control> AudioJobRunner::Ending jobEnding(Control *control)
{
    return [control](EncodingJob::Result result, qint32 code, const QString &text) {
        switch (result) {
        case EncodingJob::Result::Done:
            if constexpr (requires { &Control::Warning; }) {
                if (!text.isEmpty())
                    emit control->Warning(text);
            }
            emit control->Done();
            break;
        case EncodingJob::Result::Aborted: emit control->Aborted(); break;
        case EncodingJob::Result::Failed: emit control->Error(code, text); break;
        }
    };
}
