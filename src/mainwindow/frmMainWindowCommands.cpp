// The main window's commands that open windows, switch its modes and start
// outside programs.
#include "mainwindow/frmMain.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cGrid.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "core/WindowPlace.h"
#include "core/forms.h"
#include "core/frmAbout.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "core/mdlTransparent.h"
#include "lists/ItemsListRow.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "settings/frmOptions.h"
#include "tags/frmMP3TagsEditor.h"
#include "tools/editor/frmMicRecorder.h"
#include "tools/editor/frmWaveTTS.h"
#include "tools/rip/frmFreeDB.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

// The translucency the "Transparent" mode gives the main window.
constexpr int kTransparentAlpha = 90;

// The desktop's mixer stands in for the system volume control.
const QString kMixerProgram = QStringLiteral("pavucontrol");

} // namespace

void frmMain::OpenOptionsPage(const QString &page)
{
    Forms::loadOptions().execOnPage(page, this);
}

void frmMain::addWindowCommands()
{
    // Runs action and ends the command as run.
    const auto done = [](std::function<void()> action) {
        return [action = std::move(action)] {
            action();
            return true;
        };
    };
    for (const char *page : {"Events", "View", "General", "ID3 Tags", "Advanced"}) {
        const QString key = QString::fromLatin1(page);
        addCommand(key, {done([this, key] {
                       mdlOnTop::SetFormOnTop(this, false);
                       OpenOptionsPage(key);
                   })});
    }
    addCommand(QStringLiteral("About"), {done([this] {
                   mdlOnTop::SetFormOnTop(this, false);
                   frmAbout about(this, imgMenu);
                   about.exec();
               })});
    addCommand(QStringLiteral("MP3 Tags Editor"), {done([this] {
                   mdlOnTop::SetFormOnTop(this, false);
                   setCursor(Qt::WaitCursor);
                   showMP3TagsEditor();
                   unsetCursor();
               })});
    addCommand(QStringLiteral("Notes"), {done([this] { ShowNotes(); })});
    addCommand(QStringLiteral("FreeDB"), {[this] { return freeDbCommand(); }});
    addCommand(QStringLiteral("Audio Recorder"), {done([this] {
                   setCursor(Qt::WaitCursor);
                   frmMicRecorder &window = Forms::loadMicRecorder();
                   unsetCursor();
                   window.exec();
               })});
    addCommand(QStringLiteral("Text To Speech"), {done([this] {
                   setCursor(Qt::WaitCursor);
                   frmWaveTTS &window = Forms::loadWaveTTS();
                   WindowPlace::centreOnScreen(&window);
                   window.exec();
                   unsetCursor();
               })});
    for (const char *mode : {"Transparent", "On Top"}) {
        const QString key = QString::fromLatin1(mode);
        addCommand(key, {[this, key] { return toggleModeCommand(key); }});
    }
    addCommand(QStringLiteral("Minimize"), {done([this] { setWindowState(windowState() | Qt::WindowMinimized); })});
    addCommand(QStringLiteral("GoSysTray"), {[this] {
                   GoSysTray();
                   return false;
               }});
    addCommand(QStringLiteral("RC Open"), {done([this] { cSysTray1_MouseClick(1); })});
    for (const char *exit : {"Exit", "RC Exit"}) {
        // Refused (the exit question answered No): the window stays and is refreshed.
        addCommand(QString::fromLatin1(exit), {[this] { return !Forms::unload(this); }});
    }
    // The File menu's Remove has no action of its own; it only refreshes.
    addCommand(QStringLiteral("Remove"), {[] { return true; }});
    addCommand(QStringLiteral("Master Volume"), {done([this] {
                   mdlOnTop::SetFormOnTop(this, false);
                   const QString mixer = QStandardPaths::findExecutable(kMixerProgram);
                   if (mixer.isEmpty() || !Services::instance().launcher().start(mixer, {})) {
                       MsgBox(QStringLiteral("The volume control cannot be started: the program '") + kMixerProgram
                                  + QStringLiteral("' is not installed."),
                              Msg::Information);
                   }
               })});
    addCommand(QStringLiteral("HelpTopic"), {done([this] {
                   const QString help = AppPaths::resourceFolder() + QStringLiteral("/help/index.html");
                   if (!QFileInfo::exists(help) || !Services::instance().shell().open(help))
                       MsgBox(QStringLiteral("The help file ") + help + QStringLiteral(" cannot be opened."),
                              Msg::Information);
               })});
    addCommand(QStringLiteral("Support"), {done([] {
                   if (!Services::instance().shell().open(g_sAppSupportPage))
                       MsgBox(QStringLiteral("The page ") + g_sAppSupportPage + QStringLiteral(" cannot be opened."),
                              Msg::Information);
               })});
    addCommand(QStringLiteral("Open Default Player"), {done([this] {
                   mdlOnTop::SetFormOnTop(this, false);
                   const int row = cGrid1->Rows() > 0 ? cGrid1->SelectedRow() : 0;
                   const QString file = row >= 1 ? cGrid1->CellText(row, ItemsListRow::File) : QString();
                   if (!file.isEmpty())
                       Services::instance().shell().open(file);
               })});
}

bool frmMain::freeDbCommand()
{
    mdlOnTop::SetFormOnTop(this, false);
    if (cGrid1->Rows() == 0)
        return false;
    cTreeNode *node = cTreeView1->SelectedItem();
    if (!node || !IsCDNode(node->Key())) {
        MsgBox(QStringLiteral("Select the CD drive to get the information about.") + blanks(18), Msg::Information);
        return false;
    }
    setCursor(Qt::WaitCursor);
    frmFreeDB &window = Forms::loadFreeDB();
    // Without a connection the window has said so and closed itself.
    if (window.GetFreeDB())
        window.exec();
    unsetCursor();
    return true;
}

bool frmMain::toggleModeCommand(const QString &key)
{
    const qint32 item = m_cMenu->IndexForKey(key);
    const bool on = !m_cMenu->ItemChecked(item);
    if (key == QLatin1String("On Top")) {
        m_cMenu->setItemChecked(item, on);
        mdlOnTop::SetFormOnTop(this, on);
        return true;
    }
    if (on)
        mdlTransparent::SetTranslucency(this, kTransparentAlpha);
    else
        mdlTransparent::ClearTranslucency(this);
    m_cMenu->setItemChecked(item, on);
    return true;
}
