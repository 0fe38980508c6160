#include "tools/editor/frmWaveTTS.h"

#include "controls/audio/cWaveTTS.h"
#include "controls/ui/cStatusBar.h"
#include "core/LinkLabel.h"
#include "core/TextRoom.h"
#include "core/TitleStrip.h"
#include "core/UserSettingsStore.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlSupportedDestination.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"
#include "settings/frmOptions.h"
#include "tools/editor/EditorSkin.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTextCursor>

#include <algorithm>

namespace {

QPointer<frmWaveTTS> g_frmWaveTTS;

const QString kSampleText = QStringLiteral("This sample shows you how to use the 'Text To Speech'.");

// Places a control at a position given in twips (left, top, width; height in pixels).
template <typename W>
W *place(W *widget, int left, int top, int width, int height = 22)
{
    widget->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), height);
    return widget;
}

// A caption stands on the control under it: one line high, its text at the
// bottom, so a taller font grows it upwards, away from that control.
constexpr int kCaptionHeight = 16;

template <typename L>
L *caption(L *label, int left, int top, int width)
{
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return place(label, left, top, width, kCaptionHeight);
}

QLabel *label(const QString &text, QWidget *parent, int left, int top, int width = 1500)
{
    return caption(new QLabel(text, parent), left, top, width);
}

// A value or a link that follows a caption on its line starts after the
// caption's text.
void follow(QLabel *captionLabel, QWidget *next)
{
    TextRoom::fit(captionLabel);
    const int left = captionLabel->x() + std::max(captionLabel->width(), captionLabel->sizeHint().width()) + 6;
    next->move(std::max(next->x(), left), next->y());
}

} // namespace

frmWaveTTS::frmWaveTTS(QWidget *parent)
    : QDialog(parent)
    , cWaveTTS1(new cWaveTTS(this))
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(Twips::toPixels(7305), Twips::toPixels(8940) + 24);
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));
    buildControls();

    connect(cWaveTTS1, &cWaveTTS::FormatFound, this, &frmWaveTTS::cWaveTTS1_FormatFound);
    connect(cWaveTTS1, &cWaveTTS::Word, this, &frmWaveTTS::cWaveTTS1_Word);
    connect(cWaveTTS1, &cWaveTTS::Done, this, &frmWaveTTS::cWaveTTS1_Done);
}

frmWaveTTS::~frmWaveTTS() = default;

void frmWaveTTS::buildControls()
{
    picTitle = place(new QWidget(this), 360, 120, 6615, 32);
    lblTitle = new QLabel(QStringLiteral("Text To Speech"), picTitle);
    lblTitle->setGeometry(8, 4, picTitle->width() - 16, 24);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);

    lblOutputs = label(QStringLiteral("Audio Outputs:"), this, 360, 720);
    cboAudioOutputs = place(new QComboBox(this), 360, 960, 6615, 24);
    lblVoices = label(QStringLiteral("Voices:"), this, 360, 1560);
    cboVoices = place(new QComboBox(this), 360, 1800, 3135, 24);
    lblFormats = label(QStringLiteral("Formats:"), this, 3840, 1560);
    cboFormats = place(new QComboBox(this), 3840, 1800, 3135, 24);

    lblVolume = label(QStringLiteral("Volume:"), this, 360, 2400, 600);
    lblValumeVal = label(QStringLiteral("50"), this, 960, 2400, 600);
    follow(lblVolume, lblValumeVal);
    sldVolume = place(new QSlider(Qt::Horizontal, this), 360, 2640, 3165);
    sldVolume->setRange(0, 100);
    lblRate = label(QStringLiteral("Rate:"), this, 3840, 2400, 480);
    lblRateVal = label(QStringLiteral("0"), this, 4320, 2400, 600);
    follow(lblRate, lblRateVal);
    sldRate = place(new QSlider(Qt::Horizontal, this), 3840, 2640, 3165);
    sldRate->setRange(-10, 10);

    lblText = label(QStringLiteral("Text:"), this, 360, 3240);
    lblClearText = caption(new LinkLabel(QStringLiteral("Clear Text"), this), 6120, 3240, 900);
    txtSpeak = new QPlainTextEdit(kSampleText + QStringLiteral("\r\n"), this);
    txtSpeak->setGeometry(Twips::toPixels(360), Twips::toPixels(3480), Twips::toPixels(6615), Twips::toPixels(2655));
    txtSpeak->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    cmdSay = place(new QPushButton(QStringLiteral("Say It"), this), 840, 6360, 2415, 26);
    cmdSay->setFont(bold);
    cmdSay->setToolTip(QStringLiteral("Say it"));
    cmdStop = place(new QPushButton(QStringLiteral("Stop"), this), 3960, 6360, 1815, 26);
    cmdStop->setToolTip(QStringLiteral("Stop"));

    lblAudioFormat = label(QStringLiteral("Destination Format:"), this, 360, 7200);
    lblID3Tags = caption(new LinkLabel(QStringLiteral("ID3Tags"), this), 1920, 7200, 900);
    follow(lblAudioFormat, lblID3Tags);
    lblID3Tags->setToolTip(QStringLiteral("Set the ID3 tags"));
    cboTargetFormat = place(new QComboBox(this), 360, 7440, 5385, 24);
    cmdEditTargetFormat = place(new QPushButton(QStringLiteral("Edit"), this), 5880, 7440, 1095, 24);
    cmdEditTargetFormat->setToolTip(QStringLiteral("Edit Target Audio Formats"));

    cmdAdd = place(new QPushButton(QStringLiteral("Add to Items List"), this), 840, 7920, 2415, 26);
    cmdAdd->setToolTip(QStringLiteral("Add to items list."));
    cmdSaveAs = place(new QPushButton(QStringLiteral("Save As..."), this), 3960, 7920, 1815, 26);
    cmdSaveAs->setToolTip(QStringLiteral("Save 'Text To Speech' as..."));

    // Small picture buttons left of the four main buttons; they only decorate.
    const struct {
        int left, top;
        const char *tip;
    } icons[4] = {{360, 6360, "Say it"},
                  {3480, 6360, "Stop"},
                  {3480, 7920, "Save 'Text To Speech' as a wav file."},
                  {360, 7920, "Add to items list."}};
    for (int i = 0; i < 4; ++i) {
        cmdToolsIcon[i] = place(new QPushButton(this), icons[i].left, icons[i].top, 420, 26);
        cmdToolsIcon[i]->setToolTip(QString::fromLatin1(icons[i].tip));
        cmdToolsIcon[i]->setFlat(true);
    }

    cStatusBar1 = new cStatusBar(this);
    cStatusBar1->setGeometry(0, height() - 24, width(), 24);

    connect(cmdSay, &QPushButton::clicked, this, &frmWaveTTS::cmdSay_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmWaveTTS::cmdStop_Click);
    connect(lblClearText, &LinkLabel::clicked, this, &frmWaveTTS::lblClearText_Click);
    connect(txtSpeak, &QPlainTextEdit::textChanged, this, &frmWaveTTS::txtSpeak_Change);
    connect(sldRate, &QSlider::valueChanged, this, &frmWaveTTS::sldRate_Change);
    connect(sldVolume, &QSlider::valueChanged, this, &frmWaveTTS::sldVolume_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &frmWaveTTS::cmdAdd_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &frmWaveTTS::cmdSaveAs_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &frmWaveTTS::cmdEditTargetFormat_Click);
    connect(lblID3Tags, &LinkLabel::clicked, this, &frmWaveTTS::lblID3Tags_Click);
}

void frmWaveTTS::Form_Load()
{
    if (const MainWindowFace *main = Forms::mainFace()) {
        const int pictures[4] = {84, 41, 47, 3};
        for (int i = 0; i < 4; ++i)
            cmdToolsIcon[i]->setIcon(QIcon(main->menuPicture(pictures[i])));
    }
    applySkin();

    FillVoices();
    FillOutputs();
    cWaveTTS1->Initialize();

    // A stored name that the engine no longer offers selects no format and
    // leaves the first voice selected.
    cboFormats->setCurrentIndex(cboFormats->findText(UserSettingsStore::Get(UserSettingsStore::speechFormat()),
                                                     Qt::MatchFixedString | Qt::MatchCaseSensitive));
    const int voice = cboVoices->findText(UserSettingsStore::Get(UserSettingsStore::speechVoice()),
                                          Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (voice >= 0)
        cboVoices->setCurrentIndex(voice);

    sldVolume->setValue(50);
    sldRate->setValue(0);
    sldVolume_Change();
    sldRate_Change();

    txtSpeak->setPlainText(kSampleText);
    txtSpeak_Change();

    mdlSupportedDestination::FillDestinationFormats(cboTargetFormat);
    cboTargetFormat->setCurrentIndex(Forms::loadOptions().targetFormatIndex());
    TextRoom::fitAll(this);
}

void frmWaveTTS::applySkin()
{
    TitleStrip::applyColors(picTitle, lblTitle);
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(sldVolume), static_cast<QWidget *>(sldRate)})
        EditorSkin::paintViewBack(w);
    EditorSkin::paintViewPicture(this, g_sViewBackPicture);
    EditorSkin::paintViewPicture(picTitle, g_sViewTitlePicture);
}

void frmWaveTTS::FillVoices()
{
    const qint32 count = cWaveTTS1->VoiceCount();
    cboVoices->clear();
    for (qint32 i = 1; i <= count; ++i)
        cboVoices->addItem(cWaveTTS1->VoiceName(i));
    cboVoices->setCurrentIndex(cboVoices->count() > 0 ? 0 : -1);
}

void frmWaveTTS::FillOutputs()
{
    const qint32 count = cWaveTTS1->OutputCount();
    cboAudioOutputs->clear();
    for (qint32 i = 1; i <= count; ++i)
        cboAudioOutputs->addItem(cWaveTTS1->OutputName(i));
    cboAudioOutputs->setCurrentIndex(cboAudioOutputs->count() > 0 ? 0 : -1);
}

void frmWaveTTS::cWaveTTS1_FormatFound(const QString &name, qint32 id)
{
    const int position = cboFormats->count();
    cboFormats->insertItem(position, name);
    cboFormats->setItemData(position, id);
}

void frmWaveTTS::cmdSay_Click()
{
    if (!cWaveTTS1->IsSpeaking()) {
        cWaveTTS1->setOutput(cboAudioOutputs->currentIndex());
        cWaveTTS1->setVoice(cboVoices->currentIndex());
        cWaveTTS1->setRate(sldRate->value());
        cWaveTTS1->setVolume(sldVolume->value());
        cWaveTTS1->setSpeakFlags(11);
        if (cboFormats->currentIndex() >= 0)
            cWaveTTS1->setFormat(cboFormats->currentData().toInt());
    }
    cWaveTTS1->Speak(txtSpeak->toPlainText());
}

void frmWaveTTS::cmdStop_Click()
{
    cWaveTTS1->Stop();
}

void frmWaveTTS::cWaveTTS1_Word(qint32 position, qint32 length)
{
    // The text may have changed since the words were counted: stay inside it.
    const int size = int(txtSpeak->toPlainText().size());
    const int start = qBound(0, int(position), size);
    QTextCursor cursor(txtSpeak->document());
    cursor.setPosition(start);
    cursor.setPosition(qBound(start, start + int(length), size), QTextCursor::KeepAnchor);
    txtSpeak->setTextCursor(cursor);
}

void frmWaveTTS::cWaveTTS1_Done()
{
    txtSpeak->selectAll();
}

void frmWaveTTS::sldRate_Change()
{
    lblRateVal->setText(QString::number(sldRate->value()));
}

void frmWaveTTS::sldVolume_Change()
{
    lblValumeVal->setText(QString::number(sldVolume->value()));
}

void frmWaveTTS::lblClearText_Click()
{
    if (MsgBox(QStringLiteral("This action will clear the Text-Box, continue?"), int(Msg::YesNo) + Msg::Information)
        == Msg::Yes)
        txtSpeak->clear();
}

void frmWaveTTS::txtSpeak_Change()
{
    lblClearText->setEnabled(!txtSpeak->toPlainText().isEmpty());
}

void frmWaveTTS::Form_Unload(int &Cancel)
{
    Cancel = 0;
    if (m_bUnloading)
        return;
    m_bUnloading = true;
    cWaveTTS1->Terminate();
    UserSettingsStore::Save(UserSettingsStore::speechFormat(), cboFormats->currentText());
    UserSettingsStore::Save(UserSettingsStore::speechVoice(), cboVoices->currentText());
}

void frmWaveTTS::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}

void frmWaveTTS::reject()
{
    close();
}

namespace Forms {

frmWaveTTS *waveTTS()
{
    return g_frmWaveTTS;
}

frmWaveTTS &loadWaveTTS(QWidget *owner)
{
    return load(g_frmWaveTTS, owner);
}

} // namespace Forms
