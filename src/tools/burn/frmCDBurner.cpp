#include "tools/burn/frmCDBurner.h"

#include "controls/cd/cAudioBurner.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cProgressBar.h"
#include "controls/ui/cStatusBar.h"
#include "core/LinkLabel.h"
#include "core/UserSettingsStore.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "lists/ItemsGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>

#include <cmath>

namespace {

// The size bar fills the page's width.
constexpr int kBarWidth = 570;

ToolWindowLook cdBurnerLook()
{
    ToolWindowLook look;
    look.caption = QStringLiteral("Audio CD Burner");
    look.iconName = QStringLiteral("cd_music");
    look.firstTabCaption = QStringLiteral("Burner Options   ");
    look.firstTabIcon = 73;
    look.convertCaption = QStringLiteral("Burn");
    look.playSoundCaption = QStringLiteral("Play a sound");
    look.noticeAppCaption = QStringLiteral("Execute external program ");
    look.hasOverWrite = false;
    look.hasTargetFormat = false;
    return look;
}

// Whole minutes, a half going to the even neighbour.
qint64 roundedMinutes(double minutes)
{
    return qint64(std::nearbyint(minutes));
}

constexpr qint32 kMaxSpeed = 65535;
constexpr double kCapacityUnitsPerSecond = 153535.0;

QPointer<frmCDBurner> g_frmCDBurner;

} // namespace

frmCDBurner::frmCDBurner(QWidget *parent)
    : ToolWindow(cdBurnerLook(), parent)
    , cAudioBurner1(new cAudioBurner(this))
{
    buildBurnerControls();
    connect(cmdConvert, &QPushButton::clicked, this, &frmCDBurner::cmdConvert_Click);

    connect(cAudioBurner1, &cAudioBurner::TrackProgress, this, &frmCDBurner::cAudioBurner1_TrackProgress);
    connect(cAudioBurner1, &cAudioBurner::Progress, this, &frmCDBurner::cAudioBurner1_Progress);
    connect(cAudioBurner1, &cAudioBurner::ClosingSession, this, &frmCDBurner::cAudioBurner1_ClosingSession);
    connect(cAudioBurner1, &cAudioBurner::ClosingTrack, this, &frmCDBurner::cAudioBurner1_ClosingTrack);
    connect(cAudioBurner1, &cAudioBurner::CachingTrack, this, &frmCDBurner::cAudioBurner1_CachingTrack);
    connect(cAudioBurner1, &cAudioBurner::WritingTrack, this, &frmCDBurner::cAudioBurner1_WritingTrack);
    connect(cAudioBurner1, &cAudioBurner::Finished, this, &frmCDBurner::cAudioBurner1_Finished);
    connect(cAudioBurner1, &cAudioBurner::Error, this, &frmCDBurner::cAudioBurner1_Error);
}

frmCDBurner::~frmCDBurner() = default;

void frmCDBurner::buildBurnerControls()
{
    // No destination folder: the tracks go onto the disc.
    for (QWidget *w : std::initializer_list<QWidget *>{txtToPath, cmdSelectPath, lblSetAsDefaultDestination,
                                                       chkCreateSubFolder, txtUndeForlder})
        w->hide();
    for (QLabel *label : TabSettings->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == QLatin1String("Destination folder:"))
            label->hide();
    }
    disconnect(lblOpenDestinationDestinationFolder, nullptr, this, nullptr);
    lblOpenDestinationDestinationFolder->setText(QStringLiteral("Browse with explorer"));
    lblOpenDestinationDestinationFolder->setToolTip(QStringLiteral("Browse with the explorer."));
    lblOpenDestinationDestinationFolder->setGeometry(8, 236, 200, 18);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::clicked, this,
            &frmCDBurner::lblOpenDestinationDestinationFolder_Click);

    const auto label = [this](const QString &text, int x, int y, int width) {
        auto *l = new QLabel(text, TabSettings);
        l->setGeometry(x, y, width, 22);
        return l;
    };
    label(QStringLiteral("CDs:"), 8, 8, 60);
    cboDrv = new QComboBox(TabSettings);
    cboDrv->setGeometry(70, 8, 360, 24);
    label(QStringLiteral("Speeds:"), 8, 38, 60);
    cboSpeed = new QComboBox(TabSettings);
    cboSpeed->setGeometry(70, 38, 200, 24);
    cmdOpenCD = new QPushButton(QStringLiteral("Open CD"), TabSettings);
    cmdOpenCD->setGeometry(440, 8, 80, 24);
    cmdClose = new QPushButton(QStringLiteral("Close CD"), TabSettings);
    cmdClose->setGeometry(440, 38, 80, 24);

    label(QStringLiteral("Disk Size"), 8, 72, 100);
    label(QStringLiteral("-"), 110, 72, 10);
    lblDiskSize = label(QStringLiteral("Disk Size"), 124, 72, 300);
    label(QStringLiteral("Disk Capacity"), 8, 96, 100);
    label(QStringLiteral("-"), 110, 96, 10);
    lblDiskCapacity = label(QStringLiteral("Disk Capacity"), 124, 96, 300);
    label(QStringLiteral("Disk State"), 8, 120, 100);
    label(QStringLiteral("-"), 110, 120, 10);
    lblState = label(QStringLiteral("State"), 124, 120, 480);

    lblDataSize = label(QStringLiteral("Data Size:"), 8, 152, kBarWidth);
    prgSize = new cProgressBar(TabSettings);
    prgSize->setGeometry(8, 178, kBarWidth, 18);
    prgSize->setMin(0);
    prgSize->setMax(83);
    label(QStringLiteral("0 MIN"), 8, 198, 60);
    // The last mark's text ends under the bar's end rather than past the page.
    QLabel *lastMark = label(QStringLiteral("80 MIN"), 8 + kBarWidth * kDiscMinutes / 83 - 60, 198, 60);
    lastMark->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    lblEventsSettings->setToolTip(QStringLiteral("Parameters"));
    chkOpenCDdrive = new QCheckBox(QStringLiteral("Open the CD drive"), TabEvents);
    QFont bold = chkOpenCDdrive->font();
    bold.setBold(true);
    chkOpenCDdrive->setFont(bold);
    chkOpenCDdrive->setGeometry(320, 32, 260, 22);

    connect(cboDrv, &QComboBox::currentIndexChanged, this, [this] { cboDrv_Click(); });
    connect(cmdOpenCD, &QPushButton::clicked, this, &frmCDBurner::cmdOpenCD_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmCDBurner::cmdClose_Click);
}

void frmCDBurner::loadOwnControls()
{
    FillDrives();
    bool ok = false;
    const int stored = UserSettingsStore::Get(UserSettingsStore::openCdDrive()).trimmed().toInt(&ok);
    chkOpenCDdrive->setChecked(ok && stored == 1);
}

void frmCDBurner::HandOver(const QVector<ItemsListRow::Data> &rows, qint64 seconds)
{
    const qint64 n = rows.size();
    const double minutes = double(seconds) / 60.0;
    const qint64 m = roundedMinutes(minutes);
    lblFilesToConvert->setText(QString::number(n) + QStringLiteral(" items to burn (") + QString::number(m)
                               + QStringLiteral(" minutes)."));
    cStatusBar1->setPanelText(QStringLiteral("Total Size"), QString::number(m) + QStringLiteral(" Min / ")
                                                                + QString::number(kDiscMinutes) + QStringLiteral(" Min."));
    prgSize->setMin(0);
    prgSize->setMax(83);
    prgSize->setValue(int(qMin<qint64>(m, prgSize->Max())));
    QFont font = lblDataSize->font();
    if (minutes > kDiscMinutes) {
        prgSize->setBarColor(255);
        lblDataSize->setText(QStringLiteral("Data is to big (more then 80 min). Please remove some tracks."));
        font.setBold(true);
    } else {
        lblDataSize->setText(QStringLiteral("Data Size: ") + QString::number(n) + QStringLiteral(" files, ")
                             + QString::number(m) + QStringLiteral(" Min / ") + QString::number(kDiscMinutes)
                             + QStringLiteral(" Min."));
        font.setBold(false);
    }
    lblDataSize->setFont(font);
    for (const ItemsListRow::Data &data : rows)
        setJobRow(jobRecordCount() + 1, data);
}

QString frmCDBurner::driveLetter() const
{
    return cboDrv->currentText().left(1);
}

void frmCDBurner::FillDrives()
{
    const qint32 count = cAudioBurner1->DriveCount();
    for (qint32 i = 1; i <= count; ++i)
        cboDrv->addItem(cAudioBurner1->DriveName(i));
    if (cboDrv->count() > 0)
        cboDrv->setCurrentIndex(0);
}

void frmCDBurner::FillSpeeds()
{
    const QString letter = driveLetter();
    const qint32 count = cAudioBurner1->SpeedCount(letter);
    cboSpeed->clear();
    for (qint32 i = 1; i <= count; ++i) {
        const qint32 speed = cAudioBurner1->Speed(i);
        cboSpeed->addItem(QString::number(speed) + QStringLiteral(" KB/s (") + QString::number(speed / 176)
                              + QStringLiteral("x)"),
                          speed);
    }
    cboSpeed->addItem(QStringLiteral("Max."), kMaxSpeed);
    cboSpeed->setCurrentIndex(cboSpeed->count() - 1);
}

void frmCDBurner::cboDrv_Click()
{
    if (cboDrv->currentIndex() < 0)
        return;
    const QString letter = driveLetter();
    FillSpeeds();
    lblDiskSize->setText(QString::number(cAudioBurner1->DiskSize(letter)));
    lblDiskCapacity->setText(
        QString::number(roundedMinutes(double(cAudioBurner1->DiskCapacity(letter)) / kCapacityUnitsPerSecond / 60.0))
        + QStringLiteral(" Min"));
    const QString state = cAudioBurner1->DriveState(letter);
    QFont font = lblState->font();
    QPalette palette = lblState->palette();
    if (state.isEmpty()) {
        lblState->setText(QStringLiteral("OK - Ready to be burn."));
        palette.setColor(QPalette::WindowText, QColor(0, 0x80, 0));
        font.setBold(false);
    } else {
        lblState->setText(state);
        palette.setColor(QPalette::WindowText, QColor(0xFF, 0, 0));
        font.setBold(true);
    }
    lblState->setPalette(palette);
    lblState->setFont(font);
}

void frmCDBurner::lblOpenDestinationDestinationFolder_Click()
{
    // The drive's entry names its device or image file: open where the
    // written disc can be seen.
    QString target = cboDrv->currentText().mid(3);
    if (target.endsWith(QLatin1String(" (image file)")))
        target.chop(13);
    const QFileInfo image(target);
    if (!target.isEmpty() && !target.startsWith(QLatin1String("/dev/")))
        mdlFunctions::ShellOpen(this, image.absolutePath());
}

void frmCDBurner::releaseJobControl()
{
    cAudioBurner1->Terminate();
    UserSettingsStore::Save(UserSettingsStore::openCdDrive(), chkOpenCDdrive->isChecked() ? QStringLiteral("1")
                                                                                         : QStringLiteral("0"));
}

namespace Forms {

frmCDBurner *cdBurner()
{
    return g_frmCDBurner;
}

frmCDBurner &loadCDBurner(QWidget *owner)
{
    return load(g_frmCDBurner, owner);
}

} // namespace Forms
