#include "tools/splitjoin/frmJoiner.h"

#include "controls/audio/cAudioJoin.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/LinkLabel.h"
#include "core/forms.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRow.h"
#include "platform/Prompter.h"
#include "tools/frame/OutputFileNames.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTime>

#include <optional>

namespace {

ToolWindowLook joinerLook()
{
    ToolWindowLook look;
    look.caption = QStringLiteral("Audio Joiner");
    look.iconName = QStringLiteral("colors");
    look.firstTabCaption = QStringLiteral("Joiner Options        ");
    look.firstTabIcon = 64;
    look.convertCaption = QStringLiteral("Join");
    look.playSoundCaption = QStringLiteral("Play sound");
    look.noticeAppCaption = QStringLiteral("Notice application ");
    look.hasOverWrite = false;
    return look;
}

QPointer<frmJoiner> g_frmJoiner;

} // namespace

frmJoiner::frmJoiner(QWidget *parent)
    : ToolWindow(joinerLook(), parent)
    , cAudioJoin1(new cAudioJoin(this))
{
    const int top = kOwnSettingsTop - 28; // the joiner has no overwrite box
    auto *nameLabel = new QLabel(QStringLiteral("Joined file name:"), TabSettings);
    nameLabel->setGeometry(8, top, 300, 18);
    txtJoinedFileName = new QLineEdit(QStringLiteral("Joined_File-[date]-[time].[dest_extension]"), TabSettings);
    txtJoinedFileName->setGeometry(8, top + 20, 420, 24);
    lblParameters = new LinkLabel(QStringLiteral("Parameters"), TabSettings);
    lblParameters->setGeometry(440, top + 24, 100, 18);

    connect(lblParameters, &LinkLabel::clicked, this, &frmJoiner::lblParameters_Click);
    connect(cmdConvert, &QPushButton::clicked, this, &frmJoiner::cmdConvert_Click);
    connect(cAudioJoin1, &cAudioJoin::Progress, this, &frmJoiner::cAudioJoin1_Progress);
    connect(cAudioJoin1, &cAudioJoin::Done, this, &frmJoiner::cAudioJoin1_Done);
    connect(cAudioJoin1, &cAudioJoin::Aborted, this, &frmJoiner::cAudioJoin1_Aborted);
    connect(cAudioJoin1, &cAudioJoin::Error, this, &frmJoiner::cAudioJoin1_Error);
    connect(cAudioJoin1, &cAudioJoin::Warning, this, [this](const QString &text) { log(text); });
}

frmJoiner::~frmJoiner() = default;

void frmJoiner::HandOver(const QVector<ItemsListRow::Data> &rows, const QString &listName)
{
    qint64 seconds = 0;
    qint64 bytes = 0;
    for (const ItemsListRow::Data &data : rows) {
        seconds += data.seconds().value_or(0);
        bytes += data.bytes();
    }
    setHandOverTexts(QString::number(rows.size()) + QStringLiteral(" items to join."),
                     QStringLiteral("Total Time: ") + mdlFunctions::SecondsToHMS(qint32(seconds)),
                     QStringLiteral("Total Size: ") + mdlFileSystem::FormatFileSize(double(bytes)), listName);
    for (const ItemsListRow::Data &data : rows)
        setJobRow(jobRecordCount() + 1, data);
    if (jobRecordCount() > 0)
        cGrid1->setSelectedRow(1);
}

AudioDestination &frmJoiner::jobDestination()
{
    return *cAudioJoin1;
}

void frmJoiner::releaseJobControl()
{
    cAudioJoin1->Terminate();
}

void frmJoiner::cmdConvert_Click()
{
    if (isRunning() || !checkDestinationFolder() || !checkDestinationFormat())
        return;
    separateJobsInLog();
    storeDestinationInHistory();
    log(QStringLiteral("Preparing to join: ") + QString::number(jobRecordCount()) + QStringLiteral(" tracks."));
    m_bErrorOccurred = 0;
    m_lLastFileIndex = 0;
    showLogPage();
    SetDestination();
    makeDestinationSubFolder();
    JoinFiles();
}

qint32 frmJoiner::JoinFiles()
{
    // The template is typed freely: a "/" or "../" in it would reach outside
    // the destination folder.
    const QString name = OutputFileNames::usableFileName(MakeJoinedFileName(txtJoinedFileName->text()));
    if (name.isEmpty()) {
        m_bErrorOccurred = -1;
        log(QStringLiteral("Error: The name template \"") + txtJoinedFileName->text()
            + QStringLiteral("\" gives no file name."));
        return TaskCancel;
    }
    SetID3Tags(1);
    for (qint32 n = cAudioJoin1->FileCount(); n > 0; --n)
        cAudioJoin1->RemoveFile(1);
    for (int row = 1; row <= jobRecordCount(); ++row) {
        // A range that cannot be read takes the whole file rather than
        // losing it from the joined file.
        const auto range = jobRow(row) ? jobRow(row)->range() : std::nullopt;
        const qint32 start = range ? range->first : -1;
        const qint32 length = range ? range->second : -1;
        cAudioJoin1->AddFile(cellText(row, ItemsListRow::File), start, length);
    }

    const QString path = destinationFolder() + OutputFileNames::fittedFileNameIn(destinationFolder(), name);
    const qint32 answer = askOverwrite(path);
    if (answer != TaskStarted)
        return answer;

    cAudioJoin1->DestFile(path);
    prgTotal->setMax(jobRecordCount() * 100);
    setRunning(true);
    lblCurrentTrack->setText(QStringLiteral("Processing..."));
    cAudioJoin1->Join();
    return TaskStarted;
}

QString frmJoiner::MakeJoinedFileName(const QString &sTemplate) const
{
    QString name = sTemplate;
    const QString format = cboTargetFormat->currentText();
    const int dash = int(format.indexOf(QStringLiteral(" -")));
    name.replace(QStringLiteral("[dest_extension]"), (dash >= 0 ? format.left(dash) : format).toLower());
    // The joined files may have several extensions; the first item's stands for them.
    const QString firstFile = cellText(1, ItemsListRow::File);
    name.replace(QStringLiteral("[source_extension]"),
                 mdlFunctions::GetExtensionPart(mdlFunctions::GetFileName(firstFile)).toLower());
    name.replace(QStringLiteral("[time]"),
                 QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).replace(QLatin1Char(':'), QLatin1Char('-')));
    name.replace(QStringLiteral("[date]"), OutputFileNames::dateToken(QDate::currentDate()));
    return name;
}

void frmJoiner::cAudioJoin1_Progress(qint32 fileIndex, qint32 percent)
{
    if (percent < 1)
        return;
    prgCurrnet->setValue(percent);
    prgTotal->setValue((fileIndex - 1) * 100 + percent);
    lblFilesToConvert->setText(QStringLiteral("Files: ") + QString::number(fileIndex) + QLatin1Char('/')
                               + QString::number(jobRecordCount()));
    setWindowTitle(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    if (fileIndex != m_lLastFileIndex) {
        m_lLastFileIndex = fileIndex;
        qint32 start = 0;
        qint32 length = 0;
        log(QStringLiteral("Add ") + mdlFunctions::GetFileName(cAudioJoin1->GetFile(fileIndex, start, length))
            + QStringLiteral("..."));
    }
}

void frmJoiner::cAudioJoin1_Done()
{
    balloon(QStringLiteral("Done."));
    lblCurrentTrack->setText(QStringLiteral("Done."));
    setRunning(false);
    DoEndEvents();
    log(QStringLiteral("Done."));
    prgCurrnet->setValue(100);
    prgTotal->setValue(jobRecordCount() * 100);
}

void frmJoiner::cAudioJoin1_Error(qint32 code, const QString &text)
{
    m_bErrorOccurred = -1;
    log(QStringLiteral("Error: ") + text + QLatin1Char('(') + QString::number(code) + QLatin1Char(')'));
    setRunning(false);
}

void frmJoiner::cAudioJoin1_Aborted()
{
    onItemAborted();
}

void frmJoiner::abortJobControl()
{
    cAudioJoin1->Abort();
    cAudioJoin1->AbortCleanup();
}

namespace Forms {

frmJoiner *joiner()
{
    return g_frmJoiner;
}

frmJoiner &loadJoiner(QWidget *owner)
{
    return load(g_frmJoiner, owner);
}

} // namespace Forms
