#pragma once

#include "controls/audio/AudioEncoder.h"
#include "controls/audio/AudioTags.h"

#include <QString>

// The destination members both job controls offer: the format with its
// settings call, the seven tags and the destination file.
class AudioDestination {
public:
    void DestFormat(qint32 code) { m_settings.format = code; }
    qint32 DestFormat() const { return m_settings.format; }
    void SetWAVSettings(const WavFormatSettings &s) { m_settings.wav = s; }
    void SetACMSettings(const QString &tag, const QString &format)
    {
        m_settings.acmTag = tag;
        m_settings.acmFormat = format;
    }
    void SetMP3Settings(const Mp3EncoderSettings &s) { m_settings.mp3 = s; }
    void SetWMASettings(const WmaFormatSettings &s) { m_settings.wma = s; }
    void SetOGGSettings(const OggEncoderSettings &s) { m_settings.ogg = s; }
    void SetAPESettings(qint32 level) { m_settings.apeLevel = level; }

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
    // All seven at once.
    const AudioTags &tags() const { return m_tags; }
    void setTags(const AudioTags &tags) { m_tags = tags; }

    // The format and encoder records as the last settings calls left them.
    const DestinationSettings &destinationSettings() const { return m_settings; }

    void DestFile(const QString &path) { m_destFile = path; }
    QString DestFile() const { return m_destFile; }

protected:
    DestinationSettings m_settings;
    AudioTags m_tags;
    QString m_destFile;
};
