#include "core/mdlFunctions.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

// Reads a text as a time of day the way the user would type or see it:
// plain "H:m:s" and "H:m", the locale's time and date-time formats, and
// ISO dates with times. A date alone is midnight.
QTime readTimeOfDay(const QString &input)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return QTime();

    static const QStringList plainTimes = {
        QStringLiteral("H:m:s"), QStringLiteral("H:m"),
        QStringLiteral("h:m:s AP"), QStringLiteral("h:m AP"), QStringLiteral("h:m:sAP"),
    };
    for (const QString &format : plainTimes) {
        const QTime t = QTime::fromString(text, format);
        if (t.isValid())
            return t;
    }

    const QLocale locale;
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QTime t = locale.toTime(text, type);
        if (t.isValid())
            return t;
    }
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QDateTime dt = locale.toDateTime(text, type);
        if (dt.isValid())
            return dt.time();
    }

    // A date followed by a time, in any mix of the locale's and ISO formats.
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    QStringList dateFormats = {locale.dateFormat(QLocale::ShortFormat),
                               locale.dateFormat(QLocale::LongFormat),
                               QStringLiteral("yyyy-MM-dd"), QStringLiteral("M/d/yyyy"),
                               QStringLiteral("d.M.yyyy")};
    for (const QString &dateFormat : std::as_const(dateFormats)) {
        const QDate date = locale.toDate(text, dateFormat);
        if (date.isValid())
            return QTime(0, 0, 0);
        if (blank > 0) {
            // Dates may hold blanks themselves ("14 March 2007"), so every
            // split point is tried.
            for (qsizetype at = text.indexOf(QLatin1Char(' ')); at > 0; at = text.indexOf(QLatin1Char(' '), at + 1)) {
                if (!locale.toDate(text.left(at), dateFormat).isValid())
                    continue;
                const QTime t = readTimeOfDay(text.mid(at + 1));
                if (t.isValid())
                    return t;
            }
        }
    }
    const QDateTime iso = QDateTime::fromString(text, Qt::ISODate);
    if (iso.isValid())
        return iso.time();
    return QTime();
}

} // namespace

namespace mdlFunctions {

QString SecondsToHMS(qint32 seconds)
{
    const qint64 s = seconds;
    const qint64 whole = s < 0 ? -s : s;
    const qint64 hours = whole / 3600;
    const qint64 minutes = whole / 60 - 60 * hours;
    return QStringLiteral("%1%2:%3:%4")
        .arg(s < 0 ? QStringLiteral("-") : QString())
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

qint32 TimeToSeconds(const QString &time)
{
    // A text that reads as a time of day (or a date-time) counts by its time
    // of day; anything else, such as a duration of 24 hours or more, is
    // taken field by field as it stands.
    const QTime timeOfDay = readTimeOfDay(time);
    const QString text = timeOfDay.isValid() ? timeOfDay.toString(QStringLiteral("HH:mm:ss")) : time;

    const QStringList fields = text.split(QLatin1Char(':'));
    if (fields.size() < 3)
        return 0;
    double total = 0;
    static constexpr double weights[3] = {3600, 60, 1};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const double value = fields.at(i).trimmed().toDouble(&ok);
        if (!ok)
            return 0;
        total += value * weights[i];
    }
    total = std::nearbyint(total);
    if (!std::isfinite(total) || total > std::numeric_limits<qint32>::max()
        || total < std::numeric_limits<qint32>::min())
        return 0;
    return qint32(total);
}

} // namespace mdlFunctions
