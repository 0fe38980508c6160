#pragma once

#include "lists/ItemsListRow.h"
#include "tools/frame/OutputFileNames.h"
#include "tools/frame/RowJobSequencer.h"
#include "tools/frame/ToolWindow.h"

#include <QString>
#include <QVector>

#include <optional>

class LinkLabel;
class QComboBox;
class QLabel;
class QTimer;

// A tool window that writes one file for each row of its grid, one row after
// the other: the output-name template box with its two links and the
// once-a-second time-left display, with the rows of its grid sequenced by a
// RowJobSequencer. The converters, the ripper and the data burner are row
// windows; a window adds its job control through the row hooks and forwards
// the control's events to the onRow handlers.
class RowJobWindow : public ToolWindow, public RowJobCounters, protected RowJobRows {
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
    // Starts the next row from the current one, or ends the job.
    void ConvertTracks();
    void cmdAbort_Click() override;

    QLabel *lblFileNameFormat = nullptr;
    QComboBox *cboFileName = nullptr;
    LinkLabel *lblSetAsDefaultFileName = nullptr;
    LinkLabel *lblParameters = nullptr;
    QLabel *lblTimeLeft = nullptr;
    QTimer *Timer1 = nullptr;

    // Error code of a row that cannot be started under its name.
    static constexpr qint32 kRowNameError = RowJobSequencer::kRowNameError;

protected:
    // Where the row windows' own controls may start on the Settings page.
    static constexpr int kRowOwnSettingsTop = kOwnSettingsTop + 56;

    void loadOwnControls() override;

    // The extension the destination tokens stand for; nothing leaves them.
    // The default: the one the target format names.
    virtual std::optional<QString> destExtension() const;
    // The last step of the start handler before the first row.
    virtual void startingJob() {}
    // Whether the row's tag texts go to the job control before each row.
    virtual bool setsRowTags() const { return true; }
    // Whether the caption, the pointer and the status label follow each row
    // (progress text, errors); otherwise the caption is the product's.
    virtual bool followsRowsInCaption() const { return true; }

    // The rows of the grid as the sequencer reads them.
    qint32 jobRowCount() const override;
    QString rowSource(qint32 row) const override;
    QString rowFileName(qint32 row) const override { return MakeOutputFileName(row); }
    QString nameTemplate() const override;
    std::optional<qint32> rowSeconds(qint32 row) const override;
    std::optional<std::pair<qint32, qint32>> rowRange(qint32 row) const override;
    void setRowTags(qint32 row) override;
    AudioTags rowTagsAhead(qint32 row) override;
    void abortRow() override { abortJobControl(); }
    AudioDestination &rowDestination() override { return jobDestination(); }
    Caption jobCaption() const override;
    // Runs when a pass has handed every row and at least the rows ended;
    // the default ends the job as done with the end-of-job events.
    void rowsEnded() override { m_job.doneEnding(); }
    QString jobFolder() const override { return destinationFolder(); }
    bool overwritesExisting() const override;
    QString jobDoneText() override { return doneText(); }

    // The job control's events.
    void onRowProgress(qint32 percent) { m_job.rowProgress(percent); }
    void onRowDone() { m_job.rowDone(); }
    void onRowError(qint32 code, const QString &text) { m_job.rowError(code, text); }
    void onRowAborted() { m_job.rowAborted(); }

    // Clears what one job keeps about the rows it has written; a window with
    // its own start handler runs it before the first pass.
    void resetRowJob()
    {
        resetJobOutcome();
        m_job.reset();
    }

private:
    void buildNameBox();
    void selectDefaultFileName();

    RowJobSequencer m_job;
};
