#pragma once

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/AudioTags.h"

#include <QObject>
#include <QString>

#include <memory>

// Opens audio files and reports their length, format and tags for the items
// lists and the settings windows.
class cAudioConverter : public QObject {
    Q_OBJECT
public:
    explicit cAudioConverter(QObject *parent = nullptr);
    ~cAudioConverter() override;

    // 0 when path was opened and holds audio; any other value when not.
    qint32 OpenSource(const QString &path);
    void CloseSource();
    // Of the source opened last; 0 when none is open.
    qint32 Duration() const; // milliseconds
    qint32 SampleRate() const;
    qint32 Channels() const;
    qint32 BitsPerSample() const;
    // "HH:MM:SS" of a number of whole seconds.
    QString FormatSeconds(qint32 seconds) const;

    // Reads path's tags into the seven tag properties (empty when absent).
    void ReadTags(const QString &path);
    QString TagAlbum() const { return m_tags.album; }
    QString TagArtist() const { return m_tags.artist; }
    QString TagComment() const { return m_tags.comment; }
    QString TagGenre() const { return m_tags.genre; }
    QString TagTitle() const { return m_tags.title; }
    QString TagTrack() const { return m_tags.track; }
    QString TagYear() const { return m_tags.year; }
    void TagAlbum(const QString &v) { m_tags.album = v; }
    void TagArtist(const QString &v) { m_tags.artist = v; }
    void TagComment(const QString &v) { m_tags.comment = v; }
    void TagGenre(const QString &v) { m_tags.genre = v; }
    void TagTitle(const QString &v) { m_tags.title = v; }
    void TagTrack(const QString &v) { m_tags.track = v; }
    void TagYear(const QString &v) { m_tags.year = v; }

    // Releases the source and everything the control holds.
    void Terminate();

private:
    std::unique_ptr<AudioDecoder> m_source;
    AudioTags m_tags;
};
