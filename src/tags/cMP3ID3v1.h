#pragma once

#include <QString>

// The ID3v1.1 tag of one MP3 file: the 128-byte trailer that ends the file.
// Setting MP3File reads the trailer at once; Update writes the properties
// back into it, or appends one to any other non-empty file, however short. Failures are thrown as TagError, source
// ".cMP3ID3v1". No file is held open between calls.
class cMP3ID3v1 {
public:
    QString MP3File() const { return m_sFile; }
    // Stores the path, then reads its trailer; a read failure is thrown with
    // the state already cleared and the path kept.
    void setMP3File(const QString &path);
    void Update();

    bool HasID3v1Tag() const { return m_bHasTag; }

    // Texts are kept as given; they are cut to their field widths only when written.
    QString Title() const { return m_sTitle; }
    void setTitle(const QString &value) { m_sTitle = value; }
    QString Artist() const { return m_sArtist; }
    void setArtist(const QString &value) { m_sArtist = value; }
    QString Album() const { return m_sAlbum; }
    void setAlbum(const QString &value) { m_sAlbum = value; }
    QString Year() const { return m_sYear; }
    void setYear(const QString &value) { m_sYear = value; }
    quint8 Track() const { return m_bTrack; }
    void setTrack(quint8 value) { m_bTrack = value; }
    QString Comment() const { return m_sComment; }
    void setComment(const QString &value) { m_sComment = value; }
    // 255 means no genre.
    quint8 Genre() const { return m_bGenre; }
    void setGenre(quint8 value) { m_bGenre = value; }

    QString GenreName(quint8 genre) const;

private:
    void ReadTag();
    static QString StripNulls(const QByteArray &field);
    void WriteTag();

    QString m_sFile;
    bool m_bHasTag = false;
    QString m_sTitle;
    QString m_sArtist;
    QString m_sAlbum;
    QString m_sYear;
    QString m_sComment;
    quint8 m_bGenre = 0;
    quint8 m_bTrack = 0;
};
