// The options window as the store of the general options: reading the
// registry into the controls, publishing them, OK and Cancel.
#include "settings/frmOptions.h"

#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeView.h"
#include "core/RegistryRoutines.h"
#include "core/MainWindowFace.h"
#include "core/forms.h"
#include "core/mdlFileSystem.h"
#include "core/mdlFunctions.h"
#include "core/mdlRunOnStart.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "platform/SafeWrite.h"
#include "settings/ColorBox.h"
#include "settings/OptionSettings.h"
#include "settings/OptionsFolders.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cmath>
#include <limits>
#include <optional>

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kEvents = QStringLiteral("Events");
const QString kTags = QStringLiteral("ID3 Tags");

// A stored number as the controls take it: blanks around it are allowed, a
// fraction rounds to the even neighbour, anything else is no number.
std::optional<qint32> numberOf(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

qint32 checkValue(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    }
    return 0;
}

// A check box takes 0 (clear), 1 (ticked) or 2 (greyed); any other value
// leaves it as it was. Setting it raises its click handler when it changes.
void setCheckValue(QCheckBox *box, std::optional<qint32> value)
{
    if (!value || *value < 0 || *value > 2)
        return;
    box->setCheckState(*value == 0 ? Qt::Unchecked : *value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

bool isOn(const QCheckBox *box)
{
    return box->checkState() != Qt::Unchecked;
}

// Selects the entry with exactly that text; a text no entry has changes nothing.
void selectByText(QComboBox *combo, const QString &text)
{
    if (text.isEmpty())
        return;
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

void frmOptions::GetOptions()
{
    RegistryRoutines &reg = settingsKey();
    const auto value = [&reg](const QString &name) { return reg.GetRegistryValue(name).toString(); };
    // A check box's stored state; empty reads as clear.
    const auto readCheck = [&value](QCheckBox *box, const char *name) {
        const QString text = value(QString::fromLatin1(name));
        setCheckValue(box, text.isEmpty() ? std::optional<qint32>(0) : numberOf(text));
        return isOn(box);
    };

    reg.setSubkey(kGeneral);

    const std::optional<qint32> device = numberOf(value(QStringLiteral("cboDevices")).isEmpty()
                                                      ? QStringLiteral("0")
                                                      : value(QStringLiteral("cboDevices")));
    if (device && *device >= -1 && *device < cboDevices->count())
        cboDevices->setCurrentIndex(*device);
    g_lAudioDeviceIndex = cboDevices->currentIndex();

    const QString targetFormat = value(QStringLiteral("cboTargetFormat"));
    if (!targetFormat.isEmpty()) {
        selectByText(cboTargetFormat, targetFormat);
        g_sDefaultTargetFormat = cboTargetFormat->currentText();
    }

    txtToPath->setEditText(value(QStringLiteral("txtToPath")));

    g_bSelectTheLastItem = readCheck(chkSelectTheLastItem, "chkSelectTheLastItem");
    g_bAutoFreeDB = readCheck(chkAutoFreeDB, "chkAutoFreeDB");

    // The lists folder is always a whole folder path ending in "/", so a list
    // file's path is the folder followed directly by its name.
    const QString folder = txtToPath->currentText();
    if (folder.trimmed().isEmpty()) {
        // Only the lists' own folder: it goes into no history, which is the
        // tools' destination folders', or a new user's files would land
        // beside the list files.
        txtToPath->setEditText(OptionsFolders::defaultListsFolder());
        OptionsFolders::ensureDefaultListsFolder(OptionsFolders::defaultListsFolder());
    } else if (folder != OptionsFolders::normalListsFolder(folder)) {
        txtToPath->setEditText(OptionsFolders::normalListsFolder(folder));
    }
    OptionsFolders::ensureDefaultListsFolder(txtToPath->currentText());
    g_sItemsListMainDirectory = txtToPath->currentText();

    selectByText(cboFileName, value(QStringLiteral("cboFileName")));
    g_sDefaultFileNameFormat = cboFileName->currentText();

    g_bSaveLogWhenExit = readCheck(chkSaveLogWhenExit, "chkSaveLogWhenExit");
    g_bDisplayMSGWhenExit = readCheck(chkDisplayMSGWhenExit, "chkDisplayMSGWhenExit");
    g_bDisplayMSGWhenErase = readCheck(chkDisplayMSGWhenErase, "chkDisplayMSGWhenErase");
    g_bGoToNextItem = readCheck(chkGoToNextItem, "chkGoToNextItem");
    g_bDisplayPlayer = readCheck(chkDisplayPlayer, "chkDisplayPlayer");
    g_bClearOnExit = readCheck(chkClearOnExit, "chkClearOnExit");
    g_bDisplayAudioGraph = readCheck(chkDisplayAudioGraph, "chkDisplayAudioGraph");
    g_bMenuXPStyle = readCheck(chkMenuXPStyle, "chkMenuXPStyle");
    g_bDisplayGridHotTrack = readCheck(chkDisplayGridHotTrack, "chkDisplayGridHotTrack");
    g_bDisplayTitle = readCheck(chkDisplayTitle, "chkDisplayTitle");
    g_bDisplayGridLine = readCheck(chkDisplayGridLine, "chkDisplayGridLine");

    // A colour is a number of the three colour bytes; empty reads as black.
    const auto readColor = [&value](ColorBox *box, const char *name) {
        const QString text = value(QString::fromLatin1(name));
        const std::optional<qint32> color = text.isEmpty() ? std::optional<qint32>(0) : numberOf(text);
        if (color && *color >= 0 && *color <= 0xFFFFFF)
            box->setBackColor(*color);
        return box->BackColor();
    };
    g_lTitleBackColor = readColor(picColor, "picColor");
    g_lTitleTextColor = readColor(picTextColor, "picTextColor");
    picTitle->setBackColor(picColor->BackColor());
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, ColorBox::toColor(picTextColor->BackColor()));
    lblTitle->setPalette(titlePalette);

    chkRunWhenWinStarts->setCheckState(mdlRunOnStart::IsRunOnStartup() ? Qt::Checked : Qt::Unchecked);

    g_bDisplayLiveUpdateWindow = readCheck(chkDisplayLiveUpdateWindow, "chkDisplayLiveUpdateWindow");
    g_bAutoUpdate = readCheck(chkAutoUpdate, "chkAutoUpdate");

    reg.setSubkey(kEvents);
    g_bOpenDestFolder = readCheck(chkOpenDestFolder, "chkOpenDestFolder");
    g_bTurnOffComputer = readCheck(chkTurnOffComputer, "chkTurnOffComputer");
    g_bPlaySound = readCheck(chkPlaySound, "chkPlaySound");

    // A path without a file name (empty, or ending in "/") has nothing to play.
    const QString sound = value(QStringLiteral("txtPlayAtEnd"));
    setPlayAtEnd(mdlFunctions::GetFileName(sound).isEmpty() ? OptionsFolders::defaultEndSound() : sound);
    g_sEndSoundFile = m_sPlayAtEndPath;

    g_bNoticeApp = readCheck(chkNoticeApp, "chkNoticeApp");
    txtAppNotice->setPlainText(value(QStringLiteral("txtAppNotice")));
    g_sNoticeCommandLine = txtAppNotice->toPlainText();

    reg.setSubkey(kTags);
    {
        const QString text = value(QStringLiteral("chkCopyID3FromSource"));
        setCheckValue(chkCopyID3FromSource, text.isEmpty() ? std::optional<qint32>(1) : numberOf(text));
        g_bCopyID3FromSource = isOn(chkCopyID3FromSource);
    }
    const auto readText = [&value](QLineEdit *box, const char *name) {
        box->setText(value(QString::fromLatin1(name)));
        return box->text();
    };
    g_sTagArtist = readText(txtTagArtist, "txtTagArtist");
    g_sTagSong = readText(txtTagSong, "txtTagSong");
    g_sTagAlbum = readText(txtTagAlbum, "txtTagAlbum");
    g_sTagTrack = readText(txtTagTrack, "txtTagTrack");
    g_sTagGenre = readText(txtTagGenre, "txtTagGenre");
    g_sTagYear = readText(txtTagYear, "txtTagYear");
    txtTagComment->setPlainText(value(QStringLiteral("txtTagComment")));
    g_sTagComment = txtTagComment->toPlainText();
}

void frmOptions::setPlayAtEnd(const QString &fullPath)
{
    m_sPlayAtEndPath = fullPath;
    txtPlayAtEnd->setText(mdlFunctions::GetFileName(fullPath));
    txtPlayAtEnd->setToolTip(fullPath);
}

void frmOptions::cmdOk_Click()
{
    RegistryRoutines &reg = settingsKey();
    bool unsaved = false;
    const auto write = [&reg, &unsaved](const char *name, const QString &text) {
        // A missing subkey stores nothing by design; a key that is there but
        // cannot be written would lose the user's choice without a word.
        if (!reg.SetRegistryValue(QString::fromLatin1(name), text, REG_SZ) && reg.KeyExists())
            unsaved = true;
    };
    const auto writeCheck = [&write](const char *name, const QCheckBox *box) {
        write(name, QString::number(checkValue(box)));
    };

    reg.setSubkey(kGeneral);
    writeCheck("chkClearOnExit", chkClearOnExit);
    writeCheck("chkDisplayAudioGraph", chkDisplayAudioGraph);
    writeCheck("chkMenuXPStyle", chkMenuXPStyle);
    writeCheck("chkSelectTheLastItem", chkSelectTheLastItem);
    writeCheck("chkAutoFreeDB", chkAutoFreeDB);
    writeCheck("chkDisplayPlayer", chkDisplayPlayer);
    writeCheck("chkDisplayGridHotTrack", chkDisplayGridHotTrack);
    writeCheck("chkDisplayTitle", chkDisplayTitle);
    writeCheck("chkDisplayGridLine", chkDisplayGridLine);
    write("picColor", QString::number(picColor->BackColor()));
    write("picTextColor", QString::number(picTextColor->BackColor()));
    write("cboDevices", QString::number(cboDevices->currentIndex()));
    write("cboTargetFormat", cboTargetFormat->currentText());

    // An emptied folder goes back to the default before anything uses it:
    // an empty folder would put list files wherever the program was started.
    const QString folder = OptionsFolders::normalListsFolder(txtToPath->currentText());
    OptionsFolders::ensureDefaultListsFolder(folder);
    if (txtToPath->currentText() != folder)
        txtToPath->setEditText(folder);
    if (folder != g_sItemsListMainDirectory) {
        g_sItemsListMainDirectory = folder;
        if (MainWindowFace *main = Forms::mainFace())
            main->reloadListsTree();
    } else {
        g_sItemsListMainDirectory = folder;
    }
    write("txtToPath", folder);
    write("cboFileName", cboFileName->currentText());

    const bool runOnStart = chkRunWhenWinStarts->checkState() == Qt::Checked;
    QString startError;
    if (mdlRunOnStart::SetRunOnStartup(runOnStart, &startError) == 0 && runOnStart)
        MsgBox(SafeWrite::cannotSave(mdlRunOnStart::autostartFile(), startError), int(Msg::OkOnly) + int(Msg::Critical));

    writeCheck("chkSaveLogWhenExit", chkSaveLogWhenExit);
    writeCheck("chkDisplayMSGWhenExit", chkDisplayMSGWhenExit);
    writeCheck("chkDisplayMSGWhenErase", chkDisplayMSGWhenErase);
    writeCheck("chkGoToNextItem", chkGoToNextItem);
    writeCheck("chkDisplayLiveUpdateWindow", chkDisplayLiveUpdateWindow);
    writeCheck("chkAutoUpdate", chkAutoUpdate);

    reg.setSubkey(kEvents);
    writeCheck("chkOpenDestFolder", chkOpenDestFolder);
    writeCheck("chkTurnOffComputer", chkTurnOffComputer);
    writeCheck("chkPlaySound", chkPlaySound);
    write("txtPlayAtEnd", m_sPlayAtEndPath);
    writeCheck("chkNoticeApp", chkNoticeApp);
    write("txtAppNotice", txtAppNotice->toPlainText());

    reg.setSubkey(kTags);
    writeCheck("chkCopyID3FromSource", chkCopyID3FromSource);
    write("txtTagArtist", txtTagArtist->text());
    write("txtTagSong", txtTagSong->text());
    write("txtTagAlbum", txtTagAlbum->text());
    write("txtTagGenre", txtTagGenre->text());
    write("txtTagTrack", txtTagTrack->text());
    write("txtTagYear", txtTagYear->text());
    write("txtTagComment", txtTagComment->toPlainText());

    if (unsaved)
        MsgBox(QStringLiteral("Some options could not be saved: the settings in %1 cannot be written.")
                   .arg(AppPaths::registryFolder()),
               Msg::Exclamation);
    GetOptions();
    g_sItemsListMainDirectory = txtToPath->currentText();

    if (MainWindowFace *main = Forms::mainFace())
        main->applyDisplayOptions();
    close();
}

void frmOptions::cmdCancel_Click()
{
    GetOptions();
    close();
}

void frmOptions::LoadFileNameFormats()
{
    const QString file = AppPaths::programFolder() + QStringLiteral("/FileNameFormats.txt");
    if (mdlFileSystem::FileExists(file))
        mdlFunctions::LoadListFileToCombo(file, cboFileName);
}

bool frmOptions::IsFormLoaded(const QString &name) const
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (QString::fromLatin1(window->metaObject()->className()) == name)
            return true;
    }
    return false;
}
