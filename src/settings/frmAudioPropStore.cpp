#include "settings/frmAudioPropControls.h"

#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "settings/AudioFormatSettings.h"
#include "settings/frmOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QSlider>

#include <cmath>
#include <limits>
#include <optional>

using namespace AudioPropControls;

namespace {

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

} // namespace

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
    Forms::loadOptions().setTargetFormatIndex(cTabControl1->SelectedTab() - 1);

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
