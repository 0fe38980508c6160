#pragma once

#include <QString>

#include <atomic>
#include <functional>

// Copies one file in chunks, on whichever thread calls Copy; the percentage
// may be read from another thread meanwhile. The copy is written beside the
// destination under a temporary name and only renamed over it once complete,
// so a failed or stopped copy leaves the destination as it was.
class FileCopyClass {
public:
    // Whole seconds the last completed copy took.
    qint32 SecondsTaken() const { return m_secondsTaken; }
    void setSecondsTaken(qint32 value) { m_secondsTaken = value; }
    // True after a completed copy; false after any failure.
    bool Sucessfull() const { return m_successful; }
    void setSucessfull(bool value) { m_successful = value; }
    void Copy(const QString &SourceFile, const QString &Destination);
    // Percent of the source written so far.
    qint16 PercentREady() const { return m_percentReady; }
    void setPercentREady(qint16 value) { m_percentReady = value; }
    // Chunk size in bytes; 0 means 32000.
    qint32 CacheSize() const { return m_cacheSize; }
    void setCacheSize(qint32 value) { m_cacheSize = value; }

    // Why the last copy failed, for the user; empty after a completed or
    // stopped copy.
    QString ErrorText() const { return m_errorText; }
    // Runs after every chunk read; returning false stops the copy.
    void setAfterEachChunk(std::function<bool()> afterChunk) { m_afterChunk = std::move(afterChunk); }

private:
    bool fail(const QString &text);

    qint32 m_secondsTaken = 0;
    bool m_successful = false;
    std::atomic<qint16> m_percentReady{0};
    qint32 m_cacheSize = 0;
    QString m_errorText;
    std::function<bool()> m_afterChunk;
};
