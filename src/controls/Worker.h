#pragma once

#include <QObject>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The one way a control works off the UI thread.
//
// A worker owns one thread that runs the work it is given one piece after
// another, in the order it was started. start() only queues: it never waits,
// and the thread is made when there is work and ends when there is none, so
// an idle control holds no thread. Each piece of work polls the abort flag it
// is handed. Its ending runs afterwards on the context's thread (queued, after
// every event the work posted there), so it never arrives inside the call that
// started the work. stop() aborts everything and joins the thread: a worker
// never outlives its control, and nothing runs at exit.
//
// The context must outlive the worker, which is why a control keeps its
// worker as a member and passes itself. Work that reports nothing back (a
// probe that leaves its result where its owner waits for it) may be started
// without a context: it has no ending and counts as running until it
// returns, so a worker used off the UI thread needs no event loop.
class Worker {
public:
    using Work = std::function<void(const std::atomic<bool> &abort)>;
    using Ending = std::function<void()>;

    Worker() = default;
    Worker(const Worker &) = delete;
    Worker &operator=(const Worker &) = delete;
    ~Worker() { stop(); }

    void start(QObject *context, Work work, Ending ending = {});
    void start(Work work) { start(nullptr, std::move(work)); }
    // Whether work started here has not ended yet. Work dropped by stop()
    // no longer counts, although its ending still comes.
    bool isRunning() const { return m_state->unended > 0; }
    // Aborts the work started so far, running or waiting; later work is not
    // touched.
    void abort();
    // Aborts everything and waits for the thread.
    void stop();

private:
    struct Task {
        Work work;
        std::shared_ptr<std::atomic<bool>> abort;
        QObject *context = nullptr;
        Ending ending;
        unsigned epoch = 0;
    };
    // What the endings look at on the UI thread; shared so that an ending
    // queued before the worker went away finds it still. Work without a
    // context counts itself down on the thread.
    struct State {
        unsigned epoch = 0;
        std::atomic<int> unended{0};
    };

    void run();
    void join();

    std::shared_ptr<State> m_state = std::make_shared<State>();
    std::shared_ptr<std::atomic<bool>> m_abort = std::make_shared<std::atomic<bool>>(false);

    std::mutex m_mutex;
    std::deque<Task> m_queue; // guarded by m_mutex
    bool m_threadBusy = false; // guarded by m_mutex
    std::thread m_thread;
};
