#include "tools/editor/frmMicRecorder.h"

#include "controls/ui/cProgressBar.h"
#include "controls/ui/cStatusBar.h"
#include "core/TextRoom.h"
#include "core/TitleStrip.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"
#include "tools/editor/EditorSkin.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTextCursor>
#include <QTime>
#include <QTimer>

#include <cmath>

namespace {

QPointer<frmMicRecorder> g_frmMicRecorder;

QLabel *label(const QString &text, QWidget *parent, int x, int y, int w = 120)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 20);
    return l;
}

QComboBox *dropDown(const QStringList &entries, QWidget *parent, int x, int y, int w)
{
    auto *box = new QComboBox(parent);
    box->addItems(entries);
    box->setGeometry(x, y, w, 24);
    return box;
}

QPushButton *button(const QString &caption, QWidget *parent, int x, int y, int w = 100)
{
    auto *b = new QPushButton(caption, parent);
    b->setGeometry(x, y, w, 26);
    return b;
}

} // namespace

frmMicRecorder::frmMicRecorder(QWidget *parent)
    : QDialog(parent)
    , cWave1(new cWave(this))
{
    setWindowTitle(QStringLiteral("Audio Recorder"));
    setFixedSize(520, 560);
    buildControls();

    connect(cWave1, &cWave::RecordDone, this, &frmMicRecorder::cWave1_RecordDone);
    connect(cWave1, &cWave::PlayDone, this, &frmMicRecorder::cWave1_PlayDone);
    connect(cWave1, &cWave::Level, this, &frmMicRecorder::cWave1_Level);
    connect(cWave1, &cWave::Error, this, &frmMicRecorder::cWave1_Error);
}

frmMicRecorder::~frmMicRecorder() = default;

void frmMicRecorder::buildControls()
{
    picTitle = new QWidget(this);
    picTitle->setGeometry(12, 8, 496, 32);
    lblTitle = new QLabel(QStringLiteral("Audio Recorder"), picTitle);
    lblTitle->setGeometry(8, 4, 480, 24);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);

    lblDevices = label(QStringLiteral("Devices:"), this, 12, 48);
    cboDevices = new QComboBox(this);
    cboDevices->setGeometry(12, 68, 496, 24);

    Label4 = label(QStringLiteral("Recorder:"), this, 12, 100);
    Label1 = label(QStringLiteral("Bits per sample:"), this, 12, 122);
    cboBitPerSample = dropDown({QStringLiteral("8"), QStringLiteral("16")}, this, 12, 142, 150);
    Label2 = label(QStringLiteral("Samples per second:"), this, 180, 122, 150);
    cboSamplesPerSec = dropDown({QStringLiteral("8000"), QStringLiteral("11025"), QStringLiteral("22050"),
                                 QStringLiteral("44100")},
                                this, 180, 142, 150);
    Label3 = label(QStringLiteral("Channels:"), this, 348, 122);
    cboChannels = dropDown({QStringLiteral("Mono"), QStringLiteral("Stereo")}, this, 348, 142, 160);

    lblWaveFile = label(QStringLiteral("Destination Wave File:"), this, 12, 174, 200);
    txtAudioFile = new QLineEdit(this);
    txtAudioFile->setGeometry(12, 194, 456, 24);
    // The drive root of the default becomes the user's home folder here.
    txtAudioFile->setText(QDir::homePath() + QStringLiteral("/wave_file.wav"));
    cmdPath = button(QStringLiteral("..."), this, 476, 194, 32);

    cmdRecord = button(QString(), this, 12, 228, 40);
    cmdRecord->setIcon(style()->standardIcon(QStyle::SP_DialogYesButton));
    cmdRecord->setToolTip(QStringLiteral("Record"));
    cmdStopRec = button(QString(), this, 58, 228, 40);
    cmdStopRec->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    cmdStopRec->setToolTip(QStringLiteral("Stop"));
    cmdPauseIn = button(QStringLiteral("Pause Record"), this, 104, 228, 110);
    cmdUnPauseIn = button(QStringLiteral("Unpause Record"), this, 220, 228, 110);
    lblRecTime = label(QStringLiteral("0:00:00"), this, 348, 231, 70);
    Label6 = label(QStringLiteral("0:00:30"), this, 420, 231, 70);
    prgMeter = new cProgressBar(this);
    prgMeter->setGeometry(12, 262, 496, 16);
    prgMeter->setMax(120);

    Label5 = label(QStringLiteral("Player:"), this, 12, 290);
    cmdPlay = button(QString(), this, 12, 312, 40);
    cmdPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdPlay->setToolTip(QStringLiteral("Play"));
    cmdStop = button(QString(), this, 58, 312, 40);
    cmdStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    cmdStop->setToolTip(QStringLiteral("Stop"));
    cmdPauseOut = button(QStringLiteral("Pause Play"), this, 104, 312, 110);
    cmdUnPauseOut = button(QStringLiteral("Unpause Play"), this, 220, 312, 110);
    cSlider1 = new QSlider(Qt::Horizontal, this);
    cSlider1->setGeometry(12, 346, 496, 20);
    cSlider1->setRange(0, 100);
    lblCurrentPositionSec = label(QStringLiteral("0:00:00"), this, 12, 368, 70);
    lbTotalLengthSec = label(QStringLiteral("0:00:00"), this, 438, 368, 70);
    lbTotalLengthSec->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    txtResults = new QPlainTextEdit(this);
    txtResults->setGeometry(12, 394, 496, 100);
    txtResults->setReadOnly(true);
    txtResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    cmdAdd = button(QStringLiteral("Add"), this, 296, 502, 100);
    cmdAdd->setFont(bold);
    cmdExit = button(QStringLiteral("Exit"), this, 408, 502, 100);

    cStatusBar1 = new cStatusBar(this);
    cStatusBar1->setGeometry(0, 536, 520, 24);

    tmrRec = new QTimer(this);
    tmrRec->setInterval(1000);
    tmSlider = new QTimer(this);
    tmSlider->setInterval(100);

    connect(cmdPath, &QPushButton::clicked, this, &frmMicRecorder::cmdPath_Click);
    connect(cmdRecord, &QPushButton::clicked, this, &frmMicRecorder::cmdRecord_Click);
    connect(cmdStopRec, &QPushButton::clicked, this, &frmMicRecorder::cmdStopRec_Click);
    connect(cmdPauseIn, &QPushButton::clicked, this, &frmMicRecorder::cmdPauseIn_Click);
    connect(cmdUnPauseIn, &QPushButton::clicked, this, &frmMicRecorder::cmdUnPauseIn_Click);
    connect(cmdPlay, &QPushButton::clicked, this, &frmMicRecorder::cmdPlay_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmMicRecorder::cmdStop_Click);
    connect(cmdPauseOut, &QPushButton::clicked, this, &frmMicRecorder::cmdPauseOut_Click);
    connect(cmdUnPauseOut, &QPushButton::clicked, this, &frmMicRecorder::cmdUnPauseOut_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmMicRecorder::cmdAdd_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMicRecorder::cmdExit_Click);
    connect(tmrRec, &QTimer::timeout, this, &frmMicRecorder::tmrRec_Timer);
    connect(tmSlider, &QTimer::timeout, this, &frmMicRecorder::tmSlider_Timer);
    connect(txtResults, &QPlainTextEdit::textChanged, this, &frmMicRecorder::txtResults_Change);
    for (QComboBox *box : {cboBitPerSample, cboSamplesPerSec, cboChannels})
        connect(box, &QComboBox::currentIndexChanged, this, &frmMicRecorder::UpdateWaveFormat);
}

void frmMicRecorder::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("microphone2"), true);
    applySkin();

    cboBitPerSample->setCurrentIndex(cboBitPerSample->findText(QStringLiteral("16")));
    cboSamplesPerSec->setCurrentIndex(cboSamplesPerSec->findText(QStringLiteral("44100")));
    cboChannels->setCurrentIndex(cboChannels->findText(QStringLiteral("Stereo")));

    cWave1->setMeter(true);
    logEntry(QStringLiteral(": MeterIn=True."));

    UpdateWaveFormat();
    fillDevices();
    TextRoom::fitAll(this);
}

void frmMicRecorder::applySkin()
{
    TitleStrip::applyColors(picTitle, lblTitle);
    EditorSkin::paintViewBack(this);
    EditorSkin::paintViewBack(cSlider1);
    prgMeter->setBarColor(quint32(g_lTitleBackColor));
    // The skin's colour number is the meter's ground; as a caption it would
    // only print digits over the level.
    EditorSkin::paintViewBack(prgMeter);
    if (!g_sViewBackPicture.isEmpty()) {
        EditorSkin::paintViewPicture(this, g_sViewBackPicture);
        const QPixmap picture(AppPaths::programFolder() + QStringLiteral("/View/") + g_sViewBackPicture);
        if (!picture.isNull())
            prgMeter->setPicture(picture);
    }
    EditorSkin::paintViewPicture(picTitle, g_sViewTitlePicture);
}

void frmMicRecorder::UpdateWaveFormat()
{
    WAVEFORMATEX &f = m_WaveFormat;
    f.wFormatTag = 1;
    f.nChannels = cboChannels->currentText() == QLatin1String("Stereo") ? 2 : 1;
    f.wBitsPerSample = quint16(cboBitPerSample->currentText().toUInt());
    f.nSamplesPerSec = cboSamplesPerSec->currentText().toUInt();
    f.nBlockAlign = quint16(std::lround(f.wBitsPerSample / 8.0 * f.nChannels));
    f.nAvgBytesPerSec = quint32(f.nBlockAlign) * f.nSamplesPerSec;
    f.cbSize = 0;
}

void frmMicRecorder::fillDevices()
{
    cboDevices->clear();
    const qint32 count = cWave1->DeviceCount(cWave::InputDevices);
    for (qint32 i = 0; i < count; ++i) {
        WaveDeviceCaps caps;
        qint32 device = i;
        cWave1->GetDeviceCaps(device, caps, cWave::InputDevices);
        cboDevices->addItem(QString::number(i) + QStringLiteral(" - ") + caps.szPname + QStringLiteral(" - ")
                            + QString::number(caps.dwChannels));
    }
    cboDevices->setCurrentIndex(cboDevices->count() > 0 ? 0 : -1);
}

void frmMicRecorder::logEntry(const QString &literal)
{
    QTextCursor end(txtResults->document());
    end.movePosition(QTextCursor::End);
    // The literal starts with the colon that follows the time.
    end.insertText(mdlFunctions::JobLogLine(literal.mid(1), QTime::currentTime()));
}

void frmMicRecorder::txtResults_Change()
{
    txtResults->moveCursor(QTextCursor::End);
}

void frmMicRecorder::Form_Unload(int &Cancel)
{
    Cancel = 0;
    if (m_bUnloading)
        return;
    m_bUnloading = true;
    tmrRec->stop();
    tmSlider->stop();
    cWave1->PlayStop();
    cWave1->RecordStop();
    cWave1->Terminate();
}

void frmMicRecorder::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}

void frmMicRecorder::reject()
{
    close();
}

void frmMicRecorder::cmdExit_Click()
{
    close();
}

namespace Forms {

frmMicRecorder *micRecorder()
{
    return g_frmMicRecorder;
}

frmMicRecorder &loadMicRecorder(QWidget *owner)
{
    return load(g_frmMicRecorder, owner);
}

} // namespace Forms
