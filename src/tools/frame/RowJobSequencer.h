#pragma once

#include "controls/audio/AudioTags.h"
#include "controls/audio/ConversionAhead.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>
#include <utility>

class AudioDestination;
class AudioRange;

// Where a row job stands: the row being processed (from 1) and the seconds
// of audio it counts for the time left (g_ltmrSces: timer ticks).
struct RowJobCounters {
    qint32 m_lCurrentRow = 0;
    qint32 g_ltmrItemSecsTotal = 0;
    qint32 g_ltmrItemSecs = 0;
    qint32 g_ltmrCurItemSecs = 0;
    qint32 g_ltmrUpToItemSecs = 0;
    qint32 g_ltmrSces = 0;

    void clearCounters()
    {
        g_ltmrItemSecsTotal = g_ltmrCurItemSecs = g_ltmrSces = g_ltmrItemSecs = g_ltmrUpToItemSecs = 0;
    }
};

// What a window tells the sequencer about the rows of its job and about its
// job control. Rows count from 1.
class RowJobRows {
public:
    // How the window's caption follows the job.
    enum class Caption {
        FollowsRows,       // progress, errors and the ending, row by row
        Product,           // the product's name while the rows are written and after them
        ProductWhileRunning, // the product's name while parts are written; idle, the window's own
    };

    virtual qint32 jobRowCount() const = 0;
    // Whether the job writes the row at all; the others are passed over.
    virtual bool rowInJob(qint32 row) const
    {
        Q_UNUSED(row)
        return true;
    }
    virtual QString rowSource(qint32 row) const = 0;
    // The file name (no folder) the row is written under; empty where it gives none.
    virtual QString rowFileName(qint32 row) const = 0;
    // The template the names come from, for the message of a row it names no file for.
    virtual QString nameTemplate() const { return QString(); }
    // The seconds of audio the row stands for, where it tells them.
    virtual std::optional<qint32> rowSeconds(qint32 row) const = 0;
    // The range the row sets on the job control, when it sets one.
    virtual std::optional<std::pair<qint32, qint32>> rowRange(qint32 row) const = 0;
    // Puts the row's tag texts on the job control.
    virtual void setRowTags(qint32 row) = 0;
    // The tags the row's own start will put on the job control; the
    // control's tags stay as they are.
    virtual AudioTags rowTagsAhead(qint32 row) = 0;
    // The job control as a file writer and as a reader of ranges.
    virtual AudioDestination &rowDestination() = 0;
    virtual AudioRange &rowRangeControl() = 0;
    // The row's source onto the job control.
    virtual void setRowSource(qint32 row, const QString &path) = 0;
    // Starts the job control once the source, the range and the destination are set.
    virtual void startRow(const QString &destination) = 0;
    virtual void abortRow() = 0;
    // Rows the job control converts at once; 1 where it takes them one by one.
    virtual qint32 rowsAtOnce() const { return 1; }
    // The rows the job will start next, in order, as it will hand them over.
    virtual void expectRows(const QVector<ConversionAhead> &rows) { Q_UNUSED(rows) }
    // Runs when a pass has handed every row and at least the rows ended.
    virtual void rowsEnded() = 0;

    virtual Caption jobCaption() const { return Caption::FollowsRows; }
    // Whether the grid selects the row being written and the count line shows it.
    virtual bool showsRowInGrid() const { return true; }
    // Whether No to the overwrite question ends the job rather than passing
    // the row over.
    virtual bool noEndsJob() const { return false; }

    // The folder the rows are written into, with its closing "/".
    virtual QString jobFolder() const = 0;
    // Whether an existing file is replaced without a question.
    virtual bool overwritesExisting() const = 0;
    // "Done.", or "Done with errors." once a row failed, after the log lines
    // that count the failures: the frame keeps the job's outcome.
    virtual QString jobDoneText() = 0;

protected:
    ~RowJobRows() = default;
};

// The words a job shows: the frame's caption, what its items are called in
// its log ("part") and the text before each item's name.
struct RowJobWords {
    QString caption;
    QString itemNoun = QStringLiteral("item");
    QString itemLogText;
};

// Sequences the rows of a job through its audio job control, one after the
// other: the counters and the time left, the tag texts, the names kept apart
// within the job, the overwrite question, the run-ahead hand-over to a
// control that converts several rows at once, the control's four events and
// the job's endings. It knows no window: it asks its questions through the
// program's prompter and reports through its signals, which the frame
// connects to its controls in one place. The frame tells it about the rows
// (RowJobRows) and forwards its control's events here.
class RowJobSequencer : public QObject {
    Q_OBJECT
public:
    // The result of starting a row: it runs, the user kept the existing
    // file (No), or cancelled.
    enum StartResult : qint32 { Started = 0, KeptExisting = 1, Cancelled = 2 };

    RowJobSequencer(RowJobRows &rows, RowJobCounters &counters, RowJobWords words);
    ~RowJobSequencer() override;

    // Clears what one job keeps about the rows it has written; a start
    // handler runs it before the first pass.
    void reset();
    // Starts the next row of the job from the current one, or ends the job.
    void run();
    // Starts one row: Started (its events follow), KeptExisting (passed
    // over) or Cancelled.
    qint32 startRow(qint32 row);
    // The abort button: asks the user while a job runs.
    void askAbort();
    // After the user confirmed the abort question.
    void abort();
    bool isRunning() const { return m_running; }

    // The job control's events.
    void rowProgress(qint32 percent);
    void rowDone();
    void rowError(qint32 code, const QString &text);
    void rowAborted();

    // Ends the job as done, with the end-of-job events.
    void doneEnding();

    // Logs and asks before an existing file at path is replaced: Started to
    // go on, KeptExisting or Cancelled.
    static qint32 askOverwrite(const QString &path, const std::function<void(const QString &)> &log);
    // Asks whether the running job is to be aborted.
    static bool confirmAbort();

    // folder + name (cut to fit the folder's longest name), numbered past
    // the paths taken; taken holds pathKey()s.
    static QString freePath(const QString &folder, const QString &name, const QSet<QString> &taken);
    // A path as the job compares paths: absolute and cleaned.
    static QString pathKey(const QString &path);

    // Error code of a row that cannot be started under its name.
    static constexpr qint32 kRowNameError = 1;

signals:
    // A pass over the rows starts: rows * 100 is the whole job's progress.
    void passStarted(qint32 rows);
    // The pass stopped: at a row's error, abort or the job's end.
    void passStopped();
    // The row the job writes now, of rows, for a frame that shows the rows.
    void rowSelected(qint32 row, qint32 rows);
    // The row's percent and the whole job's progress (of rows * 100).
    void progress(qint32 percent, qint32 total);
    void statusText(const QString &text);
    void caption(const QString &text);
    void logLine(const QString &line);
    void rowEnded(qint32 row, bool written);
    void balloon(const QString &text);
    // The time-left display stops counting, and shows no time left.
    void timeLeftStopped();
    void timeLeftCleared();
    // The job ended: done (the end-of-job events follow) or aborted.
    void jobEnded(bool done);

private:
    bool followsRows() const { return m_rows.jobCaption() == RowJobRows::Caption::FollowsRows; }
    QString productCaption() const;
    void setBusy(bool busy);
    void setRunning(bool running);
    void abortedEnding();
    // Ends the row as failed once the call chain that started it has
    // returned, as the job control's Error would.
    void failRowLater(const QString &text);
    // The destination path of the row's name, kept apart from the files this
    // job has written already; empty when the name gives no file.
    QString destinationFor(const QString &name);
    // Tells the job control the rows after row whose start is settled now:
    // no question will be asked for them and no earlier row writes their
    // source.
    void expectRowsAfter(qint32 row);
    // taken: the paths of the rows before it.
    std::optional<ConversionAhead> rowAhead(qint32 row, QSet<QString> &taken);

    RowJobRows &m_rows;
    RowJobCounters &m_counters;
    RowJobWords m_words;
    bool m_busy = false;
    bool m_running = false;
    bool m_abortRequested = false;
    QSet<QString> m_jobPaths;
};
