#include "settings/frmAudioPropControls.h"

#include "controls/audio/cAudioConverter.h"
#include "core/RegistryRoutines.h"
#include "core/TextRoom.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlCommDialog.h"
#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "core/mdlSupportedDestination.h"
#include "platform/AppPaths.h"
#include "settings/OptionSettings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <iterator>
#include <optional>

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

// Each page's short title and description for the title strip, in tab order.
struct PageTitle {
    const char *key;
    QString title;
    QString description;
};
const PageTitle kPageTitles[] = {
    {"WAV", QStringLiteral("WAV -"), QStringLiteral("Waveform audio format")},
    {"ACM", QStringLiteral("WAV(ACM) -"), QStringLiteral("Waveform audio format with ACM codec")},
    {"MP3", QStringLiteral("MP3 -"), QStringLiteral("MPEG-1 Audio Layer 3")},
    {"WMA", QStringLiteral("WMA -"), QStringLiteral("Windows Media Audio")},
    {"OGG", QStringLiteral("OGG -"), QStringLiteral("Ogg Media format")},
    {"APE", QStringLiteral("APE -"), QStringLiteral("Monkey\u2019s Audio file format")},
};

// The flag that asks the converter for the tags it recommends for the
// source opened before.
constexpr qint32 kAcmRecommended = 0x100000;

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

} // namespace

using namespace AudioPropControls;

frmAudioProp::frmAudioProp(QWidget *parent)
    : QDialog(parent)
    , cAudioConverter1(new cAudioConverter(this))
{
    setWindowTitle(QStringLiteral("Audio Format"));
    buildTitle();
    // The design's width, or more where the desktop's font needs it for the
    // longest page title to show whole in the title strip.
    int widestTitle = 0;
    for (const PageTitle &page : kPageTitles) {
        widestTitle = std::max(widestTitle, lblTitle->fontMetrics().horizontalAdvance(page.title)
                                                + Twips::toPixels(kDescGap)
                                                + lblFormatDesc->fontMetrics().horizontalAdvance(page.description));
    }
    const int width = std::max(Twips::toPixels(kWindowWidth), lblTitle->x() + widestTitle + Twips::toPixels(2 * kMargin));
    const int widthTwips = Twips::fromPixels(width);
    setFixedSize(width, Twips::toPixels(kWindowHeight));
    picTitle->setGeometry(0, 0, width, Twips::toPixels(kTitleHeight));

    cTabControl1 = new FormatTabStrip(this);
    cTabControl1->setGeometry(Twips::toPixels(kMargin), Twips::toPixels(kTitleHeight + kMargin),
                              width - Twips::toPixels(2 * kMargin),
                              Twips::toPixels(kWindowHeight - kTitleHeight - 4 * kMargin - kButtonHeight));
    connect(cTabControl1, &FormatTabStrip::TabClick, this, &frmAudioProp::cTabControl1_TabClick);
    buildPages();

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    const int buttonTop = kWindowHeight - kMargin - kButtonHeight;
    cmdExit->setGeometry(Twips::toPixels(widthTwips - kMargin - kButtonWidth), Twips::toPixels(buttonTop),
                         Twips::toPixels(kButtonWidth), Twips::toPixels(kButtonHeight));
    cmdOk->setGeometry(Twips::toPixels(widthTwips - 2 * (kMargin + kButtonWidth)), Twips::toPixels(buttonTop),
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
    TextRoom::fitAll(this);
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
    QFrame *const pages[] = {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE};
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    for (std::size_t i = 0; i < std::size(kPageTitles); ++i) {
        if (key == QLatin1String(kPageTitles[i].key)) {
            pages[i]->show();
            lblTitle->setText(kPageTitles[i].title);
            lblFormatDesc->setText(kPageTitles[i].description);
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
    for (qint32 codec = 0; codec < count; ++codec)
        appendItem(cboWMACodecs, cAudioConverter1->WMACodecName(codec));
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
