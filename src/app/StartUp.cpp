#include "app/StartUp.h"

#include "app/HandOvers.h"

#include "core/mdlMain.h"
#include "core/RegistryRoutines.h"
#include "core/forms.h"
#include "core/frmSplash.h"
#include "core/mdlModes.h"
#include "mainwindow/frmMain.h"
#include "controls/ui/cContextMenu.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationRequest.h"
#include "settings/OptionSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QApplication>
#include <QPointer>

#include <memory>
#include <utility>

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

// The edition table and the settings-root check; without the root the user is
// told and the program must end. Reads only.
bool canRun()
{
    mdlModes::InitEdition();
    if (settingsRootExists())
        return true;
    MsgBox(QStringLiteral("This program cannot run, please reinstall the software or connect to the sofrware aurhor.") +
               QStringLiteral("\r\n\r\n") + QStringLiteral("The main reistry key doesn't existed."),
           Msg::Information, g_sAppName);
    return false;
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

// One start-up from the splash to the main window. Each step runs from the
// event loop, so whatever arrives meanwhile (a later start's command line,
// paint, a double click on the splash) is served by the program's one loop,
// never inside a step.
class StartUpRun : public QObject {
public:
    StartUpRun(const QString &commandLine, std::function<void()> whenUp)
        : m_commandLine(commandLine)
        , m_whenUp(std::move(whenUp))
    {
    }

    bool ended() const { return m_ended; }

    void showSplash()
    {
        g_bSplashShown = true;
        frmSplash &splash = Forms::loadSplash();
        splash.setWindowTitle(g_sAppName + QLatin1Char(' ') + g_sAppVersion);
        // The windows load once the fade is over, or once the splash is gone
        // should it be closed first.
        connect(&splash, &frmSplash::FadeEnded, this, &StartUpRun::loadWindows, Qt::QueuedConnection);
        connect(&splash, &QObject::destroyed, this, &StartUpRun::loadWindows, Qt::QueuedConnection);
        splash.show();
        splash.repaint();
        splash.FadeIn();
    }

private:
    void loadWindows()
    {
        if (m_loading)
            return;
        m_loading = true;
        mdlMain::SetSplashStatus(QStringLiteral("Loading options..."));
        Forms::loadOptions();
        mdlMain::SetSplashStatus(QStringLiteral("Loading audio properties..."));
        Forms::loadAudioProp();
        mdlMain::SetSplashStatus(QStringLiteral("Loading GUI..."));
        frmMain &main = Forms::loadMain();
        // The main window may sit hidden in the tray while other windows come
        // and go, so the run ends with the main window, not with the last
        // window shown.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QObject::connect(&main, &QObject::destroyed, qApp, [] { QCoreApplication::quit(); });
        if (g_bSplashShown) {
            if (frmSplash *splash = Forms::splash()) {
                splash->hide();
                Forms::unload(splash);
            }
        }
        showMain(main, m_commandLine);
        m_ended = true;
        if (m_whenUp)
            m_whenUp();
        deleteLater();
    }

    QString m_commandLine;
    std::function<void()> m_whenUp;
    bool m_loading = false;
    bool m_ended = false;
};

QPointer<StartUpRun> g_run;

void beginStartUp(const QString &commandLine, std::function<void()> whenUp)
{
    g_run = new StartUpRun(commandLine, std::move(whenUp));
    g_run->showSplash();
}

} // namespace

namespace mdlMain {

bool StartUp(const QString &commandLine, std::function<void()> whenUp)
{
    if (!canRun())
        return false;
    beginStartUp(commandLine, std::move(whenUp));
    return true;
}

bool StartingUp()
{
    return g_run && !g_run->ended();
}

int Main()
{
    if (!canRun())
        return 0;
    const QString commandLine = CommandLine();
    HandOvers handOvers;
    SingleInstance instance;
    instance.setTaker([&handOvers](const QString &line) { return handOvers.take(line); });
    switch (instance.handOverOrServe(commandLine)) {
    case SingleInstance::Outcome::HandedOver:
        return 0;
    case SingleInstance::Outcome::Unanswered:
        // Running on beside it would have two programs save their own copy
        // of the same lists, one over the other's changes.
        MsgBox(QStringLiteral("The program is already running for this user but does not answer. "
                              "Close it, or end it if it no longer responds, then start again."),
               Msg::Exclamation, g_sAppName);
        return 0;
    case SingleInstance::Outcome::Serving:
        break;
    }

    // Ending the session or stopping the process closes the main window as
    // its Exit does, so what closing stores is kept; there is nobody left to
    // answer the exit question. Until the window is up the signals keep
    // their own way.
    std::unique_ptr<TerminationRequest> termination;
    beginStartUp(commandLine, [&termination, &handOvers] {
        termination = std::make_unique<TerminationRequest>();
        QObject::connect(termination.get(), &TerminationRequest::requested, qApp, [] {
            g_bDisplayMSGWhenExit = false;
            if (!Forms::unload(Forms::main()))
                return;
            QCoreApplication::quit();
        });
        handOvers.open();
    });
    const int exitCode = QApplication::exec();
    // A run cut short must not call back into this frame.
    delete g_run.data();
    return exitCode;
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
