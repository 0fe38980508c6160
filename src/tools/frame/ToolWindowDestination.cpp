// The destination block of the tool windows: folder with history, sub-folder,
// target format with its default, and the hand-over of the format's encoder
// settings to the job control.
#include "tools/frame/ToolWindow.h"

#include "controls/audio/AudioDestination.h"
#include "controls/ui/cTreeView.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlCommDialog.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlSupportedDestination.h"
#include "platform/Prompter.h"
#include "settings/AudioFormatSettings.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>

namespace {

qint16 flag(bool value)
{
    return value ? -1 : 0;
}

} // namespace

void ToolWindow::CheckUnderFolderEna()
{
    if (chkCreateSubFolder->isChecked()) {
        txtUndeForlder->setEnabled(true);
        txtUndeForlder->setFocus();
        txtUndeForlder->setSelection(0, int(txtUndeForlder->text().length()));
    } else {
        txtUndeForlder->setEnabled(false);
    }
}

QString ToolWindow::GetSubFolderPart() const
{
    if (chkCreateSubFolder->isChecked() && !txtUndeForlder->text().isEmpty())
        return txtUndeForlder->text() + QLatin1Char('/');
    return QString();
}

QString ToolWindow::destinationFolder() const
{
    QString folder = txtToPath->currentText();
    // A folder typed without its closing "/" is still that folder: the file
    // names go inside it rather than being glued to its name.
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + GetSubFolderPart();
}

bool ToolWindow::checkDestinationFolder()
{
    if (!txtToPath->currentText().trimmed().isEmpty())
        return true;
    MsgBox(QStringLiteral("Select the destination folder."), int(Msg::OkOnly) + Msg::Information);
    return false;
}

void ToolWindow::chkCreateSubFolder_Click()
{
    CheckUnderFolderEna();
}

void ToolWindow::cmdSelectPath_Click()
{
    QString folder = mdlCommDialog::BrowseForFolder(QStringLiteral("Select a new directory"),
                                                    txtToPath->currentText(), this, true, true, true, false);
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    txtToPath->setEditText(folder);
    mdlFunctions::SavePathHistory(txtToPath);
    mdlFunctions::LoadPathHistory(txtToPath);
}

void ToolWindow::txtToPath_Click()
{
    lblSetAsDefaultDestination->setEnabled(false);
    if (txtToPath->currentIndex() > 0)
        lblSetAsDefaultDestination->setEnabled(true);
}

void ToolWindow::lblSetAsDefaultDestination_Click()
{
    mdlFunctions::SavePathHistory(txtToPath);
    mdlFunctions::LoadPathHistory(txtToPath);
    lblSetAsDefaultDestination->setEnabled(false);
}

void ToolWindow::lblOpenDestinationDestinationFolder_Click()
{
    if (!txtToPath->currentText().endsWith(QLatin1Char('/')))
        txtToPath->setEditText(txtToPath->currentText() + QLatin1Char('/'));
    const QString path = destinationFolder();
    if (!QDir(path).exists()) {
        const int answer = MsgBox(QStringLiteral("The folder ") + path + QStringLiteral(" does not exist.")
                                      + QString(44, QLatin1Char(' ')) + QStringLiteral("\r\n\r\nWould you like to create it?"),
                                  int(Msg::YesNo) + Msg::Information);
        if (answer != Msg::Yes)
            return;
        if (mdlFunctions::MakeFolderPath(path) != 0) {
            MsgBox(QStringLiteral("The path: ") + path + QStringLiteral(" cannot be created."), Msg::OkOnly);
        } else {
            mdlFunctions::SavePathHistory(txtToPath);
            mdlFunctions::LoadPathHistory(txtToPath);
        }
    }
    mdlFunctions::ShellOpen(this, path);
}

void ToolWindow::cboTargetFormat_Click()
{
    lblSetAsDefaultFormat->setEnabled(false);
    if (cboTargetFormat->currentText() != g_sDefaultTargetFormat)
        lblSetAsDefaultFormat->setEnabled(true);
}

void ToolWindow::lblSetAsDefaultFormat_Click()
{
    const QString format = cboTargetFormat->currentText();
    {
        RegistryRoutines reg;
        reg.setHkey(HKEY_LOCAL_MACHINE);
        reg.setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
        reg.setSubkey(QStringLiteral("General"));
        reg.SetRegistryValue(QStringLiteral("cboTargetFormat"), format, REG_SZ);
    }
    frmOptions &options = Forms::loadOptions();
    options.cboTargetFormat->setCurrentIndex(options.cboTargetFormat->findText(format, Qt::MatchExactly));
    g_sDefaultTargetFormat = format;
    lblSetAsDefaultFormat->setEnabled(false);
}

void ToolWindow::cmdEditTargetFormat_Click()
{
    QPointer<frmAudioProp> formats(&Forms::loadAudioProp());
    const QString key = cboTargetFormat->currentText().left(3);
    formats->cTabControl1->SelectTab(key);
    formats->cTabControl1_TabClick(formats->cTabControl1->TabIndex(key));
    formats->exec();
    if (frmOptions *options = Forms::options())
        cboTargetFormat->setCurrentIndex(options->cboTargetFormat->currentIndex());
    lblSetAsDefaultFormat_Click();
}

void ToolWindow::lblEventsSettings_Click()
{
    QPointer<frmOptions> options(&Forms::loadOptions());
    if (cTreeNode *node = options->cTreeView1->Nodes().Item(QStringLiteral("Events"))) {
        node->setSelected(true);
        options->cTreeView1_NodeClick(node);
    }
    options->exec();
    setEventBoxesFromOptions();
}

void ToolWindow::SetDestination()
{
    AudioDestination &control = jobDestination();
    const qint16 index = mdlSupportedDestination::GetFormatIndex(cboTargetFormat->currentText());
    control.DestFormat(index + 1);
    QString logText;
    switch (index) {
    case 1:
        control.SetACMSettings(g_sAcmFormatTag, g_sAcmFormat);
        logText = QStringLiteral("ACM WAV");
        break;
    case 2: {
        Mp3EncoderSettings mp3;
        mp3.ABRBitrate = g_lMp3ABRBitrate;
        mp3.Bitrate = g_lMp3Bitrate;
        mp3.Copyright = flag(g_bMp3Copyright);
        mp3.ErrorProtection = flag(g_bMp3ErrorProtect);
        mp3.Mode = g_lMp3Mode;
        mp3.Original = flag(g_bMp3Original);
        mp3.SampleRate = g_lMp3SampleRate;
        mp3.Quality = g_lMp3Quality;
        mp3.StrictISO = flag(g_bMp3StrictISO);
        mp3.VBRForceMinBitrate = flag(g_bMp3VBRForceMinBitrate);
        mp3.VBRMinBitrateIndex = g_lMp3MinBitrateIndex;
        mp3.VBRMaxBitrateIndex = g_lMp3MaxBitrateIndex;
        mp3.VBRQualityIndex = g_lMp3VBRQuality;
        mp3.VBRMode = 0;
        if (g_bMp3VBRTag) {
            mp3.VBRMode = 4;
            mp3.WriteVBRTag = -1;
        }
        if (g_bMp3ABR)
            mp3.VBRMode = 3;
        control.SetMP3Settings(mp3);
        logText = QStringLiteral("MP3");
        break;
    }
    case 3: {
        WmaFormatSettings wma;
        wma.CodecIndex = g_lWmaCodecIndex;
        wma.FormatIndex = g_lWmaFormatIndex;
        control.SetWMASettings(wma);
        logText = QStringLiteral("WMA");
        break;
    }
    case 4: {
        OggEncoderSettings ogg;
        if (g_bOggBitrateMode) {
            ogg.Mode = 2;
            ogg.NominalBitrate = g_lOggNominalBitrate;
        } else {
            ogg.Quality = g_lOggQuality;
        }
        control.SetOGGSettings(ogg);
        logText = QStringLiteral("OGG");
        break;
    }
    case 5:
        control.SetAPESettings(g_lApeLevel);
        logText = QStringLiteral("APE");
        break;
    default: {
        WavFormatSettings wav;
        wav.SampleRate = g_lWavSampleRate;
        wav.Channels = qint16(g_lWavChannelsIndex + 1);
        // A value that does not fit the record's field leaves it at 0.
        wav.BitsPerSample = (g_lWavBitsPerSample >= -32768 && g_lWavBitsPerSample <= 32767)
            ? qint16(g_lWavBitsPerSample)
            : qint16(0);
        control.SetWAVSettings(wav);
        logText = QStringLiteral("WAV");
        break;
    }
    }
    log(QStringLiteral("Destination format: ") + logText);
}
