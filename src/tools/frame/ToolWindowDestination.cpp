// The destination block of the tool windows: folder with history, sub-folder,
// target format with its default, and the hand-over of the format's encoder
// settings to the job control.
#include "tools/frame/ToolWindow.h"

#include "tools/frame/DestinationHandOver.h"

#include "controls/audio/AudioDestination.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlFunctions.h"
#include "core/mdlModes.h"
#include "core/mdlSupportedDestination.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>

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

bool ToolWindow::checkDestinationFormat()
{
    if (!cboTargetFormat || cboTargetFormat->currentIndex() >= 0)
        return true;
    MsgBox(QStringLiteral("Select the destination format."), int(Msg::OkOnly) + Msg::Information);
    return false;
}

void ToolWindow::chkCreateSubFolder_Click()
{
    CheckUnderFolderEna();
}

void ToolWindow::cmdSelectPath_Click()
{
    mdlFunctions::BrowseForPathHistoryFolder(txtToPath, this);
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
    // The default destination is the program's own: made, not asked about.
    AppPaths::makeDefaultDestination(txtToPath->currentText());
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
    Forms::loadOptions().selectTargetFormat(format);
    g_sDefaultTargetFormat = format;
    lblSetAsDefaultFormat->setEnabled(false);
}

void ToolWindow::cmdEditTargetFormat_Click()
{
    Forms::loadAudioProp().openOnFormat(cboTargetFormat->currentText());
    if (frmOptions *options = Forms::options())
        cboTargetFormat->setCurrentIndex(options->targetFormatIndex());
    lblSetAsDefaultFormat_Click();
}

void ToolWindow::lblEventsSettings_Click()
{
    Forms::loadOptions().execOnPage(QStringLiteral("Events"), this);
    setEventBoxesFromOptions();
}

void ToolWindow::SetDestination()
{
    const qint16 index = mdlSupportedDestination::GetFormatIndex(cboTargetFormat->currentText());
    log(QStringLiteral("Destination format: ") + DestinationHandOver::handOver(jobDestination(), index));
}
