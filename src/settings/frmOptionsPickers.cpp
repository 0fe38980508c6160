// The buttons and links of the option pages that act at once.
#include "settings/frmOptions.h"

#include "controls/ui/cTreeView.h"
#include "core/RegistryRoutines.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlCommDialog.h"
#include "core/mdlFunctions.h"
#include "platform/CommandLine.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "settings/ColorBox.h"
#include "settings/FormatTabStrip.h"
#include "settings/frmAudioProp.h"
#include "settings/frmProgParameters.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>

void frmOptions::cmdAddSound_Click()
{
    g_FileDialog.lpstrFilter = QStringLiteral("media files (*.wav; *.mp3)") + QChar(u'\0') + QStringLiteral("*.wav; *.mp3") +
                               QChar(u'\0') + QStringLiteral("mp3 (*.mp3)") + QChar(u'\0') + QStringLiteral("*.mp3") +
                               QChar(u'\0') + QStringLiteral("wav (*.wav)") + QChar(u'\0') + QStringLiteral("*.wav") +
                               QChar(u'\0');
    g_FileDialog.lpstrTitle = QStringLiteral("Select files");
    const FileDialogResult chosen = mdlCommDialog::ShowOpen(this, true);
    if (chosen.Cancelled || chosen.FileCount < 1 || chosen.FileNames.size() < 2)
        return;
    // Only the first of several chosen files is taken.
    setPlayAtEnd(chosen.Folder + QLatin1Char('/') + chosen.FileNames.at(1));
}

void frmOptions::cmdTestSound_Click()
{
    Services::instance().sound().play(m_sPlayAtEndPath);
}

void frmOptions::cmdTestApp_Click()
{
    // Placeholders stay as typed here; a job fills them in.
    CommandLine::start(txtAppNotice->toPlainText(), true);
}

void frmOptions::cmdSelectPath_Click()
{
    mdlFunctions::BrowseForPathHistoryFolder(txtToPath, this);
}

void frmOptions::cmdEditTargetFormat_Click()
{
    Forms::loadAudioProp().openOnFormat(cboTargetFormat->currentText());
}

void frmOptions::picColor_Click()
{
    const qint32 color = mdlCommDialog::ShowColor(this, false);
    if (color == -1)
        return;
    picColor->setBackColor(color);
    picTitle->setBackColor(color);
    settingsKey().setSubkey(QStringLiteral("Display"));
    settingsKey().SetRegistryValue(QStringLiteral("picColor"), QString::number(color), REG_SZ);
    if (MainWindowFace *main = Forms::mainFace())
        main->setTitleBackColor(color);
}

void frmOptions::picTextColor_Click()
{
    const qint32 color = mdlCommDialog::ShowColor(this, false);
    if (color == -1)
        return;
    settingsKey().setSubkey(QStringLiteral("Display"));
    settingsKey().SetRegistryValue(QStringLiteral("picTextColor"), QString::number(color), REG_SZ);
    picTextColor->setBackColor(color);
    ColorBox::paintText(lblTitle, color);
    if (MainWindowFace *main = Forms::mainFace())
        main->setTitleTextColor(color);
}

void frmOptions::lblParameters_Click()
{
    Forms::loadProgParameters().execOnSection(frmProgParameters::FileNameSection);
}

void frmOptions::lblNoticParameters_Click()
{
    Forms::loadProgParameters().execOnSection(frmProgParameters::NoticeSection);
}

void frmOptions::lblID3TagParameters_Click()
{
    Forms::loadProgParameters().execOnSection(frmProgParameters::TagsSection);
}

void frmOptions::lblMoreAdvancedOptions_Click()
{
    cTreeView1_NodeClick(cTreeView1->Nodes().Item(QStringLiteral("Advanced")));
}

void frmOptions::lblOpenDestinationDestinationFolder_Click()
{
    if (!txtToPath->currentText().endsWith(QLatin1Char('/')))
        txtToPath->setEditText(txtToPath->currentText() + QLatin1Char('/'));
    const QString path = txtToPath->currentText();

    if (!QFileInfo(path).isDir()) {
        const int answer = MsgBox(QStringLiteral("The folder ") + path + QStringLiteral(" does not exist.") +
                                      QString(44, QLatin1Char(' ')) + QStringLiteral("\r\n\r\n") +
                                      QStringLiteral("Would you like to create it?"),
                                  int(Msg::YesNo) + Msg::Information);
        if (answer != Msg::Yes)
            return;
        if (mdlFunctions::MakeFolderPath(path) != 0) {
            MsgBox(QStringLiteral("The path: ") + path + QStringLiteral(" cannot be created."), Msg::OkOnly);
            // Nothing to show: the desktop would only guess what the missing
            // path might mean.
            return;
        }
        mdlFunctions::SavePathHistory(txtToPath);
        mdlFunctions::LoadPathHistory(txtToPath);
    }
    mdlFunctions::ShellOpen(this, path);
}
