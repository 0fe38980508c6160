#include "tools/frame/RowJobSequencer.h"

#include "controls/audio/AudioDestination.h"
#include "controls/audio/AudioRange.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "tools/frame/JobTimeLeft.h"
#include "tools/frame/OutputFileNames.h"
#include "tools/frame/ToolWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include <limits>

namespace {

QString pathKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

} // namespace

RowJobSequencer::RowJobSequencer(ToolWindow &window, RowJobRows &rows, RowJobCounters &counters)
    : m_window(window)
    , m_rows(rows)
    , m_counters(counters)
{
}

RowJobSequencer::~RowJobSequencer()
{
    setBusy(false);
}

void RowJobSequencer::setTimeLeftDisplay(QLabel *label, QTimer *timer)
{
    m_timeLeft = label;
    m_timer = timer;
}

QString RowJobSequencer::productCaption() const
{
    return g_sAppName + QLatin1Char(' ') + g_sAppVersion;
}

bool RowJobSequencer::overwriteTicked() const
{
    return m_window.chkOverWrite && m_window.chkOverWrite->isChecked();
}

void RowJobSequencer::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void RowJobSequencer::reset()
{
    m_window.resetJobOutcome();
    m_abortRequested = false;
    m_jobPaths.clear();
}

void RowJobSequencer::run()
{
    // A confirmed abort holds even when the row had already ended by itself.
    if (m_abortRequested) {
        rowAborted();
        return;
    }
    const qint32 rows = m_rows.jobRowCount();
    m_window.prgTotal->setMax(rows * 100);
    m_window.setRunning(true);
    if (m_timer)
        m_timer->start();
    qint32 result = ToolWindow::TaskStarted;
    bool started = false;
    for (qint32 row = m_counters.m_lCurrentRow; row <= rows; ++row) {
        m_counters.m_lCurrentRow = row;
        if (!m_rows.rowInJob(row))
            continue;
        started = true;
        if (followsRows())
            setBusy(true);
        result = startRow(row);
        if (result == ToolWindow::TaskStarted)
            return;
        if (result == ToolWindow::TaskCancel) {
            m_window.log(QStringLiteral("Aborted."));
            break;
        }
        if (result == ToolWindow::TaskNo && m_rows.noEndsJob())
            break;
    }
    m_window.setRunning(false);
    if (!followsRows()) {
        m_window.setWindowTitle(productCaption());
        if (m_timeLeft)
            m_timeLeft->setText(JobTimeLeft::kNoTimeLeft);
    }
    if (started)
        abortedEnding();
    else
        m_rows.rowsEnded();
}

void RowJobSequencer::doneEnding()
{
    const QString text = m_window.doneText();
    m_window.balloon(text);
    m_window.lblCurrentTrack->setText(text);
    if (followsRows())
        m_window.setWindowTitle(m_window.lblCurrentTrack->text());
    else if (m_rows.jobCaption() == RowJobRows::Caption::ProductWhileRunning)
        m_window.setWindowTitle(m_window.m_look.caption);
    m_window.prgTotal->setValue(m_rows.jobRowCount() * 100);
    m_window.prgCurrnet->setValue(100);
    if (m_timer)
        m_timer->stop();
    if (m_timeLeft)
        m_timeLeft->setText(JobTimeLeft::kNoTimeLeft);
    m_window.DoEndEvents();
}

void RowJobSequencer::abortedEnding()
{
    setBusy(false);
    m_window.lblCurrentTrack->setText(QStringLiteral("Aborted."));
    if (m_rows.jobCaption() == RowJobRows::Caption::ProductWhileRunning)
        m_window.setWindowTitle(m_window.m_look.caption);
    else
        m_window.setWindowTitle(m_window.lblCurrentTrack->text());
    m_window.balloon(QStringLiteral("Aborted."));
}

QString RowJobSequencer::destinationFor(const QString &name)
{
    if (name.isEmpty())
        return QString();
    const QString folder = m_window.destinationFolder();
    const QString path = freePath(folder, name, m_jobPaths);
    if (path != folder + OutputFileNames::fittedFileNameIn(folder, name))
        m_window.log(QStringLiteral("An earlier ") + m_window.m_look.itemNoun
                     + QStringLiteral(" of this job has the name ") + name + QStringLiteral(", this one is saved as ")
                     + mdlFunctions::GetFileName(path) + QLatin1Char('.'));
    return path;
}

QString RowJobSequencer::freePath(const QString &folder, const QString &name, const QSet<QString> &taken)
{
    // A name past the file system's limit would fail the row ("File name
    // too long"); it is cut to fit, numbered or not.
    const int limit = OutputFileNames::longestFileName(folder);
    QString path = folder + OutputFileNames::fittedFileName(name, limit);
    // Two rows named alike (the same file twice, two ranges of one file, a
    // template without the row number) must not write over each other.
    for (int n = 2; taken.contains(pathKey(path)); ++n)
        path = folder + OutputFileNames::fittedFileName(OutputFileNames::numberedFileName(name, n), limit);
    return path;
}

void RowJobSequencer::expectRowsAfter(qint32 row)
{
    const qint32 ahead = m_rows.rowsAtOnce() - 1;
    if (ahead < 1)
        return;
    QSet<QString> taken = m_jobPaths;
    QVector<ConversionAhead> rows;
    for (qint32 next = row + 1; next <= m_rows.jobRowCount() && rows.size() < ahead; ++next) {
        if (!m_rows.rowInJob(next))
            continue;
        const std::optional<ConversionAhead> conversion = rowAhead(next, taken);
        if (!conversion)
            break;
        rows << *conversion;
    }
    m_rows.expectRows(rows);
}

std::optional<ConversionAhead> RowJobSequencer::rowAhead(qint32 row, QSet<QString> &taken)
{
    ConversionAhead conversion;
    conversion.row = row;
    conversion.source = m_rows.rowSource(row);
    // A file an earlier row writes is read once it is written.
    if (taken.contains(pathKey(conversion.source)))
        return std::nullopt;
    const QString name = m_rows.rowFileName(row);
    conversion.tags = m_rows.rowTagsAhead(row);
    if (name.isEmpty())
        return std::nullopt;
    conversion.destination = freePath(m_window.destinationFolder(), name, taken);
    if (sameFile(conversion.destination, conversion.source))
        return std::nullopt;
    // Whether an existing file is replaced is the user's answer when the row starts.
    if (!overwriteTicked() && QFileInfo::exists(conversion.destination))
        return std::nullopt;
    if (const auto range = m_rows.rowRange(row)) {
        conversion.rangeStart = range->first;
        conversion.rangeLength = range->second;
    }
    taken.insert(pathKey(conversion.destination));
    return conversion;
}

void RowJobSequencer::failRowLater(const QString &text)
{
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            if (m_abortRequested)
                rowAborted();
            else
                rowError(kRowNameError, text);
        },
        Qt::QueuedConnection);
}

qint32 RowJobSequencer::startRow(qint32 row)
{
    const QString name = m_rows.rowFileName(row);
    if (m_rows.showsRowInGrid())
        m_window.cGrid1->setSelectedRow(row);
    if (const std::optional<qint32> seconds = m_rows.rowSeconds(row))
        m_counters.g_ltmrItemSecs = *seconds;
    m_counters.g_ltmrCurItemSecs = 0;
    m_rows.setRowTags(row);
    const QString source = m_rows.rowSource(row);
    m_window.lblCurrentTrack->setText(mdlFunctions::GetFileName(source));
    if (m_rows.showsRowInGrid())
        m_window.lblFilesToConvert->setText(QStringLiteral("Files: ") + QString::number(row) + QLatin1Char('/')
                                            + QString::number(m_rows.jobRowCount()));
    m_window.log(m_window.m_look.jobItemLogText + m_window.lblCurrentTrack->text() + QStringLiteral("..."));
    m_rows.setRowSource(row, source);

    const QString path = destinationFor(name);
    if (path.isEmpty()) {
        failRowLater(QStringLiteral("The name template \"") + m_rows.nameTemplate()
                     + QStringLiteral("\" gives no file name for this item."));
        return ToolWindow::TaskStarted;
    }
    if (sameFile(path, source)) {
        failRowLater(QStringLiteral("The destination file ") + path + QStringLiteral(" is the source file itself."));
        return ToolWindow::TaskStarted;
    }
    if (!overwriteTicked()) {
        const qint32 answer = m_window.askOverwrite(path);
        if (answer != ToolWindow::TaskStarted)
            return answer;
    }
    if (const auto range = m_rows.rowRange(row)) {
        AudioRange &control = m_rows.rowRangeControl();
        control.RangeStart(range->first);
        control.RangeLength(range->second);
    }
    m_jobPaths.insert(pathKey(path));
    m_rows.rowDestination().DestFile(path);
    m_rows.startRow(path);
    expectRowsAfter(row);
    return ToolWindow::TaskStarted;
}

void RowJobSequencer::rowProgress(qint32 percent)
{
    if (percent < 1)
        return;
    if (followsRows())
        setBusy(false);
    XP_ProgressBar &current = *m_window.prgCurrnet;
    XP_ProgressBar &total = *m_window.prgTotal;
    current.setValue(percent);
    total.setValue((m_counters.m_lCurrentRow - 1) * 100 + percent);
    if (followsRows()) {
        const double whole = total.Max() > 0 ? double(total.Value()) / double(total.Max()) * 100.0 : 0.0;
        m_window.setWindowTitle(QStringLiteral("Converting... [ ") + QString::number(current.Value())
                                + QStringLiteral("% / ") + QLocale().toString(whole, 'g', 15) + QStringLiteral("% ]"));
    } else {
        m_window.setWindowTitle(productCaption());
    }
    m_counters.g_ltmrCurItemSecs = JobTimeLeft::convertedSeconds(percent, m_counters.g_ltmrItemSecs);
}

void RowJobSequencer::rowDone()
{
    m_window.countItemWritten();
    m_window.log(QStringLiteral("Done."));
    m_window.lblCurrentTrack->setText(QStringLiteral("Done."));
    m_counters.g_ltmrUpToItemSecs = qint32(qMin<qint64>(
        qint64(m_counters.g_ltmrUpToItemSecs) + m_counters.g_ltmrItemSecs, std::numeric_limits<qint32>::max()));
    ++m_counters.m_lCurrentRow;
    run();
}

void RowJobSequencer::rowError(qint32 code, const QString &text)
{
    m_window.countItemFailed();
    const QString line = QStringLiteral("Error: ") + text + QLatin1Char('(') + QString::number(code) + QLatin1Char(')');
    m_window.log(line);
    if (followsRows()) {
        m_window.lblCurrentTrack->setText(line);
        m_window.setWindowTitle(m_window.lblCurrentTrack->text());
    }
    m_window.setRunning(false);
    ++m_counters.m_lCurrentRow;
    run();
    if (followsRows())
        setBusy(false);
}

void RowJobSequencer::rowAborted()
{
    m_window.setRunning(false);
    m_window.log(QStringLiteral("Aborted."));
    m_window.lblCurrentTrack->setText(QStringLiteral("Aborted."));
    if (followsRows()) {
        setBusy(false);
        m_window.setWindowTitle(m_window.lblCurrentTrack->text());
    }
}

void RowJobSequencer::askAbort()
{
    if (m_window.isRunning() && m_window.confirmAbort())
        abort();
}

void RowJobSequencer::abort()
{
    m_abortRequested = true;
    m_rows.abortRow();
    m_window.balloon(QStringLiteral("Aborted."));
    if (m_timer)
        m_timer->stop();
}
