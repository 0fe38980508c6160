// The row-job sequencer on its own: a scripted job control and rows, no
// window. What a frame would show is read from the sequencer's reports.
#include "controls/audio/AudioDestination.h"
#include "controls/audio/AudioRange.h"
#include "core/mdlModes.h"
#include "platform/Prompter.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"
#include "tools/frame/RowJobSequencer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <optional>
#include <utility>

namespace {

// What the control does once a row has started: ends it by itself, fails
// it, or keeps working until the test acts.
enum class Outcome { Done, Error, Hold };

struct ScriptedRow {
    QString source;
    QString name;
    Outcome outcome = Outcome::Done;
    std::optional<qint32> seconds;
    std::optional<std::pair<qint32, qint32>> range;
};

class ScriptedControl : public AudioDestination, public AudioRange {};

// The rows of a job and its control, as a script. The control ends each
// row it starts after the start has returned, as a real control does.
class ScriptedJob : public RowJobRows {
public:
    explicit ScriptedJob(QVector<ScriptedRow> script, RowJobRows::Caption captionMode = Caption::FollowsRows)
        : rows(std::move(script))
        , mode(captionMode)
        , folder(TestEnv::workFolder() + QStringLiteral("/out/"))
    {
        QDir().mkpath(folder);
    }

    qint32 jobRowCount() const override { return qint32(rows.size()); }
    QString rowSource(qint32 row) const override { return rows[row - 1].source; }
    QString rowFileName(qint32 row) const override { return rows[row - 1].name; }
    QString nameTemplate() const override { return QStringLiteral("[name]"); }
    std::optional<qint32> rowSeconds(qint32 row) const override { return rows[row - 1].seconds; }
    std::optional<std::pair<qint32, qint32>> rowRange(qint32 row) const override { return rows[row - 1].range; }
    void setRowTags(qint32 row) override { control.TagTrack(QString::number(row)); }
    AudioTags rowTagsAhead(qint32 row) override
    {
        AudioTags tags = control.tags();
        tags.track = QString::number(row);
        return tags;
    }
    AudioDestination &rowDestination() override { return control; }
    AudioRange &rowRangeControl() override { return control; }
    void setRowSource(qint32 row, const QString &path) override { sources << QString::number(row) + ':' + path; }
    void startRow(const QString &destination) override
    {
        started << destination;
        ranges << std::make_pair(control.RangeStart(), control.RangeLength());
        control.RangeStart(-1);
        control.RangeLength(-1);
        const Outcome outcome = outcomeOf(destination);
        if (outcome == Outcome::Hold)
            return;
        QMetaObject::invokeMethod(
            sequencer,
            [this, outcome] {
                if (outcome == Outcome::Done)
                    sequencer->rowDone();
                else
                    sequencer->rowError(7, QStringLiteral("Broken source."));
            },
            Qt::QueuedConnection);
    }
    void abortRow() override
    {
        ++aborts;
        QMetaObject::invokeMethod(sequencer, [this] { sequencer->rowAborted(); }, Qt::QueuedConnection);
    }
    qint32 rowsAtOnce() const override { return atOnce; }
    void expectRows(const QVector<ConversionAhead> &ahead) override { expected << ahead; }
    void rowsEnded() override { sequencer->doneEnding(); }
    Caption jobCaption() const override { return mode; }
    bool noEndsJob() const override { return noEnds; }
    QString jobFolder() const override { return folder; }
    bool overwritesExisting() const override { return overwrite; }
    QString jobDoneText() override { return failed > 0 ? QStringLiteral("Done with errors.") : QStringLiteral("Done."); }

    Outcome outcomeOf(const QString &destination) const
    {
        for (const ScriptedRow &row : rows) {
            if (folder + row.name == destination)
                return row.outcome;
        }
        return Outcome::Done;
    }

    QVector<ScriptedRow> rows;
    Caption mode;
    QString folder;
    bool overwrite = false;
    bool noEnds = false;
    qint32 atOnce = 1;
    ScriptedControl control;
    RowJobSequencer *sequencer = nullptr;
    QStringList started;
    QStringList sources;
    QList<std::pair<qint32, qint32>> ranges;
    QList<QVector<ConversionAhead>> expected;
    int aborts = 0;
    int failed = 0;
};

// One job: the script, its sequencer and everything the sequencer reported.
struct JobRun {
    explicit JobRun(QVector<ScriptedRow> rows, RowJobRows::Caption mode = RowJobRows::Caption::FollowsRows)
        : job(std::move(rows), mode)
        , sequencer(job, counters, RowJobWords{QStringLiteral("Tool"), QStringLiteral("item"), QStringLiteral("Start: ")})
        , ended(&sequencer, &RowJobSequencer::jobEnded)
    {
        job.sequencer = &sequencer;
        QObject::connect(&sequencer, &RowJobSequencer::logLine, [this](const QString &line) { log << line; });
        QObject::connect(&sequencer, &RowJobSequencer::statusText, [this](const QString &text) { status = text; });
        QObject::connect(&sequencer, &RowJobSequencer::caption, [this](const QString &text) { caption = text; });
        QObject::connect(&sequencer, &RowJobSequencer::balloon, [this](const QString &text) { balloons << text; });
        QObject::connect(&sequencer, &RowJobSequencer::rowEnded, [this](qint32 row, bool written) {
            rowEnds << QStringLiteral("%1:%2").arg(row).arg(written ? QStringLiteral("written") : QStringLiteral("failed"));
            if (!written)
                ++job.failed;
        });
        QObject::connect(&sequencer, &RowJobSequencer::progress, [this](qint32 percent, qint32 total) {
            lastProgress = std::make_pair(percent, total);
        });
    }

    // Starts the job as a start button does and waits until it ends, when
    // it is to end by itself.
    void start()
    {
        counters.m_lCurrentRow = 1;
        sequencer.reset();
        sequencer.run();
    }
    bool finish() { return !ended.isEmpty() || ended.wait(10000); }
    bool endedDone() const { return ended.size() == 1 && ended.at(0).at(0).toBool(); }
    bool endedAborted() const { return ended.size() == 1 && !ended.at(0).at(0).toBool(); }

    ScriptedJob job;
    RowJobCounters counters;
    RowJobSequencer sequencer;
    QSignalSpy ended;
    QStringList log;
    QStringList rowEnds;
    QStringList balloons;
    QString status;
    QString caption;
    std::pair<qint32, qint32> lastProgress{0, 0};
};

QString sourceFile(const QString &name)
{
    const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("source");
    return path;
}

void writeExisting(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("kept");
}

ScriptedRow row(const QString &name, Outcome outcome = Outcome::Done)
{
    return ScriptedRow{sourceFile(QStringLiteral("src-") + name), name, outcome, 10, std::nullopt};
}

} // namespace

// Rows named alike are kept apart within the job, numbered in row order; a
// row whose name gives no file, or names its own source, fails without
// stopping the others.
TEST(RowJobSequencer, NamesRowsApartAndFailsRowsWithoutAFile)
{
    const QString own = sourceFile(QStringLiteral("own.wav"));
    JobRun run({row(QStringLiteral("a.wav")), row(QStringLiteral("a.wav")),
             ScriptedRow{sourceFile(QStringLiteral("x")), QString()}, row(QStringLiteral("A.wav")),
             row(QStringLiteral("a.wav")), ScriptedRow{own, QStringLiteral("own.wav")}});
    // The job writes next to its sources: the last row would write over its own.
    run.job.folder = TestEnv::workFolder() + QStringLiteral("/");
    run.start();
    ASSERT_TRUE(run.finish());

    const QString folder = run.job.folder;
    EXPECT_EQ(run.job.started, (QStringList{folder + "a.wav", folder + "a (2).wav", folder + "A.wav", folder + "a (3).wav"}));
    EXPECT_EQ(run.rowEnds, (QStringList{"1:written", "2:written", "3:failed", "4:written", "5:written", "6:failed"}));
    EXPECT_TRUE(run.log.contains(
        QStringLiteral("An earlier item of this job has the name a.wav, this one is saved as a (2).wav.")));
    EXPECT_TRUE(run.log.contains(
        QStringLiteral("Error: The name template \"[name]\" gives no file name for this item.(1)")));
    EXPECT_TRUE(run.log.contains(QStringLiteral("Error: The destination file ") + folder
                                 + QStringLiteral("own.wav is the source file itself.(1)")));
    EXPECT_TRUE(run.endedDone());
    EXPECT_EQ(run.status, QStringLiteral("Done with errors."));
}

// The question before an existing file is replaced, by its answer: Yes
// writes it, No passes the row over (or ends a job that must not leave a
// gap), Cancel ends the job as aborted.
TEST(RowJobSequencer, AsksBeforeReplacingAFile)
{
    struct Case {
        const char *name;
        int answer;
        bool noEndsJob;
        int startedRows;
        bool done;
    };
    const Case cases[] = {
        {"Yes", Msg::Yes, false, 2, true},
        {"No", Msg::No, false, 1, true},
        {"NoEndingTheJob", Msg::No, true, 0, false},
        {"Cancel", Msg::Cancel, false, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        JobRun run({row(QStringLiteral("first.wav")), row(QStringLiteral("second.wav"))});
        run.job.noEnds = c.noEndsJob;
        writeExisting(run.job.folder + "first.wav");
        testServices().prompter->messages.clear();
        testServices().prompter->answers = {c.answer};
        run.start();
        ASSERT_TRUE(run.finish());

        ASSERT_EQ(testServices().prompter->messages.size(), 1);
        EXPECT_EQ(testServices().prompter->messages.at(0).text,
                  QStringLiteral("The file: '") + run.job.folder
                      + QStringLiteral("first.wav' already exists.\r\n\r\nOverwrite it?"));
        EXPECT_EQ(run.job.started.size(), c.startedRows);
        EXPECT_TRUE(run.log.contains(QStringLiteral("File already exists.")));
        EXPECT_EQ(run.log.contains(QStringLiteral("Overwrite it...")), c.answer == Msg::Yes);
        EXPECT_EQ(run.endedDone(), c.done);
        EXPECT_EQ(run.endedAborted(), !c.done);
        if (!c.done)
            EXPECT_EQ(run.balloons, QStringList{QStringLiteral("Aborted.")});
        EXPECT_FALSE(run.sequencer.isRunning());
        QFile::remove(run.job.folder + "first.wav");
        QFile::remove(run.job.folder + "second.wav");
    }
}

// The overwrite box ticked: no question, the file is replaced.
TEST(RowJobSequencer, ReplacesWithoutAQuestionWhenTold)
{
    JobRun run({row(QStringLiteral("first.wav"))});
    run.job.overwrite = true;
    writeExisting(run.job.folder + "first.wav");
    testServices().prompter->messages.clear();
    run.start();
    ASSERT_TRUE(run.finish());
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());
    EXPECT_EQ(run.job.started, QStringList{run.job.folder + "first.wav"});
}

// An abort confirmed mid-row stops the control and ends the job there: the
// rows after it never start, and no end-of-job events run. The abort holds
// even when the row ends by itself before the control has stopped.
TEST(RowJobSequencer, AnAbortMidRowEndsTheJob)
{
    for (const bool rowEndsFirst : {false, true}) {
        SCOPED_TRACE(rowEndsFirst ? "row ends first" : "control stops");
        JobRun run({row(QStringLiteral("first.wav"), Outcome::Hold), row(QStringLiteral("second.wav"))});
        run.start();
        ASSERT_TRUE(run.sequencer.isRunning());
        testServices().prompter->messages.clear();
        testServices().prompter->answers = {Msg::Yes};
        run.sequencer.askAbort();
        ASSERT_EQ(testServices().prompter->messages.size(), 1);
        EXPECT_EQ(run.job.aborts, 1);
        EXPECT_EQ(run.balloons, QStringList{QStringLiteral("Aborted.")});
        if (rowEndsFirst)
            run.sequencer.rowDone();
        QSignalSpy stopped(&run.sequencer, &RowJobSequencer::passStopped);
        ASSERT_TRUE(stopped.wait(10000));

        EXPECT_EQ(run.job.started.size(), 1);
        EXPECT_FALSE(run.sequencer.isRunning());
        EXPECT_EQ(run.status, QStringLiteral("Aborted."));
        EXPECT_EQ(run.caption, QStringLiteral("Aborted."));
        EXPECT_EQ(run.log.last(), QStringLiteral("Aborted."));
        EXPECT_TRUE(run.ended.isEmpty());
    }
}

// No to the abort question lets the job run on; an abort with no job
// running asks nothing.
TEST(RowJobSequencer, AnAbortAskedAndRefusedLetsTheJobRunOn)
{
    JobRun idle({row(QStringLiteral("first.wav"))});
    testServices().prompter->messages.clear();
    idle.sequencer.askAbort();
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());

    JobRun run({row(QStringLiteral("first.wav"), Outcome::Hold), row(QStringLiteral("second.wav"))});
    run.start();
    testServices().prompter->answers = {Msg::No};
    run.sequencer.askAbort();
    EXPECT_EQ(run.job.aborts, 0);
    run.sequencer.rowDone();
    ASSERT_TRUE(run.finish());
    EXPECT_TRUE(run.endedDone());
    EXPECT_EQ(run.job.started.size(), 2);
}

// Each ending by how the frame's caption follows the job: the status, the
// caption, the bars full and the time left stopped.
TEST(RowJobSequencer, EndsTheJobAsItsCaptionFollowsIt)
{
    using Caption = RowJobRows::Caption;
    struct Case {
        const char *name;
        Caption mode;
        Outcome second;
        const char *status;
        const char *caption;
    };
    const Case cases[] = {
        {"FollowsRows", Caption::FollowsRows, Outcome::Done, "Done.", "Done."},
        {"FollowsRowsWithAFailure", Caption::FollowsRows, Outcome::Error, "Done with errors.", "Done with errors."},
        {"Product", Caption::Product, Outcome::Done, "Done.", nullptr},
        {"ProductWhileRunning", Caption::ProductWhileRunning, Outcome::Error, "Done with errors.", "Tool"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        JobRun run({row(QStringLiteral("first.wav")), row(QStringLiteral("second.wav"), c.second)}, c.mode);
        QSignalSpy stoppedTime(&run.sequencer, &RowJobSequencer::timeLeftStopped);
        QSignalSpy clearedTime(&run.sequencer, &RowJobSequencer::timeLeftCleared);
        run.start();
        ASSERT_TRUE(run.finish());

        EXPECT_TRUE(run.endedDone());
        EXPECT_EQ(run.status, QString::fromUtf8(c.status));
        if (c.caption)
            EXPECT_EQ(run.caption, QString::fromUtf8(c.caption));
        else
            EXPECT_TRUE(run.caption.startsWith(g_sAppName));
        EXPECT_EQ(run.balloons, QStringList{QString::fromUtf8(c.status)});
        EXPECT_EQ(run.lastProgress, std::make_pair(100, 200));
        EXPECT_EQ(stoppedTime.size(), 1);
        EXPECT_GE(clearedTime.size(), 1);
        EXPECT_EQ(run.rowEnds.size(), 2);
        EXPECT_EQ(run.rowEnds.at(1), c.second == Outcome::Done ? QStringLiteral("2:written") : QStringLiteral("2:failed"));
        if (c.second == Outcome::Error)
            EXPECT_TRUE(run.log.contains(QStringLiteral("Error: Broken source.(7)")));
    }
}

// Progress counts the row's percent into the whole job and the seconds
// converted; the row's range and seconds reach the control and the
// counters.
TEST(RowJobSequencer, CountsProgressSecondsAndRanges)
{
    JobRun run({row(QStringLiteral("first.wav")), row(QStringLiteral("second.wav"), Outcome::Hold)});
    run.job.rows[1].seconds = 40;
    run.job.rows[1].range = std::make_pair(5, 40);
    QSignalSpy rowEnded(&run.sequencer, &RowJobSequencer::rowEnded);
    run.start();
    ASSERT_TRUE(rowEnded.wait(10000));
    ASSERT_EQ(run.job.started.size(), 2);
    EXPECT_EQ(run.job.ranges, (QList<std::pair<qint32, qint32>>{{-1, -1}, {5, 40}}));
    EXPECT_EQ(run.counters.g_ltmrItemSecs, 40);
    EXPECT_EQ(run.counters.g_ltmrUpToItemSecs, 10);

    run.sequencer.rowProgress(50);
    EXPECT_EQ(run.lastProgress, std::make_pair(50, 150));
    EXPECT_EQ(run.caption, QStringLiteral("Converting... [ 50% / 75% ]"));
    EXPECT_EQ(run.counters.g_ltmrCurItemSecs, 20);
    EXPECT_EQ(run.job.control.TagTrack(), QStringLiteral("2"));
    run.sequencer.rowDone();
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.counters.g_ltmrUpToItemSecs, 50);
}

// A control that converts several rows at once is told the rows after the
// one starting, up to its count, with the names the job will give them;
// the run-ahead stops before a row that reads a file an earlier row writes,
// or that the user will be asked about.
TEST(RowJobSequencer, HandsTheRowsAheadUntilOneMustWait)
{
    struct Case {
        const char *name;
        qint32 atOnce;
        int waitingRow; // 0: none; 3: row 3 reads row 1's file; 4: row 4's file exists
        QStringList aheadOfFirst;
    };
    const Case cases[] = {
        {"OneAtOnce", 1, 0, {}},
        {"ThreeAtOnce", 3, 0, {"b.wav", "a (2).wav"}},
        {"ReadsAnEarlierRowsFile", 4, 3, {"b.wav"}},
        {"AsksAboutAnExistingFile", 4, 4, {"b.wav", "a (2).wav"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        JobRun run({row(QStringLiteral("a.wav"), Outcome::Hold), row(QStringLiteral("b.wav")), row(QStringLiteral("a.wav")),
                 row(QStringLiteral("d.wav"))});
        run.job.atOnce = c.atOnce;
        if (c.waitingRow == 3)
            run.job.rows[2].source = run.job.folder + "a.wav";
        if (c.waitingRow == 4)
            writeExisting(run.job.folder + "d.wav");
        run.start();

        if (c.atOnce == 1) {
            EXPECT_TRUE(run.job.expected.isEmpty());
        } else {
            ASSERT_EQ(run.job.expected.size(), 1);
            QStringList names;
            for (const ConversionAhead &ahead : run.job.expected.at(0)) {
                names << ahead.destination.mid(run.job.folder.size());
                EXPECT_EQ(ahead.tags.track, QString::number(ahead.row));
                EXPECT_EQ(ahead.source, run.job.rows[ahead.row - 1].source);
            }
            EXPECT_EQ(names, c.aheadOfFirst);
        }
        run.sequencer.rowDone();
        testServices().prompter->answers = {Msg::Yes};
        ASSERT_TRUE(run.finish());
        EXPECT_TRUE(run.endedDone());
        QFile::remove(run.job.folder + "d.wav");
        QFile::remove(run.job.folder + "a.wav");
    }
}
