// The CD ripper's job: output names and tags of a track, the track-by-track
// driver, the control's events, the end of the job and the time-left display.
#include "tools/rip/frmCDRipper.h"

#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlShutDown.h"
#include "platform/Services.h"
#include "settings/OptionSettings.h"
#include "settings/frmOptions.h"
#include "tools/frame/JobTimeLeft.h"
#include "tools/frame/OutputFileNames.h"
#include "tools/frame/ToolHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <optional>

namespace {

std::optional<qint32> wholeSeconds(const QString &text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

// The tag cells of a row and the control property each one goes to, in the
// order they are set.
struct TagStep {
    const char *column;
    void (AudioDestination::*set)(const QString &);
};
constexpr TagStep kTagSteps[] = {
    {"COL_TAG_ALBUM", &AudioDestination::TagAlbum},     {"COL_TAG_ARTIST", &AudioDestination::TagArtist},
    {"COL_TAG_COMMENT", &AudioDestination::TagComment}, {"COL_TAG_GEN", &AudioDestination::TagGenre},
    {"COL_TAG_TITLE", &AudioDestination::TagTitle},     {"COL_TAG_TRACK", &AudioDestination::TagTrack},
    {"COL_TAG_YEAR", &AudioDestination::TagYear},
};

void storeGeneralValue(const QString &name, const QString &value)
{
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
    reg.setSubkey(QStringLiteral("General"));
    reg.SetRegistryValue(name, value, REG_SZ);
}

QString pathKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

// --- Names and tags ------------------------------------------------------------------

void frmCDRipper::LoadFileNameFormats()
{
    OutputFileNames::LoadFileNameFormats(cboFileName);
}

QString frmCDRipper::MakeOutputFileName(qint32 lRow) const
{
    OutputFileNames::RowValues values;
    values.row = lRow;
    values.sourcePath = cell(lRow, "COL_FILE");
    values.itemName = cell(lRow, "Item Name");
    values.destExtension = OutputFileNames::extensionOfFormat(cboTargetFormat->currentText());
    // Titles from the CD database may hold "/", which would make a folder of
    // part of the name.
    return OutputFileNames::usableFileName(
        OutputFileNames::MakeOutputFileName(cboFileName->currentText(), values));
}

void frmCDRipper::SetID3Tags(qint32 lRow)
{
    AudioDestination &control = jobDestination();
    for (const TagStep &step : kTagSteps) {
        const int column = cGrid1->ColumnIndex(QString::fromLatin1(step.column));
        if (column == 0 || lRow < 1 || lRow > cGrid1->Rows())
            continue;
        // The row being ripped is selected, and its number is the track's.
        QString text = cGrid1->CellText(lRow, column);
        text.replace(QStringLiteral("[TRACK_NUM]"), QString::number(cGrid1->SelectedRow()));
        (control.*step.set)(CreateID3TagsString(text));
    }
}

void frmCDRipper::cboFileName_Click()
{
    lblSetAsDefaultFileName->setEnabled(false);
    if (cboFileName->currentText() != g_sDefaultFileNameFormat)
        lblSetAsDefaultFileName->setEnabled(true);
}

void frmCDRipper::lblSetAsDefaultFileName_Click()
{
    const QString name = cboFileName->currentText();
    storeGeneralValue(QStringLiteral("cboFileName"), name);
    frmOptions &options = Forms::loadOptions();
    options.cboFileName->setCurrentText(name);
    g_sDefaultFileNameFormat = name;
    lblSetAsDefaultFileName->setEnabled(false);
}

// --- The job -------------------------------------------------------------------------

void frmCDRipper::cmdConvert_Click()
{
    if (isRunning() || !checkDestinationFolder() || !checkDestinationFormat())
        return;
    separateJobsInLog();
    storeDestinationInHistory();
    log(QStringLiteral("Preparing to rip: ") + QString::number(cGrid1->Rows()) + QStringLiteral(" tracks."));
    SetDestination();
    makeDestinationSubFolder();
    m_lCurrentRow = 1;
    resetJobOutcome();
    m_bAbortRequested = false;
    m_jobPaths.clear();
    // The estimate counts the tracks finished in this job only.
    g_ltmrUpToItemSecs = 0;
    showLogPage();
    g_ltmrSces = 1;
    cAudioCDRipper1->DeviceIndex(cboDevices->currentIndex());
    ConvertTracks();
}

void frmCDRipper::ConvertTracks()
{
    const qint32 rows = cGrid1->Rows();
    prgTotal->setMax(rows * 100);
    setRunning(true);
    Timer1->start();
    qint32 result = TaskStarted;
    for (qint32 row = m_lCurrentRow; row <= rows; ++row) {
        m_lCurrentRow = row;
        setCursor(Qt::WaitCursor);
        if (!rowTicked(row))
            continue;
        result = ConvertTask(row);
        if (result == TaskStarted)
            return;
        if (result == TaskCancel) {
            log(QStringLiteral("Aborted."));
            break;
        }
    }
    setRunning(false);
    endRipJob(result);
}

void frmCDRipper::endRipJob(qint32 result)
{
    unsetCursor();
    Timer1->stop();
    if (result == TaskCancel || m_bAbortRequested) {
        lblCurrentTrack->setText(QStringLiteral("Aborted."));
        setWindowTitle(lblCurrentTrack->text());
        if (!m_bAbortRequested)
            balloon(QStringLiteral("Aborted."));
        return;
    }
    // A skipped track (No to the overwrite question) is the user's choice and
    // does not spoil the job; a failed one is reported as such.
    const QString text = doneText();
    balloon(text);
    lblCurrentTrack->setText(text);
    setWindowTitle(lblCurrentTrack->text());
    prgTotal->setValue(cGrid1->Rows() * 100);
    prgCurrnet->setValue(100);
    DoEndEvents();
}

qint32 frmCDRipper::ConvertTask(qint32 lRow)
{
    const QString name = MakeOutputFileName(lRow);
    const QString folder = destinationFolder();
    QString path = folder + name;
    // Two tracks named alike (a template without the track number, two
    // titles alike) must not write over each other within one job.
    for (int n = 2; !name.isEmpty() && m_jobPaths.contains(pathKey(path)); ++n)
        path = folder + OutputFileNames::numberedFileName(name, n);
    cGrid1->setSelectedRow(lRow);
    const bool whole = cell(lRow, "COL_RANGE_ALL") == QLatin1String("1");
    g_ltmrItemSecs = whole ? mdlFunctions::TimeToSeconds(cell(lRow, "Time"))
                           : wholeSeconds(cell(lRow, "COL_RANGE_LENGTH_TIME")).value_or(0);
    g_ltmrCurItemSecs = 0;
    cAudioCDRipper1->Track(lRow);
    SetID3Tags(lRow);
    lblCurrentTrack->setText(mdlFunctions::GetFileName(cell(lRow, "COL_FILE")));
    lblFilesToConvert->setText(QStringLiteral("Files: ") + QString::number(lRow) + QLatin1Char('/')
                               + QString::number(cGrid1->Rows()));
    log(QStringLiteral("Start to rip: ") + lblCurrentTrack->text() + QStringLiteral("..."));
    if (!chkOverWrite->isChecked()) {
        const qint32 answer = askOverwrite(path);
        if (answer != TaskStarted)
            return answer;
    }
    if (name.isEmpty()) {
        // The template names no file for this track: the track fails as a
        // rip would, once this call has returned.
        QMetaObject::invokeMethod(
            this, [this] { cAudioCDRipper1_Error(1, QStringLiteral("The file name format gives no file name.")); },
            Qt::QueuedConnection);
        return TaskStarted;
    }
    if (!whole) {
        const std::optional<qint32> start = wholeSeconds(cell(lRow, "COL_RANGE_START_TIME"));
        const std::optional<qint32> length = wholeSeconds(cell(lRow, "COL_RANGE_LENGTH_TIME"));
        // A range that cannot be read leaves the control on the whole track.
        if (start && length) {
            cAudioCDRipper1->RangeStart(*start);
            cAudioCDRipper1->RangeLength(*length);
        }
    }
    if (path != folder + name)
        log(QStringLiteral("An earlier track of this job has the name ") + name
            + QStringLiteral(", this one is saved as ") + mdlFunctions::GetFileName(path) + QLatin1Char('.'));
    m_jobPaths.insert(pathKey(path));
    cAudioCDRipper1->DestFile(path);
    cAudioCDRipper1->Rip();
    return TaskStarted;
}

void frmCDRipper::cAudioCDRipper1_Progress(qint32 percent)
{
    if (percent < 1)
        return;
    unsetCursor();
    prgCurrnet->setValue(percent);
    prgTotal->setValue((m_lCurrentRow - 1) * 100 + percent);
    const double whole = prgTotal->Max() > 0 ? double(prgTotal->Value()) / prgTotal->Max() * 100 : 0.0;
    setWindowTitle(QStringLiteral("Converting... [ ") + QString::number(prgCurrnet->Value()) + QStringLiteral("% / ")
                   + QLocale().toString(whole, 'g', 15) + QStringLiteral("% ]"));
    g_ltmrCurItemSecs = JobTimeLeft::convertedSeconds(percent, g_ltmrItemSecs);
}

void frmCDRipper::cAudioCDRipper1_Done()
{
    log(QStringLiteral("Done."));
    lblCurrentTrack->setText(QStringLiteral("Done."));
    g_ltmrUpToItemSecs += g_ltmrItemSecs;
    countItemWritten();
    ++m_lCurrentRow;
    if (m_bAbortRequested) {
        // The track finished before the abort reached it; no more are started.
        setRunning(false);
        endRipJob(TaskCancel);
        return;
    }
    ConvertTracks();
}

void frmCDRipper::cAudioCDRipper1_Aborted()
{
    Timer1->stop();
    onItemAborted();
    unsetCursor();
    setWindowTitle(lblCurrentTrack->text());
}

void frmCDRipper::cAudioCDRipper1_Error(qint32 code, const QString &text)
{
    countItemFailed();
    const QString line = QStringLiteral("Error: ") + text + QLatin1Char('(') + QString::number(code) + QLatin1Char(')');
    log(line);
    lblCurrentTrack->setText(line);
    setWindowTitle(lblCurrentTrack->text());
    setRunning(false);
    ++m_lCurrentRow;
    if (m_bAbortRequested)
        endRipJob(TaskCancel);
    else
        ConvertTracks();
    unsetCursor();
}

void frmCDRipper::abortJobControl()
{
    m_bAbortRequested = true;
    cAudioCDRipper1->Abort();
    Timer1->stop();
}

void frmCDRipper::DoEndEvents()
{
    if (chkPlaySound->isChecked())
        Services::instance().sound().play(g_sEndSoundFile);
    if (chkOpenDestFolder->isChecked())
        mdlFunctions::ShellOpen(this, destinationFolder());
    if (chkNoticeApp->isChecked())
        ToolHost::StartNoticeApplication();
    if (chkOpenCDdrive->isChecked())
        cAudioCDRipper1->Eject();
    if (m_bErrorOccurred == 0 && chkTurnOffComputer->isChecked())
        mdlShutDown::ShowTurnOff(30);
}

void frmCDRipper::Timer1_Timer()
{
    JobTimeLeft::showTick(g_ltmrSces, g_ltmrCurItemSecs, g_ltmrUpToItemSecs, g_ltmrItemSecsTotal, isRunning(),
                          *lblTimeLeft, *Timer1);
}
