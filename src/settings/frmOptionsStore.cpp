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
#include "settings/OptionsTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cmath>
#include <limits>
#include <optional>
#include <variant>

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kEvents = QStringLiteral("Events");

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

// Selects the entry with exactly that text; a text no entry has changes nothing.
void selectByText(QComboBox *combo, const QString &text)
{
    if (text.isEmpty())
        return;
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

// A colour is the number of its three bytes; anything else keeps the box's.
void setColorValue(ColorBox *box, std::optional<qint32> color)
{
    if (color && *color >= 0 && *color <= 0xFFFFFF)
        box->setBackColor(*color);
}

} // namespace

// Puts the stored text of option into its control and publishes the control's value.
void frmOptions::readOption(const OptionsTable::Option &option, const QString &text)
{
    const std::optional<qint32> number = text.isEmpty() ? std::optional<qint32>(option.emptyAs) : numberOf(text);
    std::visit(Overloaded{
                   [&](QCheckBox *frmOptions::*box) { setCheckValue(this->*box, number); },
                   [&](QLineEdit *frmOptions::*box) { (this->*box)->setText(text); },
                   [&](QPlainTextEdit *frmOptions::*box) { (this->*box)->setPlainText(text); },
                   [&](ColorBox *frmOptions::*box) { setColorValue(this->*box, number); },
               },
               option.control);
    const QString stored = optionText(option);
    std::visit(Overloaded{
                   [&](bool *global) { *global = stored != QLatin1String("0"); },
                   [&](QString *global) { *global = stored; },
                   [&](qint32 *global) { *global = stored.toInt(); },
               },
               option.global);
}

// The control's value of option as it is stored.
QString frmOptions::optionText(const OptionsTable::Option &option) const
{
    return std::visit(Overloaded{
                          [&](QCheckBox *frmOptions::*box) { return QString::number(checkValue(this->*box)); },
                          [&](QLineEdit *frmOptions::*box) { return (this->*box)->text(); },
                          [&](QPlainTextEdit *frmOptions::*box) { return (this->*box)->toPlainText(); },
                          [&](ColorBox *frmOptions::*box) { return QString::number((this->*box)->BackColor()); },
                      },
                      option.control);
}

void frmOptions::GetOptions()
{
    RegistryRoutines &reg = settingsKey();
    const auto value = [&reg](const QString &name) { return reg.GetRegistryValue(name).toString(); };

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

    for (const OptionsTable::Option &option : OptionsTable::options()) {
        reg.setSubkey(option.subkey);
        readOption(option, value(option.key));
    }

    picTitle->setBackColor(picColor->BackColor());
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, ColorBox::toColor(picTextColor->BackColor()));
    lblTitle->setPalette(titlePalette);

    chkRunWhenWinStarts->setCheckState(mdlRunOnStart::IsRunOnStartup() ? Qt::Checked : Qt::Unchecked);

    reg.setSubkey(kEvents);
    // A path without a file name (empty, or ending in "/") has nothing to play.
    const QString sound = value(QStringLiteral("txtPlayAtEnd"));
    setPlayAtEnd(mdlFunctions::GetFileName(sound).isEmpty() ? OptionsFolders::defaultEndSound() : sound);
    g_sEndSoundFile = m_sPlayAtEndPath;
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
    const auto write = [&reg, &unsaved](const QString &name, const QString &text) {
        // A missing subkey stores nothing by design; a key that is there but
        // cannot be written would lose the user's choice without a word.
        if (!reg.SetRegistryValue(name, text, REG_SZ) && reg.KeyExists())
            unsaved = true;
    };

    for (const OptionsTable::Option &option : OptionsTable::options()) {
        reg.setSubkey(option.subkey);
        write(option.key, optionText(option));
    }

    reg.setSubkey(kGeneral);
    write(QStringLiteral("cboDevices"), QString::number(cboDevices->currentIndex()));
    write(QStringLiteral("cboTargetFormat"), cboTargetFormat->currentText());

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
    write(QStringLiteral("txtToPath"), folder);
    write(QStringLiteral("cboFileName"), cboFileName->currentText());

    const bool runOnStart = chkRunWhenWinStarts->checkState() == Qt::Checked;
    QString startError;
    if (mdlRunOnStart::SetRunOnStartup(runOnStart, &startError) == 0 && runOnStart)
        MsgBox(SafeWrite::cannotSave(mdlRunOnStart::autostartFile(), startError), int(Msg::OkOnly) + int(Msg::Critical));

    reg.setSubkey(kEvents);
    write(QStringLiteral("txtPlayAtEnd"), m_sPlayAtEndPath);

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
