#pragma once

#include <QByteArray>
#include <QString>

// The text of ID3v2 frames: what a frame's data means as a property value,
// and the data written for a tag text of the frame store.
namespace Id3v2Text {

// The value of a frame's data (version 3 form) as the named properties show it:
// the text of a text frame, the comment or lyrics of COMM and USLT, the URL of
// WXXX and the URL frames, the count of PCNT.
QString frameValue(const QString &id, const QByteArray &data);

// The frame data written for a tag text of the store. Text frames, COMM, USLT
// and WXXX hold their texts in ISO-8859-1 when every character fits, else in
// UTF-16 with byte-order marks. The store's texts of COMM and USLT are the
// three language characters, the description, character 0 and the text; of
// WXXX the description, character 0 and the URL. PCNT holds a decimal count.
// Empty when the text cannot make such a frame (PCNT without a number).
QByteArray frameData(const QString &id, const QString &text);

} // namespace Id3v2Text

namespace Id3v2Text {
// Version 4 texts in UTF-8 or UTF-16BE, which version 3 does not know, turned
// into ISO-8859-1 or UTF-16 with byte-order marks; other data unchanged.
QByteArray toVersion3Encoding(const QString &id, const QByteArray &data);
// The genre code that a text of a genre frame holds bare, as version 4 holds
// it ("13"); -1 when the text is no such number.
int bareGenreCode(const QString &text);
// A version 4 genre frame's data (in a version 3 encoding) in version 3 form:
// the genre numbers version 4 holds bare ("13"), and RX and CR, become
// references ("(13)") ahead of the names. Data without them is unchanged.
QByteArray genreToVersion3(const QByteArray &data);
}

namespace Id3v2Text {
// The head of a COMM or USLT frame's data (version 3 form): its three
// language bytes and its description.
struct LangHead {
    QByteArray language;
    QString description;
};
// False when the data is too short or its encoding unknown.
bool langHead(const QByteArray &data, LangHead *head);
// The description of a WXXX frame's data (version 3 form); false when the
// data is empty or its encoding unknown.
bool userUrlDescription(const QByteArray &data, QString *description);
// Whether the language bytes are a language code: three ASCII letters.
bool isLanguageCode(const QByteArray &language);
}
