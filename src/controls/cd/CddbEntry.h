#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

// The titles of a disc's xmcd entry as a CDDB server sends it. Servers pass
// on the bytes an entry was submitted with: UTF-8 for most, Latin-1 for the
// old ones, so each field is read as UTF-8 when it is valid UTF-8 and as
// Latin-1 otherwise. A field split over several lines is joined before it is
// decoded, since the split may fall inside a character.
struct CddbEntry {
    bool hasTitle = false; // a DTITLE line was there: the entry names a disc
    QString artist; // empty when the disc title names no artist
    QString title;
    struct Track {
        QString artist; // empty unless the track title names one
        QString title;
    };
    QVector<Track> tracks; // by track number from 0; missing ones empty

    // The entry's lines, without the terminating ".".
    static CddbEntry parse(const QList<QByteArray> &lines);
};

namespace Cddb {
// UTF-8 when the bytes are valid UTF-8, Latin-1 otherwise.
QString decode(const QByteArray &bytes);
}
