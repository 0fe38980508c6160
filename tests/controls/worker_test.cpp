#include "controls/Worker.h"
#include "controls/WorkerPool.h"

#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

namespace {

// Holds a piece of work until the test lets it go, so a test can act while
// work is known to be running.
class Gate {
public:
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    void markEntered()
    {
        std::lock_guard lock(m_mutex);
        m_entered = true;
        m_changed.notify_all();
    }
    void waitEntered()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_entered; });
    }
    void pass()
    {
        markEntered();
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_entered = false;
    bool m_open = false;
};

} // namespace

TEST(Worker, RunsWorkInOrderAndEndsEachAfterItsEventsOnTheContextsThread)
{
    QObject control;
    Worker worker;
    QStringList seen;
    const QThread *uiThread = QThread::currentThread();
    bool offUiThread = true;
    for (const QString &name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
        worker.start(
            &control,
            [&, name](const std::atomic<bool> &) {
                offUiThread = offUiThread && QThread::currentThread() != uiThread;
                QMetaObject::invokeMethod(&control, [&, name] { seen << name + QStringLiteral(" event"); },
                                          Qt::QueuedConnection);
            },
            [&, name] {
                EXPECT_EQ(QThread::currentThread(), uiThread);
                seen << name + QStringLiteral(" ended");
            });
    }
    // Nothing is reported inside the calls that started the work.
    EXPECT_TRUE(seen.isEmpty());
    EXPECT_TRUE(worker.isRunning());

    ASSERT_TRUE(waitUntil([&] { return !worker.isRunning(); }));
    EXPECT_TRUE(offUiThread);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("a event"), QStringLiteral("a ended"), QStringLiteral("b event"),
                                 QStringLiteral("b ended"), QStringLiteral("c event"), QStringLiteral("c ended")}));

    // An idle worker takes new work.
    seen.clear();
    worker.start(&control, [](const std::atomic<bool> &) {}, [&] { seen << QStringLiteral("again"); });
    ASSERT_TRUE(waitUntil([&] { return !worker.isRunning(); }));
    EXPECT_EQ(seen, QStringList{QStringLiteral("again")});
}

TEST(Worker, AbortReachesRunningAndWaitingWorkButNotLaterWork)
{
    QObject control;
    Worker worker;
    Gate gate;
    std::atomic<bool> runningSawAbort{false}, waitingSawAbort{false}, laterSawAbort{true};
    worker.start(&control, [&](const std::atomic<bool> &abort) {
        gate.pass();
        runningSawAbort = abort.load();
    });
    worker.start(&control, [&](const std::atomic<bool> &abort) { waitingSawAbort = abort.load(); });
    gate.waitEntered();
    worker.abort();
    worker.start(&control, [&](const std::atomic<bool> &abort) { laterSawAbort = abort.load(); });
    gate.open();

    ASSERT_TRUE(waitUntil([&] { return !worker.isRunning(); }));
    EXPECT_TRUE(runningSawAbort);
    EXPECT_TRUE(waitingSawAbort);
    EXPECT_FALSE(laterSawAbort);
}

TEST(Worker, StoppingWaitsForTheWorkAndItsLateEndingDoesNotCountAgainstNewWork)
{
    QObject control;
    Worker worker;
    std::atomic<bool> finished{false};
    int oldEndings = 0;
    worker.start(
        &control,
        [&](const std::atomic<bool> &abort) {
            while (!abort)
                QThread::yieldCurrentThread();
            finished = true;
        },
        [&] { ++oldEndings; });

    worker.stop();
    EXPECT_TRUE(finished) << "stop() returned before the work did";
    EXPECT_FALSE(worker.isRunning());

    Gate gate;
    worker.start(&control, [&](const std::atomic<bool> &) { gate.pass(); });
    gate.waitEntered();
    // The stopped work's ending still arrives, but the new work still runs.
    QCoreApplication::processEvents();
    EXPECT_EQ(oldEndings, 1);
    EXPECT_TRUE(worker.isRunning());
    gate.open();
    ASSERT_TRUE(waitUntil([&] { return !worker.isRunning(); }));
}

TEST(Worker, DyingWorkerJoinsAndTheEndingOfAGoneControlIsDropped)
{
    bool ended = false;
    std::atomic<bool> finished{false};
    {
        QObject control;
        Worker worker;
        worker.start(
            &control,
            [&](const std::atomic<bool> &abort) {
                while (!abort)
                    QThread::yieldCurrentThread();
                finished = true;
            },
            [&] { ended = true; });
    }
    EXPECT_TRUE(finished);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ended);
}

TEST(Worker, WorkWithoutAContextCountsAsRunningUntilItReturnsWithNoEventLoop)
{
    Worker worker;
    std::atomic<bool> release{false};
    worker.start([&](const std::atomic<bool> &abort) {
        while (!release && !abort)
            QThread::yieldCurrentThread();
    });
    EXPECT_TRUE(worker.isRunning());
    release = true;
    // No events are served here: the count must come down on the thread.
    QDeadlineTimer bound(std::chrono::seconds(30));
    while (worker.isRunning() && !bound.hasExpired())
        QThread::yieldCurrentThread();
    EXPECT_FALSE(worker.isRunning());
}

TEST(WorkerPool, SlotsRunSideBySideAndEachEndsItsWorkInItsOwnOrder)
{
    QObject control;
    WorkerPool pool(3);
    ASSERT_EQ(pool.size(), 3);
    const QThread *uiThread = QThread::currentThread();
    std::atomic<int> entered{0};
    std::atomic<bool> release{false};
    std::map<int, QStringList> endings;
    bool endedOnUiThread = true;
    for (int slot = 0; slot < pool.size(); ++slot) {
        for (const QString &name : {QStringLiteral("first"), QStringLiteral("second")}) {
            pool[slot].start(
                &control,
                [&, name](const std::atomic<bool> &abort) {
                    if (name != QStringLiteral("first"))
                        return;
                    ++entered;
                    while (!release && !abort)
                        QThread::yieldCurrentThread();
                },
                [&, slot, name] {
                    endedOnUiThread = endedOnUiThread && QThread::currentThread() == uiThread;
                    endings[slot] << name;
                });
        }
    }
    // Every slot is inside its first piece at once, which only threads of
    // their own allow.
    EXPECT_TRUE(waitUntil([&] { return entered == 3; }));
    EXPECT_TRUE(pool.isRunning());
    EXPECT_TRUE(endings.empty());
    release = true;

    ASSERT_TRUE(waitUntil([&] { return !pool.isRunning(); }));
    EXPECT_TRUE(endedOnUiThread);
    const QStringList inOrder{QStringLiteral("first"), QStringLiteral("second")};
    EXPECT_EQ(endings, (std::map<int, QStringList>{{0, inOrder}, {1, inOrder}, {2, inOrder}}));
}

TEST(WorkerPool, StopAbortsEverySlotBeforeItWaitsForAny)
{
    // The first slot's work ends only once the second's has seen the abort:
    // a pool that stopped its slots one by one would leave it waiting.
    std::mutex mutex;
    std::condition_variable changed;
    bool secondAborted = false;
    bool firstSawSecondAbort = false;
    std::atomic<int> entered{0};
    WorkerPool pool(2);
    pool[0].start([&](const std::atomic<bool> &abort) {
        ++entered;
        while (!abort)
            QThread::yieldCurrentThread();
        std::unique_lock lock(mutex);
        firstSawSecondAbort = changed.wait_for(lock, std::chrono::seconds(30), [&] { return secondAborted; });
    });
    pool[1].start([&](const std::atomic<bool> &abort) {
        ++entered;
        while (!abort)
            QThread::yieldCurrentThread();
        std::lock_guard lock(mutex);
        secondAborted = true;
        changed.notify_all();
    });
    while (entered < 2)
        QThread::yieldCurrentThread();

    pool.stop();
    EXPECT_FALSE(pool.isRunning());
    EXPECT_TRUE(secondAborted) << "stop() returned before every slot's work did";
    EXPECT_TRUE(firstSawSecondAbort);
}
