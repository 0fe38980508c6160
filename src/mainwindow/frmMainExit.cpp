// The main window's stored size and its close, which winds the whole program
// down in a fixed order.
#include "mainwindow/frmMain.h"

#include "controls/audio/cAudioGraph.h"
#include "controls/audio/cPlayer.h"
#include "controls/cd/cAudioCDRipper.h"
#include "controls/ui/cToolbar.h"
#include "controls/ui/cTreeNode.h"
#include "controls/ui/cTreeView.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "settings/OptionSettings.h"

#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"

#include <QApplication>
#include <QTimer>
#include <QMenu>
#include <QPointer>

namespace {

RegistryRoutines generalKey()
{
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
    reg.setSubkey(QStringLiteral("General"));
    return reg;
}

// A value that does not read as a number counts as 0.
qint32 storedNumber(const RegistryRoutines &reg, const QString &name, qint32 fallback)
{
    return reg.GetRegistryValue(name, QString::number(fallback)).toString().trimmed().toInt();
}

} // namespace

void frmMain::RestoreWindowSize()
{
    const RegistryRoutines reg = generalKey();
    const qint32 width = storedNumber(reg, QStringLiteral("lWidth"), 13140);
    const qint32 height = storedNumber(reg, QStringLiteral("lHeight"), 7440);
    resize(Twips::toPixels(width < 3000 ? 13740 : width), Twips::toPixels(height < 1000 ? 7440 : height));
}

void frmMain::Form_Unload(int &Cancel)
{
    g_bAppClosing = true;
    if (g_bDisplayMSGWhenExit) {
        const int answer = MsgBox(QStringLiteral("Are you sure you want to exit '") + g_sAppName + QLatin1Char(' ')
                                      + g_sAppVersion + QStringLiteral("' ?"),
                                  int(Msg::YesNo) + int(Msg::Information));
        if (answer == Msg::No) {
            Cancel = 1;
            g_bAppClosing = false;
            return;
        }
    }
    mdlOnTop::SetFormOnTop(this, false);
    pressPlayerButton(QStringLiteral("Stop"));
    // A list still filling in is left as its file has it.
    stopListLoad();

    if (g_bClearOnExit && cTreeView1) {
        cTreeNode *node = cTreeView1->SelectedItem();
        if (!node || !IsCDNode(node->Key()))
            DoClearTheList();
    }

    Forms::unload(Forms::options());
    Forms::unload(Forms::audioProp());
    Forms::unload(Forms::progParameters());
    QList<QPointer<QWidget>> others;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && !qobject_cast<QMenu *>(w))
            others << w;
    }
    for (const QPointer<QWidget> &w : others) {
        if (w)
            w->close();
    }

    if (cPlayer1)
        cPlayer1->Terminate();
    if (cAudioGraphAmp)
        cAudioGraphAmp->Terminate();
    if (cAudioGraphFreq)
        cAudioGraphFreq->Terminate();
    if (cAudioCDRipper1)
        cAudioCDRipper1->Terminate();
    tmrCDs->stop();

    // The size of the normal window is kept, also when it closes minimised,
    // maximised or hidden, so the next start never opens as a sliver.
    const QSize size = normalGeometry().isValid() ? normalGeometry().size() : this->size();
    const RegistryRoutines reg = generalKey();
    reg.SetRegistryValue(QStringLiteral("lHeight"), QString::number(Twips::fromPixels(size.height())), REG_SZ);
    reg.SetRegistryValue(QStringLiteral("lWidth"), QString::number(Twips::fromPixels(size.width())), REG_SZ);

    Services::instance().tray().setVisible(false);
}
