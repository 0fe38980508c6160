#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// Runs one case as rounds of Sonvale and each peer (A B A B ...), after a
// warm-up round that counts for nothing, each round in an order of its own
// drawn at random, so a slow moment of the machine falls on both sides of a
// ratio and no side always runs on a cache the other has warmed; and keeps
// every round's figures: the ratio of each round, not a ratio of best times.
namespace Bench {

// One timed run of one side: seconds, its own peak memory, and the notes
// its child printed. A run that fails or writes wrong output throws.
struct Measure {
    double seconds = 0;
    double peakMiB = 0;
    QStringList notes;
    // Where the figure is the whole process: the job inside it, from the
    // click that starts it to its end (0: none).
    double jobSeconds = 0;
    // Further figures of Sonvale's run by name ("longest UI stall, ms").
    QList<std::pair<QString, double>> figures;
};

struct RunFailure {
    QString text;
};

struct Side {
    QString name;
    std::function<Measure(int round)> run;
};

struct Case {
    QString name;
    Side sonvale;
    QList<Side> peers;
    // How Sonvale's time is shown where there is no peer: seconds times scale, in unit.
    double scale = 1;
    QString unit = QStringLiteral("s");
};

struct Spread {
    double median = 0, min = 0, max = 0;
};
Spread spread(QList<double> values);

struct PeerResult {
    QString name;
    Spread seconds, ratio;
    double peakMiB = 0;
};

struct CaseResult {
    QString name;
    QString unit;
    Spread sonvale; // in unit
    Spread sonvaleJob; // seconds; median 0 when the runs gave none
    QList<std::pair<QString, Spread>> figures;
    double sonvalePeakMiB = 0;
    QList<PeerResult> peers;
    QStringList notes;
    QString failure; // empty when every run passed
};

// warmUp runs one round first whose figures are dropped.
CaseResult runCase(const Case &c, int rounds, bool warmUp);

// The results as a table, one line per case and peer.
QString table(const QList<CaseResult> &results);

} // namespace Bench
