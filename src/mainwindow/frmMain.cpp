#include "mainwindow/frmMain.h"

#include "controls/ui/XP_ProgressBar.h"
#include "controls/ui/cContextMenu.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/mdlMain.h"
#include "core/mdlModes.h"
#include "core/mdlOnTop.h"
#include "core/mdlSetFormIcon32.h"
#include "platform/AppPaths.h"
#include "platform/Services.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QLabel>
#include <QStatusBar>

bool g_bAppClosing = false;

namespace {

RegistryRoutines settingsKey(const QString &subkey)
{
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(QStringLiteral("SOFTWARE\\") + g_sAppCompany + QLatin1Char('\\') + g_sAppName);
    reg.setSubkey(subkey);
    return reg;
}

qint32 storedNumber(const RegistryRoutines &reg, const QString &name, qint32 fallback)
{
    bool ok = false;
    const qint32 value = reg.GetRegistryValue(name, fallback).toString().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
    , m_cMenu(std::make_unique<cContextMenu>())
{
    picTitle = new QWidget(this);
    picTitle->setAutoFillBackground(true);
    lblTitle = new QLabel(picTitle);
    cAudioGraphAmp = new QWidget(this);
    cAudioGraphFreq = new QWidget(this);
    for (QWidget *part : {picTitle, cAudioGraphAmp, cAudioGraphFreq})
        part->setVisible(false);
}

void frmMain::Form_Resize()
{
}

frmMain::~frmMain()
{
    Form_Terminate();
}

void frmMain::Form_Load()
{
    setWindowTitle(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("AAA"), true);

    const RegistryRoutines general = settingsKey(QStringLiteral("General"));
    qint32 width = storedNumber(general, QStringLiteral("lWidth"), 13140);
    qint32 height = storedNumber(general, QStringLiteral("lHeight"), 7440);
    if (width < 3000)
        width = 13740;
    if (height < 1000)
        height = 7440;
    resize(Twips::toPixels(width), Twips::toPixels(height));

    buildListPanes();
    connectItemsGrid();

    const QList<QPair<QString, QString>> panels = {
        {QStringLiteral("Main"), QString()},
        {QStringLiteral("Items List Properties"), QString()},
        {QStringLiteral("Notes"), GetNotesToStatus()},
        {QStringLiteral("Master Volume"), QStringLiteral("Master Volume")},
    };
    for (const auto &[key, text] : panels) {
        auto *panel = new QLabel(text, this);
        statusBar()->addWidget(panel, key == QLatin1String("Main") ? 1 : 0);
        m_panels.append({key, panel});
    }
    statusBar()->addPermanentWidget(prgStatus);
    setPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));

    BuildMenus();

    Tray &tray = Services::instance().tray();
    tray.setIcon(mdlSetFormIcon32::ResourceIcon(QStringLiteral("AAA")));
    tray.setToolTip(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    tray.setContextMenu(m_cMenu->MenuHolding(m_cMenu->IndexForKey(QStringLiteral("RC Open"))));
    tray.setVisible(true);
    connect(&tray, &Tray::clicked, this, &frmMain::cSysTray1_MouseClick);

    setTree();
    loadFirstNode();
}

void frmMain::BuildMenus()
{
    const qint32 tray = m_cMenu->AddItem(QStringLiteral("SysTray"), QString(), QVariant(), 0, -1, false, true,
                                         QStringLiteral("mnuSysTray"));
    m_cMenu->AddItem(QStringLiteral("Hide"), QString(), QVariant(), tray, -1, false, true, QStringLiteral("RC Open"));
    m_cMenu->AddItem(QStringLiteral("-"), QString(), QVariant(), tray, -1, false, true, QStringLiteral("RC Sep"));
    m_cMenu->AddItem(QStringLiteral("Exit"), QString(), QVariant(), tray, -1, false, true, QStringLiteral("RC Exit"));
    m_cMenu->Refresh(true);
    connect(m_cMenu.get(), &cContextMenu::Click, this, &frmMain::m_cMenu_Click);
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
        m_cMenu->ShowPopup(0, 0, m_cMenu->IndexForKey(QStringLiteral("RC Open")), true);
    }
}

QString frmMain::PanelText(const QString &key) const
{
    for (const auto &panel : m_panels) {
        if (panel.first == key)
            return panel.second->text();
    }
    return QString();
}

void frmMain::setPanelText(const QString &key, const QString &text)
{
    for (const auto &panel : m_panels) {
        if (panel.first == key)
            panel.second->setText(text);
    }
}

void frmMain::Form_Unload(int &Cancel)
{
    Q_UNUSED(Cancel);
    g_bAppClosing = true;
    mdlOnTop::SetFormOnTop(this, false);
    Forms::unload(Forms::options());
    Forms::unload(Forms::audioProp());
    const RegistryRoutines general = settingsKey(QStringLiteral("General"));
    general.SetRegistryValue(QStringLiteral("lHeight"), QString::number(Twips::fromPixels(normalGeometry().height())), REG_SZ);
    general.SetRegistryValue(QStringLiteral("lWidth"), QString::number(Twips::fromPixels(normalGeometry().width())), REG_SZ);
    Services::instance().tray().setVisible(false);
}

void frmMain::Form_Terminate()
{
    mdlMain::SetSilentErrorMode();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    routeCloseToUnload(this, event);
}
