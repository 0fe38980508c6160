#include "controls/audio/AudioJobRunner.h"
#include "controls/audio/OutputHold.h"
#include "support/TestEnvironment.h"

#include <QObject>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <vector>

namespace {

// Ends at once: Aborted when told to stop before it ran, else Done after one
// report of its item.
class QuickJob : public EncodingJob {
public:
    explicit QuickJob(int item)
        : m_item(item)
    {
    }
    Result run(const std::atomic<bool> &abort, const Progress &progress) override
    {
        if (abort)
            return Result::Aborted;
        progress(m_item, 100);
        return Result::Done;
    }

private:
    int m_item;
};

} // namespace

TEST(OutputHold, AWaitEndsOnTheControlsWordOrOnTheWorkersAbort)
{
    struct Case {
        const char *name;
        std::function<void(OutputHold &, std::atomic<bool> &)> act;
        bool released;
    };
    const Case cases[] = {
        {"released", [](OutputHold &hold, std::atomic<bool> &) { hold.release(); }, true},
        {"discarded", [](OutputHold &hold, std::atomic<bool> &) { hold.discard(); }, false},
        // The control aborted the worker without a word to the hold.
        {"aborted", [](OutputHold &, std::atomic<bool> &abort) { abort = true; }, false},
        {"released, then aborted",
            [](OutputHold &hold, std::atomic<bool> &abort) {
                hold.release();
                abort = true;
            },
            false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OutputHold hold;
        std::atomic<bool> abort{false};
        std::future<bool> waiting = std::async(std::launch::async, [&] { return hold.wait(abort); });
        c.act(hold, abort);
        const bool ended = waiting.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
        // Lets a wait that missed its cue go, so the case ends either way.
        hold.discard();
        EXPECT_TRUE(ended);
        EXPECT_EQ(waiting.get(), c.released);
    }
}

TEST(AudioJobRunner, AStoppedJobsReportsDoNotReachTheJobStartedAfterIt)
{
    QObject context;
    std::vector<int> progress;
    std::vector<EncodingJob::Result> endings;
    AudioJobRunner runner;
    const auto record = [&](EncodingJob::Result result, qint32, const QString &) { endings.push_back(result); };
    const auto report = [&](int item, int) { progress.push_back(item); };

    // Stopped while its reports are still queued, then a new job at once, as
    // a window that terminates its control and starts again does.
    ASSERT_TRUE(runner.start(&context, std::make_shared<QuickJob>(1), report, record));
    runner.stop();
    ASSERT_TRUE(runner.start(&context, std::make_shared<QuickJob>(2), report, record));
    ASSERT_TRUE(waitUntil([&] { return !runner.isRunning(); }));
    flushEvents();
    EXPECT_EQ(endings, std::vector({EncodingJob::Result::Done}));
    EXPECT_EQ(progress, std::vector({2}));

    // With no start after it, a stopped job still ends.
    ASSERT_TRUE(runner.start(&context, std::make_shared<QuickJob>(3), report, record));
    runner.stop();
    flushEvents();
    EXPECT_EQ(endings.size(), 2u);
    EXPECT_FALSE(runner.isRunning());
}
