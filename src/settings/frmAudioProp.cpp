#include "settings/frmAudioProp.h"

#include "controls/audio/cAudioConverter.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlCommDialog.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "core/mdlSupportedDestination.h"
#include "mainwindow/frmMain.h"
#include "platform/AppPaths.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "settings/FormatTabStrip.h"
#include "settings/frmOptions.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <optional>
#include <variant>

namespace {

// The window's geometry in twips; only the pages' placement against the tab
// strip's client area and the title gap are fixed by the window's rules.
constexpr int kWindowWidth = 7200;
constexpr int kWindowHeight = 6300;
constexpr int kTitleHeight = 600;
constexpr int kMargin = 120;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 375;
constexpr int kDescGap = 80;
// Pages sit this much further left and wider than the strip's client area.
constexpr int kPageOverlap = 50;

const QString kAdvanced = QStringLiteral("Advanced...");
const QString kSimple = QStringLiteral("Simple...");

// The flag that asks the converter for the tags it recommends for the
// source opened before.
constexpr qint32 kAcmRecommended = 0x100000;

// Every MP3 bitrate list; "8 " keeps its blank because stored settings hold it.
const QStringList kMp3Bitrates = {QStringLiteral("8 "), "16", "24", "32", "40", "48", "56", "64", "80", "96",
                                  "112", "128", "144", "160", "176", "192", "224", "256", "320"};
const QStringList kMp3Qualities = {"0 ", "1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 ", "8 ", "9 "};

QPixmap viewPicture(const QString &name)
{
    return QPixmap(AppPaths::resourceFolder() + QStringLiteral("/View/") + name);
}

void setBackColour(QWidget *widget, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(widget->backgroundRole(), colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void setBackPicture(QWidget *widget, const QPixmap &picture)
{
    QPalette p = widget->palette();
    p.setBrush(QPalette::Window, QBrush(picture));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

// A colour number: red + green * 256 + blue * 65536.
QColor oleColour(qint64 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The same number given as decimal text.
std::optional<QColor> oleColour(const QString &text)
{
    bool ok = false;
    const qint64 bgr = text.toLongLong(&ok);
    return ok ? std::optional<QColor>(oleColour(bgr)) : std::nullopt;
}

// A drop-down list filled in code selects nothing until told to.
QComboBox *dropDownList(QWidget *parent, const QStringList &items = {})
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

// Adds an item without moving the selection: an empty list would otherwise
// select its first item by itself and run the list's click rule.
void appendItem(QComboBox *combo, const QString &text, bool sorted = false)
{
    const int selected = combo->currentIndex();
    const QSignalBlocker block(combo);
    int at = combo->count();
    if (sorted) {
        at = 0;
        while (at < combo->count() && QString::compare(combo->itemText(at), text, Qt::CaseInsensitive) <= 0)
            ++at;
    }
    combo->insertItem(at, text);
    combo->setCurrentIndex(selected < 0 ? -1 : (at <= selected ? selected + 1 : selected));
}

// Emptying a list is no choice of the user's: its click rule does not run.
void clearList(QComboBox *combo)
{
    const QSignalBlocker block(combo);
    combo->clear();
}

// Selects the item with exactly that text; any other text changes nothing.
void selectText(QComboBox *combo, const QString &text)
{
    const int at = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at >= 0)
        combo->setCurrentIndex(at);
}

// A stored number as the settings have always read it: blanks around it are
// allowed, a fraction rounds half to even, and it must fit the target width.
std::optional<qint32> storedNumber(const QString &text, qint64 lowest, qint64 highest)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < double(lowest) || rounded > double(highest))
        return std::nullopt;
    return qint32(rounded);
}

std::optional<qint32> storedShort(const QString &text)
{
    return storedNumber(text, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
}

std::optional<bool> storedBoolean(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto n = storedNumber(t, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))
        return *n != 0;
    return std::nullopt;
}

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

// One stored control: where its value lives, in which form, and which
// published variable it feeds.
struct frmAudioProp::StoredValue {
    enum class Kind { Text, Index, Check, Option, Position, Caption };
    // How the variable is read back from the control.
    enum class Publish { None, Number, Text, ListIndex, Checked, Selected, Position };

    QString subkey;
    QString name;
    Kind kind;
    QWidget *control;
    Publish publish;
    std::variant<std::monostate, qint32 *, bool *, QString *> target;
};

frmAudioProp::frmAudioProp(QWidget *parent)
    : QDialog(parent)
    , cAudioConverter1(new cAudioConverter(this))
{
    setWindowTitle(QStringLiteral("Audio Format"));
    setFixedSize(Twips::toPixels(kWindowWidth), Twips::toPixels(kWindowHeight));

    buildTitle();
    cTabControl1 = new FormatTabStrip(this);
    cTabControl1->setGeometry(Twips::toPixels(kMargin), Twips::toPixels(kTitleHeight + kMargin),
                              Twips::toPixels(kWindowWidth - 2 * kMargin),
                              Twips::toPixels(kWindowHeight - kTitleHeight - 4 * kMargin - kButtonHeight));
    connect(cTabControl1, &FormatTabStrip::TabClick, this, &frmAudioProp::cTabControl1_TabClick);
    buildPages();

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    const int buttonTop = kWindowHeight - kMargin - kButtonHeight;
    cmdExit->setGeometry(Twips::toPixels(kWindowWidth - kMargin - kButtonWidth), Twips::toPixels(buttonTop),
                         Twips::toPixels(kButtonWidth), Twips::toPixels(kButtonHeight));
    cmdOk->setGeometry(Twips::toPixels(kWindowWidth - 2 * (kMargin + kButtonWidth)), Twips::toPixels(buttonTop),
                       Twips::toPixels(kButtonWidth), Twips::toPixels(kButtonHeight));
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &frmAudioProp::cmdOk_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAudioProp::cmdExit_Click);

    connect(cAudioConverter1, &cAudioConverter::ACMTagFound, this, &frmAudioProp::cAudioConverter1_ACMTagFound);
    connect(cAudioConverter1, &cAudioConverter::ACMFormatFound, this,
            &frmAudioProp::cAudioConverter1_ACMFormatFound);

    buildStoreTable();
}

frmAudioProp::~frmAudioProp() = default;

void frmAudioProp::buildTitle()
{
    picTitle = new QWidget(this);
    picTitle->setGeometry(0, 0, Twips::toPixels(kWindowWidth), Twips::toPixels(kTitleHeight));
    lblTitle = new QLabel(QStringLiteral("Title"), picTitle);
    lblFormatDesc = new QLabel(QStringLiteral("Format"), picTitle);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    lblTitle->setFont(bold);
    lblFormatDesc->setFont(bold);
    lblTitle->move(Twips::toPixels(kMargin * 2), Twips::toPixels(150));
    lblTitle->adjustSize();
    lblFormatDesc->move(lblTitle->x() + lblTitle->width() + Twips::toPixels(kDescGap), lblTitle->y());
    lblFormatDesc->adjustSize();
}

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

void frmAudioProp::buildStoreTable()
{
    using K = StoredValue::Kind;
    using P = StoredValue::Publish;
    const QString wav = QStringLiteral("Formats\\WAV");
    const QString acm = QStringLiteral("Formats\\ACM");
    const QString mp3 = QStringLiteral("Formats\\MP3");
    const QString wma = QStringLiteral("Formats\\WMA");
    const QString ogg = QStringLiteral("Formats\\OGG");
    const QString ape = QStringLiteral("Formats\\APE");

    // The order is the read and write order: a tag before its formats, a
    // codec before its formats, the quality option before the bitrate one.
    m_store = {
        {wav, "cboSamplesWAV", K::Text, cboSamplesWAV, P::Number, &g_lWavSampleRate},
        {wav, "cboBitrateWAV", K::Text, cboBitrateWAV, P::Number, &g_lWavBitsPerSample},
        {wav, "cboChannelsWAV", K::Index, cboChannelsWAV, P::ListIndex, &g_lWavChannelsIndex},
        {acm, "cboTags", K::Text, cboTags, P::Text, &g_sAcmFormatTag},
        {acm, "cboFormats", K::Text, cboFormats, P::Text, &g_sAcmFormat},
        {mp3, "cboMP3Bitrate", K::Text, cboMP3Bitrate, P::Number, &g_lMp3Bitrate},
        {mp3, "cboMP3Quality", K::Text, cboMP3Quality, P::Number, &g_lMp3Quality},
        {mp3, "cboMP3Samplerate", K::Text, cboMP3Samplerate, P::Number, &g_lMp3SampleRate},
        {mp3, "cboMP3Mode", K::Index, cboMP3Mode, P::ListIndex, &g_lMp3Mode},
        {mp3, "chkMP3ErrorProtect", K::Check, chkMP3ErrorProtect, P::Checked, &g_bMp3ErrorProtect},
        {mp3, "chkMP3Original", K::Check, chkMP3Original, P::Checked, &g_bMp3Original},
        {mp3, "chkMP3Copyright", K::Check, chkMP3Copyright, P::Checked, &g_bMp3Copyright},
        {mp3, "chkMP3StrictISO", K::Check, chkMP3StrictISO, P::Checked, &g_bMp3StrictISO},
        {mp3, "cboMP3VBRQuality", K::Text, cboMP3VBRQuality, P::ListIndex, &g_lMp3VBRQuality},
        {mp3, "cboMP3MinBitrate", K::Text, cboMP3MinBitrate, P::ListIndex, &g_lMp3MinBitrateIndex},
        {mp3, "cboMP3MaxBitrate", K::Text, cboMP3MaxBitrate, P::ListIndex, &g_lMp3MaxBitrateIndex},
        {mp3, "chkMP3VBRTag", K::Check, chkMP3VBRTag, P::Checked, &g_bMp3VBRTag},
        {mp3, "chkMP3VBRForceMinBitrate", K::Check, chkMP3VBRForceMinBitrate, P::Checked, &g_bMp3VBRForceMinBitrate},
        {mp3, "chkMP3ABR", K::Check, chkMP3ABR, P::Checked, &g_bMp3ABR},
        {mp3, "cboMP3ABRBitrate", K::Text, cboMP3ABRBitrate, P::Number, &g_lMp3ABRBitrate},
        {mp3, "lblMP3Advanced", K::Caption, lblMP3Advanced, P::None, std::monostate{}},
        {wma, "cboWMACodecs", K::Index, cboWMACodecs, P::ListIndex, &g_lWmaCodecIndex},
        {wma, "cboWMAFormat", K::Index, cboWMAFormat, P::ListIndex, &g_lWmaFormatIndex},
        {ogg, "ptnQualityOGG", K::Option, ptnQualityOGG, P::Selected, &g_bOggQualityMode},
        {ogg, "sldOGG", K::Position, sldOGG, P::Position, &g_lOggQuality},
        {ogg, "optOggBit", K::Option, optOggBit, P::Selected, &g_bOggBitrateMode},
        {ogg, "cboOggBitNom", K::Text, cboOggBitNom, P::Number, &g_lOggNominalBitrate},
        {ape, "cboAPELevel", K::Index, cboAPELevel, P::ListIndex, &g_lApeLevel},
    };
}

void frmAudioProp::Form_Load()
{
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("AAA"), true);
    applyColoursAndPictures();

    const struct {
        const qint32 &offered;
        const char *key;
    } tabs[] = {{g_lDestWAV, "WAV"}, {g_lDestACM, "ACM"}, {g_lDestMP3, "MP3"},
                {g_lDestWMA, "WMA"}, {g_lDestOGG, "OGG"}, {g_lDestAPE, "APE"}};
    for (const auto &tab : tabs) {
        if (tab.offered == 1)
            cTabControl1->AddTab(QString::fromLatin1(tab.key), -1, -1, QString::fromLatin1(tab.key));
    }

    for (QFrame *frame : {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE}) {
        frame->setGeometry(Twips::toPixels(cTabControl1->ClientLeft() - kPageOverlap),
                           Twips::toPixels(cTabControl1->ClientTop()),
                           Twips::toPixels(cTabControl1->ClientWidth() + kPageOverlap),
                           Twips::toPixels(cTabControl1->ClientHeight()));
    }
    HideAllFormatFrames();
    froToWAV->show();

    appendItem(cboBitrateWAV, QStringLiteral("8"));
    appendItem(cboBitrateWAV, QStringLiteral("16"));
    selectText(cboBitrateWAV, QStringLiteral("16"));
    selectText(cboSamplesWAV, QStringLiteral("44100"));
    selectText(cboChannelsWAV, QStringLiteral("Stereo"));
    FillWmaCodecs();
    cboAPELevel->setCurrentIndex(0);
    cboOggBitNom->setCurrentIndex(0);
    sldOGG->setValue(50);
    selectText(cboMP3Bitrate, QStringLiteral("128"));
    cboMP3Mode->setCurrentIndex(0);
    selectText(cboMP3Samplerate, QStringLiteral("44100"));
    cboMP3Quality->setCurrentIndex(5);
    chkMP3Copyright->setChecked(true);
    chkMP3Original->setChecked(true);
    chkMP3VBR->setChecked(true);
    cboMP3VBRQuality->setCurrentIndex(5);
    selectText(cboMP3MaxBitrate, QStringLiteral("128"));
    selectText(cboMP3MinBitrate, QStringLiteral("96"));
    chkMP3VBRTag->setChecked(true);
    selectText(cboMP3ABRBitrate, QStringLiteral("96"));

    cAudioConverter1->EnumACMTags(1, 44100, 2, 16, 0);
    if (cboTags->count() > 0) {
        {
            // The format list is filled once, below, whether or not PCM is there.
            const QSignalBlocker block(cboTags);
            selectText(cboTags, QStringLiteral("PCM"));
        }
        cboTags_Click();
    }

    registry().setHkey(HKEY_LOCAL_MACHINE);
    registry().setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
    GetOptions();
    lblSensitivityVal->setText(QString::number(sldOGG->value()));
}

void frmAudioProp::applyColoursAndPictures()
{
    setBackColour(picTitle, oleColour(g_lTitleBackColor));
    for (QLabel *label : {lblTitle, lblFormatDesc}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, oleColour(g_lTitleTextColor));
        label->setPalette(p);
    }
    if (const auto back = oleColour(g_sViewBackColor)) {
        for (QWidget *w : std::initializer_list<QWidget *>{
                 this, froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE, picMP3Advanced, chkMP3ErrorProtect,
                 chkMP3Original, chkMP3Copyright, chkMP3StrictISO, chkMP3VBR, chkMP3VBRTag, chkMP3VBRForceMinBitrate,
                 chkMP3ABR, ptnQualityOGG, optOggBit, chkBestAccordToSource})
            setBackColour(w, *back);
    }
    if (!g_sViewBackPicture.isEmpty()) {
        const QPixmap picture = viewPicture(g_sViewBackPicture);
        if (!picture.isNull()) {
            for (QWidget *w : std::initializer_list<QWidget *>{this, froToWAV, froToACM, froToMP3, froToWMA, froToOGG,
                                                               froToAPE, picMP3Advanced})
                setBackPicture(w, picture);
        }
    }
    if (!g_sViewTitlePicture.isEmpty()) {
        const QPixmap picture = viewPicture(g_sViewTitlePicture);
        if (!picture.isNull())
            setBackPicture(picTitle, picture);
    }
}

RegistryRoutines &frmAudioProp::registry()
{
    if (!m_registry)
        m_registry = std::make_unique<RegistryRoutines>();
    return *m_registry;
}

void frmAudioProp::GetOptions()
{
    RegistryRoutines &reg = registry();
    for (const StoredValue &row : m_store) {
        reg.setSubkey(row.subkey);
        readValue(row);
        publishValue(row);
    }
}

void frmAudioProp::readValue(const StoredValue &row)
{
    using K = StoredValue::Kind;
    const QVariant stored = registry().GetRegistryValue(row.name);
    // Absent and wrong differ: an absent number reads as 0, a wrong one is
    // ignored and the control keeps what it shows.
    const bool absent = !stored.isValid();
    const QString text = stored.toString();

    switch (row.kind) {
    case K::Text:
        if (!absent)
            selectText(static_cast<QComboBox *>(row.control), text);
        break;
    case K::Index: {
        auto *combo = static_cast<QComboBox *>(row.control);
        const auto index = absent ? std::optional<qint32>(0) : storedShort(text);
        if (index && *index >= -1 && *index < combo->count())
            combo->setCurrentIndex(*index);
        break;
    }
    case K::Check: {
        const auto state = absent ? std::optional<qint32>(0) : storedShort(text);
        if (state && *state >= Qt::Unchecked && *state <= Qt::Checked)
            static_cast<QCheckBox *>(row.control)->setCheckState(*state == 1   ? Qt::Checked
                                                                 : *state == 2 ? Qt::PartiallyChecked
                                                                               : Qt::Unchecked);
        break;
    }
    case K::Option: {
        const auto on = absent ? std::optional<bool>(false) : storedBoolean(text);
        if (on)
            setOption(static_cast<QRadioButton *>(row.control), *on);
        break;
    }
    case K::Position: {
        const auto position = absent ? std::optional<qint32>(0) : storedShort(text);
        if (position && *position >= 0 && *position <= 100)
            static_cast<QSlider *>(row.control)->setValue(*position);
        break;
    }
    case K::Caption: {
        QString link = absent ? QString() : text;
        if (link.isEmpty())
            link = kAdvanced;
        // A caption the link does not know would leave the panel shown with
        // a link that can never hide it again.
        if (link != kAdvanced)
            link = kSimple;
        lblMP3Advanced->setText(link);
        picMP3Advanced->setVisible(link != kAdvanced);
        break;
    }
    }
}

void frmAudioProp::publishValue(const StoredValue &row)
{
    using P = StoredValue::Publish;
    auto *combo = qobject_cast<QComboBox *>(row.control);
    switch (row.publish) {
    case P::None:
        break;
    case P::Number:
        // With nothing selected the variable keeps what it held.
        if (combo->currentIndex() >= 0) {
            if (const auto n = storedNumber(combo->currentText(), std::numeric_limits<qint32>::min(),
                                            std::numeric_limits<qint32>::max()))
                *std::get<qint32 *>(row.target) = *n;
        }
        break;
    case P::Text:
        *std::get<QString *>(row.target) = combo->currentText();
        break;
    case P::ListIndex:
        *std::get<qint32 *>(row.target) = combo->currentIndex();
        break;
    case P::Checked:
        *std::get<bool *>(row.target) = static_cast<QCheckBox *>(row.control)->checkState() != Qt::Unchecked;
        break;
    case P::Selected:
        *std::get<bool *>(row.target) = static_cast<QRadioButton *>(row.control)->isChecked();
        break;
    case P::Position:
        *std::get<qint32 *>(row.target) = static_cast<QSlider *>(row.control)->value();
        break;
    }
}

QString frmAudioProp::storedForm(const StoredValue &row) const
{
    using K = StoredValue::Kind;
    switch (row.kind) {
    case K::Text:
        return static_cast<QComboBox *>(row.control)->currentText();
    case K::Index:
        return QString::number(static_cast<QComboBox *>(row.control)->currentIndex());
    case K::Check:
        return QString::number(int(static_cast<QCheckBox *>(row.control)->checkState() == Qt::Checked          ? 1
                                   : static_cast<QCheckBox *>(row.control)->checkState() == Qt::PartiallyChecked ? 2
                                                                                                                 : 0));
    case K::Option:
        return static_cast<QRadioButton *>(row.control)->isChecked() ? QStringLiteral("True")
                                                                      : QStringLiteral("False");
    case K::Position:
        return QString::number(static_cast<QSlider *>(row.control)->value());
    case K::Caption:
        return lblMP3Advanced->text();
    }
    return QString();
}

void frmAudioProp::setOption(QRadioButton *option, bool on)
{
    option->setChecked(on);
}

void frmAudioProp::cmdOk_Click()
{
    // The format on show becomes the options' default target format; the
    // options window stores it when it is itself confirmed.
    if (frmOptions *options = &Forms::loadOptions(); options->cboTargetFormat)
        options->cboTargetFormat->setCurrentIndex(cTabControl1->SelectedTab() - 1);

    RegistryRoutines &reg = registry();
    for (const StoredValue &row : m_store) {
        reg.setSubkey(row.subkey);
        reg.SetRegistryValue(row.name, storedForm(row), REG_SZ);
    }
    GetOptions();
    close();
}

void frmAudioProp::cmdExit_Click()
{
    close();
}

void frmAudioProp::Form_Unload(int &Cancel)
{
    if (!g_bAppClosing) {
        Cancel = 1;
        hide();
        return;
    }
    cAudioConverter1->Terminate();
}

void frmAudioProp::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

bool frmAudioProp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblMP3Advanced && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        lblMP3Advanced_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAudioProp::HideAllFormatFrames()
{
    for (QFrame *frame : {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE})
        frame->hide();
}

void frmAudioProp::cTabControl1_TabClick(qint32 /*tab*/)
{
    HideAllFormatFrames();
    const struct {
        const char *key;
        QFrame *page;
        QString title;
        QString description;
    } pages[] = {
        {"WAV", froToWAV, QStringLiteral("WAV -"), QStringLiteral("Waveform audio format")},
        {"ACM", froToACM, QStringLiteral("WAV(ACM) -"), QStringLiteral("Waveform audio format with ACM codec")},
        {"MP3", froToMP3, QStringLiteral("MP3 -"), QStringLiteral("MPEG-1 Audio Layer 3")},
        {"WMA", froToWMA, QStringLiteral("WMA -"), QStringLiteral("Windows Media Audio")},
        {"OGG", froToOGG, QStringLiteral("OGG -"), QStringLiteral("Ogg Media format")},
        {"APE", froToAPE, QStringLiteral("APE -"), QStringLiteral("Monkey\u2019s Audio file format")},
    };
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    for (const auto &p : pages) {
        if (key == QLatin1String(p.key)) {
            p.page->show();
            lblTitle->setText(p.title);
            lblFormatDesc->setText(p.description);
            break;
        }
    }
    lblTitle->adjustSize();
    lblFormatDesc->adjustSize();
    lblFormatDesc->move(lblTitle->x() + lblTitle->width() + Twips::toPixels(kDescGap), lblFormatDesc->y());
}

void frmAudioProp::selectFormatTab(const QString &targetFormat)
{
    const QString key = targetFormat.left(3);
    cTabControl1->SelectTab(key);
    cTabControl1_TabClick(cTabControl1->TabIndex(key));
}

int frmAudioProp::openOnFormat(const QString &targetFormat)
{
    selectFormatTab(targetFormat);
    return exec();
}

int frmAudioProp::exec()
{
    // QDialog::exec() deletes a window that deletes itself on close when it
    // returns; this one must outlive every showing.
    const bool deleteOnClose = testAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_DeleteOnClose, false);
    const int result = QDialog::exec();
    setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
    // Unloaded for real while it was shown (the program closed meanwhile).
    if (deleteOnClose && Forms::audioProp() != this)
        deleteLater();
    return result;
}

void frmAudioProp::cboTags_Click()
{
    clearList(cboFormats);
    cAudioConverter1->EnumACMFormats(cboTags->currentText());
    if (cboFormats->count() > 0)
        cboFormats->setCurrentIndex(0);
}

void frmAudioProp::cAudioConverter1_ACMTagFound(const QString &name)
{
    appendItem(cboTags, name, true);
}

void frmAudioProp::cAudioConverter1_ACMFormatFound(const QString &name)
{
    appendItem(cboFormats, name);
}

void frmAudioProp::chkBestAccordToSource_Click()
{
    clearList(cboTags);
    clearList(cboFormats);
    if (chkBestAccordToSource->checkState() == Qt::Unchecked) {
        cAudioConverter1->EnumACMTags(1, 44100, 2, 16, 0);
    } else {
        g_FileDialog.lpstrFilter = QStringLiteral("MP3 Audio Files (*.mp3)") + QChar(u'\0') + QStringLiteral("*.mp3");
        g_FileDialog.lpstrTitle = QStringLiteral("Open MP3 audio file");
        const FileDialogResult chosen = mdlCommDialog::ShowOpen(this, true);
        if (chosen.Cancelled)
            return;
        QString path = chosen.FileNames.value(0);
        // Of several files chosen at once the first one stands for the source.
        if (path.isEmpty() && chosen.FileCount > 1)
            path = chosen.Folder + QLatin1Char('/') + chosen.FileNames.value(1);
        if (path.isEmpty())
            return;
        cAudioConverter1->OpenSource(path);
        cAudioConverter1->EnumACMTags(1, cAudioConverter1->SampleRate(), cAudioConverter1->Channels(),
                                      cAudioConverter1->BitsPerSample(), kAcmRecommended);
    }
    if (cboTags->count() > 0)
        cboTags->setCurrentIndex(0);
    if (cboFormats->count() > 0)
        cboFormats->setCurrentIndex(0);
}

void frmAudioProp::FillWmaCodecs()
{
    const qint32 count = cAudioConverter1->WMACodecCount();
    for (qint32 codec = 0; codec < count; ++codec) {
        QCoreApplication::processEvents();
        appendItem(cboWMACodecs, cAudioConverter1->WMACodecName(codec));
    }
    if (cboWMACodecs->count() > 0)
        cboWMACodecs->setCurrentIndex(0);
}

void frmAudioProp::cboWMACodecs_Click()
{
    FillWmaFormats();
}

void frmAudioProp::FillWmaFormats()
{
    clearList(cboWMAFormat);
    const qint32 codec = cboWMACodecs->currentIndex();
    const qint32 count = cAudioConverter1->WMAFormatCount(codec);
    for (qint32 format = 0; format < count; ++format)
        appendItem(cboWMAFormat, cAudioConverter1->WMAFormatName(codec, format));
    if (cboWMAFormat->count() > 0)
        cboWMAFormat->setCurrentIndex(0);
}

void frmAudioProp::lblMP3Advanced_Click()
{
    ToggleMp3Advanced();
}

void frmAudioProp::ToggleMp3Advanced()
{
    if (lblMP3Advanced->text() == kAdvanced) {
        picMP3Advanced->show();
        lblMP3Advanced->setText(kSimple);
    } else if (lblMP3Advanced->text() == kSimple) {
        picMP3Advanced->hide();
        lblMP3Advanced->setText(kAdvanced);
    }
}

void frmAudioProp::sldOGG_Scroll()
{
    // While the thumb is dragged the position leads the value.
    lblSensitivityVal->setText(QString::number(sldOGG->sliderPosition()));
}
