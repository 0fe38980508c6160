#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;

// The real program started as a user starts it, on a virtual X screen of
// its own, from exec to its main window and until it has nothing left to
// do: the measure of start-up. Its stall probe (SONVALE_STALL_PROBE) tells
// when the main window was first shown and how long the UI thread went
// without serving events; the kernel tells how busy the process is.
namespace Bench {

// An Xvfb of its own for the bench's runs; gone with the object.
class VirtualScreen {
public:
    VirtualScreen();
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen &) = delete;
    VirtualScreen &operator=(const VirtualScreen &) = delete;
    // ":N"; throws RunFailure when Xvfb did not start.
    QString display() const { return m_display; }

private:
    std::unique_ptr<QProcess> m_server;
    QString m_display;
};

struct StartUp {
    double shownSeconds = 0;     // exec to the main window exposed
    double busySeconds = 0;      // exec to the moment the process went quiet
    double stallBeforeMs = 0;    // the longest wait of the UI thread until shown
    double stallAfterMs = 0;     // the longest wait from shown until quiet
    double peakMiB = 0;
};

// Runs program with env on screen until it has gone quiet after showing its
// main window, then asks it to end (SIGTERM) and waits for it. Throws
// RunFailure when it ends early, does not show its window or does not end.
StartUp runProgram(const QString &program, const QProcessEnvironment &env, const VirtualScreen &screen,
                   const QString &workFolder);

} // namespace Bench
