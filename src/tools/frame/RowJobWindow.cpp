#include "tools/frame/RowJobWindow.h"

#include "controls/audio/AudioDestination.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"
#include "settings/frmOptions.h"
#include "tools/frame/JobTimeLeft.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <limits>
#include <optional>

namespace {

std::optional<qint32> wholeNumber(const QString &text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

// A "Time" cell reads as a length only when it holds hours, minutes and
// seconds; anything else leaves the item's length as it was.
bool readsAsTime(const QString &text)
{
    static const QRegularExpression hms(QStringLiteral("^\\s*\\d+:\\d{1,2}:\\d{1,2}\\s*$"));
    return hms.match(text).hasMatch();
}

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

RowJobWindow::RowJobWindow(const ToolWindowLook &look, QWidget *parent)
    : ToolWindow(look, parent)
    , Timer1(new QTimer(this))
{
    buildNameBox();

    const QRect files = lblFilesToConvert->geometry();
    lblFilesToConvert->setGeometry(files.x(), files.y(), files.width() - 200, files.height());
    lblTimeLeft = new QLabel(JobTimeLeft::kNoTimeLeft, this);
    lblTimeLeft->setGeometry(files.x() + files.width() - 200, files.y(), 200, files.height());
    lblTimeLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &RowJobWindow::Timer1_Timer);
    connect(cmdConvert, &QPushButton::clicked, this, &RowJobWindow::cmdConvert_Click);
}

RowJobWindow::~RowJobWindow()
{
    setBusy(false);
}

void RowJobWindow::buildNameBox()
{
    const int top = kOwnSettingsTop;
    lblFileNameFormat = new QLabel(QStringLiteral("Output file name format:"), TabSettings);
    lblFileNameFormat->setGeometry(8, top, 300, 18);
    cboFileName = new QComboBox(TabSettings);
    cboFileName->setGeometry(8, top + 20, 380, 24);
    cboFileName->addItems(OutputFileNames::builtInTemplates());
    cboFileName->setCurrentIndex(-1);
    lblSetAsDefaultFileName = new LinkLabel(QStringLiteral("Set as default"), TabSettings);
    lblParameters = new LinkLabel(QStringLiteral("Parameters"), TabSettings);
    // The two links follow the box side by side, each as wide as its text.
    int left = cboFileName->x() + cboFileName->width() + 8;
    for (QLabel *link : {static_cast<QLabel *>(lblSetAsDefaultFileName), static_cast<QLabel *>(lblParameters)}) {
        link->setGeometry(left, top + 24, link->sizeHint().width(), 18);
        left += link->width() + 10;
    }

    // Any change of the picked template, by the user or by code, is the box's click.
    connect(cboFileName, &QComboBox::currentIndexChanged, this, [this] { cboFileName_Click(); });
    connect(cboFileName, &QComboBox::activated, this, [this] { cboFileName_Click(); });
    connect(lblSetAsDefaultFileName, &LinkLabel::clicked, this, &RowJobWindow::lblSetAsDefaultFileName_Click);
    connect(lblParameters, &LinkLabel::clicked, this, &RowJobWindow::lblParameters_Click);
}

void RowJobWindow::loadOwnControls()
{
    LoadFileNameFormats();
    selectDefaultFileName();
    // The counters start every load at 0: the launcher sets the total afterwards.
    g_ltmrItemSecsTotal = g_ltmrCurItemSecs = g_ltmrSces = g_ltmrItemSecs = g_ltmrUpToItemSecs = 0;
}

void RowJobWindow::LoadFileNameFormats()
{
    OutputFileNames::LoadFileNameFormats(cboFileName);
}

void RowJobWindow::selectDefaultFileName()
{
    qint32 index = g_sDefaultFileNameFormat.isEmpty()
        ? -1
        : cboFileName->findText(g_sDefaultFileNameFormat, Qt::MatchExactly | Qt::MatchCaseSensitive);
    // A stored template that the list no longer offers falls back to the
    // second one rather than leaving the name empty.
    if (index < 0)
        index = cboFileName->count() > 1 ? 1 : 0;
    cboFileName->setCurrentIndex(index);
    // The link follows the pick even where the index stayed as it was.
    cboFileName_Click();
}

QString RowJobWindow::cellText(qint32 row, ItemsListRow::Column column) const
{
    if (row < 1 || row > cGrid1->Rows())
        return QString();
    return cGrid1->CellText(row, cGrid1->ColumnIndex(ItemsListRow::key(column)));
}

QString RowJobWindow::cellText(qint32 row, const char *key) const
{
    if (row < 1 || row > cGrid1->Rows())
        return QString();
    return cGrid1->CellText(row, cGrid1->ColumnIndex(QLatin1String(key)));
}

std::optional<QString> RowJobWindow::destExtension() const
{
    return OutputFileNames::extensionOfFormat(cboTargetFormat ? cboTargetFormat->currentText() : QString());
}

QString RowJobWindow::MakeOutputFileName(qint32 row) const
{
    OutputFileNames::RowValues values;
    values.row = row;
    values.sourcePath = cellText(row, ItemsListRow::File);
    values.itemName = cellText(row, ItemsListRow::ItemName);
    values.destExtension = destExtension();
    return OutputFileNames::usableFileName(OutputFileNames::MakeOutputFileName(cboFileName->currentText(), values));
}

void RowJobWindow::cboFileName_Click()
{
    lblSetAsDefaultFileName->setEnabled(false);
    if (cboFileName->currentText() != g_sDefaultFileNameFormat)
        lblSetAsDefaultFileName->setEnabled(true);
}

void RowJobWindow::lblSetAsDefaultFileName_Click()
{
    const QString nameTemplate = cboFileName->currentText();
    {
        RegistryRoutines reg;
        reg.setHkey(HKEY_LOCAL_MACHINE);
        reg.setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
        reg.setSubkey(QStringLiteral("General"));
        reg.SetRegistryValue(QStringLiteral("cboFileName"), nameTemplate, REG_SZ);
    }
    frmOptions &options = Forms::loadOptions();
    options.cboFileName->setCurrentIndex(
        options.cboFileName->findText(nameTemplate, Qt::MatchExactly | Qt::MatchCaseSensitive));
    g_sDefaultFileNameFormat = nameTemplate;
    lblSetAsDefaultFileName->setEnabled(false);
}

void RowJobWindow::Timer1_Timer()
{
    JobTimeLeft::showTick(g_ltmrSces, g_ltmrCurItemSecs, g_ltmrUpToItemSecs, g_ltmrItemSecsTotal, isRunning(),
                          *lblTimeLeft, *Timer1);
}

QString RowJobWindow::productCaption() const
{
    return g_sAppName + QLatin1Char(' ') + g_sAppVersion;
}

void RowJobWindow::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void RowJobWindow::cmdConvert_Click()
{
    if (isRunning() || !checkDestinationFolder() || !checkDestinationFormat())
        return;
    separateJobsInLog();
    storeDestinationInHistory();
    log(m_look.jobStartLogText + QString::number(cGrid1->Rows()) + QStringLiteral(" tracks."));
    SetDestination();
    makeDestinationSubFolder();
    m_lCurrentRow = 1;
    resetRowJob();
    showLogPage();
    g_ltmrSces = 1;
    g_ltmrUpToItemSecs = 0;
    startingJob();
    ConvertTracks();
}

void RowJobWindow::ConvertTracks()
{
    // A confirmed abort holds even when the row had already ended by itself.
    if (m_abortRequested) {
        onRowAborted();
        return;
    }
    const qint32 rows = cGrid1->Rows();
    prgTotal->setMax(rows * 100);
    setRunning(true);
    Timer1->start();
    qint32 result = TaskStarted;
    bool started = false;
    for (qint32 row = m_lCurrentRow; row <= rows; ++row) {
        m_lCurrentRow = row;
        if (!rowInJob(row))
            continue;
        started = true;
        if (followsRowsInCaption())
            setBusy(true);
        result = ConvertTask(m_lCurrentRow);
        if (result == TaskStarted)
            return;
        if (result == TaskCancel) {
            log(QStringLiteral("Aborted."));
            break;
        }
    }
    setRunning(false);
    if (!followsRowsInCaption()) {
        setWindowTitle(productCaption());
        lblTimeLeft->setText(JobTimeLeft::kNoTimeLeft);
    }
    if (started)
        abortedEnding();
    else
        rowsEnded();
}

void RowJobWindow::resetRowJob()
{
    resetJobOutcome();
    m_abortRequested = false;
    m_jobPaths.clear();
}

void RowJobWindow::doneEnding()
{
    const QString text = doneText();
    balloon(text);
    lblCurrentTrack->setText(text);
    if (followsRowsInCaption())
        setWindowTitle(lblCurrentTrack->text());
    prgTotal->setValue(cGrid1->Rows() * 100);
    prgCurrnet->setValue(100);
    Timer1->stop();
    DoEndEvents();
}

void RowJobWindow::abortedEnding()
{
    setBusy(false);
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
    setWindowTitle(lblCurrentTrack->text());
    balloon(QStringLiteral("Aborted."));
}

void RowJobWindow::setItemSeconds(qint32 row)
{
    if (cellText(row, ItemsListRow::RangeAll) == QLatin1String("1")) {
        const QString time = cellText(row, ItemsListRow::Time);
        if (readsAsTime(time))
            g_ltmrItemSecs = mdlFunctions::TimeToSeconds(time);
    } else if (const std::optional<qint32> length = wholeNumber(cellText(row, ItemsListRow::RangeLength))) {
        g_ltmrItemSecs = *length;
    }
    g_ltmrCurItemSecs = 0;
}

QString RowJobWindow::destinationFor(const QString &name)
{
    if (name.isEmpty())
        return QString();
    const QString folder = destinationFolder();
    const QString path = freePath(folder, name, m_jobPaths);
    if (path != folder + name)
        log(QStringLiteral("An earlier ") + m_look.itemNoun + QStringLiteral(" of this job has the name ") + name
            + QStringLiteral(", this one is saved as ") + mdlFunctions::GetFileName(path) + QLatin1Char('.'));
    return path;
}

QString RowJobWindow::freePath(const QString &folder, const QString &name, const QSet<QString> &taken)
{
    QString path = folder + name;
    // Two rows named alike (the same file twice, two ranges of one file, a
    // template without the row number) must not write over each other.
    for (int n = 2; taken.contains(pathKey(path)); ++n)
        path = folder + OutputFileNames::numberedFileName(name, n);
    return path;
}

std::optional<std::pair<qint32, qint32>> RowJobWindow::rowRange(qint32 row) const
{
    if (cellText(row, ItemsListRow::RangeAll) == QLatin1String("1"))
        return std::nullopt;
    const std::optional<qint32> start = wholeNumber(cellText(row, ItemsListRow::RangeStart));
    const std::optional<qint32> length = wholeNumber(cellText(row, ItemsListRow::RangeLength));
    // A range that cannot be read leaves the control on the whole file.
    if (!start || !length)
        return std::nullopt;
    return std::make_pair(*start, *length);
}

void RowJobWindow::expectRowsAfter(qint32 row)
{
    const qint32 ahead = rowsAtOnce() - 1;
    if (ahead < 1)
        return;
    QSet<QString> taken = m_jobPaths;
    QVector<ConversionAhead> rows;
    for (qint32 next = row + 1; next <= cGrid1->Rows() && rows.size() < ahead; ++next) {
        if (!rowInJob(next))
            continue;
        const std::optional<ConversionAhead> conversion = rowAhead(next, taken);
        if (!conversion)
            break;
        rows << *conversion;
    }
    expectRows(rows);
}

std::optional<ConversionAhead> RowJobWindow::rowAhead(qint32 row, QSet<QString> &taken)
{
    ConversionAhead conversion;
    conversion.source = cellText(row, ItemsListRow::File);
    // A file an earlier row writes is read once it is written.
    if (taken.contains(pathKey(conversion.source)))
        return std::nullopt;
    // The names and tags as the row's own start will make them: its row
    // current and selected.
    const qint32 currentRow = m_lCurrentRow;
    m_lCurrentRow = row;
    m_lTagRowAhead = row;
    const QString name = MakeOutputFileName(row);
    AudioDestination &control = jobDestination();
    const AudioTags tagsNow = control.tags();
    if (setsRowTags())
        SetID3Tags(row);
    conversion.tags = control.tags();
    control.setTags(tagsNow);
    m_lTagRowAhead = 0;
    m_lCurrentRow = currentRow;

    if (name.isEmpty())
        return std::nullopt;
    conversion.destination = freePath(destinationFolder(), name, taken);
    if (sameFile(conversion.destination, conversion.source))
        return std::nullopt;
    // Whether an existing file is replaced is the user's answer when the row starts.
    if (!(chkOverWrite && chkOverWrite->isChecked()) && QFileInfo::exists(conversion.destination))
        return std::nullopt;
    if (const auto range = rowRange(row)) {
        conversion.rangeStart = range->first;
        conversion.rangeLength = range->second;
    }
    taken.insert(pathKey(conversion.destination));
    return conversion;
}

void RowJobWindow::failRowLater(const QString &text)
{
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            if (m_abortRequested)
                onRowAborted();
            else
                onRowError(kRowNameError, text);
        },
        Qt::QueuedConnection);
}

qint32 RowJobWindow::ConvertTask(qint32 row)
{
    const QString name = MakeOutputFileName(row);
    cGrid1->setSelectedRow(row);
    setItemSeconds(row);
    if (setsRowTags())
        SetID3Tags(row);
    const QString source = cellText(row, ItemsListRow::File);
    lblCurrentTrack->setText(mdlFunctions::GetFileName(source));
    lblFilesToConvert->setText(QStringLiteral("Files: ") + QString::number(row) + QLatin1Char('/')
                               + QString::number(cGrid1->Rows()));
    log(m_look.jobItemLogText + lblCurrentTrack->text() + QStringLiteral("..."));
    setRowSource(row, source);

    const QString path = destinationFor(name);
    if (path.isEmpty()) {
        failRowLater(QStringLiteral("The name template \"") + cboFileName->currentText()
                     + QStringLiteral("\" gives no file name for this item."));
        return TaskStarted;
    }
    if (sameFile(path, source)) {
        failRowLater(QStringLiteral("The destination file ") + path + QStringLiteral(" is the source file itself."));
        return TaskStarted;
    }
    if (!(chkOverWrite && chkOverWrite->isChecked())) {
        const qint32 answer = askOverwrite(path);
        if (answer != TaskStarted)
            return answer;
    }
    if (const auto range = rowRange(row))
        setRowRange(range->first, range->second);
    m_jobPaths.insert(pathKey(path));
    startRow(path);
    expectRowsAfter(row);
    return TaskStarted;
}

void RowJobWindow::onRowProgress(qint32 percent)
{
    if (percent < 1)
        return;
    if (followsRowsInCaption())
        setBusy(false);
    prgCurrnet->setValue(percent);
    prgTotal->setValue((m_lCurrentRow - 1) * 100 + percent);
    if (followsRowsInCaption()) {
        const double total = prgTotal->Max() > 0 ? double(prgTotal->Value()) / double(prgTotal->Max()) * 100.0 : 0.0;
        setWindowTitle(QStringLiteral("Converting... [ ") + QString::number(prgCurrnet->Value()) + QStringLiteral("% / ")
                       + QLocale().toString(total, 'g', 15) + QStringLiteral("% ]"));
    } else {
        setWindowTitle(productCaption());
    }
    g_ltmrCurItemSecs = JobTimeLeft::convertedSeconds(percent, g_ltmrItemSecs);
}

void RowJobWindow::onRowDone()
{
    countItemWritten();
    log(QStringLiteral("Done."));
    lblCurrentTrack->setText(QStringLiteral("Done."));
    g_ltmrUpToItemSecs = qint32(qMin<qint64>(qint64(g_ltmrUpToItemSecs) + g_ltmrItemSecs,
                                             std::numeric_limits<qint32>::max()));
    ++m_lCurrentRow;
    ConvertTracks();
}

void RowJobWindow::onRowError(qint32 code, const QString &text)
{
    countItemFailed();
    const QString line = QStringLiteral("Error: ") + text + QLatin1Char('(') + QString::number(code) + QLatin1Char(')');
    log(line);
    if (followsRowsInCaption()) {
        lblCurrentTrack->setText(line);
        setWindowTitle(lblCurrentTrack->text());
    }
    setRunning(false);
    ++m_lCurrentRow;
    ConvertTracks();
    if (followsRowsInCaption())
        setBusy(false);
}

void RowJobWindow::onRowAborted()
{
    setRunning(false);
    log(QStringLiteral("Aborted."));
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
    if (followsRowsInCaption()) {
        setBusy(false);
        setWindowTitle(lblCurrentTrack->text());
    }
}

void RowJobWindow::cmdAbort_Click()
{
    if (!isRunning())
        return;
    if (MsgBox(QStringLiteral("Abort operation?") + QString(38, QLatin1Char(' ')), int(Msg::YesNo) + Msg::Information)
        != Msg::Yes)
        return;
    m_abortRequested = true;
    abortJobControl();
    balloon(QStringLiteral("Aborted."));
    Timer1->stop();
}
