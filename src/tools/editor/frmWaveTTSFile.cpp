// Speech into files: the text is spoken into the program folder's
// temporary WAV file, which the conversion window turns into the target
// format, saved under a chosen name or added to the items list.
#include "tools/editor/frmWaveTTS.h"

#include "controls/audio/cWaveTTS.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlCommDialog.h"
#include "lists/ItemsTreeNodeKey.h"
#include "lists/frmStat.h"
#include "tools/frame/mdlTemplates.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "tools/editor/frmAudioEditorProc.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPointer>

QString frmWaveTTS::speechTempFile()
{
    return AppPaths::programFolder() + QStringLiteral("/tmptts.wav");
}

QString frmWaveTTS::targetExtension() const
{
    return cboTargetFormat->currentText().left(3).toLower();
}

QString frmWaveTTS::generatedSpeechPath() const
{
    const QString target = cboTargetFormat->currentText();
    QString name = QStringLiteral("TTS_")
        + (Forms::mainFace() ? Forms::mainFace()->speechFileName(target)
                         : mdlTemplates::SpeechFileName(QDateTime::currentDateTime(), target));
    name.chop(3);
    const QString folder = AppPaths::programFolder() + QLatin1Char('/');
    const QString base = name.left(name.size() - 1);
    const QString extension = targetExtension();
    // Two adds within one second would share a name, and the second would
    // replace a file that a list already holds: the later one is numbered.
    QString path = folder + name + extension;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + base + QLatin1Char('_') + QString::number(n) + QLatin1Char('.') + extension;
    return path;
}

qint32 frmWaveTTS::SpeakToWavFile(const QString &sFile)
{
    cWaveTTS1->setOutput(cboAudioOutputs->currentIndex());
    cWaveTTS1->setVoice(cboVoices->currentIndex());
    cWaveTTS1->setRate(0);
    cWaveTTS1->setVolume(100);
    cWaveTTS1->setSpeakFlags(11);
    if (cboFormats->currentIndex() >= 0)
        cWaveTTS1->setFormat(cboFormats->currentData().toInt());
    QString path = sFile;
    const qint32 code = cWaveTTS1->SpeakToFile(txtSpeak->toPlainText(), path);
    if (code != 0)
        MsgBox(QStringLiteral("The speech could not be written:\r\n") + cWaveTTS1->ErrorText(),
               int(Msg::OkOnly) + Msg::Information);
    return code;
}

bool frmWaveTTS::convertSpeech(const QString &destination)
{
    setCursor(Qt::WaitCursor);
    QPointer<frmAudioEditorProc> proc(&Forms::loadAudioEditorProc());
    proc->g_sConvertToTarget = cboTargetFormat->currentText();
    proc->g_bConvertTo = true;
    // Only a conversion that reached its end wrote the file; the window may
    // be gone by the time its modal show returns.
    bool done = false;
    const QMetaObject::Connection watch
        = connect(proc.data(), &frmAudioEditorProc::conversionDone, this, [&done] { done = true; });
    proc->ConvertFile(speechTempFile(), destination);
    unsetCursor();
    proc->exec();
    disconnect(watch);
    return done && QFileInfo(destination).isFile();
}

void frmWaveTTS::cmdAdd_Click()
{
    MainWindowFace *main = Forms::mainFace();
    const QString key = main ? main->selectedListKey() : QString();
    if (key.isEmpty() || ItemsTreeNodeKey::IsMainNode(key) || ItemsTreeNodeKey::IsCDNode(key)) {
        MsgBox(QStringLiteral("Select the Items List."), int(Msg::OkOnly) + Msg::Information);
        return;
    }
    const QString destination = generatedSpeechPath();
    if (SpeakToWavFile(speechTempFile()) != 0)
        return;
    if (!convertSpeech(destination))
        return;
    const QPointer<frmWaveTTS> self = this;
    const auto shown = [self, main](int) {
        main->showSelectedList();
        if (self)
            self->close();
    };
    if (!AddFiles::addToSelectedList(*main, {destination}, shown))
        shown(0);
}

void frmWaveTTS::cmdSaveAs_Click()
{
    const QString extension = targetExtension();
    g_FileDialog.lpstrFilter = QStringLiteral("Audio Files (*.") + extension + QStringLiteral(")") + QChar(0)
        + QStringLiteral("*.") + extension;
    g_FileDialog.lpstrTitle = QStringLiteral("Save As");
    g_FileDialog.lpstrDefExt = extension;
    const FileDialogResult result = mdlCommDialog::ShowSave(this, QString(), true);
    if (result.Cancelled || result.FileNames.size() < 2 || result.FileNames.at(1).isEmpty())
        return;
    if (SpeakToWavFile(speechTempFile()) != 0)
        return;
    convertSpeech(result.FileNames.at(1));
}

void frmWaveTTS::cmdEditTargetFormat_Click()
{
    Forms::loadAudioProp().openOnFormat(cboTargetFormat->currentText());
    if (frmOptions *options = Forms::options())
        cboTargetFormat->setCurrentIndex(options->targetFormatIndex());
}

void frmWaveTTS::lblID3Tags_Click()
{
    Forms::loadOptions().execOnPage(QStringLiteral("ID3 Tags"), this);
}
