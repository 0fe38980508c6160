#include "controls/audio/AudioJobQueue.h"

#include "controls/WorkerPool.h"
#include "controls/audio/OutputHold.h"

#include <algorithm>

namespace {

// More threads than this gain nothing but memory on any desktop.
constexpr int kMostJobs = 16;

int coreCount()
{
    return std::min(WorkerPool::cores(), kMostJobs);
}

} // namespace

struct AudioJobQueue::Slot {
    ~Slot()
    {
        // Lets a job waiting with its finished file go before the runner
        // waits for it.
        if (hold)
            hold->discard();
    }

    std::shared_ptr<EncodingJob> job; // null for a start that failed at once
    std::shared_ptr<OutputHold> hold; // null for a job started in turn
    bool inTurn = false;
    std::deque<int> percents;
    bool ended = false;
    EncodingJob::Result result = EncodingJob::Result::Failed;
    qint32 code = 0;
    QString text;
    // Last, so it is stopped before the rest goes.
    AudioJobRunner runner;
};

AudioJobQueue::AudioJobQueue(QObject *context, Progress progress, AudioJobRunner::Ending ending, QString busyText)
    : m_context(context)
    , m_progress(std::move(progress))
    , m_ending(std::move(ending))
    , m_busyText(std::move(busyText))
    , m_capacity(coreCount())
{
}

AudioJobQueue::~AudioJobQueue()
{
    stop();
}

void AudioJobQueue::setCapacity(int jobs)
{
    m_capacity = std::clamp(jobs, 1, kMostJobs);
    if (m_ahead.size() >= std::size_t(m_capacity))
        dropAhead(std::size_t(m_capacity - 1));
}

AudioJobRunner::Ending AudioJobQueue::slotEnding(Slot *s)
{
    return [this, s](EncodingJob::Result result, qint32 code, const QString &text) {
        s->ended = true;
        s->result = result;
        s->code = code;
        s->text = text;
        if (s->inTurn)
            deliver();
    };
}

std::unique_ptr<AudioJobQueue::Slot> AudioJobQueue::launch(std::shared_ptr<EncodingJob> job, bool inTurn)
{
    auto slot = std::make_unique<Slot>();
    Slot *s = slot.get();
    s->job = std::move(job);
    s->inTurn = inTurn;
    if (!inTurn) {
        s->hold = std::make_shared<OutputHold>();
        s->job->holdOutput(s->hold);
    }
    // The slot owns the runner, whose reports stop with it: s outlives every
    // report that reaches these.
    s->runner.start(
        m_context, s->job,
        [this, s](int, int percent) {
            s->percents.push_back(percent);
            if (s->inTurn)
                deliver();
        },
        slotEnding(s));
    return slot;
}

bool AudioJobQueue::refuseWhileInTurn()
{
    if (!m_current)
        return false;
    QMetaObject::invokeMethod(
        m_context,
        [ending = m_ending, text = m_busyText] {
            ending(EncodingJob::Result::Failed, EncodingJob::SettingsError, text);
        },
        Qt::QueuedConnection);
    return true;
}

void AudioJobQueue::fail(qint32 code, const QString &text)
{
    if (refuseWhileInTurn())
        return;
    dropAhead(0);
    auto slot = std::make_unique<Slot>();
    slot->inTurn = true;
    slot->runner.fail(m_context, code, text, slotEnding(slot.get()));
    m_current = std::move(slot);
}

void AudioJobQueue::start(std::shared_ptr<EncodingJob> job)
{
    if (refuseWhileInTurn())
        return;
    const auto same = std::find_if(m_ahead.begin(), m_ahead.end(),
        [&](const std::unique_ptr<Slot> &slot) { return slot->job->sameWork(*job); });
    if (same == m_ahead.end()) {
        dropAhead(0);
        m_current = launch(std::move(job), true);
        return;
    }
    const std::size_t index = std::size_t(same - m_ahead.begin());
    m_current = std::move(*same);
    // Work held for turns that were passed over is not wanted any more.
    for (std::size_t i = 0; i < index; ++i) {
        m_ahead[i]->hold->discard();
        m_ahead[i]->runner.abort();
    }
    m_ahead.erase(m_ahead.begin(), same + 1);
    m_current->inTurn = true;
    m_current->hold->release();
    if (!m_current->percents.empty() || m_current->ended)
        QMetaObject::invokeMethod(
            m_context, [this] { deliver(); }, Qt::QueuedConnection);
}

void AudioJobQueue::expect(const std::vector<std::shared_ptr<EncodingJob>> &next)
{
    const std::size_t room = std::size_t(m_capacity - 1);
    std::size_t kept = 0;
    while (kept < m_ahead.size() && kept < next.size() && kept < room && m_ahead[kept]->job->sameWork(*next[kept]))
        ++kept;
    dropAhead(kept);
    for (std::size_t i = kept; i < next.size() && i < room; ++i)
        m_ahead.push_back(launch(next[i], false));
}

void AudioJobQueue::deliver()
{
    Slot *const slot = m_current.get();
    if (!slot)
        return;
    while (!slot->percents.empty()) {
        const int percent = slot->percents.front();
        slot->percents.pop_front();
        m_progress(percent);
        if (m_current.get() != slot)
            return;
    }
    if (!slot->ended)
        return;
    // The ending may start the next job; this one is out of turn by then.
    const std::unique_ptr<Slot> ended = std::move(m_current);
    m_ending(ended->result, ended->code, ended->text);
}

void AudioJobQueue::dropAhead(std::size_t from)
{
    // Told to stop all at once, so they wind down side by side.
    for (std::size_t i = from; i < m_ahead.size(); ++i) {
        m_ahead[i]->hold->discard();
        m_ahead[i]->runner.abort();
    }
    while (m_ahead.size() > from)
        m_ahead.pop_back();
}

void AudioJobQueue::abort()
{
    // The job in turn first: it must not run on to its end while the others
    // are waited for.
    if (m_current)
        m_current->runner.abort();
    dropAhead(0);
}

void AudioJobQueue::stop()
{
    abort();
    if (m_current)
        m_current->runner.stop();
}
