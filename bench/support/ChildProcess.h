#pragma once

#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs programs as children of the bench and takes what each child itself
// used from the kernel (wait4): its wall time and its own peak resident
// memory, so every side is measured the same way and no side's figure
// includes another's.
namespace Bench {

struct ChildRun {
    QString program;
    QStringList args;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

struct ChildResult {
    bool ok = false;       // started and ended by exit status 0
    double seconds = 0;    // from its start to its end
    double peakMiB = 0;    // its own peak resident memory
    QByteArray out;        // what it wrote to stdout
    QString error;         // why it failed: its stderr, its status
};

// Starts every run at once and waits for all of them; seconds is the wall
// time of the whole group and each result has its own peak.
QList<ChildResult> runTogether(const QList<ChildRun> &runs);

ChildResult run(const ChildRun &run);

// CLOCK_MONOTONIC in nanoseconds, the same clock in every process.
qint64 monotonicNs();

} // namespace Bench
