#pragma once

#include "controls/audio/AudioEncoder.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class OutputHold;
class TemporaryOutput;

// What the job controls' workers share: how a job ended, the code and text
// of the control's Error event, and the steps around the destination file,
// which is written under a temporary name and renamed only when complete.
class EncodingJob {
public:
    enum class Result { Done, Aborted, Failed };
    // The codes of the job controls' Error event.
    enum ErrorCode : qint32 {
        SourceError = 1,
        DestinationError = 2,
        SettingsError = 3,
        CodingError = 4,
    };
    // (item index from 0, percent of that item)
    using Progress = std::function<void(int, int)>;

    virtual ~EncodingJob() = default;
    // Runs on a worker thread; abort is polled between pieces of work.
    virtual Result run(const std::atomic<bool> &abort, const Progress &progress) = 0;
    qint32 errorCode() const { return m_code; }
    QString errorText() const { return m_error; }
    // What the written file could not keep of the source, for the log of a
    // job that ended Done; empty when it kept everything.
    QString notice() const { return m_notice; }
    // The finished file waits under its temporary name until hold is
    // released; set before the job runs.
    void holdOutput(std::shared_ptr<OutputHold> hold) { m_hold = std::move(hold); }
    // Whether other writes the same file from the same source in the same
    // way, so a job run ahead may stand in for it.
    virtual bool sameWork(const EncodingJob &other) const
    {
        Q_UNUSED(other)
        return false;
    }

protected:
    EncodingJob() = default;

    // Whether the job runs ahead of its turn, its file held back.
    bool runsAhead() const { return m_hold != nullptr; }

    Result fail(ErrorCode code, const QString &text);
    // Fails unless destination names a file, none of sources, in a folder
    // that exists.
    bool checkDestination(const QString &destination, const QStringList &sources = {});
    // From here on a failure's text names the destination, not the temporary.
    void writingTo(const TemporaryOutput &output);
    // The encoder could not open its output: the file or the settings are at fault.
    Result failToOpen(const QString &error);
    // Samples of the source mended on their way to the encoder
    // (Resampler::mended), told in the notice of the finished job.
    void noteMended(qint64 samples) { m_mended += samples; }
    // Completes the encoder's file and puts it in place of the destination.
    Result finish(std::unique_ptr<AudioEncoder> encoder, TemporaryOutput &output, const std::atomic<bool> &abort);
    // Puts the complete temporary in place of the destination.
    Result commit(TemporaryOutput &output, const std::atomic<bool> &abort);

private:
    std::shared_ptr<OutputHold> m_hold;
    QString m_temporary;
    QString m_destination;
    qint32 m_code = 0;
    QString m_error;
    QString m_notice;
    qint64 m_mended = 0;
};
