#pragma once

// A device worker lives on a thread of its own: its device objects are made,
// suspended and ended there, and the front object only posts to it. This is
// a QThread with its event loop rather than a Worker: the sound library
// wants its devices on one thread that serves their events for the whole
// session, not a run of pieces of work.
#include <QMetaObject>
#include <QString>
#include <QThread>

namespace AudioWorkerThread {

// Moves the worker onto its thread (named so a debugger tells them apart)
// and starts the thread.
inline void start(QThread &thread, QObject *worker, const QString &name)
{
    thread.setObjectName(name);
    worker->moveToThread(&thread);
    thread.start();
}

// The worker lets go of its device objects on their own thread; then the
// thread ends. Destroying a device object runs the thread's pending events,
// so the tear-down may arrive inside the worker's own call that ends a
// session: the worker is deleted only once its thread has finished.
template <typename Worker>
void finish(QThread &thread, Worker *worker)
{
    QMetaObject::invokeMethod(worker, [worker] { worker->teardown(); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    delete worker;
}

// Suspends or resumes the running stream. The front's flag changes at once,
// so a caller that asks right after sees what it asked for.
template <typename Worker>
void setPaused(bool active, bool &paused, Worker *worker, bool pause)
{
    if (!active)
        return;
    paused = pause;
    QMetaObject::invokeMethod(worker, [worker, pause] {
        if (pause)
            worker->pause();
        else
            worker->resume();
    });
}

} // namespace AudioWorkerThread
