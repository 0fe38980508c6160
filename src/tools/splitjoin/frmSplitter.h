#pragma once

#include "tools/frame/RowJobSequencer.h"
#include "tools/frame/ToolWindow.h"

#include <QString>

class cAudioConverter;
class QLabel;
class QLineEdit;
class QRadioButton;

// The splitter: cuts the one item it is handed into parts of one length,
// given as a number of parts or as seconds per part, each written as a file
// of its own named "Part_" with its number. The parts are the rows of its job.
class frmSplitter : public ToolWindow, protected RowJobRows {
    Q_OBJECT
public:
    explicit frmSplitter(QWidget *parent = nullptr);
    ~frmSplitter() override;

    // What the main window hands over before it shows the window: the
    // record of the selected item and the name of the selected list.
    void HandOver(const ItemsListRow::Data &row, const QString &listName);

    void cmdConvert_Click();
    void cmdAbort_Click() override;
    void UpdateSplitModeControls();
    void ptnSplitByParts_Click();
    void ptnSplitBySecs_Click();
    // The file name of the current part.
    QString GetPartFileName(const QString &sourcePath) const { return partFileName(m_lPartNumber, sourcePath); }

    void cAudioConverter1_Progress(qint32 percent);
    void cAudioConverter1_Done();
    void cAudioConverter1_Aborted();
    void cAudioConverter1_Error(qint32 code, const QString &text);

    QLabel *Label2 = nullptr;
    QRadioButton *ptnSplitByParts = nullptr;
    QLineEdit *txtSplitParts = nullptr;
    QRadioButton *ptnSplitBySecs = nullptr;
    QLineEdit *txtSplitSecs = nullptr;
    cAudioConverter *cAudioConverter1 = nullptr;

    // Full path of the file to split.
    QString g_sFileToSplit;
    // Length of the source (milliseconds), of every part, and start of the
    // current part (whole seconds).
    qint32 g_lTotalFileLength = 0;
    qint32 g_lLength = 0;
    qint32 g_lStartFrom = 0;
    qint32 m_lPartNumber = 0;
    // Parts of the current job: a last one shorter or longer than the rest
    // runs to the end of the source.
    qint32 m_lPartCount = 0;
    // The first part a second shorter than g_lLength, where whole seconds
    // are shared out to give the parts asked for; 0 when none is.
    qint32 m_lShorterFrom = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    AudioDestination &jobDestination() override;
    void releaseJobControl() override;
    void loadOwnControls() override;

    // The parts as the rows of the job.
    qint32 jobRowCount() const override { return m_lPartCount; }
    QString rowSource(qint32 part) const override;
    QString rowFileName(qint32 part) const override { return partFileName(part, g_sFileToSplit); }
    std::optional<qint32> rowSeconds(qint32 part) const override;
    std::optional<std::pair<qint32, qint32>> rowRange(qint32 part) const override;
    void setRowTags(qint32 part) override;
    AudioTags rowTagsAhead(qint32 part) override;
    void setRowSource(qint32 part, const QString &path) override;
    AudioDestination &rowDestination() override { return jobDestination(); }
    AudioRange &rowRangeControl() override;
    void startRow(const QString &destination) override;
    void abortRow() override;
    qint32 rowsAtOnce() const override;
    void expectRows(const QVector<ConversionAhead> &parts) override;
    void rowsEnded() override { m_job.doneEnding(); }
    Caption jobCaption() const override { return Caption::ProductWhileRunning; }
    bool showsRowInGrid() const override { return false; }
    // The answer is for the whole split: a part left out would leave a gap.
    bool noEndsJob() const override { return true; }
    QString jobFolder() const override { return destinationFolder(); }
    bool overwritesExisting() const override;
    QString jobDoneText() override { return doneText(); }

private:
    QString partFileName(qint32 part, const QString &sourcePath) const;
    // Opens the source and works out the part length; false (after telling
    // the user) when the source cannot be split that way.
    bool prepareSplit();
    double totalSeconds() const { return g_lTotalFileLength / 1000.0; }
    // Where a part starts, in whole seconds.
    qint32 partStart(qint32 part) const;

    RowJobCounters m_counters;
    RowJobSequencer m_job;
};

namespace Forms {
// The splitter while it is loaded; null otherwise.
frmSplitter *splitter();
// Creates the splitter (its Form_Load runs) unless it is loaded; it is
// released when it closes.
frmSplitter &loadSplitter(QWidget *owner = nullptr);
}
