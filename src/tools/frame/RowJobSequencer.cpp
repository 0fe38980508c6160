#include "tools/frame/RowJobSequencer.h"

#include "controls/audio/AudioDestination.h"
#include "controls/audio/AudioRange.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "platform/Prompter.h"
#include "tools/frame/JobTimeLeft.h"
#include "tools/frame/OutputFileNames.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

#include <limits>

namespace {

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

} // namespace

RowJobSequencer::RowJobSequencer(RowJobRows &rows, RowJobCounters &counters, RowJobWords words)
    : m_rows(rows)
    , m_counters(counters)
    , m_words(std::move(words))
{
}

RowJobSequencer::~RowJobSequencer()
{
    setBusy(false);
}

QString RowJobSequencer::productCaption() const
{
    return g_sAppName + QLatin1Char(' ') + g_sAppVersion;
}

void RowJobSequencer::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void RowJobSequencer::setRunning(bool running)
{
    m_running = running;
    if (running)
        emit passStarted(m_rows.jobRowCount());
    else
        emit passStopped();
}

void RowJobSequencer::reset()
{
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
    setRunning(true);
    qint32 result = Started;
    bool started = false;
    for (qint32 row = m_counters.m_lCurrentRow; row <= rows; ++row) {
        m_counters.m_lCurrentRow = row;
        if (!m_rows.rowInJob(row))
            continue;
        started = true;
        if (followsRows())
            setBusy(true);
        result = startRow(row);
        if (result == Started)
            return;
        if (result == Cancelled) {
            emit logLine(QStringLiteral("Aborted."));
            break;
        }
        if (result == KeptExisting && m_rows.noEndsJob())
            break;
    }
    setRunning(false);
    if (!followsRows()) {
        emit caption(productCaption());
        emit timeLeftCleared();
    }
    if (started)
        abortedEnding();
    else
        m_rows.rowsEnded();
}

void RowJobSequencer::doneEnding()
{
    const QString text = m_rows.jobDoneText();
    emit balloon(text);
    emit statusText(text);
    if (followsRows())
        emit caption(text);
    else if (m_rows.jobCaption() == RowJobRows::Caption::ProductWhileRunning)
        emit caption(m_words.caption);
    emit progress(100, m_rows.jobRowCount() * 100);
    emit timeLeftStopped();
    emit timeLeftCleared();
    emit jobEnded(true);
}

void RowJobSequencer::abortedEnding()
{
    setBusy(false);
    const QString text = QStringLiteral("Aborted.");
    emit statusText(text);
    emit caption(m_rows.jobCaption() == RowJobRows::Caption::ProductWhileRunning ? m_words.caption : text);
    emit balloon(text);
    emit jobEnded(false);
}

QString RowJobSequencer::destinationFor(const QString &name)
{
    if (name.isEmpty())
        return QString();
    const QString folder = m_rows.jobFolder();
    const QString path = freePath(folder, name, m_jobPaths);
    if (path != folder + OutputFileNames::fittedFileNameIn(folder, name))
        emit logLine(QStringLiteral("An earlier ") + m_words.itemNoun
                     + QStringLiteral(" of this job has the name ") + name + QStringLiteral(", this one is saved as ")
                     + mdlFunctions::GetFileName(path) + QLatin1Char('.'));
    return path;
}

QString RowJobSequencer::pathKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
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
    conversion.destination = freePath(m_rows.jobFolder(), name, taken);
    if (sameFile(conversion.destination, conversion.source))
        return std::nullopt;
    // Whether an existing file is replaced is the user's answer when the row starts.
    if (!m_rows.overwritesExisting() && QFileInfo::exists(conversion.destination))
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
    // The frame shows the row before its tags are made: "[TRACK_NUM]"
    // counts from the row shown.
    if (m_rows.showsRowInGrid())
        emit rowSelected(row, m_rows.jobRowCount());
    if (const std::optional<qint32> seconds = m_rows.rowSeconds(row))
        m_counters.g_ltmrItemSecs = *seconds;
    m_counters.g_ltmrCurItemSecs = 0;
    m_rows.setRowTags(row);
    const QString source = m_rows.rowSource(row);
    const QString item = mdlFunctions::GetFileName(source);
    emit statusText(item);
    emit logLine(m_words.itemLogText + item + QStringLiteral("..."));
    m_rows.setRowSource(row, source);

    const QString path = destinationFor(name);
    if (path.isEmpty()) {
        failRowLater(QStringLiteral("The name template \"") + m_rows.nameTemplate()
                     + QStringLiteral("\" gives no file name for this item."));
        return Started;
    }
    if (sameFile(path, source)) {
        failRowLater(QStringLiteral("The destination file ") + path + QStringLiteral(" is the source file itself."));
        return Started;
    }
    if (!m_rows.overwritesExisting()) {
        const qint32 answer = askOverwrite(path, [this](const QString &line) { emit logLine(line); });
        if (answer != Started)
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
    return Started;
}

void RowJobSequencer::rowProgress(qint32 percent)
{
    if (percent < 1)
        return;
    if (followsRows())
        setBusy(false);
    const qint32 total = (m_counters.m_lCurrentRow - 1) * 100 + percent;
    emit progress(percent, total);
    if (followsRows()) {
        const qint32 max = m_rows.jobRowCount() * 100;
        const double whole = max > 0 ? double(total) / double(max) * 100.0 : 0.0;
        emit caption(QStringLiteral("Converting... [ ") + QString::number(percent) + QStringLiteral("% / ")
                     + QLocale().toString(whole, 'g', 15) + QStringLiteral("% ]"));
    } else {
        emit caption(productCaption());
    }
    m_counters.g_ltmrCurItemSecs = JobTimeLeft::convertedSeconds(percent, m_counters.g_ltmrItemSecs);
}

void RowJobSequencer::rowDone()
{
    emit rowEnded(m_counters.m_lCurrentRow, true);
    emit logLine(QStringLiteral("Done."));
    emit statusText(QStringLiteral("Done."));
    m_counters.g_ltmrUpToItemSecs = qint32(qMin<qint64>(
        qint64(m_counters.g_ltmrUpToItemSecs) + m_counters.g_ltmrItemSecs, std::numeric_limits<qint32>::max()));
    ++m_counters.m_lCurrentRow;
    run();
}

void RowJobSequencer::rowError(qint32 code, const QString &text)
{
    emit rowEnded(m_counters.m_lCurrentRow, false);
    const QString line = QStringLiteral("Error: ") + text + QLatin1Char('(') + QString::number(code) + QLatin1Char(')');
    emit logLine(line);
    if (followsRows()) {
        emit statusText(line);
        emit caption(line);
    }
    setRunning(false);
    ++m_counters.m_lCurrentRow;
    run();
    if (followsRows())
        setBusy(false);
}

void RowJobSequencer::rowAborted()
{
    setRunning(false);
    emit logLine(QStringLiteral("Aborted."));
    emit statusText(QStringLiteral("Aborted."));
    if (followsRows()) {
        setBusy(false);
        emit caption(QStringLiteral("Aborted."));
    }
}

void RowJobSequencer::askAbort()
{
    if (m_running && confirmAbort())
        abort();
}

void RowJobSequencer::abort()
{
    m_abortRequested = true;
    m_rows.abortRow();
    emit balloon(QStringLiteral("Aborted."));
    emit timeLeftStopped();
}

qint32 RowJobSequencer::askOverwrite(const QString &path, const std::function<void(const QString &)> &log)
{
    // Hidden files count too: a file the user cannot see is still theirs.
    const QFileInfo existing(path);
    if (!existing.exists() || existing.isDir())
        return Started;
    log(QStringLiteral("File already exists."));
    const int answer = MsgBox(QStringLiteral("The file: '") + path
                                  + QStringLiteral("' already exists.\r\n\r\nOverwrite it?"),
                              int(Msg::YesNoCancel) + Msg::Information);
    if (answer == Msg::No)
        return KeptExisting;
    if (answer == Msg::Cancel)
        return Cancelled;
    if (answer == Msg::Yes)
        log(QStringLiteral("Overwrite it..."));
    return Started;
}

bool RowJobSequencer::confirmAbort()
{
    return MsgBox(QStringLiteral("Abort operation?") + QString(38, QLatin1Char(' ')),
                  int(Msg::YesNo) + Msg::Information)
        == Msg::Yes;
}
