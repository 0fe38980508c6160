#include "controls/cd/CddbEntry.h"

#include <QMap>
#include <QStringDecoder>

namespace {

// A CD holds at most 99 tracks; higher numbers are not titles of this disc.
constexpr int kMaxTracks = 99;

QString unescape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[++i];
        if (next == QLatin1Char('n') || next == QLatin1Char('t'))
            out += QLatin1Char(' ');
        else
            out += next;
    }
    return out.simplified();
}

// "Artist / Title" names both; a title without the separator names no artist.
void split(const QString &text, QString *artist, QString *title)
{
    const qsizetype at = text.indexOf(QLatin1String(" / "));
    if (at < 0) {
        *title = text.trimmed();
        return;
    }
    *artist = text.left(at).trimmed();
    *title = text.mid(at + 3).trimmed();
}

} // namespace

namespace Cddb {

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

} // namespace Cddb

CddbEntry CddbEntry::parse(const QList<QByteArray> &lines)
{
    QByteArray discTitle;
    QMap<int, QByteArray> trackTitles;
    for (const QByteArray &line : lines) {
        if (line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals).trimmed().toUpper();
        const QByteArray value = line.mid(equals + 1);
        if (key == "DTITLE") {
            discTitle += value;
            continue;
        }
        if (!key.startsWith("TTITLE"))
            continue;
        bool ok = false;
        const int n = key.mid(6).toInt(&ok);
        if (ok && n >= 0 && n < kMaxTracks)
            trackTitles[n] += value;
    }

    CddbEntry entry;
    const QString disc = unescape(Cddb::decode(discTitle));
    entry.hasTitle = !disc.isEmpty();
    split(disc, &entry.artist, &entry.title);
    // A disc title without the separator is, by the format's rule, both.
    if (entry.artist.isEmpty())
        entry.artist = entry.title;
    if (!trackTitles.isEmpty())
        entry.tracks.resize(trackTitles.lastKey() + 1);
    for (auto it = trackTitles.cbegin(); it != trackTitles.cend(); ++it) {
        Track &t = entry.tracks[it.key()];
        split(unescape(Cddb::decode(it.value())), &t.artist, &t.title);
    }
    return entry;
}
