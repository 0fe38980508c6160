#include "core/forms.h"

#include "core/frmSplash.h"
#include "mainwindow/frmMain.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>

namespace {

QPointer<frmSplash> g_splash;
QPointer<frmOptions> g_options;
QPointer<frmAudioProp> g_audioProp;
QPointer<frmMain> g_main;
QPointer<frmProgParameters> g_progParameters;

} // namespace

namespace Forms {

FormEvents &events()
{
    static FormEvents events;
    return events;
}

frmSplash *splash() { return g_splash; }
frmSplash &loadSplash() { return load(g_splash); }
frmOptions *options() { return g_options; }
frmOptions &loadOptions() { return load(g_options); }
frmAudioProp *audioProp() { return g_audioProp; }
frmAudioProp &loadAudioProp() { return load(g_audioProp); }
frmMain *main() { return g_main; }
frmMain &loadMain() { return load(g_main); }
MainWindowFace *mainFace() { return g_main.data(); }
frmProgParameters *progParameters() { return g_progParameters; }
frmProgParameters &loadProgParameters() { return load(g_progParameters); }

bool unload(QWidget *form)
{
    if (!form)
        return true;
    if (!form->close())
        return false;
    // The instance goes at the next turn of the event loop; from now on it
    // counts as unloaded.
    if (form == g_splash)
        g_splash = nullptr;
    else if (form == g_options)
        g_options = nullptr;
    else if (form == g_audioProp)
        g_audioProp = nullptr;
    else if (form == g_main)
        g_main = nullptr;
    else if (form == g_progParameters)
        g_progParameters = nullptr;
    return true;
}

} // namespace Forms
