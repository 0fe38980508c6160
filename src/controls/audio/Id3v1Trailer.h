#pragma once

#include <QByteArray>
#include <QString>

// The ID3v1.1 trailer: the fixed 128 bytes that end an MP3 file, as the tags
// editor and the MP3 encoder write it.
namespace Id3v1Trailer {

constexpr qsizetype kSize = 128;

struct Fields {
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    quint8 track = 0;    // 0: none
    quint8 genre = 255;  // 255: none
};

// The whole trailer, "TAG" first. Texts are Latin-1 (other characters become
// "?"), cut to their widths (30, 30, 30, 4 and 28 bytes) and filled with
// blanks; a zero byte, the track and the genre follow.
QByteArray pack(const Fields &fields);

// The track byte of a track text such as "4" or "4/12"; 0 when it holds no
// number from 1 to 255.
quint8 trackNumber(const QString &text);

} // namespace Id3v1Trailer
