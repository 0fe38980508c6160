#pragma once

#include <QString>

// The seven text tags every output file carries and every input may hold.
struct AudioTags {
    QString album;
    QString artist;
    QString comment;
    QString genre;
    QString title;
    QString track;
    QString year;

    bool operator==(const AudioTags &) const = default;

    bool isEmpty() const
    {
        return album.isEmpty() && artist.isEmpty() && comment.isEmpty() && genre.isEmpty() && title.isEmpty()
            && track.isEmpty() && year.isEmpty();
    }
};
