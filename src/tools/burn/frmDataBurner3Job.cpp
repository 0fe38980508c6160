#include "tools/burn/frmDataBurner3.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/cd/cAudioDataBurner.h"
#include "controls/cd/cBurner.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/mdlFunctions.h"
#include "core/mdlShutDown.h"
#include "lists/ItemsListRow.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "settings/OptionSettings.h"
#include "tools/frame/ToolHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>

namespace {

// Copies source to target in pieces so that a cancel is seen promptly; a
// copy that does not complete leaves no file behind. Empty when it worked.
QString copyFile(const QString &source, const QString &target, const std::atomic<bool> &cancel)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot read ") + source + QStringLiteral(": ") + in.errorString();
    // Opening the target empties it: an item already where its copy goes
    // would be lost.
    if (QFileInfo(source) == QFileInfo(target))
        return QStringLiteral("The destination file ") + target + QStringLiteral(" is the source file itself.");
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("Cannot write ") + target + QStringLiteral(": ") + out.errorString();
    QString error;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (error.isEmpty()) {
        if (cancel.load()) {
            error = QStringLiteral("Aborted.");
            break;
        }
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0)
            error = QStringLiteral("Cannot read ") + source + QStringLiteral(": ") + in.errorString();
        else if (got == 0)
            break;
        else if (out.write(buffer.constData(), got) != got)
            error = QStringLiteral("Cannot write ") + target + QStringLiteral(": ") + out.errorString();
    }
    if (error.isEmpty() && !out.flush())
        error = QStringLiteral("Cannot write ") + target + QStringLiteral(": ") + out.errorString();
    out.close();
    if (!error.isEmpty())
        out.remove();
    return error;
}

} // namespace

QString frmDataBurner3::driveLetter() const
{
    return cboDrv->currentText().left(1);
}

void frmDataBurner3::cmdConvert_Click()
{
    if (isRunning() || m_burning)
        return;
    if (!chkDoNotConvertSource->isChecked() && !checkDestinationFormat())
        return;
    separateJobsInLog();
    m_bUserAborted = 0;
    prgCurrnet->setValue(0);
    prgTotal->setValue(0);
    log(QStringLiteral("Preparing to burn: ") + QString::number(cGrid1->Rows()) + QStringLiteral(" tracks."));
    if (!checkDrive() || !checkFileSystems())
        return;
    SetDestination();
    if (!prepareTempFolder())
        return;
    m_lCurrentRow = 1;
    resetRowJob();
    m_rowFiles.clear();
    m_burnAborted = false;
    showLogPage();
    g_ltmrSces = 1;
    g_ltmrUpToItemSecs = 0;
    txtToPath->setEditText(GetTempFolder());
    // Only this job's files are burned: the folder is emptied first.
    EraseTempFiles();

    if (!chkDoNotConvertSource->isChecked()) {
        ConvertTracks();
        return;
    }
    setRunning(true);
    Timer1->start();
    lblCurrentTrack->setText(QStringLiteral("Ready."));
    prgTotal->setMax(cGrid1->Rows());
    m_copying = true;
    m_copyRow = 0;
    copyNextRow();
}

bool frmDataBurner3::checkDrive()
{
    const QString entry = cboDrv->currentText();
    const auto refuse = [this](const QString &line, const QString &message) {
        log(line);
        MsgBox(message, int(Msg::OkOnly) + Msg::Information);
        log(QStringLiteral("Aborted."));
        return false;
    };
    // Without a writer the whole conversion would be for nothing.
    if (entry.isEmpty())
        return refuse(QStringLiteral("There is no CD writer."), QStringLiteral("There is no CD writer to burn on."));
    const QString letter = entry.left(1);
    const QString drive = entry.left(2);
    const QString insert = QStringLiteral("Please insert an empty media into drive: ") + drive;
    const bool firstEngine = cmbEngine->currentIndex() == 0;
    const bool ready = cAudioDataBurner1->IsReady(letter);
    if (firstEngine && !ready)
        return refuse(QStringLiteral("The CD drive '") + drive + QStringLiteral("' is not ready."), insert);
    const bool empty = cAudioDataBurner1->IsEmpty(letter);
    if (firstEngine && !empty)
        return refuse(QStringLiteral("The CD drive '") + drive + QStringLiteral("' is not empty."), insert);
    return true;
}

bool frmDataBurner3::checkFileSystems()
{
    if (cmbEngine->currentIndex() < 1)
        return true;
    QString message;
    // Found out before converting rather than after it, when the engine
    // would refuse the disc.
    if (chkUDF->isChecked())
        message = QStringLiteral("UDF cannot be written: this system has no UDF writer. Choose ISO or Joliet instead.");
    else if (!chkISO->isChecked() && !chkJOLIET->isChecked())
        message = QStringLiteral("Choose the file system of the disc: ISO, JOLIET or both.");
    if (message.isEmpty())
        return true;
    log(message);
    MsgBox(message, int(Msg::OkOnly) + Msg::Information);
    log(QStringLiteral("Aborted."));
    return false;
}

bool frmDataBurner3::prepareTempFolder()
{
    const QString folder = GetTempFolder().chopped(1);
    const QFileInfo info(folder);
    if (!info.isSymLink() && mdlFunctions::MakeFolderPath(folder) == 0 && QFileInfo(folder).isDir())
        return true;
    const QString message = QStringLiteral("The temporary folder ") + folder + QStringLiteral(" cannot be created.");
    log(message);
    MsgBox(message, int(Msg::OkOnly) + Msg::Exclamation);
    log(QStringLiteral("Aborted."));
    return false;
}

void frmDataBurner3::copyNextRow()
{
    ++m_copyRow;
    const qint32 rows = cGrid1->Rows();
    if (m_bUserAborted != 0) {
        EraseTempFiles();
        m_rowFiles.clear();
        log(QStringLiteral("Aborted."));
        passEnded(-1);
        return;
    }
    if (m_copyRow > rows) {
        passEnded(0);
        return;
    }
    const QString source = cGrid1->CellText(m_copyRow, ItemsListRow::File);
    lblCurrentTrack->setText(mdlFunctions::GetFileName(source));
    lblFilesToConvert->setText(QStringLiteral("Files: ") + QString::number(m_copyRow) + QLatin1Char('/')
                               + QString::number(rows));
    const QString named = OutputFileNames::usableFileName(MakeOutputFileName(m_copyRow));
    if (named.isEmpty()) {
        copyRowEnded(QString(), QStringLiteral("The name template \"") + cboFileName->currentText()
                                    + QStringLiteral("\" gives no file name for this item."));
        return;
    }
    // Two rows named alike both reach the disc, the later one numbered; a
    // name too long for the folder is cut to fit first.
    // The paths compare as the converting mode's do: absolute and cleaned.
    const QString folder = GetTempFolder();
    const QString usable = OutputFileNames::fittedFileNameIn(folder, named);
    QSet<QString> taken;
    for (const QString &file : std::as_const(m_rowFiles))
        taken.insert(RowJobSequencer::pathKey(file));
    const QString path = RowJobSequencer::freePath(folder, named, taken);
    if (path != folder + usable)
        log(QStringLiteral("An earlier item of this job has the name ") + usable + QStringLiteral(", this one is saved as ")
            + mdlFunctions::GetFileName(path) + QLatin1Char('.'));

    auto error = std::make_shared<QString>();
    m_copy.start(
        this, [source, path, error](const std::atomic<bool> &abort) { *error = copyFile(source, path, abort); },
        [this, path, error] { copyRowEnded(error->isEmpty() ? path : QString(), *error); });
}

void frmDataBurner3::copyRowEnded(const QString &path, const QString &error)
{
    if (!path.isEmpty()) {
        m_rowFiles.insert(m_copyRow, path);
        countItemWritten();
    } else if (m_bUserAborted == 0) {
        countItemFailed();
        log(QStringLiteral("Error: ") + error);
    }
    prgTotal->setValue(m_copyRow);
    copyNextRow();
}

void frmDataBurner3::startRow(const QString &destination)
{
    m_rowFiles.insert(m_lCurrentRow, destination);
    AudioConverterWindow::startRow(destination);
}

void frmDataBurner3::rowsEnded()
{
    passEnded(0);
}

QStringList frmDataBurner3::jobFiles()
{
    QStringList files;
    for (auto it = m_rowFiles.cbegin(); it != m_rowFiles.cend(); ++it) {
        // A row whose conversion failed has no file to burn.
        if (QFileInfo(it.value()).isFile())
            files << it.value();
    }
    return files;
}

void frmDataBurner3::passEnded(qint32 outcome)
{
    setRunning(false);
    m_copying = false;
    if (outcome != 0) {
        lblCurrentTrack->setText(QStringLiteral("Aborted."));
        setWindowTitle(lblCurrentTrack->text());
        balloon(QStringLiteral("Aborted."));
        return;
    }
    lblCurrentTrack->setText(QStringLiteral("Ready."));
    setWindowTitle(lblCurrentTrack->text());
    prgCurrnet->setValue(100);
    Timer1->stop();
    prgTotal->setValue(0);
    if (jobFiles().isEmpty()) {
        log(QStringLiteral("Nothing to burn: no item was converted."));
        lblCurrentTrack->setText(QStringLiteral("Nothing to burn."));
        MsgBox(QStringLiteral("Nothing to burn."), int(Msg::OkOnly) + Msg::Information);
        return;
    }
    if (MsgBox(QStringLiteral("Burn CD?") + QString(46, QLatin1Char(' ')), Msg::OkCancel) != Msg::Ok)
        return;
    if (cmbEngine->currentIndex() == 0)
        BurnImapiV1();
    else
        BurnImapiV2();
}

void frmDataBurner3::cmdAbort_Click()
{
    if (!isRunning())
        return;
    if (!m_burning && !m_copying) {
        RowJobWindow::cmdAbort_Click();
        return;
    }
    if (!confirmAbort())
        return;
    m_bUserAborted = -1;
    balloon(QStringLiteral("Aborted."));
    Timer1->stop();
    if (m_burning) {
        // The burn really stops; its engine ends it with its failure event.
        m_burnAborted = true;
        if (cmbEngine->currentIndex() == 0)
            cAudioDataBurner1->Abort();
        else
            cBurner1->Abort();
    } else if (m_copy.isRunning()) {
        m_copy.abort();
    }
}

void frmDataBurner3::DoEndEvents()
{
    if (chkPlaySound->isChecked())
        Services::instance().sound().play(g_sEndSoundFile);
    if (chkEraseTempfiles->isChecked()) {
        log(QStringLiteral("Erase temp files..."));
        EraseTempFiles();
    }
    if (chkOpenCDdrive->isChecked())
        cAudioDataBurner1->Eject(driveLetter());
    if (chkOpenDestFolder->isChecked()) {
        // The drive's entry names its device or image file: open where the
        // written disc can be seen.
        QString target = cboDrv->currentText().mid(3);
        if (target.endsWith(QLatin1String(" (image file)")))
            target.chop(13);
        if (!target.startsWith(QLatin1String("/dev/")) && QFileInfo(target).isFile()) {
            mdlFunctions::ShellOpen(this, QFileInfo(target).absolutePath());
        } else {
            const QString device = target.section(QLatin1Char(' '), 0, 0);
            for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
                if (QString::fromLocal8Bit(volume.device()) == device) {
                    mdlFunctions::ShellOpen(this, volume.rootPath());
                    break;
                }
            }
        }
    }
    if (chkNoticeApp->isChecked())
        ToolHost::StartNoticeApplication();
    if (m_bErrorOccurred == 0 && chkTurnOffComputer->isChecked())
        mdlShutDown::ShowTurnOff(30);
    setRunning(false);
    // Items that could not be converted or copied are missing from the disc.
    const QString text = doneText();
    balloon(text);
    log(text);
    lblCurrentTrack->setText(text);
}
