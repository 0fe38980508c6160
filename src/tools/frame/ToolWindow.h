#pragma once

#include "lists/ItemsListRow.h"

#include <QDialog>
#include <QString>
#include <QVector>

#include <optional>

class AudioDestination;
class cGrid;
class cImageList;
class cStatusBar;
class FormatTabStrip;
class LinkLabel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class RowJobSequencer;
class XP_ProgressBar;

// What sets one tool window apart from the others in the shared frame.
struct ToolWindowLook {
    QString caption;          // window caption and title label
    QString iconName;         // icon resource
    QString firstTabCaption;  // caption of the "Settings" tab
    int firstTabIcon = -1;
    QString convertCaption;   // the start button
    QString playSoundCaption;
    QString noticeAppCaption;
    bool hasOverWrite = true; // "Overwrite existing files"
    bool hasTargetFormat = true; // the target-format list with its link and "Edit"
    QString jobItemLogText;   // "Start to split: " and the like
    QString jobStartLogText = QStringLiteral("Preparing to convert: "); // before the count of rows
    QString itemNoun = QStringLiteral("item"); // what the job's items are called in its log ("part")
};

// The frame every item-processing tool window shares: title strip, the
// hidden copy of the items grid, the Settings/Events/Log tabs with the
// destination block and the end-of-job check boxes, the progress bars, the
// buttons and the status panels; and the procedures that work on them: the
// destination, the format hand-over, the tag texts, the overwrite question,
// the log and the end-of-job events. A window adds its own controls to the
// Settings page and its job through the virtual members; a job of rows runs
// through a RowJobSequencer.
class ToolWindow : public QDialog {
    Q_OBJECT
public:
    // The result of starting an item: it runs, the user kept the existing file (No), or cancelled.
    enum ConvertTaskResult : qint32 { TaskStarted = 0, TaskNo = 1, TaskCancel = 2 };

    explicit ToolWindow(const ToolWindowLook &look, QWidget *parent = nullptr);
    ~ToolWindow() override;

    // Load-time set-up: colours, tabs, grid, history, formats, event boxes, panels.
    void Form_Load();
    void Form_Unload(int &cancel);
    void cmdExit_Click();

    // --- Frame -------------------------------------------------------------
    void InitItemsGrid(cGrid *grid);
    void HideTabPages();
    void cTabControl1_TabClick(qint32 lTab);
    static qint32 BoolToCheckValue(bool value) { return value ? 1 : 0; }

    // --- Destination folder and defaults -----------------------------------
    void CheckUnderFolderEna();
    // "" or the sub-folder name followed by "/".
    QString GetSubFolderPart() const;
    // The folder box text (with its closing "/") followed by the sub-folder part.
    QString destinationFolder() const;
    void chkCreateSubFolder_Click();
    void cmdSelectPath_Click();
    void txtToPath_Click();
    void lblSetAsDefaultDestination_Click();
    void lblOpenDestinationDestinationFolder_Click();
    void cboTargetFormat_Click();
    void lblSetAsDefaultFormat_Click();
    void cmdEditTargetFormat_Click();
    void lblEventsSettings_Click();
    // The help on the parameters of the output names.
    void lblParameters_Click();

    // --- Format hand-over, tags, job protocol, end events --------------------
    // Hands the window's destination format to the job control; a window
    // that always writes one format replaces it.
    virtual void SetDestination();
    void SetID3Tags(qint32 lRow);
    QString CreateID3TagsString(const QString &sStr) const;
    void DoEndEvents();
    virtual void cmdAbort_Click();

    // Whether the window is running a job (the start button is disabled then).
    bool isRunning() const;

    // --- Hand-over from the main window --------------------------------------
    // The count or name line, the two status panels and the default
    // sub-folder name, as the launcher gives them before the window shows.
    void setHandOverTexts(const QString &filesCaption, const QString &totalTimeText, const QString &totalSizeText,
                          const QString &listName);
    // Puts the record in row n of the job (n = rows + 1 appends it) and
    // shows it in the grid; the records, not the grid, are the job's data.
    void setJobRow(qint32 n, const ItemsListRow::Data &row);

    // Controls (names as the window's code knows them).
    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    cGrid *cGrid1 = nullptr;
    QLabel *lblFilesToConvert = nullptr;
    QLabel *lblCurrentTrack = nullptr;
    FormatTabStrip *cTabControl1 = nullptr;
    QWidget *TabSettings = nullptr;
    QWidget *TabEvents = nullptr;
    QWidget *TabLog = nullptr;
    QCheckBox *chkPlaySound = nullptr;
    QCheckBox *chkOpenDestFolder = nullptr;
    QCheckBox *chkNoticeApp = nullptr;
    QCheckBox *chkTurnOffComputer = nullptr;
    QLabel *Label20 = nullptr;
    LinkLabel *lblEventsSettings = nullptr;
    QPlainTextEdit *txtLog = nullptr;
    QComboBox *txtToPath = nullptr;
    QPushButton *cmdSelectPath = nullptr;
    LinkLabel *lblSetAsDefaultDestination = nullptr;
    QCheckBox *chkCreateSubFolder = nullptr;
    QLineEdit *txtUndeForlder = nullptr;
    LinkLabel *lblOpenDestinationDestinationFolder = nullptr;
    // Null where the window has no target-format list.
    QComboBox *cboTargetFormat = nullptr;
    LinkLabel *lblSetAsDefaultFormat = nullptr;
    QPushButton *cmdEditTargetFormat = nullptr;
    QCheckBox *chkOverWrite = nullptr; // null where the window has none
    XP_ProgressBar *prgCurrnet = nullptr;
    XP_ProgressBar *prgTotal = nullptr;
    QPushButton *cmdConvert = nullptr;
    QPushButton *cmdAbort = nullptr;
    QPushButton *cmdExit = nullptr;
    cStatusBar *cStatusBar1 = nullptr;

    // -1 once an item of the current job ended in an error, else 0.
    qint16 m_bErrorOccurred = 0;

protected:
    void closeEvent(QCloseEvent *event) override;
    // Escape closes the window the same way as its close box.
    void reject() override;

    // Where a window's own controls may start on the Settings page (pixels).
    static constexpr int kOwnSettingsTop = 172;

    // The job control the destination and tags go to.
    virtual AudioDestination &jobDestination() = 0;
    // Stops and releases the job control when the window unloads.
    virtual void releaseJobControl() = 0;
    // Load-time steps of the window's own controls, before the sub-folder rule.
    virtual void loadOwnControls() {}
    // End-of-job events of the window's own, before the computer is turned off.
    virtual void ownEndEvents() {}
    // Replaces the placeholders only some windows know; runs before "[YEAR]".
    virtual QString replaceRowPlaceholders(const QString &text) const { return text; }
    // The job row's record; null for a row the job does not have.
    const ItemsListRow::Data *jobRow(qint32 row) const;
    qint32 jobRecordCount() const { return qint32(m_jobRows.size()); }
    // The text of a row's cell for the job; nothing where the job has no
    // such row.
    std::optional<QString> rowText(qint32 row, ItemsListRow::Column column) const;
    // The text of the row's cell; empty where it has none.
    QString cellText(qint32 row, ItemsListRow::Column column) const;
    // The number "[TRACK_NUM]" gives: the selected row's plus one.
    virtual qint32 trackNumber() const;
    // The row the tag texts are made for: the selected one, or the row
    // being looked ahead at.
    qint32 tagRow() const;
    qint32 m_lTagRowAhead = 0;

    // Shows a row job on the frame's controls: the one place its reports
    // reach them. The time-left display is optional.
    void connectRowJob(RowJobSequencer &job, QLabel *timeLeft = nullptr, QTimer *timer = nullptr);

    // Stops the job control after the user confirmed the abort question.
    virtual void abortJobControl() {}
    // The Aborted event of a job control that works on one item.
    void onItemAborted();
    // Asks whether the running job is to be aborted.
    bool confirmAbort();

    // Shared steps of the start handlers. A start without a destination
    // folder is refused with a message: its files would land wherever the
    // program happens to run.
    bool checkDestinationFolder();
    // A start without a destination format is refused with a message: its
    // files would get no format of their own to be written and named in.
    bool checkDestinationFormat();
    void separateJobsInLog();
    void storeDestinationInHistory();
    void makeDestinationSubFolder();
    void showLogPage();
    void setRunning(bool running);
    // Logs and asks before an existing destination file is replaced:
    // TaskStarted to go on, TaskNo or TaskCancel.
    qint32 askOverwrite(const QString &path);
    void log(const QString &message);
    // The tray balloon "Done." / "Aborted." titled with the product and version.
    void balloon(const QString &text);

    // What the items of the job came to: cleared at its start, counted as
    // each item ends.
    void resetJobOutcome();
    void countItemWritten() { ++m_lItemsWritten; }
    void countItemFailed();
    // "Done.", or "Done with errors." when an item failed, after a log line
    // saying how many failed: a job must not look successful when it was not.
    QString doneText();

    ToolWindowLook m_look;
    qint32 m_lItemsWritten = 0;
    qint32 m_lItemsFailed = 0;

private:
    void buildFrame();
    void buildSettingsPage();
    void buildEventsPage();
    void layoutPages();
    void applySkin();
    void setEventBoxesFromOptions();
    bool m_bLoaded = false;
    QVector<ItemsListRow::Data> m_jobRows;
    cImageList *m_itemImages = nullptr;
};
