#pragma once

#include "controls/audio/ConversionAhead.h"
#include "lists/ItemsListRow.h"
#include "tools/frame/OutputFileNames.h"
#include "tools/frame/ToolWindow.h"

#include <QSet>
#include <QString>
#include <QVector>

#include <optional>

class LinkLabel;
class QComboBox;
class QLabel;
class QTimer;

// A tool window that writes one file for each row of its grid, one row after
// the other: the output-name template box with its two links, the job
// counters with the once-a-second time-left display, and the row loop with
// the job control's four events. The converters, the ripper and the data
// burner run their jobs through it; a window adds its job control through
// the row hooks and forwards the control's events to the onRow handlers.
class RowJobWindow : public ToolWindow {
    Q_OBJECT
public:
    explicit RowJobWindow(const ToolWindowLook &look, QWidget *parent = nullptr);
    ~RowJobWindow() override;

    // --- Output names -----------------------------------------------------
    void LoadFileNameFormats();
    // The file name (no folder) of the row, from the template picked now;
    // empty where the template names no file. Texts from the row (a title
    // from the CD database) never make a folder of part of the name.
    QString MakeOutputFileName(qint32 row) const;
    void cboFileName_Click();
    void lblSetAsDefaultFileName_Click();

    // --- Time left ----------------------------------------------------------
    void Timer1_Timer();

    // --- Job ----------------------------------------------------------------
    void cmdConvert_Click();
    void ConvertTracks() override;
    // Starts one row: TaskStarted (its events follow), TaskNo (skipped) or
    // TaskCancel.
    qint32 ConvertTask(qint32 row);
    void cmdAbort_Click() override;

    QLabel *lblFileNameFormat = nullptr;
    QComboBox *cboFileName = nullptr;
    LinkLabel *lblSetAsDefaultFileName = nullptr;
    LinkLabel *lblParameters = nullptr;
    QLabel *lblTimeLeft = nullptr;
    QTimer *Timer1 = nullptr;

    // Row being processed, from 1.
    qint32 m_lCurrentRow = 0;
    // Job counters, seconds of audio (g_ltmrSces: timer ticks).
    qint32 g_ltmrItemSecsTotal = 0;
    qint32 g_ltmrItemSecs = 0;
    qint32 g_ltmrCurItemSecs = 0;
    qint32 g_ltmrUpToItemSecs = 0;
    qint32 g_ltmrSces = 0;

    // Error code of a row that cannot be started under its name.
    static constexpr qint32 kRowNameError = 1;

protected:
    // Where the row windows' own controls may start on the Settings page.
    static constexpr int kRowOwnSettingsTop = kOwnSettingsTop + 56;

    void loadOwnControls() override;

    // The extension the destination tokens stand for; nothing leaves them.
    // The default: the one the target format names.
    virtual std::optional<QString> destExtension() const;
    // Whether the job writes the row at all; the others are passed over.
    virtual bool rowInJob(qint32 row) const { Q_UNUSED(row) return true; }
    // The last step of the start handler before the first row.
    virtual void startingJob() {}
    // The row's source and range onto the job control, then the start.
    virtual void setRowSource(qint32 row, const QString &path) = 0;
    virtual void setRowRange(qint32 start, qint32 length) = 0;
    virtual void startRow(const QString &destination) = 0;
    // Rows the job control converts at once; 1 where it takes them one by one.
    virtual qint32 rowsAtOnce() const { return 1; }
    // The rows the job will start next, in order, as it will hand them over.
    virtual void expectRows(const QVector<ConversionAhead> &rows) { Q_UNUSED(rows) }
    // Whether the row's tag texts go to the job control before each row.
    virtual bool setsRowTags() const { return true; }
    // Whether the caption, the pointer and the status label follow each row
    // (progress text, errors); otherwise the caption is the product's.
    virtual bool followsRowsInCaption() const { return true; }

    // The job control's events.
    void onRowProgress(qint32 percent);
    void onRowDone();
    void onRowError(qint32 code, const QString &text);
    void onRowAborted();

    QString productCaption() const;
    QString cellText(qint32 row, ItemsListRow::Column column) const;
    QString cellText(qint32 row, const char *key) const;

    // Clears what one job keeps about the rows it has written; a window with
    // its own start handler runs it before the first pass.
    void resetRowJob();
    // Runs when a pass has handed every row and at least the rows ended;
    // the default ends the job as done with the end-of-job events.
    virtual void rowsEnded() { doneEnding(); }

private:
    void buildNameBox();
    void selectDefaultFileName();
    void setBusy(bool busy);
    void doneEnding();
    void abortedEnding();
    // Ends the row as failed once the call chain that started it has
    // returned, as the job control's Error would.
    void failRowLater(const QString &text);
    // The destination path of the row's name, kept apart from the files this
    // job has written already; empty when the name gives no file.
    QString destinationFor(const QString &name);
    // folder + name, numbered past the paths taken.
    static QString freePath(const QString &folder, const QString &name, const QSet<QString> &taken);
    void setItemSeconds(qint32 row);
    // The range the row sets on the job control, when it sets one.
    std::optional<std::pair<qint32, qint32>> rowRange(qint32 row) const;
    // Tells the job control the rows after row whose start is settled now:
    // no question will be asked for them and no earlier row writes their
    // source. taken: the paths of the rows before them.
    void expectRowsAfter(qint32 row);
    std::optional<ConversionAhead> rowAhead(qint32 row, QSet<QString> &taken);

    bool m_busy = false;
    bool m_abortRequested = false;
    QSet<QString> m_jobPaths;
};
