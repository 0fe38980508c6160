#pragma once

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QSignalSpy>
#include <QString>
#include <QThread>
#include <QVariant>
#include <QVector>

#include "support/TestEnvironment.h"

#include <atomic>

// Records a job control's events (Done, Aborted, Error, Progress), whether
// any arrived during a start call and whether any arrived off the control's
// thread.
template <typename Control> struct JobSpy {
    explicit JobSpy(Control *control)
        : done(control, &Control::Done)
        , aborted(control, &Control::Aborted)
        , error(control, &Control::Error)
        , progress(control, &Control::Progress)
    {
        auto seen = [this] {
            arrivedInsideStart = arrivedInsideStart || insideStart;
            offThread = offThread || QThread::currentThread() != qApp->thread();
        };
        m_seen[0] = QObject::connect(control, &Control::Done, control, seen, Qt::DirectConnection);
        m_seen[1] = QObject::connect(control, &Control::Aborted, control, seen, Qt::DirectConnection);
        m_seen[2] = QObject::connect(control, &Control::Error, control, seen, Qt::DirectConnection);
        m_seen[3] = QObject::connect(control, &Control::Progress, control, seen, Qt::DirectConnection);
    }
    // A control outlives its spy when a test runs it again with a new one.
    ~JobSpy()
    {
        for (const QMetaObject::Connection &c : m_seen)
            QObject::disconnect(c);
    }
    JobSpy(const JobSpy &) = delete;
    JobSpy &operator=(const JobSpy &) = delete;
    // Runs start() (the control's Convert, Join or Rip) marked as inside the call.
    template <typename Start> void start(Start startCall)
    {
        insideStart = true;
        startCall();
        insideStart = false;
    }
    int terminals() const { return int(done.size() + aborted.size() + error.size()); }
    // Waits for count endings, then a little more for any stray extra one.
    bool waitForEnd(int count = 1, int timeoutMs = 60000)
    {
        const bool ended = waitUntil([this, count] { return terminals() >= count; }, timeoutMs);
        waitUntil([] { return false; }, 100);
        return ended;
    }
    QString errorText() const { return error.isEmpty() ? QString() : error.first().at(1).toString(); }
    qint32 errorCode() const { return error.isEmpty() ? 0 : error.first().at(0).toInt(); }
    // The percent (the last value) of each Progress event.
    QVector<int> percents() const
    {
        QVector<int> p;
        for (const QList<QVariant> &args : progress)
            p << args.last().toInt();
        return p;
    }

    QSignalSpy done;
    QSignalSpy aborted;
    QSignalSpy error;
    QSignalSpy progress;
    // Set on whichever thread an event comes.
    std::atomic<bool> insideStart{false};
    std::atomic<bool> arrivedInsideStart{false};
    std::atomic<bool> offThread{false};

private:
    QMetaObject::Connection m_seen[4];
};
