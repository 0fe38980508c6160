#include "settings/frmAudioProp.h"

#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "mainwindow/frmMain.h"

#include <QCloseEvent>

frmAudioProp::frmAudioProp(QWidget *parent)
    : QDialog(parent)
{
}

void frmAudioProp::Form_Load()
{
    setWindowTitle(QStringLiteral("Audio Format Properties"));
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("AAA"), true);
}

void frmAudioProp::Form_Unload(int &Cancel)
{
    if (!g_bAppClosing) {
        Cancel = 1;
        hide();
    }
}

void frmAudioProp::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}
