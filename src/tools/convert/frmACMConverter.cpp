#include "tools/convert/frmACMConverter.h"

#include "controls/audio/cAudioConverter.h"
#include "controls/ui/cGrid.h"
#include "core/forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>

namespace {

const QString kAllCodecs = QStringLiteral("All ACM Codecs");

ToolWindowLook acmConverterLook()
{
    ToolWindowLook look;
    look.caption = QStringLiteral("ACM Converter");
    look.iconName = QStringLiteral("replace2");
    look.firstTabCaption = QStringLiteral("ACM Converter        ");
    look.firstTabIcon = 61;
    look.convertCaption = QStringLiteral("Convert");
    look.playSoundCaption = QStringLiteral("Play a sound");
    look.noticeAppCaption = QStringLiteral("Execute external program");
    look.hasOverWrite = true;
    look.hasTargetFormat = false;
    look.jobItemLogText = QStringLiteral("Start to convert: ");
    return look;
}

// Adds text to a sorted list, in the list's order (letter case aside), as
// an addition: the box's pick stays as it was, none when it had none.
void addSorted(QComboBox *box, const QString &text)
{
    const QSignalBlocker quiet(box);
    const int picked = box->currentIndex();
    int at = 0;
    while (at < box->count() && QString::compare(box->itemText(at), text, Qt::CaseInsensitive) <= 0)
        ++at;
    box->insertItem(at, text);
    if (picked < 0)
        box->setCurrentIndex(-1);
}

void clearQuietly(QComboBox *box)
{
    const QSignalBlocker quiet(box);
    box->clear();
}

QPointer<frmACMConverter> g_frmACMConverter;

} // namespace

frmACMConverter::frmACMConverter(QWidget *parent)
    : AudioConverterWindow(acmConverterLook(), parent)
{
    // The codec choice takes the place of the target-format row.
    Label1 = new QLabel(QStringLiteral("Best ACM Codecs According:"), TabSettings);
    Label1->setGeometry(8, 92, 170, 22);
    cboBestAccordItem = new QComboBox(TabSettings);
    cboBestAccordItem->setGeometry(180, 92, 400, 22);
    lblTag = new QLabel(QStringLiteral("Target ACM Tag:"), TabSettings);
    lblTag->setGeometry(8, 118, 100, 22);
    cboTags = new QComboBox(TabSettings);
    cboTags->setGeometry(110, 118, 170, 22);
    lblFormat = new QLabel(QStringLiteral("Target ACM Format:"), TabSettings);
    lblFormat->setGeometry(290, 118, 120, 22);
    cboFormats = new QComboBox(TabSettings);
    cboFormats->setGeometry(410, 118, 170, 22);
    if (chkOverWrite)
        chkOverWrite->move(chkOverWrite->x(), 146);

    connect(cboBestAccordItem, &QComboBox::currentIndexChanged, this, [this] { cboBestAccordItem_Click(); });
    connect(cboTags, &QComboBox::currentIndexChanged, this, [this] { cboTags_Click(); });
    connect(cAudioConverter1, &cAudioConverter::ACMTagFound, this, &frmACMConverter::cAudioConverter1_ACMTagFound);
    connect(cAudioConverter1, &cAudioConverter::ACMFormatFound, this,
            &frmACMConverter::cAudioConverter1_ACMFormatFound);
}

frmACMConverter::~frmACMConverter() = default;

void frmACMConverter::loadOwnControls()
{
    AudioConverterWindow::loadOwnControls();
    cAudioConverter1->EnumACMTags(1, 44100, 2, 16, 0);
    if (cboTags->count() > 0)
        selectPcm();
}

void frmACMConverter::HandOver(const QVector<ItemsListRow::Data> &rows, const QString &listName,
                               const QStringList &listFiles, const std::optional<QString> &selectedFile)
{
    AudioConverterWindow::HandOver(rows, listName);
    clearQuietly(cboBestAccordItem);
    addSorted(cboBestAccordItem, kAllCodecs);
    for (const QString &file : listFiles)
        addSorted(cboBestAccordItem, file);
    if (selectedFile)
        cboBestAccordItem->setCurrentIndex(
            cboBestAccordItem->findText(*selectedFile, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void frmACMConverter::selectPcm()
{
    cboTags->setCurrentIndex(cboTags->findText(QStringLiteral("PCM"), Qt::MatchExactly | Qt::MatchCaseSensitive));
    cboTags_Click();
}

void frmACMConverter::cboBestAccordItem_Click()
{
    clearQuietly(cboTags);
    clearQuietly(cboFormats);
    const QString item = cboBestAccordItem->currentText();
    if (item == kAllCodecs) {
        cAudioConverter1->EnumACMTags(1, cAudioConverter1->SampleRate(), cAudioConverter1->Channels(),
                                      cAudioConverter1->BitsPerSample(), 0);
    } else {
        cAudioConverter1->OpenSource(item);
        cAudioConverter1->EnumACMTags(1, cAudioConverter1->SampleRate(), cAudioConverter1->Channels(),
                                      cAudioConverter1->BitsPerSample(), kAcmConvertFlag);
    }
    if (cboTags->count() == 0)
        return;
    selectPcm();
}

void frmACMConverter::cboTags_Click()
{
    clearQuietly(cboFormats);
    cAudioConverter1->EnumACMFormats(cboTags->currentText());
    if (cboFormats->count() > 0)
        cboFormats->setCurrentIndex(0);
}

void frmACMConverter::cAudioConverter1_ACMTagFound(const QString &tagName)
{
    addSorted(cboTags, tagName);
}

void frmACMConverter::cAudioConverter1_ACMFormatFound(const QString &formatName)
{
    const QSignalBlocker quiet(cboFormats);
    const int picked = cboFormats->currentIndex();
    cboFormats->addItem(formatName);
    if (picked < 0)
        cboFormats->setCurrentIndex(-1);
}

void frmACMConverter::SetDestination()
{
    cAudioConverter1->DestFormat(2);
    cAudioConverter1->SetACMSettings(cboTags->currentText(), cboFormats->currentText());
    log(QStringLiteral("Destination format: ACM WAV"));
}

namespace Forms {

frmACMConverter *acmConverter()
{
    return g_frmACMConverter;
}

frmACMConverter &loadACMConverter(QWidget *owner)
{
    return load(g_frmACMConverter, owner);
}

} // namespace Forms
