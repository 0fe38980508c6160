#pragma once

#include "controls/audio/AudioDecoder.h"
#include "controls/audio/AudioFacts.h"
#include "controls/audio/AudioDestination.h"
#include "controls/audio/AudioJobQueue.h"
#include "controls/audio/AudioRange.h"
#include "controls/audio/ConversionAhead.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

// Opens audio files and reports their length, format and tags; lists the ACM
// and WMA codecs; converts one source (whole or a range) into one file on a
// worker, reporting through queued events. The control lives on the UI
// thread; each conversion runs on a worker of its own in the job queue,
// which also runs the coming rows ahead and hands their reports over only
// when their turn comes. A conversion run ahead for a row that does not come
// next is stopped, its file removed and its reports dropped.
class cAudioConverter : public QObject, public AudioDestination, public AudioRange {
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

    // Raise ACMTagFound / ACMFormatFound for each entry before returning.
    void EnumACMTags(qint32 formatTag, qint32 sampleRate, qint32 channels, qint32 bitsPerSample, qint32 flags);
    void EnumACMFormats(const QString &tagName);

    // WMA codecs and their formats, indexes from 0.
    qint32 WMACodecCount() const;
    QString WMACodecName(qint32 codec) const;
    qint32 WMAFormatCount(qint32 codec) const;
    QString WMAFormatName(qint32 codec, qint32 format) const;

    void SourceFile(const QString &path) { m_sourceFile = path; }
    QString SourceFile() const { return m_sourceFile; }

    // Starts the conversion and returns at once; one of Done, Aborted or
    // Error follows, never inside this call.
    void Convert();
    // The conversions the caller will start next, in order, with the format
    // and settings set now. The control may run them at once, up to one
    // conversion per core; each one's events and file still come only after
    // Convert has asked for the same work, so nothing shows of a conversion
    // whose turn does not come.
    void ConvertAhead(const QVector<ConversionAhead> &next);
    // Conversions at once, the one in turn included; 1 runs them one by one.
    int conversionsAtOnce() const { return m_jobs.capacity(); }
    void setConversionsAtOnce(int conversions) { m_jobs.setCapacity(conversions); }
    void Abort();
    // Stops any job and releases the source and everything the control holds.
    void Terminate();

signals:
    void Progress(qint32 percent);
    void Done();
    void Aborted();
    void Error(qint32 code, const QString &text);
    // What the file written could not keep of the source (channels, bits),
    // for the job's log; right before that job's Done.
    void Warning(const QString &text);
    void ACMTagFound(const QString &tagName);
    void ACMFormatFound(const QString &formatName);

private:
    std::shared_ptr<class AudioJob> job(const AudioTags &tags, const QString &source, qint32 rangeStart,
        qint32 rangeLength, const QString &destination) const;

    std::optional<AudioFacts> m_source;
    // The file m_source describes (OpenSource's), which m_sourceFile need not be.
    QString m_sourcePath;
    QString m_sourceFile;
    AudioJobQueue m_jobs;
    // The parts of a split copy their frames from one walk of the source.
    std::shared_ptr<class Mp3WalkCache> m_walks;
};
