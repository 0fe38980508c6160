#include "settings/frmOptions.h"

#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "mainwindow/frmMain.h"

#include <QCloseEvent>

frmOptions::frmOptions(QWidget *parent)
    : QDialog(parent)
{
}

void frmOptions::Form_Load()
{
    setWindowTitle(QStringLiteral("Options"));
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("gears"), true);
}

void frmOptions::Form_Unload(int &Cancel)
{
    if (!g_bAppClosing) {
        Cancel = 1;
        hide();
    }
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}
