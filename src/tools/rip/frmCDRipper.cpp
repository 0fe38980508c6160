#include "tools/rip/frmCDRipper.h"

#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cGrid.h"
#include "core/LinkLabel.h"
#include "core/forms.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "lists/ItemsGrid.h"
#include "lists/ItemsListRow.h"
#include "settings/OptionSettings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

ToolWindowLook ripperLook()
{
    ToolWindowLook look;
    look.caption = QStringLiteral("Audio CD Ripper");
    look.itemNoun = QStringLiteral("track");
    look.iconName = QStringLiteral("cd_music");
    look.firstTabCaption = QStringLiteral("Ripper Options    ");
    look.firstTabIcon = 25;
    look.convertCaption = QStringLiteral("Rip");
    look.playSoundCaption = QStringLiteral("Play a sound");
    look.noticeAppCaption = QStringLiteral("Execute external program");
    look.hasOverWrite = true;
    look.jobItemLogText = QStringLiteral("Start to rip: ");
    look.jobStartLogText = QStringLiteral("Preparing to rip: ");
    return look;
}

// Height of the drive rows that stand above the frame's destination block.
constexpr int kDriveRows = 52;

void setColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QPointer<frmCDRipper> g_frmCDRipper;

} // namespace

frmCDRipper::frmCDRipper(QWidget *parent)
    : RowJobWindow(ripperLook(), parent)
    , cAudioCDRipper1(new cAudioCDRipper(this))
{
    // The drive comes first on the page: the frame's block moves down.
    for (QWidget *child : TabSettings->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->move(child->x(), child->y() + kDriveRows);
    for (QLabel *label : TabSettings->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == QLatin1String("Destination folder:"))
            label->setText(QStringLiteral("Destination:"));
        else if (label->text() == QLatin1String("Target format:"))
            label->setText(QStringLiteral("Audio Format:"));
    }

    auto *cdLabel = new QLabel(QStringLiteral("Audio CD:"), TabSettings);
    cdLabel->setGeometry(8, 6, 70, 18);
    lblCDStatus = new QLabel(QStringLiteral("Ready."), TabSettings);
    lblCDStatus->setGeometry(80, 6, 480, 18);
    cboDevices = new QComboBox(TabSettings);
    cboDevices->setGeometry(8, 26, 420, 24);
    cmdOpenCD = new QPushButton(QStringLiteral("Open"), TabSettings);
    cmdOpenCD->setGeometry(434, 26, 60, 24);

    // The name box keeps its links on its caption's line.
    const int top = kOwnSettingsTop + kDriveRows;
    lblFileNameFormat->setText(QStringLiteral("File Name Format:"));
    lblFileNameFormat->setGeometry(8, top, 130, 18);
    lblSetAsDefaultFileName->setToolTip(QStringLiteral("Set as default file name format"));
    lblSetAsDefaultFileName->setGeometry(140, top, 100, 18);
    lblParameters->setToolTip(QStringLiteral("Parameters"));
    lblParameters->setGeometry(250, top, 100, 18);
    cboFileName->setGeometry(8, top + 20, 420, 24);

    // "Eject the CD door" is ticked by design at every opening and stored nowhere.
    chkOpenCDdrive = new QCheckBox(QStringLiteral("Eject the CD door"), TabEvents);
    QFont bold = chkOpenCDdrive->font();
    bold.setBold(true);
    chkOpenCDdrive->setFont(bold);
    chkOpenCDdrive->setChecked(true);
    chkOpenCDdrive->setGeometry(16, 128, 300, 22);
    lblEventsSettings->move(lblEventsSettings->x(), 160);

    lblFilesToConvert->resize(380, lblFilesToConvert->height());
    lblTimeLeft->setGeometry(400, lblFilesToConvert->y(), 190, lblFilesToConvert->height());
    QFont boldButton = cmdConvert->font();
    boldButton.setBold(true);
    cmdConvert->setFont(boldButton);

    connect(cboDevices, &QComboBox::currentIndexChanged, this, [this] { cboDevices_Click(); });
    connect(cAudioCDRipper1, &cAudioCDRipper::Progress, this, &frmCDRipper::cAudioCDRipper1_Progress);
    connect(cAudioCDRipper1, &cAudioCDRipper::Done, this, &frmCDRipper::cAudioCDRipper1_Done);
    connect(cAudioCDRipper1, &cAudioCDRipper::Aborted, this, &frmCDRipper::cAudioCDRipper1_Aborted);
    connect(cAudioCDRipper1, &cAudioCDRipper::Error, this, &frmCDRipper::cAudioCDRipper1_Error);
}

frmCDRipper::~frmCDRipper() = default;

AudioDestination &frmCDRipper::jobDestination()
{
    return *cAudioCDRipper1;
}

void frmCDRipper::releaseJobControl()
{
    Timer1->stop();
    cAudioCDRipper1->Terminate();
}

void frmCDRipper::loadOwnControls()
{
    RowJobWindow::loadOwnControls();
    FillCDDevices();
}

void frmCDRipper::HandOver(const QVector<ItemsListRow::Data> &rows, const QString &nodeText, const QString &drive)
{
    qint32 marked = 0;
    qint64 seconds = 0;
    qint64 bytes = 0;
    for (int row = 1; row <= rows.size(); ++row) {
        const ItemsListRow::Data &data = rows.at(row - 1);
        setJobRow(row, data);
        cGrid1->setCellIcon(row, ItemsListRow::Inc, data.incIcon);
        if (data.incIcon != ItemsListRow::IconMarked)
            continue;
        ++marked;
        seconds += data.seconds().value_or(0);
        bytes += data.bytes();
    }
    if (cGrid1->Rows() > 0)
        cGrid1->setSelectedRow(1);
    g_ltmrItemSecsTotal = qint32(seconds);
    setHandOverTexts(QString::number(marked) + QStringLiteral(" items to convert."),
                     QStringLiteral("Total Time: ") + mdlFunctions::SecondsToHMS(qint32(seconds)),
                     QStringLiteral("Total Size: ") + mdlFileSystem::FormatFileSize(double(bytes)), nodeText);

    for (int i = 0; i < cboDevices->count(); ++i) {
        if (!drive.isEmpty() && cboDevices->itemText(i).startsWith(drive, Qt::CaseInsensitive)) {
            const QSignalBlocker quiet(cboDevices);
            cboDevices->setCurrentIndex(i);
            break;
        }
    }
    cboDevices_Click();
    cboDevices->setEnabled(false);
    cmdOpenCD->setEnabled(false);
}

// --- Drive list and check ----------------------------------------------------------

void frmCDRipper::FillCDDevices()
{
    {
        const QSignalBlocker quiet(cboDevices);
        for (qint32 i = 0; i < cAudioCDRipper1->DeviceCount(); ++i)
            cboDevices->addItem(cAudioCDRipper1->DeviceName(i));
    }
    if (cboDevices->count() > 0) {
        const QSignalBlocker quiet(cboDevices);
        cboDevices->setCurrentIndex(0);
    }
    if (cboDevices->count() > 0)
        cboDevices_Click();
}

void frmCDRipper::cboDevices_Click()
{
    const qint32 index = cboDevices->currentIndex();
    if (index < 0)
        return;
    const QString drive = cboDevices->currentText().left(2);
    setColour(lblCDStatus, Qt::black);
    lblCDStatus->setText(QStringLiteral("Checking '") + drive + QStringLiteral("\\'..."));
    // One check at a time; a drive chosen meanwhile is checked when the
    // running one ends.
    if (m_checksRunning > 0) {
        m_bCheckPending = true;
        return;
    }
    ++m_checksRunning;

    // A drive may take seconds to spin up and read its table of contents;
    // the window keeps answering meanwhile. The worker asks its own control,
    // so the window's control is never touched from two threads.
    auto result = std::make_shared<DriveCheck>();
    m_driveCheck.start(
        this,
        [index, result](const std::atomic<bool> &) {
            cAudioCDRipper probe;
            result->selected = probe.SelectDevice(index);
            if (!result->selected)
                return;
            result->audio = probe.IsAudioCD();
            if (result->audio)
                result->tracks = probe.TrackCount();
        },
        [this, drive, result] {
            --m_checksRunning;
            // Only the check of the drive chosen last speaks.
            if (m_bCheckPending) {
                m_bCheckPending = false;
                cboDevices_Click();
                return;
            }
            showDriveCheck(drive, *result);
        });
}

void frmCDRipper::showDriveCheck(const QString &drive, const DriveCheck &check)
{
    const QColor red(255, 0, 0);
    if (!check.selected) {
        setColour(lblCDStatus, red);
        lblCDStatus->setText(QStringLiteral("Cannot select '") + drive + QStringLiteral("\\' as an Audio CD."));
    } else if (!check.audio) {
        setColour(lblCDStatus, red);
        lblCDStatus->setText(QStringLiteral("'") + drive + QStringLiteral("\\' is not an Audio CD."));
    } else if (check.tracks < 1) {
        setColour(lblCDStatus, red);
        lblCDStatus->setText(QStringLiteral("'") + drive + QStringLiteral("\\' has no CDA tracks."));
    } else {
        setColour(lblCDStatus, Qt::black);
        lblCDStatus->setText(QStringLiteral("OK: ") + QString::number(check.tracks) + QStringLiteral(" CDA tracks"));
    }
}

void frmCDRipper::closeEvent(QCloseEvent *event)
{
    ToolWindow::closeEvent(event);
    // Gone from now on, even before the instance is deleted: the next
    // command loads a fresh window.
    if (event->isAccepted() && g_frmCDRipper == this)
        g_frmCDRipper = nullptr;
}

namespace Forms {

frmCDRipper *cdRipper()
{
    return g_frmCDRipper;
}

frmCDRipper &loadCDRipper(QWidget *owner)
{
    return load(g_frmCDRipper, owner);
}

} // namespace Forms
