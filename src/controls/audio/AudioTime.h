#pragma once

#include <QString>

// The "0:00:00" display of a number of whole seconds: hours, then minutes and
// seconds of two digits; below 0 counts as 0.
inline QString formatSeconds(qint32 seconds)
{
    const qint32 s = qMax(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
