#pragma once

#include <QObject>
#include <QString>

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

// What the benchmarks read of the running program: when its main window is
// first on the screen, and how long the UI thread goes without serving
// events. Made only when SONVALE_STALL_PROBE names a file; the program
// never reads what it writes.
//
// A watcher thread posts one event at a time to the UI thread, ahead of the
// events already queued there, and notes how long it waited to be served;
// the next goes a millisecond after the last was served. The file gets one
// line per event: "shown <ns>" once, when the first main window is exposed,
// and "stall <ns> <us>" for every wait of 10 ms or more (the moment it was
// served, and its length), clock times being CLOCK_MONOTONIC nanoseconds,
// the clock the bench starts the program by.
class StallProbe : public QObject {
public:
    // A probe when the environment asks for one, else null.
    static std::unique_ptr<StallProbe> fromEnvironment();

    explicit StallProbe(std::FILE *report);
    ~StallProbe() override;
    StallProbe(const StallProbe &) = delete;
    StallProbe &operator=(const StallProbe &) = delete;

    static qint64 nowNs();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch();
    void write(const char *format, qint64 a, qint64 b = 0);

    std::FILE *m_report;
    bool m_shown = false;
    std::mutex m_mutex;
    std::condition_variable m_served;
    qint64 m_postedNs = 0;  // guarded by m_mutex; 0 when none waits
    bool m_stop = false;    // guarded by m_mutex
    std::thread m_watcher;  // last: started on a whole probe
};
