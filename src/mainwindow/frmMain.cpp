#include "mainwindow/frmMain.h"

#include "controls/audio/cAudioGraph.h"
#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cStatusBar.h"
#include "controls/ui/cContextMenu.h"
#include "core/forms.h"
#include "core/mdlMain.h"
#include "core/TitleStrip.h"
#include "core/mdlModes.h"
#include "core/mdlMouseClick.h"
#include "core/mdlOnTop.h"
#include "core/mdlSetFormIcon32.h"
#include "lists/ItemsListLoad.h"
#include "lists/ItemsListStore.h"
#include "platform/AppPaths.h"
#include "platform/Prompter.h"
#include "platform/SafeWrite.h"
#include "platform/Services.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/OptionSettings.h"

#include <QLabel>
#include <QTimer>

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
    , m_cMenu(std::make_unique<cContextMenu>())
    , m_listStore(new ItemsListStore(this))
{
    m_sCommandLine = mdlMain::CommandLine();
    // Command lines that waited for a list load run from the event loop.
    connect(this, &frmMain::loadFinished, this, &frmMain::runWaitingCommandLines, Qt::QueuedConnection);
    // The rows stay in the grid when their list cannot be saved; the user is told why.
    connect(m_listStore, &ItemsListStore::saved, m_listStore, [](const QString &path, bool written, const QString &error) {
        if (!written)
            MsgBox(SafeWrite::cannotSave(path, error), int(Msg::OkOnly) + int(Msg::Critical));
    });
    buildCommands();
}

frmMain::~frmMain()
{
    Form_Terminate();
}

void frmMain::Form_Load()
{
    buildListPanes();
    buildShellPanes();
    connectItemsGrid();

    TitleStrip::applyColors(picTitle, lblTitle);
    cAudioGraphAmp->setBackColor(quint32(g_lTitleBackColor));
    cAudioGraphAmp->setForeColor(quint32(g_lTitleTextColor));
    cAudioGraphFreq->setBackColor(quint32(g_lTitleBackColor));
    cAudioGraphFreq->setTextColor(quint32(g_lTitleTextColor));
    prgStatus->setColor(quint32(g_lTitleBackColor));

    // The icon is shown before it has its tip and picture; the tray applies
    // both to the icon already shown.
    Tray &tray = Services::instance().tray();
    tray.setVisible(true);
    tray.setToolTip(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    QIcon trayIcon(AppPaths::programFolder() + QStringLiteral("/SysIcon/systrayicon.ico"));
    if (trayIcon.availableSizes().isEmpty())
        trayIcon = mdlSetFormIcon32::ResourceIcon(QStringLiteral("systrayicon"));
    if (trayIcon.availableSizes().isEmpty())
        trayIcon = mdlSetFormIcon32::ResourceIcon(QStringLiteral("AAA"));
    tray.setIcon(trayIcon);
    connect(&tray, &Tray::clicked, this, &frmMain::cSysTray1_MouseClick);

    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("AAA"), true);

    buildStatusPanels();
    BuildMenus();
    tray.setContextMenu(m_cMenu->MenuHolding(m_cMenu->IndexForKey(QStringLiteral("RC Open"))));
    SetAppView();
    BuildToolbars();
    connectShell();

    setWindowTitle(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    lblTitle->setText(g_sAppName + QLatin1Char(' ') + g_sAppVersion);

    setTree();
    loadFirstNode();

    RestoreWindowSize();
    Form_Resize();

    // The switches act once the load has returned, from the event loop.
    QTimer::singleShot(0, this, &frmMain::ApplyCommandLine);
}

void frmMain::setOpenCaption(const QString &caption)
{
    m_cMenu->setItemCaption(m_cMenu->IndexForKey(QStringLiteral("RC Open")), caption);
}

void frmMain::hideToTray()
{
    // Without a tray the window stays minimised on the task bar, so it can
    // always be brought back.
    if (Services::instance().tray().isAvailable())
        hide();
}

void frmMain::GoSysTray()
{
    setWindowState(windowState() | Qt::WindowMinimized);
    hideToTray();
    setOpenCaption(QStringLiteral("Show"));
    m_bInSysTray = true;
}

void frmMain::cSysTray1_MouseClick(qint32 Button)
{
    if (Button == 1) {
        const Qt::WindowStates state = windowState();
        if (state & Qt::WindowMaximized)
            return;
        if (state & Qt::WindowMinimized) {
            if (m_bInSysTray) {
                show();
                setWindowState(state & ~Qt::WindowMinimized);
                setOpenCaption(QStringLiteral("Hide"));
                m_bInSysTray = false;
            } else {
                hideToTray();
                setWindowState(state | Qt::WindowMinimized);
                setOpenCaption(QStringLiteral("Show"));
                m_bInSysTray = true;
            }
        } else {
            GoSysTray();
        }
    } else if (Button == 2) {
        activateWindow();
        qint32 x = 0;
        qint32 y = 0;
        mdlMouseClick::GetMousePos(x, y);
        m_cMenu->ShowPopup(x, y, m_cMenu->IndexForKey(QStringLiteral("RC Open")), true);
    }
}

QString frmMain::PanelText(const QString &key) const
{
    return cStatusBar1 ? cStatusBar1->PanelText(key) : QString();
}

void frmMain::setPanelText(const QString &key, const QString &text)
{
    if (cStatusBar1)
        cStatusBar1->setPanelText(key, text);
}

void frmMain::Form_Terminate()
{
    mdlMain::SetSilentErrorMode();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}
