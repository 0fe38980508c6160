#include "settings/frmOptions.h"

#include "core/mdlModes.h"
#include "core/mdlSetFormIcon32.h"
#include "core/mdlSupportedDestination.h"
#include "mainwindow/frmMain.h"

#include <QCloseEvent>
#include <QComboBox>

frmOptions::frmOptions(QWidget *parent)
    : QDialog(parent)
    , cboTargetFormat(new QComboBox(this))
{
}

void frmOptions::Form_Load()
{
    setWindowTitle(QStringLiteral("Options"));
    mdlSetFormIcon32::SetFormIcon(this, QStringLiteral("gears"), true);
    mdlSupportedDestination::FillDestinationFormats(cboTargetFormat);
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
