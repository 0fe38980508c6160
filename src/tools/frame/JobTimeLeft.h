#pragma once

#include <QString>
#include <QtGlobal>

class QLabel;
class QTimer;

// The arithmetic of the row-by-row windows' time-left display: the job's
// elapsed ticks scaled by the seconds of audio still to do over the seconds
// done. Whole seconds, rounded half to even.
namespace JobTimeLeft {

inline const QString kNoTimeLeft = QStringLiteral("Time Left: 00:00:00");

// Seconds of an item of itemSecs already converted at percent.
qint32 convertedSeconds(qint32 percent, qint32 itemSecs);

// The estimate in seconds after ticks ticks, with currentItemSecs of the
// running item and doneItemsSecs of the finished ones converted out of
// totalSecs; 0 for no estimate (nothing of the running item done yet, a
// negative value, or sums beyond the counters' 32-bit range).
qint32 estimate(qint32 ticks, qint32 currentItemSecs, qint32 doneItemsSecs, qint32 totalSecs);

// "Time Left: " and the seconds as hours, minutes and seconds, two digits
// each, joined by the desktop's time separator. Hours run past 23 rather
// than wrapping to a wrong small figure.
QString labelText(qint32 seconds);

// One tick of a window's display: counts the tick and shows the estimate if
// there is one; a job that has ended stops the timer and shows no time left.
void showTick(qint32 &ticks, qint32 currentItemSecs, qint32 doneItemsSecs, qint32 totalSecs, bool running,
              QLabel &label, QTimer &timer);

} // namespace JobTimeLeft
