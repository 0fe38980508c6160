#pragma once

#include "controls/audio/AudioDestination.h"
#include "controls/audio/AudioJob.h"
#include "controls/audio/AudioJobRunner.h"

#include <QObject>
#include <QString>
#include <QVector>

// Writes a list of files, each whole or a range, as one file. The control
// lives on the UI thread and the writing runs on its runner's worker; the
// reports (file index, percent) and the one ending come back as queued
// events. A join cannot start while one runs, and the reports of a control
// that has gone are dropped with its runner.
class cAudioJoin : public QObject, public AudioDestination {
    Q_OBJECT
public:
    explicit cAudioJoin(QObject *parent = nullptr);
    ~cAudioJoin() override;

    qint32 FileCount() const;
    // start and length in whole seconds; -1 and -1 take the whole file.
    void AddFile(const QString &path, qint32 start, qint32 length);
    // Indexes from 1; an index out of range changes nothing.
    void RemoveFile(qint32 index);
    // The path at index (from 1), with its range; empty when out of range.
    QString GetFile(qint32 index, qint32 &start, qint32 &length) const;

    // Starts the join and returns at once; one of Done, Aborted or Error
    // follows, never inside this call.
    void Join();
    void Abort();
    // Removes what an aborted job left (the job itself leaves nothing).
    void AbortCleanup();
    void Terminate();

signals:
    void Progress(qint32 fileIndex, qint32 percent);
    void Done();
    void Aborted();
    void Error(qint32 code, const QString &text);
    // What the file written could not keep of the sources (channels, bits),
    // for the job's log; right before that job's Done.
    void Warning(const QString &text);

private:
    QVector<AudioJobItem> m_files;
    AudioJobRunner m_runner;
};
