#include "app/StartUp.h"

#include "core/mdlMain.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/frmSplash.h"
#include "core/mdlModes.h"
#include "mainwindow/frmMain.h"
#include "controls/ui/cContextMenu.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "platform/TerminationRequest.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QApplication>
#include <QPointer>

namespace {

bool g_bSplashShown = false;

bool settingsRootExists()
{
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(AppSettingsKey());
    reg.setSubkey(QStringLiteral("General"));
    return reg.KeyExists();
}

void showSplash()
{
    g_bSplashShown = true;
    QPointer<frmSplash> splash(&Forms::loadSplash());
    splash->setWindowTitle(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
    splash->show();
    splash->repaint();
    splash->FadeIn();
}

void showMain(frmMain &main, const QString &commandLine)
{
    if (commandLine != QLatin1String("-st")) {
        main.show();
        return;
    }
    cContextMenu &menu = main.menu();
    menu.setItemCaption(menu.IndexForKey(QStringLiteral("RC Open")), QStringLiteral("Show"));
    main.show();
    main.setWindowState(main.windowState() | Qt::WindowMinimized);
    // Where the desktop has no tray the window stays minimised instead.
    if (Services::instance().tray().isAvailable())
        main.hide();
    main.m_bInSysTray = true;
}

} // namespace

namespace mdlMain {

bool StartUp(const QString &commandLine)
{
    mdlModes::InitEdition();
    if (!settingsRootExists()) {
        MsgBox(QStringLiteral("This program cannot run, please reinstall the software or connect to the sofrware aurhor.") +
                   QStringLiteral("\r\n\r\n") + QStringLiteral("The main reistry key doesn't existed."),
               Msg::Information, g_sAppName);
        return false;
    }

    showSplash();
    SetSplashStatus(QStringLiteral("Loading options..."));
    Forms::loadOptions();
    SetSplashStatus(QStringLiteral("Loading audio properties..."));
    Forms::loadAudioProp();
    SetSplashStatus(QStringLiteral("Loading GUI..."));
    frmMain &main = Forms::loadMain();
    // The main window may sit hidden in the tray while other windows come and
    // go, so the run ends with the main window, not with the last window shown.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&main, &QObject::destroyed, qApp, [] { QCoreApplication::quit(); });
    if (g_bSplashShown) {
        if (frmSplash *splash = Forms::splash()) {
            splash->hide();
            Forms::unload(splash);
        }
    }
    showMain(main, commandLine);
    return true;
}

int Main()
{
    if (!StartUp(CommandLine()))
        return 0;
    // Ending the session or stopping the process closes the main window as
    // its Exit does, so what closing stores is kept; there is nobody left to
    // answer the exit question.
    TerminationRequest termination;
    QObject::connect(&termination, &TerminationRequest::requested, qApp, [] {
        g_bDisplayMSGWhenExit = false;
        if (!Forms::unload(Forms::main()))
            return;
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

void SetSplashStatus(const QString &text)
{
    if (!g_bSplashShown)
        return;
    // A splash closed early by a double click is not brought back.
    if (frmSplash *splash = Forms::splash())
        splash->setStatus(text);
}

} // namespace mdlMain
