#pragma once

#include <QString>

// The file a job writes under a temporary name beside its destination. It is
// removed unless the job commits it, so a failed or aborted job leaves
// nothing under either name.
class TemporaryOutput {
public:
    explicit TemporaryOutput(QString destination);
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput &) = delete;
    TemporaryOutput &operator=(const TemporaryOutput &) = delete;

    const QString &path() const { return m_path; }
    const QString &destination() const { return m_destination; }
    // Replaces the destination in one step, so a reader never sees half a
    // file; false (errno set) when the rename failed.
    bool commit();

private:
    QString m_destination;
    QString m_path;
    bool m_kept = false;
};
