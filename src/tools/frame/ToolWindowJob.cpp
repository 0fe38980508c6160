// The tool windows' job steps: tag texts, the overwrite question, the log,
// the outcome of the items and the end-of-job events.
#include "tools/frame/ToolWindow.h"

#include "controls/audio/AudioDestination.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlShutDown.h"
#include "lists/ItemsListRow.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "settings/OptionSettings.h"
#include "settings/FormatTabStrip.h"
#include "tools/frame/JobTimeLeft.h"
#include "tools/frame/RowJobSequencer.h"
#include "tools/frame/ToolHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTime>
#include <QTimer>

namespace {

// The tag cells of a row and the control property each one goes to, in the
// order they are set.
struct TagStep {
    ItemsListRow::Column column;
    void (AudioDestination::*set)(const QString &);
};
constexpr TagStep kTagSteps[] = {
    {ItemsListRow::TagAlbum, &AudioDestination::TagAlbum},     {ItemsListRow::TagArtist, &AudioDestination::TagArtist},
    {ItemsListRow::TagComment, &AudioDestination::TagComment}, {ItemsListRow::TagGenre, &AudioDestination::TagGenre},
    {ItemsListRow::TagTitle, &AudioDestination::TagTitle},     {ItemsListRow::TagTrack, &AudioDestination::TagTrack},
    {ItemsListRow::TagYear, &AudioDestination::TagYear},
};

// The time as the desktop's long time format writes it, without a zone name.
QString longTimeText(const QTime &time)
{
    const QLocale locale;
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return locale.toString(time, format.trimmed());
}

} // namespace

void ToolWindow::log(const QString &message)
{
    mdlFunctions::AddLogLine(message, txtLog);
}

void ToolWindow::balloon(const QString &text)
{
    ToolHost::ShowBalloon(text);
}

void ToolWindow::SetID3Tags(qint32 lRow)
{
    AudioDestination &control = jobDestination();
    for (const TagStep &step : kTagSteps) {
        // A missing cell sets nothing: the property keeps its value.
        if (const std::optional<QString> text = rowText(lRow, step.column))
            (control.*step.set)(CreateID3TagsString(*text));
    }
}

void ToolWindow::setJobRow(qint32 n, const ItemsListRow::Data &row)
{
    if (n < 1)
        return;
    if (n > m_jobRows.size())
        m_jobRows.resize(n);
    m_jobRows[n - 1] = row;
    // The grid shows the texts; the mark column stays the window's own.
    for (int column = ItemsListRow::Type; column <= ItemsListRow::ColumnCount; ++column)
        cGrid1->SetCell(n, cGrid1->ColumnIndex(ItemsListRow::key(column)), row[column]);
}

const ItemsListRow::Data *ToolWindow::jobRow(qint32 row) const
{
    return row >= 1 && row <= m_jobRows.size() ? &m_jobRows[row - 1] : nullptr;
}

std::optional<QString> ToolWindow::rowText(qint32 row, ItemsListRow::Column column) const
{
    if (const ItemsListRow::Data *data = jobRow(row))
        return (*data)[column];
    return std::nullopt;
}

QString ToolWindow::cellText(qint32 row, ItemsListRow::Column column) const
{
    return rowText(row, column).value_or(QString());
}

qint32 ToolWindow::trackNumber() const
{
    return tagRow() + 1;
}

qint32 ToolWindow::tagRow() const
{
    return m_lTagRowAhead > 0 ? m_lTagRowAhead : cGrid1->SelectedRow();
}

QString ToolWindow::CreateID3TagsString(const QString &sStr) const
{
    QString text = sStr;
    text.replace(QStringLiteral("[DATE]"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    text.replace(QStringLiteral("[TIME]"), longTimeText(QTime::currentTime()));
    text.replace(QStringLiteral("[TRACK_NUM]"), QString::number(trackNumber()));
    text.replace(QStringLiteral("[PROG_NAME]"), g_sAppName);
    text.replace(QStringLiteral("[PROG_VERSION]"), g_sAppVersion);
    text = replaceRowPlaceholders(text);
    text.replace(QStringLiteral("[YEAR]"), QString::number(QDate::currentDate().year()));
    return text;
}

void ToolWindow::separateJobsInLog()
{
    if (txtLog->toPlainText().isEmpty())
        return;
    QTextCursor end(txtLog->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("\r\n"));
    txtLog->moveCursor(QTextCursor::End);
}

void ToolWindow::storeDestinationInHistory()
{
    mdlFunctions::SavePathHistory(txtToPath);
    mdlFunctions::LoadPathHistory(txtToPath);
}

void ToolWindow::makeDestinationSubFolder()
{
    // The default destination is the program's to make, on the first job
    // that writes into it.
    AppPaths::makeDefaultDestination(txtToPath->currentText());
    if (!chkCreateSubFolder->isChecked())
        return;
    QString path = destinationFolder();
    path.chop(1);
    mdlFunctions::MakeFolderPath(path);
}

void ToolWindow::showLogPage()
{
    cTabControl1->SelectTab(QStringLiteral("Log"));
    cTabControl1_TabClick(cTabControl1->TabIndex(QStringLiteral("Log")));
}

void ToolWindow::setRunning(bool running)
{
    cmdConvert->setEnabled(!running);
    cmdExit->setEnabled(!running);
}

qint32 ToolWindow::askOverwrite(const QString &path)
{
    return RowJobSequencer::askOverwrite(path, [this](const QString &line) { log(line); });
}

void ToolWindow::resetJobOutcome()
{
    m_bErrorOccurred = 0;
    m_lItemsWritten = 0;
    m_lItemsFailed = 0;
}

void ToolWindow::countItemFailed()
{
    m_bErrorOccurred = -1;
    ++m_lItemsFailed;
}

QString ToolWindow::doneText()
{
    if (m_bErrorOccurred == 0)
        return QStringLiteral("Done.");
    const QString items = m_look.itemNoun + QLatin1Char('s');
    if (m_lItemsFailed > 0 && m_lItemsWritten == 0)
        log(QStringLiteral("Every ") + m_look.itemNoun + QStringLiteral(" failed: nothing was written."));
    else if (m_lItemsFailed > 0)
        log(QStringLiteral("%1 of %2 %3 failed.").arg(m_lItemsFailed).arg(m_lItemsFailed + m_lItemsWritten).arg(items));
    return QStringLiteral("Done with errors.");
}

void ToolWindow::onItemAborted()
{
    setRunning(false);
    log(QStringLiteral("Aborted."));
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
}

bool ToolWindow::confirmAbort()
{
    return RowJobSequencer::confirmAbort();
}

void ToolWindow::connectRowJob(RowJobSequencer &job, QLabel *timeLeft, QTimer *timer)
{
    connect(&job, &RowJobSequencer::passStarted, this, [this, timer](qint32 rows) {
        prgTotal->setMax(rows * 100);
        setRunning(true);
        if (timer)
            timer->start();
    });
    connect(&job, &RowJobSequencer::passStopped, this, [this] { setRunning(false); });
    connect(&job, &RowJobSequencer::rowSelected, this, [this](qint32 row, qint32 rows) {
        cGrid1->setSelectedRow(row);
        lblFilesToConvert->setText(QStringLiteral("Files: ") + QString::number(row) + QLatin1Char('/')
                                   + QString::number(rows));
    });
    connect(&job, &RowJobSequencer::progress, this, [this](qint32 percent, qint32 total) {
        prgCurrnet->setValue(percent);
        prgTotal->setValue(total);
    });
    connect(&job, &RowJobSequencer::statusText, lblCurrentTrack, &QLabel::setText);
    connect(&job, &RowJobSequencer::caption, this, &QWidget::setWindowTitle);
    connect(&job, &RowJobSequencer::logLine, this, &ToolWindow::log);
    connect(&job, &RowJobSequencer::rowEnded, this, [this](qint32, bool written) {
        if (written)
            countItemWritten();
        else
            countItemFailed();
    });
    connect(&job, &RowJobSequencer::balloon, this, &ToolWindow::balloon);
    if (timer)
        connect(&job, &RowJobSequencer::timeLeftStopped, timer, &QTimer::stop);
    if (timeLeft)
        connect(&job, &RowJobSequencer::timeLeftCleared, timeLeft,
                [timeLeft] { timeLeft->setText(JobTimeLeft::kNoTimeLeft); });
    connect(&job, &RowJobSequencer::jobEnded, this, [this](bool done) {
        if (done)
            DoEndEvents();
    });
}

void ToolWindow::cmdAbort_Click()
{
    if (!isRunning() || !confirmAbort())
        return;
    abortJobControl();
    balloon(QStringLiteral("Aborted."));
}

void ToolWindow::DoEndEvents()
{
    if (chkPlaySound->isChecked())
        Services::instance().sound().play(g_sEndSoundFile);
    if (chkOpenDestFolder->isChecked())
        mdlFunctions::ShellOpen(this, destinationFolder());
    if (chkNoticeApp->isChecked())
        ToolHost::StartNoticeApplication();
    ownEndEvents();
    if (m_bErrorOccurred == 0 && chkTurnOffComputer->isChecked())
        mdlShutDown::ShowTurnOff(30);
}
