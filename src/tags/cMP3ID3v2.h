#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The ID3v2 tag of one MP3 file: every frame as a tag text in a keyed store,
// with named properties over it. Setting MP3File reads the tag (versions 2, 3
// and 4) into a fresh store; Update writes the store back as a version 3 tag
// at the start of the file. Failures are thrown as TagError, source
// ".cMP3ID3v2". No file is held open between calls.
//
// Of several frames of one id a property shows the first, as other readers
// do; LinkTo shows the first WXXX without a description, else the first one.
class cMP3ID3v2 {
public:
    bool HasID3v2Tag() const { return m_lTagPosition > 0; }
    quint8 ID3v2TagVersion() const { return m_bVersion; }

    // The frame store. Frame ids compare without regard to letter case.
    qint32 FrameCount() const;
    // The id at position index, from 1; error 9 outside 1..FrameCount.
    QString Frame(qint32 index) const;
    // Error 5 when the id is not in the store.
    void RemoveFrame(const QString &frame);
    // 0 when the id is not in the store.
    qint32 TagsInFrame(const QString &frame) const;
    void AddTag(const QString &sFrame, const QString &sTag);
    // Removes tag tagIndex (from 1) of the id; the later tags move down one.
    void RemoveTag(const QString &sFrame, qint32 tagIndex);

    QString ArtistURL() const { return m_sArtistURL; }
    void setArtistURL(const QString &value);
    QString BuyURL() const { return m_sBuyURL; }
    void setBuyURL(const QString &value);
    QString AudioURL() const { return m_sAudioURL; }
    void setAudioURL(const QString &value);
    QString Copyright() const { return m_sCopyright; }
    void setCopyright(const QString &value);
    QString Composer() const { return m_sComposer; }
    void setComposer(const QString &value);
    QString OriginalArtist() const { return m_sOriginalArtist; }
    void setOriginalArtist(const QString &value);
    QString LinkTo() const { return m_sLinkTo; }
    // Replaces the WXXX frames without a description; those with one are
    // other programs' links and stay.
    void setLinkTo(const QString &value);
    QString PlayCounter() const { return m_sPlayCounter; }
    void setPlayCounter(const QString &value);
    QString EncodedBy() const { return m_sEncodedBy; }
    void setEncodedBy(const QString &value);
    QString Title() const { return m_sTitle; }
    void setTitle(const QString &value);
    QString Artist() const { return m_sArtist; }
    void setArtist(const QString &value);
    QString Album() const { return m_sAlbum; }
    void setAlbum(const QString &value);
    QString Year() const { return m_sYear; }
    void setYear(const QString &value);
    // Comment and Lyrics are the COMM and USLT frames without a description,
    // written with the language code of the frame replaced ("eng" when it
    // had none); frames with a description are other programs' data and
    // stay as they are.
    QString Comment() const { return m_sComment; }
    void setComment(const QString &value);
    QString Lyrics() const { return m_sLyrics; }
    void setLyrics(const QString &value);
    // 255 means no genre; 0 before the first file.
    quint8 Genre() const { return m_bGenre; }
    void setGenre(quint8 value);
    QString OtherGenreName() const { return m_sOtherGenreName; }
    void setOtherGenreName(const QString &value);
    QString Track() const { return m_sTrack; }
    void setTrack(const QString &value);

    QString GenreName(quint8 genre) const;

    QString MP3File() const { return m_sFile; }
    // Stores the path, then reads its tag; read failures are thrown.
    void setMP3File(const QString &path);
    quint8 TagVersion() const { return m_bVersion; }
    void Update();
    // The frames of the version 2 tag read that version 3 has no form for, by
    // their ids: they are not in the store, so Update leaves them out of the
    // file (and says so in the log). Empty once Update has written the file.
    QStringList FramesLeftOut() const { return m_framesLeftOut; }

private:
    // One frame of the tag. Frames read from the file keep their data and
    // flags and are written back unchanged; texts set in code are encoded
    // when written.
    struct Tag {
        QString text;
        QByteArray data;
        quint16 flags = 0;
        bool fromFile = false;
    };
    struct FrameEntry {
        QString id;
        QList<Tag> tags;
    };
    using Store = QList<FrameEntry>;

    void ReadTag();
    void WriteTag();
    // Adds a frame read to the store and sets the property it shows. shown
    // holds the ids whose property a frame has set, true where that frame
    // had no description.
    void StoreFrame(const QString &id, const QByteArray &data, quint16 flags, QHash<QString, bool> &shown);
    QByteArray BuildTag() const;

    Store &store();
    qsizetype indexOf(const QString &frame) const;
    void appendTag(const QString &frame, Tag tag);
    void setFrame(const QString &id, const QString &text);
    // COMM, USLT and WXXX: replaces the frames without a description, the
    // ones the named property shows, and keeps those with one (other
    // programs' data).
    void setUndescribedFrame(const QString &id, const QString &text);
    // Whether a COMM, USLT or WXXX tag has no description; the language bytes
    // of COMM and USLT then go to language.
    static bool isUndescribed(const QString &id, const Tag &tag, QByteArray *language = nullptr);
    void setGenreFrame();
    void resetFields();

    QString m_sFile;
    qint64 m_lTagPosition = 0;
    quint8 m_bVersion = 0;
    QStringList m_framesLeftOut;
    // Absent until the first file is read.
    std::optional<Store> m_store;

    QString m_sTitle, m_sArtist, m_sAlbum, m_sYear, m_sComment, m_sTrack, m_sPlayCounter, m_sEncodedBy,
        m_sOtherGenreName, m_sLinkTo, m_sOriginalArtist, m_sComposer, m_sCopyright, m_sAudioURL, m_sBuyURL,
        m_sArtistURL, m_sLyrics;
    quint8 m_bGenre = 0;
};
