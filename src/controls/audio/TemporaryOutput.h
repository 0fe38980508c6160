#pragma once

#include <QString>

// The file a job writes under a temporary name beside its destination. It is
// removed unless the job commits it, so a failed or aborted job leaves
// nothing under either name. The file exists from construction on and stays
// locked while this object lives; a temporary of a job that was killed is
// unlocked, and the next job that starts in that folder removes it.
//
// The names carry the program's own mark (".<name>.<hex>.sonvale.part"), so
// the sweep never takes another program's files named in a like way.
class TemporaryOutput {
public:
    enum class Kind {
        Job,  // a file the job can make again: a killed job's is removed
        Take, // a recording, made once: a killed one's is kept for the user
    };

    explicit TemporaryOutput(QString destination, Kind kind = Kind::Job);
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput &) = delete;
    TemporaryOutput &operator=(const TemporaryOutput &) = delete;

    const QString &path() const { return m_path; }
    const QString &destination() const { return m_destination; }
    // Writes what the writer closed through to the disc, then replaces the
    // destination in one step, so a reader never sees half a file and a
    // power cut leaves the old file or the whole new one; false (errno set)
    // when the temporary could not be made, synced or renamed.
    bool commit();
    // For callers that rename the file themselves: syncs it (false, errno
    // set, when that failed); after their rename, placed() syncs the folder
    // and stops the file being removed.
    bool sync();
    void placed();

    // Removes the temporaries that killed jobs left in folder: names of this
    // class's pattern no live job holds locked. A killed recording's take is
    // renamed instead, to "<name> (unfinished).<extension>" beside it, and
    // the user is told; answers the takes so kept.
    static QStringList removeStale(const QString &folder);

private:
    QString m_destination;
    QString m_path;
    int m_fd = -1; // holds the lock
    bool m_kept = false;
};
