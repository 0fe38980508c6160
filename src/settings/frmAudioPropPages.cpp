#include "settings/frmAudioPropControls.h"

#include "platform/AppPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace AudioPropControls;

namespace {

// Every MP3 bitrate list; "8 " keeps its blank because stored settings hold it.
const QStringList kMp3Bitrates = {QStringLiteral("8 "), "16", "24", "32", "40", "48", "56", "64", "80", "96",
                                  "112", "128", "144", "160", "176", "192", "224", "256", "320"};
const QStringList kMp3Qualities = {"0 ", "1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 ", "8 ", "9 "};

QLabel *caption(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

QFrame *page(QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

} // namespace

void frmAudioProp::buildPages()
{
    // WAV
    froToWAV = page(this);
    cboSamplesWAV = dropDownList(froToWAV, {"44100", "22050", "11025", "8000"});
    cboBitrateWAV = dropDownList(froToWAV);
    cboChannelsWAV = dropDownList(froToWAV, {"Mono", "Stereo"});
    {
        auto *grid = new QGridLayout(froToWAV);
        grid->addWidget(caption(QStringLiteral("Samples:"), froToWAV), 0, 0);
        grid->addWidget(cboSamplesWAV, 0, 1);
        grid->addWidget(caption(QStringLiteral("Bitrate:"), froToWAV), 1, 0);
        grid->addWidget(cboBitrateWAV, 1, 1);
        grid->addWidget(caption(QStringLiteral("Channels:"), froToWAV), 2, 0);
        grid->addWidget(cboChannelsWAV, 2, 1);
        grid->setRowStretch(3, 1);
        grid->setColumnStretch(2, 1);
    }

    // ACM
    froToACM = page(this);
    chkBestAccordToSource =
        new QCheckBox(QStringLiteral("Get recommended codecs according to source file format."), froToACM);
    cboTags = dropDownList(froToACM);
    cboFormats = dropDownList(froToACM);
    {
        auto *grid = new QGridLayout(froToACM);
        grid->addWidget(chkBestAccordToSource, 0, 0, 1, 2);
        grid->addWidget(caption(QStringLiteral("Target ACM Tag:"), froToACM), 1, 0);
        grid->addWidget(cboTags, 1, 1);
        grid->addWidget(caption(QStringLiteral("Target ACM Format:"), froToACM), 2, 0);
        grid->addWidget(cboFormats, 2, 1);
        grid->setRowStretch(3, 1);
        grid->setColumnStretch(1, 1);
    }
    connect(cboTags, &QComboBox::currentIndexChanged, this, [this] { cboTags_Click(); });
    connect(chkBestAccordToSource, &QCheckBox::toggled, this, [this] { chkBestAccordToSource_Click(); });

    // MP3
    froToMP3 = page(this);
    cboMP3Bitrate = dropDownList(froToMP3, kMp3Bitrates);
    cboMP3Samplerate =
        dropDownList(froToMP3, {"8000", "11025", "12000", "16000", "22050", "24000", "32000", "44100", "48000"});
    cboMP3Quality = dropDownList(froToMP3, kMp3Qualities);
    cboMP3Mode = dropDownList(froToMP3, {"STEREO_MODE = 0", "JOINT_STEREO_MODE = 1", "DUAL_CHANNEL_MODE = 2",
                                         "MONO_MODE = 3", "NOT_SET_MODE = 4", "FORCE_JOINT_STEREO_MODE = 5"});
    lblMP3Advanced = new QLabel(kAdvanced, froToMP3);
    {
        QPalette p = lblMP3Advanced->palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 255));
        lblMP3Advanced->setPalette(p);
        QFont f = lblMP3Advanced->font();
        f.setUnderline(true);
        lblMP3Advanced->setFont(f);
        lblMP3Advanced->setCursor(Qt::PointingHandCursor);
        lblMP3Advanced->setToolTip(QStringLiteral("MP3 properties mode."));
        lblMP3Advanced->installEventFilter(this);
    }
    picMP3Advanced = new QFrame(froToMP3);
    picMP3Advanced->setFrameShape(QFrame::StyledPanel);
    chkMP3Original = new QCheckBox(QStringLiteral("Original"), picMP3Advanced);
    chkMP3Copyright = new QCheckBox(QStringLiteral("Copyright"), picMP3Advanced);
    chkMP3ErrorProtect = new QCheckBox(QStringLiteral("Error Protection"), picMP3Advanced);
    chkMP3VBR = new QCheckBox(QStringLiteral("VBR Mode"), picMP3Advanced);
    chkMP3StrictISO = new QCheckBox(QStringLiteral("ISO Encoding"), picMP3Advanced);
    chkMP3VBRTag = new QCheckBox(QStringLiteral("Write VBR Tag"), picMP3Advanced);
    chkMP3VBRForceMinBitrate = new QCheckBox(QStringLiteral("VBR Force Min Bitrate"), picMP3Advanced);
    chkMP3ABR = new QCheckBox(QStringLiteral("ABR (Instead of VBR)"), picMP3Advanced);
    cboMP3ABRBitrate = dropDownList(picMP3Advanced, kMp3Bitrates);
    cboMP3MinBitrate = dropDownList(picMP3Advanced, kMp3Bitrates);
    cboMP3MaxBitrate = dropDownList(picMP3Advanced, kMp3Bitrates);
    cboMP3VBRQuality = dropDownList(picMP3Advanced, kMp3Qualities);
    {
        auto *grid = new QGridLayout(picMP3Advanced);
        grid->setVerticalSpacing(1);
        int row = 0;
        for (QCheckBox *box : {chkMP3Original, chkMP3Copyright, chkMP3ErrorProtect, chkMP3VBR, chkMP3StrictISO,
                               chkMP3VBRTag, chkMP3VBRForceMinBitrate})
            grid->addWidget(box, row++, 0);
        grid->addWidget(chkMP3ABR, row, 0);
        grid->addWidget(cboMP3ABRBitrate, row, 1);
        grid->addWidget(caption(QStringLiteral("Min VBR Bitrate:"), picMP3Advanced), 0, 2);
        grid->addWidget(cboMP3MinBitrate, 0, 3);
        grid->addWidget(caption(QStringLiteral("Max VBR Bitrate:"), picMP3Advanced), 1, 2);
        grid->addWidget(cboMP3MaxBitrate, 1, 3);
        grid->addWidget(caption(QStringLiteral("VBR Quality:"), picMP3Advanced), 2, 2);
        grid->addWidget(cboMP3VBRQuality, 2, 3);
    }
    {
        auto *column = new QVBoxLayout(froToMP3);
        auto *grid = new QGridLayout;
        grid->addWidget(caption(QStringLiteral("Bitrate:"), froToMP3), 0, 0);
        grid->addWidget(cboMP3Bitrate, 0, 1);
        grid->addWidget(caption(QStringLiteral("Samplerate:"), froToMP3), 0, 2);
        grid->addWidget(cboMP3Samplerate, 0, 3);
        grid->addWidget(caption(QStringLiteral("Quality:"), froToMP3), 1, 0);
        grid->addWidget(cboMP3Quality, 1, 1);
        grid->addWidget(caption(QStringLiteral("Mode:"), froToMP3), 1, 2);
        grid->addWidget(cboMP3Mode, 1, 3);
        column->addLayout(grid);
        column->addWidget(lblMP3Advanced, 0, Qt::AlignLeft);
        column->addWidget(picMP3Advanced);
        column->addStretch(1);
    }
    picMP3Advanced->hide();

    // WMA
    froToWMA = page(this);
    cboWMACodecs = dropDownList(froToWMA);
    cboWMAFormat = dropDownList(froToWMA);
    {
        auto *grid = new QGridLayout(froToWMA);
        grid->addWidget(caption(QStringLiteral("Codec:"), froToWMA), 0, 0);
        grid->addWidget(cboWMACodecs, 0, 1);
        grid->addWidget(caption(QStringLiteral("Format:"), froToWMA), 1, 0);
        grid->addWidget(cboWMAFormat, 1, 1);
        grid->setRowStretch(2, 1);
        grid->setColumnStretch(1, 1);
    }
    connect(cboWMACodecs, &QComboBox::currentIndexChanged, this, [this] { cboWMACodecs_Click(); });

    // OGG: the two options form one group, but unlike a plain radio group
    // both may be clear, as a stored "False" for each leaves them.
    froToOGG = page(this);
    ptnQualityOGG = new QRadioButton(QStringLiteral("Quality:"), froToOGG);
    optOggBit = new QRadioButton(QStringLiteral("Bitrate:"), froToOGG);
    sldOGG = new QSlider(Qt::Horizontal, froToOGG);
    sldOGG->setRange(0, 100);
    lblSensitivityVal = new QLabel(froToOGG);
    lblSensitivityVal->setMinimumWidth(Twips::toPixels(450));
    cboOggBitNom = dropDownList(froToOGG, {"32", "40", "48", "64", "80", "96", "128", "160", "196", "256", "350"});
    for (QRadioButton *option : {ptnQualityOGG, optOggBit}) {
        option->setAutoExclusive(false);
        connect(option, &QRadioButton::toggled, this, [this, option](bool on) {
            if (on)
                (option == ptnQualityOGG ? optOggBit : ptnQualityOGG)->setChecked(false);
        });
        // A click on a selected option keeps it selected.
        connect(option, &QRadioButton::clicked, option, [option](bool on) {
            if (!on)
                option->setChecked(true);
        });
    }
    ptnQualityOGG->setChecked(true);
    {
        auto *grid = new QGridLayout(froToOGG);
        grid->addWidget(ptnQualityOGG, 0, 0, 1, 3);
        grid->addWidget(sldOGG, 1, 0, 1, 2);
        grid->addWidget(lblSensitivityVal, 1, 2);
        grid->addWidget(optOggBit, 2, 0);
        grid->addWidget(cboOggBitNom, 2, 1, Qt::AlignLeft);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(3, 1);
    }
    connect(sldOGG, &QSlider::sliderMoved, this, [this] { sldOGG_Scroll(); });

    // APE
    froToAPE = page(this);
    cboAPELevel = dropDownList(froToAPE, {"Fast", "Normal", "High", "Extra high", "Slow"});
    {
        auto *grid = new QGridLayout(froToAPE);
        grid->addWidget(caption(QStringLiteral("APE Level:"), froToAPE), 0, 0);
        grid->addWidget(cboAPELevel, 0, 1);
        grid->setRowStretch(1, 1);
        grid->setColumnStretch(2, 1);
    }

    for (QFrame *frame : {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE})
        frame->hide();
}
