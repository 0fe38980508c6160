#pragma once

#include "controls/audio/EncodingJob.h"

#include <QString>
#include <QVector>

#include <memory>

class Mp3WalkCache;

// One piece of a job's input: a file, whole or a range of whole seconds.
struct AudioJobItem {
    QString path;
    qint32 startSeconds = -1; // -1: from the beginning
    qint32 lengthSeconds = -1; // -1 (or 0): to the end
    // A range in samples of the source, for cuts finer than a second; when
    // firstSample is 0 or more it replaces the seconds above.
    qint64 firstSample = -1;
    qint64 sampleCount = -1; // -1: to the end

    bool operator==(const AudioJobItem &) const = default;
};

// Decodes the items in turn into one destination file. The file is written
// under a temporary name beside the destination and renamed only when
// complete; on failure or abort nothing is left under either name.
class AudioJob : public EncodingJob {
public:
    AudioJob(DestinationSettings settings, AudioTags tags, QString destination, QVector<AudioJobItem> items);

    // Where the job takes the frame walk of an MP3 source from, so the jobs
    // of one control walk each source once; without it the job walks alone.
    void shareFrameWalks(std::shared_ptr<Mp3WalkCache> walks) { m_walks = std::move(walks); }

    Result run(const std::atomic<bool> &abort, const Progress &progress) override;
    bool sameWork(const EncodingJob &job) const override
    {
        const auto *other = dynamic_cast<const AudioJob *>(&job);
        return other && m_destination == other->m_destination && m_items == other->m_items
            && m_tags == other->m_tags && m_settings == other->m_settings;
    }

private:
    bool checkPaths();
    Result transcode(int index, AudioEncoder &encoder, class AudioDecoder &decoder, const std::atomic<bool> &abort,
        const Progress &progress);
    Result copyFrames(
        class Mp3FrameCopy &copy, class TemporaryOutput &output, const std::atomic<bool> &abort, const Progress &progress);

    DestinationSettings m_settings;
    AudioTags m_tags;
    QString m_destination;
    QVector<AudioJobItem> m_items;
    std::shared_ptr<Mp3WalkCache> m_walks;
};
