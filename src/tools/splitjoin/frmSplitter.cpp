#include "tools/splitjoin/frmSplitter.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/forms.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "core/mdlSupportedDestination.h"
#include "lists/ItemsGrid.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

ToolWindowLook splitterLook()
{
    ToolWindowLook look;
    look.caption = QStringLiteral("Audio Splitter");
    look.iconName = QStringLiteral("cut");
    look.firstTabCaption = QStringLiteral("Settings        ");
    look.firstTabIcon = 9;
    look.convertCaption = QStringLiteral("Split");
    look.playSoundCaption = QStringLiteral("Play a sound");
    look.noticeAppCaption = QStringLiteral("Execute external program");
    look.hasOverWrite = true;
    look.jobItemLogText = QStringLiteral("Start to split: ");
    look.itemNoun = QStringLiteral("part");
    return look;
}

// A number box's text as a number, in the user's notation or with a point.
std::optional<double> readNumber(const QString &text)
{
    bool ok = false;
    double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Halves go to the even neighbour; values past the 32-bit range give nothing.
std::optional<qint32> roundToLong(double value)
{
    const double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0)
        return std::nullopt;
    return qint32(rounded);
}

// A count of parts: a whole number, written with or without a fraction of zeros.
std::optional<qint32> wholeCount(const QString &text)
{
    const std::optional<double> value = readNumber(text);
    if (!value)
        return std::nullopt;
    const std::optional<qint32> whole = roundToLong(*value);
    if (!whole || double(*whole) != *value)
        return std::nullopt;
    return whole;
}

// A range length that reads the source to its end.
constexpr qint32 kToTheEnd = -1;

void tooSmall()
{
    MsgBox(QStringLiteral("Source file length is to small.") + QString(7, QLatin1Char(' ')),
           int(Msg::OkOnly) + Msg::Information);
}

QPointer<frmSplitter> g_frmSplitter;

} // namespace

frmSplitter::frmSplitter(QWidget *parent)
    : ToolWindow(splitterLook(), parent)
    , cAudioConverter1(new cAudioConverter(this))
    , m_job(*this, m_counters, RowJobWords{m_look.caption, m_look.itemNoun, m_look.jobItemLogText})
{
    connectRowJob(m_job);
    const int top = kOwnSettingsTop;
    Label2 = new QLabel(QStringLiteral("Splitter Mode:"), TabSettings);
    Label2->setGeometry(8, top, 300, 18);
    ptnSplitByParts = new QRadioButton(QStringLiteral("Split to") + QString(25, QLatin1Char(' ')) + QStringLiteral("parts"),
                                       TabSettings);
    ptnSplitByParts->setGeometry(16, top + 22, 220, 22);
    txtSplitParts = new QLineEdit(QStringLiteral("6"), TabSettings);
    txtSplitParts->setGeometry(90, top + 22, 60, 22);
    ptnSplitBySecs = new QRadioButton(QStringLiteral("Split each") + QString(20, QLatin1Char(' ')) + QStringLiteral("seconds"),
                                      TabSettings);
    ptnSplitBySecs->setGeometry(16, top + 50, 220, 22);
    txtSplitSecs = new QLineEdit(QStringLiteral("10"), TabSettings);
    txtSplitSecs->setGeometry(100, top + 50, 60, 22);
    txtSplitParts->raise();
    txtSplitSecs->raise();
    ptnSplitByParts->setChecked(true);
    txtSplitParts->installEventFilter(this);
    txtSplitSecs->installEventFilter(this);

    connect(ptnSplitByParts, &QRadioButton::clicked, this, &frmSplitter::ptnSplitByParts_Click);
    connect(ptnSplitBySecs, &QRadioButton::clicked, this, &frmSplitter::ptnSplitBySecs_Click);
    connect(cmdConvert, &QPushButton::clicked, this, &frmSplitter::cmdConvert_Click);
    connect(cAudioConverter1, &cAudioConverter::Progress, this, &frmSplitter::cAudioConverter1_Progress);
    connect(cAudioConverter1, &cAudioConverter::Done, this, &frmSplitter::cAudioConverter1_Done);
    connect(cAudioConverter1, &cAudioConverter::Aborted, this, &frmSplitter::cAudioConverter1_Aborted);
    connect(cAudioConverter1, &cAudioConverter::Error, this, &frmSplitter::cAudioConverter1_Error);
    connect(cAudioConverter1, &cAudioConverter::Warning, this, [this](const QString &text) { log(text); });
}

frmSplitter::~frmSplitter() = default;

void frmSplitter::HandOver(const ItemsListRow::Data &row, const QString &listName)
{
    setHandOverTexts(QStringLiteral("Split: ") + row[ItemsListRow::ItemName],
                     QStringLiteral("Total Time: ") + row[ItemsListRow::Time],
                     QStringLiteral("Total Size: ") + mdlFileSystem::FormatFileSize(double(row.bytes())), listName);
    g_sFileToSplit = row[ItemsListRow::File];
    setJobRow(1, row);
}

void frmSplitter::loadOwnControls()
{
    UpdateSplitModeControls();
}

bool frmSplitter::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == txtSplitParts || watched == txtSplitSecs) && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (typed.size() == 1) {
            qint16 key = qint16(typed.at(0).unicode());
            mdlFunctions::CheckNameKeyPress(static_cast<QWidget *>(watched), key);
            if (key == 0)
                return true;
        }
    }
    return ToolWindow::eventFilter(watched, event);
}

void frmSplitter::UpdateSplitModeControls()
{
    const bool byParts = ptnSplitByParts->isChecked();
    txtSplitParts->setEnabled(byParts);
    txtSplitSecs->setEnabled(!byParts);
}

void frmSplitter::ptnSplitByParts_Click()
{
    UpdateSplitModeControls();
}

void frmSplitter::ptnSplitBySecs_Click()
{
    UpdateSplitModeControls();
}

AudioDestination &frmSplitter::jobDestination()
{
    return *cAudioConverter1;
}

void frmSplitter::releaseJobControl()
{
    cAudioConverter1->Terminate();
}

void frmSplitter::cmdConvert_Click()
{
    if (isRunning() || !checkDestinationFolder() || !checkDestinationFormat())
        return;
    separateJobsInLog();
    storeDestinationInHistory();
    log(QStringLiteral("Preparing to split: ") + mdlFunctions::GetFileName(g_sFileToSplit) + QStringLiteral(".."));
    SetDestination();
    makeDestinationSubFolder();
    resetJobOutcome();
    m_job.reset();
    showLogPage();
    if (!prepareSplit())
        return;
    m_counters.m_lCurrentRow = 1;
    m_job.run();
}

bool frmSplitter::overwritesExisting() const
{
    return chkOverWrite && chkOverWrite->isChecked();
}

void frmSplitter::cmdAbort_Click()
{
    m_job.askAbort();
}

bool frmSplitter::prepareSplit()
{
    cAudioConverter1->OpenSource(g_sFileToSplit);
    g_lTotalFileLength = cAudioConverter1->Duration();
    const double total = totalSeconds();
    m_lPartNumber = 1;
    g_lStartFrom = 0;
    // Every length is worked out anew: a count or a seconds text that cannot
    // give one stops the start instead of reusing the last job's length.
    g_lLength = 0;
    m_lPartCount = 0;
    m_lShorterFrom = 0;
    std::optional<qint32> length;
    if (ptnSplitByParts->isChecked()) {
        // N parts of a second at least: parts 1 to N-1 take the rounded
        // length, the last one whatever is left, so there are exactly N.
        const std::optional<qint32> parts = wholeCount(txtSplitParts->text());
        if (parts && *parts >= 1 && total >= double(*parts)) {
            length = roundToLong(total / *parts);
            // Rounding up can leave the last part less than a second, or
            // nothing. Then the whole seconds are shared out instead, the
            // first parts a second longer than the others, so that no part
            // is two seconds longer than another; the last one takes the
            // fraction.
            if (length && total - double(*parts - 1) * double(*length) < 1.0) {
                const qint32 whole = qint32(std::floor(total));
                const qint32 longer = whole % *parts;
                length = whole / *parts + (longer > 0 ? 1 : 0);
                if (longer > 0)
                    m_lShorterFrom = longer + 1;
            }
            m_lPartCount = *parts;
        }
    } else {
        const std::optional<double> seconds = readNumber(txtSplitSecs->text());
        if (seconds && *seconds < total)
            length = roundToLong(*seconds);
        if (length && *length >= 1)
            m_lPartCount = qint32(std::ceil(total / *length));
    }
    if (!length || *length < 1 || m_lPartCount < 1) {
        tooSmall();
        return false;
    }
    g_lLength = *length;
    prgTotal->setMax(m_lPartCount * 100);
    return true;
}

QString frmSplitter::partFileName(qint32 part, const QString &sourcePath) const
{
    const QString name = mdlFunctions::GetFileName(sourcePath);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    return QStringLiteral("Part_") + QString::number(part) + QLatin1Char('_') + stem + QLatin1Char('.')
        + mdlSupportedDestination::FileExtension(cboTargetFormat->currentText()).toUpper();
}

QString frmSplitter::rowSource(qint32 part) const
{
    Q_UNUSED(part)
    return g_sFileToSplit;
}

std::optional<qint32> frmSplitter::rowSeconds(qint32 part) const
{
    Q_UNUSED(part)
    return std::nullopt;
}

qint32 frmSplitter::partStart(qint32 part) const
{
    const qint32 shorterBefore = m_lShorterFrom > 0 ? std::max(0, part - m_lShorterFrom) : 0;
    return (part - 1) * g_lLength - shorterBefore;
}

std::optional<std::pair<qint32, qint32>> frmSplitter::rowRange(qint32 part) const
{
    // The last part runs to the end of the source, whatever its fraction.
    if (part >= m_lPartCount)
        return std::make_pair(partStart(part), kToTheEnd);
    return std::make_pair(partStart(part), partStart(part + 1) - partStart(part));
}

void frmSplitter::setRowTags(qint32 part)
{
    Q_UNUSED(part)
    SetID3Tags(1);
}

AudioTags frmSplitter::rowTagsAhead(qint32 part)
{
    Q_UNUSED(part)
    // Every part carries the tags of the one row.
    return cAudioConverter1->tags();
}

void frmSplitter::setRowSource(qint32 part, const QString &path)
{
    m_lPartNumber = part;
    g_lStartFrom = partStart(part);
    cAudioConverter1->SourceFile(path);
}

AudioRange &frmSplitter::rowRangeControl()
{
    return *cAudioConverter1;
}

void frmSplitter::startRow(const QString &destination)
{
    Q_UNUSED(destination)
    cAudioConverter1->Convert();
}

void frmSplitter::abortRow()
{
    cAudioConverter1->Abort();
}

qint32 frmSplitter::rowsAtOnce() const
{
    return cAudioConverter1->conversionsAtOnce();
}

void frmSplitter::expectRows(const QVector<ConversionAhead> &parts)
{
    cAudioConverter1->ConvertAhead(parts);
}

void frmSplitter::cAudioConverter1_Progress(qint32 percent)
{
    m_job.rowProgress(percent);
}

void frmSplitter::cAudioConverter1_Done()
{
    m_job.rowDone();
}

void frmSplitter::cAudioConverter1_Aborted()
{
    m_job.rowAborted();
}

void frmSplitter::cAudioConverter1_Error(qint32 code, const QString &text)
{
    m_job.rowError(code, text);
}

namespace Forms {

frmSplitter *splitter()
{
    return g_frmSplitter;
}

frmSplitter &loadSplitter(QWidget *owner)
{
    return load(g_frmSplitter, owner);
}

} // namespace Forms
