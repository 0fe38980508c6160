#include "support/PairedRuns.h"

#include <algorithm>
#include <random>
#include <cstdio>

namespace Bench {

Spread spread(QList<double> values)
{
    if (values.isEmpty())
        return {};
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.first(), values.last()};
}

CaseResult runCase(const Case &c, int rounds, bool warmUp)
{
    CaseResult result;
    result.name = c.name;
    result.unit = c.unit;
    QList<double> ours, jobs;
    QList<QList<double>> peerSeconds(c.peers.size()), ratios(c.peers.size());
    QList<double> peerPeaks(c.peers.size(), 0);
    QList<std::pair<QString, QList<double>>> figures;
    std::mt19937 random(std::random_device{}());
    try {
        for (int round = warmUp ? 0 : 1; round <= rounds; ++round) {
            if (round == 0)
                std::fprintf(stderr, "  %s, warm-up\n", qPrintable(c.name));
            else
                std::fprintf(stderr, "  %s, round %d of %d\n", qPrintable(c.name), round, rounds);
            // Side -1 is Sonvale, then the peers, in this round's order.
            QList<int> order{-1};
            for (int p = 0; p < c.peers.size(); ++p)
                order << p;
            std::shuffle(order.begin(), order.end(), random);
            Measure m;
            QList<Measure> peers(c.peers.size());
            for (int side : order) {
                if (side < 0)
                    m = c.sonvale.run(round);
                else
                    peers[side] = c.peers[side].run(round);
            }
            if (round == 0)
                continue;
            ours << m.seconds;
            if (m.jobSeconds > 0)
                jobs << m.jobSeconds;
            result.sonvalePeakMiB = std::max(result.sonvalePeakMiB, m.peakMiB);
            for (const QString &note : m.notes) {
                if (!result.notes.contains(note))
                    result.notes << note;
            }
            for (const auto &[name, value] : m.figures) {
                auto it = std::find_if(figures.begin(), figures.end(), [&](const auto &f) { return f.first == name; });
                if (it == figures.end())
                    figures.append({name, {value}});
                else
                    it->second << value;
            }
            for (int p = 0; p < c.peers.size(); ++p) {
                peerSeconds[p] << peers[p].seconds;
                ratios[p] << m.seconds / peers[p].seconds;
                peerPeaks[p] = std::max(peerPeaks[p], peers[p].peakMiB);
            }
        }
    } catch (const RunFailure &f) {
        result.failure = f.text;
    }
    QList<double> shown;
    for (double s : ours)
        shown << s * c.scale;
    result.sonvale = spread(shown);
    result.sonvaleJob = spread(jobs);
    for (const auto &[name, values] : figures)
        result.figures.append({name, spread(values)});
    for (int p = 0; p < c.peers.size(); ++p)
        result.peers << PeerResult{c.peers[p].name, spread(peerSeconds[p]), spread(ratios[p]), peerPeaks[p]};
    return result;
}

namespace {

QString figure(const Spread &s, int decimals)
{
    return QStringLiteral("%1 (%2–%3)")
        .arg(s.median, 0, 'f', decimals)
        .arg(s.min, 0, 'f', decimals)
        .arg(s.max, 0, 'f', decimals);
}

} // namespace

QString table(const QList<CaseResult> &results)
{
    QStringList lines;
    lines << QStringLiteral("| Case | Sonvale: median (min–max) | Peer | Peer s: median (min–max) | Ratio Sonvale/peer: median (min–max) | Peak MiB Sonvale / peer |");
    lines << QStringLiteral("|---|---|---|---|---|---|");
    for (const CaseResult &r : results) {
        // A failed case shows no figure: its rounds so far would mislead.
        if (!r.failure.isEmpty()) {
            lines << QStringLiteral("| %1 | FAILED | | | | |").arg(r.name);
            continue;
        }
        QString ours = figure(r.sonvale, 3) + QLatin1Char(' ') + r.unit;
        if (r.sonvaleJob.median > 0)
            ours += QStringLiteral(" whole process; click to end ") + figure(r.sonvaleJob, 3) + QStringLiteral(" s");
        if (r.peers.isEmpty()) {
            lines << QStringLiteral("| %1 | %2 | – | – | – | %3 |").arg(r.name, ours).arg(r.sonvalePeakMiB, 0, 'f', 0);
            for (const auto &[name, values] : r.figures)
                lines << QStringLiteral("| %1: %2 | %3 | – | – | – | |").arg(r.name, name, figure(values, 3));
            continue;
        }
        for (const PeerResult &p : r.peers) {
            lines << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 / %7 |")
                         .arg(r.name, ours, p.name, figure(p.seconds, 3), figure(p.ratio, 3))
                         .arg(r.sonvalePeakMiB, 0, 'f', 0)
                         .arg(p.peakMiB, 0, 'f', 0);
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace Bench
