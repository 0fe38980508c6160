#include "controls/audio/Id3v2Text.h"

#include <QStringList>

#include <algorithm>

namespace Id3v2Text {
namespace {

enum Encoding : quint8 { Latin1 = 0, Utf16Bom = 1, Utf16BE = 2, Utf8 = 3 };

enum class Kind { Text, LangText, UserUrl, Url, Counter, Other };

Kind kindOf(const QString &id)
{
    const QString upper = id.toUpper();
    if (upper == QLatin1String("COMM") || upper == QLatin1String("USLT"))
        return Kind::LangText;
    if (upper == QLatin1String("WXXX"))
        return Kind::UserUrl;
    if (upper == QLatin1String("PCNT"))
        return Kind::Counter;
    if (upper.startsWith(QLatin1Char('T')))
        return Kind::Text;
    if (upper.startsWith(QLatin1Char('W')))
        return Kind::Url;
    return Kind::Other;
}

bool isWide(quint8 encoding)
{
    return encoding == Utf16Bom || encoding == Utf16BE;
}

// Where the first string of bytes ends: its terminator's offset, or -1.
qsizetype terminatorAt(const QByteArray &bytes, qsizetype from, quint8 encoding)
{
    if (!isWide(encoding))
        return bytes.indexOf('\0', from);
    for (qsizetype i = from; i + 1 < bytes.size(); i += 2) {
        if (bytes.at(i) == '\0' && bytes.at(i + 1) == '\0')
            return i;
    }
    return -1;
}

QString decodeOne(const QByteArray &bytes, quint8 encoding)
{
    switch (encoding) {
    case Latin1:
        return QString::fromLatin1(bytes);
    case Utf8:
        return QString::fromUtf8(bytes);
    case Utf16Bom:
    case Utf16BE: {
        bool bigEndian = encoding == Utf16BE;
        qsizetype start = 0;
        if (bytes.size() >= 2) {
            const auto b0 = static_cast<quint8>(bytes.at(0));
            const auto b1 = static_cast<quint8>(bytes.at(1));
            if (b0 == 0xFF && b1 == 0xFE) {
                bigEndian = false;
                start = 2;
            } else if (b0 == 0xFE && b1 == 0xFF) {
                bigEndian = true;
                start = 2;
            }
        }
        QString text;
        for (qsizetype i = start; i + 1 < bytes.size(); i += 2) {
            const auto hi = static_cast<quint8>(bytes.at(bigEndian ? i : i + 1));
            const auto lo = static_cast<quint8>(bytes.at(bigEndian ? i + 1 : i));
            text.append(QChar(static_cast<char16_t>((hi << 8) | lo)));
        }
        return text;
    }
    default:
        // An unknown encoding byte: the bytes as they are.
        return QString::fromLatin1(bytes);
    }
}

// Every string of bytes, split at the encoding's terminators.
QStringList decodeAll(const QByteArray &bytes, quint8 encoding)
{
    QStringList parts;
    qsizetype from = 0;
    const qsizetype step = isWide(encoding) ? 2 : 1;
    while (from < bytes.size()) {
        const qsizetype end = terminatorAt(bytes, from, encoding);
        if (end < 0) {
            parts.append(decodeOne(bytes.mid(from), encoding));
            break;
        }
        parts.append(decodeOne(bytes.mid(from, end - from), encoding));
        from = end + step;
    }
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

// The old reading of a frame: every byte a character, the zero bytes dropped.
QString withoutNulls(const QByteArray &bytes)
{
    QByteArray kept = bytes;
    kept.removeIf([](char c) { return c == '\0'; });
    return QString::fromLatin1(kept);
}

bool fitsLatin1(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

QByteArray encodeOne(const QString &text, quint8 encoding)
{
    if (encoding == Latin1)
        return text.toLatin1();
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray terminator(quint8 encoding)
{
    return encoding == Latin1 ? QByteArray(1, '\0') : QByteArray(2, '\0');
}

QByteArray encodeAll(const QStringList &parts, quint8 encoding)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            bytes += terminator(encoding);
        bytes += encodeOne(parts.at(i), encoding);
    }
    return bytes;
}

// URLs are single-byte texts; characters beyond Latin-1 are percent-encoded.
QByteArray urlBytes(const QString &url)
{
    QByteArray bytes;
    for (QChar c : url) {
        if (c.unicode() <= 0xFF)
            bytes.append(static_cast<char>(c.unicode()));
        else
            bytes += QString(c).toUtf8().toPercentEncoding();
    }
    return bytes;
}

QString trimNulls(QString text)
{
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

} // namespace

QString frameValue(const QString &id, const QByteArray &data)
{
    if (data.isEmpty())
        return QString();
    const auto encoding = static_cast<quint8>(data.at(0));
    switch (kindOf(id)) {
    case Kind::Text:
        if (encoding > Utf8)
            return withoutNulls(data);
        return decodeAll(data.mid(1), encoding).join(QLatin1Char('/'));
    case Kind::LangText: {
        // Encoding, three language bytes, a description, then the text.
        const qsizetype end = data.size() >= 4 && encoding <= Utf8 ? terminatorAt(data, 4, encoding) : -1;
        if (end < 0)
            return withoutNulls(data);
        if (isWide(encoding) && (end - 4) % 2 != 0)
            return withoutNulls(data);
        return trimNulls(decodeOne(data.mid(end + (isWide(encoding) ? 2 : 1)), encoding));
    }
    case Kind::UserUrl: {
        const qsizetype end = encoding <= Utf8 ? terminatorAt(data, 1, encoding) : -1;
        if (end < 0)
            return withoutNulls(data);
        return withoutNulls(data.mid(end + (isWide(encoding) ? 2 : 1)));
    }
    case Kind::Counter: {
        const bool oldText = data.at(0) == '\0' && data.size() >= 2
            && std::all_of(data.begin() + 1, data.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (data.size() < 4 || data.size() > 8 || oldText)
            return withoutNulls(data);
        quint64 count = 0;
        for (char c : data)
            count = (count << 8) | static_cast<quint8>(c);
        return QString::number(count);
    }
    case Kind::Url:
    case Kind::Other:
        break;
    }
    return withoutNulls(data);
}

QByteArray frameData(const QString &id, const QString &text)
{
    const bool latin1 = fitsLatin1(text);
    const QByteArray plain = QByteArray(1, '\0') + text.toLatin1();
    switch (kindOf(id)) {
    case Kind::Text:
        if (latin1)
            return plain;
        return QByteArray(1, char(Utf16Bom)) + encodeAll(text.split(QChar(0)), Utf16Bom);
    case Kind::LangText: {
        const qsizetype end = text.indexOf(QChar(0), 3);
        if (latin1 || text.size() < 3 || end < 0)
            return plain;
        return QByteArray(1, char(Utf16Bom)) + text.left(3).toLatin1()
            + encodeOne(text.mid(3, end - 3), Utf16Bom) + terminator(Utf16Bom)
            + encodeOne(text.mid(end + 1), Utf16Bom);
    }
    case Kind::UserUrl: {
        const qsizetype end = text.indexOf(QChar(0));
        if (latin1 || end < 0)
            return plain;
        return QByteArray(1, char(Utf16Bom)) + encodeOne(text.left(end), Utf16Bom) + terminator(Utf16Bom)
            + urlBytes(text.mid(end + 1));
    }
    case Kind::Url:
        // URL frames have no encoding byte.
        return urlBytes(text);
    case Kind::Counter: {
        bool ok = false;
        const quint64 count = text.trimmed().toULongLong(&ok);
        if (!ok)
            return QByteArray();
        const int width = count > 0xFFFFFFFFull ? 8 : 4;
        QByteArray bytes(width, '\0');
        for (int i = 0; i < width; ++i)
            bytes[i] = static_cast<char>((count >> (8 * (width - 1 - i))) & 0xFF);
        return bytes;
    }
    case Kind::Other:
        break;
    }
    return plain;
}

QByteArray toVersion3Encoding(const QString &id, const QByteArray &data)
{
    if (data.isEmpty())
        return data;
    const auto encoding = static_cast<quint8>(data.at(0));
    if (encoding != Utf16BE && encoding != Utf8)
        return data;
    switch (kindOf(id)) {
    case Kind::Text: {
        const QStringList parts = decodeAll(data.mid(1), encoding);
        const quint8 target = fitsLatin1(parts.join(QString())) ? Latin1 : Utf16Bom;
        return QByteArray(1, char(target)) + encodeAll(parts, target);
    }
    case Kind::LangText:
    case Kind::UserUrl: {
        const qsizetype head = kindOf(id) == Kind::LangText ? 4 : 1;
        if (data.size() < head)
            return data;
        const qsizetype end = terminatorAt(data, head, encoding);
        if (end < 0)
            return data;
        const QString description = decodeOne(data.mid(head, end - head), encoding);
        const QByteArray rest = data.mid(end + (isWide(encoding) ? 2 : 1));
        const bool url = kindOf(id) == Kind::UserUrl;
        const QString value = url ? QString() : trimNulls(decodeOne(rest, encoding));
        const quint8 target = fitsLatin1(description + value) ? Latin1 : Utf16Bom;
        return QByteArray(1, char(target)) + data.mid(1, head - 1) + encodeOne(description, target)
            + terminator(target) + (url ? rest : encodeOne(value, target));
    }
    default:
        return data;
    }
}

int bareGenreCode(const QString &text)
{
    const bool digits = !text.isEmpty() && text.size() <= 3
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    return digits && text.toInt() <= 255 ? text.toInt() : -1;
}

QByteArray genreToVersion3(const QByteArray &data)
{
    if (data.isEmpty() || static_cast<quint8>(data.at(0)) > Utf8)
        return data;
    QString references;
    QStringList names;
    for (const QString &part : decodeAll(data.mid(1), static_cast<quint8>(data.at(0)))) {
        if (bareGenreCode(part) >= 0 || part == QLatin1String("RX") || part == QLatin1String("CR"))
            references += QLatin1Char('(') + part + QLatin1Char(')');
        else if (!part.isEmpty())
            names.append(part);
    }
    if (references.isEmpty())
        return data;
    return frameData(QStringLiteral("TCON"), references + names.join(QLatin1Char('/')));
}

bool langHead(const QByteArray &data, LangHead *head)
{
    if (data.size() < 4 || static_cast<quint8>(data.at(0)) > Utf8)
        return false;
    const auto encoding = static_cast<quint8>(data.at(0));
    const qsizetype end = terminatorAt(data, 4, encoding);
    head->language = data.mid(1, 3);
    head->description = decodeOne(end < 0 ? data.mid(4) : data.mid(4, end - 4), encoding);
    return true;
}

bool userUrlDescription(const QByteArray &data, QString *description)
{
    if (data.isEmpty() || static_cast<quint8>(data.at(0)) > Utf8)
        return false;
    const auto encoding = static_cast<quint8>(data.at(0));
    const qsizetype end = terminatorAt(data, 1, encoding);
    *description = decodeOne(end < 0 ? data.mid(1) : data.mid(1, end - 1), encoding);
    return true;
}

bool isLanguageCode(const QByteArray &language)
{
    return language.size() == 3
        && std::all_of(language.begin(), language.end(), [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

} // namespace Id3v2Text
