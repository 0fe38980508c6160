#include "tools/burn/frmDataBurner3.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/cd/cAudioDataBurner.h"
#include "controls/cd/cBurner.h"
#include "controls/ui/cGrid.h"
#include "core/LinkLabel.h"
#include "core/UserSettingsStore.h"
#include "core/forms.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "lists/ItemsListRow.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "tools/frame/ToolHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLabel>

#include <algorithm>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

ToolWindowLook dataBurnerLook()
{
    ToolWindowLook look;
    look.caption = QStringLiteral("Audio Data Burner");
    look.iconName = QStringLiteral("cd_music");
    look.firstTabCaption = QStringLiteral("Options        ");
    look.firstTabIcon = 72;
    look.convertCaption = QStringLiteral("Burn");
    look.playSoundCaption = QStringLiteral("Play a sound");
    look.noticeAppCaption = QStringLiteral("Execute external program ");
    look.hasOverWrite = false;
    look.jobItemLogText = QStringLiteral("Start to convert: ");
    return look;
}

const QString kEngineV1 = QStringLiteral("IMAPI V1 - CDs only.");
const QString kEngineV2 = QStringLiteral("IMAPI V2 - CDs / DVDs");

QPointer<frmDataBurner3> g_frmDataBurner3;

} // namespace

frmDataBurner3::frmDataBurner3(QWidget *parent)
    : AudioConverterWindow(dataBurnerLook(), parent)
    , cAudioDataBurner1(new cAudioDataBurner(this))
    , cBurner1(new cBurner(this))
{
    buildBurnerControls();

    // The burner's own start handler replaces the row windows' one.
    disconnect(cmdConvert, &QPushButton::clicked, this, &RowJobWindow::cmdConvert_Click);
    connect(cmdConvert, &QPushButton::clicked, this, &frmDataBurner3::cmdConvert_Click);

    connect(cAudioDataBurner1, &cAudioDataBurner::BurnStart, this, &frmDataBurner3::cAudioDataBurner1_BurnStart);
    connect(cAudioDataBurner1, &cAudioDataBurner::Progress, this, &frmDataBurner3::cAudioDataBurner1_Progress);
    connect(cAudioDataBurner1, &cAudioDataBurner::ClosingSession, this,
            &frmDataBurner3::cAudioDataBurner1_ClosingSession);
    connect(cAudioDataBurner1, &cAudioDataBurner::Finished, this, &frmDataBurner3::cAudioDataBurner1_Finished);
    connect(cAudioDataBurner1, &cAudioDataBurner::Message, this, &frmDataBurner3::cAudioDataBurner1_Message);
    connect(cAudioDataBurner1, &cAudioDataBurner::Warning, this, [this](const QString &text) { log(text); });

    const auto logAndShow = [this](const QString &line, const QString &status) {
        log(line);
        lblCurrentTrack->setText(status);
    };
    connect(cBurner1, &cBurner::Initializing, this,
            [logAndShow] { logAndShow(QStringLiteral("BurnerInitializing..."), QStringLiteral("BurnerInitializing...")); });
    connect(cBurner1, &cBurner::Adding, this, &frmDataBurner3::cBurner1_Adding);
    connect(cBurner1, &cBurner::Counts, this, &frmDataBurner3::cBurner1_Counts);
    connect(cBurner1, &cBurner::StartBurning, this, [this, logAndShow] {
        logAndShow(QStringLiteral("StartBurning..."), QStringLiteral("StartBurning..."));
        SetBurnControlsEnabled(false);
    });
    connect(cBurner1, &cBurner::Progress, this, &frmDataBurner3::cBurner1_Progress);
    connect(cBurner1, &cBurner::Finalization, this, [logAndShow] {
        logAndShow(QStringLiteral("BurnerFinalization - Please wait..."), QStringLiteral("BurnerFinalization"));
    });
    connect(cBurner1, &cBurner::Completed, this,
            [logAndShow] { logAndShow(QStringLiteral("BurnerCompleted."), QStringLiteral("BurnerCompleted.")); });
    connect(cBurner1, &cBurner::DoneBurn, this,
            [logAndShow] { logAndShow(QStringLiteral("BurnerDoneBurn."), QStringLiteral("BurnerDoneBurn.")); });
    connect(cBurner1, &cBurner::Canceled, this,
            [logAndShow] { logAndShow(QStringLiteral("BurnerCanceled..."), QStringLiteral("BurnerCanceled...")); });
    connect(cBurner1, &cBurner::BurnEnd, this, &frmDataBurner3::cBurner1_BurnEnd);
    connect(cBurner1, &cBurner::Error, this, &frmDataBurner3::cBurner1_Error);
    connect(cBurner1, &cBurner::Warning, this, [this](const QString &text) { log(text); });
}

frmDataBurner3::~frmDataBurner3()
{
    m_copy.stop();
}

void frmDataBurner3::buildBurnerControls()
{
    // The destination block of the frame has no place here: the files go to
    // the temporary folder and from there onto the disc.
    for (QWidget *w : std::initializer_list<QWidget *>{txtToPath, cmdSelectPath, lblSetAsDefaultDestination,
                                                       chkCreateSubFolder, txtUndeForlder,
                                                       lblOpenDestinationDestinationFolder, lblSetAsDefaultFormat,
                                                       lblSetAsDefaultFileName})
        w->hide();
    for (QLabel *label : TabSettings->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == QLatin1String("Destination folder:"))
            label->hide();
        else if (label->text() == QLatin1String("Target format:"))
            lblCDFormat = label;
        else if (label->text() == QLatin1String("Output file name format:"))
            label->setText(QStringLiteral("File Name Format:"));
    }
    if (lblCDFormat)
        lblCDFormat->setText(QStringLiteral("CD Format:"));

    const auto label = [this](const QString &text, int x, int y, int width) {
        auto *l = new QLabel(text, TabSettings);
        l->setGeometry(x, y, width, 22);
        return l;
    };
    label(QStringLiteral("Burning Engine:"), 8, 8, 110);
    cmbEngine = new QComboBox(TabSettings);
    cmbEngine->addItems({kEngineV1, kEngineV2});
    cmbEngine->setCurrentIndex(-1);
    cmbEngine->setGeometry(120, 8, 200, 24);

    label(QStringLiteral("Destination CD:"), 8, 36, 110);
    cboDrv = new QComboBox(TabSettings);
    cboDrv->setGeometry(120, 36, 250, 24);
    lblRefreshCDInfo = new LinkLabel(QStringLiteral("Refresh"), TabSettings);
    lblRefreshCDInfo->setToolTip(QStringLiteral("Refresh CD Information"));
    lblRefreshCDInfo->setGeometry(428, 40, 50, 18);
    lblOpenCDDoor = new LinkLabel(QStringLiteral("Open"), TabSettings);
    lblOpenCDDoor->setToolTip(QStringLiteral("Open CD"));
    lblOpenCDDoor->setGeometry(482, 40, 40, 18);
    lblCloseCDDoor = new LinkLabel(QStringLiteral("Close"), TabSettings);
    lblCloseCDDoor->setToolTip(QStringLiteral("Close CD"));
    lblCloseCDDoor->setGeometry(524, 40, 40, 18);
    lblCDStatus = new QLabel(QStringLiteral("Ready."), TabSettings);
    // The links and the state follow the box side by side, each as wide as its text.
    int left = cboDrv->x() + cboDrv->width() + 8;
    for (QLabel *link : {static_cast<QLabel *>(lblRefreshCDInfo), static_cast<QLabel *>(lblOpenCDDoor),
                         static_cast<QLabel *>(lblCloseCDDoor)}) {
        link->setGeometry(left, 40, link->sizeHint().width(), 18);
        left += link->width() + 6;
    }
    lblCDStatus->setGeometry(left, 36, std::max(lblCDStatus->sizeHint().width(), 576 - left), 22);

    // The write speed is always the drive's fastest: the list stays hidden.
    lblSpeed = label(QStringLiteral("Speeds:"), 330, 8, 60);
    lblSpeed->hide();
    cboSpeed = new QComboBox(TabSettings);
    cboSpeed->setGeometry(390, 8, 150, 24);
    cboSpeed->hide();

    label(QStringLiteral("CD Name:"), 8, 64, 110);
    txtCDName = new QLineEdit(TabSettings);
    txtCDName->setGeometry(120, 64, 200, 22);
    label(QStringLiteral("Publisher ID:"), 330, 64, 90);
    PublisherID = new QLineEdit(QStringLiteral("Publisher"), TabSettings);
    PublisherID->setGeometry(420, 64, 150, 22);

    chkDoNotConvertSource = new QCheckBox(
        QStringLiteral("Do not convert the source items (burn the Items List with the same format they are)"), TabSettings);
    chkDoNotConvertSource->setGeometry(8, 142, 600, 22);

    lblFileSys = label(QStringLiteral("File Sytem:"), 8, 228, 80);
    chkISO = new QCheckBox(QStringLiteral("ISO"), TabSettings);
    chkISO->setGeometry(90, 228, 60, 22);
    chkJOLIET = new QCheckBox(QStringLiteral("JOLIET"), TabSettings);
    chkJOLIET->setGeometry(150, 228, 80, 22);
    chkUDF = new QCheckBox(QStringLiteral("UDF"), TabSettings);
    chkUDF->setGeometry(230, 228, 60, 22);
    chkISO->setChecked(true);
    chkJOLIET->setChecked(true);

    chkOpenDestFolder->setText(QStringLiteral("Open destination folder"));
    QFont bold = font();
    bold.setBold(true);
    chkOpenCDdrive = new QCheckBox(QStringLiteral("Eject the CD door"), TabEvents);
    chkOpenCDdrive->setGeometry(320, 32, 260, 22);
    chkOpenCDdrive->setFont(bold);
    chkOpenCDdrive->setChecked(true);
    chkEraseTempfiles = new QCheckBox(QStringLiteral("Erase Temp files"), TabEvents);
    chkEraseTempfiles->setGeometry(320, 56, 260, 22);
    chkEraseTempfiles->setFont(bold);
    chkEraseTempfiles->setChecked(true);
    lblErasetempfilesnow = new LinkLabel(QStringLiteral("Erase temp files now."), TabEvents);
    lblErasetempfilesnow->setGeometry(320, 84, 200, 18);

    connect(cmbEngine, &QComboBox::currentIndexChanged, this, [this] { cmbEngine_Click(); });
    connect(cboDrv, &QComboBox::currentIndexChanged, this, [this] { cboDrv_Click(); });
    connect(chkDoNotConvertSource, &QCheckBox::clicked, this, &frmDataBurner3::chkDoNotConvertSource_Click);
    connect(lblRefreshCDInfo, &LinkLabel::clicked, this, &frmDataBurner3::lblRefreshCDInfo_Click);
    connect(lblOpenCDDoor, &LinkLabel::clicked, this, &frmDataBurner3::lblOpenCDDoor_Click);
    connect(lblCloseCDDoor, &LinkLabel::clicked, this, &frmDataBurner3::lblCloseCDDoor_Click);
    connect(lblErasetempfilesnow, &LinkLabel::clicked, this, &frmDataBurner3::lblErasetempfilesnow_Click);
}

void frmDataBurner3::loadOwnControls()
{
    AudioConverterWindow::loadOwnControls();
    // Every launch starts with the first template, whatever the default is.
    cboFileName->setCurrentIndex(cboFileName->count() > 0 ? 0 : -1);
    txtToPath->setEditText(GetTempFolder());

    FillDrivesImapiV1();
    bool ok = false;
    const double stored = UserSettingsStore::Get(UserSettingsStore::burnerEngine()).trimmed().toDouble(&ok);
    const double engine = ok && std::isfinite(stored) ? std::nearbyint(stored) : 0.0;
    // An index the list does not have leaves it without a choice.
    if (engine >= -1 && engine < cmbEngine->count())
        cmbEngine->setCurrentIndex(int(engine));
    else
        cmbEngine->setCurrentIndex(-1);
    UpdateTargetFormatState();
}

void frmDataBurner3::HandOverCommand(const QString &commandKey, const QVector<ItemsListRow::Data> &rows,
                                     const QString &listName)
{
    lblTitle->setText(commandKey);
    setWindowTitle(lblTitle->text());
    HandOver(rows, listName);
    lblFilesToConvert->setText(QString::number(rows.size()) + QStringLiteral(" items to burn."));
    const QString format = commandKey == QLatin1String("WMA CD Maker")
                               ? QStringLiteral("WMA - Windows Media Audio files (*.wma)")
                               : QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    cboTargetFormat->setCurrentIndex(cboTargetFormat->findText(format, Qt::MatchExactly));
    txtCDName->setText(mdlFunctions::MakeSafeFileName(listName));
}

std::optional<QString> frmDataBurner3::destExtension() const
{
    return OutputFileNames::extensionOfFormat(cboTargetFormat->currentText());
}

qint32 frmDataBurner3::trackNumber() const
{
    // The job selects the row it converts, and rows are the items in order.
    return tagRow();
}

void frmDataBurner3::chkDoNotConvertSource_Click()
{
    UpdateTargetFormatState();
}

void frmDataBurner3::UpdateTargetFormatState()
{
    const bool convert = !chkDoNotConvertSource->isChecked();
    cboTargetFormat->setEnabled(convert);
    cmdEditTargetFormat->setEnabled(convert);
    if (lblCDFormat)
        lblCDFormat->setEnabled(convert);
}

QString frmDataBurner3::GetTempFolder()
{
    return AppPaths::programFolder() + QStringLiteral("/datacdtmp/");
}

void frmDataBurner3::EraseTempFiles()
{
    const QString folder = GetTempFolder();
    const QFileInfo info(folder.chopped(1));
    // A folder that is a link leads elsewhere: what it holds is not ours.
    if (!info.exists() || info.isSymLink() || !info.isDir())
        return;
    QSet<QString> sources;
    for (qint32 row = 1; row <= cGrid1->Rows(); ++row)
        sources.insert(QFileInfo(cGrid1->CellText(row, ItemsListRow::File)).canonicalFilePath());
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::System);
    for (const QFileInfo &file : files) {
        // An item the user keeps in the folder is not a temporary file.
        if (sources.contains(file.canonicalFilePath()) && !file.isSymLink())
            continue;
        QFile::remove(file.absoluteFilePath());
    }
}

void frmDataBurner3::lblErasetempfilesnow_Click()
{
    // The files of a job that is converting or burning are still needed.
    if (isRunning()) {
        MsgBox(QStringLiteral("The temporary files are in use; erase them when the job has ended."),
               int(Msg::OkOnly) + Msg::Information);
        return;
    }
    EraseTempFiles();
    MsgBox(QStringLiteral("Done.") + QString(28, QLatin1Char(' ')), int(Msg::OkOnly) + Msg::Information);
}

void frmDataBurner3::releaseJobControl()
{
    EraseTempFiles();
    UserSettingsStore::Save(UserSettingsStore::burnerEngine(), QString::number(cmbEngine->currentIndex()));
    cAudioConverter1->Terminate();
    cAudioDataBurner1->Terminate();
}

namespace Forms {

frmDataBurner3 *dataBurner3()
{
    return g_frmDataBurner3;
}

frmDataBurner3 &loadDataBurner3(QWidget *owner)
{
    return load(g_frmDataBurner3, owner);
}

} // namespace Forms
