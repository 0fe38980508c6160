#include "tools/frame/JobTimeLeft.h"

#include "tools/frame/OutputFileNames.h"

#include <QLabel>
#include <QTimer>

#include <cmath>
#include <limits>

namespace JobTimeLeft {
namespace {

    bool fitsLong(double value)
    {
        return std::isfinite(value) && value >= double(std::numeric_limits<qint32>::min())
            && value <= double(std::numeric_limits<qint32>::max());
    }

} // namespace

qint32 convertedSeconds(qint32 percent, qint32 itemSecs)
{
    const double value = std::nearbyint(double(percent) / 100.0 * double(itemSecs));
    return fitsLong(value) ? qint32(value) : 0;
}

qint32 estimate(qint32 ticks, qint32 currentItemSecs, qint32 doneItemsSecs, qint32 totalSecs)
{
    if (currentItemSecs <= 0)
        return 0;
    const qint64 done = qint64(currentItemSecs) + doneItemsSecs;
    const qint64 left = qint64(totalSecs) - done;
    if (!fitsLong(double(done)) || !fitsLong(double(left)) || done == 0)
        return 0;
    const double value = std::nearbyint(double(ticks) / double(done) * double(left));
    if (!fitsLong(value) || value < 0)
        return 0;
    return qint32(value);
}

QString labelText(qint32 seconds)
{
    const qint32 s = qMax(0, seconds);
    const QString sep = OutputFileNames::timeSeparator();
    const auto twoDigits = [](qint32 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("Time Left: ") + twoDigits(s / 3600) + sep + twoDigits(s / 60 % 60) + sep
        + twoDigits(s % 60);
}

void showTick(qint32 &ticks, qint32 currentItemSecs, qint32 doneItemsSecs, qint32 totalSecs, bool running,
              QLabel &label, QTimer &timer)
{
    ++ticks;
    const qint32 seconds = estimate(ticks, currentItemSecs, doneItemsSecs, totalSecs);
    if (seconds == 0)
        return;
    label.setText(labelText(seconds));
    if (!running) {
        timer.stop();
        label.setText(kNoTimeLeft);
    }
}

} // namespace JobTimeLeft
