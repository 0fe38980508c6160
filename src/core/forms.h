#pragma once

// The process-wide windows that the code reaches by name. A window is
// "loaded" while its instance exists; loading builds it and runs its
// Form_Load once; unloading asks its Form_Unload, which may refuse.
// The slots live with the start-up in app/, the one layer that knows every
// window; the windows below see the main window only through its face.
#include <QCloseEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

class frmSplash;
class frmOptions;
class frmAudioProp;
class MainWindowFace;
class frmProgParameters;

// Tells who is watching (the tests) when a window is created, before its
// Form_Load runs.
class FormEvents : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void Loaded(QWidget *form);
};

namespace Forms {
FormEvents &events();

frmSplash *splash();
frmSplash &loadSplash();
frmOptions *options();
frmOptions &loadOptions();
frmAudioProp *audioProp();
frmAudioProp &loadAudioProp();
// The main window's face while it is loaded; null otherwise.
MainWindowFace *mainFace();
frmProgParameters *progParameters();
frmProgParameters &loadProgParameters();

// Asks the window to unload; true when it is gone (or was never loaded).
bool unload(QWidget *form);

// Loads the window kept in the slot once: builds it (owned by owner), tells
// the watchers and runs its Form_Load. It is deleted when it closes, which
// empties the slot, so the next load builds it afresh.
template <typename Form>
Form &load(QPointer<Form> &slot, QWidget *owner = nullptr)
{
    if (!slot) {
        auto *form = new Form(owner);
        form->setAttribute(Qt::WA_DeleteOnClose);
        slot = form;
        Q_EMIT events().Loaded(form);
        form->Form_Load();
    }
    return *slot;
}
}

// Every request to close a window goes through its Form_Unload, which may
// refuse by setting its cancel flag; windows call this from closeEvent.
template <typename Form>
void routeCloseToUnload(Form *form, QCloseEvent *event)
{
    int cancel = 0;
    form->Form_Unload(cancel);
    event->setAccepted(cancel == 0);
}
