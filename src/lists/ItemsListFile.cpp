#include "lists/ItemsListFile.h"

#include "core/TextLines.h"
#include "lists/ItemsListRow.h"
#include "platform/SafeWrite.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace ItemsListFile {

namespace {

const QString itemOpen = QStringLiteral("<ITEM>");
const QString itemClose = QStringLiteral("</ITEM>");
const QString crLf = QStringLiteral("\r\n");

// The names whose markers must never appear inside a stored value.
const QStringList &markerNames()
{
    static const QStringList names = [] {
        QStringList all{QStringLiteral("ITEM")};
        for (const QString &name : fieldNames())
            all << name;
        return all;
    }();
    return names;
}

// At text[at] == '<': the number of backslashes that follow when the rest
// reads "<", backslashes, an optional "/", a marker name and ">"; -1 when it
// does not.
int markerBackslashes(const QString &text, qsizetype at)
{
    qsizetype i = at + 1;
    int backslashes = 0;
    while (i < text.size() && text[i] == QLatin1Char('\\')) {
        ++backslashes;
        ++i;
    }
    if (i < text.size() && text[i] == QLatin1Char('/'))
        ++i;
    const QStringView rest = QStringView(text).mid(i);
    for (const QString &name : markerNames()) {
        if (rest.startsWith(name) && rest.size() > name.size() && rest[name.size()] == QLatin1Char('>'))
            return backslashes;
    }
    return -1;
}

} // namespace

const std::array<QString, FieldCount> &fieldNames()
{
    namespace Row = ItemsListRow;
    // A field is stored under the key of the grid column that shows it.
    static constexpr std::array<Row::Column, FieldCount> shownIn = {
        Row::Inc,      Row::Type,      Row::ItemName,   Row::File,     Row::RangeAll, Row::RangeStart, Row::RangeLength,
        Row::TagAlbum, Row::TagArtist, Row::TagComment, Row::TagGenre, Row::TagYear,  Row::TagTitle,   Row::TagTrack,
    };
    static const std::array<QString, FieldCount> names = [] {
        std::array<QString, FieldCount> all;
        for (int f = 0; f < FieldCount; ++f)
            all[f] = Row::key(shownIn[f]);
        return all;
    }();
    return names;
}

namespace {

// The text between the first open and the first close marker of text.
QString valueBetween(const QString &open, const QString &close, const QString &text)
{
    const qsizetype a = text.indexOf(close);
    const qsizetype b = text.indexOf(open);
    if (a < 0 || b < 0)
        return QString();
    const qsizetype start = b + open.size();
    if (a < start)
        return QString();
    return text.mid(start, a - start);
}

struct Markers {
    QString open;
    QString close;
};

// Built once: a list of many thousand records is read field by field.
const std::array<Markers, FieldCount> &fieldMarkers()
{
    static const std::array<Markers, FieldCount> markers = [] {
        std::array<Markers, FieldCount> m;
        for (int f = 0; f < FieldCount; ++f) {
            const QString &name = fieldNames()[f];
            m[f] = {QLatin1Char('<') + name + QLatin1Char('>'), QStringLiteral("</") + name + QLatin1Char('>')};
        }
        return m;
    }();
    return markers;
}

} // namespace

QString GetTagValue(const QString &tag, const QString &text)
{
    return valueBetween(QLatin1Char('<') + tag + QLatin1Char('>'), QStringLiteral("</") + tag + QLatin1Char('>'), text);
}

QString escapeValue(const QString &value)
{
    if (!value.contains(QLatin1Char('<')))
        return value;
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        out += value[i];
        if (value[i] == QLatin1Char('<') && markerBackslashes(value, i) >= 0)
            out += QLatin1Char('\\');
    }
    return out;
}

QString unescapeValue(const QString &stored)
{
    if (!stored.contains(QLatin1String("<\\")))
        return stored;
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        out += stored[i];
        if (stored[i] == QLatin1Char('<') && markerBackslashes(stored, i) >= 1)
            ++i; // drop one backslash
    }
    return out;
}

QString recordText(const Record &record)
{
    QString text = itemOpen;
    for (int f = 0; f < FieldCount; ++f) {
        const QString &name = fieldNames()[f];
        text += QLatin1Char('<') + name + QLatin1Char('>') + escapeValue(record.fields[f]) + QStringLiteral("</")
            + name + QLatin1Char('>');
    }
    return text + itemClose;
}

namespace {

// A record as the writer lays it out: the fourteen fields one after another
// from its first character, no value holding a "<". Read in one pass, it
// gives what the field by field search from the start gives (no marker can
// then stand anywhere but where it is found), for a list of tens of
// thousands of records in a fraction of the time; anything else is nothing.
std::optional<Record> parseLaidOut(QStringView piece)
{
    Record record;
    qsizetype at = 0;
    for (int f = 0; f < FieldCount; ++f) {
        const Markers &m = fieldMarkers()[f];
        if (!piece.mid(at).startsWith(m.open))
            return std::nullopt;
        const qsizetype start = at + m.open.size();
        const qsizetype end = piece.indexOf(m.close, start);
        if (end < 0)
            return std::nullopt;
        const QStringView value = piece.mid(start, end - start);
        if (value.contains(QLatin1Char('<')))
            return std::nullopt;
        record.fields[f] = value.toString();
        at = end + m.close.size();
    }
    return record;
}

} // namespace

Record parseRecord(const QString &piece)
{
    if (std::optional<Record> record = parseLaidOut(piece))
        return std::move(*record);
    Record record;
    for (int f = 0; f < FieldCount; ++f)
        record.fields[f] = parseField(piece, f);
    return record;
}

QList<Record> parseRecords(const QString &text, const std::atomic<bool> *abort)
{
    QList<Record> records;
    const QStringView all(text);
    qsizetype at = all.indexOf(itemOpen);
    while (at >= 0) {
        if (abort && *abort)
            break;
        const qsizetype start = at + itemOpen.size();
        const qsizetype next = all.indexOf(itemOpen, start);
        const QStringView piece = all.mid(start, (next < 0 ? all.size() : next) - start);
        if (!piece.isEmpty()) {
            std::optional<Record> record = parseLaidOut(piece);
            records << (record ? std::move(*record) : parseRecord(piece.toString()));
        }
        at = next;
    }
    return records;
}

QString parseField(const QString &piece, int field)
{
    const Markers &m = fieldMarkers()[field];
    return unescapeValue(valueBetween(m.open, m.close, piece));
}

QStringList recordPieces(const QString &text)
{
    QStringList pieces = text.split(itemOpen);
    pieces.removeFirst();
    return pieces;
}

QString fileText(const QList<Record> &records)
{
    QString text;
    for (const Record &record : records)
        text += recordText(record);
    return text + crLf;
}

ReadResult read(const QString &path)
{
    ReadResult result;
    QFile file(path);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.complete = false;
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != file.size()) {
        result.complete = false;
        return result;
    }
    result.text = TextLines::decodeText(bytes);
    while (result.text.endsWith(QLatin1Char('\n')) || result.text.endsWith(QLatin1Char('\r')))
        result.text.chop(1);
    return result;
}

bool write(const QString &path, const QList<Record> &records, QString *error)
{
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || !info.isWritable())) {
        if (error)
            *error = info.isFile() ? QStringLiteral("Permission denied") : QStringLiteral("Not a file");
        return false;
    }
    const QString failure = SafeWrite::replaceFile(path, fileText(records).toUtf8());
    if (error)
        *error = failure;
    return failure.isEmpty();
}

} // namespace ItemsListFile
