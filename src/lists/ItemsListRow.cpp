#include "lists/ItemsListRow.h"

#include "core/mdlFunctions.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ItemsListRow {

const std::array<ColumnSpec, ColumnCount> &columns()
{
    // In the main window the item information grid shows size, length and
    // creation date, so the items grid keeps them hidden; the tool windows
    // show them.
    static const std::array<ColumnSpec, ColumnCount> table = {{
        {"Inc", "Inc", 26, 20, true, true},
        {"Type", "Type", 40, 40, true, true},
        {"Item Name", "Item Name", 180, 160, true, true},
        {"Size", "Size", 80, 80, false, true},
        {"Time", "Time-Length", 80, 80, false, true},
        {"Created", "Created", 140, 140, false, true},
        {"Range", "Range", 120, 120, true, true},
        {"COL_FILE", "COL_FILE", -1, -1, false, false},
        {"COL_RANGE_ALL", "COL_RANGE_ALL", -1, -1, false, false},
        {"COL_RANGE_START_TIME", "COL_RANGE_START_TIME", -1, -1, false, false},
        {"COL_RANGE_LENGTH_TIME", "COL_RANGE_LENGTH_TIME", -1, -1, false, false},
        {"COL_BYTES_SIZE", "COL_BYTES_SIZE", -1, -1, false, false},
        {"COL_TAG_ALBUM", "COL_TAG_ALBUM", -1, -1, false, false},
        {"COL_TAG_ARTIST", "COL_TAG_ARTIST", -1, -1, false, false},
        {"COL_TAG_COMMENT", "COL_TAG_COMMENT", -1, -1, false, false},
        {"COL_TAG_GEN", "COL_TAG_GEN", -1, -1, false, false},
        {"COL_TAG_YEAR", "COL_TAG_YEAR", -1, -1, false, false},
        {"COL_TAG_TITLE", "COL_TAG_TITLE", -1, -1, false, false},
        {"COL_TAG_TRACK", "COL_TAG_TRACK", -1, -1, false, false},
    }};
    return table;
}

QString key(int column)
{
    if (column < 1 || column > ColumnCount)
        return QString();
    return QString::fromLatin1(columns()[column - 1].key);
}

int GetTypeIcon(const QString &typeText)
{
    if (typeText == QLatin1String("Audio"))
        return IconAudio;
    if (typeText == QLatin1String("Data"))
        return IconData;
    return 0;
}

namespace {

// "H:MM:SS" as the rows write lengths, read without the general time parser,
// which costs a list of tens of thousands of rows a noticeable time; nothing
// for any other text.
std::optional<qint64> rowLength(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 1 || text.size() != colon + 6 || text[colon + 3] != QLatin1Char(':'))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == colon || i == colon + 3)
            continue;
        if (!text[i].isDigit() || text[i].unicode() > '9')
            return std::nullopt;
    }
    const auto number = [&text](qsizetype from, qsizetype length) {
        qint64 n = 0;
        for (qsizetype i = from; i < from + length; ++i)
            n = n * 10 + (text[i].unicode() - '0');
        return n;
    };
    return number(0, colon) * 3600 + number(colon + 1, 2) * 60 + number(colon + 4, 2);
}

// A whole number written in digits alone, read without the general number
// parser; nothing for any other text.
std::optional<qint64> digits(QStringView text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    qint64 n = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
    }
    return n;
}

// A number cell rounded to a whole; nothing for an empty, non-numeric or
// out-of-range text.
std::optional<qint64> wholeNumber(const QString &text)
{
    if (const std::optional<qint64> whole = digits(text))
        return whole;
    bool ok = false;
    const double value = std::nearbyint(text.trimmed().toDouble(&ok));
    if (!ok || !std::isfinite(value) || std::fabs(value) > 9.0e18)
        return std::nullopt;
    return qint64(value);
}

qint32 clamped(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

// A length of hours, minutes and seconds, or a time of day, as the time
// parser reads it; nothing for a text that is no time.
std::optional<qint64> timeLength(const QString &text)
{
    if (const std::optional<qint64> fast = rowLength(text))
        return fast;
    static const QRegularExpression hms(QStringLiteral("^\\s*\\d+:\\d{1,2}:\\d{1,2}\\s*$"));
    const qint32 seconds = mdlFunctions::TimeToSeconds(text);
    // The parser gives 0 for what it cannot read; a written zero is a length.
    if (seconds == 0 && !hms.match(text).hasMatch())
        return std::nullopt;
    return seconds;
}

} // namespace

std::optional<qint64> secondsOf(const QString &rangeAll, const QString &time, const QString &rangeLength)
{
    if (rangeAll == QLatin1String("1"))
        return timeLength(time);
    return wholeNumber(rangeLength);
}

qint64 bytesOf(const QString &bytesSize)
{
    return wholeNumber(bytesSize).value_or(0);
}

std::optional<std::pair<qint32, qint32>> rangeOf(const QString &rangeAll, const QString &rangeStart,
                                                 const QString &rangeLength)
{
    if (rangeAll == QLatin1String("1"))
        return std::nullopt;
    const std::optional<qint64> start = wholeNumber(rangeStart);
    const std::optional<qint64> length = wholeNumber(rangeLength);
    if (!start || !length)
        return std::nullopt;
    return std::make_pair(clamped(*start), clamped(*length));
}

} // namespace ItemsListRow
