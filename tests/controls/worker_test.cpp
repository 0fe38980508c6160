#include "controls/Worker.h"

#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <condition_variable>
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
