#pragma once

#include <QObject>
#include <QSignalSpy>
#include <QString>
#include <QVector>

#include "support/TestEnvironment.h"

// Records a job control's events and whether any arrived during a start call.
template <typename Control> struct AudioJobSpy {
    explicit AudioJobSpy(Control *control)
        : done(control, &Control::Done)
        , aborted(control, &Control::Aborted)
        , error(control, &Control::Error)
        , progress(control, &Control::Progress)
    {
        auto early = [this] { arrivedInsideStart = arrivedInsideStart || insideStart; };
        QObject::connect(control, &Control::Done, control, early);
        QObject::connect(control, &Control::Aborted, control, early);
        QObject::connect(control, &Control::Error, control, early);
        QObject::connect(control, &Control::Progress, control, early);
    }
    // Runs start() (the control's Convert or Join) marked as inside the call.
    template <typename Start> void start(Start startCall)
    {
        insideStart = true;
        startCall();
        insideStart = false;
    }
    int terminals() const { return int(done.size() + aborted.size() + error.size()); }
    // Waits for the terminal event, then a little more for any stray second one.
    bool waitForEnd(int timeoutMs = 60000)
    {
        const bool ended = waitUntil([this] { return terminals() > 0; }, timeoutMs);
        waitUntil([] { return false; }, 50);
        return ended;
    }
    QString errorText() const { return error.isEmpty() ? QString() : error.first().at(1).toString(); }

    QSignalSpy done;
    QSignalSpy aborted;
    QSignalSpy error;
    QSignalSpy progress;
    bool insideStart = false;
    bool arrivedInsideStart = false;
};
