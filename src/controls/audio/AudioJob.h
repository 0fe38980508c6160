#pragma once

#include "controls/audio/AudioEncoder.h"

#include <QString>
#include <QVector>

#include <atomic>
#include <functional>

// One piece of a job's input: a file, whole or a range of whole seconds.
struct AudioJobItem {
    QString path;
    qint32 startSeconds = -1; // -1: from the beginning
    qint32 lengthSeconds = -1; // -1 (or 0): to the end
    // A range in samples of the source, for cuts finer than a second; when
    // firstSample is 0 or more it replaces the seconds above.
    qint64 firstSample = -1;
    qint64 sampleCount = -1; // -1: to the end
};

// Decodes the items in turn into one destination file. The file is written
// under a temporary name beside the destination and renamed only when
// complete; on failure or abort nothing is left under either name.
class AudioJob {
public:
    enum class Result { Done, Aborted, Failed };
    enum ErrorCode : qint32 {
        SourceError = 1,
        DestinationError = 2,
        SettingsError = 3,
        CodingError = 4,
    };
    // (item index from 0, percent of that item)
    using Progress = std::function<void(int, int)>;

    AudioJob(DestinationSettings settings, AudioTags tags, QString destination, QVector<AudioJobItem> items);

    Result run(const std::atomic<bool> &abort, const Progress &progress);
    qint32 errorCode() const { return m_code; }
    QString errorText() const { return m_error; }

private:
    Result fail(ErrorCode code, const QString &text);
    bool checkPaths();
    Result transcode(int index, AudioEncoder &encoder, class AudioDecoder &decoder, const std::atomic<bool> &abort,
        const Progress &progress);

    DestinationSettings m_settings;
    AudioTags m_tags;
    QString m_destination;
    QString m_temporary;
    QVector<AudioJobItem> m_items;
    qint32 m_code = 0;
    QString m_error;
};
