#include "tools/frame/RowJobWindow.h"

#include "controls/audio/AudioDestination.h"
#include "controls/ui/cGrid.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "settings/OptionSettings.h"
#include "settings/frmOptions.h"
#include "tools/frame/JobTimeLeft.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <optional>

RowJobWindow::RowJobWindow(const ToolWindowLook &look, QWidget *parent)
    : ToolWindow(look, parent)
    , Timer1(new QTimer(this))
    , m_job(*this, *this, RowJobWords{look.caption, look.itemNoun, look.jobItemLogText})
{
    buildNameBox();

    const QRect files = lblFilesToConvert->geometry();
    lblFilesToConvert->setGeometry(files.x(), files.y(), files.width() - 200, files.height());
    lblTimeLeft = new QLabel(JobTimeLeft::kNoTimeLeft, this);
    lblTimeLeft->setGeometry(files.x() + files.width() - 200, files.y(), 200, files.height());
    lblTimeLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connectRowJob(m_job, lblTimeLeft, Timer1);

    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &RowJobWindow::Timer1_Timer);
    connect(cmdConvert, &QPushButton::clicked, this, &RowJobWindow::cmdConvert_Click);
}

RowJobWindow::~RowJobWindow() = default;

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
    clearCounters();
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
    options.selectFileNameTemplate(nameTemplate);
    g_sDefaultFileNameFormat = nameTemplate;
    lblSetAsDefaultFileName->setEnabled(false);
}

void RowJobWindow::Timer1_Timer()
{
    JobTimeLeft::showTick(g_ltmrSces, g_ltmrCurItemSecs, g_ltmrUpToItemSecs, g_ltmrItemSecsTotal, isRunning(),
                          *lblTimeLeft, *Timer1);
}

void RowJobWindow::cmdConvert_Click()
{
    if (isRunning() || !checkDestinationFolder() || !checkDestinationFormat())
        return;
    separateJobsInLog();
    storeDestinationInHistory();
    log(m_look.jobStartLogText + QString::number(jobRowCount()) + QStringLiteral(" tracks."));
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
    m_job.run();
}

void RowJobWindow::cmdAbort_Click()
{
    m_job.askAbort();
}

qint32 RowJobWindow::jobRowCount() const
{
    return jobRecordCount();
}

QString RowJobWindow::rowSource(qint32 row) const
{
    return cellText(row, ItemsListRow::File);
}

QString RowJobWindow::nameTemplate() const
{
    return cboFileName->currentText();
}

bool RowJobWindow::overwritesExisting() const
{
    return chkOverWrite && chkOverWrite->isChecked();
}

RowJobRows::Caption RowJobWindow::jobCaption() const
{
    return followsRowsInCaption() ? Caption::FollowsRows : Caption::Product;
}

std::optional<qint32> RowJobWindow::rowSeconds(qint32 row) const
{
    const ItemsListRow::Data *data = jobRow(row);
    const std::optional<qint64> seconds = data ? data->seconds() : std::nullopt;
    if (!seconds)
        return std::nullopt;
    return qint32(std::clamp<qint64>(*seconds, 0, std::numeric_limits<qint32>::max()));
}

std::optional<std::pair<qint32, qint32>> RowJobWindow::rowRange(qint32 row) const
{
    // A range that cannot be read leaves the control on the whole file.
    const ItemsListRow::Data *data = jobRow(row);
    return data ? data->range() : std::nullopt;
}

void RowJobWindow::setRowTags(qint32 row)
{
    if (setsRowTags())
        SetID3Tags(row);
}

AudioTags RowJobWindow::rowTagsAhead(qint32 row)
{
    // The tags as the row's own start will make them: its row current and
    // selected.
    const qint32 currentRow = m_lCurrentRow;
    m_lCurrentRow = row;
    m_lTagRowAhead = row;
    AudioDestination &control = jobDestination();
    const AudioTags tagsNow = control.tags();
    setRowTags(row);
    const AudioTags tags = control.tags();
    control.setTags(tagsNow);
    m_lTagRowAhead = 0;
    m_lCurrentRow = currentRow;
    return tags;
}
