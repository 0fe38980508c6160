#include "controls/audio/GenreTable.h"

#include <QRegularExpression>

#include <array>

namespace GenreTable {
namespace {

// Indexed by code. The spellings (the blanks around "-" and "/", "Bebob",
// "Rock 'n'Roll") are the ones the tags editor has always shown, and code 123
// is deliberately empty.
constexpr std::array<const char *, 148> kNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro - Techno", "Ambient", "Trip Hop", "Vocal",
    "Jazz - Funk",
    "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise",
    "Alt.Rock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic",
    "Gothic",
    "Darkwave", "Techno - Industrial", "Electronic", "Pop / Folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta Rap",
    "Top 40", "Christian Rap", "Pop / Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic",
    "Rave", "Showtunes",
    "Trailer", "Lo - fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock 'n'Roll",
    "Hard Rock",
    "Folk", "Folk / Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic",
    "Blue Grass",
    "Avant Garde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band",
    "Chorus", "Easy Listening", "Acoustic",
    "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Pr0n Groove",
    "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul",
    "Freestyle",
    "Duet", "Punk Rock", "Drum Solo", "", "Euro - House", "Dance Hall", "Goa", "Drum & Bass", "Club - House",
    "Hardcore", "Terror",
    "Indie", "Brit Pop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal",
    "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synth Pop",
};

// Letters and digits only, lower case: "Hip-Hop" and "Hip Hop" are one name.
QString folded(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c.isLetterOrNumber())
            out += c.toLower();
    }
    return out;
}

} // namespace

QString name(quint8 code)
{
    if (code >= kNames.size())
        return QString();
    return QString::fromLatin1(kNames[code]);
}

quint8 code(const QString &text)
{
    // "17" alone, or "(17)" before an optional name, as ID3v2 genre frames hold it.
    static const QRegularExpression number(QStringLiteral("^\\s*(?:\\((\\d{1,3})\\)|(\\d{1,3})\\s*$)"));
    const QRegularExpressionMatch match = number.match(text);
    if (match.hasMatch()) {
        const int value = (match.captured(1) + match.captured(2)).toInt();
        if (value < 255 && !name(quint8(value)).isEmpty())
            return quint8(value);
    }
    const QString wanted = folded(text);
    if (wanted.isEmpty())
        return kNone;
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i][0] != '\0' && folded(QString::fromLatin1(kNames[i])) == wanted)
            return quint8(i);
    }
    return kNone;
}

} // namespace GenreTable
