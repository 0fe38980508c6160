#pragma once

#include "controls/audio/AudioJobRunner.h"

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// Runs a job control's jobs one after the other as its caller sees them,
// while the jobs the caller says come next already run side by side, up to
// one job per core in all. The queue lives on the control's thread; each job
// runs in a slot with a runner (and so a worker) of its own. A job run ahead
// keeps its file under its temporary name and its reports to its slot until
// the caller starts the same work: then what it reported so far arrives,
// queued, as if it had just started, and the rest follows as it comes. So
// the caller sees the same reports in the same order as from jobs run one at
// a time, and files appear in the order of their turns. Work that does not
// get its turn next is stopped and leaves nothing; its slot goes with it, and
// with the slot's runner every report still on its way.
class AudioJobQueue {
public:
    using Progress = std::function<void(int percent)>;

    // progress and ending run on context's thread, for the job in turn only;
    // busyText: the failure of a start while a job is in turn.
    AudioJobQueue(QObject *context, Progress progress, AudioJobRunner::Ending ending,
        QString busyText = QStringLiteral("A job is already running."));
    AudioJobQueue(const AudioJobQueue &) = delete;
    AudioJobQueue &operator=(const AudioJobQueue &) = delete;
    ~AudioJobQueue();

    // Jobs running at once, the one in turn included: one per core unless set.
    int capacity() const { return m_capacity; }
    void setCapacity(int jobs);

    // Starts job's turn, taking over a job run ahead for the same work.
    // While a job is in turn the start ends at once (later, queued) in a
    // failure, as the runner's would.
    void start(std::shared_ptr<EncodingJob> job);
    // Ends a turn as a job that failed as it started would: later, queued.
    void fail(qint32 code, const QString &text);
    // The work the caller means to start next, in that order. Jobs run ahead
    // for other work are stopped; as much of it as the capacity allows starts.
    void expect(const std::vector<std::shared_ptr<EncodingJob>> &next);
    // Stops every job; the one in turn still ends (in Aborted, unless it had
    // finished), those run ahead are gone, with their files, on return.
    void abort();
    // As abort, and waits for the job in turn too.
    void stop();
    bool isRunning() const { return m_current != nullptr; }

private:
    struct Slot;
    std::unique_ptr<Slot> launch(std::shared_ptr<EncodingJob> job, bool inTurn);
    // Refuses a start while a job is in turn; true when it did.
    bool refuseWhileInTurn();
    AudioJobRunner::Ending slotEnding(Slot *slot);
    // Passes on what the job in turn has reported so far.
    void deliver();
    void dropAhead(std::size_t from);

    QObject *m_context;
    Progress m_progress;
    AudioJobRunner::Ending m_ending;
    QString m_busyText;
    int m_capacity;
    std::unique_ptr<Slot> m_current;
    std::deque<std::unique_ptr<Slot>> m_ahead;
};
